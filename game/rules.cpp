#include "game/rules.h"

#include <algorithm>
#include <cassert>

#include "game/board.h"
#include "game/cell.h"

// Moves a hidden or marked byte from one range to another, keeping its value.
static std::uint8_t Rebase(std::uint8_t b, std::uint8_t fromBase, std::uint8_t toBase)
{
    return static_cast<std::uint8_t>(b - fromBase + toBase);
}

void StartClock(PlatformWindow window)
{
    if (GameState != Idle)
        return;
    GameState = Running;
    StartClockTimer(window);
}

static void RedrawUncoveredSafeCells()
{
    for (std::uint32_t row = 0; row < Rows; ++row) {
        int orientation = static_cast<int>(row & 1u);
        for (std::uint32_t column = 0; column < Columns; ++column) {
            if (CellAt(column, row) < kMine)
                RedrawCell(column, row, orientation);
            orientation ^= 1;
        }
    }
}

void Uncover(PlatformWindow window, std::uint32_t column, std::uint32_t row)
{
    std::uint8_t& cell = CellAt(column, row);
    if (IsHiddenZero(cell)) {
        FloodFill(column, row);
        RedrawUncoveredSafeCells();
        CheckWin(window);
        return;
    }
    if (!IsHidden(cell))
        return;
    cell = UncoveredValue(cell);
    if (cell == kMine)
        LoseGame(window);
    else
        CheckWin(window);
}

void UncoverRun(std::uint32_t row, std::int32_t firstColumn, std::int32_t lastColumn,
                std::vector<std::size_t>& newZeros)
{
    const std::int32_t first = std::max(firstColumn, 0);
    const std::int32_t last = std::min(lastColumn, static_cast<std::int32_t>(Columns) - 1);
    for (std::int32_t column = first; column <= last; ++column) {
        const std::size_t index = CellIndex(static_cast<std::uint32_t>(column), row);
        std::uint8_t& cell = Board[index];
        if (!IsHidden(cell))
            continue;
        cell = UncoveredValue(cell);
        assert(cell != kMine);  // a mine never lies next to a zero
        if (cell == 0)
            newZeros.push_back(index);
    }
}

// The neighbourhood of a cell is three runs: five cells in its own row, and five in the row
// its flat edge faces but three in the row its apex points to.
static void UncoverNeighbours(std::size_t index, std::vector<std::size_t>& newZeros)
{
    const auto column = static_cast<std::int32_t>(index % Columns);
    const auto row = static_cast<std::uint32_t>(index / Columns);
    const bool pointsUp = CellOrientation(static_cast<std::uint32_t>(column), row) == 0;
    const std::int32_t aboveReach = pointsUp ? 1 : 2;
    const std::int32_t belowReach = pointsUp ? 2 : 1;
    if (row > 0)
        UncoverRun(row - 1, column - aboveReach, column + aboveReach, newZeros);
    UncoverRun(row, column - 2, column + 2, newZeros);
    if (row + 1 < Rows)
        UncoverRun(row + 1, column - belowReach, column + belowReach, newZeros);
}

static std::vector<std::size_t> UncoveredZeros()
{
    std::vector<std::size_t> zeros;
    const std::size_t cells = GridSize();
    for (std::size_t index = 0; index < cells; ++index) {
        if (Board[index] == 0)
            zeros.push_back(index);
    }
    return zeros;
}

// A work list instead of recursion: on a large custom level a recursive fill would nest once
// per zero run and could run out of stack.
void FloodFill(std::uint32_t column, std::uint32_t row)
{
    std::uint8_t& start = CellAt(column, row);
    assert(IsHiddenZero(start));
    std::vector<std::size_t> zeros = UncoveredZeros();
    start = 0;
    zeros.push_back(CellIndex(column, row));
    while (!zeros.empty()) {
        const std::size_t index = zeros.back();
        zeros.pop_back();
        UncoverNeighbours(index, zeros);
    }
}

