#!/bin/bash
# Each kind of move on the frozen Beginner board, looked at on the screen. After a move that
# changes the game, the window must show something new and exactly what a full repaint of the same
# game shows, so every cell and counter that changed was redrawn; after a move that changes nothing
# it must show what it showed before; a held button must show exactly the cells given pressed.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
play_setup
start_known_game
sleep 1
# The cells below are picked by hand on this board; their neighbourhoods are the five cells of
# the own row and of the row a cell's flat edge faces, and three of the row its apex points to.
[ "${BOARD[4]}" = "0 1 1 * 2 * 1 1 0 1 2 2 *" ] && [ "${BOARD[5]}" = "1 1 1 1 2 1 1 0 0 0 1 1 1" ] ||
    fail "the frozen board is not the one these cases were picked on"

# The client area less the clock, which ticks on its own: the left of the header, then the board.
grab_view() {
    grab_region "$WORK/header.rgb" 0 0 139 37
    grab_client "$WORK/client.rgb"
    { cat "$WORK/header.rgb"; tail -c +$((GRAB_WIDTH * 38 * 3 + 1)) "$WORK/client.rgb"; } >"$1"
}

# Two pictures of the same size alike to the eye: no colour channel differs by more than 16. A
# counter blanked before its new number is drawn leaves black where a repaint shows the box's
# slightly lighter fill.
# With a cell given ("COLUMN,ROW"), its picture is left out: a question mark is black when the
# click draws it and light grey when the whole window is drawn.
alike() {
    [ "$(stat -c %s "$1")" = "$(stat -c %s "$2")" ] || return 1
    local skip_x=-100 skip_y=-100
    [ -n "${3:-}" ] && skip_x=$(anchor_x "${3%,*}") skip_y=$(anchor_y "${3#*,}")
    cmp -l "$1" "$2" | awk -v width="$GRAB_WIDTH" -v sx="$skip_x" -v sy="$skip_y" '
        function value(octal, n, i) {
            for (i = 1; i <= length(octal); i++) n = n * 8 + substr(octal, i, 1)
            return n
        }
        {
            pixel = int(($1 - 1) / 3) - 140 * 38  # past the left of the header: the client from row 38
            x = pixel % width; y = int(pixel / width) + 38
            if (pixel >= 0 && x >= sx && x < sx + 32 && y >= sy && y < sy + 32) next
            d = value($2) - value($3); if (d > 16 || d < -16) exit 1
        }'
}

# Each cell's look, "COLUMN,ROW RRGGBB" a line, in a grab of the client area: a pixel that the
# pressed picture makes white on an up-pointing cell and black on a down-pointing one, and the
# raised picture silver and white.
looks() {
    od -An -v -tx1 -w3 "$1" | tr -d ' ' | awk -v width="$GRAB_WIDTH" -v rows="${#BOARD[@]}" \
        -v columns="$(wc -w <<<"${BOARD[0]}")" '
        { look[NR - 1] = toupper($0) }
        END {
            for (row = 0; row < rows; row++)
                for (column = 0; column < columns; column++) {
                    x = 18 + 15 * column; y = 42 + 26 * row
                    if ((column + row) % 2 == 0) { x += 5; y += 16 } else x += 10
                    print column "," row, look[y * width + x]
                }
        }'
}

# The cells looking pressed are exactly the CELLS given ("COLUMN,ROW" words); every other cell
# looks as before.
expect_pressed() {
    local wrong
    grab_client "$WORK/client.rgb"
    wrong=$(paste -d' ' <(looks "$WORK/before-client.rgb") <(looks "$WORK/client.rgb") | awk -v cells=" $* " '{
            split($1, at, ","); pressed = (at[1] + at[2]) % 2 ? "000000" : "FFFFFF"
            if (index(cells, " " $1 " ") ? $4 != pressed || $2 == pressed : $4 != $2)
                print "cell " $1 " looks " $2 ", then " $4
        }')
    [ -z "$wrong" ] || fail "pressed ${*:-nothing}: $wrong"
}

