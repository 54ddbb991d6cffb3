#include "game/cell_cursor.h"

#include "game/board.h"
#include "game/cell.h"

namespace {

bool Shown;             // since the last arrow key, until a mouse press on the board
CellPosition OnCell;    // a real cell of the game it was shown in
std::uint32_t ShownIn;  // GamesStarted when it was shown
CellPosition SafeCell;  // the cell marked safe after a loss
std::uint32_t SafeCellIn = ~0u;  // GamesStarted when it was marked

bool IsRealCell(std::uint32_t column, std::uint32_t row)
{
    return column < Columns && row < Rows && !IsVoid(CellAt(column, row));
}

// The first real cell from (column, row) on, stepping by (dx, dy); from itself when it is real.
// Unsigned wrap-around below 0 lands past the board's end, where the walk stops.
bool FindRealCell(std::uint32_t& column, std::uint32_t& row, std::uint32_t dx, std::uint32_t dy)
{
    for (std::uint32_t c = column, r = row; c < Columns && r < Rows; c += dx, r += dy)
        if (IsRealCell(c, r)) {
            column = c;
            row = r;
            return true;
        }
    return false;
}

CellPosition StepOnce(CellPosition from, CursorMove move)
{
    std::uint32_t column = from.column, row = from.row;
    const std::uint32_t back = ~std::uint32_t{0};  // one step towards 0
    bool found = false;
    switch (move) {
    case CursorMove::Left:
        found = FindRealCell(--column, row, back, 0);
        break;
    case CursorMove::Right:
        found = FindRealCell(++column, row, 1, 0);
        break;
    case CursorMove::Up:
        found = FindRealCell(column, --row, 0, back);
        break;
    case CursorMove::Down:
        found = FindRealCell(column, ++row, 0, 1);
        break;
    case CursorMove::RowStart:
        column = 0;
        found = FindRealCell(column, row, 1, 0);
        break;
    case CursorMove::RowEnd:
        column = Columns - 1;
        found = FindRealCell(column, row, back, 0);
        break;
    }
    return found ? CellPosition{column, row} : from;
}

}  // namespace

bool FirstRealCell(CellPosition& cell)
{
    for (std::uint32_t row = 0; row < Rows; ++row) {
        std::uint32_t column = 0;
        if (FindRealCell(column, row, 1, 0)) {
            cell = CellPosition{column, row};
            return true;
        }
    }
    return false;
}

CellPosition MoveCursor(CellPosition from, CursorMove move, int steps)
{
    for (int step = 0; step < steps; ++step)
        from = StepOnce(from, move);
    return from;
}

void PlaceCursor(CellPosition cell)
{
    Shown = true;
    OnCell = cell;
    ShownIn = GamesStarted;
}

void ForgetCursor()
{
    Shown = false;
}

bool IsCursorShown()
{
    return Shown && ShownIn == GamesStarted;
}

CellPosition CursorCell()
{
    return OnCell;
}

bool IsCursorOn(std::uint32_t column, std::uint32_t row)
{
    return IsCursorShown() && OnCell.column == column && OnCell.row == row;
}

void MarkSafeCell(CellPosition cell)
{
    SafeCell = cell;
    SafeCellIn = GamesStarted;
}

bool IsMarkedSafe(std::uint32_t column, std::uint32_t row)
{
    return SafeCellIn == GamesStarted && SafeCell.column == column && SafeCell.row == row;
}
