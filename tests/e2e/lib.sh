# Shared functions of the end-to-end tests: skarvel.exe under Wine on a private Xvfb display, in a
# fresh folder, driven with xdotool and looked at through screenshots.
# Usage: . lib.sh NATIVE_BUILD_DIR SKARVEL_EXE KELBO GAME_PROBE_EXE
set -u

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
BUILD_DIR=$(cd "${1:?native build directory}" && pwd)
SKARVEL_EXE=${2:?skarvel.exe}
KELBO=${3:?kelbo tool}
GAME_PROBE_EXE=${4:?game_probe.exe}

# The virtual desktop's size, set in the prefix by wine_env.sh.
DESKTOP_WIDTH=800
DESKTOP_HEIGHT=600
# Wine's frame, caption and menu bar: the client area starts this far into the window.
CLIENT_LEFT=3
CLIENT_TOP=41

# Level index -> window size and the menu bar's "Game" pop-up; the pop-up's text lines, top to
# bottom, are New game, the eight levels, Best times, Statistics, No guessing, Same board again,
# Triangle size, Make a board and Exit.
LEVEL_WIDTHS=(241 421 586 301 451 481 421 301)
LEVEL_HEIGHTS=(272 402 454 324 428 454 454 402)
GAME_MENU_LINES=16
FIRST_LEVEL_LINE=1
GAME_MENU_HEIGHT=312  # pixels of the open pop-up, from the client area's top
STATISTICS_LINE=10
NO_GUESSING_LINE=11
SAME_BOARD_LINE=12
TRIANGLE_SIZE_LINE=13
MAKE_BOARD_LINE=14
EXIT_LINE=15

RUN_AS=()         # a command prefix that runs Wine as another user, empty for ourselves
WORK=""           # this test's temporary folder
GAME_DIR=""       # where skarvel.exe runs: its kelbo.dat lives here
XVFB_PID=""
DESKTOP_UP=""     # set once the running Wine server's virtual desktop is up
SKARVEL_PID=""
EXIT_CODE=""

# Ends the test, also when called in a command substitution such as WINDOW=$(wait_for_window ..),
# whose own exit would end only that subshell and leave the test to wait out every later bound.
fail() {
    echo "FAIL: $*" >&2
    [ "$BASHPID" != "$$" ] && kill -USR1 "$$"
    exit 1
}
trap 'exit 1' USR1

note() { echo "-- $(date +%T.%N | cut -c1-12) $*"; }

# The processes this test started and that still run, Wine's own helpers included (they all carry
# this test's TMPDIR), but for the test itself and its display.
left_behind() {
    local pid
    for pid in $(grep -lasF "TMPDIR=$WORK/tmp" /proc/[0-9]*/environ 2>/dev/null | cut -d/ -f3); do
        [ "$pid" != "$$" ] && [ "$pid" != "$XVFB_PID" ] && kill -0 "$pid" 2>/dev/null && echo "$pid"
    done
}

# Every step is bounded: a Wine process that will not end is ended by its id, since one left
# behind would hold the test's output open and keep the test from finishing.
e2e_cleanup() {
    if [ -n "$SKARVEL_PID" ] && kill -0 "$SKARVEL_PID" 2>/dev/null; then
        kill "$SKARVEL_PID" 2>/dev/null
    fi
    if [ -n "${WINEPREFIX:-}" ]; then
        timeout 10 "${RUN_AS[@]}" wineserver -k 2>/dev/null
        [ $? = 124 ] && echo "-- wineserver -k did not end in 10 s" >&2
    fi
    if [ -n "$WORK" ]; then
        local left tries
        for tries in $(seq 30); do
            left=$(left_behind)
            [ -z "$left" ] && break
            sleep 0.1
        done
        if [ -n "$left" ]; then
            echo "-- ending processes left behind: $(echo $left)" >&2
            kill -9 $left 2>/dev/null
        fi
    fi
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
    fi
    [ -n "$WORK" ] && rm -rf "$WORK"
}

# A display of our own: Xvfb picks a free number and tells it through a descriptor.
start_display() {
    local number_file="$WORK/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    XVFB_PID=$!
    local tries
    for tries in $(seq 100); do
        [ -s "$number_file" ] && break
        kill -0 "$XVFB_PID" 2>/dev/null || fail "Xvfb did not start"
        sleep 0.1
    done
    [ -s "$number_file" ] || fail "Xvfb gave no display number"
    export DISPLAY=":$(tr -d '\n' <"$number_file")"
}

