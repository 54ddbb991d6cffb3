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

echo "play.sh: checking for the packages that the game needs; any that are missing are installed (about a minute)..."
bash "$root/scripts/install-deps.sh"
echo "play.sh: building the game and kelbo (about three minutes the first time, seconds after that)..."
cmake -S "$root" -B "$root/build" -G Ninja -DSKARVEL_WINDOWS=ON >/dev/null
cmake --build "$root/build" -j2 --target skarvel_windows_game kelbo

cd "$here"
echo "play.sh: starting the game under Wine (its first start sets Wine up, which takes some seconds)..."
export WINEDEBUG=${WINEDEBUG:--all}
exec wine "$root/build/windows/ui/skarvel.exe"
