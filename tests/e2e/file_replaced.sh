#!/bin/bash
# The data file replaced while the game runs, as kelbo does it (a new file renamed over the old):
# kelbo.exe may replace it while the game is open, the next new game plays the level as the file
# holds it now, and a won time is checked against and written into the table of the file as it
# is now, not the one it replaced.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
KELBO_EXE=$(dirname "$SKARVEL_EXE")/../tools/kelbo.exe
[ -f "$KELBO_EXE" ] || fail "no $KELBO_EXE"
play_setup
set_table_times 0 1  # a table no real win enters
start_known_game

note "kelbo.exe level set while the game runs"
(cd "$GAME_DIR" && timeout 60 wine "$KELBO_EXE" level set 0 --title Wide --mines 10 --size 8x15 \
    >"$WORK/kelbo.out" 2>"$WORK/kelbo.err")
code=$?
[ "$code" = 0 ] || fail "kelbo.exe level set exit code $code: $(tr -d '\r' <"$WORK/kelbo.err")"
post_command 40001
expect_centred_size "$WINDOW" 271 298

note "kelbo level reset: the built-in level and its table"
"$KELBO" level reset 0 --file "$GAME_DIR/kelbo.dat" >/dev/null || fail "kelbo level reset failed"
post_command 40001
expect_centred_size "$WINDOW" "${LEVEL_WIDTHS[0]}" "${LEVEL_HEIGHTS[0]}"
load_board 0 2  # the third game since start-up
win_game
wait_for_window "CONGARTULATIONS!" >/dev/null
click_control "CONGARTULATIONS!" 1  # OK: a Return sent as the dialog shows can be lost
wait_for_window "Best times" >/dev/null
[ "$(control_text "Best times" 1004)" = NONAME ] || fail "the Best times dialog does not show the new time first"
click_control "Best times" 1
first=$(file_times 0 | head -1)
grep -q "1\. NONAME" <<<"$first" || fail "the file's table starts with \"$first\", not the new time"

xdotool mousemove --window "$WINDOW" 100 150 key alt+x
wait_for_frozen_exit
echo "file_replaced: passed"
