#!/bin/bash
# A data file that the player may read but not write: the game starts and plays from it, a won
# time that would enter the table and Reset scores each say in a message, naming the file by its
# full path, that nothing was saved because the file is read-only; the file is left as it was.
# Runs the game as an unprivileged user, since root may write any file.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
if [ "$(id -u)" != 0 ]; then
    echo "read_only_file: skipped, it needs root to run the game as another user"
    exit 77
fi
e2e_setup
use_unprivileged_user
start_wineserver
"$KELBO" init --file "$GAME_DIR/kelbo.dat" >/dev/null || fail "kelbo init failed"
chown root:root "$GAME_DIR/kelbo.dat"
chmod 0444 "$GAME_DIR/kelbo.dat"
cp -p "$GAME_DIR/kelbo.dat" "$WORK/before.dat"

# Answers the message box over the main window, which must say why nothing was saved.
expect_read_only_message() {
    local box text
    box=$(wait_for_message_box "$WINDOW")
    text=$(message_box_text)
    note "message: $text"
    expect_full_path "$text"
    grep -q "is read-only, so $1" <<<"$text" || fail "the message does not say \"is read-only, so $1\""
    xdotool mousemove --window "$box" 10 10 key Return
    sleep 0.5
}

start_known_game
note "the game plays from the read-only file"
expect_centred_size "$WINDOW" "${LEVEL_WIDTHS[0]}" "${LEVEL_HEIGHTS[0]}"
win_game
expect_read_only_message "your time of [0-9]* seconds\? was not saved"
window_gone "CONGARTULATIONS!" || fail "the game asked for a name it cannot save"

note "the stored table, and Reset scores"
post_command 40013
wait_for_window "Best times" >/dev/null
[ "$(control_text "Best times" 1004) $(control_text "Best times" 1009)" = "Quelby 60" ] ||
    fail "the Best times dialog does not show the stored table"
click_control "Best times" 1003
expect_read_only_message "the best times were not reset"

xdotool mousemove --window "$WINDOW" 100 150 key alt+x
wait_for_frozen_exit
cmp "$GAME_DIR/kelbo.dat" "$WORK/before.dat" || fail "kelbo.dat was changed"
[ "$(stat -c '%a %U' "$GAME_DIR/kelbo.dat")" = "444 root" ] || fail "kelbo.dat changed its mode or owner"
echo "read_only_file: passed"