# The cursor's colour shows within the picture of CURSOR's cell alone, or nowhere when it is empty.
expect_cursor() {
    local box left top right bottom x y
    grab_client "$WORK/cursor.rgb"
    box=$(cursor_box "$WORK/cursor.rgb")
    [ -z "$CURSOR" ] && { [ -z "$box" ] || fail "$1: a cursor shows from $box"; return; }
    read -r left top right bottom <<<"$box"
    x=$(anchor_x "${CURSOR%,*}") y=$(anchor_y "${CURSOR#*,}")
    [ -n "$box" ] && [ "$left" -ge "$x" ] && [ "$top" -ge "$y" ] && [ "$right" -lt $((x + 32)) ] &&
        [ "$bottom" -lt $((y + 32)) ] || fail "$1: the cursor shows from ${box:-nowhere}, expected on cell $CURSOR"
}

keys() {
    xdotool key --delay 30 "$@"
    sleep 0.4
}


# Actions that hold a button, the middle one with a key when one is named: each leaves the
# button down and the pointer over the board.
hold_middle() {
    pointer_to "$1"
    xdotool ${2:+keydown "$2"} mousedown 2
    sleep 0.4
}
drag_with_shift() {
    pointer_to "$1"
    xdotool mousedown 1
    sleep 0.3
    xdotool keydown shift
    pointer_to "$2"
}
# ... and what lets go of them over the header, where a release plays nothing.
let_go() {
    pointer_to_header
    xdotool mouseup 1 mouseup 2 keyup shift keyup ctrl
    sleep 0.3
}

# The About dialog opens over a middle press; the pointer goes to the dialog, so that the main
# window has no move to put the press back with, and the screen is read with the dialog open.
# A click on the bare desktop takes the keyboard away without a dialog; one on the caption gives
# it back.
about_over_press() {
    post_command 40004
    local about
    about=$(wait_for_window "About Skarvel")
    xdotool mousemove --window "$about" 20 20
    sleep 0.4
}
focus_elsewhere() {
    xdotool mousemove 5 5 click 1
    sleep 0.4
}
focus_back() {
    xdotool mousemove --window "$WINDOW" 60 10 click 1
    sleep 0.4
}

# One case: NAME, an ACTION (a command line), what the screen must show after it (changed, same,
# or "pressed CELL..."), and a command that ends what the action holds, after which the screen
# must be as before.
run_case() {
    local name=$1 action=$2 expectation=$3 finish=${4:-}
    note "$name"
    grab_view "$WORK/before.rgb"
    cp "$WORK/client.rgb" "$WORK/before-client.rgb"
    eval "$action"
    case "$expectation" in
    changed*)
        grab_view "$WORK/after.rgb"
        alike "$WORK/before.rgb" "$WORK/after.rgb" && fail "$name: the screen did not change"
        wine "$WORK/game_probe.exe" repaint || fail "game_probe repaint failed"
        sleep 0.3
        grab_view "$WORK/repainted.rgb"
        alike "$WORK/after.rgb" "$WORK/repainted.rgb" ${expectation#changed} ||
            fail "$name: a repaint shows what the move did not draw"
        expect_cursor "$name"
        ;;
    same)
        grab_view "$WORK/after.rgb"
        alike "$WORK/before.rgb" "$WORK/after.rgb" || fail "$name: the screen changed"
        expect_cursor "$name"
        ;;
    pressed*) expect_pressed ${expectation#pressed} ;;
    as-before-around*)
        # Around the dialog that is open, but for the clock, which ticks on, as before.
        grab_behind_dialog "$WORK/open.png" "${expectation#as-before-around }"
        convert -size "$(identify -format %wx%h "$WORK/open.png")" -depth 8 "rgb:$WORK/before-client.rgb" \
            "$WORK/before-client.png"
        blacken_dialog "$WORK/before-client.png" "$WORK/before-around.png"
        for picture in before-around open; do
            convert "$WORK/$picture.png" -fill black -draw "rectangle 140,0 999,37" "$WORK/$picture.png"
        done
        [ "$(compare -metric AE "$WORK/before-around.png" "$WORK/open.png" null: 2>&1 | cut -d' ' -f1)" = 0 ] ||
            fail "$name: the window around the dialog is not as before"
        ;;
    esac
    if [ -n "$finish" ]; then
        eval "$finish"
        grab_view "$WORK/after.rgb"
        alike "$WORK/before.rgb" "$WORK/after.rgb" || fail "$name: the pressed pictures were not put back"
        let_go
    fi
}

