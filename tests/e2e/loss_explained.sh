#!/bin/bash
# H after a loss says what the losing release was, as kelbo replay says it. Game 0 is lost on its
# first release: no triangle was certainly safe, and the chance was the mines over the triangles,
# worked out here. Game 1 is lost on a mine after a release that leaves a triangle certainly safe:
# H names one that the board holds safe and that was still covered, puts the cursor on it and rings
# it until the next game.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
play_setup
start_known_game
sleep 1

# The words H uses for a chance of 1 in cells / mines.
chance_words() {
    awk -v cells="$1" -v mines="$2" 'BEGIN {
        n = cells / mines; r = int(n + 0.5)
        printf "%s1 in %d", (n == r ? "" : "about "), r }'
}

# H with the pointer over the header; the message's text.
ask_hint() {
    pointer_to_header
    xdotool key h
    wait_for_message_text Skarvel
}

ring_pixels() { od -An -v -tx1 -w3 "$1" | grep -c '^ 00 8c 8c$'; }

cells=$(safe_cells | wc -l)
mines=$(cells_with '*' | wc -l)
first_mine=$(cells_with '*' | head -1)
note "game 0: the first release on the mine at $first_mine"
play_moves "L:$first_mine"
expected="No triangle was certainly safe: that one hid a mine with a chance of $(chance_words $((cells + mines)) "$mines"), the least of any."
text=$(ask_hint)
note "H: $text"
[ "$text" = "$expected" ] || fail "H after the first release on a mine says: $text; expected: $expected"
[ "$(replay "${MOVES[@]}" | tail -1)" = "$expected" ] || fail "kelbo replay says: $(replay "${MOVES[@]}" | tail -1)"
xdotool key Return
sleep 0.5
[ -z "$(cursor_cell)" ] || fail "H put the cursor on $(cursor_cell) where no triangle was safe"

note "game 1"
xdotool key Escape alt+n
sleep 1
load_board 0 1
MOVES=()
for zero in $(cells_with 0); do
    "$KELBO" chances 0 --time "$FROZEN_SECONDS" --game 1 --file "$GAME_DIR/kelbo.dat" --list "L:$zero" |
        grep -q ' 0.000000$' && break
done
mine=$(cells_with '*' | tail -1)
note "a release on $zero, then on the mine at $mine"
play_moves "L:$zero"
before=$(replay "${MOVES[@]}")
play_moves "L:$mine"
text=$(ask_hint)
note "H: $text"
[ "$(replay "${MOVES[@]}" | tail -1)" = "$text" ] || fail "kelbo replay says: $(replay "${MOVES[@]}" | tail -1); H: $text"
safe=$(sed -n 's/^Triangle \([0-9]*,[0-9]*\) was certainly safe\.$/\1/p' <<<"$text")
[ -n "$safe" ] || fail "H after a release beside a safe triangle says: $text"
[ "$(cell_value "${safe%,*}" "${safe#*,}")" != '*' ] || fail "H calls the mine at $safe safe"
read -ra row <<<"$(sed -n "$((${safe#*,} + 1))p" <<<"$before")"
[ "${row[${safe%,*}]}" = '#' ] || fail "H names $safe, which was not covered before the loss"
xdotool key Return
sleep 0.5
[ "$(cursor_cell)" = "$safe" ] || fail "the cursor is on ${cursor_cell:-no cell}, not on $safe"
grab_region "$WORK/safe.rgb" "$(anchor_x "${safe%,*}")" "$(anchor_y "${safe#*,}")" \
    $(($(anchor_x "${safe%,*}") + 25)) $(($(anchor_y "${safe#*,}") + 23))
[ "$(ring_pixels "$WORK/safe.rgb")" -gt 20 ] || fail "no ring on the safe triangle $safe"

note "the next game has no ring"
xdotool key F2
sleep 1
grab_client "$WORK/next.rgb"
[ "$(ring_pixels "$WORK/next.rgb")" = 0 ] || fail "the ring stays in the next game"
post_command 40002
expect_exit_code 0
echo "loss_explained: passed"