# Call first: the Wine prefix, a display, a running wineserver, an empty game folder.
e2e_setup() {
    WORK=$(mktemp -d)
    trap e2e_cleanup EXIT
    GAME_DIR="$WORK/game"
    mkdir "$GAME_DIR" "$WORK/tmp"
    # Wine keeps its server's socket in a folder under TMPDIR; this one goes with the test.
    export TMPDIR="$WORK/tmp"
    # shellcheck source=../wine/wine_env.sh
    . "$E2E_DIR/../wine/wine_env.sh" "$BUILD_DIR"
    # Wine's word on a window it could not make goes to the log, which a failure's message quotes.
    export WINEDEBUG=-all,err+winediag
    [ -f "$SKARVEL_EXE" ] || fail "no $SKARVEL_EXE"
    start_display
}

# Runs Wine as an unprivileged user, who gets a copy of the prefix and the game folder: root
# opens a read-only file for writing all the same.
use_unprivileged_user() {
    local user=nobody group=nogroup
    cp -a "$WINEPREFIX" "$WORK/prefix"
    mkdir -p "$WORK/home"
    chown -R "$user:$group" "$WORK/prefix" "$WORK/home" "$WORK/tmp" "$GAME_DIR"
    chmod 755 "$WORK"
    export WINEPREFIX="$WORK/prefix" HOME="$WORK/home"
    RUN_AS=(setpriv --reuid="$user" --regid="$group" --clear-groups)
}

# A persistent Wine server of our own, started with the real clock. A Wine test that ran just
# before leaves its server for a few seconds; `wineserver -p` then starts nothing, and once that
# server is gone a game started under faketime would start one with a frozen clock, whose
# timeouts never expire: the window may never show, and Wine's helpers never end.
start_wineserver() {
    timeout 10 "${RUN_AS[@]}" wineserver -k >/dev/null 2>&1
    timeout 10 "${RUN_AS[@]}" wineserver -p >/dev/null 2>&1 ||
        fail "wineserver -p did not start a server (exit code $?)"
    server_running || fail "no Wine server runs after wineserver -p"
    DESKTOP_UP=""
}

# The virtual desktop, up before the game's first window and kept up while the server runs. Left
# to the game, it would be started by the first window, and Wine waits at most 10 s for it: on a
# loaded machine the window then fails ("The explorer process failed to start") and the game ends
# at once. And a desktop closes a second after its last program ends, so a game started in that
# second could land on a desktop going away. A program waiting on a pipe keeps it open.
open_desktop() {
    [ -p "$WORK/desktop-keeper" ] || mkfifo "$WORK/desktop-keeper"
    exec 7<>"$WORK/desktop-keeper"
    "${RUN_AS[@]}" wine 'C:\windows\system32\cmd.exe' <&7 >/dev/null 2>&1 &
    "${RUN_AS[@]}" wine 'C:\windows\system32\explorer.exe' /desktop >>"$WORK/wine.log" 2>&1 &
    timeout 60 xdotool search --sync --onlyvisible --name '^Default - Wine desktop$' >/dev/null 2>&1 ||
        fail "the Wine desktop did not come up in 60 s"
    DESKTOP_UP=1
}

server_running() { timeout 10 "${RUN_AS[@]}" wineserver -k0 >/dev/null 2>&1; }

# With "frozen", the game's clock of day stands at FROZEN_TIME, so its new game N (0 at start-up)
# gets the board that `kelbo board LEVEL --time FROZEN_SECONDS --game N` prints. Timers still run in real time. The library is
# preloaded without the faketime wrapper: the wrapper makes a semaphore named after its process id
# and, when it is ended from outside, leaves it behind, so a later wrapper that gets the same id
# fails at once ("sem_open: File exists") and the game never starts.
FROZEN_TIME='2024-01-01 12:00:00'
FROZEN_SECONDS=1704110400
FAKETIME_LIBRARY=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1

