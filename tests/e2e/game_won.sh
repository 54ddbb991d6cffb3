#!/bin/bash
# A won game that enters the table: the Enter name dialog takes the first 10 characters of the
# typed name, Esc closes neither dialog, the new entry lands first in the file with the slower
# ones moved down and nothing else changed, and the Best times dialog shows it, also after a
# restart. A win too slow for the table says "You win!". Behind the Enter name dialog and the
# message the window shows the whole winning move.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
play_setup
cp "$GAME_DIR/kelbo.dat" "$WORK/before.dat"
start_known_game

note "winning Beginner"
win_game
name_dialog=$(wait_for_window "CONGARTULATIONS!")
grab_behind_dialog "$WORK/behind-name.png" "CONGARTULATIONS!"
shots="$BUILD_DIR/screenshots"
mkdir -p "$shots"
read -r left top right bottom <<<"$BEHIND_DIALOG"
read -r x y width height <<<"$(window_geometry "$WINDOW")"
((left < x)) && x=$left
((top < y)) && y=$top
import -window root -crop "$((right > x + width ? right - x : width))x$((bottom > y + height ? bottom - y : height))+$x+$y" \
    +repage "$shots/won-behind-name-dialog.png"
[ "$(control_text "CONGARTULATIONS!" 1015)" = NONAME ] || fail "the name field does not start as NONAME"
xdotool mousemove --window "$name_dialog" 20 20 key Escape
sleep 0.5
window_gone "CONGARTULATIONS!" && fail "Esc closed the Enter name dialog"
xdotool type --delay 20 'Abcdefghijkl'
xdotool key Return

note "the Best times dialog"
times_dialog=$(wait_for_window "Best times")
seconds=$(control_text "Best times" 1009)
[ "$(control_text "Best times" 1004)" = Abcdefghij ] || fail "the dialog shows \"$(control_text "Best times" 1004)\" first"
[ "$(control_text "Best times" 1014)" = Beginner ] || fail "the dialog is not Beginner's"
[ "$seconds" -ge 0 ] && [ "$seconds" -lt 60 ] || fail "the new time is \"$seconds\""
xdotool mousemove --window "$times_dialog" 20 20 key Escape
sleep 0.5
window_gone "Best times" && fail "Esc closed the Best times dialog"
click_control "Best times" 1
sleep 0.5
window_gone "Best times" || fail "OK did not close the Best times dialog"
expect_seen_behind_dialog "$WORK/behind-name.png" "the Enter name dialog"

note "the file"
# The new entry first, the old first four moved down one place, the old last gone.
expected=$(printf '  1. %-10s %6d\n' Abcdefghij "$seconds"
    "$KELBO" times 0 --file "$WORK/before.dat" | sed -n '2,5p' | awk '{ $1 = NR + 1 "."; printf "  %s %-10s %6d\n", $1, $2, $3 }')
[ "$(file_times 0)" = "$expected" ] || fail "the table in the file is
$(file_times 0)
expected
$expected"
outside=$(changes_outside_table "$WORK/before.dat" "$GAME_DIR/kelbo.dat" 0)
[ -z "$outside" ] || fail "bytes outside Beginner's table changed at offsets $outside"

note "after a restart"
xdotool mousemove --window "$WINDOW" 100 150 key alt+x
wait_for_frozen_exit
start_skarvel frozen
WINDOW=$(wait_for_window Skarvel)
post_command 40013
wait_for_window "Best times" >/dev/null
[ "$(control_text "Best times" 1004) $(control_text "Best times" 1009)" = "Abcdefghij $seconds" ] ||
    fail "the best time is gone after a restart"
click_control "Best times" 1

note "a win too slow for the table"
set_table_times 0 1
win_game
wait_for_message_text "" | grep -qx "You win!" || fail "no \"You win!\" after a win too slow for the table"
grab_behind_dialog "$WORK/behind-win.png" ""
xdotool key Return
sleep 0.5
expect_seen_behind_dialog "$WORK/behind-win.png" "the \"You win!\" message"
echo "game_won: passed"
