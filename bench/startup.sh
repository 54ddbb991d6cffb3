#!/bin/bash
# Start-up of skarvel.exe under Wine beside Wine's own mine game: the time from the launch until
# the first frame shows the whole board drawn, and the peak resident memory of the game's
# process, with and without an existing kelbo.dat. Launches alternate between the two games; the
# Wine server is kept running, as on a desktop where Wine is already up.
# BASELINE_EXE, when given, is another build of skarvel.exe (the one before a change), launched in
# the same rounds with an existing kelbo.dat.
# Usage: bench/startup.sh [BUILD_DIR] [RUNS] [BASELINE_EXE]
build=$(cd "${1:-build}" && pwd)
runs=${2:-10}
baseline_exe=${3:-}
. "$(dirname "$0")/../tests/e2e/lib.sh" "$build" "$build/windows/ui/skarvel.exe" "$build/tools/kelbo" \
    "$build/windows/tests/e2e/game_probe.exe"
e2e_setup
start_wineserver

now_ms() { date +%s%3N; }

# The screen pixel (x, y) as 6 hex digits, blue first, from a grab of the root window by xwd (a
# few ms; a crop by import takes 50 or more): the header, whose size changes with the root
# window's name, the colour map, then rows of 4-byte pixels. The polling sleeps between grabs, so
# that it takes no more than a small part of a core from the launch it measures.
pixel_at() {
    local grab="$WORK/root.xwd" header
    xwd -root -silent -out "$grab"
    header=($(od -An -tu4 -N100 --endian=big "$grab"))
    od -An -tx1 -N3 -j $((header[0] + header[19] * 12 + $2 * header[12] + $1 * header[11] / 8)) "$grab" | tr -d ' \n'
}

# The game's own process: Wine's programs under our prefix whose command line names it.
game_process() {
    local name=$1 pid tries command_line
    for tries in $(seq 100); do
        for pid in $(ls /proc | grep '^[0-9]*$'); do
            command_line=$(tr '\0' ' ' 2>/dev/null <"/proc/$pid/cmdline")
            echo "$command_line" | grep -qi "$name" || continue
            echo "$command_line" | grep -qi 'start.exe' && continue
            tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qx "WINEPREFIX=$WINEPREFIX" || continue
            echo "$pid"
            return 0
        done
        sleep 0.05
    done
    fail "no process for $name"
}

POLL_PAUSE=0.02

# Silver at the centre of Beginner's last cell, an up triangle at column 12 of row 6; the window
# is centred on the 800 x 600 desktop.
SKARVEL_X=$(((800 - 241) / 2 + CLIENT_LEFT + 18 + 15 * 12 + 13))
SKARVEL_Y=$(((600 - 272) / 2 + CLIENT_TOP + 42 + 26 * 6 + 16))
SKARVEL_DRAWN=c0c0c0
# Wine's mine game opens at the desktop's corner; its last square of Beginner is dark green.
MINE_X=143
MINE_Y=209
MINE_DRAWN=008000
# The bare window paints its client area silver; it has Beginner's size and place.
BARE_X=$SKARVEL_X
BARE_Y=$SKARVEL_Y
BARE_DRAWN=c0c0c0

# Prints "milliseconds peak-kB" for one launch of a game: launch command, process name, pixel.
time_one_start() {
    local launch=$1 name=$2 x=$3 y=$4 drawn=$5 start pid hwm
    start=$(now_ms)
    (cd "$GAME_DIR" && exec $launch) >/dev/null 2>&1 &
    until [ "$(pixel_at "$x" "$y")" = "$drawn" ]; do
        [ $(($(now_ms) - start)) -lt 20000 ] || { fail "$name drew no board within 20 s"; }
        sleep "$POLL_PAUSE"
    done
    echo -n "$(($(now_ms) - start)) "
    pid=$(game_process "$name") || fail "no process for $name"
    sleep 0.5
    hwm=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status")
    [ -n "$hwm" ] || fail "$name ended before its memory was read"
    echo "$hwm"
    close_game "$pid"
}

