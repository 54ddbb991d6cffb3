#include "game/board.h"

#include <cassert>
#include <ctime>
#include <string>

#include "data/data_check.h"
#include "data/data_file.h"
#include "game/cell.h"
#include "game/game_record.h"
#include "game/level_check.h"
#include "game/mine_draw.h"
#include "game/neighbours.h"

thread_local std::vector<std::uint8_t> Board(1, kVoidCell);
thread_local std::uint32_t Rows;
thread_local std::uint32_t Columns;
thread_local std::uint32_t Mines;
thread_local GamePhase GameState = Idle;
thread_local std::uint32_t FlagsLeft;
thread_local std::int32_t ElapsedSeconds;
thread_local std::int32_t LevelIndex;
thread_local std::uint32_t LevelOffset;
thread_local std::uint32_t GamesStarted;
thread_local bool HintUsed;
thread_local bool NoGuessing;
thread_local bool AwaitingDeal;
thread_local std::uint32_t GameSeed;
thread_local bool BoardPlayedAgain = false;

int CountInRow(std::uint8_t value, std::size_t cellIndex, std::uint32_t column)
{
    int count = 0;
    ForEachInRowReach(Columns, static_cast<std::int64_t>(cellIndex / Columns), column, 2, true,
                      [&](std::size_t index) { count += Board[index] == value; });
    return count;
}

// orientation is the cell's own, (column + row) mod 2, which the walk works out for itself.
int CountNeighbours(std::uint8_t value, [[maybe_unused]] std::uint32_t column, [[maybe_unused]] std::uint32_t row,
                    std::size_t cellIndex, [[maybe_unused]] int orientation)
{
    assert(orientation == CellOrientation(column, row) && cellIndex == CellIndex(column, row));
    int count = 0;
    ForEachNeighbour(Columns, Rows, cellIndex, [&](std::size_t index) { count += Board[index] == value; });
    return count;
}

// Mines go only on playable cells that some draw reaches; false, before any draw, when there are
// fewer of those than mines, since the draws would never end.
static bool PlaceMines(const std::vector<std::uint8_t>& grid)
{
    if (CountDrawableCells(grid) < Mines)
        return false;
    const std::size_t cells = GridSize();
    const float scale = MineScale(cells);
    for (std::uint32_t placed = 0; placed < Mines;) {
        const std::size_t index = MineIndexForDraw(NextRandom(), scale);
        if (index >= cells || Board[index] != kPlayableCell)
            continue;
        Board[index] = kMine;
        ++placed;
    }
    return true;
}

static void CountMinesAroundCells()
{
    for (std::uint32_t row = 0; row < Rows; ++row) {
        int orientation = static_cast<int>(row % 2);
        for (std::uint32_t column = 0; column < Columns; ++column) {
            const std::size_t index = CellIndex(column, row);
            if (Board[index] != kMine && Board[index] != kVoidCell)
                Board[index] = static_cast<std::uint8_t>(CountNeighbours(kMine, column, row, index, orientation));
            orientation ^= 1;
        }
    }
}

static void CoverAllCells()
{
    for (std::size_t index = 0; index < GridSize(); ++index)
        if (Board[index] != kVoidCell)
            Board[index] = static_cast<std::uint8_t>(Board[index] + kCoveredBase);
}

// A level that cannot be read now and never could be: the player is told, and the game stays
// empty and over.
static void AbandonGame(PlatformWindow window, const std::string& problem)
{
    Rows = Columns = Mines = 0;
    Board.assign(1, kVoidCell);
    FlagsLeft = 0;
    AwaitingDeal = false;
    GameState = Over;
    ReportDataFileProblem(window, problem);
}

// Every level as the file last held it sound (a sound record has rows; one never read has none): a
// file damaged or made unreadable under the running game leaves the player these.
static LevelRecord LastReadLevels[kLevelCount];
static bool EveryLevelRead;  // since the first sound read of the file

// At the first sound read every level is kept, as the start-up check read them; after that the
// level just read is the one that changes.
static void RememberSoundLevels(const LevelRecord& current)
{
    LastReadLevels[LevelIndex] = current;
    if (EveryLevelRead)
        return;
    EveryLevelRead = true;
    for (int level = 0; level < kLevelCount; ++level) {
        LevelRecord record;
        if (level != LevelIndex && FindLevelProblems(DataFile, DataFileName, level, record, CheckMinePlacement).empty())
            LastReadLevels[level] = record;
    }
}