start_skarvel() {
    cp "$SKARVEL_EXE" "$WORK/skarvel.exe"
    cp "$GAME_PROBE_EXE" "$WORK/game_probe.exe"
    chmod 755 "$WORK/skarvel.exe" "$WORK/game_probe.exe"
    local clock=()
    [ "${1:-}" = frozen ] &&
        clock=(env NO_FAKE_STAT=1 TZ=UTC LD_PRELOAD="$FAKETIME_LIBRARY" FAKETIME="$FROZEN_TIME")
    [ "${1:-}" = frozen ] && [ ! -f "$FAKETIME_LIBRARY" ] && fail "no $FAKETIME_LIBRARY (package libfaketime)"
    if [ "${1:-}" = frozen ] && ! server_running; then
        fail "no Wine server runs: the game under faketime would start one with a frozen clock"
    fi
    [ -n "$DESKTOP_UP" ] || open_desktop
    # Wine's output goes to a file: its helpers outlive the game and would hold a pipe open.
    (cd "$GAME_DIR" && exec "${RUN_AS[@]}" "${clock[@]}" wine "$WORK/skarvel.exe" >>"$WORK/wine.log" 2>&1) &
    SKARVEL_PID=$!
}

# Why the game is not there, for a failure's message.
game_state() {
    if [ -z "$SKARVEL_PID" ]; then
        echo "the game was not started"
    elif kill -0 "$SKARVEL_PID" 2>/dev/null; then
        echo "skarvel.exe is still running"
    else
        echo "skarvel.exe has ended"
    fi
    [ -s "$WORK/wine.log" ] && echo "; Wine said: $(tail -n 3 "$WORK/wine.log" | tr '\n' ' ')"
}

# Runs game_probe.exe, bounded, its output through a file: a Wine helper that it starts keeps the
# pipe of a command substitution open.
probe() {
    timeout 20 "${RUN_AS[@]}" wine "$WORK/game_probe.exe" "$@" >"$WORK/probe.out" 2>>"$WORK/wine.log"
    local code=$?
    [ "$code" = 124 ] && echo "-- game_probe.exe $1 did not end in 20 s" >&2
    tr -d '\r' <"$WORK/probe.out"
    return "$code"
}

# The game's data file as the game names it: its full Windows path, on Wine's drive Z.
game_file_path() { echo "Z:$(tr / '\\' <<<"$GAME_DIR")\\kelbo.dat"; }

# The message names the data file by its full path in its first line.
expect_full_path() {
    head -1 <<<"$1" | grep -qF "$(game_file_path)" || fail "the message's first line does not name $(game_file_path): $1"
}

# Prints the X window id of the first visible window with exactly this title.
wait_for_window() {
    local title=$1 id
    id=$(timeout 30 xdotool search --sync --onlyvisible --name "^${title}\$" 2>/dev/null | head -1)
    [ -n "$id" ] || fail "no window \"$title\" appeared in 30 s: $(game_state)"
    echo "$id"
}

# Prints the X window id of a message box titled like the game, other than the main window.
wait_for_message_box() {
    local main=${1:-} tries id
    for tries in $(seq 150); do
        for id in $(xdotool search --onlyvisible --name '^Skarvel$' 2>/dev/null); do
            [ "$id" != "$main" ] && { echo "$id"; return 0; }
        done
        sleep 0.2
    done
    fail "no message box appeared in 30 s: $(game_state)"
}

# True when no visible window has this title.
window_gone() { ! xdotool search --onlyvisible --name "^${1}\$" >/dev/null 2>&1; }

# Prints "x y width height" of a window, as placed on the screen.
window_geometry() {
    xwininfo -id "$1" | awk '
        /Absolute upper-left X:/ { x = $NF }
        /Absolute upper-left Y:/ { y = $NF }
        /Width:/ { w = $NF }
        /Height:/ { h = $NF }
        END { print x, y, w, h }'
}

# The window reaches the size within a few seconds, or at the first look with "at-once", and
# stands centred on the desktop.
expect_centred_size() {
    local window=$1 width=$2 height=$3 looks=50 geometry tries
    [ "${4:-}" = at-once ] && looks=1
    for tries in $(seq "$looks"); do
        geometry=$(window_geometry "$window")
        set -- $geometry
        [ "$3" = "$width" ] && [ "$4" = "$height" ] && break
        sleep 0.1
    done
    set -- $geometry
    [ "$3 $4" = "$width $height" ] || fail "window is $3 x $4, expected $width x $height"
    local x=$(((DESKTOP_WIDTH - width) / 2)) y=$(((DESKTOP_HEIGHT - height) / 2))
    [ "$1 $2" = "$x $y" ] || fail "window of $width x $height is at $1, $2, expected $x, $y"
}

# Waits for skarvel.exe to end and leaves its exit code in EXIT_CODE.
wait_for_exit() {
    local seconds=${1:-15} tries
    for tries in $(seq $((seconds * 10))); do
        kill -0 "$SKARVEL_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$SKARVEL_PID" 2>/dev/null && fail "skarvel.exe is still running after $seconds s"
    wait "$SKARVEL_PID"
    EXIT_CODE=$?
    SKARVEL_PID=""
}

