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

namespace {

// Columns first to last, both included, of one row.
struct RowSpan {
    std::uint32_t row;
    std::int32_t first;
    std::int32_t last;
};

// Kept between floods so that their memory is reused.
std::vector<RowSpan> ZeroSpans;    // uncovered zeros whose neighbours are still to be opened
std::vector<RowSpan> OpenedSpans;  // cells that the current flood uncovered

bool SpanBefore(const RowSpan& a, const RowSpan& b)
{
    return a.row != b.row ? a.row < b.row : a.first < b.first;
}

// Only the cells that a flood opened change their picture; row order, as a full repaint draws them.
void RedrawOpenedCells()
{
    std::sort(OpenedSpans.begin(), OpenedSpans.end(), SpanBefore);
    for (const RowSpan& span : OpenedSpans)
        for (std::int32_t column = span.first; column <= span.last; ++column) {
            const auto c = static_cast<std::uint32_t>(column);
            RedrawCell(c, span.row, CellOrientation(c, span.row));
        }
}

}  // namespace

void Uncover(PlatformWindow window, std::uint32_t column, std::uint32_t row)
{
    std::uint8_t& cell = CellAt(column, row);
    if (IsHiddenZero(cell)) {
        FloodFill(column, row);
        RedrawOpenedCells();
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

// Streaks of the cells it opens go to OpenedSpans, and streaks of the zeros among them to ZeroSpans.
void UncoverRun(std::uint32_t row, std::int32_t firstColumn, std::int32_t lastColumn)
{
    const std::int32_t first = std::max(firstColumn, 0);
    const std::int32_t last = std::min(lastColumn, static_cast<std::int32_t>(Columns) - 1);
    std::uint8_t* const cells = &Board[CellIndex(0, row)];
    std::int32_t openedFrom = -1, zerosFrom = -1;
    for (std::int32_t column = first; column <= last; ++column) {
        std::uint8_t& cell = cells[column];
        const bool opens = IsHidden(cell);
        if (opens) {
            cell = UncoveredValue(cell);
            assert(cell != kMine);  // a mine never lies next to a zero
            if (openedFrom < 0)
                openedFrom = column;
        } else if (openedFrom >= 0) {
            OpenedSpans.push_back(RowSpan{row, openedFrom, column - 1});
            openedFrom = -1;
        }
        if (opens && cell == 0) {
            if (zerosFrom < 0)
                zerosFrom = column;
        } else if (zerosFrom >= 0) {
            ZeroSpans.push_back(RowSpan{row, zerosFrom, column - 1});
            zerosFrom = -1;
        }
    }
    if (openedFrom >= 0)
        OpenedSpans.push_back(RowSpan{row, openedFrom, last});
    if (zerosFrom >= 0)
        ZeroSpans.push_back(RowSpan{row, zerosFrom, last});
}

// A cell's neighbourhood is three runs: five cells in its own row, and five in the row its flat
// edge faces but three in the row its apex points to. Over a streak of zeros these runs join, so
// a streak opens three runs, reaching as far as its end cells reach.
static void UncoverNeighbours(const RowSpan& zeros)
{
    const std::uint32_t row = zeros.row;
    const bool firstPointsUp = CellOrientation(static_cast<std::uint32_t>(zeros.first), row) == 0;
    const bool lastPointsUp = CellOrientation(static_cast<std::uint32_t>(zeros.last), row) == 0;
    if (row > 0)
        UncoverRun(row - 1, zeros.first - (firstPointsUp ? 1 : 2), zeros.last + (lastPointsUp ? 1 : 2));
    UncoverRun(row, zeros.first - 2, zeros.last + 2);
    if (row + 1 < Rows)
        UncoverRun(row + 1, zeros.first - (firstPointsUp ? 2 : 1), zeros.last + (lastPointsUp ? 2 : 1));
}

// Zeros uncovered by earlier moves, as streaks.
static void FindUncoveredZeros()
{
    for (std::uint32_t row = 0; row < Rows; ++row) {
        const std::uint8_t* const cells = &Board[CellIndex(0, row)];
        std::int32_t from = -1;
        for (std::int32_t column = 0; column < static_cast<std::int32_t>(Columns); ++column) {
            if (cells[column] == 0) {
                if (from < 0)
                    from = column;
            } else if (from >= 0) {
                ZeroSpans.push_back(RowSpan{row, from, column - 1});
                from = -1;
            }
        }
        if (from >= 0)
            ZeroSpans.push_back(RowSpan{row, from, static_cast<std::int32_t>(Columns) - 1});
    }
}

// A work list of streaks instead of recursion: on a large custom level a recursive fill would nest
// once per zero run and could run out of stack, and one streak opens its neighbours in three runs.
void FloodFill(std::uint32_t column, std::uint32_t row)
{
    std::uint8_t& start = CellAt(column, row);
    assert(IsHiddenZero(start));
    ZeroSpans.clear();
    OpenedSpans.clear();
    FindUncoveredZeros();
    start = 0;
    const auto at = static_cast<std::int32_t>(column);
    ZeroSpans.push_back(RowSpan{row, at, at});
    OpenedSpans.push_back(RowSpan{row, at, at});
    while (!ZeroSpans.empty()) {
        const RowSpan zeros = ZeroSpans.back();
        ZeroSpans.pop_back();
        UncoverNeighbours(zeros);
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