# The 1 at 10,5 counts the mine at 12,4; its covered neighbours are pressed with it, but not the flag.
run_case "a left release on a number" "play_moves L:10,5" changed
run_case "a right release: a flag and the counter" "play_moves R:12,4" changed
run_case "a right release: the flag becomes a question mark, the counter goes up" "play_moves R:12,4" \
    "changed 12,4"
run_case "two right releases: the question mark goes, the flag is back" "play_moves R:12,4 R:12,4" changed
run_case "a middle release with Ctrl held plays nothing" "hold_middle 10,5 ctrl; xdotool mouseup 2 keyup ctrl" same
run_case "a middle press taken away by a dialog is put back at once, and chords nothing when let go" \
    "hold_middle 10,5; about_over_press" "as-before-around About Skarvel" \
    "xdotool key Return; sleep 0.5; pointer_to 10,5; xdotool mouseup 2; sleep 0.3"
# A cell put back keeps a pixel of its pressed picture: the finish draws the board afresh.
run_case "left and right presses taken away by a dialog are put back at once, and play nothing when let go" \
    "pointer_to 4,4; xdotool mousedown 1 mousedown 3; about_over_press" "as-before-around About Skarvel" \
    "xdotool key Return; sleep 0.5; pointer_to 4,4; xdotool mouseup 1 mouseup 3; sleep 0.3
    probe repaint >/dev/null"
# The window never sees a release outside it; a move with the button up tells it.
run_case "presses made outside the window, the left after one let go there, play on neither board nor face" \
    "pointer_to_header; xdotool mousedown 1 mousemove 5 5 mouseup 1; pointer_to_header; xdotool mousemove 5 5 \
    mousedown 1 mousedown 3; pointer_to 4,4; xdotool mouseup 1 mouseup 3 mousemove 5 5 mousedown 1 \
    mousemove --window \"\$WINDOW\" $((CLIENT_LEFT + 97 + 20)) $((CLIENT_TOP + 20)) mouseup 1; sleep 0.3
    focus_back" same
run_case "a right press let go outside the window, then one made outside and let go over the board, marks nothing" \
    "pointer_to_header; xdotool mousedown 3 mousemove 5 5 mouseup 3; pointer_to_header; xdotool mousemove 5 5 \
    mousedown 3; pointer_to 4,4; xdotool mouseup 3; sleep 0.3; focus_back" same
run_case "a left press stays pressed while a middle click comes and goes" \
    "pointer_to 6,4; xdotool mousedown 1 click 2; sleep 0.3" "pressed 6,4"
let_go
probe repaint >/dev/null # the cell's redraw leaves a pixel of the pressed picture, which reaches past it
run_case "a press on the new-game button taken away by a dialog is put back at once" \
    "xdotool mousemove --window \"\$WINDOW\" $((CLIENT_LEFT + 97 + 20)) $((CLIENT_TOP + 20)) mousedown 1; about_over_press" \
    "as-before-around About Skarvel" "xdotool mouseup 1 key Return; sleep 0.5"
run_case "a middle press shows the neighbourhood; leaving the board puts it back" "hold_middle 10,5" \
    "pressed 8,4 9,4 10,4 11,4 8,5 9,5 11,5 12,5 9,6 10,6 11,6" pointer_to_header
run_case "the pressed neighbourhood follows the pointer" "hold_middle 10,5; pointer_to 11,4" \
    "pressed 9,3 10,3 11,3 12,3 9,4 10,4 11,4 11,5 12,5" pointer_to_header
run_case "a chord on a satisfied number, opening the zeros below" "play_moves M:10,5" changed
# The flood has opened the 1 at 6,4, which counts the covered mine at 5,4 and has the covered safe
# 4,4 beside it.
run_case "a chord on an unsatisfied number" "play_moves M:6,4" same
run_case "a drag with Shift held" "drag_with_shift 4,4 5,4" pressed
let_go
run_case "a middle press with Ctrl held" "hold_middle 6,4 ctrl" same pointer_to_header
run_case "a chord that loses" "play_moves R:4,4 M:6,4" changed
run_case "a middle press after the end" "hold_middle 7,5" same pointer_to_header
replay "${MOVES[@]}" | grep -qx "Result Lost" || fail "kelbo replay does not see the chord lose"

