#!/bin/bash
# Start-up time of skarvel.exe under Wine: from the launch until the window is on screen, with and
# without an existing kelbo.dat. The Wine server is kept running between launches, as on a desktop
# where Wine is already up. Usage: bench/startup.sh [BUILD_DIR] [RUNS]
build=$(cd "${1:-build}" && pwd)
runs=${2:-10}
. "$(dirname "$0")/../tests/e2e/lib.sh" "$build" "$build/windows/ui/skarvel.exe" "$build/tools/kelbo" \
    "$build/windows/tests/e2e/game_probe.exe"
e2e_setup
start_wineserver

now_ms() { date +%s%3N; }

# Milliseconds from the launch until a visible window titled Skarvel exists, polled every 10 ms.
time_one_start() {
    local start=$(now_ms)
    start_skarvel
    until xdotool search --onlyvisible --name '^Skarvel$' >/dev/null 2>&1; do
        sleep 0.01
    done
    echo $(($(now_ms) - start))
    xdotool search --onlyvisible --name '^Skarvel$' | head -1 | xargs -I{} xdotool mousemove --window {} 100 150 key alt+x
    wait_for_exit
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

start_skarvel && wait_for_window Skarvel >/dev/null && post_command 40002 && wait_for_exit  # warm the caches

fresh=$(for run in $(seq "$runs"); do rm -f "$GAME_DIR/kelbo.dat"; time_one_start; done | median)
existing=$(for run in $(seq "$runs"); do time_one_start; done | median)
echo "start-up to a visible window, median of $runs: ${fresh} ms writing a new kelbo.dat, ${existing} ms with an existing one"
