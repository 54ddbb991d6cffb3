#!/bin/bash
# The record of games, skarvel-stats.txt beside kelbo.dat: a game lost, won, left for another and
# left by closing the window each count once, from the first release; the Statistics dialog shows
# what the test played, and kelbo stats the same figures, also after a restart. A damaged record
# shows empty figures, is kept aside byte for byte at the next game's end and said once. A win in
# the No guessing mode goes into its own table, shown by Best times under a heading of its own,
# and leaves kelbo.dat byte for byte as it was; Reset scores empties that table alone. Empty
# statistics asks first. Two copies closed at once, each in the middle of a game, both count. A
# level replaced has figures of its own.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
play_setup
STATS="$GAME_DIR/skarvel-stats.txt"
ORDINARY=1310
NO_GUESS=1320

# The dialog's nine figures of a mode, its first control's id given, one a line.
dialog_figures() {
    local id
    for id in $(seq "$1" $(($1 + 8))); do control_text Statistics "$id"; done
}

# kelbo stats' column of a mode (1 ordinary, 2 no guessing) for Beginner, one figure a line.
kelbo_figures() {
    "$KELBO" stats 0 --file "$GAME_DIR/kelbo.dat" | tail -n 9 | cut -c$((11 + 13 * $1))-$((22 + 13 * $1)) |
        sed 's/^ *//'
}

# Nine figures as the player reads them: played, won, share, without a hint, the current and the
# longest run, the best and the average time, played again.
figures() { printf '%s\n' "$@"; }
NOTHING=$(figures 0 0 - 0 0 0 - - 0)

# The dialog opened from the menu shows the figures of both modes, and kelbo stats the same.
expect_statistics() {
    local what=$1 ordinary=$2 no_guess=${3:-$NOTHING}
    post_command 40016
    wait_for_window Statistics >/dev/null
    [ "$(dialog_figures $ORDINARY)$(dialog_figures $NO_GUESS)" = "$ordinary$no_guess" ] ||
        fail "$what: the dialog shows $(dialog_figures $ORDINARY | tr '\n' ' '); $(dialog_figures $NO_GUESS | tr '\n' ' ')"
    [ "$(kelbo_figures 1)" = "$ordinary" ] && [ "$(kelbo_figures 2)" = "$no_guess" ] ||
        fail "$what: kelbo stats says $("$KELBO" stats 0 --file "$GAME_DIR/kelbo.dat")"
}

close_statistics() {
    click_control Statistics 1
    sleep 0.5
}

start_known_game
note "game 0 lost"
play "L:$(cells_with '*' | head -1)"
sleep 0.5

note "game 1 won"
xdotool key alt+n
sleep 0.5
load_board 0 1
win_game
wait_for_window "CONGARTULATIONS!" >/dev/null
xdotool key Return
wait_for_window "Best times" >/dev/null
seconds=$(control_text "Best times" 1009)
click_control "Best times" 1
sleep 0.5

note "game 2 released once, then the dialog"
xdotool key alt+n
sleep 0.5
load_board 0 2
play "L:$(cells_with 1 | head -1)"
sleep 0.5
expect_statistics "with game 2 in play" "$(figures 2 1 '50 %' 1 1 1 "$seconds" "$seconds.0" 0)"
close_statistics

note "game 2 left for game 3, game 3 left by closing the window"
xdotool key Escape alt+n
sleep 0.5
load_board 0 3
play "L:$(cells_with 1 | head -1)"
sleep 0.5
xdotool mousemove --window "$WINDOW" 100 150 key alt+x
wait_for_frozen_exit
AFTER_FOUR=$(figures 4 1 '25 %' 1 0 1 "$seconds" "$seconds.0" 0)
[ "$(kelbo_figures 1)" = "$AFTER_FOUR" ] || fail "after the window closed kelbo stats says
$("$KELBO" stats 0 --file "$GAME_DIR/kelbo.dat")"

note "after a restart"
start_skarvel frozen
WINDOW=$(wait_for_window Skarvel)
expect_statistics "after a restart" "$AFTER_FOUR"
close_statistics
xdotool mousemove --window "$WINDOW" 100 150 key alt+x
wait_for_frozen_exit

