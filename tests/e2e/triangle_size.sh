#!/bin/bash
# The triangle sizes on the frozen Beginner board, on a desktop that holds it three times over. At
# each size Same board again gives game 0 afresh: its picture is the 1x one with every pixel a block,
# and a release, a flag and a chord played at that size leave the board as at 1x. A win on a board
# played again records nothing. The size comes back at the next start; skarvel.ini keeps its lines.
. "$(dirname "$0")/lib.sh" "$@"
. "$(dirname "$0")/play_lib.sh"
e2e_setup
cp -a "$WINEPREFIX" "$WORK/prefix"
export WINEPREFIX="$WORK/prefix"
start_wineserver
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
"$KELBO" init --file "$GAME_DIR/kelbo.dat" >/dev/null || fail "kelbo init failed"
INI=('; mine' '[Window]' 'Left=12' '' '[Options]' 'Theme=dark' '' '[Later]' 'Size=9')
printf '%s\r\n' "${INI[@]}" >"$GAME_DIR/skarvel.ini"
load_board 0

# A picture at size SCALE against the 1x one scaled whole, below the header (the clock ticks) or all.
expect_scaled() {
    local scale=$1 what=$3 crop=${4:-+0+0} count
    convert "$WORK/$2-1.png" -sample "$((scale * 100))%" -crop "+0+$((${crop#+0+} * scale))" +repage "$WORK/scaled.png"
    convert "$WORK/$2-$scale.png" -crop "+0+$((${crop#+0+} * scale))" +repage "$WORK/big.png"
    count=$(compare -metric AE "$WORK/big.png" "$WORK/scaled.png" null: 2>&1 | cut -d' ' -f1)
    [ "$count" = 0 ] || fail "$what at size $scale: $count pixels differ from the 1x picture scaled whole"
}

# A release on the last window pixel of the 1x pixel that the 1x release takes.
release_at_scale() {
    local button=1 cell=${1#?:} x y left top
    case ${1%%:*} in R) button=3 ;; M) button=2 ;; esac
    read -r left top _ <<<"$(probe client)"
    read -r x y <<<"$(cell_point "${cell%,*}" "${cell#*,}")"
    xdotool mousemove $((left + x * $2 + $2 - 1)) $((top + y * $2 + $2 - 1)) click "$button"
    sleep 0.3
}

# A count of 1 and a mine whose flag lets the count's chord open its other neighbours.
for count in $(cells_with 1); do
    for mine in $(cells_with '*'); do
        chorded=$(replay "L:$count" "R:$mine" "M:$count")
        [ "$(replay "L:$count" "R:$mine")" != "$chorded" ] && ! grep -q '^Result' <<<"$chorded" && break 2
    done
done
MOVES=("L:$count" "R:$mine" "M:$count")
lost_on=$(cells_with '*' | grep -vx "$mine" | head -1)
note "moves ${MOVES[*]}, then a loss on $lost_on"

start_skarvel frozen
WINDOW=$(wait_for_window Skarvel)
for scale in 1 2 3; do
    note "size $scale"
    if [ "$scale" != 1 ]; then
        post_command $((40017 + scale)) && sleep 1
        xdotool mousemove --window "$WINDOW" $((CLIENT_LEFT + 10)) $((CLIENT_TOP + 10)) key F3 && sleep 1
    fi
    read -r _ _ width height <<<"$(probe client)"
    [ "$width $height" = "$((235 * scale)) $((228 * scale))" ] ||
        fail "at size $scale the client area is $width x $height"
    grab_when_still "$WORK/fresh-$scale.png" probe client
    [ "$scale" = 1 ] || expect_scaled "$scale" fresh "game 0 again"
    for move in "${MOVES[@]}"; do release_at_scale "$move" "$scale"; done
    grab_when_still "$WORK/played-$scale.png" probe client
    [ "$scale" = 1 ] || expect_scaled "$scale" played "the moves" +0+42
    release_at_scale "L:$lost_on" "$scale"
done

note "a win on the board played again records nothing"
cp "$GAME_DIR/kelbo.dat" "$WORK/before.dat"
post_command 40017 && sleep 1
for move in $(winning_moves); do release_at_scale "$move" 3; done
text=$(wait_for_message_text "")
[ "$text" = "You win! Your time is not recorded, because you had played this board before." ] ||
    fail "the win says: $text"
xdotool key Return && sleep 0.5
cmp -s "$WORK/before.dat" "$GAME_DIR/kelbo.dat" || fail "the win on a board played again changed kelbo.dat"
post_command 40002
expect_exit_code 0
printf '%s\r\n' "${INI[@]:0:6}" Size=3 "${INI[@]:6}" >"$WORK/ini"
cmp -s "$WORK/ini" "$GAME_DIR/skarvel.ini" || fail "skarvel.ini holds: $(od -c "$GAME_DIR/skarvel.ini")"

note "the next start at size 3"
start_skarvel frozen
WINDOW=$(wait_for_window Skarvel)
grab_when_still "$WORK/fresh-restart.png" probe client
cmp -s <(convert "$WORK/fresh-restart.png" rgb:-) <(convert "$WORK/fresh-3.png" rgb:-) ||
    fail "the game started again is not game 0 at size 3"
post_command 40002
expect_exit_code 0
echo "triangle_size: passed"
