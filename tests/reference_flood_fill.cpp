#include "tests/reference_flood_fill.h"

#include "game/board.h"
#include "game/cell.h"

#include <vector>

static std::uint8_t& Cell(std::int32_t column, std::uint32_t row)
{
    return CellAt(static_cast<std::uint32_t>(column), row);
}

// The boundary of a run: uncovered when covered or question-marked; a flagged, uncovered or
// void cell is left alone.
static void UncoverBoundary(std::uint8_t& cell)
{
    if (IsHidden(cell))
        cell = UncoveredValue(cell);
}

std::int32_t ReferenceUncoverRun(std::uint32_t column, std::uint32_t row)
{
    const auto columns = static_cast<std::int32_t>(Columns);
    auto n = static_cast<std::int32_t>(column);
    while (n >= 0 && IsHiddenZero(Cell(n, row))) {
        Cell(n, row) = 0;
        --n;
    }
    if (n >= 0)
        UncoverBoundary(Cell(n, row));
    n = static_cast<std::int32_t>(column) + 1;
    while (n < columns && IsHiddenZero(Cell(n, row))) {
        Cell(n, row) = 0;
        ++n;
    }
    if (n < columns)
        UncoverBoundary(Cell(n, row));
    if (n < columns && Cell(n, row) == 0)
        return n;
    return n - 1;
}

static void SweepBoard()
{
    for (std::uint32_t row = 0; row < Rows; ++row) {
        int orientation = static_cast<int>(row & 1u);
        for (std::uint32_t column = 0; column < Columns; ++column) {
            std::uint8_t& cell = CellAt(column, row);
            if (IsHidden(cell) && CountNeighbours(0, column, row, CellIndex(column, row), orientation) > 0) {
                cell = UncoveredValue(cell);
                if (cell == 0)
                    ReferenceFloodFill(column, row);
            }
            orientation ^= 1;
        }
    }
}

void ReferenceFloodFill(std::uint32_t column, std::uint32_t row)
{
    std::int32_t n = ReferenceUncoverRun(column, row);
    while (n >= 0 && Cell(n, row) == 0) {
        if (row > 0 && IsHiddenZero(Cell(n, row - 1)))
            ReferenceFloodFill(static_cast<std::uint32_t>(n), row - 1);
        if (row + 1 < Rows && IsHiddenZero(Cell(n, row + 1)))
            ReferenceFloodFill(static_cast<std::uint32_t>(n), row + 1);
        --n;
    }
    SweepBoard();
}

static void ReferenceLoseGame(PlatformWindow window)
{
    for (std::uint32_t row = 0; row < Rows; ++row) {
        for (std::uint32_t column = 0; column < Columns; ++column) {
            std::uint8_t& cell = CellAt(column, row);
            if (cell == kCoveredMine || cell == kQuestionedMine)
                cell = kMine;
        }
    }
    GameState = Over;
    StopClockTimer(window);
    InvalidateClientArea(window, false);
}

static void ReferenceCheckWin(PlatformWindow window)
{
    for (std::uint32_t row = 0; row < Rows; ++row) {
        for (std::uint32_t column = 0; column < Columns; ++column) {
            if (IsHidden(CellAt(column, row)))
                return;
        }
    }
    GameState = Over;
    StopClockTimer(window);
    RecordBestTime(window);
}

// A flood redraws the cells it opened, and only those, in row order.
static void RedrawOpenedCells(const std::vector<std::uint8_t>& before)
{
    for (std::uint32_t row = 0; row < Rows; ++row) {
        int orientation = static_cast<int>(row & 1u);
        for (std::uint32_t column = 0; column < Columns; ++column) {
            const std::size_t index = CellIndex(column, row);
            if (IsHidden(before[index]) && IsUncovered(Board[index]))
                RedrawCell(column, row, orientation);
            orientation ^= 1;
        }
    }
}

void ReferenceUncover(PlatformWindow window, std::uint32_t column, std::uint32_t row)
{
    std::uint8_t& cell = CellAt(column, row);
    if (IsVoid(cell))
        return;
    if (IsHiddenZero(cell)) {
        const std::vector<std::uint8_t> before = Board;
        ReferenceFloodFill(column, row);
        RedrawOpenedCells(before);
        ReferenceCheckWin(window);
        return;
    }
    if (cell > kQuestionedZero && cell != kCoveredZero) {
        cell = UncoveredValue(cell);
        if (cell == kMine)
            ReferenceLoseGame(window);
        else
            ReferenceCheckWin(window);
    }
}
