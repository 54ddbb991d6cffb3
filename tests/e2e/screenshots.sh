#!/bin/bash
# Every level in its fresh state, from the menu command: the window keeps a picture of itself in
# BUILD_DIR/screenshots/level-N.png once it stops changing, and shows the header panel's outline,
# the smiling button and its first cell covered; a montage of four of them, levels.png, is the
# picture that the README shows (docs/levels.png). Then the keyboard's cursor on a covered, an
# uncovered and a flagged cell of the frozen Star board, side by side, magnified, in
# keyboard-cursor.png (docs/keyboard-cursor.png is a copy).
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
e2e_setup
start_wineserver
"$KELBO" init --file "$GAME_DIR/kelbo.dat" >/dev/null || fail "kelbo init failed"
start_skarvel frozen
window=$(wait_for_window Skarvel)
shots="$BUILD_DIR/screenshots"
mkdir -p "$shots"

# Prints the colour of a pixel of a picture as RRGGBB.
pixel() {
    convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -1 | tr -d '#'
}

expect_pixel() {
    local what=$1 x=$2 y=$3 colour=$4 actual
    actual=$(pixel "$shot" $((CLIENT_LEFT + x)) $((CLIENT_TOP + y)))
    [ "$actual" = "$colour" ] || fail "level $level: $what at $x, $y is $actual, expected $colour"
}

for level in 0 1 2 3 4 5 6 7; do
    note "level $level"
    post_command $((40005 + level))
    expect_centred_size "$window" "${LEVEL_WIDTHS[level]}" "${LEVEL_HEIGHTS[level]}"
    shot="$shots/level-$level.png"
    grab_when_still "$shot" window_geometry "$window"
    columns=$(((LEVEL_WIDTHS[level] - 46) / 15))
    b=$((columns * 15 / 2))
    expect_pixel "the mine counter's corner" 30 7 00F0F0
    expect_pixel "the button's smiling face" $((b + 20)) 13 FFFF00
    # The first playable cell, at the centre of its triangle.
    read -r column row < <("$KELBO" board "$level" --seed 1 --file "$GAME_DIR/kelbo.dat" |
        awk '{ for (i = 1; i <= NF; i++) if ($i != ".") { print i - 1, NR - 1; exit } }')
    [ -n "$column" ] || fail "kelbo found no playable cell on level $level"
    centre_y=$(((column + row) % 2 == 0 ? 16 : 8))
    expect_pixel "covered cell $column, $row" $((18 + 15 * column + 13)) $((42 + 26 * row + centre_y)) C0C0C0
done

# The cursor's cell, magnified, once the window is still; the cursor must show in it.
crop_cursor() {
    local crop="$WORK/crop-${#crops[@]}.png"
    sleep 0.5
    grab_when_still "$WORK/window.png" window_geometry "$window"
    convert "$WORK/window.png" -crop "40x40+$((CLIENT_LEFT + $(anchor_x "${CURSOR%,*}") - 4))+$((CLIENT_TOP + \
        $(anchor_y "${CURSOR#*,}") - 4))" +repage -scale 400% "$crop"
    convert "$crop" -format %c histogram:info:- | grep -q '#8000FF' || fail "no cursor on cell $CURSOR"
    crops+=("$crop")
}

# The ninth new game since start-up; the first arrow shows the cursor on the first cell.
note "the keyboard's cursor"
post_command 40009
load_board 4 9
WINDOW=$window crops=() CURSOR="$(real_columns 0 | head -1),0"
xdotool mousemove --window "$window" 5 50 sleep 1 key Right
keys_to "$(real_columns 1 | head -1),1"
xdotool key --delay 30 "${KEYS[@]}"
crop_cursor
play_with_keys "L:$(cells_with 2 | head -1)"
crop_cursor
play_with_keys "R:$(cells_with '*' | head -1)"
crop_cursor
convert "${crops[@]}" -bordercolor '#808080' -border 8 +append +repage "$shots/keyboard-cursor.png"

post_command 40002
expect_exit_code 0
montage "$shots"/level-{0,3,4,6}.png -tile 4x1 -geometry +8+8 -background white "$shots/levels.png" ||
    fail "the montage of the levels could not be made"
echo "screenshots: passed, pictures in $shots"
