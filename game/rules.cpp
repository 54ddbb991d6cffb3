#include "game/rules.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <vector>

#include "game/board.h"
#include "game/cell.h"
#include "game/game_record.h"
#include "game/neighbours.h"

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

// A flood adds this to the byte of every cell it uncovers (the values stay below it) until it has
// redrawn them: only those change their picture.
constexpr std::uint8_t kJustOpened = 16;

thread_local std::vector<RowSpan> ZeroStreaks;  // uncovered zeros whose rows above and below are still to be opened;
                                                // kept between floods so that its memory is reused
thread_local RowSpan OpenedRows;                // rows first to last hold every cell that the flood opened...
thread_local std::int32_t OpenedLastRow;        // ...up to this row, and OpenedRows.row is the first of them

void NoteOpenedRun(std::uint32_t row, std::int32_t first, std::int32_t last)
{
    OpenedRows.row = std::min(OpenedRows.row, row);
    OpenedLastRow = std::max(OpenedLastRow, static_cast<std::int32_t>(row));
    OpenedRows.first = std::min(OpenedRows.first, first);
    OpenedRows.last = std::max(OpenedRows.last, last);
}

// One past the run of cells from column on, up to last, whose bytes masked with mask equal wanted;
// cells[column] is one of them. Eight cells a step while they all match: on an open board the runs
// are long, on a comb they are single cells.
std::int32_t EndOfRun(const std::uint8_t* cells, std::int32_t column, std::int32_t last, std::uint8_t mask,
                      std::uint8_t wanted)
{
    if (column == last || (cells[column + 1] & mask) != wanted)
        return column + 1;
    constexpr std::uint64_t kEveryByte = 0x0101010101010101u;
    for (; column + 8 <= last + 1; column += 8) {
        std::uint64_t eight;
        std::memcpy(&eight, cells + column, sizeof eight);
        if ((eight & (mask * kEveryByte)) != wanted * kEveryByte)
            break;
    }
    while (column <= last && (cells[column] & mask) == wanted)
        ++column;
    return column;
}

bool IsJustOpened(std::uint8_t b)
{
    return (b & 0xF0) == kJustOpened;
}

void RedrawOpenedRow(std::uint32_t row)
{
    std::uint8_t* const cells = &Board[CellIndex(0, row)];
    const std::int32_t last = OpenedRows.last;
    std::int32_t column = OpenedRows.first;
    while (column <= last) {
        if (!IsJustOpened(cells[column])) {
            ++column;
            continue;
        }
        const std::int32_t first = column;
        column = EndOfRun(cells, column, last, 0xF0, kJustOpened);
        for (std::int32_t opened = first; opened < column; ++opened)
            cells[opened] = static_cast<std::uint8_t>(cells[opened] - kJustOpened);
        RedrawCellRun(row, static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(column - 1));
    }
}

// In row order, as a full repaint draws them.
void RedrawOpenedCells()
{
    for (auto row = static_cast<std::int32_t>(OpenedRows.row); row <= OpenedLastRow; ++row)
        RedrawOpenedRow(static_cast<std::uint32_t>(row));
}

}  // namespace

thread_local ReleaseRecord LastRelease;

// A left release only notes where it was: copying the board at every release would slow the
// solver's games, and a lost one is put back from the board.
static void NoteRelease(char button, std::uint32_t column, std::uint32_t row)
{
    LastRelease.move = Move{button, column, row};
    if (button == 'M')
        LastRelease.boardBeforeChord.assign(Board.begin(), Board.begin() + static_cast<std::ptrdiff_t>(GridSize()));
}

std::vector<std::uint8_t> BoardBeforeLosingRelease()
{
    if (LastRelease.move.button == 'M')
        return LastRelease.boardBeforeChord;
    std::vector<std::uint8_t> before(Board.begin(), Board.begin() + static_cast<std::ptrdiff_t>(GridSize()));
    for (std::uint8_t& b : before)
        b = b == kMine ? kCoveredMine : b;
    return before;
}

