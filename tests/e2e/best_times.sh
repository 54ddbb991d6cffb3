#!/bin/bash
# A won game too slow for the table gives "You win!" and leaves the file as it was; Reset scores
# empties the current level's table alone and leaves every other byte of the file unchanged.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
play_setup
set_table_times 0 1
cp "$GAME_DIR/kelbo.dat" "$WORK/before.dat"
start_known_game

note "a win of 2 seconds or more against a table of 1-second times"
win_game 2.2
text=$(wait_for_message_text "")
[ "$text" = "You win!" ] || fail "the message box says \"$text\""
click_control "" 1
sleep 0.5
cmp "$WORK/before.dat" "$GAME_DIR/kelbo.dat" || fail "kelbo.dat changed"

note "Reset scores on Triangle"
post_command 40008
post_command 40013
wait_for_window "Best times" >/dev/null
[ "$(control_text "Best times" 1014)" = Triangle ] || fail "the dialog is not Triangle's"
click_control "Best times" 1003
sleep 0.5
window_gone "Best times" || fail "Reset scores did not close the dialog"
expected=$(printf '  %d. NONAME          0\n' 1 2 3 4 5)
[ "$(file_times 3)" = "$expected" ] || fail "Triangle's table after the reset is
$(file_times 3)"
outside=$(changes_outside_table "$WORK/before.dat" "$GAME_DIR/kelbo.dat" 3)
[ -z "$outside" ] || fail "bytes outside Triangle's table changed at offsets $outside"
echo "best_times: passed"
