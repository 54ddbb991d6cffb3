// Boards that logic alone wins: a game of the no-guess mode is dealt at its first left release,
// with that cell (and its neighbours, where there is room) free and every mine placed so that a
// player who only ever uncovers cells that the position proves safe, and flags what it proves a
// mine, uncovers every safe cell. The seed and the released cell decide the board, and the search
// is bounded by a count of steps, never by time, so every machine deals the same board.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "game/rules.h"

struct DealtBoard {
    // Each grid cell's value as the board keeps it uncovered: 0 to 12 mines around it, 15 a mine,
    // 255 no triangle.
    std::vector<std::uint8_t> cells;
    bool proven = false;  // false: no board without a guess was found within the bound
    std::uint64_t steps = 0;
};

// mask: the level's grid, 255 for no triangle and 0 for one; first: the index of the released cell,
// a triangle. The level's mines must leave some cell that a draw reaches free, as a playable
// level's do.
DealtBoard DealWithoutGuess(const std::vector<std::uint8_t>& mask, std::uint32_t columns, std::uint32_t rows,
                            std::uint32_t mines, std::uint32_t seed, std::size_t first);

enum class DealOutcome : std::uint8_t {
    NotDealt,      // the game awaits no deal, or the release uncovers nothing
    Proven,        // a board that logic alone wins
    MayNeedGuess,  // none was found within the bound: this board may need a guess
};

// When the current game awaits its deal: deals its board for a first left release on (column, row)
// with GameSeed, keeping the marks already placed. The release itself is left to the caller.
DealOutcome DealOnFirstRelease(std::uint32_t column, std::uint32_t row);

// A move of kelbo's or the player's: a left release deals first, as in the game.
DealOutcome ApplyMoveDealing(const Move& move);
