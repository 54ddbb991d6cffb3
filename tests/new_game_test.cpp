#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "data/data_check.h"
#include "data/data_file.h"
#include "data/default_file.h"
#include "game/board.h"
#include "game/cell.h"
#include "game/mine_draw.h"
#include "tests/test_files.h"
#include "tests/test_hooks.h"

namespace {

TEST(Generator, GivesTheKnownSequences)
{
    SeedRandom(0);
    for (std::uint32_t expected : {38u, 7719u, 21238u, 2437u, 8855u})
        EXPECT_EQ(NextRandom(), expected);
    SeedRandom(1);
    for (std::uint32_t expected : {41u, 18467u, 6334u, 26500u, 19169u})
        EXPECT_EQ(NextRandom(), expected);
}

TEST(Generator, BeginnerScaleAndCellIndices)
{
    const float scale = MineScale(91);
    EXPECT_FLOAT_EQ(scale, 0.0027771844f);
    const std::uint32_t draws[] = {38, 7719, 21238, 2437, 8855, 32767};
    const std::size_t indices[] = {0, 21, 58, 6, 24, 90};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(MineIndexForDraw(draws[i], scale), indices[i]) << "draw " << draws[i];
    for (std::size_t cells : {91u, 300u, 504u, 153u, 351u, 406u, 350u, 204u})
        EXPECT_LT(MineIndexForDraw(kLargestDraw, MineScale(cells)), cells) << cells << " cells";
}

// Neighbours from the table of the triangular grid, written out independently of the game's code.
int NaiveCount(std::uint8_t value, int column, int row)
{
    const bool up = (row + column) % 2 == 0;
    const int above[2][2] = {{-1, 1}, {-2, 2}};  // column spans of the row above: up, down
    const int below[2][2] = {{-2, 2}, {-1, 1}};
    int count = 0;
    auto countSpan = [&](int r, int from, int to, bool skipSelf) {
        for (int c = column + from; c <= column + to; ++c) {
            if (r < 0 || r >= static_cast<int>(Rows) || c < 0 || c >= static_cast<int>(Columns))
                continue;
            if (skipSelf && c == column)
                continue;
            count += CellAt(static_cast<std::uint32_t>(c), static_cast<std::uint32_t>(r)) == value;
        }
    };
    countSpan(row - 1, above[up ? 0 : 1][0], above[up ? 0 : 1][1], false);
    countSpan(row, -2, 2, true);
    countSpan(row + 1, below[up ? 0 : 1][0], below[up ? 0 : 1][1], false);
    return count;
}

void SetUpGrid(std::uint32_t rows, std::uint32_t columns, std::uint8_t fill)
{
    Rows = rows;
    Columns = columns;
    Board.assign(rows * columns + 1, fill);
}

int Count(std::uint8_t value, std::uint32_t column, std::uint32_t row)
{
    return CountNeighbours(value, column, row, CellIndex(column, row), CellOrientation(column, row));
}

TEST(Neighbours, CornersEdgesAndTheMiddle)
{
    SetUpGrid(7, 13, kMine);
    EXPECT_EQ(Count(kMine, 0, 0), 5) << "top-left corner, up";
    EXPECT_EQ(Count(kMine, 12, 0), 5) << "top-right corner, up";
    EXPECT_EQ(Count(kMine, 0, 6), 4) << "bottom-left corner, up: two in its row, two above";
    EXPECT_EQ(Count(kMine, 1, 0), 6) << "top edge, down: three in its row, three below";
    EXPECT_EQ(Count(kMine, 5, 6), 9) << "bottom edge, down: four in its row, five above";
    EXPECT_EQ(Count(kMine, 5, 3), 12) << "an up cell in the middle";
    EXPECT_EQ(Count(kMine, 6, 3), 12) << "a down cell in the middle";
    EXPECT_EQ(Count(kMine, 0, 3), 7) << "left edge, down: two in its row, three above, two below";
    EXPECT_EQ(CountInRow(kMine, CellIndex(1, 2), 1), 3);

    // A down cell sees five cells in the row above, an up cell three.
    SetUpGrid(3, 7, 0);
    for (std::uint32_t column = 0; column < 7; ++column)
        CellAt(column, 0) = kMine;
    EXPECT_EQ(Count(kMine, 4, 1), 5);
    EXPECT_EQ(Count(kMine, 3, 1), 3) << "an up cell sees three cells at its apex";
}

TEST(Neighbours, AgreeWithTheGridTableOnRandomBoardsWithVoidCells)
{
    SeedRandom(99);
    for (int round = 0; round < 200; ++round) {
        SetUpGrid(1 + NextRandom() % 9, 1 + NextRandom() % 11, 0);
        for (std::uint8_t& cell : Board)
            cell = static_cast<std::uint8_t>(NextRandom() % 3 == 0 ? kVoidCell : NextRandom() % 2 ? kMine : 0);
        for (std::uint32_t row = 0; row < Rows; ++row)
            for (std::uint32_t column = 0; column < Columns; ++column)
                for (std::uint8_t value : {kMine, kVoidCell, std::uint8_t{0}})
                    ASSERT_EQ(Count(value, column, row),
                              NaiveCount(value, static_cast<int>(column), static_cast<int>(row)))
                        << Rows << "x" << Columns << " at column " << column << ", row " << row;
    }
}

class NewGameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string problem;
        ASSERT_TRUE(OpenImageAsDataFile(directory, DefaultDataFileBytes(), problem)) << problem;
    }
    void TearDown() override { CloseDataFile(); }
    ScratchDirectory directory;
};

