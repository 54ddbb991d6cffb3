#!/bin/bash
# Make a board, driven as a player drives it: its figures on every built-in level against kelbo
# solve; a board typed and painted with the mouse and the keys, saved as a picture and saved into
# the file, both against what kelbo level set makes of the picture drawn here; every refusal in
# kelbo's words; a 255 x 255 board within the dialog's frame; a picture opened; a file that cannot
# be replaced; the built-in level against kelbo level reset; Cancel leaving the file as it was. The
# dialog's picture is kept in BUILD_DIR/screenshots/board-maker.png.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
play_setup
DIALOG="Make a board"
cp "$GAME_DIR/kelbo.dat" "$WORK/original.dat"
start_skarvel
WINDOW=$(wait_for_window Skarvel)

open_maker() {
    post_command 40015
    wait_for_window "$DIALOG" >/dev/null
    read -r left top right _ <<<"$(probe place "$DIALOG")"
    xdotool mousemove $(((left + right) / 2)) $((top + 10))  # keys go to the window under the pointer
}
field() { control_text "$DIALOG" "$1"; }
keys() { xdotool key --delay 60 "$@"; }
type_into() {  # mnemonic, text: the field chosen by its mnemonic takes the text in place of its own
    keys "alt+$1" ctrl+a
    xdotool type --delay 40 "$2"
}

# The figures once worked out: they say "working..." until then.
figures() {
    local tries text
    for tries in $(seq 120); do
        text=$(field 1207)
        case "$text" in *"dealt without a guess"*) echo "$text"; return 0 ;; esac
        sleep 0.25
    done
    fail "the figures did not come: \"$text\""
}

# What kelbo solve says of LEVEL in the file FILE, in the figures' words.
solved_by_kelbo() {
    local plain dealt
    plain=$("$KELBO" --file "$2" solve "$1" --boards 200) || fail "kelbo solve $1"
    dealt=$("$KELBO" --file "$2" solve "$1" --boards 200 --no-guess) || fail "kelbo solve $1 --no-guess"
    echo "$(grep '^won [0-9]* of' <<<"$plain"), $(grep '^won without' <<<"$plain"). No guessing: $(grep '^dealt' <<<"$dealt")."
}

note "the figures of every built-in level against kelbo solve"
open_maker
for level in ${LEVELS-0 1 2 3 4 5 6 7}; do
    keys alt+v "$level"
    expected=$(solved_by_kelbo "$level" "$WORK/original.dat")
    shown=$(figures)
    [[ "$shown" == *"$expected"* ]] || fail "level $level: the figures read \"$shown\", kelbo says \"$expected\""
done

note "a board typed and painted"
keys alt+v 4
type_into t Ring
type_into r 9
type_into m 17
type_into n 20
keys alt+e
read -r _ left top right bottom _ <<<"$(dialog_controls "$DIALOG" | awk '$1 == 1206')"
# The area's scale, worked out here: the game's proportions (15 across for 26 down), the
# tallest rows from 26 pixels down to 6 that let 9 rows and 18 half-steps fit.
width=$((right - left - 12)) height=$((bottom - top - 12))
for pitch in $(seq 26 -1 6); do
    step=$(((pitch * 15 + 13) / 26)); [ "$step" -lt 3 ] && step=3
    [ $((18 * step)) -le "$width" ] && [ $((9 * pitch)) -le "$height" ] && break
done
row_middle() { echo $((top + 1 + 4 + $1 * pitch + pitch / 2)); }
# A stroke along a row's middle crosses every triangle of it: rows 1 to 7 painted, 4 cleared.
for row in 1 2 3 4 5 6 7; do
    xdotool mousemove $((left + 2)) "$(row_middle "$row")" mousedown 1 mousemove $((right - 3)) "$(row_middle "$row")" mouseup 1
