#!/usr/bin/env bash
# A USB disk for one end-to-end test: a FAT32 or exFAT image in the build
# folder, mounted through FUSE (this kernel has neither driver), as root.
#   usb_disk.sh mount fat32|exfat FOLDER   the image is FOLDER.img
#   usb_disk.sh umount FOLDER              unmounts and removes the image
# A disk left by a test that died is unmounted before a new one is made.
set -u
PATH=/usr/sbin:/sbin:$PATH

unmount() {
  local folder=$1
  if mountpoint -q "$folder"; then
    umount "$folder" 2>/dev/null || fusermount -u "$folder" || return 1
  fi
  # exFAT's FUSE driver wants a block device: the loop device of the image.
  if [ -f "$folder.dev" ]; then
    losetup -d "$(cat "$folder.dev")" 2>/dev/null
    rm -f "$folder.dev"
  fi
  rm -f "$folder.img"
}

case "${1:-}" in
  mount)
    kind=$2 folder=$3 image="$3.img"
    unmount "$folder" || exit 1
    mkdir -p "$folder" && truncate -s 64M "$image" || exit 1
    case "$kind" in
      fat32)
        mkfs.vfat -F 32 "$image" >/dev/null && fusefat -o rw+ "$image" "$folder" >/dev/null 2>&1 ;;
      exfat)
        mkfs.exfat "$image" >/dev/null || exit 1
        dev=$(losetup -f --show "$image") || exit 1
        echo "$dev" >"$folder.dev"
        mount.exfat-fuse "$dev" "$folder" >/dev/null 2>&1 ;;
      *)
        echo "usb_disk.sh: no such kind: $kind" >&2; exit 2 ;;
    esac || { unmount "$folder"; exit 1; }
    mountpoint -q "$folder" ;;
  umount)
    unmount "$2" ;;
  *)
    echo "usage: usb_disk.sh mount fat32|exfat FOLDER | umount FOLDER" >&2; exit 2 ;;
esac