void CycleMark(PlatformWindow window, std::uint32_t column, std::uint32_t row)
{
    std::uint8_t& cell = CellAt(column, row);
    if (IsVoid(cell) || IsUncovered(cell))
        return;
    if (IsCovered(cell)) {
        if (FlagsLeft == 0)
            return;
        cell = Rebase(cell, kCoveredBase, kFlaggedBase);
        --FlagsLeft;
        CheckWin(window);
    } else if (IsFlagged(cell)) {
        cell = Rebase(cell, kFlaggedBase, kQuestionBase);
        ++FlagsLeft;
    } else {
        cell = Rebase(cell, kQuestionBase, kCoveredBase);
    }
}

void LoseGame(PlatformWindow window)
{
    const std::size_t cells = GridSize();
    for (std::size_t index = 0; index < cells; ++index) {
        if (Board[index] == kCoveredMine || Board[index] == kQuestionedMine)
            Board[index] = kMine;
    }
    GameState = Over;
    StopClockTimer(window);
    // The repaint draws every cell over what is there, so the background needs no erase.
    InvalidateClientArea(window, false);
}

void CheckWin(PlatformWindow window)
{
    const std::size_t cells = GridSize();
    for (std::size_t index = 0; index < cells; ++index) {
        if (IsHidden(Board[index]))
            return;
    }
    GameState = Over;
    StopClockTimer(window);
    RecordBestTime(window);
}

void Tick()
{
    ++ElapsedSeconds;
}

// The positions of a row from firstColumn to lastColumn, clipped to the grid, but skipColumn.
static void AddRowPositions(std::uint32_t row, std::int32_t firstColumn, std::int32_t lastColumn,
                            std::int32_t skipColumn, std::vector<CellPosition>& positions)
{
    const std::int32_t first = std::max(firstColumn, 0);
    const std::int32_t last = std::min(lastColumn, static_cast<std::int32_t>(Columns) - 1);
    for (std::int32_t column = first; column <= last; ++column) {
        if (column != skipColumn)
            positions.push_back(CellPosition{static_cast<std::uint32_t>(column), row});
    }
}

std::vector<CellPosition> NeighbourPositions(std::uint32_t column, std::uint32_t row)
{
    const bool pointsUp = CellOrientation(column, row) == 0;
    const std::int32_t aboveReach = pointsUp ? 1 : 2;
    const std::int32_t belowReach = pointsUp ? 2 : 1;
    const auto centre = static_cast<std::int32_t>(column);
    std::vector<CellPosition> positions;
    if (row > 0)
        AddRowPositions(row - 1, centre - aboveReach, centre + aboveReach, -1, positions);
    AddRowPositions(row, centre - 2, centre + 2, centre, positions);
    if (row + 1 < Rows)
        AddRowPositions(row + 1, centre - belowReach, centre + belowReach, -1, positions);
    return positions;
}

static bool ChordIsSatisfied(std::uint8_t count, const std::vector<CellPosition>& around)
{
    if (!IsUncovered(count) || count == kMine)
        return false;
    const auto flags = std::count_if(around.begin(), around.end(), [](const CellPosition& position) {
        return IsFlagged(CellAt(position.column, position.row));
    });
    return flags == count;
}

void Chord(PlatformWindow window, std::uint32_t column, std::uint32_t row)
{
    const std::vector<CellPosition> around = NeighbourPositions(column, row);
    if (!ChordIsSatisfied(CellAt(column, row), around))
        return;
    for (const CellPosition& position : around) {
        // Once the game is over nothing reaches the board; a wrong flag ends it at the first mine.
        if (GameState == Over)
            return;
        const std::uint8_t b = CellAt(position.column, position.row);
        if (!IsHidden(b))
            continue;
        Uncover(window, position.column, position.row);
        // Uncovering a zero has redrawn what it opened.
        if (!IsHiddenZero(b))
            RedrawCell(position.column, position.row, CellOrientation(position.column, position.row));
    }
}
