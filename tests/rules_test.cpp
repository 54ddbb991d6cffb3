#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "data/data_file.h"
#include "data/default_file.h"
#include "game/board.h"
#include "game/cell.h"
#include "game/rules.h"
#include "solver/last_release.h"
#include "tests/kelbo_runner.h"
#include "tests/reference_flood_fill.h"
#include "tests/test_files.h"
#include "tests/test_hooks.h"

namespace {

// A board drawn as text, one string per row: '.' a safe cell, '*' a mine, 'x' no cell.
// The game starts as a new game leaves it: every cell covered, the clock not started.
void SetUpBoard(const std::vector<std::string>& rows)
{
    Rows = static_cast<std::uint32_t>(rows.size());
    Columns = static_cast<std::uint32_t>(rows[0].size());
    Board.assign(GridSize() + 1, kVoidCell);
    Mines = 0;
    for (std::uint32_t row = 0; row < Rows; ++row) {
        for (std::uint32_t column = 0; column < Columns; ++column) {
            const char picture = rows[row][column];
            CellAt(column, row) = picture == '*' ? kMine : picture == '.' ? 0 : kVoidCell;
            Mines += picture == '*';
        }
    }
    for (std::uint32_t row = 0; row < Rows; ++row) {
        for (std::uint32_t column = 0; column < Columns; ++column) {
            std::uint8_t& cell = CellAt(column, row);
            if (cell == 0)
                cell = static_cast<std::uint8_t>(
                    CountNeighbours(kMine, column, row, CellIndex(column, row), CellOrientation(column, row)));
        }
    }
    for (std::size_t index = 0; index < GridSize(); ++index)
        if (!IsVoid(Board[index]))
            Board[index] = static_cast<std::uint8_t>(Board[index] + kCoveredBase);
    FlagsLeft = Mines;
    GameState = Idle;
    ElapsedSeconds = 0;
    ClearHookCalls();
}

char VisibleCell(std::uint8_t cell)
{
    if (IsVoid(cell))
        return '.';
    if (IsCovered(cell))
        return '#';
    if (IsFlagged(cell))
        return 'F';
    if (IsQuestionMarked(cell))
        return '?';
    return cell == kMine ? '*' : "0123456789ABC"[cell];
}

// The board as the player sees it, one string per row.
std::vector<std::string> Visible()
{
    std::vector<std::string> lines(Rows);
    for (std::uint32_t row = 0; row < Rows; ++row)
        for (std::uint32_t column = 0; column < Columns; ++column)
            lines[row] += VisibleCell(CellAt(column, row));
    return lines;
}

// A lost game shows the mine that was uncovered; a won one has every mine under a flag.
bool GameLost()
{
    return std::count(Board.begin(), Board.end() - 1, kMine) > 0;
}

// What the window does with a button release over a grid position.
void LeftRelease(std::uint32_t column, std::uint32_t row)
{
    StartClock(nullptr);
    Uncover(nullptr, column, row);
}

void RightRelease(std::uint32_t column, std::uint32_t row)
{
    StartClock(nullptr);
    CycleMark(nullptr, column, row);
}

std::vector<std::string> HookNames()
{
    std::vector<std::string> names;
    for (const HookCall& call : HookCalls)
        names.push_back(call.name);
    return names;
}

// Counts 1 next to the mines at columns 7 and 13, zeros elsewhere.
const std::vector<std::string> kStrip = {".......*.....*"};

TEST(Rules, EveryTickCountsOneSecond)
{
    ElapsedSeconds = 41;
    Tick();
    EXPECT_EQ(ElapsedSeconds, 42);
    for (int second = 0; second < 958; ++second)
        Tick();
    EXPECT_EQ(ElapsedSeconds, 1000);
}

TEST(Rules, FlagsStopFloodFillUntilTheyAreTakenAway)
{
    SetUpBoard(kStrip);
    RightRelease(3, 0);
    RightRelease(4, 0);
    LeftRelease(3, 0);
    EXPECT_EQ(Visible()[0], "###FF#########") << "a flagged cell is not uncovered";
    LeftRelease(0, 0);
    EXPECT_EQ(Visible()[0], "000FF#########") << "flood fill went through flagged cells";

    RightRelease(3, 0);
    RightRelease(3, 0);
    ASSERT_EQ(Visible()[0], "000#F#########");
    LeftRelease(10, 0);
    // The zero at column 2 from the first fill opens the cell whose flag has gone.
    EXPECT_EQ(Visible()[0], "0000F1##11011#");
    EXPECT_EQ(GameState, Running);
    EXPECT_EQ(FlagsLeft, 1u);
}

TEST(Rules, QuestionMarkedZeroFloodsAndQuestionMarkedMineLoses)
{
    SetUpBoard(kStrip);
    RightRelease(0, 0);
    RightRelease(0, 0);
    ASSERT_EQ(Visible()[0], "?#############");
    EXPECT_EQ(FlagsLeft, 2u) << "a question mark frees its flag";
    ClearHookCalls();
    LeftRelease(0, 0);
    EXPECT_EQ(Visible()[0], "0000011#######");
    ASSERT_EQ(CountHookCalls("RedrawCell"), 7);
    EXPECT_EQ(HookCalls[0], (HookCall{"RedrawCell", 0, 0, 0}));
    EXPECT_EQ(HookCalls[6], (HookCall{"RedrawCell", 6, 0, 0}));
    EXPECT_EQ(HookCalls[5], (HookCall{"RedrawCell", 5, 0, 1}));

    RightRelease(7, 0);
    RightRelease(7, 0);
    ClearHookCalls();
    LeftRelease(7, 0);
    EXPECT_EQ(CellAt(7, 0), kMine);
    EXPECT_EQ(GameState, Over);
    EXPECT_EQ(HookCalls, (std::vector<HookCall>{{"StopClockTimer", 0, 0, 0}, {"InvalidateClientArea", 0, 0, 0}}));
}

TEST(Rules, LossShowsHiddenMinesAndKeepsEveryFlag)
{
    SetUpBoard({"*.....*....*", "............"});
    RightRelease(11, 0);  // a flag on a mine
    RightRelease(3, 0);   // a flag on a safe cell
    RightRelease(0, 0);
    RightRelease(0, 0);  // the mine at column 0 is question-marked
    ASSERT_EQ(Visible()[0], "?##F#######F");
    const std::uint8_t flaggedSafeCell = CellAt(3, 0);
    LeftRelease(6, 0);
    EXPECT_EQ(GameState, Over);
    EXPECT_EQ(CellAt(6, 0), kMine);
    EXPECT_EQ(CellAt(0, 0), kMine);
    EXPECT_EQ(CellAt(11, 0), kFlaggedMine);
    EXPECT_EQ(CellAt(3, 0), flaggedSafeCell);
    EXPECT_EQ(Visible(), (std::vector<std::string>{"*##F##*####F", "############"}));
}

TEST(Rules, FlagsAreBoundedByTheMines)
{
    SetUpBoard({"*...*....."});
    RightRelease(0, 0);
    RightRelease(9, 0);
    ASSERT_EQ(FlagsLeft, 0u);
    RightRelease(5, 0);
    EXPECT_EQ(Visible()[0], "F########F") << "no flag is left to place";
    RightRelease(9, 0);
    EXPECT_EQ(FlagsLeft, 1u);
    RightRelease(5, 0);
    EXPECT_EQ(Visible()[0], "F####F###?");
    EXPECT_EQ(FlagsLeft, 0u);
    RightRelease(9, 0);
    EXPECT_EQ(Visible()[0], "F####F####") << "a question mark goes back to covered";
    EXPECT_EQ(CellAt(9, 0), CellAt(8, 0));
    LeftRelease(1, 0);
    RightRelease(1, 0);
    EXPECT_EQ(Visible()[0], "F1###F####") << "an uncovered cell takes no mark";
    EXPECT_EQ(FlagsLeft, 0u);
}

TEST(Rules, WonOnlyWhenNoCellIsHidden)
{
    SetUpBoard({"..*..", "x...x"});
    for (std::uint32_t column : {0u, 1u, 3u, 4u})
        LeftRelease(column, 0);
    RightRelease(2, 1);
    RightRelease(2, 1);  // a question mark on a safe cell
    for (std::uint32_t column : {1u, 3u})
        LeftRelease(column, 1);
    ClearHookCalls();
    RightRelease(2, 0);
    EXPECT_EQ(GameState, Running) << "a question-marked cell still hides its value";
    EXPECT_TRUE(HookCalls.empty());
    LeftRelease(2, 1);
    EXPECT_EQ(GameState, Over);
    EXPECT_EQ(HookNames(), (std::vector<std::string>{"StopClockTimer", "RecordBestTime"}));

    SetUpBoard({"..*.."});
    for (std::uint32_t column : {0u, 1u, 3u, 4u})
        LeftRelease(column, 0);
    EXPECT_EQ(GameState, Running) << "every safe cell is uncovered but the mine has no flag";
    EXPECT_EQ(CountHookCalls("RecordBestTime"), 0);
    ClearHookCalls();
    RightRelease(2, 0);
    EXPECT_EQ(GameState, Over) << "the last flag wins at once";
    EXPECT_EQ(HookNames(), (std::vector<std::string>{"StopClockTimer", "RecordBestTime"}));
}

TEST(Rules, ReleaseOnVoidOnlyStartsTheClock)
{
    SetUpBoard({"x.*", ".*."});
    const std::vector<std::uint8_t> before = Board;
    LeftRelease(0, 0);
    EXPECT_EQ(GameState, Running);
    EXPECT_EQ(Board, before);
    EXPECT_EQ(HookNames(), std::vector<std::string>{"StartClockTimer"});
    RightRelease(0, 0);
    LeftRelease(1, 1);
    EXPECT_EQ(CountHookCalls("StartClockTimer"), 1) << "only the first release starts the clock";
    EXPECT_EQ(GameState, Over);
}

// Plays releases written as kelbo replay takes them: "L:1,0 R:0,0 M:1,0".
void PlayMoves(const std::string& moves)
{
    std::istringstream words(moves);
    std::string move;
    while (words >> move) {
        const std::uint32_t column = static_cast<std::uint32_t>(std::stoul(move.substr(2)));
        const std::uint32_t row = static_cast<std::uint32_t>(std::stoul(move.substr(move.find(',') + 1)));
        if (move[0] == 'L')
            LeftRelease(column, row);
        else if (move[0] == 'R')
            RightRelease(column, row);
        else
            Chord(nullptr, column, row);
    }
}

// Every count of a random board, found again by counting the mines among the neighbour
// positions; one-row and one-column boards keep the edges busy.
TEST(Chord, NeighbourPositionsAreTheCellsThatTheCountsCount)
{
    std::mt19937 random(5);
    for (const auto& [rows, columns] : {std::pair{1, 9}, {9, 1}, {2, 2}, {6, 11}, {13, 7}}) {
        for (int board = 0; board < 20; ++board) {
            std::vector<std::string> picture(rows, std::string(columns, '.'));
            for (std::string& line : picture)
                for (char& cell : line)
                    cell = "..*x"[std::uniform_int_distribution<int>(0, 3)(random)];
            SetUpBoard(picture);
            for (std::uint32_t row = 0; row < Rows; ++row) {
                for (std::uint32_t column = 0; column < Columns; ++column) {
                    const std::vector<CellPosition> around = NeighbourPositions(column, row);
                    const auto mines = std::count_if(around.begin(), around.end(), [](const CellPosition& p) {
                        return CellAt(p.column, p.row) == kCoveredMine;
                    });
                    const std::uint8_t cell = CellAt(column, row);
                    if (IsCovered(cell) && cell != kCoveredMine) {
                        ASSERT_EQ(mines, UncoveredValue(cell)) << picture[0] << " cell " << column << "," << row;
                    }
                }
            }
        }
    }
}

// Counts: * 1 1 0 1 1 / 1 1 1 1 1 *; the zero at column 3 opens all but the left two of row 1.
const std::vector<std::string> kTwoMines = {"*.....", ".....*"};

struct ChordCase {
    const char* name;
    std::vector<std::string> board;
    const char* moves;  // played before the chord
    CellPosition chord;
    std::vector<std::string> expected;
    GamePhase gameState;
    std::uint32_t flagsLeft;
};

const ChordCase kChordCases[] = {
    {"satisfied: opens, a zero floods", kTwoMines, "L:1,0 R:0,0", {1, 0}, {"F11011", "11111#"}, Running, 1},
    {"satisfied: the win check follows", kTwoMines, "L:1,0 R:5,1 R:0,0", {1, 0}, {"F11011", "11111F"}, Over, 0},
    {"on a fresh board: the clock stays", kTwoMines, "", {1, 0}, {"######", "######"}, Idle, 2},
    {"unsatisfied", kTwoMines, "L:1,0", {1, 0}, {"#1####", "######"}, Running, 2},
    {"too many flags", kTwoMines, "L:1,0 R:0,0 R:2,0", {1, 0}, {"F1F###", "######"}, Running, 0},
    {"a wrong flag loses", kTwoMines, "L:1,0 R:2,0", {1, 0}, {"*1F###", "#####*"}, Over, 1},
    {"question-marked neighbours and a question-marked zero", kTwoMines,
     "L:1,0 R:0,0 R:3,0 R:3,0 R:2,0 R:2,0", {1, 0}, {"F11011", "11111#"}, Running, 1},
    {"on a covered cell", kTwoMines, "L:1,0 R:0,0", {2, 0}, {"F1####", "######"}, Running, 1},
    {"on a flag", kTwoMines, "L:1,0 R:0,0", {0, 0}, {"F1####", "######"}, Running, 1},
    {"at the edge beside void cells", {"*.x", "..x"}, "L:1,1 R:0,0", {1, 1}, {"F1.", "11."}, Over, 0},
    {"on a void cell", {"*.x", "..x"}, "L:1,1 R:0,0", {2, 0}, {"F#.", "#1."}, Running, 0},
    {"after the end", kTwoMines, "L:1,0 R:0,0 L:5,1", {1, 0}, {"F1####", "#####*"}, Over, 1},
};

TEST(Chord, UncoversAsLeftReleasesOnlyOnASatisfiedCount)
{
    for (const ChordCase& test : kChordCases) {
        SCOPED_TRACE(test.name);
        SetUpBoard(test.board);
        PlayMoves(test.moves);
        const std::vector<std::uint8_t> before = Board;
        ClearHookCalls();
        Chord(nullptr, test.chord.column, test.chord.row);
        EXPECT_EQ(Visible(), test.expected);
        EXPECT_EQ(GameState, test.gameState);
        EXPECT_EQ(FlagsLeft, test.flagsLeft);
        if (Board == before) {
            EXPECT_TRUE(HookCalls.empty()) << "nothing changed, so nothing is drawn";
        }
        EXPECT_EQ(CountHookCalls("InvalidateClientArea"), Board != before && GameLost() ? 1 : 0) << "a loss repaints";
        for (std::uint32_t row = 0; row < Rows; ++row) {
            for (std::uint32_t column = 0; column < Columns; ++column) {
                if (CellAt(column, row) == before[CellIndex(column, row)] || CellAt(column, row) == kMine)
                    continue;
                const HookCall redraw{"RedrawCell", column, row, CellOrientation(column, row)};
                EXPECT_NE(std::find(HookCalls.begin(), HookCalls.end(), redraw), HookCalls.end())
                    << "cell " << column << "," << row << " was not redrawn";
            }
        }
    }
}

struct GameSnapshot {
    std::vector<std::uint8_t> board;
    std::uint32_t flagsLeft;
    GamePhase gameState;
    std::vector<HookCall> hookCalls;
};

GameSnapshot TakeSnapshot()
{
    return GameSnapshot{Board, FlagsLeft, GameState, HookCalls};
}

void RestoreSnapshot(const GameSnapshot& snapshot)
{
    Board = snapshot.board;
    FlagsLeft = snapshot.flagsLeft;
    GameState = snapshot.gameState;
    HookCalls = snapshot.hookCalls;
}

struct Release {
    char button;  // 'L', 'R' or 'M', as kelbo replay writes it
    std::uint32_t column;
    std::uint32_t row;
};

std::string MoveText(const Release& release)
{
    return std::string(1, release.button) + ":" + std::to_string(release.column) + "," + std::to_string(release.row);
}

template <typename Predicate> Release RandomRelease(std::mt19937& random, char button, Predicate wanted)
{
    std::vector<std::size_t> candidates;
    for (std::size_t index = 0; index < GridSize(); ++index)
        if (wanted(Board[index]))
            candidates.push_back(index);
    std::size_t index = std::uniform_int_distribution<std::size_t>(0, GridSize() - 1)(random);
    if (!candidates.empty())
        index = candidates[std::uniform_int_distribution<std::size_t>(0, candidates.size() - 1)(random)];
    return Release{button, static_cast<std::uint32_t>(index % Columns), static_cast<std::uint32_t>(index / Columns)};
}

// Mostly safe uncovering and marking, so that games last and flood fills meet marks; a careful
// player never uncovers blindly and never takes a flag off a mine, and so wins in the end.
Release PickRelease(std::mt19937& random, bool careful)
{
    const int kind = std::uniform_int_distribution<int>(0, 99)(random);
    if (kind < 44 || (careful && kind < 45))
        return RandomRelease(random, 'L', [](std::uint8_t b) { return IsHidden(b) && UncoveredValue(b) != kMine; });
    if (kind < 45)
        return RandomRelease(random, 'L', [](std::uint8_t) { return true; });
    if (kind < 60)
        return RandomRelease(random, 'R', [](std::uint8_t b) { return b == kCoveredMine; });
    if (kind < 75)
        return RandomRelease(random, 'R', IsCovered);
    if (kind < 95 && careful)
        return RandomRelease(random, 'R',
                             [](std::uint8_t b) { return IsQuestionMarked(b) || (IsFlagged(b) && b != kFlaggedMine); });
    if (kind < 95)
        return RandomRelease(random, 'R', [](std::uint8_t b) { return IsFlagged(b) || IsQuestionMarked(b); });
    return RandomRelease(random, 'R', [](std::uint8_t) { return true; });
}

// A hidden cell next to a zero uncovered earlier: only the fill's look at old zeros opens it.
bool HiddenCellNextToOldZero()
{
    for (std::uint32_t row = 0; row < Rows; ++row)
        for (std::uint32_t column = 0; column < Columns; ++column)
            if (IsHidden(CellAt(column, row)) &&
                CountNeighbours(0, column, row, CellIndex(column, row), CellOrientation(column, row)) > 0)
                return true;
    return false;
}

struct PlayStatistics {
    int floods = 0;
    int floodsWithOldZeros = 0;
    int wins = 0;
};

// Plays a left release through the game's operations and through the recursive reference, from
// the same state, and requires the same outcome.
void CompareLeftRelease(const Release& release, PlayStatistics& statistics)
{
    const GameSnapshot before = TakeSnapshot();
    if (IsHiddenZero(CellAt(release.column, release.row))) {
        ++statistics.floods;
        statistics.floodsWithOldZeros += HiddenCellNextToOldZero();
    }
    LeftRelease(release.column, release.row);
    const GameSnapshot production = TakeSnapshot();
    RestoreSnapshot(before);
    StartClock(nullptr);
    ReferenceUncover(nullptr, release.column, release.row);
    ASSERT_EQ(Board, production.board);
    ASSERT_EQ(FlagsLeft, production.flagsLeft);
    ASSERT_EQ(GameState, production.gameState);
    ASSERT_EQ(HookCalls, production.hookCalls);
}

void PlayRandomGame(std::uint32_t seed, PlayStatistics& statistics)
{
    NewGameWithSeed(nullptr, seed);
    std::mt19937 random(seed);
    for (int move = 0; move < 1000 && GameState != Over; ++move) {
        ClearHookCalls();
        const Release release = PickRelease(random, seed % 2 == 0);
        SCOPED_TRACE(testing::Message() << "level " << LevelIndex << " seed " << seed << " move " << move << " "
                                        << MoveText(release));
        if (release.button == 'L')
            CompareLeftRelease(release, statistics);
        else
            RightRelease(release.column, release.row);
        if (testing::Test::HasFatalFailure())
            return;
    }
    statistics.wins += GameState == Over && !GameLost();
}

void PlayRandomGames(int levelIndex, int games, PlayStatistics& statistics)
{
    LevelIndex = levelIndex;
    for (int game = 0; game < games && !testing::Test::HasFatalFailure(); ++game)
        PlayRandomGame(static_cast<std::uint32_t>(1000 * levelIndex + game), statistics);
}

void PrintStatistics(const PlayStatistics& statistics)
{
    std::printf("%d flood fills, %d with old zeros, %d wins\n", statistics.floods, statistics.floodsWithOldZeros,
                statistics.wins);
}

TEST(FloodFill, EqualsTheRecursiveFillOnRandomGamesOfEveryLevel)
{
    ScratchDirectory directory;
    std::string problem;
    ASSERT_TRUE(OpenImageAsDataFile(directory, DefaultDataFileBytes(), problem)) << problem;
    PlayStatistics statistics;
    for (int level = 0; level < kLevelCount && !HasFatalFailure(); ++level)
        PlayRandomGames(level, 300, statistics);
    CloseDataFile();
    if (HasFatalFailure())
        return;
    PrintStatistics(statistics);
    EXPECT_GT(statistics.floodsWithOldZeros, 500);
    EXPECT_GT(statistics.wins, 200);
}

// A large level with few mines: long floods around many marks.
TEST(FloodFill, EqualsTheRecursiveFillOnASparseLevel)
{
    std::vector<std::uint8_t> file = DefaultDataFileBytes();
    SetLevelSize(file, 0, 30, 40, 40);
    ScratchDirectory directory;
    std::string problem;
    ASSERT_TRUE(OpenImageAsDataFile(directory, file, problem)) << problem;
    PlayStatistics statistics;
    PlayRandomGames(0, 200, statistics);
    CloseDataFile();
    if (HasFatalFailure())
        return;
    PrintStatistics(statistics);
    EXPECT_GT(statistics.floodsWithOldZeros, 50);
}

TEST(FloodFill, OpensTheLargestBoardWithOneMine)
{
    std::vector<std::uint8_t> file = DefaultDataFileBytes();
    SetLevelSize(file, 0, 255, 255, 1);
    ScratchDirectory directory;
    std::string problem;
    ASSERT_TRUE(OpenImageAsDataFile(directory, file, problem)) << problem;
    LevelIndex = 0;
    NewGameWithSeed(nullptr, 7);
    CloseDataFile();
    ASSERT_EQ(GridSize(), 255u * 255u);

    std::size_t mine = 0;
    while (Board[mine] != kCoveredMine)
        ++mine;
    const std::uint32_t column = mine % Columns < Columns / 2 ? Columns - 1 : 0;
    const std::uint32_t row = mine / Columns < Rows / 2 ? Rows - 1 : 0;
    ClearHookCalls();
    LeftRelease(column, row);
    EXPECT_EQ(std::count_if(Board.begin(), Board.end() - 1, IsUncovered), 255 * 255 - 1);
    EXPECT_EQ(Board[mine], kCoveredMine);
    EXPECT_EQ(CountHookCalls("RedrawCell"), 255 * 255 - 1);
    EXPECT_EQ(GameState, Running);
    RightRelease(static_cast<std::uint32_t>(mine % Columns), static_cast<std::uint32_t>(mine / Columns));
    EXPECT_EQ(GameState, Over);
    EXPECT_EQ(CountHookCalls("RecordBestTime"), 1);
}

// What kelbo replay should print for the game as it stands.
std::string ReplayOutput()
{
    std::ostringstream text;
    for (std::uint32_t row = 0; row < Rows; ++row) {
        for (std::uint32_t column = 0; column < Columns; ++column) {
            const std::uint8_t cell = CellAt(column, row);
            text << (column > 0 ? " " : "");
            if (IsUncovered(cell) && cell != kMine)
                text << static_cast<int>(cell);
            else
                text << VisibleCell(cell);
        }
        text << "\n";
    }
    const char* const phases[] = {"Idle", "Running", "Over"};
    text << "FlagsLeft " << FlagsLeft << "\nGameState " << phases[GameState] << "\n";
    if (GameState == Over)
        text << "Result " << (GameLost() ? "Lost" : "Won") << "\n";
    if (GameState == Over && GameLost())
        text << ExplainLoss().message << "\n";
    return text.str();
}

void PlayInProcess(const Release& release)
{
    if (GameState == Over)
        return;
    if (release.button == 'L')
        LeftRelease(release.column, release.row);
    else if (release.button == 'R')
        RightRelease(release.column, release.row);
    else
        Chord(nullptr, release.column, release.row);
}

TEST(KelboReplay, PlaysTheMovesAsTheWindowDoes)
{
    ScratchDirectory directory;
    std::string problem;
    ASSERT_TRUE(OpenImageAsDataFile(directory, DefaultDataFileBytes(), problem)) << problem;
    int lostGames = 0;
    int openingChords = 0;
    for (int level = 0; level < kLevelCount; ++level) {
        const std::uint32_t seed = 77u + static_cast<std::uint32_t>(level);
        LevelIndex = level;
        NewGameWithSeed(nullptr, seed);
        std::mt19937 random(seed);
        std::string moves;
        for (int move = 0; move < 60; ++move) {
            Release release = PickRelease(random, false);
            if (move == 30 && level % 2 == 1)  // lose half of the games and play on after the loss
                release = RandomRelease(random, 'L', [](std::uint8_t b) { return b == kCoveredMine; });
            moves += " " + MoveText(release);
            PlayInProcess(release);
            if (move % 3 == 2) {  // a middle release on a count, now and then a satisfied one
                const Release chord = RandomRelease(random, 'M', [](std::uint8_t b) { return b > 0 && b <= 12; });
                const std::vector<std::uint8_t> before = Board;
                moves += " " + MoveText(chord);
                PlayInProcess(chord);
                openingChords += Board != before;
            }
        }
        lostGames += GameLost();
        const ToolRun run =
            RunKelbo(directory, "replay " + std::to_string(level) + " --seed " + std::to_string(seed) + moves);
        EXPECT_EQ(run.exitCode, 0) << run.errors;
        EXPECT_EQ(run.output, ReplayOutput()) << "level " << level << " seed " << seed << ":" << moves;
    }
    CloseDataFile();
    EXPECT_GT(lostGames, 0);
    EXPECT_LT(lostGames, kLevelCount);
    EXPECT_GT(openingChords, 3);
}

TEST(KelboReplay, WinsWithoutWritingABestTime)
{
    ScratchDirectory directory;
    std::string problem;
    ASSERT_TRUE(OpenImageAsDataFile(directory, DefaultDataFileBytes(), problem)) << problem;
    LevelIndex = 3;
    NewGameWithSeed(nullptr, 12);
    CloseDataFile();
    std::string moves;
    for (std::uint32_t row = 0; row < Rows; ++row)
        for (std::uint32_t column = 0; column < Columns; ++column)
            if (!IsVoid(CellAt(column, row)))
                moves += std::string(CellAt(column, row) == kCoveredMine ? " R:" : " L:") + std::to_string(column) +
                         "," + std::to_string(row);
    const std::vector<std::uint8_t> fileBefore = ReadWholeFile(DataFileName);
    const ToolRun run = RunKelbo(directory, "replay 3 --seed 12" + moves);
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.output.find("\nFlagsLeft 0\nGameState Over\nResult Won\n"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find('#'), std::string::npos) << run.output;
    EXPECT_EQ(ReadWholeFile(DataFileName), fileBefore);
}

TEST(KelboReplay, VoidStartsTheClockAndOutsideTheGridFails)
{
    ScratchDirectory directory;
    std::string problem;
    ASSERT_TRUE(OpenImageAsDataFile(directory, DefaultDataFileBytes(), problem)) << problem;
    CloseDataFile();
    const ToolRun voidRun = RunKelbo(directory, "replay 3 --seed 1 L:0,0 R:16,0");
    EXPECT_EQ(voidRun.exitCode, 0) << voidRun.errors;
    EXPECT_EQ(voidRun.output.substr(0, 34), ". . . . . . . . # . . . . . . . .\n");
    EXPECT_NE(voidRun.output.find("\nFlagsLeft 10\nGameState Running\n"), std::string::npos) << voidRun.output;
    EXPECT_EQ(voidRun.output.find("Result"), std::string::npos);
    // The middle button never starts the clock; a right release after it does.
    for (const auto& [moves, state] : {std::pair{"M:8,0 M:0,0", "Idle"}, std::pair{"M:8,0 R:8,0", "Running"}}) {
        const std::string output = RunKelbo(directory, std::string("replay 3 --seed 1 ") + moves).output;
        EXPECT_NE(output.find(std::string("\nGameState ") + state + "\n"), std::string::npos) << moves << output;
    }

    for (const char* move : {"L:17,0", "R:0,9", "M:0,9", "L:3", "X:1,1", "L:-1,0"}) {
        const ToolRun run = RunKelbo(directory, std::string("replay 3 --seed 1 L:8,0 ") + move);
        EXPECT_NE(run.exitCode, 0) << move;
        EXPECT_EQ(run.output, "") << move;
        EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << move << ": " << run.errors;
        EXPECT_NE(run.errors.find(move), std::string::npos) << move << ": " << run.errors;
    }
}

}  // namespace
