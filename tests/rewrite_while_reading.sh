#!/bin/bash
# Runs `kelbo board 3` many times while another process keeps rewriting Triangle's record between
# its own bytes and a damaged header (0 rows, 255 columns, 255 mines), as a sync tool or another
# program might. No run may hang, a run that exits 0 prints a whole board, and every other run
# says what went wrong.
# Usage: rewrite_while_reading.sh KELBO [RUNS]
set -u
kelbo=${1:?kelbo tool}
runs=${2:-500}
work=$(mktemp -d)
writer=""
trap '[ -n "$writer" ] && kill "$writer" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

file=$work/kelbo.dat
"$kelbo" init --file "$file" >/dev/null || fail "kelbo init failed"
record=$(od -An -tu4 -j $((1 + 4 * 3)) -N4 "$file" | tr -d ' ')
rows=$(dd if="$file" bs=1 skip="$record" count=1 status=none | od -An -tu1 | tr -d ' ')
dd if="$file" of="$work/header" bs=1 skip="$record" count=3 status=none
printf '\x00\xff\xff' >"$work/damaged"

(
    while :; do
        dd if="$work/damaged" of="$file" bs=1 seek="$record" conv=notrunc status=none
        dd if="$work/header" of="$file" bs=1 seek="$record" conv=notrunc status=none
    done
) &
writer=$!

boards=0 refused=0
for seed in $(seq "$runs"); do
    timeout 10 "$kelbo" board 3 --seed "$seed" --file "$file" >"$work/out" 2>"$work/err"
    code=$?
    [ "$code" = 124 ] && fail "kelbo board 3 --seed $seed hung"
    if [ "$code" = 0 ]; then
        [ "$(wc -l <"$work/out")" = "$rows" ] || fail "seed $seed: exit 0 without a whole board"
        boards=$((boards + 1))
    else
        [ -s "$work/err" ] || fail "seed $seed: exit $code without a message"
        refused=$((refused + 1))
    fi
done
echo "rewrite_while_reading: $runs runs, $boards boards, $refused refused with a message, no hang"
