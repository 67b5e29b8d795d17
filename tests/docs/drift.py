#!/usr/bin/env python3
"""Keeps the manual from drifting away from the program:
  - every menu text of the resource script is named in the help (without
    its accelerator mark), as a table cell, after "→ " or in 「」;
  - every window the gallery takes is a picture at both DPIs, and the
    README's gallery table shows exactly those;
  - every picture and link of the help pages points at a file of help/
    (the package ships help/ whole) or at an anchor of its page.
    drift.py SOURCE_ROOT
"""
import os
import re
import sys

root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(os.path.dirname(__file__)))
faults = []


def read(*parts):
    with open(os.path.join(root, *parts), encoding="utf-8") as f:
        return f.read()


def menu_texts(rc):
    """The texts a user sees in the menus: the main menu's popups and items,
    the tray menu's items (its popup only holds them and is never shown)."""
    texts = []
    for name, block in re.findall(r"^(IDM_\w+) MENU\s*\nBEGIN\n(.*?)^END", rc, re.S | re.M):
        for kind, text in re.findall(r'^\s*(POPUP|MENUITEM)\s+"([^"]*)"', block, re.M):
            if kind == "POPUP" and name == "IDM_TRAY":
                continue
            texts.append(re.sub(r"\(&\w\)$", "", text).replace("&", ""))
    return texts


def named_in(help_text, text):
    t = re.escape(text)
    return re.search(r"(?:<td>|→ |「)" + t + r"(?:</td>|」| →)", help_text) is not None


help_text = read("help", "help.html")
for text in menu_texts(read("resources", "quillsave.rc")):
    if not named_in(help_text, text):
        faults.append('the menu text "%s" is not named in help/help.html' % text)

driver = read("tools", "gallery_win.cpp")
# shot("name", ...) and command_shot(program, main, command, "title", "name", ...)
shots = set(re.findall(r'\bshot\("([^"]+)"', driver))
shots |= set(re.findall(r'\bcommand_shot\([^;"]*"[^"]*",\s*"([^"]+)"', driver))
readme = read("README.md")
shown = set(re.findall(r"\(help/img/([^)]+)\.png\)", readme))
shown_144 = set(re.findall(r"\(docs/gallery-144/([^)]+)\.png\)", readme))
for name in sorted(shots):
    for folder in ("help/img", "docs/gallery-144"):
        if not os.path.isfile(os.path.join(root, folder, name + ".png")):
            faults.append("the gallery's %s has no picture %s/%s.png" % (name, folder, name))
for label, names in (("help/img", shown), ("docs/gallery-144", shown_144)):
    for name in sorted(names ^ shots):
        faults.append("README's gallery and the gallery's windows differ in %s (%s)" % (name, label))

for page in sorted(os.listdir(os.path.join(root, "help"))):
    if not page.endswith(".html"):
        continue
    text = read("help", page)
    ids = set(re.findall(r'\bid="([^"]+)"', text))
    for target in re.findall(r'\b(?:src|href)="([^"]+)"', text):
        path, _, anchor = target.partition("#")
        if re.match(r"[a-z]+:", path):
            faults.append("help/%s points outside the package: %s" % (page, target))
            continue
        if path and not os.path.isfile(os.path.join(root, "help", path)):
            faults.append("help/%s points at %s, which help/ does not hold" % (page, target))
        elif anchor and not path and anchor not in ids:
            faults.append("help/%s points at #%s, which it has no id for" % (page, anchor))

for fault in faults:
    print("FAIL:", fault)
if faults:
    sys.exit(1)
print("the manual names every menu text, every gallery window has its pictures, every link of the help lands")