# Alt+F4 over the game's window closes it through WM_CLOSE; wait until the process has gone.
close_game() {
    local pid=$1 tries window
    window=$(xdotool search --onlyvisible --name '^(Skarvel|WineMine|Bare)$' | head -1)
    xdotool mousemove --window "$window" 60 60 key alt+F4
    for tries in $(seq 100); do
        [ -d "/proc/$pid" ] || break
        sleep 0.05
    done
    [ -d "/proc/$pid" ] && fail "the game did not close"
    # Lets the Wine server finish its own work for the last game (it saves the registry, for one)
    # before the next launch is timed.
    sleep 1
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

cp "$SKARVEL_EXE" "$WORK/skarvel.exe"
cp "$build/windows/bare_window.exe" "$WORK/bare_window.exe"
skarvel="wine $WORK/skarvel.exe"
mine="wine $WINEPREFIX/drive_c/windows/system32/winemine.exe"
bare="wine $WORK/bare_window.exe"
baseline="wine $WORK/baseline/skarvel.exe"
if [ -n "$baseline_exe" ]; then
    mkdir "$WORK/baseline"
    cp "$baseline_exe" "$WORK/baseline/skarvel.exe"
fi
[ -f "$WINEPREFIX/drive_c/windows/system32/winemine.exe" ] || fail "no winemine.exe in the prefix's system folder"

# One launch measured: prints "KIND milliseconds peak-kB", or ends the script when it failed.
measure() {
    local kind=$1 result
    shift
    result=$(time_one_start "$@") || fail "$kind: the launch failed"
    echo "$kind $result"
}

# Warm the caches of all three.
measure warm "$skarvel" skarvel.exe "$SKARVEL_X" "$SKARVEL_Y" "$SKARVEL_DRAWN" >/dev/null
measure warm "$mine" winemine "$MINE_X" "$MINE_Y" "$MINE_DRAWN" >/dev/null
measure warm "$bare" bare_window "$BARE_X" "$BARE_Y" "$BARE_DRAWN" >/dev/null

for run in $(seq "$runs"); do
    rm -f "$GAME_DIR/kelbo.dat"
    measure fresh "$skarvel" skarvel.exe "$SKARVEL_X" "$SKARVEL_Y" "$SKARVEL_DRAWN"
    measure existing "$skarvel" skarvel.exe "$SKARVEL_X" "$SKARVEL_Y" "$SKARVEL_DRAWN"
    measure mine "$mine" winemine "$MINE_X" "$MINE_Y" "$MINE_DRAWN"
    measure bare "$bare" bare_window "$BARE_X" "$BARE_Y" "$BARE_DRAWN"
    [ -z "$baseline_exe" ] || measure baseline "$baseline" baseline/skarvel.exe "$SKARVEL_X" "$SKARVEL_Y" "$SKARVEL_DRAWN"
done >"$WORK/runs"

figure() { awk -v k="$1" -v f="$2" '$1 == k { print $f }' "$WORK/runs" | median; }
fresh_ms=$(figure fresh 2) existing_ms=$(figure existing 2) mine_ms=$(figure mine 2)
fresh_kb=$(figure fresh 3) existing_kb=$(figure existing 3) mine_kb=$(figure mine 3)
bare_ms=$(figure bare 2) bare_kb=$(figure bare 3)
baseline_ms=$(figure baseline 2) baseline_kb=$(figure baseline 3)
echo "medians of $runs launches, to the first frame with the whole board drawn; peak resident memory"
echo "skarvel, writing a new kelbo.dat: ${fresh_ms} ms, ${fresh_kb} kB"
echo "skarvel, existing kelbo.dat:      ${existing_ms} ms, ${existing_kb} kB"
echo "winemine.exe:                     ${mine_ms} ms, ${mine_kb} kB"
echo "bare window:                      ${bare_ms} ms, ${bare_kb} kB"
[ -z "$baseline_exe" ] || echo "baseline, existing kelbo.dat:     ${baseline_ms} ms, ${baseline_kb} kB"
awk -v s="$existing_ms" -v m="$mine_ms" -v b="$bare_ms" -v sk="$existing_kb" -v mk="$mine_kb" -v bk="$bare_kb" \
    'BEGIN { printf "skarvel / winemine: time %.2f, memory %.2f\n", s / m, sk / mk
             printf "skarvel / bare window: time %.2f, memory %.2f\n", s / b, sk / bk }'
