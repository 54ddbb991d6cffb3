#!/bin/bash
# The data file removed while the winner types a name: the game says in its own message box that
# the time was not saved and names the file, shows no table, and writes no new file behind the
# player's back. Behind the message the window shows the whole winning move.
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