void ExpectFreshGame(int level, const std::vector<std::uint8_t>& mask)
{
    EXPECT_EQ(GameState, Idle);
    EXPECT_EQ(FlagsLeft, Mines);
    EXPECT_EQ(ElapsedSeconds, 0);
    const std::vector<HookCall> expectedCalls = {{"FitWindowToLevel", 0, 0, 0}, {"StopClockTimer", 0, 0, 0}};
    EXPECT_EQ(HookCalls, expectedCalls);
    std::uint32_t mines = 0;
    std::vector<std::uint8_t> values(Board.size() - 1);
    for (std::size_t index = 0; index < GridSize(); ++index) {
        const std::uint8_t cell = Board[index];
        const bool isVoid = level >= 3 && mask[index] == kVoidCell;
        ASSERT_EQ(IsVoid(cell), isVoid) << "index " << index;
        if (!isVoid) {
            ASSERT_TRUE(IsCovered(cell)) << "index " << index;
            values[index] = UncoveredValue(cell);
        }
        mines += !isVoid && values[index] == kMine;
    }
    EXPECT_EQ(mines, Mines);
    // Counts, checked on the uncovered values with the independent neighbour table.
    std::vector<std::uint8_t> covered = Board;
    for (std::size_t index = 0; index < GridSize(); ++index)
        if (!IsVoid(Board[index]))
            Board[index] = values[index];
    for (std::uint32_t row = 0; row < Rows; ++row)
        for (std::uint32_t column = 0; column < Columns; ++column)
            if (CellAt(column, row) != kMine && CellAt(column, row) != kVoidCell) {
                ASSERT_EQ(CellAt(column, row), NaiveCount(kMine, static_cast<int>(column), static_cast<int>(row)));
            }
    Board = covered;
}

TEST_F(NewGameTest, EveryLevelStartsCoveredCountedAndReset)
{
    const std::vector<std::uint8_t> file = DefaultDataFileBytes();
    for (int level = 0; level < 8; ++level) {
        const std::uint32_t offset = RecordOffset(file, level);
        const std::vector<std::uint8_t> mask(file.begin() + offset + 91,
                                             file.begin() + offset + 91 + file[offset] * file[offset + 1]);
        for (std::uint32_t seed : {0u, 1u, 77u, 1704110400u, 4294967295u}) {
            SCOPED_TRACE("level " + std::to_string(level) + " seed " + std::to_string(seed));
            GameState = Over;
            FlagsLeft = 3;
            ElapsedSeconds = 99;
            ClearHookCalls();
            LevelIndex = level;
            NewGameWithSeed(nullptr, seed);
            EXPECT_EQ(LevelOffset, offset);
            EXPECT_EQ(Rows, file[offset]);
            EXPECT_EQ(Columns, file[offset + 1]);
            ExpectFreshGame(level, mask);
        }
    }
}

TEST_F(NewGameTest, SameSeedSameBoard)
{
    LevelIndex = 0;
    NewGameWithSeed(nullptr, 0);
    const std::vector<std::uint8_t> first = Board;
    for (std::size_t index : {0u, 21u, 58u, 6u, 24u})
        EXPECT_EQ(first[index], kCoveredMine) << "the first draws of seed 0 land on index " << index;
    NewGameWithSeed(nullptr, 1);
    EXPECT_NE(Board, first);
    NewGameWithSeed(nullptr, 0);
    EXPECT_EQ(Board, first);
}

