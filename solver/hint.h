// Where a hint points on the position the player sees: a cell that is certainly safe, a flag that
// cannot be right, a mine still to flag, or the hidden cell least likely to hide a mine. The game's H key and kelbo's
// solver both ask here, so they always agree on a board.
#pragma once

#include <cstdint>
#include <string>

#include "game/rules.h"
#include "solver/solver.h"

enum class HintKind : std::uint8_t {
    None,          // no hidden cell is left
    FirstRelease,  // nothing uncovered yet: the cell likeliest to open a region
    WrongFlag,     // a flag on a cell that is certainly safe
    SafeCell,      // a hidden cell that is certainly safe
    CertainMine,   // no cell is certainly safe: an unflagged cell that is certainly a mine
    LeastLikely,   // nothing is certain: the hidden cell least likely to hide a mine
};

struct Hint {
    HintKind kind = HintKind::None;
    CellPosition cell{0, 0};
    double chance = 0.0;  // the cell's chance of a mine
    bool approximate = false;
};

// near: the cell the hint should be closest to (the cursor or the pointer); hasNear false for
// none, when ties go to the first cell in reading order.
Hint FindHint(const SeenPosition& position, const MineChances& chances, CellPosition near, bool hasNear);

struct BoardHint {
    MineChances chances;
    Hint hint;
};

// A chance as the player reads it: "1 in N" up to one half, above it "P in 100"; "about" when
// approximate or rounded.
std::string ChanceInWords(double chance, bool approximate);

// What H's message says of the hint; nothing for a cell that is certainly safe.
std::string HintMessage(const Hint& hint);

// What H says, and kelbo chances, while the board awaits its deal: no cell holds a mine yet.
extern const char* const kBeforeDealMessage;

// What the current board shows, every hidden cell's chance on it and where a hint points.
BoardHint HintOnBoard(CellPosition near, bool hasNear);
