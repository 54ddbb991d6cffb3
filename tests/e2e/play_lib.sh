# Playing a known board with the mouse, for the end-to-end games. Sourced after lib.sh; the game
# runs with start_skarvel frozen, so the board of every new game is BOARD below.
# Usage: . play_lib.sh

WINDOW=""       # the main window's X id
BOARD_LEVEL=""  # the level whose board BOARD holds
BOARD=()        # one string a row: the cells' values separated by blanks, '*' a mine, '.' no cell

# Reads the frozen board of a level from kelbo.
load_board() {
    BOARD_LEVEL=$1
    mapfile -t BOARD < <("$KELBO" board "$1" --seed "$FROZEN_SEED" --file "$GAME_DIR/kelbo.dat") ||
        fail "kelbo board $1 failed"
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

# A release of the left (L) or right (R) button over a cell: "L:COLUMN,ROW".
release() {
    local button=1 cell=${1#?:} x y
    [ "${1%%:*}" = R ] && button=3
    read -r x y <<<"$(cell_point "${cell%,*}" "${cell#*,}")"
    xdotool mousemove --window "$WINDOW" $((CLIENT_LEFT + x)) $((CLIENT_TOP + y)) click "$button"
}

play() {
    local move
    for move in "$@"; do release "$move"; done
}

# Replays moves on the frozen board with kelbo and prints its view: rows, FlagsLeft, GameState.
replay() {
    "$KELBO" replay "$BOARD_LEVEL" --seed "$FROZEN_SEED" --file "$GAME_DIR/kelbo.dat" "$@"
}

# The moves that win the board: a flag on every mine, then a left release on each safe cell that
# the moves before it have left covered.
winning_moves() {
    local moves=() cell view row
    for cell in $(cells_with '*'); do moves+=("R:$cell"); done
    for cell in $(safe_cells); do
        view=$(replay "${moves[@]}")
        grep -q '^Result' <<<"$view" && break
        read -ra row <<<"$(sed -n "$((${cell#*,} + 1))p" <<<"$view")"
        [ "${row[${cell%,*}]}" = '#' ] && moves+=("L:$cell")
    done
    echo "${moves[@]}"
}

# Saves the client area as ImageMagick's text listing, one pixel a line ("X,Y: ... #RRGGBB ...").
grab_client() {
    local geometry width height
    geometry=$(window_geometry "$WINDOW")
    set -- "$1" $geometry
    width=$(($4 - 2 * CLIENT_LEFT))
    height=$(($5 - CLIENT_TOP - CLIENT_LEFT))
    import -window root -crop "${width}x${height}+$(($2 + CLIENT_LEFT))+$(($3 + CLIENT_TOP))" +repage \
        -depth 8 txt:- >"$1"
}

# The colour of a client pixel in a grabbed listing, as RRGGBB.
pixel() {
    awk -v at="$2,$3:" '$1 == at { sub(/^#/, "", $3); print substr($3, 1, 6); exit }' "$1"
}

expect_pixel() {
    local colour
    colour=$(pixel "$1" "$2" "$3")
    [ "$colour" = "$4" ] || fail "$5: pixel $2,$3 is $colour, expected $4"
}

# The client area alone, as a picture, for comparing two moments of the game.
client_picture() {
    local grabbed=$WORK/grab.txt
    grab_client "$grabbed"
    cut -d' ' -f1,3 "$grabbed" >"$1"
}

# Prints the controls of an open dialog: "ID LEFT TOP RIGHT BOTTOM TEXT" a line.
dialog_controls() {
    "${RUN_AS[@]}" wine "$WORK/game_probe.exe" dialog "$1" | tr -d '\r'
}

control_text() {
    dialog_controls "$1" | awk -v id="$2" '$1 == id { sub(/^([^ ]+ ){5}/, ""); print; exit }'
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
