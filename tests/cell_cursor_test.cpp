#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/board.h"
#include "game/cell.h"
#include "game/cell_cursor.h"

namespace {

// '#' a real cell, '.' none.
const std::vector<std::string> kOutline = {"..#####..", ".#######.", "###.#.###", ".#######.", "..##..#.."};

const struct {
    const char* name;
    CellPosition from;
    CursorMove move;
    int steps;
    CellPosition to;
} kMoves[] = {
    {"right", {2, 0}, CursorMove::Right, 1, {3, 0}},
    {"right at the row's last cell stays", {6, 0}, CursorMove::Right, 1, {6, 0}},
    {"right over a void cell", {2, 2}, CursorMove::Right, 1, {4, 2}},
    {"left over a void cell", {6, 2}, CursorMove::Left, 1, {4, 2}},
    {"left at the board's edge stays", {0, 2}, CursorMove::Left, 1, {0, 2}},
    {"left before void cells stays", {2, 4}, CursorMove::Left, 1, {2, 4}},
    {"up over a void row", {3, 3}, CursorMove::Up, 1, {3, 1}},
    {"down over a void row", {3, 1}, CursorMove::Down, 1, {3, 3}},
    {"down with only void cells below stays", {8, 2}, CursorMove::Down, 1, {8, 2}},
    {"up from the first row stays", {4, 0}, CursorMove::Up, 1, {4, 0}},
    {"row start past void cells", {6, 4}, CursorMove::RowStart, 1, {2, 4}},
    {"row end past void cells", {2, 4}, CursorMove::RowEnd, 1, {6, 4}},
    {"five to the right over void cells", {0, 2}, CursorMove::Right, 5, {7, 2}},
    {"five to the right, stopped by the edge", {4, 2}, CursorMove::Right, 5, {8, 2}},
    {"five down, stopped by the edge", {3, 0}, CursorMove::Down, 5, {3, 4}},
};

TEST(CellCursor, MovesOverRealCellsOnly)
{
    Rows = static_cast<std::uint32_t>(kOutline.size());
    Columns = static_cast<std::uint32_t>(kOutline[0].size());
    Board.assign(GridSize() + 1, kVoidCell);
    for (std::uint32_t row = 0; row < Rows; ++row)
        for (std::uint32_t column = 0; column < Columns; ++column)
            CellAt(column, row) = kOutline[row][column] == '#' ? kCoveredZero : kVoidCell;
    CellPosition first{99, 99};
    EXPECT_TRUE(FirstRealCell(first));
    EXPECT_EQ(first.column * 100 + first.row, 200u);
    for (const auto& row : kMoves) {
        const CellPosition to = MoveCursor(row.from, row.move, row.steps);
        EXPECT_EQ(to.column * 100 + to.row, row.to.column * 100 + row.to.row) << row.name;
    }
    Board.assign(GridSize() + 1, kVoidCell);
    EXPECT_FALSE(FirstRealCell(first));
}

}  // namespace
