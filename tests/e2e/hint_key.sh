#!/bin/bash
# H on the frozen Beginner board puts the cursor on a cell of the kind the position calls for, as
# kelbo chances works it out apart from the game: with no cursor and the pointer on no cell, the
# first such cell in reading order; with the pointer on one, that one. A message, drawn over the
# whole window as it stands, says why, but for a safe cell. A game won after a hint asks no name
# and leaves kelbo.dat as it was; after the end H does nothing; the next game enters its time.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
"$KELBO" --help | grep -q "^  chances " || fail "$KELBO has no chances command, which tells where H must point"
play_setup
cp "$GAME_DIR/kelbo.dat" "$WORK/before.dat"
start_known_game
sleep 1
LEAVE_OUT="0,0 999,37"  # the header: the clock ticks on, and the counter drawn by a move is a shade darker

# Each real cell's count of real neighbours: the five of its own row, five of the row its flat edge
# faces and three of the row its apex points to. Before the first release: those with the fewest.
fewest_neighbours() {
    printf '%s\n' "${BOARD[@]}" | awk '{ columns = NF; for (c = 1; c <= NF; c++) real[c - 1, NR - 1] = $c != "." }
        END { for (r = 0; r < NR; r++) for (c = 0; c < columns; c++) if (real[c, r]) {
                above = (c + r) % 2 ? 2 : 1; n = 0
                for (d = -2; d <= 2; d++) {
                    n += d && real[c + d, r]
                    n += d * d <= above * above && real[c + d, r - 1]
                    n += d * d <= (3 - above) * (3 - above) && real[c + d, r + 1] }
                count[c "," r] = n; least = least == "" || n < least ? n : least }
            for (cell in count) if (count[cell] == least) print cell }'
}

# The cells a hint of this kind may point at: "COLUMN,ROW" in reading order.
candidates() {
    [ "$1" = first ] && { fewest_neighbours | sort -t, -k2n -k1n; return; }
    local view
    view=$(replay "${MOVES[@]}" | head -n "${#BOARD[@]}" | tr '\n' ' ')
    "$KELBO" chances "$BOARD_LEVEL" --time "$FROZEN_SECONDS" --game "$BOARD_GAME" --file "$GAME_DIR/kelbo.dat" --list "${MOVES[@]}" |
        awk -v kind="$1" -v view="$view" -v columns="$(wc -w <<<"${BOARD[0]}")" '
            BEGIN { split(view, seen, " ") }
            NF == 3 { flag = seen[$2 * columns + $1 + 1] == "F"; cell[++n] = $1 "," $2; p[n] = $3
                      ok[n] = flag == (kind == "flag") && (kind == "least" || $3 == "0.000000")
                      if (!flag && (least == "" || $3 < least)) least = $3 }
            END { for (i = 1; i <= n; i++) if (ok[i] && (kind != "least" || p[i] == least)) print cell[i] }' |
        sort -t, -k2n -k1n
}

# One case: NAME, the moves that make the position, the KIND of cell H must point at, words of its
# message ("" for none) and the cell the pointer stands on ("" for the header). HINTED: where it went.
HINTED=""
hint_case() {
    local name=$1 kind=$3 words=$4 near=${5:-} expected text
    note "$name"
    [ -n "$2" ] && play_moves $2
    if [ -n "$near" ]; then pointer_to "$near"; else pointer_to_header; fi
    expected=$(candidates "$kind")
    [ -n "$near" ] && { grep -qx "$near" <<<"$expected" || fail "$name: $near is no $kind cell"; expected=$near; }
    [ -n "$expected" ] || fail "$name: kelbo finds no $kind cell"
    xdotool key h
    if [ -n "$words" ]; then
        text=$(wait_for_message_text Skarvel)
        grep -qF "$words" <<<"$text" || fail "$name: the message says \"$text\""
        grab_behind_dialog "$WORK/behind.png" Skarvel
        click_control Skarvel 1
        sleep 0.5
        expect_seen_behind_dialog "$WORK/behind.png" "$name"
    else
        sleep 1
        probe message Skarvel >/dev/null && fail "$name: a message opened"
    fi
    HINTED=$(cursor_cell)
    [ "$HINTED" = "$(head -1 <<<"$expected")" ] || fail "$name: the cursor is on ${HINTED:-no cell}, not on $expected"
}

# The 1 at 9,3 has twelve covered neighbours and one mine among them; the other 78 cells hold nine.
hint_case "before the first release" "" first "as likely as any other"
hint_case "nothing certain" L:9,3 least "least likely to hide a mine: 1 in 12."
hint_case "after an opening" L:8,3 safe ""
xdotool key space && MOVES+=("L:$HINTED") && sleep 0.4
wrong=$(candidates safe | tail -1)
hint_case "on a wrong flag, among safe cells" "R:$wrong" flag "flag under the cursor cannot be right"
hint_case "the pointer on a safe cell" "R:$wrong R:$wrong L:8,3" safe "" "$wrong"
grep -q "^Result" <<<"$(replay "${MOVES[@]}")" && fail "the cells H pointed at ended the game"

note "a game won after a hint"
play $(winning_moves "${MOVES[@]}")
wait_for_message_text "" | grep -q "not recorded, because you used a hint" || fail "no message on the hint"
window_gone "CONGARTULATIONS!" || fail "a name is asked after a hint"
click_control "" 1
cmp "$WORK/before.dat" "$GAME_DIR/kelbo.dat" || fail "kelbo.dat changed"

note "H after a loss, then a game won without a hint"
pointer_to_header
xdotool key F2
load_board 0 1
play "L:$(cells_with '*' | head -1)"
pointer_to_header
xdotool key h && sleep 1
probe message Skarvel >/dev/null || [ -n "$(cursor_cell)" ] && fail "H acted after the end"
xdotool key F2
load_board 0 2
win_game
wait_for_window "CONGARTULATIONS!" >/dev/null
echo "hint_key: passed"
