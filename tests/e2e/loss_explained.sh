#!/bin/bash
# H after a loss, against kelbo replay and the board. Game 0 is lost on its first release: nothing
# was certainly safe, the chance being the mines over the triangles, worked out here. Game 1 is lost
# after a release that leaves a triangle certainly safe: H names one that the board holds safe and
# that was covered, puts the cursor on it and rings it until the next game.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
play_setup
start_known_game
sleep 1
ask_hint() { pointer_to_header && xdotool key h && wait_for_message_text Skarvel; }
ring_pixels() { od -An -v -tx1 -w3 "$1" | grep -c '^ 00 8c 8c$'; }

mines=$(cells_with '*' | wc -l)
chance=$(awk -v n=$((mines + $(safe_cells | wc -l))) -v m="$mines" 'BEGIN { r = int(n / m + 0.5)
    printf "%s1 in %d", (n / m == r ? "" : "about "), r }')
play_moves "L:$(cells_with '*' | head -1)"
text=$(ask_hint)
note "H: $text"
[ "$text" = "No triangle was certainly safe: that one hid a mine with a chance of $chance, the least of any." ] ||
    fail "H after a first release on a mine says: $text"
[ "$(replay "${MOVES[@]}" | tail -1)" = "$text" ] || fail "kelbo replay says: $(replay "${MOVES[@]}" | tail -1)"
xdotool key Return && sleep 0.5
[ -z "$(cursor_cell)" ] || fail "H put the cursor on $(cursor_cell) where no triangle was safe"

xdotool key Escape alt+n && sleep 1
load_board 0 1
MOVES=()
for zero in $(cells_with 0); do
    "$KELBO" chances 0 --time "$FROZEN_SECONDS" --game 1 --file "$GAME_DIR/kelbo.dat" --list "L:$zero" |
        grep -q ' 0.000000$' && break
done
play_moves "L:$zero"
before=$(replay "${MOVES[@]}")
play_moves "L:$(cells_with '*' | tail -1)"
text=$(ask_hint)
note "game 1, a release on $zero then on a mine; H: $text"
[ "$(replay "${MOVES[@]}" | tail -1)" = "$text" ] || fail "kelbo replay says: $(replay "${MOVES[@]}" | tail -1)"
safe=$(sed -n 's/^Triangle \([0-9]*,[0-9]*\) was certainly safe\.$/\1/p' <<<"$text")
[ -n "$safe" ] && [ "$(at cell_value "$safe")" != '*' ] || fail "H calls no safe triangle safe: $text"
read -ra row <<<"$(sed -n "$((${safe#*,} + 1))p" <<<"$before")"
[ "${row[${safe%,*}]}" = '#' ] || fail "H names $safe, which was not covered before the loss"
xdotool key Return && sleep 0.5
[ "$(cursor_cell)" = "$safe" ] || fail "the cursor is on ${cursor_cell:-no cell}, not on $safe"
left=$(anchor_x "${safe%,*}") top=$(anchor_y "${safe#*,}")
grab_region "$WORK/safe.rgb" "$left" "$top" $((left + 25)) $((top + 23))
[ "$(ring_pixels "$WORK/safe.rgb")" -gt 20 ] || fail "no ring on the safe triangle $safe"
xdotool key F2 && sleep 1
grab_client "$WORK/next.rgb"
[ "$(ring_pixels "$WORK/next.rgb")" = 0 ] || fail "the ring stays in the next game"
post_command 40002
expect_exit_code 0
echo "loss_explained: passed"
