#!/bin/bash
# A damaged data file is reported in a message box that names the file and the problem; the game
# then ends with a non-zero exit code and leaves the file as it was. Once for a file truncated
# before the start, once for a file truncated while the game runs, met when a level is chosen.
. "$(dirname "$0")/lib.sh" "$@"
e2e_setup
start_wineserver
"$KELBO" init --file "$WORK/default.dat" >/dev/null || fail "kelbo init failed"

# Answers the message box, which must name the file and the problem, and checks the way out.
# Takes the main window, if there is one, so as not to mistake it for the box.
expect_reported_and_untouched() {
    local box text
    box=$(wait_for_message_box "${1:-}")
    text=$(message_box_text)
    note "message: $text"
    expect_full_path "$text"
    grep -q 'is damaged: the .* level is lost: the list of levels at the start of the file points past its end' \
        <<<"$text" || fail "the message does not say in words what is wrong"
    grep -q 'Move the file out of its folder' <<<"$text" || fail "the message does not say what to do"
    grep -q 'runs past the end of the file' <<<"$text" || fail "the message does not name the problem"
    xdotool mousemove --window "$box" 10 10 key Return
    wait_for_exit
    [ "$EXIT_CODE" != 0 ] || fail "exit code 0 after a damaged data file"
    cmp "$GAME_DIR/kelbo.dat" "$WORK/before.dat" || fail "kelbo.dat was changed"
}

note "damaged before the start"
head -c 1000 "$WORK/default.dat" >"$GAME_DIR/kelbo.dat"
cp -p "$GAME_DIR/kelbo.dat" "$WORK/before.dat"
start_skarvel
expect_reported_and_untouched

note "damaged while the game runs"
cp "$WORK/default.dat" "$GAME_DIR/kelbo.dat"
start_skarvel
window=$(wait_for_window Skarvel)
expect_centred_size "$window" "${LEVEL_WIDTHS[0]}" "${LEVEL_HEIGHTS[0]}"
truncate -s 1000 "$GAME_DIR/kelbo.dat"
cp -p "$GAME_DIR/kelbo.dat" "$WORK/before.dat"
post_command 40010  # Hexagon, whose record now runs past the end
expect_reported_and_untouched "$window"
echo "damaged_file: passed"
