#!/bin/bash
# A won game too slow for the table gives "You win!" and leaves the file as it was; the Best times
# dialog reads "Best times for TITLE" on one line and a name's "&" as it is; Reset scores empties
# the current level's table alone and leaves every other byte of the file unchanged.
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

# The lowest screen row of a rectangle's dark pixels: a word wrapped to a second line shows lower.
ink_bottom() {
    import -window root -crop "$(($3 - $1))x$(($4 - $2))+$1+$2" +repage -depth 8 txt:- |
        awk -F'[(,)]' -v top="$2" 'NR > 1 && $3 + $4 + $5 < 384 { print $2 + top }' | sort -n | tail -1
}

note "Reset scores on Triangle, whose first name holds an \"&\""
printf 'Q&A\0\0\0\0\0\0\0\0' | dd of="$GAME_DIR/kelbo.dat" bs=1 seek=$(($(record_offset 3) + 16)) conv=notrunc status=none
post_command 40008
post_command 40013
wait_for_window "Best times" >/dev/null
[ "$(control_text "Best times" 1014)" = Triangle ] || fail "the dialog is not Triangle's"
[ "$(control_text "Best times" 1004)" = "Q&A" ] || fail "the first name reads \"$(control_text "Best times" 1004)\""
read -r _ left top right bottom _ <<<"$(dialog_controls "Best times" | grep ' Best times for')"
read -r _ title_left title_top title_right title_bottom _ <<<"$(dialog_controls "Best times" | awk '$1 == 1014')"
[ "$title_left" -ge "$right" ] &&
    [ "$(ink_bottom "$left" "$top" "$right" "$bottom")" -le \
        "$(ink_bottom "$title_left" "$title_top" "$title_right" "$title_bottom")" ] ||
    fail "\"Best times for Triangle\" does not read on one line"
click_control "Best times" 1003
sleep 0.5
window_gone "Best times" || fail "Reset scores did not close the dialog"
expected=$(printf '  %d. NONAME          0\n' 1 2 3 4 5)
[ "$(file_times 3)" = "$expected" ] || fail "Triangle's table after the reset is
$(file_times 3)"
outside=$(changes_outside_table "$WORK/before.dat" "$GAME_DIR/kelbo.dat" 3)
[ -z "$outside" ] || fail "bytes outside Triangle's table changed at offsets $outside"
echo "best_times: passed"
