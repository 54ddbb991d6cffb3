#!/usr/bin/env bash
# Installs what is missing, builds skarvel.exe and the kelbo tool (build/tools/kelbo) and starts
# the game under Wine. The game keeps its kelbo.dat in the directory this script is started from.
set -euo pipefail
here=$PWD
root=$(cd "$(dirname "$0")/.." && pwd)

# Said before anything is installed or built, which takes minutes on a fresh machine.
if [ -z "${DISPLAY:-}" ]; then
  echo "play.sh: no display to show the game on: DISPLAY is not set. Start it in a desktop session" >&2
  echo "(or over ssh -X), or give the game a screen of its own: xvfb-run -a bash scripts/play.sh" >&2
  echo "(xvfb-run is in the package xvfb)." >&2
  exit 1
fi

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DSKARVEL_WINDOWS=ON
cmake --build "$root/build" -j2 --target skarvel_windows kelbo

cd "$here"
export WINEDEBUG=${WINEDEBUG:--all}
exec wine "$root/build/windows/ui/skarvel.exe"
