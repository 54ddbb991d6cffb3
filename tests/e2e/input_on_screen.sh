#!/bin/bash
# Each kind of move on the frozen Beginner board, looked at on the screen. After a move that
# changes the game, the window must show something new and exactly what a full repaint of the same
# game shows, so every cell and counter that changed was redrawn; after a move that changes nothing
# it must show what it showed before. A held middle button must press exactly the cell and those of
# its twelve neighbours that are covered or question-marked.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
play_setup
start_known_game
sleep 1

MOVES=() # the releases played so far, as kelbo replay takes them
VIEW=()  # the board as the player sees it after MOVES, from kelbo replay: one string a row

play_moves() {
    play "$@"
    MOVES+=("$@")
    mapfile -t VIEW < <(replay "${MOVES[@]}" | head -n ${#BOARD[@]})
    sleep 0.4
}

seen() {
    local cells
    read -ra cells <<<"${VIEW[$2]}"
    echo "${cells[$1]}"
}

COLUMNS_COUNT=$(wc -w <<<"${BOARD[0]}")

# The positions a cell's count counts: five in its own row and in the row its flat edge faces,
# three in the row its apex points to.
neighbours() {
    local column=$1 row=$2 above=2 below=1 r c reach
    points_up "$column" "$row" && above=1 below=2
    for r in $((row - 1)) "$row" $((row + 1)); do
        [ "$r" -lt 0 ] || [ "$r" -ge ${#BOARD[@]} ] && continue
        reach=2
        [ "$r" -lt "$row" ] && reach=$above
        [ "$r" -gt "$row" ] && reach=$below
        for ((c = column - reach; c <= column + reach; c++)); do
            [ "$c" -lt 0 ] || [ "$c" -ge "$COLUMNS_COUNT" ] || { [ "$r" = "$row" ] && [ "$c" = "$column" ]; } ||
                echo "$c,$r"
        done
    done
}

at() { local cell=$2; $1 "${cell%,*}" "${cell#*,}"; }
is_number() { [[ $1 =~ ^[0-9]+$ ]]; }

# Neighbours of a cell that show SEEN and hold a mine (MINE "*") or not ("safe").
neighbours_like() {
    local cell
    for cell in $(at neighbours "$1"); do
        [ "$(at seen "$cell")" = "$2" ] || continue
        case "$3" in
        any) echo "$cell" ;;
        '*') [ "$(at cell_value "$cell")" = '*' ] && echo "$cell" ;;
        safe) [ "$(at cell_value "$cell")" != '*' ] && echo "$cell" ;;
        esac
    done
}

# The client area less the clock, which ticks on its own: the left of the header, then the board.
grab_view() {
    grab_region "$WORK/header.rgb" 0 0 99 37
    grab_client "$WORK/client.rgb"
    { cat "$WORK/header.rgb"; tail -c +$((GRAB_WIDTH * 38 * 3 + 1)) "$WORK/client.rgb"; } >"$1"
}

# Two pictures of the same size alike to the eye: no colour channel differs by more than 16. A
# counter blanked before its new number is drawn leaves black where a repaint shows the box's
# slightly lighter fill.
alike() {
    [ "$(stat -c %s "$1")" = "$(stat -c %s "$2")" ] || return 1
    cmp -l "$1" "$2" | awk 'function value(octal, n, i) {
            for (i = 1; i <= length(octal); i++) n = n * 8 + substr(octal, i, 1)
            return n
        }
        { d = value($2) - value($3); if (d > 16 || d < -16) exit 1 }'
}

# A pixel that the pressed picture makes white on an up-pointing cell and black on a down-pointing
# one, and the raised picture silver and white, in a grab of the client area.
look() {
    local x y
    x=$(anchor_x "$2") y=$(anchor_y "$3")
    if points_up "$2" "$3"; then x=$((x + 5)) y=$((y + 16)); else x=$((x + 10)); fi
    pixel "$1" "$x" "$y"
}

pointer_to() {
    local x y
    read -r x y <<<"$(at cell_point "$1")"
    xdotool mousemove --window "$WINDOW" $((CLIENT_LEFT + x)) $((CLIENT_TOP + y))
    sleep 0.3
}

