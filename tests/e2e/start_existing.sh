#!/bin/bash
# Started where a data file exists, the game uses that file and leaves it as it was: a Beginner
# level changed to 8 rows of 15 columns gives a window of 271 x 298. Alt+X ends the game with
# exit code 0. An empty file, as a crash may leave, gets the default file as a missing one does.
. "$(dirname "$0")/lib.sh" "$@"
e2e_setup
start_wineserver
"$KELBO" init --file "$GAME_DIR/kelbo.dat" >/dev/null || fail "kelbo init failed"
printf '\x08\x0f' | dd of="$GAME_DIR/kelbo.dat" bs=1 seek=33 conv=notrunc status=none  # rows, columns
"$KELBO" check --file "$GAME_DIR/kelbo.dat" >/dev/null || fail "the changed file does not pass kelbo check"
cp -p "$GAME_DIR/kelbo.dat" "$WORK/before.dat"

start_skarvel
window=$(wait_for_window Skarvel)
note "the file's Beginner level, centred"
expect_centred_size "$window" 271 298

note "Alt+X"
xdotool mousemove --window "$window" 100 150 key alt+x
expect_exit_code 0
cmp "$GAME_DIR/kelbo.dat" "$WORK/before.dat" || fail "kelbo.dat was changed"

note "an empty file"
: >"$GAME_DIR/kelbo.dat"
start_skarvel
window=$(wait_for_window Skarvel)
expect_centred_size "$window" "${LEVEL_WIDTHS[0]}" "${LEVEL_HEIGHTS[0]}"
"$KELBO" init --file "$WORK/default.dat" >/dev/null || fail "kelbo init failed"
cmp "$GAME_DIR/kelbo.dat" "$WORK/default.dat" || fail "the empty kelbo.dat did not become the default file"
xdotool mousemove --window "$window" 100 150 key alt+x
expect_exit_code 0
echo "start_existing: passed"