# A game started frozen ends as any other; its exit code is not asked for.
wait_for_frozen_exit() { wait_for_exit; }

expect_exit_code() {
    wait_for_exit
    [ "$EXIT_CODE" = "$1" ] || fail "exit code $EXIT_CODE, expected $1"
}

expect_running() {
    sleep "${1:-0.5}"
    kill -0 "$SKARVEL_PID" 2>/dev/null || fail "skarvel.exe has ended"
}

# Opens the "Game" pop-up with a click on the menu bar and waits until all its lines show. The
# pointer stays on the bar, so no item of the pop-up is highlighted.
open_game_menu() {
    local tries
    xdotool mousemove --window "$1" 20 31 click 1
    for tries in $(seq 20); do
        sleep 0.2
        [ "$(game_menu_lines "$1" | wc -l)" = "$GAME_MENU_LINES" ] && return 0
    done
    fail "the Game menu did not open with $GAME_MENU_LINES lines"
}

close_menu() {
    xdotool key Escape Escape
    sleep 0.2
}

# Prints one line per text line of the open "Game" pop-up, top to bottom: "top bottom checked",
# in pixels from the pop-up's top, checked 1 when a check mark stands beside it. The crop stays
# inside the pop-up: below it, the edges of a tall board's triangles would read as text.
game_menu_lines() {
    local geometry
    geometry=$(window_geometry "$1")
    set -- $geometry
    import -window root -crop "130x${GAME_MENU_HEIGHT}+$(($1 + CLIENT_LEFT))+$(($2 + CLIENT_TOP))" +repage -depth 8 txt:- |
        awk -f "$E2E_DIR/menu_lines.awk"
}

# The open pop-up shows the check mark beside this level's item and no other.
expect_only_checked() {
    local level=$1 lines checked
    lines=$(game_menu_lines "$2")
    [ "$(echo "$lines" | wc -l)" = "$GAME_MENU_LINES" ] ||
        fail "the Game menu shows $(echo "$lines" | wc -l) lines, expected $GAME_MENU_LINES: $lines"
    checked=$(echo "$lines" | awk '$3 == 1 { printf "%d ", NR - 1 }')
    [ "$checked" = "$((level + FIRST_LEVEL_LINE)) " ] ||
        fail "check marks on menu lines ${checked:-none}, expected on line $((level + FIRST_LEVEL_LINE)) alone"
}

# Clicks the pop-up's text line with this number (0 is New game).
click_menu_line() {
    local window=$1 line=$2 lines top bottom
    lines=$(game_menu_lines "$window")
    read -r top bottom _ <<<"$(echo "$lines" | sed -n "$((line + 1))p")"
    [ -n "$top" ] || fail "the Game menu has no line $line"
    xdotool mousemove --window "$window" $((CLIENT_LEFT + 40)) $((CLIENT_TOP + (top + bottom) / 2)) click 1
}

# Sends WM_COMMAND with this id to the running game, as a menu would.
post_command() {
    probe command "$1" >/dev/null || fail "could not post command $1: $(game_state)"
}

# Prints the text of the game's open message box, or of the one with the title given.
message_box_text() {
    local text
    text=$(probe message "${1-Skarvel}") || fail "no message box to read: $(game_state)"
    echo "$text"
}

# Waits for a message box with this title ("" for none) and prints its text.
wait_for_message_text() {
    local tries text
    for tries in $(seq 30); do
        text=$(probe message "$1") && break
        sleep 0.3
    done
    [ -n "$text" ] || fail "no message box titled \"$1\" appeared: $(game_state)"
    echo "$text"
}

# Grabs a screen rectangle into OUT once two grabs in a row agree: drawing has finished. The rest
# of the arguments is a command that prints the rectangle as "LEFT TOP WIDTH HEIGHT", run before
# every grab, since a window may still be moving or growing.
grab_when_still() {
    local out=$1 previous="" current tries left top width height
    shift
    for tries in $(seq 40); do
        read -r left top width height < <("$@")
        import -window root -crop "${width}x${height}+${left}+${top}" +repage "$WORK/grab.png"
        current=$(convert "$WORK/grab.png" rgb:- | md5sum)
        [ "$current" = "$previous" ] && { cp "$WORK/grab.png" "$out"; return 0; }
        previous=$current
        sleep 0.2
    done
    fail "the window kept changing"
}
