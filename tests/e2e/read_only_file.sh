#!/bin/bash
# A data file that the player may not write is reported in a message box that names the file and
# the problem; the game then ends with a non-zero exit code and leaves the file as it was. Runs
# the game as an unprivileged user, since root may write any file.
. "$(dirname "$0")/lib.sh" "$@"
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

start_skarvel
box=$(wait_for_message_box)
text=$(message_box_text)
note "message: $text"
grep -q 'kelbo.dat cannot be opened for reading and writing' <<<"$text" ||
    fail "the message does not name kelbo.dat and the problem"
xdotool mousemove --window "$box" 10 10 key Return
wait_for_exit
[ "$EXIT_CODE" != 0 ] || fail "exit code 0 after a read-only data file"
cmp "$GAME_DIR/kelbo.dat" "$WORK/before.dat" || fail "kelbo.dat was changed"
[ "$(stat -c '%a %U' "$GAME_DIR/kelbo.dat")" = "444 root" ] || fail "kelbo.dat changed its mode or owner"
echo "read_only_file: passed"