done
xdotool mousemove $((left + 2)) "$(row_middle 4)" mousedown 3 mousemove $((right - 3)) "$(row_middle 4)" mouseup 3
[ -n "${SHOT:-}" ] && import -window root "$SHOT"
# The cursor stands on the last triangle of row 4: Home, Space; Down, Space; Ctrl+Right, Space.
keys Home space Down space ctrl+Right space
xdotool mousemove $(((left + right) / 2)) $((top - 30))
printf '%s\n' ................. '#################' '#################' '#################' \
    '#................' '.####.###########' '#################' '#################' ................. \
    >"$WORK/expected.txt"
mkdir "$WORK/judge"
cp "$WORK/expected.txt" "$WORK/judge/the shape drawn"
cp "$WORK/original.dat" "$WORK/judge/kelbo.dat"
shown=$(figures)
mkdir -p "$BUILD_DIR/screenshots"
read -r dleft dtop dright dbottom <<<"$(probe place "$DIALOG")"
import -window root -crop "$((dright - dleft))x$((dbottom - dtop))+$dleft+$dtop" +repage "$BUILD_DIR/screenshots/board-maker.png"

note "the picture saved"
keys alt+p
wait_for_window "Save As" >/dev/null
xdotool type --delay 20 "Z:$(tr / '\\' <<<"$WORK/drawn.txt")"
keys Return
for tries in $(seq 40); do [ -s "$WORK/drawn.txt" ] && break; sleep 0.25; done
cmp "$WORK/drawn.txt" "$WORK/expected.txt" || fail "the picture saved is not the board drawn: $(cat "$WORK/drawn.txt")"

note "every refusal in kelbo's words, Save refused meanwhile"
# What kelbo level set 4 --title TITLE --mines MINES says of the picture "the shape drawn" (the
# name the dialog gives the board), run in a copy of the game's folder.
kelbo_refusal() {
    (cd "$WORK/judge" && "$KELBO" level set 4 --title "$1" --mines "$2" --picture "the shape drawn" 2>&1 >/dev/null) |
        sed 's/^kelbo: //'
}
expect_refusal() {
    local expected=$1 tries shown
    for tries in $(seq 40); do
        shown=$(field 1213)
        [[ "$shown" == *"$expected" ]] && break
        sleep 0.2
    done
    [[ "$shown" == *"$expected" ]] || fail "the dialog says \"$shown\", kelbo \"$expected\""
    keys alt+s
    sleep 0.5
    probe message Skarvel && fail "Save asked to save a board that kelbo refuses: $(cat "$WORK/probe.out")"
    cmp -s "$GAME_DIR/kelbo.dat" "$WORK/original.dat" || fail "a refused board changed kelbo.dat"
}
type_into t "Thirteen char"
expect_refusal "$(kelbo_refusal "Thirteen char" 20)"
# Omega, which no key of the display's map types: the probe puts it into the field.
probe settext "$DIALOG" 1202 3a9 >/dev/null || fail "game_probe settext failed"
expect_refusal "$(kelbo_refusal Ω 20 | sed 's/.*(U+/(U+/')"
type_into t Ring
type_into n 200
expect_refusal "$(kelbo_refusal Ring 200)"
type_into n 256
expect_refusal "$(kelbo_refusal Ring 256)"
type_into n 20
type_into r 256
yes ................. | head -256 >"$WORK/judge/the shape drawn"
expect_refusal "$(kelbo_refusal Ring 20)"
type_into r 9
keys alt+e
printf '.................\n%.0s' $(seq 9) >"$WORK/judge/the shape drawn"
expect_refusal "$(kelbo_refusal Ring 20)"

note "a 255 x 255 board whose mines the game's draw cannot place, within the dialog's frame"
frame_before=$(dialog_controls "$DIALOG" | awk '$1 == 1206 || $1 == 1')
{ for row in $(seq 254); do printf '%0.s.' $(seq 255); echo; done; printf '%0.s#' $(seq 255); echo; } >"$WORK/judge/wide.txt"
keys alt+o
wait_for_window Open >/dev/null
xdotool type --delay 20 "Z:$(tr / '\\' <<<"$WORK/judge/wide.txt")"
keys Return
type_into n 200
(cd "$WORK/judge" && "$KELBO" level set 4 --title Ring --mines 200 --picture wide.txt 2>"$WORK/wide.err" >/dev/null)
expect_refusal "$(sed 's/^kelbo: //' "$WORK/wide.err")"
[ "$(dialog_controls "$DIALOG" | awk '$1 == 1206 || $1 == 1')" = "$frame_before" ] ||
    fail "the shape area or Save moved on a 255 x 255 board"

