// What a player can know of a board from what it shows: every hidden triangle's chance of hiding a
// mine. Every placement of the level's mines on its real cells that agrees with every uncovered
// count is taken as equally likely; a flag is the player's guess, not a fact.
#pragma once

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
    bool consistent = true;    // false when no placement of the mines agrees with the counts
};

// The position that the current board shows.
SeenPosition SeenFromBoard();

MineChances FindMineChances(const SeenPosition& position);
