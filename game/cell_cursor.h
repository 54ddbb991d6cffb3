// The keyboard's cell cursor: whether it shows, on which cell, and where it goes on the current
// board. It stands only on real cells: every move passes over void positions and stays put at the
// board's edge. A new game takes it away.
#pragma once

#include <cstdint>

#include "game/rules.h"

enum class CursorMove : std::uint8_t {
    Left,      // the next real cell to the left in the row
    Right,     // ... to the right
    Up,        // the next real cell of the same column in the rows above
    Down,      // ... below
    RowStart,  // the first real cell of the row
    RowEnd,    // the last real cell of the row
};

// The board's first real cell in reading order; false when the board has none.
bool FirstRealCell(CellPosition& cell);

// Where the cursor on the real cell from lands after the move, repeated steps times (a move to the
// row's start or end once is as good as more).
CellPosition MoveCursor(CellPosition from, CursorMove move, int steps);

// Shows the cursor on a real cell of the current game, or takes it away, without drawing.
void PlaceCursor(CellPosition cell);
void ForgetCursor();

// Whether the cursor shows in the current game, and on which cell.
bool IsCursorShown();
CellPosition CursorCell();

// Whether the cursor shows on this cell: drawing outlines the cell then.
bool IsCursorOn(std::uint32_t column, std::uint32_t row);

// The triangle that H found certainly safe after a loss: marked until the next game.
void MarkSafeCell(CellPosition cell);
bool IsMarkedSafe(std::uint32_t column, std::uint32_t row);
