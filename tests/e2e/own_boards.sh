#!/bin/bash
# A player's own board in the game: the Game menu names it by the title kelbo gave it (an accent
# and an ampersand included) and keeps every other item as it was, and a 2 x 2 board gets a
# window that its whole header fits, the board under the button. The picture of that window is
# kept in BUILD_DIR/screenshots/own-2x2.png. The level items' texts in the open pop-up hold an
# "&" doubled, which shows as one; the Best times dialog shows the title's "&" as it is.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
e2e_setup
(cd "$GAME_DIR" && "$KELBO" init >/dev/null) || fail "kelbo init"
start_wineserver
shots="$BUILD_DIR/screenshots"
mkdir -p "$shots"

pixel() {
    convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -1 | tr -d '#'
}

# Saves the open Game pop-up's pixels, one text line of the menu per file ($2-N.txt).
save_menu_lines() {
    local window=$1 prefix=$2 geometry line=0 top bottom
    geometry=$(window_geometry "$window")
    set -- $geometry
    import -window root -crop "130x256+$(($1 + CLIENT_LEFT))+$(($2 + CLIENT_TOP))" +repage "$WORK/menu.png"
    while read -r top bottom _; do
        convert "$WORK/menu.png" -crop "130x$((bottom - top + 1))+0+$top" +repage rgb:- | md5sum >"$prefix-$line.txt"
        line=$((line + 1))
    done < <(game_menu_lines "$window")
}

run_and_read_menu() {
    start_skarvel
    window=$(wait_for_window Skarvel)
    open_game_menu "$window"
    save_menu_lines "$window" "$1"
}

# The level items' texts in the open pop-up, each "&" as "&&": the expected texts, one a line,
# against `game_probe menu` for ids 40005 to 40012.
expect_level_items() {
    local id=40005 expected actual
    while IFS= read -r expected; do
        actual=$(probe menu "$id") || fail "game_probe menu $id failed"
        [ "$actual" = "$expected" ] || fail "menu item $id reads \"$actual\", expected \"$expected\""
        id=$((id + 1))
    done <<<"$1"
}
BUILT_IN_ITEMS=$(printf '%s\n' Beginner Average Expert Triangle Star Hexagon Radiation Cross)

note "the menu of the built-in file"
run_and_read_menu "$WORK/built-in"
expect_level_items "$BUILT_IN_ITEMS"
click_menu_line "$window" "$EXIT_LINE"
expect_exit_code 0

note "a 2 x 2 board titled in the player's letters"
title=$(printf 'Zo\303\253 & Co')
(cd "$GAME_DIR" && "$KELBO" level set 3 --title "$title" --size 2x2 --mines 1 >/dev/null) || fail "kelbo level set"
run_and_read_menu "$WORK/own"
own_title=$(printf 'Zo\353 && Co')  # as Windows-1252 holds it, the "&" doubled
expect_level_items "$(awk -v title="$own_title" 'NR == 4 { print title; next } { print }' <<<"$BUILT_IN_ITEMS")"
for line in $(seq 0 $((EXIT_LINE))); do
    same=0
    cmp -s "$WORK/built-in-$line.txt" "$WORK/own-$line.txt" && same=1
    if [ "$line" = $((FIRST_LEVEL_LINE + 3)) ]; then
        [ "$same" = 0 ] || fail "the Game menu still names level 3 as before"
    else
        [ "$same" = 1 ] || fail "menu line $line changed"
    fi
done
click_menu_line "$window" $((FIRST_LEVEL_LINE + 3))
# 11 columns' worth of header: 11 x 15 + 46 by 2 x 26 + 90.
expect_centred_size "$window" 211 142
sleep 1
set -- $(window_geometry "$window")
import -window root -crop "${3}x${4}+${1}+${2}" +repage "$shots/own-2x2.png"
at() { pixel "$shots/own-2x2.png" $((CLIENT_LEFT + $1)) $((CLIENT_TOP + $2)); }
outline=$(at 30 20)
[ "$(at 86 20)" = "$outline" ] || fail "the mine counter's box is not whole"
[ "$(at 118 20)" = "$outline" ] && [ "$(at 174 20)" = "$outline" ] || fail "the clock's box is not whole"
[ "$(at 102 14)" = FFFF00 ] || fail "no smiling face at the middle of the header: $(at 102 14)"
[ "$(at 98 62)" = C0C0C0 ] || fail "no covered cell under the button: $(at 98 62)"
post_command 40013
wait_for_window "Best times" >/dev/null
[ "$(control_text "Best times" 1014)" = "$(printf 'Zo\353 & Co')" ] ||
    fail "the Best times dialog's title reads \"$(control_text "Best times" 1014)\""
click_control "Best times" 1
open_game_menu "$window"
click_menu_line "$window" "$EXIT_LINE"
expect_exit_code 0
echo "own_boards: passed"
