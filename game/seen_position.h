// What the player sees of the board: each cell's count, or that it is hidden, flagged, an
// uncovered mine or no triangle. The solver reasons from this alone, never from the mines.
#pragma once

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
    // For each cell, 1 when the game's dealer can never put a mine there; empty when any cell can,
    // as for a position built by hand.
    std::vector<std::uint8_t> neverMine;
};

inline bool CanHoldMine(const SeenPosition& position, std::size_t index)
{
    return position.neverMine.empty() || position.neverMine[index] == 0;
}

// The position that the current board shows.
SeenPosition SeenFromBoard();

// The position that cells, a board of the current level's size, would show.
SeenPosition SeenFromCells(const std::vector<std::uint8_t>& cells);
