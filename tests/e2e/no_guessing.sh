#!/bin/bash
# No guessing, chosen from the Game menu with the mouse: skarvel.ini appears beside kelbo.dat only
# then, holding the mode. Each game of the mode is dealt at its first release, with the board that
# kelbo deals for that game and cell: a loss shows its mines. H before that release says any first
# release is safe; a level too dense for a board without a guess says so before the release
# uncovers its cell. A restart reads the mode back; the item turns it off, and the next game is
# dealt at once again. A failed write of skarvel.ini is told. kelbo.dat never changes.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
DENSE=7
play_setup
INI="$GAME_DIR/skarvel.ini"
"$KELBO" level set "$DENSE" --title Dense --size 8x11 --mines 80 --file "$GAME_DIR/kelbo.dat" >/dev/null || fail "kelbo level set"
cp "$GAME_DIR/kelbo.dat" "$WORK/before.dat"

# The open Game menu shows the check mark beside No guessing when $1 is 1, none when 0.
expect_item_checked() {
    local line
    open_game_menu "$WINDOW"
    line=$(game_menu_lines "$WINDOW" | sed -n "$((NO_GUESSING_LINE + 1))p")
    [ "${line##* }" = "$1" ] || fail "No guessing shows checked ${line##* }, expected $1"
}

# skarvel.ini holds the mode as $1 within a few seconds.
expect_ini() {
    local tries
    for tries in $(seq 50); do
        cmp -s "$INI" <(printf '[Options]\r\nNoGuess=%s\r\n' "$1") && return 0
        sleep 0.1
    done
    fail "skarvel.ini holds $(od -c "$INI" 2>&1), expected NoGuess=$1"
}

# After a first release on FIRST, a release on a mine of the board that kelbo deals there for game
# N of LEVEL, or of the board made at once without FIRST: the loss shows exactly its mines.
expect_board_of_kelbo() {
    local level=$1 game=$2 first=${3:-}
    load_board "$level" "$game" ${first:+--no-guess --first "$first"}
    play "L:$(cells_with '*' | head -1)"
    sleep 1
    grab_client "$WORK/lost.rgb"
    expect_mines_shown "$WORK/lost.rgb" "game $game${first:+ dealt at $first}"
}
expect_dealt_as_kelbo_deals() {
    play "L:$3"
    expect_board_of_kelbo "$@"
}

start_known_game
note "the item, never chosen, writes no file"
expect_item_checked 0
[ -e "$INI" ] && fail "skarvel.ini was written before the item was chosen"
note "No guessing on: game 1"
click_menu_line "$WINDOW" "$NO_GUESSING_LINE"
sleep 0.5
expect_ini 1
note "H before the first release"
pointer_to_header
xdotool key h
wait_for_message_text Skarvel | grep -q "any first release is safe" || fail "H gave no word on the first release"
click_control Skarvel 1
sleep 0.5
# The mines of the board made at once for game 1 hold the first release: it must be dealt instead.
first=$(load_board 0 1 && cells_with '*' | head -1)
expect_dealt_as_kelbo_deals 0 1 "$first"

note "F2: game 2 awaits its deal"
xdotool key F2
sleep 0.5
expect_dealt_as_kelbo_deals 0 2 "$first"
cmp "$WORK/before.dat" "$GAME_DIR/kelbo.dat" || fail "kelbo.dat changed"
xdotool mousemove --window "$WINDOW" 100 150 key alt+x
wait_for_frozen_exit

note "after a restart the mode is on"
start_skarvel frozen
WINDOW=$(wait_for_window Skarvel)
expect_item_checked 1
close_menu
first=$(load_board 0 0 && cells_with '*' | tail -1)
expect_dealt_as_kelbo_deals 0 0 "$first"

note "a level too dense for a board without a guess"
first=2,7
"$KELBO" board "$DENSE" --time "$FROZEN_SECONDS" --game 1 --no-guess --first $first --file "$GAME_DIR/kelbo.dat" |
    grep -qx "may need a guess" || fail "kelbo finds a board without a guess on the dense level"
post_command $((40005 + DENSE))
sleep 1
BEHIND_CLIENT=$(probe client) || fail "no main window: $(game_state)"
grab_when_still "$WORK/untouched-raw.png" echo "$BEHIND_CLIENT"
pointer_to $first && xdotool click 1
wait_for_message_text Skarvel | grep -q "may need a guess" || fail "no word that the board may need a guess"
# Behind the message the board is as it was but for the released cell, which does not look yet
# as it does once the message is closed: at this point of a down-pointing cell's picture the
# raised picture is white, the pressed one black and an uncovered one silver.
grab_behind_dialog "$WORK/behind.png" Skarvel
x=$(anchor_x ${first%,*}) y=$(anchor_y ${first#*,})
LEAVE_OUT="$x,$y $((x + 31)),$((y + 31))"
blacken_dialog "$WORK/untouched-raw.png" "$WORK/untouched.png"
blacken_dialog "$WORK/behind-raw.png" "$WORK/behind.png"
count=$(compare -metric AE "$WORK/untouched.png" "$WORK/behind.png" null: 2>&1 | cut -d' ' -f1)
[ "$count" = 0 ] || fail "behind the message $count pixels changed"
click_control Skarvel 1
sleep 0.5
probe message Skarvel >/dev/null && fail "a second message opened"
grab_when_still "$WORK/played-raw.png" echo "$BEHIND_CLIENT"
look() { convert "$1" -crop "1x1+$((x + 10))+$y" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}'; }
[ "$(look "$WORK/behind-raw.png")" != "$(look "$WORK/played-raw.png")" ] ||
    fail "the cell $first looked uncovered behind the message"
expect_board_of_kelbo "$DENSE" 1 $first

note "No guessing off: game 2 is dealt at once"
expect_item_checked 1
click_menu_line "$WINDOW" "$NO_GUESSING_LINE"
sleep 0.5
expect_ini 0
load_board "$DENSE" 2
play "L:$(cells_with '*' | head -1)"
sleep 1
grab_client "$WORK/lost.rgb"
expect_mines_shown "$WORK/lost.rgb" "game 2 made at once"

note "a failed write: the player is told, and the mode changes for this run"
rm "$INI" && mkdir "$INI"   # a folder where the file goes cannot be replaced
expect_item_checked 0
click_menu_line "$WINDOW" "$NO_GUESSING_LINE"
wait_for_message_text Skarvel | grep -q "could not save" || fail "no word on the failed write"
click_control Skarvel 1
[ -d "$INI" ] || fail "the folder at skarvel.ini was written over"
! ls "$GAME_DIR" | grep -q 'skarvel\.ini\.new' || fail "the new file was left behind"
expect_dealt_as_kelbo_deals "$DENSE" 3 0,7
cmp "$WORK/before.dat" "$GAME_DIR/kelbo.dat" || fail "kelbo.dat changed"
echo "no_guessing: passed"
