// What a player can know of a board from what it shows: every hidden triangle's chance of hiding a
// mine. Every placement of the level's mines on its real cells that agrees with every uncovered
// count is taken as equally likely; a flag is the player's guess, not a fact.
#pragma once

#include <cstdint>
#include <vector>

#include "game/seen_position.h"

struct MineChances {
    // One for each cell of the position: a hidden cell's chance of hiding a mine, exactly 0.0 or
    // 1.0 only when certain; -1.0 for every other cell.
    std::vector<double> chance;
    bool approximate = false;  // some chances are estimates: their groups were too large to count
    // False when no placement of the mines agrees with the counts; every hidden cell then gets the
    // mines not shown divided by the hidden cells, kept off 0 and 1.
    bool consistent = true;
    std::uint64_t countingSteps = 0;  // the steps of work the groups' counting took
};

MineChances FindMineChances(const SeenPosition& position);

// Lowers the steps of work each group may take (the whole position twice as many), so that
// tests meet estimates on small boards; 0 puts back the default. The limit it replaces. Each thread
// keeps its own.
std::uint64_t LimitSolverWork(std::uint64_t groupWork);
