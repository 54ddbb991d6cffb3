#!/usr/bin/env bash
# Installs what is missing, builds skarvel.exe and the kelbo tool (build/tools/kelbo) and starts
# the game under Wine. The game keeps its kelbo.dat in the directory this script is started from.
set -euo pipefail
here=$PWD
root=$(cd "$(dirname "$0")/.." && pwd)

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DSKARVEL_WINDOWS=ON
cmake --build "$root/build" -j2 --target skarvel_windows kelbo

if [ -z "${DISPLAY:-}" ]; then
  echo "play.sh: no display to show the game on; set DISPLAY (or run it under xvfb-run)" >&2
  exit 1
fi
cd "$here"
export WINEDEBUG=${WINEDEBUG:--all}
exec wine "$root/build/windows/ui/skarvel.exe"
