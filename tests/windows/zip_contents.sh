#!/bin/bash
# The download for Windows holds the game, the tool, the boards and the players' text, the text
# files with Windows line ends, and its kelbo.exe installs a board from the zip as it stands.
# Usage: zip_contents.sh NATIVE_BUILD_DIR ZIP_FILE LEVELS_DIR
set -u
build_dir=${1:?native build directory}
zip_file=${2:?zip file}
levels_dir=${3:?levels folder}
fail() { echo "FAIL: $*" >&2; exit 1; }

[ -f "$zip_file" ] || fail "no $zip_file: build it with cmake --build $build_dir --target windows_zip"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip_file" -d "$work" || fail "$zip_file does not unpack"

expected=$(printf '%s\n' Skarvel/skarvel.exe Skarvel/kelbo.exe "Skarvel/How to play.txt" \
    $(cd "$levels_dir" && ls *.txt | sed 's|^|Skarvel/levels/|') | sort)
found=$(cd "$work" && find Skarvel -type f | sort)
[ "$found" = "$expected" ] || fail "the zip holds
$found
expected
$expected"
for text in "$work/Skarvel/How to play.txt" "$work"/Skarvel/levels/*.txt; do
    [ "$(grep -c $'\r$' "$text")" = "$(wc -l <"$text")" ] || fail "$text has lines without a Windows line end"
done

. "$(dirname "$0")/../wine/wine_env.sh" "$build_dir"
keep_wine_server
trap 'end_wine_server; rm -rf "$work"' EXIT
cd "$work/Skarvel" || exit 1
board=$(ls levels | head -1)
wine kelbo.exe init >/dev/null || fail "kelbo.exe init failed"
wine kelbo.exe level set 3 --title Board --mines 1 --picture "levels/$board" >/dev/null ||
    fail "kelbo.exe could not install levels/$board"
wine kelbo.exe check | tr -d '\r' | grep -qx ok || fail "the file with levels/$board does not pass kelbo check"
echo "zip_contents: passed"
