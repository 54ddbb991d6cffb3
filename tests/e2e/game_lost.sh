#!/bin/bash
# A game lost on a mine: every mine shows, the flag on a safe cell is crossed out and the flag on
# a mine is not; the board then takes no more clicks, and Alt+N gives the fresh board again.
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

# Points that the mine picture makes white and the cross makes red, on a flat or raised cell.
mine_point() { points_up "$1" "$2" && echo "$(($(anchor_x "$1") + 11)) $(($(anchor_y "$2") + 14))" ||
    echo "$(($(anchor_x "$1") + 11)) $(($(anchor_y "$2") + 6))"; }
cross_point() { points_up "$1" "$2" && echo "$(($(anchor_x "$1") + 17)) $(($(anchor_y "$2") + 16))" ||
    echo "$(($(anchor_x "$1") + 10)) $(($(anchor_y "$2") + 9))"; }
at() { local cell=$2; $1 "${cell%,*}" "${cell#*,}"; }

for mine in "${mines[@]:1}"; do
    expect_pixel "$WORK/lost.rgb" $(at mine_point "$mine") FFFFFF "the mine at $mine"
done
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
echo "game_lost: passed"
