#!/usr/bin/env bash
# A 1 MiB disk for the fault suite's full destination: mounted when the
# suite starts, gone when it ends. Mounting needs root; without it there is
# no disk (no "mounted" file in the folder) and that case is skipped.
set -u
action=$1 dir=$2
case $action in
  mount)
    mkdir -p "$dir"
    if ! mountpoint -q "$dir"; then
      if [ "$(id -u)" != 0 ] || ! mount -t tmpfs -o size=1m quillsave-small-disk "$dir" 2>/dev/null; then
        echo "no small disk: mounting a tmpfs needs root"
        exit 0
      fi
    fi
    echo "a 1 MiB tmpfs" > "$dir/mounted"
    ;;
  umount)
    if mountpoint -q "$dir"; then umount "$dir"; fi
    rm -rf "$dir"
    ;;
esac
exit 0
