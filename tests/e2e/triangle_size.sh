#!/bin/bash
# The three triangle sizes on the frozen Beginner board, on a desktop that holds it at three times
# its size. At each size Same board again gives the board of game 0 afresh: the fresh picture is the
# 1x one with every pixel a crisp block, and a release, a flag and a chord played at that size leave
# the board as they leave it at 1x. A win on a board played again is not recorded. The size chosen
# comes back at the next start, and skarvel.ini keeps every other line it held.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
e2e_setup
cp -a "$WINEPREFIX" "$WORK/prefix"
export WINEPREFIX="$WORK/prefix"
start_wineserver
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
"$KELBO" init --file "$GAME_DIR/kelbo.dat" >/dev/null || fail "kelbo init failed"
INI=$'; kept by hand\r\n[Window]\r\nLeft=12\r\n\r\n[Options]\r\nNoGuess=0\r\nTheme=dark ; later\r\n\r\n[Later]\r\nSize=9\r\n'
printf '%s' "$INI" >"$GAME_DIR/skarvel.ini"
load_board 0

differing_pixels() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1; }

# A picture at size SCALE against the 1x one: the same once each pixel of the 1x one is a block.
expect_scaled() {
    local big=$1 small=$2 scale=$3 what=$4 count
    convert "$small" -sample "$((scale * 100))%" "$WORK/scaled.png"
    count=$(differing_pixels "$big" "$WORK/scaled.png")
    [ "$count" = 0 ] || fail "$what: $count pixels differ from the 1x picture scaled $scale times"
}

# Below the header, where the clock may have ticked in one run and not in the other.
board_part() { convert "$1" -crop "+0+$((42 * $3))" +repage "$2"; }

# A release at SCALE on the last window pixel of the 1x pixel that the 1x release would take.
release_at_scale() {
    local move=$1 scale=$2 button=1 cell=${1#?:} x y left top
    [ "${move%%:*}" = R ] && button=3
    [ "${move%%:*}" = M ] && button=2
    read -r left top _ <<<"$(probe client)"
    read -r x y <<<"$(cell_point "${cell%,*}" "${cell#*,}")"
    xdotool mousemove $((left + x * scale + scale - 1)) $((top + y * scale + scale - 1)) click "$button"
    sleep 0.3
}

# A count of 1 beside a mine whose flag lets its chord open the rest of its neighbours.
for count in $(cells_with 1); do
    for mine in $(cells_with '*'); do
        flagged=$(replay "L:$count" "R:$mine")
        chorded=$(replay "L:$count" "R:$mine" "M:$count")
        [ "$flagged" != "$chorded" ] && ! grep -q '^Result' <<<"$chorded" && break 2
    done
done
[ "$flagged" != "$chorded" ] || fail "no chord that opens cells on the frozen board"
MOVES=("L:$count" "R:$mine" "M:$count")
lost_on=$(cells_with '*' | grep -vx "$mine" | head -1)
note "moves ${MOVES[*]}, then a loss on $lost_on"

start_skarvel frozen
WINDOW=$(wait_for_window Skarvel)
for scale in 1 2 3; do
    note "size $scale"
    if [ "$scale" != 1 ]; then
        post_command $((40017 + scale))
        sleep 1
        xdotool mousemove --window "$WINDOW" $((CLIENT_LEFT + 10)) $((CLIENT_TOP + 10)) key F3
        sleep 1
    fi
    read -r _ _ width height <<<"$(probe client)"
    [ "$width $height" = "$((235 * scale)) $((228 * scale))" ] ||
        fail "at size $scale the client area is $width x $height, expected $((235 * scale)) x $((228 * scale))"
    grab_when_still "$WORK/fresh-$scale.png" probe client
    [ "$scale" = 1 ] || expect_scaled "$WORK/fresh-$scale.png" "$WORK/fresh-1.png" "$scale" "game 0 again at size $scale"
    for move in "${MOVES[@]}"; do release_at_scale "$move" "$scale"; done
    grab_when_still "$WORK/played-$scale.png" probe client
    board_part "$WORK/played-$scale.png" "$WORK/board-$scale.png" "$scale"
    board_part "$WORK/played-1.png" "$WORK/board-1.png" 1
    [ "$scale" = 1 ] || expect_scaled "$WORK/board-$scale.png" "$WORK/board-1.png" "$scale" "the moves at size $scale"
    release_at_scale "L:$lost_on" "$scale"
    sleep 0.5
done

note "a win on the board played again records nothing"
cp "$GAME_DIR/kelbo.dat" "$WORK/before.dat"
post_command 40017
sleep 1
for move in $(winning_moves); do release_at_scale "$move" 3; done
text=$(wait_for_message_text "")
[ "$text" = "You win! Your time is not recorded, because you had played this board before." ] ||
    fail "the win on a board played again says: $text"
xdotool key Return
sleep 0.5
cmp -s "$WORK/before.dat" "$GAME_DIR/kelbo.dat" || fail "the win on a board played again changed kelbo.dat"

post_command 40002
expect_exit_code 0
expected=$'; kept by hand\r\n[Window]\r\nLeft=12\r\n\r\n[Options]\r\nNoGuess=0\r\nTheme=dark ; later\r\nSize=3\r\n\r\n[Later]\r\nSize=9\r\n'
cmp -s <(printf '%s' "$expected") "$GAME_DIR/skarvel.ini" || fail "skarvel.ini holds: $(od -c "$GAME_DIR/skarvel.ini")"

note "the next start at size 3"
start_skarvel frozen
WINDOW=$(wait_for_window Skarvel)
sleep 1
read -r _ _ width height <<<"$(probe client)"
[ "$width $height" = "705 684" ] || fail "after a restart the client area is $width x $height, expected 705 x 684"
grab_when_still "$WORK/restart.png" probe client
cmp -s <(convert "$WORK/restart.png" rgb:-) <(convert "$WORK/fresh-3.png" rgb:-) ||
    fail "the game started at size 3 differs from game 0 again at size 3"
post_command 40002
expect_exit_code 0
echo "triangle_size: passed"
