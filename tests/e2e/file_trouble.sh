#!/bin/bash
# The data file in trouble. Damaged before the start: the message names the file and the problem,
# and the game ends with a non-zero code. Gone, emptied, damaged or unreadable while the game runs:
# the next new game meets a missing or empty file as start-up does, writing the built-in one, and
# reports the others (full path, plain words, what to do) and plays on with the level as it was
# read before. Read-only: the game plays from it, and a won time and Reset scores say that nothing
# was saved. The file is never changed behind the player's back, and behind each message the
# window shows the game as it stands.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
e2e_setup
start_wineserver
"$KELBO" init --file "$WORK/default.dat" >/dev/null || fail "kelbo init failed"
FILE="$GAME_DIR/kelbo.dat"

# Answers the message box over the main window (none before the start) and checks each of the
# patterns (grep -E) against its text.
expect_message() {
    local box text pattern
    box=$(wait_for_message_box "$WINDOW")
    text=$(message_box_text)
    note "message: $text"
    expect_full_path "$text"
    for pattern in "$@"; do
        grep -qE "$pattern" <<<"$text" || fail "the message does not say \"$pattern\""
    done
    local behind=$WINDOW
    [ "$(probe place "Best times" 2>/dev/null)" ] && behind=""  # a dialog stands between them
    [ -n "$behind" ] && grab_behind_dialog "$WORK/behind.png" Skarvel
    xdotool mousemove --window "$box" 10 10 key Return
    sleep 0.5
    # Behind the message the window showed the game as it stood: the new board, the winning move.
    [ -n "$behind" ] && expect_seen_behind_dialog "$WORK/behind.png" "the window behind the message"
}

# What the file is after a case: as before, the built-in file, or still a folder.
expect_file() {
    case "$1" in
    as-before) cmp "$FILE" "$WORK/before.dat" || fail "kelbo.dat was changed" ;;
    built-in) cmp "$FILE" "$WORK/default.dat" || fail "kelbo.dat is not the built-in file" ;;
    folder) [ -d "$FILE" ] || fail "the folder in the file's place is gone" ;;
    esac
}

DAMAGE='is damaged: the file is cut short[.]'
LENGTHS='the file is 1000 bytes long; a whole one is 2225 bytes long'
MOVE='Move the file out of its folder'
# case | change to the file | when it is met: "start" or a command id | what the message says,
# patterns separated by "+", "-" for no message | the level the window then shows | the file after
CASES=(
    "damaged before the start|truncate -s 1000 \"\$FILE\"|start|$DAMAGE+$LENGTHS+$MOVE|-|as-before"
    "damaged while the game runs, met by a level|truncate -s 1000 \"\$FILE\"|40010|$DAMAGE+$LENGTHS+$MOVE|5|as-before"
    "gone while the game runs|rm \"\$FILE\"|40001|-|0|built-in"
    "emptied while the game runs|truncate -s 0 \"\$FILE\"|40006|-|1|built-in"
    "a folder in its place while the game runs|rm \"\$FILE\"; mkdir \"\$FILE\"|40001|cannot be opened+move it away|0|folder"
)

for row in "${CASES[@]}"; do
    IFS='|' read -r name change when says level after <<<"$row"
    note "$name"
    rm -rf "$FILE"
    cp "$WORK/default.dat" "$FILE"
    WINDOW=""
    if [ "$when" != start ]; then
        start_skarvel
        WINDOW=$(wait_for_window Skarvel)
        expect_centred_size "$WINDOW" "${LEVEL_WIDTHS[0]}" "${LEVEL_HEIGHTS[0]}"
    fi
    eval "$change"
    [ -f "$FILE" ] && cp -p "$FILE" "$WORK/before.dat"
    if [ "$when" = start ]; then
        start_skarvel
    else
        post_command "$when"
    fi
    if [ "$says" = - ]; then
        sleep 1
        [ "$(xdotool search --onlyvisible --name '^Skarvel$' | wc -l)" = 1 ] || fail "$name: a message box opened"
    else
        IFS=+ read -ra patterns <<<"$says"
        expect_message "${patterns[@]}"
    fi
    if [ "$level" = - ]; then
        wait_for_exit
        [ "$EXIT_CODE" != 0 ] || fail "$name: exit code 0"
    else
        expect_running
        expect_centred_size "$WINDOW" "${LEVEL_WIDTHS[level]}" "${LEVEL_HEIGHTS[level]}"
        post_command 40002
        expect_exit_code 0
    fi
    expect_file "$after"
done

note "read-only: the game plays from the file and saves nothing"
if [ "$(id -u)" != 0 ]; then
    echo "file_trouble: the read-only case needs root to run the game as another user; skipped"
    echo "file_trouble: passed"
    exit 0
fi
rm -rf "$FILE"
timeout 10 wineserver -k >/dev/null 2>&1
use_unprivileged_user
start_wineserver
"$KELBO" init --file "$FILE" >/dev/null || fail "kelbo init failed"
chown root:root "$FILE"
chmod 0444 "$FILE"
cp -p "$FILE" "$WORK/before.dat"
start_known_game
expect_centred_size "$WINDOW" "${LEVEL_WIDTHS[0]}" "${LEVEL_HEIGHTS[0]}"
win_game
expect_message "is read-only, so your time of [0-9]* seconds? was not saved"
window_gone "CONGARTULATIONS!" || fail "the game asked for a name it cannot save"
post_command 40013
wait_for_window "Best times" >/dev/null
[ "$(control_text "Best times" 1004) $(control_text "Best times" 1009)" = "Quelby 60" ] ||
    fail "the Best times dialog does not show the stored table"
click_control "Best times" 1003
expect_message "is read-only, so the best times were not reset"
xdotool mousemove --window "$WINDOW" 100 150 key alt+x
wait_for_frozen_exit
expect_file as-before
[ "$(stat -c '%a %U' "$FILE")" = "444 root" ] || fail "kelbo.dat changed its mode or owner"
echo "file_trouble: passed"