// The current level from the file as it is now, written anew when it has gone; empty with the
// problem when the file cannot be read or the level is damaged.
static std::string ReadCurrentLevel(LevelRecord& record)
{
    // The file is opened afresh by its name, so a file replaced meanwhile is the one played, and
    // closed again at once, so that nothing keeps another program from replacing it.
    std::string problem;
    if (ReopenOrWriteDataFile(problem)) {
        const std::vector<FileProblem> problems =
            FindLevelProblems(DataFile, DataFileName, LevelIndex, record, CheckMinePlacement);
        // The player hears about the whole file, as at start-up: a file cut short says so first.
        const std::vector<FileProblem> fileProblems =
            problems.empty() ? problems : FindFileProblems(DataFile, DataFileName, CheckMinePlacement);
        if (problems.empty())
            RememberSoundLevels(record);
        else
            problem = DamagedFileMessage(fileProblems.empty() ? problems : fileProblems);
    }
    CloseDataFile();
    return problem;
}

bool BuildBoard(const LevelRecord& record, std::uint32_t seed)
{
    Rows = record.rows;
    Columns = record.columns;
    Mines = record.mines;
    if (record.grid.size() != GridSize())
        return false;
    Board.assign(record.grid.begin(), record.grid.end());
    Board.push_back(kVoidCell);  // the spare byte past the grid stays void
    SeedRandom(seed);
    if (!PlaceMines(record.grid))
        return false;
    CountMinesAroundCells();
    CoverAllCells();
    return true;
}

bool BuildUndealtBoard(const LevelRecord& record)
{
    Rows = record.rows;
    Columns = record.columns;
    Mines = record.mines;
    // The deal keeps the released cell free: at least one cell that can hold a mine stays empty.
    if (record.grid.size() != GridSize() || CountDrawableCells(record.grid) <= Mines)
        return false;
    Board.assign(record.grid.begin(), record.grid.end());
    Board.push_back(kVoidCell);
    CoverAllCells();
    return true;
}

bool SetUpGame(const LevelRecord& record, std::uint32_t seed)
{
    LevelOffset = record.offset;
    NoteNewGame(record);
    FlagsLeft = record.mines;
    GameState = Idle;
    ElapsedSeconds = 0;
    HintUsed = false;
    GameSeed = seed;
    AwaitingDeal = NoGuessing;
    return NoGuessing ? BuildUndealtBoard(record) : BuildBoard(record, seed);
}

void NewGameWithSeed(PlatformWindow window, std::uint32_t seed)
{
    assert(LevelIndex >= 0 && LevelIndex < kLevelCount);
    EndPlayedGame(window, GameEnd::Left);
    LevelRecord record;
    const std::string problem = ReadCurrentLevel(record);
    if (!problem.empty() && LastReadLevels[LevelIndex].rows == 0) {
        StopClockTimer(window);
        AbandonGame(window, problem);
        return;
    }
    if (!problem.empty())
        record = LastReadLevels[LevelIndex];
    Rows = record.rows;
    Columns = record.columns;
    Mines = record.mines;
    FitWindowToLevel(window);
    StopClockTimer(window);
    if (!SetUpGame(record, seed)) {
        AbandonGame(window, DataFileName + ": " + LevelName(LevelIndex) + ": its mines cannot be placed");
        return;
    }
    if (problem.empty())
        return;
    // The game goes on with the level as it was: the player sees the new board behind the message.
    InvalidateClientArea(window, true);
    ReportDataFileProblem(window, problem);
}

// The 32-bit finaliser of MurmurHash3: every input bit moves about half of the output bits.
static std::uint32_t MixBits(std::uint32_t hash)
{
    hash ^= hash >> 16;
    hash *= 0x85EBCA6Bu;
    hash ^= hash >> 13;
    hash *= 0xC2B2AE35u;
    hash ^= hash >> 16;
    return hash;
}

std::uint32_t NewGameSeed(std::uint32_t seconds, std::uint32_t gamesBefore)
{
    return MixBits(seconds + 0x9E3779B9u * gamesBefore);
}

void NewGame(PlatformWindow window)
{
    BoardPlayedAgain = false;
    NewGameWithSeed(window, NewGameSeed(static_cast<std::uint32_t>(std::time(nullptr)), GamesStarted++));
}

void PlaySameBoardAgain(PlatformWindow window)
{
    ++GamesStarted;
    StopClockTimer(window);
    for (std::size_t index = 0; index < GridSize(); ++index)
        if (!IsVoid(Board[index]))
            Board[index] = static_cast<std::uint8_t>(CellValue(Board[index]) + kCoveredBase);
    FlagsLeft = Mines;
    GameState = Idle;
    ElapsedSeconds = 0;
    HintUsed = false;
    AwaitingDeal = false;
    BoardPlayedAgain = true;
    NoteSameBoardAgain();
    InvalidateClientArea(window, true);
}
