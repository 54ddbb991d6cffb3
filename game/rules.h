// The rules of play: what a left or right release does to a cell, how uncovering a zero
// spreads, the clock, and the end of a game.
#pragma once

#include <cstdint>
#include <vector>

#include "game/platform.h"

// The first release of a game over any grid position starts the clock.
void StartClock(PlatformWindow window);

// A left release on the cell at (column, row).
void Uncover(PlatformWindow window, std::uint32_t column, std::uint32_t row);

struct CellPosition {
    std::uint32_t column;
    std::uint32_t row;
};

// The grid positions among the twelve around (column, row) that lie inside the grid, void ones
// included: the cells that its count counts.
std::vector<CellPosition> NeighbourPositions(std::uint32_t column, std::uint32_t row);

// A middle release on the cell at (column, row): on an uncovered count with exactly that many
// flags around it, every covered or question-marked neighbour is uncovered as a left release on
// it would, and redrawn as the left release redraws it. Anything else changes nothing.
void Chord(PlatformWindow window, std::uint32_t column, std::uint32_t row);

// Uncovers the hidden zero at (column, row) and everything that it opens: every covered or
// question-marked neighbour of an uncovered zero, spreading across the zeros it uncovers.
// Zeros uncovered by earlier moves spread too, since a neighbour flagged then may have lost
// its flag since.
void FloodFill(std::uint32_t column, std::uint32_t row);

// A right release on the cell at (column, row): covered, flagged, question-marked, covered.
void CycleMark(PlatformWindow window, std::uint32_t column, std::uint32_t row);

// The player uncovered a mine: every mine not under a flag is shown.
void LoseGame(PlatformWindow window);

// Ends the game when no covered or question-marked cell is left, and hands over to the
// best-times table.
void CheckWin(PlatformWindow window);

// One second of play.
void Tick();

struct Move {
    char button;  // 'L' left, 'R' right, 'M' middle release
    std::uint32_t column;
    std::uint32_t row;
};

// The latest left or middle release that uncovered something, and for a chord the board as it
// stood just before it: what a lost game's last release is judged on.
struct ReleaseRecord {
    Move move{'L', 0, 0};
    std::vector<std::uint8_t> boardBeforeChord;
};
extern thread_local ReleaseRecord LastRelease;

// The board as it stood before the release that lost the game: a chord's copy, or, after a left
// release, which uncovered the mine alone, the board with every mine shown hidden again.
std::vector<std::uint8_t> BoardBeforeLosingRelease();

// A button released on a cell, as the window applies it, with no window to redraw.
void ApplyMove(const Move& move);

// The game is over with an uncovered mine.
bool GameWasLost();
