#!/bin/bash
# The drawing under Wine, from the build tree's Windows programs, on a screen of 2560 x 1440 (a
# private Xvfb display and Wine desktop): draw_benchmark's figures against their floors, then the
# peak memory of skarvel.exe on Expert and on a 38 x 124 board, beside that of BASELINE_EXE (the
# program built before the drawing changed) when it is given.
# Usage: bench/draw.sh [BUILD_DIR] [RUNS] [BASELINE_EXE]
set -eu
build=$(cd "${1:-build}" && pwd)
runs=${2:-9}
baseline=${3:-}
. "$(dirname "$0")/../tests/wine/wine_env.sh" "$build"
work=$(mktemp -d)
xvfb=""
cleanup() {
    wineserver -k 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "draw.sh: $*" >&2; exit 1; }

Xvfb -displayfd 3 -screen 0 2560x1440x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for tries in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(tr -d '\n' <"$work/display")"
cp -a "$WINEPREFIX" "$work/prefix"
export WINEPREFIX="$work/prefix" TMPDIR="$work"
wineserver -p
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 2560x1440 /f >/dev/null 2>&1

wine "$build/windows/draw_benchmark.exe" "$runs" | tr -d '\r'

# Peak resident memory (VmHWM) of a game that shows level 0 at the given size, once drawn.
peak_memory() {
    local exe=$1 size=$2 folder="$work/game-$RANDOM" pid tries
    mkdir "$folder"
    "$build/tools/kelbo" init --file "$folder/kelbo.dat" >/dev/null
    "$build/tools/kelbo" level set 0 --size "$size" --mines 10 --title Measured --file "$folder/kelbo.dat" \
        >/dev/null || fail "kelbo level set failed"
    cp "$exe" "$folder/game.exe"
    (cd "$folder" && exec wine game.exe) >/dev/null 2>&1 &
    timeout 30 xdotool search --sync --onlyvisible --name '^Skarvel$' >/dev/null || fail "$exe showed no window"
    sleep 2
    pid=""
    for tries in $(seq 50); do
        pid=$(grep -l "game.exe" /proc/[0-9]*/cmdline 2>/dev/null | while read -r f; do
            d=${f%/cmdline}
            tr '\0' '\n' 2>/dev/null <"$d/environ" | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "${d#/proc/}"
        done | head -1)
        [ -n "$pid" ] && break
        sleep 0.1
    done
    [ -n "$pid" ] || fail "no process for $exe"
    awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status"
    xdotool search --onlyvisible --name '^Skarvel$' | head -1 | xargs -I{} xdotool mousemove --window {} 60 60 key alt+F4
    for tries in $(seq 100); do [ -d "/proc/$pid" ] || break; sleep 0.05; done
}

for size in 14x36 38x124; do
    now=$(peak_memory "$build/windows/ui/skarvel.exe" "$size")
    if [ -n "$baseline" ]; then
        before=$(peak_memory "$baseline" "$size")
        echo "peak memory on $size: $now kB, before $before kB: $((now - before)) kB more"
    else
        echo "peak memory on $size: $now kB"
    fi
done