note "a damaged record"
printf 'level rows=8\nnot a record\n' >"$STATS"
cp "$STATS" "$WORK/damaged.txt"
start_skarvel frozen
WINDOW=$(wait_for_window Skarvel)
post_command 40016
wait_for_window Statistics >/dev/null
[ "$(dialog_figures $ORDINARY)$(dialog_figures $NO_GUESS)" = "$NOTHING$NOTHING" ] || fail "a damaged record shows figures"
control_text Statistics 1303 | grep -q "is damaged: line 1" || fail "the dialog does not say the record is damaged"
close_statistics
"$KELBO" stats 0 --file "$GAME_DIR/kelbo.dat" >/dev/null 2>"$WORK/kelbo.err" && fail "kelbo stats took a damaged record"
grep -q "skarvel-stats.txt is damaged: line 1" "$WORK/kelbo.err" || fail "kelbo stats said $(cat "$WORK/kelbo.err")"
load_board 0 0
play "L:$(cells_with '*' | head -1)"
wait_for_message_text Skarvel | grep -q "kept as .*skarvel-stats.txt.damaged" || fail "no word on the damaged record"
click_control Skarvel 1
sleep 0.5
probe message Skarvel >/dev/null && fail "a second message opened"
cmp -s "$WORK/damaged.txt" "$STATS.damaged" || fail "the damaged record was not kept as it was"
[ "$(kelbo_figures 1)" = "$(figures 1 0 '0 %' 0 0 0 - - 0)" ] || fail "the new record holds
$("$KELBO" stats 0 --file "$GAME_DIR/kelbo.dat")"

note "a No guessing win: its own table, kelbo.dat untouched"
cp "$GAME_DIR/kelbo.dat" "$WORK/before.dat"
post_command 40014
sleep 0.5
first=$(safe_cells | head -1)
load_board 0 1 --no-guess --first "$first"
replay() {
    "$KELBO" replay 0 --time "$FROZEN_SECONDS" --game 1 --no-guess --file "$GAME_DIR/kelbo.dat" "$@"
}
moves=($(winning_moves "L:$first"))
play "L:$first" "${moves[@]}"
wait_for_window "CONGARTULATIONS!" >/dev/null
xdotool type --delay 20 'Logic'
xdotool key Return
wait_for_window "Best times" >/dev/null
dialog_controls "Best times" | grep -q "No guessing, best times for" || fail "the table's heading does not name the mode"
no_guess_seconds=$(control_text "Best times" 1009)
[ "$(control_text "Best times" 1004)" = Logic ] || fail "the No guessing table shows $(control_text "Best times" 1004) first"
click_control "Best times" 1
sleep 0.5
cmp "$WORK/before.dat" "$GAME_DIR/kelbo.dat" || fail "a No guessing win changed kelbo.dat"
expect_statistics "after a No guessing win" "$(figures 1 0 '0 %' 0 0 0 - - 0)" \
    "$(figures 1 1 '100 %' 1 1 1 "$no_guess_seconds" "$no_guess_seconds.0" 0)"
close_statistics

note "Reset scores empties the No guessing table alone"
post_command 40013
wait_for_window "Best times" >/dev/null
click_control "Best times" 1003
sleep 0.5
grep -q "no-guessing-time" "$STATS" && fail "the No guessing table was not emptied"
cmp "$WORK/before.dat" "$GAME_DIR/kelbo.dat" || fail "Reset scores in the No guessing mode changed kelbo.dat"

note "Empty statistics, after asking"
post_command 40016
wait_for_window Statistics >/dev/null
click_control Statistics 1301
wait_for_message_text Skarvel | grep -q "Empty the statistics of Beginner" || fail "Empty statistics did not ask"
click_control Skarvel 6 # Yes
sleep 0.5
[ "$(kelbo_figures 1)$(kelbo_figures 2)" = "$NOTHING$NOTHING" ] || fail "Empty statistics left figures"
close_statistics
post_command 40014
sleep 0.5

note "two copies, each with a game in the middle, closed at once"
first_pid=$SKARVEL_PID
load_board 0 2
play "L:$(cells_with 1 | head -1)"
start_skarvel frozen
for tries in $(seq 100); do
    second=$(xdotool search --onlyvisible --name '^Skarvel$' 2>/dev/null | grep -vx "$WINDOW" | head -1)
    [ -n "$second" ] && break
    sleep 0.2
done
[ -n "$second" ] || fail "the second copy shows no window: $(game_state)"
sleep 1
WINDOW=$second
load_board 0 0
play "L:$(cells_with 1 | head -1)"
sleep 0.5
timeout 20 wine taskkill /im skarvel.exe >>"$WORK/wine.log" 2>&1
wait_for_frozen_exit
SKARVEL_PID=$first_pid
wait_for_frozen_exit
[ "$(kelbo_figures 1 | head -1)" = 2 ] || fail "two copies closed at once left $(kelbo_figures 1 | head -1) games played"

note "a level replaced starts afresh; put back, its figures are there again"
"$KELBO" level set 0 --title Beginner --size 7x13 --mines 11 --file "$GAME_DIR/kelbo.dat" >/dev/null || fail "kelbo level set"
[ "$(kelbo_figures 1)" = "$NOTHING" ] || fail "the replaced level shows the old figures"
"$KELBO" level reset 0 --file "$GAME_DIR/kelbo.dat" >/dev/null || fail "kelbo level reset"
[ "$(kelbo_figures 1 | head -1)" = 2 ] || fail "the level put back lost its figures"
echo "statistics: passed"
