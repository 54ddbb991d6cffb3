# Playing a known board with the mouse or the keys, for the end-to-end games. Sourced after
# lib.sh; the game runs with start_skarvel frozen, so the board of every new game is BOARD below.
# Usage: . play_lib.sh

WINDOW=""       # the main window's X id
BOARD_LEVEL=""  # the level whose board BOARD holds
BOARD=()        # one string a row: the cells' values separated by blanks, '*' a mine, '.' no cell

# A display, the Wine server and a default data file in the game's folder.
play_setup() {
    e2e_setup
    start_wineserver
    "$KELBO" init --file "$GAME_DIR/kelbo.dat" >/dev/null || fail "kelbo init failed"
}

# The game started on its frozen board of Beginner, which BOARD then holds.
start_known_game() {
    load_board 0
    start_skarvel frozen
    WINDOW=$(wait_for_window Skarvel)
}

# Reads from kelbo the frozen board of a level as the game's new game N (default 0) since it started;
# more arguments go to kelbo board (--no-guess --first COLUMN,ROW), whose line on guessing is left out.
load_board() {
    BOARD_LEVEL=$1
    BOARD_GAME=${2:-0}
    mapfile -t BOARD < <("$KELBO" board "$1" --time "$FROZEN_SECONDS" --game "$BOARD_GAME" \
        --file "$GAME_DIR/kelbo.dat" "${@:3}" | grep -v guess) || fail "kelbo board $1 --game $BOARD_GAME failed"
}

cell_value() {
    local cells
    read -ra cells <<<"${BOARD[$2]}"
    echo "${cells[$1]}"
}

# Cells with this value ("*" for the mines), as "COLUMN,ROW" words.
cells_with() {
    local row column cells
    for row in "${!BOARD[@]}"; do
        read -ra cells <<<"${BOARD[row]}"
        for column in "${!cells[@]}"; do
            [ "${cells[column]}" = "$1" ] && echo "$column,$row"
        done
    done
}

safe_cells() {
    local row column cells
    for row in "${!BOARD[@]}"; do
        read -ra cells <<<"${BOARD[row]}"
        for column in "${!cells[@]}"; do
            case "${cells[column]}" in '*' | .) ;; *) echo "$column,$row" ;; esac
        done
    done
}

# The top-left corner of a cell's 32 x 32 picture, in client pixels.
anchor_x() { echo $((18 + 15 * $1)); }
anchor_y() { echo $((42 + 26 * $1)); }
points_up() { [ $((($1 + $2) % 2)) = 0 ]; }

# A point well inside the cell's triangle, near its centroid, in client pixels.
cell_point() {
    local x y
    x=$(($(anchor_x "$1") + 13))
    y=$(($(anchor_y "$2") + 8))
    points_up "$1" "$2" && y=$((y + 8))
    echo "$x $y"
}

