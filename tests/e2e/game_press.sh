#!/bin/bash
# The pressed picture follows the pointer while the left button is held: it shows on covered
# and flagged cells, moves from cell to cell, leaves with the pointer, and the release acts on the
# cell under the pointer alone.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
play_setup
start_known_game
sleep 1

# A pixel that is white on a raised up-pointing cell's picture and black on the pressed one, and
# one where a down-pointing cell shows white raised, black pressed and silver uncovered.
look() {
    local x y
    x=$(anchor_x "$1") y=$(anchor_y "$2")
    if points_up "$1" "$2"; then x=$((x + 5)) y=$((y + 16)); else x=$((x + 10)); fi
    grab_region "$WORK/look.rgb" "$x" "$y" "$x" "$y"
    pixel "$WORK/look.rgb" 0 0
}
expect_look() {
    local colour
    colour=$(look "$1" "$2")
    [ "$colour" = "$3" ] || fail "$4: cell $1,$2 shows $colour, expected $3"
}
pointer_to() {
    local x y
    read -r x y <<<"$(cell_point "$1" "$2")"
    xdotool mousemove --window "$WINDOW" $((CLIENT_LEFT + x)) $((CLIENT_TOP + y))
    sleep 0.2
}

# A safe down-pointing cell of row 0 and its up-pointing neighbour to the left, flagged.
for cell in $(safe_cells); do
    column=${cell%,*} row=${cell#*,}
    [ "$row" = 0 ] && [ $((column % 2)) = 1 ] && break
done
down=$column up=$((column - 1))
play "R:$up,0"
sleep 0.3

note "press on the flagged cell $up,0"
pointer_to "$up" 0
xdotool mousedown 1
sleep 0.3
expect_look "$up" 0 FFFFFF "pressed"
note "drag to $down,0"
pointer_to "$down" 0
expect_look "$up" 0 C0C0C0 "left behind"
expect_look "$down" 0 000000 "dragged onto"
note "drag above the board"
xdotool mousemove --window "$WINDOW" 60 $((CLIENT_TOP + 30))
sleep 0.3
expect_look "$down" 0 FFFFFF "left for the header"
note "release on $down,0"
pointer_to "$down" 0
xdotool mouseup 1
sleep 0.3
expect_look "$down" 0 C0C0C0 "released on"
expect_look "$up" 0 C0C0C0 "flagged, not released on"
echo "game_press: passed"