static void UncoverHidden(PlatformWindow window, std::uint32_t column, std::uint32_t row)
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

void Uncover(PlatformWindow window, std::uint32_t column, std::uint32_t row)
{
    if (IsHidden(CellAt(column, row)))
        NoteRelease('L', column, row);
    UncoverHidden(window, column, row);
}

namespace {

// Zeros of a row no more than three columns apart open one unbroken run in the row above and one
// in the row below, so a streak of them is spread in two runs.
constexpr std::int32_t kLargestGapInStreak = 3;

void AddZeroStreak(std::uint32_t row, std::int32_t first, std::int32_t last)
{
    ZeroStreaks.push_back(RowSpan{row, first, last});
}

// Marks the cells that the run being uncovered opens, until its zero streaks are noted: kJustOpened
// alone would not tell them from cells that earlier runs opened. No cell's byte lies from 48 to 63.
constexpr std::uint8_t kOpenedByRun = 48;

// Without branches, so that the compiler can do many cells at a time.
void MarkHiddenAsOpened(std::uint8_t* cells, std::int32_t first, std::int32_t last)
{
    for (std::int32_t column = first; column <= last; ++column) {
        const std::uint8_t b = cells[column];
        const auto opened = static_cast<std::uint8_t>(UncoveredValue(b) + kOpenedByRun);
        cells[column] = IsHidden(b) ? opened : b;
    }
}

void NoteZeroStreaks(std::uint32_t row, const std::uint8_t* cells, std::int32_t first, std::int32_t last)
{
    std::int32_t column = first;
    for (;;) {
        const void* const zero = std::memchr(cells + column, kOpenedByRun, static_cast<std::size_t>(last + 1 - column));
        if (zero == nullptr)
            return;
        const auto streakFirst = static_cast<std::int32_t>(static_cast<const std::uint8_t*>(zero) - cells);
        column = EndOfRun(cells, streakFirst, last, 0xFF, kOpenedByRun);
        std::int32_t next = column + 1;  // cells[column] is no zero of this run
        while (next <= last && next - (column - 1) <= kLargestGapInStreak) {
            if (cells[next] == kOpenedByRun) {
                column = EndOfRun(cells, next, last, 0xFF, kOpenedByRun);
                next = column;
            }
            ++next;
        }
        AddZeroStreak(row, streakFirst, column - 1);
    }
}

void MarkOpenedAsJustOpened(std::uint8_t* cells, std::int32_t first, std::int32_t last)
{
    for (std::int32_t column = first; column <= last; ++column) {
        const std::uint8_t b = cells[column];
        assert(b != kOpenedByRun + kMine);  // a mine never lies next to a zero
        cells[column] = (b & 0xF0) == kOpenedByRun ? static_cast<std::uint8_t>(b - kOpenedByRun + kJustOpened) : b;
    }
}

}  // namespace

// Uncovers the covered and question-marked cells among columns firstColumn to lastColumn of a row,
// clipped to the grid, and beyond them as far as the zeros it uncovers reach in the row; flagged,
// uncovered and void cells are left alone. Widened first, so that one span of the row holds it
// all. Streaks of the zeros it uncovers go to ZeroStreaks, for the rows above and below; the cells
// it opens keep kJustOpened until RedrawOpenedCells, so it belongs to a flood alone.
static void UncoverRun(std::uint32_t row, std::int32_t firstColumn, std::int32_t lastColumn)
{
    const auto columns = static_cast<std::int32_t>(Columns);
    std::int32_t first = std::max(firstColumn, 0);
    std::int32_t last = std::min(lastColumn, columns - 1);
    if (first > last)
        return;
    std::uint8_t* const cells = &Board[CellIndex(0, row)];
    while (first > 0 && (IsHiddenZero(cells[first]) || (first < last && IsHiddenZero(cells[first + 1]))))
        --first;
    while (last + 1 < columns && (IsHiddenZero(cells[last]) || (last > first && IsHiddenZero(cells[last - 1]))))
        ++last;
    NoteOpenedRun(row, first, last);
    MarkHiddenAsOpened(cells, first, last);
    NoteZeroStreaks(row, cells, first, last);
    MarkOpenedAsJustOpened(cells, first, last);
}

