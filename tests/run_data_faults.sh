#!/bin/sh
# Runs the data-fault tests as a player would meet the faults: as an unprivileged user, whom
# permissions bind (root ignores them), on a small file system that can be filled.
# Usage: run_data_faults.sh MODEL_TESTS
set -eu
tests=$1
filter='Rows/DataFaults.*:FullDisk.*:KelboTool.ARefusedWrite*:KelboTool.ANewFile*'
if [ "$(id -u)" -ne 0 ]; then
  exec "$tests" --gtest_filter="$filter"
fi
disk=$(mktemp -d)
trap 'umount "$disk" 2>/dev/null || rm -rf "$disk/shared"; rmdir "$disk"' EXIT
if mount -t tmpfs -o size=256k,mode=1777 tmpfs "$disk" 2>/dev/null; then
  export SKARVEL_SMALL_DISK=1
else
  echo "no tmpfs could be mounted: the full-disk row is skipped"
  chmod 1777 "$disk"
fi
# A file of root's in a folder where anyone may write: nobody may replace it, but cannot give the
# new file to root.
mkdir -m 0777 "$disk/shared"
: >"$disk/shared/kelbo.dat"
chmod 0666 "$disk/shared/kelbo.dat"
export SKARVEL_FOREIGN_FILE="$disk/shared/kelbo.dat"
TMPDIR=$disk setpriv --reuid=nobody --regid=nogroup --clear-groups "$tests" --gtest_filter="$filter"
