#!/bin/bash
# A game lost on a mine: every mine shows, the flag on a safe cell is crossed out and the flag on
# a mine is not; the board then takes no more clicks, and Alt+N gives the fresh board again. Every
# new game since start-up, whatever starts it, is the board that kelbo prints for the frozen
# clock and that game's number: its mines are the ones a loss shows. On a board of one's own
# thick with mines, every road to a loss, in both modes, shows every mine not flagged flat with
# the mine over it, as the icons' pictures compose it.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
DENSE=7
play_setup
"$KELBO" level set "$DENSE" --title Dense --size 7x13 --mines 60 --file "$GAME_DIR/kelbo.dat" >/dev/null ||
    fail "kelbo level set"
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
expect_flat_mines "$WORK/lost.rgb" "game 0" "$wrong_flag ${mines[0]}"
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

# The losing move of a road on the dense board, after an opening release in MOVES (none for the
# first release); FLAGS gets the flags it placed.
FLAGS=""
lose_by_release() { play "L:$(cells_with '*' | head -1)"; }
lose_by_space() {
    CURSOR=$(cells_with '*' | head -1)
    pointer_to "$CURSOR"
    xdotool key Right space
}
lose_on_question_mark() {
    local mine
    mine=$(cells_with '*' | tail -1)
    play "R:$mine" "R:$mine" "L:$mine"
}
# $1: M for the middle button, C for the key; the rest: kelbo replay's options for the board.
lose_by_chord() {
    local chord flag
    chord=($(losing_chord "${@:2}")) || fail "no chord that loses on the dense board"
    FLAGS="${chord[*]:1}"
    for flag in $FLAGS; do play "R:$flag"; done
    if [ "$1" = M ]; then
        play "M:${chord[0]}"
    else
        CURSOR=${chord[0]}
        pointer_to "$CURSOR"
        xdotool key Right c
    fi
}

# Mode | road | the losing move. The dense board's first release in an ordinary game is a mine
# more often than not; in the No guessing mode it deals the board, and the loss comes later.
DENSE_ROADS=("ordinary|a first release|lose_by_release"
    "ordinary|Space after an opening release|lose_by_space"
    "ordinary|a middle chord over a wrong flag|lose_by_chord M"
    "ordinary|a release on a question-marked mine|lose_on_question_mark"
    "No guessing|a later release|lose_by_release"
    "No guessing|Space|lose_by_space"
    "No guessing|C over a wrong flag|lose_by_chord C --no-guess"
    "No guessing|a middle chord over a wrong flag|lose_by_chord M --no-guess"
    "No guessing|a release on a question-marked mine|lose_on_question_mark")
post_command $((40005 + DENSE))
for row in "${DENSE_ROADS[@]}"; do
    IFS='|' read -r mode road move <<<"$row"
    if [ "$mode" = "No guessing" ] && [ "${NO_GUESS_ON:-}" = "" ]; then
        post_command 40014  # a new game
        NO_GUESS_ON=1 game=$((game + 1))
    fi
    sleep 1
    note "the dense board, game $game, $mode: $road"
    load_board "$DENSE" "$game"
    MOVES=() CURSOR="" FLAGS=""
    if [ "$mode" = "No guessing" ]; then
        MOVES=("L:6,3")
        play "${MOVES[@]}"
        load_board "$DENSE" "$game" --no-guess --first 6,3
    elif [ "$road" != "a first release" ]; then
        MOVES=("L:$(safe_cells | head -1)")
        play "${MOVES[@]}"
    fi
    sleep 0.5
    eval "$move"
    sleep 1
    grab_client "$WORK/dense-$game.rgb"
    expect_flat_mines "$WORK/dense-$game.rgb" "game $game, $mode: $road" "$FLAGS"
    xdotool key F2
    game=$((game + 1))
done
echo "game_lost: passed"
