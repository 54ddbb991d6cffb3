#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/board.h"
#include "game/cell.h"
#include "game/cell_cursor.h"

namespace {

// A board outline as text: '#' a real cell, '.' no cell.
void SetOutline(const std::vector<std::string>& rows)
{
    Rows = static_cast<std::uint32_t>(rows.size());
    Columns = static_cast<std::uint32_t>(rows[0].size());
    Board.assign(GridSize() + 1, kVoidCell);
    for (std::uint32_t row = 0; row < Rows; ++row)
        for (std::uint32_t column = 0; column < Columns; ++column)
            if (rows[row][column] == '#')
                CellAt(column, row) = kCoveredZero;
}

const std::vector<std::string> kShape = {
    "..#####..", ".#######.", "###.#.###", ".#######.", "..##..#..",
};

struct MoveCase {
    const char* name;
    CellPosition from;
    CursorMove move;
    int steps;
    CellPosition to;
};

const MoveCase kMoveCases[] = {
    {"right", {2, 0}, CursorMove::Right, 1, {3, 0}},
    {"right at the row's last cell stays", {6, 0}, CursorMove::Right, 1, {6, 0}},
    {"right over a void cell", {2, 2}, CursorMove::Right, 1, {4, 2}},
    {"left over a void cell", {6, 2}, CursorMove::Left, 1, {4, 2}},
    {"left at the board's edge stays", {0, 2}, CursorMove::Left, 1, {0, 2}},
    {"left before a void edge stays", {2, 4}, CursorMove::Left, 1, {2, 4}},
    {"up over a void row", {3, 3}, CursorMove::Up, 1, {3, 1}},
    {"down over a void row", {3, 1}, CursorMove::Down, 1, {3, 3}},
    {"up with only void cells above stays", {0, 2}, CursorMove::Up, 1, {0, 2}},
    {"down with only void cells below stays", {8, 2}, CursorMove::Down, 1, {8, 2}},
    {"down to the last row", {6, 3}, CursorMove::Down, 1, {6, 4}},
    {"up from the first row stays", {4, 0}, CursorMove::Up, 1, {4, 0}},
    {"row start", {6, 3}, CursorMove::RowStart, 1, {1, 3}},
    {"row end", {1, 3}, CursorMove::RowEnd, 1, {7, 3}},
    {"row start past void cells", {6, 4}, CursorMove::RowStart, 1, {2, 4}},
    {"row end past void cells", {2, 4}, CursorMove::RowEnd, 1, {6, 4}},
    {"five to the right over void cells", {0, 2}, CursorMove::Right, 5, {7, 2}},
    {"five to the right, stopped by the edge", {4, 2}, CursorMove::Right, 5, {8, 2}},
    {"five down, stopped by the edge", {3, 0}, CursorMove::Down, 5, {3, 4}},
    {"five to the left", {7, 3}, CursorMove::Left, 5, {2, 3}},
};

TEST(CellCursor, MovesOverRealCellsOnly)
{
    SetOutline(kShape);
    for (const MoveCase& row : kMoveCases) {
        SCOPED_TRACE(row.name);
        const CellPosition to = MoveCursor(row.from, row.move, row.steps);
        EXPECT_EQ(to.column, row.to.column);
        EXPECT_EQ(to.row, row.to.row);
    }
}

TEST(CellCursor, StartsOnTheFirstRealCellInReadingOrder)
{
    const struct {
        std::vector<std::string> outline;
        bool found;
        CellPosition cell;
    } rows[] = {
        {kShape, true, {2, 0}},
        {{"....", "...#", "#..."}, true, {3, 1}},
        {{"....", "...."}, false, {0, 0}},
    };
    for (const auto& row : rows) {
        SetOutline(row.outline);
        CellPosition cell{99, 99};
        EXPECT_EQ(FirstRealCell(cell), row.found);
        if (row.found) {
            EXPECT_EQ(cell.column, row.cell.column);
            EXPECT_EQ(cell.row, row.cell.row);
        }
    }
}

}  // namespace
