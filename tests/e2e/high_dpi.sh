#!/bin/bash
# The game at 96, 144 and 192 DPI (the prefix's LogPixels): at 144 and 192 its client area is the
# 96-DPI picture with every pixel a crisp 2 x 2 block, before and after each of a left release, a
# right release and a held middle button, each of which lands on the cell under the pointer.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
e2e_setup
# The DPI is the prefix's, so this test changes a copy of it, with a desktop that holds Beginner
# at twice its size.
cp -a "$WINEPREFIX" "$WORK/prefix"
export WINEPREFIX="$WORK/prefix"
start_wineserver
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
"$KELBO" init --file "$GAME_DIR/kelbo.dat" >/dev/null || fail "kelbo init failed"
load_board 0

# The client area as the game's own probe reports it: "left top width height".
client_area() { wine "$WORK/game_probe.exe" client | tr -d '\r'; }

differing_pixels() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1; }

# The picture at scale 2 against the one at 96 DPI: every 2 x 2 block of one colour, and the
# blocks the same as the 96-DPI pixels.
expect_doubled() {
    local big=$1 small=$2 what=$3 count
    convert "$big" -sample 50% "$WORK/halved.png"
    convert "$WORK/halved.png" -sample 200% "$WORK/redoubled.png"
    count=$(differing_pixels "$big" "$WORK/redoubled.png")
    [ "$count" = 0 ] || fail "$what: $count pixels differ from their 2 x 2 block"
    count=$(differing_pixels "$WORK/halved.png" "$small")
    [ "$count" = 0 ] || fail "$what: $count pixels differ from the 96-DPI picture"
}

# A safe cell that opens no other, so that the click changes one cell alone; a mine to flag; a
# safe cell whose neighbours the middle button shows pressed.
for cell in $(safe_cells); do
    [ "$(cell_value "${cell%,*}" "${cell#*,}")" != 0 ] && break
done
# Button | the cell under the pointer | how it is pressed: a whole click or held down.
ACTIONS=("1|$cell|click" "3|$(cells_with '*' | head -1)|click" "2|$(safe_cells | tail -1)|mousedown")

for dpi in 96 144 192; do
    note "LogPixels $dpi"
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    start_skarvel frozen
    WINDOW=$(wait_for_window Skarvel)
    scale=$((dpi == 96 ? 1 : 2))
    set -- $(client_area)
    [ "$3 $4" = "$((235 * scale)) $((228 * scale))" ] ||
        fail "at $dpi DPI the client area is $3 x $4, expected $((235 * scale)) x $((228 * scale))"
    grab_when_still "$WORK/fresh-$dpi.png" client_area
    [ "$dpi" != 96 ] && expect_doubled "$WORK/fresh-$dpi.png" "$WORK/fresh-96.png" "the fresh game at $dpi DPI"
    previous="$WORK/fresh-$dpi.png"
    for action in "${ACTIONS[@]}"; do
        IFS='|' read -r button target how <<<"$action"
        read -r cell_x cell_y <<<"$(cell_point "${target%,*}" "${target#*,}")"
        # The last window pixel of the picture pixel under the pointer's 96-DPI point.
        xdotool mousemove $(($1 + cell_x * scale + scale - 1)) $(($2 + cell_y * scale + scale - 1)) "$how" "$button"
        sleep 0.5
        shot="$WORK/button$button-$dpi.png"
        grab_when_still "$shot" client_area
        [ "$(differing_pixels "$previous" "$shot")" != 0 ] ||
            fail "at $dpi DPI button $button on cell $target changed nothing"
        previous=$shot
        if [ "$dpi" != 96 ]; then
            # Below the header: the clock has started, and may have ticked in one run and not the other.
            convert "$shot" -crop +0+$((42 * scale)) +repage "$WORK/board-$dpi.png"
            convert "$WORK/button$button-96.png" -crop +0+42 +repage "$WORK/board-96.png"
            expect_doubled "$WORK/board-$dpi.png" "$WORK/board-96.png" "button $button on cell $target at $dpi DPI"
        fi
    done
    # The middle button goes up over the header, where it plays nothing.
    xdotool mousemove $(($1 + 10)) $(($2 + 10)) mouseup 2
    post_command 40002
    expect_exit_code 0
done
echo "high_dpi: passed"
