#!/bin/bash
# Every level item, chosen with the mouse from the Game menu, gives the window the level's size,
# centred on the desktop, and moves the check mark to that item alone. The Exit item ends the
# game with exit code 0.
. "$(dirname "$0")/lib.sh" "$@"
e2e_setup
start_wineserver
start_skarvel
window=$(wait_for_window Skarvel)
expect_centred_size "$window" "${LEVEL_WIDTHS[0]}" "${LEVEL_HEIGHTS[0]}"

current=0
for level in 1 2 3 4 5 6 7 0 0; do
    note "level $level"
    open_game_menu "$window"
    expect_only_checked "$current" "$window"
    click_menu_line "$window" $((FIRST_LEVEL_LINE + level))
    expect_centred_size "$window" "${LEVEL_WIDTHS[level]}" "${LEVEL_HEIGHTS[level]}"
    current=$level
done

note "the Exit item"
open_game_menu "$window"
expect_only_checked 0 "$window"
click_menu_line "$window" "$EXIT_LINE"
expect_exit_code 0
echo "levels: passed"
