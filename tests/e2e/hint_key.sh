#!/bin/bash
# H on the frozen Beginner board puts the cursor where kelbo chances says it must, with the message
# of its kind over the window as it stands. A game won after a hint asks no name and leaves
# kelbo.dat as it was; after a loss H only says what the losing release was; the next game enters
# its time again.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
"$KELBO" --help | grep -q "^  chances " || fail "$KELBO has no chances command, which tells where H must point"
play_setup
cp "$GAME_DIR/kelbo.dat" "$WORK/before.dat"
start_known_game
sleep 1
LEAVE_OUT="0,0 999,37"  # the header: the clock ticks on, and the counter drawn by a move is a shade darker

# The hidden cells certainly safe, or else least likely to hide a mine, in reading order.
candidates() {
    "$KELBO" chances 0 --time "$FROZEN_SECONDS" --file "$GAME_DIR/kelbo.dat" --list "${MOVES[@]}" |
        awk -v safe="${1:-}" 'NF == 3 { cell[++n] = $1 "," $2; p[n] = $3; if (n == 1 || $3 < least) least = $3 }
            END { for (i = 1; i <= n; i++) if (p[i] == (safe ? 0 : least)) print cell[i] }' | sort -t, -k2n -k1n
}

# The message box, as grab_behind_dialog found it, does not cover the cell's 32 x 32 picture.
message_leaves_in_sight() {
    local client_left client_top left top right bottom x y
    read -r client_left client_top _ <<<"$BEHIND_CLIENT"
    read -r left top right bottom <<<"$BEHIND_DIALOG"
    x=$((client_left + $(anchor_x "${2%,*}")))
    y=$((client_top + $(anchor_y "${2#*,}")))
    [ $x -ge "$right" ] || [ $((x + 32)) -le "$left" ] || [ $y -ge "$bottom" ] || [ $((y + 32)) -le "$top" ] ||
        fail "$1: the message at $left,$top-$right,$bottom covers the cell $2 at $x,$y"
}

# One case: NAME, the moves that make the position, a command printing the cells H may point at,
# words of its message ("" for none), and the one of those cells the pointer stands on ("" for the
# header: with no cursor either, H points at the first). HINTED: where it pointed.
hint_case() {
    local name=$1 words=$4 near=${5:-} expected text
    note "$name"
    [ -n "$2" ] && play_moves $2
    expected=$(eval "$3" | grep -m1 -x "${near:-.*}") || fail "$name: kelbo gives H no cell ${near:-at all} to point at"
    if [ -n "$near" ]; then pointer_to "$near"; else pointer_to_header; fi
    xdotool key h && sleep 1
    if [ -n "$words" ]; then
        text=$(wait_for_message_text Skarvel)
        grep -qF "$words" <<<"$text" || fail "$name: the message says \"$text\""
        grab_behind_dialog "$WORK/behind.png" Skarvel
        message_leaves_in_sight "$name" "$expected"
        click_control Skarvel 1 && sleep 0.5
        expect_seen_behind_dialog "$WORK/behind.png" "$name"
    elif probe message Skarvel >/dev/null; then fail "$name: a message opened"; fi
    HINTED=$(cursor_cell)
    [ "$HINTED" = "$expected" ] || fail "$name: the cursor is on ${HINTED:-no cell}, not on $expected"
}

# On a rectangle the up-pointing corners of the bottom row have the fewest neighbours, four, and so
# the likeliest to open a region. The 1
# at 9,3 has one mine among its twelve covered neighbours, the other 78 cells nine.
hint_case "before the first release" "" "echo 0,6" "likeliest to open a region"
hint_case "nothing certain" L:9,3 "candidates" "least likely to hide a mine: 1 in 12."
hint_case "after an opening" L:8,3 "candidates safe" ""
xdotool key space && MOVES+=("L:$HINTED") && sleep 0.4
wrong=$(candidates safe | tail -1)
hint_case "on a wrong flag, among safe cells" "R:$wrong" "echo $wrong" "flag under the cursor cannot be right"
hint_case "the pointer on a safe cell" "R:$wrong R:$wrong L:8,3" "candidates safe" "" "$wrong"
grep -q "^Result" <<<"$(replay "${MOVES[@]}")" && fail "the cells H pointed at ended the game"

note "a game won after a hint"
play $(winning_moves "${MOVES[@]}")
wait_for_message_text "" | grep -q "not recorded, because you used a hint" || fail "no message on the hint"
window_gone "CONGARTULATIONS!" || fail "a name is asked after a hint"
click_control "" 1
cmp "$WORK/before.dat" "$GAME_DIR/kelbo.dat" || fail "kelbo.dat changed"

note "H after a loss, then a game won without a hint"
pointer_to_header && xdotool key F2 && load_board 0 1
play "L:$(cells_with '*' | head -1)"
pointer_to_header && xdotool key h
# After the end H only says what the losing release was: a first release is never certainly safe.
text=$(wait_for_message_text Skarvel)
[[ $text == "No triangle was certainly safe: that one hid a mine"* ]] || fail "H after the loss says: $text"
xdotool key Return && sleep 0.5
[ -z "$(cursor_cell)" ] || fail "H after a loss on a first release put the cursor on $(cursor_cell)"
xdotool key F2 && load_board 0 2 && win_game
wait_for_window "CONGARTULATIONS!" >/dev/null
echo "hint_key: passed"
