#!/bin/bash
# kelbo.exe under Wine beside the native kelbo: the same commands must give the same files and
# the same output, a level set must replace an existing file (rename cannot on Windows), and a
# refusal must leave the file as it was. A file at another writer's name is passed by, and a held
# lock makes a writer give up and leave the file as it was.
# Usage: kelbo_under_wine.sh NATIVE_BUILD_DIR KELBO_EXE NATIVE_KELBO LEVELS_DIR HOLD_FILE_EXE
set -uo pipefail
build_dir=${1:?native build directory}
kelbo_exe=${2:?kelbo.exe}
kelbo=${3:?native kelbo}
levels=${4:?levels folder}
hold_file=${5:?hold_file.exe}
. "$(dirname "$0")/../wine/wine_env.sh" "$build_dir"

work=$(mktemp -d "$build_dir/kelbo-wine.XXXXXX")
keep_wine_server
trap 'end_wine_server; rm -rf "$work"' EXIT
mkdir "$work/windows" "$work/native"
cp "$levels/ring.txt" "$work/windows/"
cp "$levels/ring.txt" "$work/native/"
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Runs one command in a folder; Wine's output goes to files, since its background processes
# hold a pipe open. Leaves the exit code, output and errors in $work/<side>.{rc,out,err}.
run() {
    local side=$1
    shift
    local program=("$kelbo")
    [ "$side" = windows ] && program=(wine "$kelbo_exe")
    (cd "$work/$side" && "${program[@]}" "$@" >"$work/$side.raw" 2>"$work/$side.rawerr")
    echo $? >"$work/$side.rc"
    tr -d '\r' <"$work/$side.raw" >"$work/$side.out"
    tr -d '\r' <"$work/$side.rawerr" >"$work/$side.err"
}

# The same command on both sides: same exit code, same output, same data file.
both() {
    run native "$@"
    run windows "$@"
    cmp -s "$work/native.rc" "$work/windows.rc" ||
        fail "$*: exit $(cat "$work/windows.rc"), native $(cat "$work/native.rc"); kelbo.exe says: $(cat "$work/windows.err")"
    cmp -s "$work/native.out" "$work/windows.out" || fail "$*: output differs: $(diff "$work/native.out" "$work/windows.out")"
    cmp -s "$work/native/kelbo.dat" "$work/windows/kelbo.dat" || fail "$*: the data files differ"
    left=$(ls "$work/windows" | grep '^kelbo\.dat\.new')
    [ -z "$left" ] || fail "$*: $left left behind"
}

both init
# Help, options before the command, and misuse: the same words, the same exit code, on both sides.
both --help
both -h
both help level
both level set --help
mkdir "$work/native/sub" "$work/windows/sub"
for misuse in frobnicate "times 9" "init --forse" "levels --file sub" "levels --file missing.dat" init "levle show 4" \
    "board 0 --seed 1 --file missing.dat" "solve 0 --seed 1 --first 13,0"; do
    # shellcheck disable=SC2086 # a row is a command line
    both $misuse
    cmp -s "$work/native.err" "$work/windows.err" || fail "$misuse: says $(cat "$work/windows.err"), native $(cat "$work/native.err")"
done

both --file kelbo.dat levels
both level set 4 --title Ring --mines 25 --picture ring.txt
both level set 3 --title Big --mines 90 --size 20x30
both level show 4
both check
both replay 3 --seed 7 L:0,0

# The solver tells the same chances and plays the same moves; a batch's figures agree but the speed.
both chances 5 --seed 11 L:14,7 --list
both solve 2 --seed 7
both solve 6 --time 1700000000 --game 3 --first 12,7
for side in native windows; do
    run "$side" solve 4 --boards 40
    head -n 5 "$work/$side.out" >"$work/$side.figures"
done
cmp -s "$work/native.figures" "$work/windows.figures" || fail "solve --boards: $(diff "$work/native.figures" "$work/windows.figures")"

cp "$work/windows/kelbo.dat" "$work/before.dat"
run windows level set 1 --title Ring --mines 25 --picture ring.txt
[ "$(cat "$work/windows.rc")" != 0 ] || fail "a ring in level 1 was accepted"
grep -q '^kelbo: ring.txt: the picture has a hole' "$work/windows.err" || fail "refusal says: $(cat "$work/windows.err")"
cmp -s "$work/before.dat" "$work/windows/kelbo.dat" || fail "a refused level set changed the file"

# A file where another writer might put its new one is neither written nor renamed over kelbo.dat.
echo "another writer's" >"$work/windows/kelbo.dat.new"
run windows level reset 4
[ "$(cat "$work/windows.rc")" = 0 ] || fail "level reset beside kelbo.dat.new: $(cat "$work/windows.err")"
[ "$(cat "$work/windows/kelbo.dat.new")" = "another writer's" ] || fail "kelbo.dat.new was written over"
rm -f "$work/windows/kelbo.dat.new"
both level reset 4
both level reset 3
both times

# Numbers past 32 bits are refused alike, not wrapped round where long has 32 bits.
both board 0 --seed 9999999999
both replay 0 --seed 1 L:4294967296,0
both level set 0 --title T --mines 4294967299 --size 5x5

