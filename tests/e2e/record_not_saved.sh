#!/bin/bash
# The data file removed while the winner types a name: the game says in its own message box that
# the time was not saved and names the file, shows no table, and writes no new file behind the
# player's back. Behind the message the window shows the whole winning move. Then, with another
# program holding the data file's lock all the while, the game keeps painting as it waits for it and
# then says that the file is being changed.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
play_setup
start_known_game

note "winning Beginner, then the file goes"
win_game
wait_for_window "CONGARTULATIONS!" >/dev/null
rm "$GAME_DIR/kelbo.dat"
click_control "CONGARTULATIONS!" 1  # OK: a Return sent as the dialog shows can be lost

box=$(wait_for_message_box "$WINDOW")
text=$(message_box_text)
note "message: $text"
expect_full_path "$text"
grep -q 'kelbo.dat cannot be read, so your time of [0-9]* seconds\? was not saved' <<<"$text" ||
    fail "the message does not name kelbo.dat and say the time was not saved"
grep -qiE 'move (it|the file)' <<<"$text" && fail "the message advises moving a file that is not there"
grab_behind_dialog "$WORK/behind.png" Skarvel
xdotool mousemove --window "$box" 10 10 key Return
sleep 0.5
expect_seen_behind_dialog "$WORK/behind.png" "the message that the time was not saved"
window_gone "Best times" || fail "a table was shown for a time that was not saved"
[ -e "$GAME_DIR/kelbo.dat" ] && fail "a new kelbo.dat appeared"
xdotool mousemove --window "$WINDOW" 100 150 key alt+x
wait_for_frozen_exit
[ -e "$GAME_DIR/kelbo.dat" ] && fail "a new kelbo.dat appeared at exit"
echo "record_not_saved: passed"

note "winning again while another program holds the data file's lock"
"$KELBO" init --file "$GAME_DIR/kelbo.dat" >/dev/null || fail "kelbo init failed"
cp "$(dirname "$GAME_PROBE_EXE")/../windows/hold_file.exe" "$WORK/hold_file.exe"
(cd "$GAME_DIR" && "${RUN_AS[@]}" wine "$WORK/hold_file.exe" --lock kelbo.dat >/dev/null 2>&1) &
holder=$!
for _ in $(seq 300); do [ -e "$GAME_DIR/held" ] && break; sleep 0.1; done
[ -e "$GAME_DIR/held" ] || fail "hold_file.exe did not take the lock"
start_known_game
win_game
wait_for_window "CONGARTULATIONS!" >/dev/null
click_control "CONGARTULATIONS!" 1
sleep 1 # the game waits 5 s for the lock
started=$(date +%s%N)
probe repaint >/dev/null || fail "game_probe repaint failed"
took=$((($(date +%s%N) - started) / 1000000))
note "a repaint asked for while the game waits took $took ms"
[ "$took" -lt 2500 ] || fail "the window did not paint while the game waited for the lock ($took ms)"
box=$(wait_for_message_box "$WINDOW")
text=$(message_box_text)
grep -q 'kelbo.dat is being changed by another program (kelbo, or another copy of the game), so your time of [0-9]* seconds\? was not saved' <<<"$text" ||
    fail "under the lock the message says: $text"
xdotool mousemove --window "$box" 10 10 key Return
touch "$GAME_DIR/release"
wait "$holder"
xdotool mousemove --window "$WINDOW" 100 150 key alt+x
wait_for_frozen_exit
