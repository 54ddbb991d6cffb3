#!/usr/bin/env bash
# Prints the tables of docs/levels.md: each built-in level and each board of levels/ with its size,
# its mines and what the solver makes of 1000 of the boards that the game builds at time 0; with
# --no-guess, the boards dealt in the no-guess mode instead, beside the ordinary boards' 3BV.
#   bash scripts/level_figures.sh [KELBO] [BOARDS] [--no-guess]
# KELBO defaults to build/tools/kelbo (a Release build is quickest). The boards of levels/ are set
# into level 3 of a scratch data file; the kelbo.dat of the current folder is never read or written.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kelbo=${1:-$root/build/tools/kelbo}
boards=${2:-1000}
mode=${3:-}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
file=$scratch/kelbo.dat
"$kelbo" init --file "$file" >/dev/null

# One row: the name, rows x columns, playable cells and mines, then the figures of solve --boards.
row() {
  local level=$1 rows columns mines playable
  read -r _ _ rows columns mines playable < <("$kelbo" levels --file "$file" | awk -v l="$level" '$1 == l')
  "$kelbo" solve "$level" --boards "$boards" --file "$file" | awk -v name="$2" -v size="$rows × $columns" \
    -v playable="$playable" -v mines="$mines" '
      /^won without a guess / { clean = $5 }
      /^won [0-9]/ { won = $2 }
      /^lost on the first release / { first = $6 }
      /^guesses per board / { guesses = $4 }
      /^3BV per board / { bv = $4 }
      END {
        printf "| %s | %s | %d | %d | %d | %d | %d | %s | %s |\n", name, size, playable, mines, won, clean, first,
          guesses, bv
      }'
}

# One row of the no-guess table: the boards dealt without a guess, the dealing time, the 3BV of the
# boards dealt and of the ordinary boards.
dealt_row() {
  local ordinary
  ordinary=$("$kelbo" solve "$1" --boards "$boards" --file "$file" | awk '/^3BV per board / { print $4 }')
  "$kelbo" solve "$1" --boards "$boards" --no-guess --file "$file" | awk -v name="$2" -v ordinary="$ordinary" '
      /^dealt without a guess / { dealt = $5 }
      /^won without a guess / { clean = $5 }
      /^3BV per board / { bv = $4 }
      /^dealing: / { mean = $2; slowest = $8 }
      END { printf "| %s | %d | %d | %s ms | %s ms | %s | %s |\n", name, dealt, clean, mean, slowest, bv, ordinary }'
}

if [ "$mode" = --no-guess ]; then
  echo "| level | dealt without a guess of $boards | won by the solver without a guess | dealing, mean |" \
    "dealing, slowest | 3BV per board | 3BV per ordinary board |"
  echo "|---|---:|---:|---:|---:|---:|---:|"
  row() { dealt_row "$@"; }
else
  echo "| level | rows × columns | cells | mines | won of $boards | won without a guess | lost on the first release |" \
    "guesses per board | 3BV per board |"
  echo "|---|---|---:|---:|---:|---:|---:|---:|---:|"
fi
for level in 0 1 2 3 4 5 6 7; do
  title=$("$kelbo" levels --file "$file" | awk -v l="$level" '$1 == l { print $2 }')
  row "$level" "$level $title"
done
# The boards of levels/ with the mines that docs/kelbo.md gives them.
for board in diamond:18 ring:25 heart:22; do
  name=${board%%:*}
  "$kelbo" level set 3 --title "$name" --mines "${board##*:}" --picture "$root/levels/$name.txt" --file "$file" \
    >/dev/null
  row 3 "levels/$name.txt"
done
