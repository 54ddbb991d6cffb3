#!/bin/bash
# The clock counts from the first release and goes on while the About dialog is open; Alt+N in
# the middle of a game brings back the fresh board with the clock at 0, and the clock stays there.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
play_setup
start_skarvel frozen
WINDOW=$(wait_for_window Skarvel)
# Expert: wide enough that the About dialog, centred on the desktop, leaves the clock in view.
post_command 40007
expect_centred_size "$WINDOW" "${LEVEL_WIDTHS[2]}" "${LEVEL_HEIGHTS[2]}"
load_board 2 1  # the level item made the second game
sleep 1
grab_client "$WORK/fresh.rgb"
clock_box() { grab_region "$1" $((36 * 15 - 46)) 8 $((36 * 15 + 8)) 31; }
clock_box "$WORK/clock-0.rgb"

note "the first release starts the clock"
play "L:$(cells_with 1 | head -1)"
sleep 2.5
clock_box "$WORK/clock-1.rgb"
cmp -s "$WORK/clock-0.rgb" "$WORK/clock-1.rgb" && fail "the clock did not start"

note "the clock counts behind the About dialog"
post_command 40004
wait_for_window "About Skarvel" >/dev/null
clock_box "$WORK/clock-2.rgb"
sleep 2.5
clock_box "$WORK/clock-3.rgb"
cmp -s "$WORK/clock-2.rgb" "$WORK/clock-3.rgb" && fail "the clock stood still while the About dialog was open"
click_control "About Skarvel" 1
sleep 0.5
window_gone "About Skarvel" || fail "OK did not close the About dialog"

note "Alt+N in the middle of a game"
xdotool mousemove --window "$WINDOW" 100 20 key alt+n
sleep 1
grab_client "$WORK/new.rgb"
cmp -s "$WORK/fresh.rgb" "$WORK/new.rgb" || fail "Alt+N did not bring back the fresh board"
sleep 1.5
grab_client "$WORK/later.rgb"
cmp -s "$WORK/fresh.rgb" "$WORK/later.rgb" || fail "the clock ran on after Alt+N"
echo "game_clock: passed"
