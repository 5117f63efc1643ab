#!/usr/bin/env bash
# The small drive of the archive tests: a tmpfs of 64 KiB on the folder that
# the Wine prefix of the build tree names as drive Q: (scripts/wine-run.sh).
# Usage: small_drive.sh mount|unmount FOLDER
# Mounting needs root; where it is not possible the test that uses the drive
# skips and says why.
set -u
action=$1
folder=$2
case "$action" in
  mount)
    mkdir -p "$folder"
    if mountpoint -q "$folder"; then umount "$folder"; fi
    if mount -t tmpfs -o size=64k,mode=0777 tmpfs "$folder" 2>/tmp/small-drive-mount.$$; then
      echo "small drive: 64 KiB tmpfs on $folder"
    else
      echo "small drive: cannot mount a tmpfs on $folder ($(cat /tmp/small-drive-mount.$$)); the full-disk test will skip"
    fi
    rm -f /tmp/small-drive-mount.$$
    ;;
  unmount)
    if mountpoint -q "$folder"; then umount "$folder"; fi
    echo "small drive: $folder unmounted"
    ;;
  *)
    echo "usage: $0 mount|unmount FOLDER" >&2
    exit 2
    ;;
esac
exit 0