note "the picture opened again"
keys alt+o
wait_for_window Open >/dev/null
xdotool type --delay 20 "Z:$(tr / '\\' <<<"$WORK/drawn.txt")"
keys Return
type_into n 20
[ "$(figures)" = "$shown" ] || fail "the same board shows other figures: \"$(figures)\", before \"$shown\""
note "a file that cannot be replaced is said, and the dialog keeps the board"
mv "$GAME_DIR/kelbo.dat" "$WORK/aside.dat"
mkdir "$GAME_DIR/kelbo.dat"
keys alt+s
wait_for_message_text Skarvel >/dev/null
keys Return
sleep 1
said=$(wait_for_message_text Skarvel)
[[ "$said" == "kelbo.dat cannot be opened: it is a folder"* ]] || fail "a failed Save said \"$said\""
keys Return
sleep 0.5
window_gone "$DIALOG" && fail "the dialog closed when the file could not be replaced"
rmdir "$GAME_DIR/kelbo.dat"
mv "$WORK/aside.dat" "$GAME_DIR/kelbo.dat"

note "the board drawn, saved: kelbo's bytes, the menu's new title, a new game of it"
keys alt+s
[[ "$(wait_for_message_text Skarvel)" == *"level 4 (Star)"* ]] || fail "Save did not name the level"
keys Return
for tries in $(seq 40); do window_gone "$DIALOG" && break; sleep 0.25; done
window_gone "$DIALOG" || fail "the dialog stayed open after Save"
mkdir "$WORK/expect"
cp "$WORK/original.dat" "$WORK/expect/kelbo.dat"
(cd "$WORK/expect" && "$KELBO" level set 4 --title Ring --mines 20 --picture "$WORK/expected.txt" >/dev/null) ||
    fail "kelbo level set"
cmp "$GAME_DIR/kelbo.dat" "$WORK/expect/kelbo.dat" || fail "Save wrote other bytes than kelbo level set"
[[ "$shown" == *"$(solved_by_kelbo 4 "$WORK/expect/kelbo.dat")"* ]] ||
    fail "the figures \"$shown\" are not kelbo's of the saved level: $(solved_by_kelbo 4 "$WORK/expect/kelbo.dat")"
expect_centred_size "$WINDOW" $((17 * 15 + 46)) $((9 * 26 + 90))
open_game_menu "$WINDOW"
[ "$(probe menu 40009)" = Ring ] || fail "the menu names level 4 \"$(cat "$WORK/probe.out")\""
close_menu

note "Cancel leaves the file as it was"
open_maker
type_into t Nothing
keys alt+c
for tries in $(seq 40); do window_gone "$DIALOG" && break; sleep 0.25; done
cmp "$GAME_DIR/kelbo.dat" "$WORK/expect/kelbo.dat" || fail "Cancel changed kelbo.dat"

note "the built-in level back, as kelbo level reset puts it"
open_maker
[ "$(field 1202)" = Ring ] || fail "the dialog opened on \"$(field 1202)\", not on the level played"
keys alt+b
wait_for_message_text Skarvel >/dev/null
keys Return
for tries in $(seq 40); do window_gone "$DIALOG" && break; sleep 0.25; done
(cd "$WORK/expect" && "$KELBO" level reset 4 >/dev/null) || fail "kelbo level reset"
cmp "$GAME_DIR/kelbo.dat" "$WORK/expect/kelbo.dat" || fail "Built-in level wrote other bytes than kelbo level reset"

open_game_menu "$WINDOW"
click_menu_line "$WINDOW" "$EXIT_LINE"
expect_exit_code 0
echo "board_maker: passed"
