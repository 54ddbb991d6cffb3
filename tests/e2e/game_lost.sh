#!/bin/bash
# A game lost on a mine: every mine shows, the flag on a safe cell is crossed out and the flag on
# a mine is not; the board then takes no more clicks, and Alt+N gives the fresh board again. Every
# new game since start-up, whatever starts it, is the board that kelbo prints for the frozen
# clock and that game's number: its mines are the ones a loss shows.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
play_setup
start_known_game
sleep 1
grab_client "$WORK/fresh.rgb"

mines=($(cells_with '*'))
wrong_flag=$(cells_with 1 | head -1)
note "flags on $wrong_flag (safe) and ${mines[0]} (a mine), then a left release on ${mines[1]}"
play "R:$wrong_flag" "R:${mines[0]}" "L:${mines[1]}"
sleep 1
grab_client "$WORK/lost.rgb"

# Points that the cross makes red, on a flat or raised cell.
cross_point() { points_up "$1" "$2" && echo "$(($(anchor_x "$1") + 17)) $(($(anchor_y "$2") + 16))" ||
    echo "$(($(anchor_x "$1") + 10)) $(($(anchor_y "$2") + 9))"; }
expect_mines_shown "$WORK/lost.rgb" "game 0" "$wrong_flag ${mines[0]}"
expect_pixel "$WORK/lost.rgb" $(at cross_point "$wrong_flag") FF0000 "the cross on the flag at $wrong_flag"
expect_pixel "$WORK/lost.rgb" $(at cross_point "${mines[0]}") C0C0C0 "the flag on the mine at ${mines[0]}"

note "after the loss, releases change nothing"
play "L:$(safe_cells | tail -1)" "R:$(safe_cells | tail -2 | head -1)"
sleep 0.5
grab_client "$WORK/after.rgb"
cmp -s "$WORK/lost.rgb" "$WORK/after.rgb" || fail "a release changed the lost board"

note "Alt+N"
xdotool key alt+n
sleep 1
grab_client "$WORK/new.rgb"
cmp -s "$WORK/fresh.rgb" "$WORK/new.rgb" || fail "Alt+N did not bring back the fresh board"

# Way to the next new game | a command that takes it. Alt+N has made game 1 above.
click_new_game_button() { xdotool mousemove --window "$WINDOW" $((CLIENT_LEFT + 97 + 20)) $((CLIENT_TOP + 20)) click 1; }
NEW_GAMES=("Alt+N|true" "the button|click_new_game_button" "Alt+N again|xdotool key Escape alt+n"
    "the Beginner item|post_command 40005")
game=1
for row in "${NEW_GAMES[@]}"; do
    IFS='|' read -r way command <<<"$row"
    note "game $game, by $way"
    eval "$command"
    sleep 1
    load_board 0 "$game"
    play "L:$(cells_with '*' | head -1)"
    sleep 1
    grab_client "$WORK/lost-$game.rgb"
    expect_mines_shown "$WORK/lost-$game.rgb" "game $game, by $way"
    game=$((game + 1))
done
echo "game_lost: passed"