// The seeds a new game uses, from the clock's seconds and the games made before it; the expected
// values were worked out apart from the game's code.
TEST(NewGameSeed, MixesTheSecondsWithTheGamesBefore)
{
    const struct {
        std::uint32_t seconds, gamesBefore, seed;
    } cases[] = {{0, 0, 0},
                 {1, 0, 1364076727u},
                 {1704110400u, 0, 328922614u},
                 {1704110400u, 1, 2941210290u},
                 {1704110400u, 2, 1448706411u},
                 {4294967295u, 7, 1240119404u}};
    for (const auto& c : cases)
        EXPECT_EQ(NewGameSeed(c.seconds, c.gamesBefore), c.seed) << c.seconds << " s, game " << c.gamesBefore;
}

// Five minutes of new games on Beginner: the first mine lands all over the board, and a second
// game within the same second is another board.
TEST_F(NewGameTest, NewGamesSpreadTheFirstMineAndDifferWithinASecond)
{
    LevelIndex = 0;
    std::vector<int> firstMineCount(91);
    for (std::uint32_t second = 0; second < 300; ++second) {
        const std::uint32_t now = 1765180800u + second;
        SeedRandom(NewGameSeed(now, 0));
        ++firstMineCount[MineIndexForDraw(NextRandom(), MineScale(91))];
        NewGameWithSeed(nullptr, NewGameSeed(now, 0));
        const std::vector<std::uint8_t> first = Board;
        NewGameWithSeed(nullptr, NewGameSeed(now, 1));
        ASSERT_NE(Board, first) << "two games at second " << now;
    }
    const auto cellsHit = std::count_if(firstMineCount.begin(), firstMineCount.end(), [](int n) { return n > 0; });
    EXPECT_GE(cellsHit, 60) << "of Beginner's 91 cells";
    EXPECT_LE(*std::max_element(firstMineCount.begin(), firstMineCount.end()), 15);
}

// Replaced as kelbo replaces it: a new file renamed over the old one. The game holds no stream
// between games, so nothing keeps another program from replacing the file.
TEST_F(NewGameTest, AFileReplacedUnderTheGameIsPlayedAtTheNextNewGame)
{
    LevelIndex = 0;
    NewGameWithSeed(nullptr, 5);
    ASSERT_EQ(Rows, 7u);
    EXPECT_EQ(DataFile, nullptr) << "the game holds the file between games";
    std::vector<std::uint8_t> file = DefaultDataFileBytes();
    SetLevelSize(file, 0, 8, 15, 10);
    WriteWholeFileForTest(DataFileName + ".new", file);
    std::filesystem::rename(DataFileName + ".new", DataFileName);
    NewGameWithSeed(nullptr, 5);
    EXPECT_EQ(Rows, 8u);
    EXPECT_EQ(Columns, 15u);
}

// The file changed under the running game: one that has gone or been emptied is written anew, as
// at start-up; one damaged or unreadable is reported and left as it is, and the game goes on with
// the level as it was last read.
enum class Left { AsItWas, BuiltIn, Theirs };

struct ChangedFileCase {
    const char* what;
    void (*change)(const std::string& fileName);
    const char* reported;  // a text the message holds; nullptr when there is none
    Left left;             // what is in the file's place afterwards
};