pointer_to_header() {
    xdotool mousemove --window "$WINDOW" $((CLIENT_LEFT + 10)) $((CLIENT_TOP + 20))
    sleep 0.3
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

# The cells looking pressed are exactly the CELLS given ("COLUMN,ROW" words); every other cell
# looks as before.
expect_pressed() {
    local cells=" $* " cell row column colour before pressed
    grab_client "$WORK/client.rgb"
    for row in "${!BOARD[@]}"; do
        for ((column = 0; column < COLUMNS_COUNT; column++)); do
            cell="$column,$row"
            colour=$(look "$WORK/client.rgb" "$column" "$row")
            before=$(look "$WORK/before-client.rgb" "$column" "$row")
            pressed=000000
            points_up "$column" "$row" && pressed=FFFFFF
            if [[ $cells == *" $cell "* ]]; then
                [ "$colour" = "$pressed" ] && [ "$before" != "$pressed" ] ||
                    fail "cell $cell is not shown pressed ($before, then $colour)"
            else
                [ "$colour" = "$before" ] || fail "cell $cell is shown pressed ($before, then $colour)"
            fi
        done
    done
}

# The covered and question-marked cells among a cell and its neighbours.
hidden_around() {
    local cell
    for cell in "$1" $(at neighbours "$1"); do
        [[ $(at seen "$cell") =~ ^[#?]$ ]] && echo "$cell"
    done
}

# One case: NAME, an ACTION (a command line), what the screen must show after it (changed, same,
# or "pressed CELL..."), and a command that ends the action with the button still held, after
# which the screen must be as before.
run_case() {
    local name=$1 action=$2 expectation=$3 finish=${4:-}
    note "$name"
    grab_view "$WORK/before.rgb"
    cp "$WORK/client.rgb" "$WORK/before-client.rgb"
    eval "$action"
    case "$expectation" in
    changed)
        grab_view "$WORK/after.rgb"
        alike "$WORK/before.rgb" "$WORK/after.rgb" && fail "$name: the screen did not change"
        wine "$WORK/game_probe.exe" repaint || fail "game_probe repaint failed"
        sleep 0.3
        grab_view "$WORK/repainted.rgb"
        alike "$WORK/after.rgb" "$WORK/repainted.rgb" || fail "$name: a repaint shows what the move did not draw"
        ;;
    same)
        grab_view "$WORK/after.rgb"
        alike "$WORK/before.rgb" "$WORK/after.rgb" || fail "$name: the screen changed"
        ;;
    pressed*) expect_pressed ${expectation#pressed} ;;
    esac
    if [ -n "$finish" ]; then
        eval "$finish"
        grab_view "$WORK/after.rgb"
        alike "$WORK/before.rgb" "$WORK/after.rgb" || fail "$name: the pressed pictures were not put back"
        let_go
    fi
}

mapfile -t VIEW < <(replay | head -n ${#BOARD[@]})
# A covered 1 with at least four covered safe neighbours, and its mine.
for one in $(cells_with 1) ""; do
    [ -n "$one" ] && [ "$(neighbours_like "$one" '#' safe | wc -l)" -ge 4 ] && break
done
[ -n "$one" ] || fail "no 1 with four safe neighbours on the board"
mine=$(neighbours_like "$one" '#' '*')

run_case "a left release on a number" "play_moves L:$one" changed
run_case "a right release: a flag and the counter" "play_moves R:$mine" changed
run_case "a middle press shows the neighbourhood; leaving the board puts it back" "hold_middle $one" \
    "pressed $(hidden_around "$one" | tr '\n' ' ')" pointer_to_header
next=$(neighbours_like "$one" '#' safe | tail -1)
run_case "the pressed neighbourhood follows the pointer" "hold_middle $one; pointer_to $next" \
    "pressed $(hidden_around "$next" | tr '\n' ' ')" pointer_to_header
run_case "a chord on a satisfied number" "play_moves M:$one" changed

# An uncovered number lacking one flag, with a covered mine and a covered safe cell around it.
lacks_one_flag() {
    local value
    value=$(at seen "$1")
    is_number "$value" && [ "$value" -gt 0 ] &&
        [ $((value - $(neighbours_like "$1" F any | wc -l))) = 1 ] &&
        [ -n "$(neighbours_like "$1" '#' '*')" ] && [ -n "$(neighbours_like "$1" '#' safe)" ]
}
for short in $(safe_cells) ""; do
    [ -n "$short" ] && lacks_one_flag "$short" && break
done
[ -n "$short" ] || fail "no number lacking a flag on the board"
wrong=$(neighbours_like "$short" '#' safe | head -1)
covered=($(neighbours_like "$short" '#' any))

run_case "a chord on an unsatisfied number" "play_moves M:$short" same
run_case "a drag with Shift held" "drag_with_shift ${covered[0]} ${covered[1]}" pressed
let_go
run_case "a middle press with Ctrl held" "hold_middle $short ctrl" same pointer_to_header
run_case "a chord that loses" "play_moves R:$wrong M:$short" changed
run_case "a middle press after the end" "hold_middle $short" same pointer_to_header
[ "$(replay "${MOVES[@]}" | tail -1)" = "Result Lost" ] || fail "kelbo replay does not see the chord lose"
echo "input_on_screen: passed"
