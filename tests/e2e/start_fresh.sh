#!/bin/bash
# Started in an empty folder, the game writes the default data file and shows Beginner centred,
# with the check mark on Beginner alone. The About dialog closes through OK only. The close box
# ends the game with exit code 0.
. "$(dirname "$0")/lib.sh" "$@"
e2e_setup
start_wineserver
"$KELBO" init --file "$WORK/default.dat" >/dev/null || fail "kelbo init failed"

start_skarvel
window=$(wait_for_window Skarvel)
note "Beginner at its size, centred, from the first look"
expect_centred_size "$window" "${LEVEL_WIDTHS[0]}" "${LEVEL_HEIGHTS[0]}" at-once
note "the default data file"
[ -f "$GAME_DIR/kelbo.dat" ] || fail "no kelbo.dat written"
[ "$(stat -c %s "$GAME_DIR/kelbo.dat")" = 2225 ] || fail "kelbo.dat has $(stat -c %s "$GAME_DIR/kelbo.dat") bytes"
cmp "$GAME_DIR/kelbo.dat" "$WORK/default.dat" || fail "kelbo.dat differs from the default file"

note "check mark on Beginner"
open_game_menu "$window"
expect_only_checked 0 "$window"
close_menu

note "About dialog: Esc leaves it open, Enter presses OK"
xdotool mousemove --window "$window" 68 31 click 1
sleep 0.5
xdotool key Down Return
about=$(wait_for_window "About Skarvel")
xdotool mousemove --window "$about" 10 10 key Escape
sleep 0.5
window_gone "About Skarvel" && fail "Esc closed the About dialog"
xdotool key Return
for tries in $(seq 30); do window_gone "About Skarvel" && break; sleep 0.1; done
window_gone "About Skarvel" || fail "OK did not close the About dialog"
expect_running

note "the close box"
xdotool mousemove --window "$window" $((LEVEL_WIDTHS[0] - 12)) 11 click 1
expect_exit_code 0
echo "start_fresh: passed"
