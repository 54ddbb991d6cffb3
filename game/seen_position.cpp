#include "game/seen_position.h"

#include <cstddef>

#include "game/board.h"
#include "game/cell.h"
#include "game/mine_draw.h"

static std::int8_t SeenCell(std::uint8_t b)
{
    if (IsVoid(b))
        return kSeenVoid;
    if (IsFlagged(b))
        return kSeenFlagged;
    if (IsHidden(b))
        return kSeenHidden;
    return b == kMine ? kSeenMine : static_cast<std::int8_t>(b);
}

SeenPosition SeenFromBoard()
{
    return SeenFromCells(Board);
}

SeenPosition SeenFromCells(const std::vector<std::uint8_t>& cells)
{
    SeenPosition position;
    position.columns = Columns;
    position.rows = Rows;
    position.mines = Mines;
    position.cells.resize(GridSize());
    for (std::size_t index = 0; index < GridSize(); ++index)
        position.cells[index] = SeenCell(cells[index]);
    const std::vector<bool> drawn = DrawnIndices(GridSize());
    for (std::size_t index = 0; index < GridSize(); ++index)
        if (!drawn[index]) {
            position.neverMine.resize(GridSize(), 0);
            position.neverMine[index] = 1;
        }
    return position;
}
