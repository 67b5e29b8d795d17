#!/usr/bin/env python3
"""The floors of the program stand on each other one way only:
app -> dialogs -> store -> engine -> base. A file may include its own
floor and the floors beneath it, never one above; the resources (ids and
the resource script) belong to the windows of dialogs/ and app/.

Usage: check.py ROOT. Prints every include against the order and exits 1
when there is one."""
import os
import re
import sys

FLOORS = ["base", "engine", "store", "dialogs", "app"]
# What a floor may include besides the floors beneath it.
ALSO = {"dialogs": {"resources"}, "app": {"resources"}}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]+"')


def wrong_includes(root):
    for floor in FLOORS:
        allowed = set(FLOORS[:FLOORS.index(floor) + 1]) | ALSO.get(floor, set())
        folder = os.path.join(root, floor)
        if not os.path.isdir(folder):
            continue
        for name in sorted(os.listdir(folder)):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(folder, name)
            with open(path, encoding="utf-8") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if m and m.group(1) not in allowed:
                        yield "%s/%s:%d: %s includes %s/, a floor above it" % (
                            floor, name, number, floor, m.group(1))


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "."
    wrong = list(wrong_includes(root))
    for line in wrong:
        print(line)
    if wrong:
        print("%d includes against the order %s" % (len(wrong), " -> ".join(reversed(FLOORS))))
        return 1
    print("every include of %s stands on the floors beneath it" % ", ".join(FLOORS))
    return 0


if __name__ == "__main__":
    sys.exit(main())
