// A player that plays the game set up by the game's own rules to its end: it flags every mine
// and uncovers every cell that the position proves, and otherwise uncovers the cell least likely
// to hide a mine. kelbo solve, the benchmarks and the tests play through it.
#pragma once

#include <cstdint>
#include <vector>

#include "game/rules.h"
#include "solver/deal.h"
#include "solver/hint.h"

struct SolvedBoard {
    std::vector<Move> moves;
    std::vector<Hint> guesses;  // the releases on cells that were not certainly safe, after the first
    bool won = false;
    std::uint32_t threeBV = 0;
    DealOutcome dealt = DealOutcome::NotDealt;  // in the no-guess mode, what the first release dealt
};

// The board's 3BV, from a board still all covered: the fewest left releases that uncover every
// safe cell. One for each region of zeros, which opens with its border, and one for each other
// safe cell.
std::uint32_t ThreeBV();

// Where a hint points before the first release.
CellPosition HintedFirstRelease();

// Plays the game set up from its first release (where a hint points when first is null) to its
// end, the release dealing the board when the game awaits its deal; false when the player stopped
// before.
bool SolveGame(const CellPosition* first, SolvedBoard& board);