// Their own row has been opened already.
static void UncoverRowsBesideStreak(const RowSpan& zeros)
{
    const std::uint32_t row = zeros.row;
    if (row > 0)
        UncoverRun(row - 1, zeros.first - ReachAbove(zeros.first, row), zeros.last + ReachAbove(zeros.last, row));
    if (row + 1 < Rows)
        UncoverRun(row + 1, zeros.first - ReachBelow(zeros.first, row), zeros.last + ReachBelow(zeros.last, row));
}

// Zeros uncovered by earlier moves, as streaks of neighbours, with their own row opened.
static void SpreadUncoveredZeros()
{
    const auto columns = static_cast<std::int32_t>(Columns);
    for (std::uint32_t row = 0; row < Rows; ++row) {
        const std::uint8_t* const cells = &Board[CellIndex(0, row)];
        for (std::int32_t column = 0; column < columns; ++column) {
            const void* const zero = std::memchr(cells + column, 0, static_cast<std::size_t>(columns - column));
            if (zero == nullptr)
                break;
            column = static_cast<std::int32_t>(static_cast<const std::uint8_t*>(zero) - cells);
            std::int32_t last = column;
            while (last + 1 < columns && cells[last + 1] == 0)
                ++last;
            UncoverRun(row, column - 2, last + 2);
            AddZeroStreak(row, column, last);
            column = last;
        }
    }
}

// A work list of streaks instead of recursion: on a large custom level a recursive fill would nest
// once per zero run and could run out of stack.
void FloodFill(std::uint32_t column, std::uint32_t row)
{
    assert(IsHiddenZero(CellAt(column, row)));
    ZeroStreaks.clear();
    OpenedRows = RowSpan{Rows, static_cast<std::int32_t>(Columns), -1};
    OpenedLastRow = -1;
    SpreadUncoveredZeros();
    const auto at = static_cast<std::int32_t>(column);
    UncoverRun(row, at, at);
    while (!ZeroStreaks.empty()) {
        const RowSpan zeros = ZeroStreaks.back();
        ZeroStreaks.pop_back();
        UncoverRowsBesideStreak(zeros);
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
    EndPlayedGame(window, GameEnd::Lost);
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
    EndPlayedGame(window, GameEnd::Won);
    RecordBestTime(window);
}

void Tick()
{
    ++ElapsedSeconds;
}

std::vector<CellPosition> NeighbourPositions(std::uint32_t column, std::uint32_t row)
{
    std::vector<CellPosition> positions;
    ForEachNeighbour(Columns, Rows, CellIndex(column, row), [&](std::size_t index) {
        positions.push_back(
            CellPosition{static_cast<std::uint32_t>(index % Columns), static_cast<std::uint32_t>(index / Columns)});
    });
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
    NoteRelease('M', column, row);
    for (const CellPosition& position : around) {
        // Once the game is over nothing reaches the board; a wrong flag ends it at the first mine.
        if (GameState == Over)
            return;
        const std::uint8_t b = CellAt(position.column, position.row);
        if (!IsHidden(b))
            continue;
        UncoverHidden(window, position.column, position.row);
        // Uncovering a zero has redrawn what it opened.
        if (!IsHiddenZero(b))
            RedrawCell(position.column, position.row, CellOrientation(position.column, position.row));
    }
}

void ApplyMove(const Move& move)
{
    if (GameState == Over)
        return;
    if (move.button == 'M') {
        Chord(nullptr, move.column, move.row);
        return;
    }
    StartClock(nullptr);
    if (move.button == 'L')
        Uncover(nullptr, move.column, move.row);
    else
        CycleMark(nullptr, move.column, move.row);
}

bool GameWasLost()
{
    for (std::size_t index = 0; index < GridSize(); ++index)
        if (Board[index] == kMine)
            return true;
    return false;
}