# A release of the left (L), right (R) or middle (M) button over a cell: "L:COLUMN,ROW".
release() {
    local button=1 cell=${1#?:} x y
    [ "${1%%:*}" = R ] && button=3
    [ "${1%%:*}" = M ] && button=2
    read -r x y <<<"$(cell_point "${cell%,*}" "${cell#*,}")"
    xdotool mousemove --window "$WINDOW" $((CLIENT_LEFT + x)) $((CLIENT_TOP + y)) click "$button"
}

play() {
    local move
    for move in "$@"; do release "$move"; done
}

MOVES=() # the releases played so far, as kelbo replay takes them
play_moves() {
    play "$@"
    MOVES+=("$@")
    sleep 0.4
}

pointer_to() {
    local cell=$1 x y
    read -r x y <<<"$(cell_point "${cell%,*}" "${cell#*,}")"
    xdotool mousemove --window "$WINDOW" $((CLIENT_LEFT + x)) $((CLIENT_TOP + y))
    sleep 0.3
}

pointer_to_header() {
    xdotool mousemove --window "$WINDOW" $((CLIENT_LEFT + 10)) $((CLIENT_TOP + 20))
    sleep 0.3
}

# Replays moves on the frozen board with kelbo and prints its view: rows, FlagsLeft, GameState.
replay() {
    "$KELBO" replay "$BOARD_LEVEL" --time "$FROZEN_SECONDS" --game "$BOARD_GAME" --file "$GAME_DIR/kelbo.dat" "$@"
}

# The moves that win the board after the MOVES given (none by default): a flag on every mine not
# flagged yet, then a left release on each safe cell that the moves before it have left covered.
winning_moves() {
    local played=$# moves=("$@") cell view row
    view=$(replay "$@")
    for cell in $(cells_with '*'); do
        read -ra row <<<"$(sed -n "$((${cell#*,} + 1))p" <<<"$view")"
        [ "${row[${cell%,*}]}" = F ] || moves+=("R:$cell")
    done
    for cell in $(safe_cells); do
        view=$(replay "${moves[@]}")
        grep -q '^Result' <<<"$view" && break
        read -ra row <<<"$(sed -n "$((${cell#*,} + 1))p" <<<"$view")"
        [ "${row[${cell%,*}]}" = '#' ] && moves+=("L:$cell")
    done
    echo "${moves[@]:played}"
}

# Playing with the keys. CURSOR is the cell that the game's cursor stands on, "COLUMN,ROW", empty
# while none shows; KEYS the keys (xdotool names) that the last keys_to worked out.
CURSOR=""
KEYS=()

real_columns() {
    local cells column
    read -ra cells <<<"${BOARD[$1]}"
    for column in "${!cells[@]}"; do [ "${cells[column]}" != . ] && echo "$column"; done
}

# The keys along row ROW from column FROM to column TO: Home or End to the row's ends, else an
# arrow for each real cell passed, five at a time with Ctrl.
along_row() {
    local columns=($(real_columns "$1")) n=-1 column key=Right
    [ "$2" = "$3" ] && return
    [ "$3" = "${columns[0]}" ] && { KEYS+=(Home); return; }
    [ "$3" = "${columns[-1]}" ] && { KEYS+=(End); return; }
    [ "$3" -lt "$2" ] && key=Left
    for column in "${columns[@]}"; do [ $(((column - $2) * (column - $3))) -le 0 ] && n=$((n + 1)); done
    for (( ; n >= 5; n -= 5)); do KEYS+=("ctrl+$key"); done
    for (( ; n > 0; n--)); do KEYS+=("$key"); done
}

# Works out the KEYS that take the cursor to the cell COLUMN,ROW: along each row to the column
# nearest the cursor's that goes on into the next row towards ROW, and on into it.
keys_to() {
    local column=${CURSOR%,*} row=${CURSOR#*,} step key next distance best nearest
    KEYS=()
    while [ "$row" != "${1#*,}" ]; do
        step=1 key=Down
        [ "${1#*,}" -lt "$row" ] && step=-1 key=Up
        best=""
        for next in $(real_columns "$row"); do
            real_columns $((row + step)) | grep -qx "$next" || continue
            distance=$((next - column)) && distance=${distance#-}
            if [ -z "$best" ] || [ "$distance" -lt "$nearest" ]; then best=$next nearest=$distance; fi
        done
        along_row "$row" "$column" "$best"
        KEYS+=("$key")
        column=$best row=$((row + step))
    done
    along_row "$row" "$column" "${1%,*}"
    CURSOR=$1
}

# Plays the moves ("L:COLUMN,ROW" or "R:COLUMN,ROW") with the keys: to the cell, then Space or F.
play_with_keys() {
    local move key
    for move in "$@"; do
        keys_to "${move#?:}"
        key=space
        [ "${move%%:*}" = R ] && key=f
        xdotool key --delay 15 "${KEYS[@]}" "$key"
    done
}

GRAB_WIDTH=0  # width in pixels of the last picture grabbed

# A point that the mine picture makes white, on a flat or raised cell.
mine_point() { points_up "$1" "$2" && echo "$(($(anchor_x "$1") + 11)) $(($(anchor_y "$2") + 14))" ||
    echo "$(($(anchor_x "$1") + 11)) $(($(anchor_y "$2") + 6))"; }
at() { local cell=$2; $1 "${cell%,*}" "${cell#*,}"; }

# After a loss the mines of BOARD show, and no other cell shows one; flagged cells are left out.
expect_mines_shown() {
    local grab=$1 what=$2 flagged=" ${3:-} " cell
    for cell in $(cells_with '*'); do
        [[ $flagged == *" $cell "* ]] || expect_pixel "$grab" $(at mine_point "$cell") FFFFFF "$what: the mine at $cell"
    done
    for cell in $(safe_cells); do
        [[ $flagged == *" $cell "* ]] && continue
        [ "$(pixel "$grab" $(at mine_point "$cell"))" != FFFFFF ] || fail "$what: the safe cell $cell shows a mine"
    done
}

# After a loss every mine of BOARD but the flagged ones shows flat, with the mine over it, pixel for
# pixel as the icons' own pictures compose it (mine_pictures.awk), but for the keyboard's cursor on
# the cell CURSOR. BOARD is 11 columns wide or more.
expect_flat_mines() {
    local grab=$1 what=$2 flagged=" ${3:-} " cell cells=() wrong
    for cell in $(cells_with '*'); do [[ $flagged == *" $cell "* ]] || cells+=("$cell"); done
    printf '%s\n' "${BOARD[@]}" >"$WORK/board.txt"
    wrong=$(od -An -v -tx1 -w3 "$grab" | awk -f "$E2E_DIR/mine_pictures.awk" -v icons="$E2E_DIR/../../res/icons" \
        -v width="$GRAB_WIDTH" -v left="$(anchor_x 0)" -v cells="${cells[*]}" -v board="$WORK/board.txt" \
        -v cursor="$CURSOR" -v flags="${3:-}")
    [ -z "$wrong" ] || fail "$what: mines not drawn flat: $(head -5 <<<"$wrong" | tr '\n' ';')"
}

# The up to twelve neighbours of the cell COLUMN,ROW of BOARD, as "COLUMN,ROW" words: five in its
# own row, and in the rows above and below three on its apex's side and five on its flat side.
neighbours_of() {
    local column=${1%,*} row=${1#*,} cells reach c r
    read -ra cells <<<"${BOARD[0]}"
    for r in $((row - 1)) "$row" $((row + 1)); do
        [ "$r" -ge 0 ] && [ "$r" -lt "${#BOARD[@]}" ] || continue
        reach=2
        [ "$r" != "$row" ] && [ $(((column + row) % 2 == 0)) = $((r < row)) ] && reach=1
        for ((c = column - reach; c <= column + reach; c++)); do
            [ "$c" -ge 0 ] && [ "$c" -lt "${#cells[@]}" ] && [ "$c,$r" != "$1" ] && echo "$c,$r"
        done
    done
}

# A chord that loses after the MOVES played (kelbo replay's ARGS before them): "COUNT FLAG...",
# an uncovered count with a flag on a safe covered neighbour and on all but one of its mines.
losing_chord() {
    local view cell around safe mines
    view=$(replay "$@" "${MOVES[@]}")
    seen() { local row; read -ra row <<<"$(sed -n "$((${1#*,} + 1))p" <<<"$view")"; echo "${row[${1%,*}]}"; }
    for cell in $(safe_cells); do
        [[ $(seen "$cell") =~ ^[1-9][0-9]*$ ]] || continue
        safe="" mines=()
        for around in $(neighbours_of "$cell"); do
            case "$(cell_value "${around%,*}" "${around#*,}")" in
            '*') mines+=("$around") ;;
            .) ;;
            *) [ -z "$safe" ] && [ "$(seen "$around")" = '#' ] && safe=$around ;;
            esac
        done
        [ -n "$safe" ] && { echo "$cell $safe ${mines[*]:1}"; return 0; }
    done
    return 1
}

# Where the cursor's colour shows in a grab of the client area: "LEFT TOP RIGHT BOTTOM", or nothing.
cursor_box() {
    od -An -v -tx1 -w3 "$1" | awk -v width="$GRAB_WIDTH" '$0 == " 80 00 ff" {
            x = (NR - 1) % width; y = int((NR - 1) / width)
            if (!n++) { l = r = x; t = b = y }
            l = x < l ? x : l; r = x > r ? x : r; t = y < t ? y : t; b = y > b ? y : b
        } END { if (n) print l, t, r, b }'
}

# The cell whose picture holds the whole cursor, "COLUMN,ROW", or nothing when no cursor shows.
cursor_cell() {
    grab_client "$WORK/cursor.rgb"
    cursor_box "$WORK/cursor.rgb" | awk '{ c = int(($1 - 18) / 15); r = int(($2 - 42) / 26) }
        $3 < 50 + 15 * c && $4 < 74 + 26 * r { print c "," r }'
}

# Saves part of the client area, from (X0, Y0) to (X1, Y1) included, as raw RGB bytes row by row.
grab_region() {
    local geometry
    geometry=$(window_geometry "$WINDOW")
    set -- "$@" $geometry
    GRAB_WIDTH=$(($4 - $2 + 1))
    import -window root -crop "${GRAB_WIDTH}x$(($5 - $3 + 1))+$(($6 + CLIENT_LEFT + $2))+$(($7 + CLIENT_TOP + $3))" \
        +repage -depth 8 "rgb:$1"
}

# The whole client area: the window less its frame, caption and menu bar.
grab_client() {
    local geometry
    geometry=$(window_geometry "$WINDOW")
    set -- "$1" $geometry
    grab_region "$1" 0 0 $(($4 - 2 * CLIENT_LEFT - 1)) $(($5 - CLIENT_TOP - CLIENT_LEFT - 1))
}

# The colour of a pixel of the last grabbed picture, as RRGGBB.
pixel() {
    od -An -tx1 -j $((($3 * GRAB_WIDTH + $2) * 3)) -N3 "$1" | tr -d ' \n' | tr a-f A-F
}

expect_pixel() {
    local colour
    colour=$(pixel "$1" "$2" "$3")
    [ "$colour" = "$4" ] || fail "$5: pixel $2,$3 is $colour, expected $4"
}

# Prints the controls of an open dialog: "ID LEFT TOP RIGHT BOTTOM TEXT" a line.
dialog_controls() {
    probe dialog "$1"
}

# The text of a dialog's control, trailing blanks (a title field's padding) left off.
control_text() {
    dialog_controls "$1" | awk -v id="$2" '$1 == id' | head -1 | cut -d' ' -f6-  | sed "s/ *$//"
}

click_control() {
    local left top right bottom
    read -r _ left top right bottom _ <<<"$(dialog_controls "$1" | awk -v id="$2" '$1 == id')"
    [ -n "$left" ] || fail "no control $2 in \"$1\""
    xdotool mousemove $(((left + right) / 2)) $(((top + bottom) / 2)) click 1
}

# The level's best-times table as kelbo prints it, without the title line.
file_times() {
    "$KELBO" times "$1" --file "$GAME_DIR/kelbo.dat" | tail -n +2
}

# File offset of a level's record, from the offset table.
record_offset() {
    od -An -tu4 -j $((1 + 4 * $1)) -N4 "$GAME_DIR/kelbo.dat" | tr -d ' '
}

# Lists the byte offsets at which two files differ that lie outside [FIRST, LAST].
changes_outside() {
    cmp -l "$1" "$2" | awk -v first="$3" -v last="$4" '$1 - 1 < first || $1 - 1 > last { print $1 - 1 }'
}

# Lists the byte offsets at which two files differ outside a level's best-times table.
changes_outside_table() {
    local table=$(($(record_offset "$3") + 16))
    changes_outside "$1" "$2" "$table" $((table + 74))
}

# Every time of a level's table set to SECONDS, the names left as they are.
set_table_times() {
    local entry time
    for entry in 0 1 2 3 4; do
        time=$(($(record_offset "$1") + 16 + 15 * entry + 11))
        printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($2 & 255)) $(($2 >> 8 & 255)) $(($2 >> 16 & 255)) \
            $(($2 >> 24 & 255)))" | dd of="$GAME_DIR/kelbo.dat" bs=1 seek="$time" conv=notrunc status=none
    done
}

# Wins the frozen board, the first release at least SECONDS before the last.
win_game() {
    local moves
    moves=($(winning_moves))
    play "${moves[0]}"
    sleep "${1:-0}"
    play "${moves[@]:1}"
}

BEHIND_CLIENT=""  # the client area grab_behind_dialog grabbed: "LEFT TOP WIDTH HEIGHT" on the screen
BEHIND_DIALOG=""  # the dialog's rectangle there: "LEFT TOP RIGHT BOTTOM" on the screen
LEAVE_OUT=""      # "LEFT,TOP RIGHT,BOTTOM" of the client area to leave out too: a clock that ticks on

# A picture of the client area with the dialog's rectangle painted black: the board around it.
blacken_dialog() {
    local left top dialog_left dialog_top dialog_right dialog_bottom
    read -r left top _ <<<"$BEHIND_CLIENT"
    read -r dialog_left dialog_top dialog_right dialog_bottom <<<"$BEHIND_DIALOG"
    convert "$1" -fill black -draw "rectangle $((dialog_left - left)),$((dialog_top - top)) \
$((dialog_right - left - 1)),$((dialog_bottom - top - 1))" ${LEAVE_OUT:+-draw "rectangle $LEAVE_OUT"} "$2"
}

# What the player sees of the window while the dialog with this title is open over it, into OUT.
grab_behind_dialog() {
    local out=$1 title=$2
    BEHIND_CLIENT=$(probe client) || fail "no main window: $(game_state)"
    BEHIND_DIALOG=$(probe place "$title") || fail "no dialog \"$title\" is open"
    grab_when_still "$WORK/behind-raw.png" echo "$BEHIND_CLIENT"
    blacken_dialog "$WORK/behind-raw.png" "$out"
}

# Once the dialogs are closed, the window draws the game afresh from the board: around where the
# dialog stood it must show what it showed while the dialog was open, the whole move.
expect_seen_behind_dialog() {
    local open=$1 what=$2 count
    probe repaint >/dev/null || fail "game_probe repaint failed"
    grab_when_still "$WORK/repainted-raw.png" echo "$BEHIND_CLIENT"
    blacken_dialog "$WORK/repainted-raw.png" "$WORK/repainted.png"
    count=$(compare -metric AE "$open" "$WORK/repainted.png" null: 2>&1 | cut -d' ' -f1)
    [ "$count" = 0 ] || fail "$what: $count pixels around the dialog differ from the game drawn afresh"
}