TEST_F(NewGameTest, AFileChangedUnderTheGameLeavesTheGameGoingOn)
{
    namespace fs = std::filesystem;
    const ChangedFileCase cases[] = {
        {"cut short", [](const std::string& name) { fs::resize_file(name, 600); }, "level 6 (Radiation)",
         Left::AsItWas},
        {"deleted", [](const std::string& name) { fs::remove(name); }, nullptr, Left::BuiltIn},
        {"emptied", [](const std::string& name) { fs::resize_file(name, 0); }, nullptr, Left::BuiltIn},
        {"a folder in its place",
         [](const std::string& name) {
             fs::remove(name);
             fs::create_directory(name);
         },
         "cannot be opened: it is a folder", Left::AsItWas},
        // Another copy of the game writes its file in the moment before this one would.
        {"deleted, then another copy's file",
         [](const std::string& name) {
             fs::remove(name);
             BeforeDefaultFileWrite = [] {
                 BeforeDefaultFileWrite = nullptr;
                 WriteWholeFileForTest(DataFileName, AnotherProgramsFile());
             };
         },
         nullptr, Left::Theirs},
    };
    for (const ChangedFileCase& row : cases) {
        SCOPED_TRACE(row.what);
        CloseDataFile();
        fs::remove_all(DataFileName);
        std::string problem;
        ASSERT_TRUE(OpenImageAsDataFile(directory, DefaultDataFileBytes(), problem)) << problem;
        LevelIndex = 6;
        NewGameWithSeed(nullptr, 5);
        const std::vector<std::uint8_t> soundBoard = Board;
        row.change(DataFileName);
        const bool wasFile = fs::is_regular_file(DataFileName);
        const auto sizeBefore = wasFile ? fs::file_size(DataFileName) : 0;
        ClearHookCalls();
        NewGameWithSeed(nullptr, 5);
        EXPECT_EQ(CountHookCalls("ReportDataFileProblem"), row.reported != nullptr ? 1 : 0) << LastReportedProblem;
        if (row.reported != nullptr) {
            EXPECT_NE(LastReportedProblem.find(row.reported), std::string::npos) << LastReportedProblem;
        }
        EXPECT_EQ(GameState, Idle);
        EXPECT_EQ(Board, soundBoard);
        if (row.left != Left::AsItWas)
            EXPECT_EQ(ReadWholeFile(DataFileName),
                      row.left == Left::BuiltIn ? DefaultDataFileBytes() : AnotherProgramsFile());
        else if (wasFile)
            EXPECT_EQ(fs::file_size(DataFileName), sizeBefore);
        else
            EXPECT_TRUE(fs::is_directory(DataFileName));
    }
    fs::remove_all(DataFileName);
}

// Grids that the check would refuse, handed to the board builder as a file changed after the
// check might: the builder fails instead of drawing forever.
struct BuildCase {
    const char* what;
    std::uint32_t rows;
    std::uint32_t columns;
    std::uint32_t mines;
    std::vector<std::uint8_t> grid;
    bool builds;
};

std::vector<std::uint8_t> UndrawableGrid()
{
    std::vector<std::uint8_t> grid(255 * 255, kPlayableCell);
    const float scale = 65025.0f / 32767.0f;
    for (std::uint32_t draw = 0; draw <= 32767; ++draw)
        grid[static_cast<std::size_t>(draw * static_cast<double>(scale))] = kVoidCell;
    return grid;
}

TEST(BuildBoard, FailsWhenTheMinesCannotBePlaced)
{
    const BuildCase cases[] = {
        {"every cell void", 2, 2, 1, {255, 255, 255, 255}, false},
        {"fewer cells than mines", 1, 3, 2, {0, 255, 255}, false},
        {"no cell that a draw reaches", 255, 255, 1, UndrawableGrid(), false},
        {"no cell that a draw reaches, no mine", 255, 255, 0, UndrawableGrid(), true},
        {"bytes that are no cell", 2, 2, 2, {7, 7, 7, 0}, false},
        {"a grid of another size", 2, 3, 1, {0, 0, 0}, false},
        {"a mine on every cell", 1, 3, 3, {0, 0, 0}, true},
    };
    for (const BuildCase& row : cases) {
        SCOPED_TRACE(row.what);
        LevelRecord record;
        record.rows = row.rows;
        record.columns = row.columns;
        record.mines = row.mines;
        record.grid = row.grid;
        ASSERT_EQ(BuildBoard(record, 12345), row.builds);
        if (row.builds) {
            EXPECT_EQ(std::count(Board.begin(), Board.end(), kCoveredMine), row.mines);
        }
    }
}

TEST_F(NewGameTest, ZeroMinesNeedNoCellThatADrawReaches)
{
    std::vector<std::uint8_t> file = DefaultDataFileBytes();
    const std::vector<std::uint8_t> grid = UndrawableGrid();
    file.resize(RecordOffset(file, 7) + 91);
    SetLevelSize(file, 7, 255, 255, 0);
    file.insert(file.end(), grid.begin(), grid.end());
    CloseDataFile();
    std::string problem;
    ASSERT_TRUE(OpenImageAsDataFile(directory, file, problem)) << problem;
    LevelIndex = 7;
    ClearHookCalls();
    NewGameWithSeed(nullptr, 3);
    EXPECT_EQ(CountHookCalls("ReportDataFileProblem"), 0) << LastReportedProblem;
    EXPECT_EQ(GameState, Idle);
    EXPECT_EQ(std::count(Board.begin(), Board.end(), kCoveredZero), std::count(grid.begin(), grid.end(), 0));
}

}  // namespace
