// What a player can know of a board from what it shows: every hidden triangle's chance of hiding a
// mine. Every placement of the level's mines on its real cells that agrees with every uncovered
// count is taken as equally likely; a flag is the player's guess, not a fact.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// One cell as the player sees it: a count 0 to 12 when uncovered, or one of these.
constexpr std::int8_t kSeenVoid = -1;     // no triangle at this position
constexpr std::int8_t kSeenHidden = -2;   // covered or question-marked
constexpr std::int8_t kSeenFlagged = -3;  // covered under a flag: hidden all the same
constexpr std::int8_t kSeenMine = -4;     // an uncovered mine, shown when a game is lost

inline bool IsSeenHidden(std::int8_t seen)
{
    return seen == kSeenHidden || seen == kSeenFlagged;
}

struct SeenPosition {
    std::uint32_t columns = 0;
    std::uint32_t rows = 0;
    std::uint32_t mines = 0;         // the level's mines, flagged or not
    std::vector<std::int8_t> cells;  // rows x columns, row-major, as the board
};

struct MineChances {
    // One for each cell of the position: a hidden cell's chance of hiding a mine, exactly 0.0 or
    // 1.0 only when certain; -1.0 for every other cell.
    std::vector<double> chance;
    bool approximate = false;  // some chances are estimates: their groups were too large to count
    // False when no placement of the mines agrees with the counts; every hidden cell then gets the
    // mines not shown divided by the hidden cells, kept off 0 and 1.
    bool consistent = true;
};

// Calls visit with the index of each of the twelve neighbours of the cell at index that lie inside
// the grid, voids included: an up-pointing cell reaches one column either way in the row above
// and two in the row below, a down-pointing one the reverse.
template <typename Visit> void ForEachSeenNeighbour(const SeenPosition& p, std::size_t index, Visit visit)
{
    const auto columns = static_cast<std::int64_t>(p.columns);
    const auto column = static_cast<std::int64_t>(index % p.columns);
    const auto row = static_cast<std::int64_t>(index / p.columns);
    const bool up = ((column + row) & 1) == 0;
    const auto visitRow = [&](std::int64_t r, std::int64_t reach) {
        const std::int64_t last = std::min(columns - 1, column + reach);
        for (std::int64_t c = std::max<std::int64_t>(0, column - reach); c <= last; ++c)
            if (r != row || c != column)
                visit(static_cast<std::size_t>(r * columns + c));
    };
    if (row > 0)
        visitRow(row - 1, up ? 1 : 2);
    visitRow(row, 2);
    if (row + 1 < static_cast<std::int64_t>(p.rows))
        visitRow(row + 1, up ? 2 : 1);
}

// The position that the current board shows.
SeenPosition SeenFromBoard();

MineChances FindMineChances(const SeenPosition& position);