# The keys on the frozen board of the Star level, whose void cells the cursor passes over. A key
# that moves the cursor redraws what a repaint draws; every check of the screen above and below
# also finds the cursor where CURSOR says, and above, with the mouse alone, nowhere.
post_command 40009
load_board 4 1
MOVES=()
sleep 1
[ "${BOARD[9]}" = ". . . . . 2 2 * 1 2 1 1 0 0 0 0 0 1 1 1 1 1 . . . . ." ] ||
    fail "the frozen Star board is not the one these cases were picked on"
pointer_to_header
run_case "the first arrow shows the cursor on the first cell" "CURSOR=12,0; keys Down" changed
run_case "End, then Right at the row's end" "CURSOR=14,0; keys End Right" changed
run_case "Home, Down four rows, Ctrl+Left five cells, Ctrl+Down, Up twice" \
    "CURSOR=7,7; keys Home Down Down Down Down ctrl+Left ctrl+Down Up Up" changed
run_case "Space held shows the cell pressed, the pointer moving" "xdotool keydown space; pointer_to 10,6" "pressed 7,7"
run_case "Space let go opens the zero" "xdotool keyup space; MOVES+=(L:7,7); sleep 0.4" changed
run_case "F flags the mine" "CURSOR=7,9; keys Down Down f; MOVES+=(R:7,9)" changed
run_case "F three times: a question mark, nothing, a flag" "keys f f f; MOVES+=(R:7,9 R:7,9 R:7,9)" same
run_case "Right onto a satisfied 1" "CURSOR=8,9; keys Right" changed
run_case "C held while the keyboard goes elsewhere: its cells are put back" \
    "xdotool keydown c; sleep 0.4; focus_elsewhere" same "xdotool keyup c; focus_back"
run_case "C held shows the covered neighbours pressed" "xdotool keydown c; sleep 0.4" "pressed 6,9 7,10 8,10 9,10"
run_case "C let go: a chord" "xdotool keyup c; MOVES+=(M:8,9); sleep 0.4" changed
run_case "Enter on an uncovered cell" "keys Return; MOVES+=(L:8,9)" same
run_case "a mouse press on the board takes the cursor away" \
    "CURSOR=; pointer_to 20,4; xdotool mousedown 3; pointer_to_header; xdotool mouseup 3" changed
run_case "Space held shows it under the pointer, its repeats pressing nothing" \
    "CURSOR=20,4; pointer_to 20,4; xdotool keydown space; sleep 1.5" pressed
run_case "Space let go after its repeats plays nothing" "xdotool keyup space; sleep 0.4" same
run_case "two arrows and Space while the left button holds a cell leave it pressed" \
    "xdotool mousedown 1; keys Left Left space" "pressed 20,4"
let_go
probe repaint >/dev/null
CURSOR=19,4
expect_cursor "the second arrow with the left button held"

note "winning with the keys alone"
pointer_to_header
moves=($(winning_moves "${MOVES[@]}"))
play_with_keys "${moves[@]}"
MOVES+=("${moves[@]}")
[ "$(replay "${MOVES[@]}" | tail -1)" = "Result Won" ] || fail "kelbo replay does not see the keys win"
# OK clicked, not Return: twice in fifteen runs Return brought no Best times dialog. A key sent as
# the dialog shows may beat it to the keyboard, or on a busy machine repeat and close the next one.
wait_for_window "CONGARTULATIONS!" >/dev/null
click_control "CONGARTULATIONS!" 1
wait_for_window "Best times" >/dev/null
click_control "Best times" 1
sleep 0.5
pointer_to_header
run_case "after the end an arrow does nothing" "keys Left" same
run_case "F2 starts a new game without the cursor" "CURSOR=; keys F2" changed
pointer_to 10,5
xdotool mousedown 1
keys F2
run_case "a left press held over F2 shows no cell pressed on the new board" "pointer_to 11,5" pressed
run_case "a left press held over F2 plays nothing on the new board" "xdotool mouseup 1; sleep 0.3" same
xdotool mousedown 3
keys F2
run_case "a right press held over F2 flags nothing on the new board" "xdotool mouseup 3; sleep 0.3" same
echo "input_on_screen: passed"
