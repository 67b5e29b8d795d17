#!/usr/bin/env bash
# Makes the release package a second time, in another folder and at
# another time, and compares it byte for byte with the one the test run
# made first: the same sources must give the same quillsave.exe and the
# same zip. Neither exe may hold the folders it was built from.
#   reproducible.sh SOURCE_ROOT WORK_FOLDER FIRST_BUILD FIRST_ZIP
set -euo pipefail
root=$1 work=$2 first_build=$3 first_zip=$4
# Another length and depth than build/release, so a path that slipped into
# the exe would shift its bytes even where it is not found by name.
second_build="$work/a/second-build-folder"
rm -rf "$work"
"$root/tools/release" "$second_build" "$work/dist" >/dev/null
second_zip="$work/dist/$(basename "$first_zip")"

fail=0
for exe in "$first_build/quillsave.exe" "$second_build/quillsave.exe"; do
  # The PE header's TimeDateStamp, at offset 8 of the header that the
  # 32-bit value at 0x3C points to.
  stamp=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(); p=struct.unpack_from("<I",d,0x3C)[0]; print(struct.unpack_from("<I",d,p+8)[0])' "$exe")
  if [ "$stamp" != 0 ]; then
    echo "FAIL: $exe has the link time $stamp in its PE header"
    fail=1
  fi
  for folder in "$root" "$first_build" "$second_build"; do
    if LC_ALL=C grep -qaF "$folder" "$exe"; then
      echo "FAIL: $exe holds the path $folder"
      fail=1
    fi
  done
done

for pair in "$first_build/quillsave.exe:$second_build/quillsave.exe" "$first_zip:$second_zip"; do
  a=${pair%%:*} b=${pair##*:}
  sum_a=$(sha256sum "$a" | cut -d' ' -f1)
  sum_b=$(sha256sum "$b" | cut -d' ' -f1)
  echo "$sum_a  $a"
  echo "$sum_b  $b"
  if [ "$sum_a" != "$sum_b" ]; then
    echo "FAIL: $(basename "$a") differs between the two builds"
    cmp -l "$a" "$b" | head -5
    fail=1
  fi
done
[ $fail = 0 ] && echo "same bytes from both builds"
exit $fail
