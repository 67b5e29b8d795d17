#!/usr/bin/env bash
# The release package as a user gets it. Checks what the zip holds, unpacks
# it into a new folder with a Japanese name on drive C: of the test prefix
# (表 and ソ end in the byte 0x5C in Shift-JIS), runs package_tests.exe
# against that folder, and then makes sure the program's four files landed
# there and nowhere else: not in the prefix's user folders, not in the
# repository or its build folders, not in /tmp.
#   check.sh BUILD_FOLDER PACKAGE_TESTS_EXE ZIP SOURCE_ROOT
set -euo pipefail
build=$1 tests_exe=$2 zip=$3 root=$4
wine_run="$build/wine-run"
prefix="$build/wineprefix"
"$wine_run" --start
folder="$prefix/drive_c/バックアップ表ソ"
rm -rf "$folder"
mkdir "$folder"

python3 - "$zip" "$folder" "$root" <<'EOF'
import os, sys, zipfile

zip_path, folder, root = sys.argv[1:]
expected = {"quillsave.exe", "readme.txt", "README-en.txt", "LICENSE.txt"}
help_root = os.path.join(root, "help")
if os.path.isdir(help_root):
    for dirpath, _, files in os.walk(help_root):
        for f in files:
            expected.add(os.path.relpath(os.path.join(dirpath, f), root).replace(os.sep, "/"))
    for page in ("help/index.html", "help/help.html"):
        if page not in expected:
            sys.exit(f"FAIL: the repository's help/ has no {page}")
with zipfile.ZipFile(zip_path) as z:
    names = set(z.namelist())
    if names != expected:
        sys.exit(f"FAIL: the package holds {sorted(names)}, expected {sorted(expected)}")
    readme = z.read("readme.txt")
    english = z.read("README-en.txt")
    licence = z.read("LICENSE.txt")
    exe = z.read("quillsave.exe")
    z.extractall(folder)
try:
    readme.decode("cp932")
except UnicodeDecodeError as e:
    sys.exit(f"FAIL: readme.txt is not Shift-JIS (CP932): {e}")
for name, text in (("readme.txt", readme), ("README-en.txt", english), ("LICENSE.txt", licence)):
    if text.count(b"\n") != text.count(b"\r\n") or text.count(b"\r") != text.count(b"\r\n"):
        sys.exit(f"FAIL: {name} has line ends other than CR LF")
if not english.startswith(b"\xef\xbb\xbf"):
    sys.exit("FAIL: README-en.txt has no UTF-8 byte order mark")
if b"Copyright (c) 2026 the Quillsave developers" not in licence:
    sys.exit("FAIL: LICENSE.txt has no copyright line")
# The fault suite's seams are read from QS_TEST_* variables by a build of
# its own; the shipped program must not even know their names.
if b"QS_TEST_" in exe:
    sys.exit("FAIL: quillsave.exe knows the fault suite's QS_TEST_ variables")
with open(os.path.join(root, "resources", "quillsave.manifest"), "rb") as f:
    if f.read() not in exe:
        sys.exit("FAIL: the package's quillsave.exe does not carry the application manifest")
print(f"package holds {len(names)} files as expected, the exe with its manifest")
EOF

# Where this machine cannot run 32-bit Wine the package's exe cannot start:
# the run then uses this build's 64-bit program of the same sources, in the
# package's folder, and everything else stays as the user gets it.
if grep -q 'mingw-x86_64.cmake' "$build/CMakeCache.txt"; then
  echo "this machine cannot run 32-bit Wine: the run uses the 64-bit build of the same sources"
  cp "$build/quillsave.exe" "$folder/quillsave.exe"
fi

marker=$(mktemp)
trap 'rm -f "$marker"' EXIT
rc=0
# With a fault seam's variable set, as a stray environment could have it: a
# program that reacted would end with exit code 3 in its first save.
QS_TEST_DIE_AFTER_TEMP=quillsave.ini QS_PACKAGE_DIR='C:\バックアップ表ソ' "$wine_run" "$tests_exe" || rc=$?

# The program's files anywhere but in the package folder, made during the run.
strays=$( { find "$prefix" "$root" -newer "$marker" \
              \( -iname set.ini -o -iname quillsave.ini -o -iname folder.ini -o -iname file.ini -o -iname quillsave.log \) \
              -not -path "$folder/*" -print
            find /tmp -maxdepth 3 -newer "$marker" \
              \( -iname set.ini -o -iname quillsave.ini -o -iname folder.ini -o -iname file.ini -o -iname quillsave.log \) -print
          } 2>/dev/null || true)
if [ -n "$strays" ]; then
  echo "FAIL: the program wrote its files outside its folder:"
  echo "$strays"
  rc=1
fi
[ $rc = 0 ] && echo "the four files and the report stayed in the package folder"
exit $rc
