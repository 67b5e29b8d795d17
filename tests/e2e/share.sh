#!/usr/bin/env bash
# The tests' network share \\nas\backup: a link in the prefix's
# dosdevices/unc to a folder of the build. Mapped when the suite starts,
# gone with its folder when the suite ends.
set -u
action=$1 prefix=$2 folder=$3
link=$prefix/dosdevices/unc/nas/backup
case $action in
  map)
    mkdir -p "$folder" "${link%/*}"
    ln -sfn "$folder" "$link"
    ;;
  unmap)
    rm -f "$link"
    rmdir "${link%/*}" "$prefix/dosdevices/unc" 2>/dev/null
    rm -rf "$folder"
    ;;
esac
exit 0
