// Oracles for the solver's tests, written apart from the solver and the game: the twelve neighbours
// from the grid's table, every placement of the mines counted one by one, the cells a draw reaches.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "data/data_check.h"
#include "game/seen_position.h"

std::vector<std::size_t> TableNeighbours(std::uint32_t columns, std::uint32_t rows, std::size_t index);

struct Oracle {
    bool consistent = false;
    std::vector<double> chance;  // exactly 0 or 1 when every placement agrees
};

// Every placement of the mines not shown on the hidden cells (at most 63), each checked against
// every count.
Oracle CountEveryPlacement(const SeenPosition& p);

// The game's dealer scales a 15-bit draw to the grid in single precision: the indices it reaches.
std::vector<bool> IndicesSomeDrawReaches(std::size_t cells);

// A level of the default file, as the game reads it.
LevelRecord BuiltInLevel(int level);