# A title in the player's letters goes into the file as the same Windows-1252 bytes; kelbo.exe
# prints it back in the console's code page.
title=$(printf 'Zo\303\253\342\202\254')
run native level set 4 --title "$title" --size 3x4 --mines 2
run windows level set 4 --title "$title" --size 3x4 --mines 2
cmp -s "$work/native/kelbo.dat" "$work/windows/kelbo.dat" || fail "an accented title: the data files differ"
run windows level show 4
head -n 1 "$work/windows.out" | iconv -f CP1252 -t UTF-8 2>/dev/null | grep -qF "title \"$title\"" ||
    head -n 1 "$work/windows.out" | grep -qF "title \"$title\"" ||
    fail "an accented title shows as $(head -n 1 "$work/windows.out" | od -c | head -n 2)"
both level reset 4
# A letter outside Windows-1252 reaches kelbo.exe as '?' in its arguments; the command line as
# typed still names it.
cp "$work/windows/kelbo.dat" "$work/before.dat"
run windows level set 4 --title "$(printf 'Zo\342\206\222')" --size 3x4 --mines 2
[ "$(cat "$work/windows.rc")" = 1 ] || fail "a title with an arrow was accepted"
grep -q "character 3, .*U+2192.*, is not in the game's character set" "$work/windows.err" ||
    fail "a title with an arrow: $(cat "$work/windows.err")"
cmp -s "$work/before.dat" "$work/windows/kelbo.dat" || fail "a refused title changed the file"

# The running game keeps kelbo.dat open: kelbo.exe says so in one line, and the file stays whole.
cp "$work/windows/kelbo.dat" "$work/before.dat"
(cd "$work/windows" && wine "$hold_file" kelbo.dat >/dev/null 2>&1) &
holder=$!
for _ in $(seq 300); do [ -e "$work/windows/held" ] && break; sleep 0.1; done
[ -e "$work/windows/held" ] || fail "hold_file.exe did not open kelbo.dat"
run windows level set 4 --title Ring --mines 25 --picture ring.txt
[ "$(cat "$work/windows.rc")" = 1 ] || fail "level set on an open file: exit $(cat "$work/windows.rc")"
[ "$(wc -l <"$work/windows.err")" = 1 ] || fail "level set on an open file: not one line: $(cat "$work/windows.err")"
grep -q '^kelbo: the game (or another program) has kelbo.dat open, so it cannot be replaced: close the game first' \
    "$work/windows.err" || fail "level set on an open file says: $(cat "$work/windows.err")"
touch "$work/windows/release"
wait "$holder"
cmp -s "$work/before.dat" "$work/windows/kelbo.dat" || fail "a level set on an open file changed it"
[ -z "$(ls "$work/windows" | grep '^kelbo\.dat\.new')" ] || fail "a new file left behind beside an open file"
rm -f "$work/windows/held" "$work/windows/release"
both level set 4 --title Ring --mines 25 --picture ring.txt

# While the game writes a time it holds the lock beside kelbo.dat: kelbo.exe waits, then gives up
# and leaves the file as it was.
cp "$work/windows/kelbo.dat" "$work/before.dat"
(cd "$work/windows" && wine "$hold_file" --lock kelbo.dat >/dev/null 2>&1) &
holder=$!
for _ in $(seq 300); do [ -e "$work/windows/held" ] && break; sleep 0.1; done
[ -e "$work/windows/held" ] || fail "hold_file.exe did not lock kelbo.dat.lock"
run windows level reset 4
[ "$(cat "$work/windows.rc")" = 1 ] || fail "level reset under the lock: exit $(cat "$work/windows.rc")"
grep -q '^kelbo: kelbo.dat is being written by the game or another kelbo; it is left as it is' "$work/windows.err" ||
    fail "level reset under the lock says: $(cat "$work/windows.err")"
touch "$work/windows/release"
wait "$holder"
cmp -s "$work/before.dat" "$work/windows/kelbo.dat" || fail "a level reset under the lock changed the file"
rm -f "$work/windows/held" "$work/windows/release"
both level reset 4

# The native kelbo, as Linux players run it beside the game under Wine, honours the game's lock too.
cp "$work/windows/kelbo.dat" "$work/before.dat"
(cd "$work/windows" && wine "$hold_file" --lock kelbo.dat >/dev/null 2>&1) &
holder=$!
for _ in $(seq 300); do [ -e "$work/windows/held" ] && break; sleep 0.1; done
[ -e "$work/windows/held" ] || fail "hold_file.exe did not take the game's lock"
(cd "$work/windows" && "$kelbo" level set 3 --title Big --mines 90 --size 20x30 >/dev/null 2>"$work/native.err")
rc=$?
[ "$rc" = 1 ] || fail "native level set under the game's lock: exit $rc"
grep -q '^kelbo: kelbo.dat is being written by the game or another kelbo; it is left as it is' "$work/native.err" ||
    fail "native level set under the game's lock says: $(cat "$work/native.err")"
touch "$work/windows/release"
wait "$holder"
cmp -s "$work/before.dat" "$work/windows/kelbo.dat" || fail "a native level set under the game's lock changed the file"
rm -f "$work/windows/held" "$work/windows/release"

[ "$failures" -eq 0 ] && echo "kelbo.exe under Wine: all commands agree with the native kelbo"
[ "$failures" -eq 0 ]
