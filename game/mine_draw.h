// Random mine positions. The generator and the scaling from a draw to a cell index are the
// game's own, so the same seed gives the same board on every platform and compiler.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr std::uint32_t kLargestDraw = 32767;

void SeedRandom(std::uint32_t seed);

// The next number of the linear congruential sequence, 0 to 32767.
std::uint32_t NextRandom();

// Scale from a draw to a cell index: cells / 32767 rounded to single precision.
float MineScale(std::size_t cells);

// The cell index that a draw selects. The product is formed in double precision: a
// single-precision product rounds 32767 x scale up to the cell count on some boards.
std::size_t MineIndexForDraw(std::uint32_t draw, float scale);

// For each index of a grid of this many cells, whether some draw selects it. On a grid of more
// than 32768 cells some indices are never drawn.
std::vector<bool> DrawnIndices(std::size_t cells);

// Playable cells (mask byte 0) of a grid that some draw can select.
std::size_t CountDrawableCells(const std::vector<std::uint8_t>& grid);
