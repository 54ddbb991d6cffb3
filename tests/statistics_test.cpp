#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "data/data_file.h"
#include "data/default_file.h"
#include "data/statistics_file.h"
#include "game/board.h"
#include "game/cell.h"
#include "game/game_record.h"
#include "game/rules.h"
#include "tests/test_files.h"
#include "tests/test_hooks.h"

namespace {

struct PlayedGame {
    int level;
    FinishedGame game;
};

// A mode's figures counted straight from the list of its games, apart from AddFinishedGame.
ModeTally TallyFromList(const std::vector<PlayedGame>& games, int level, int mode)
{
    ModeTally t;
    std::uint32_t run = 0;
    for (const PlayedGame& played : games) {
        const FinishedGame& g = played.game;
        if (played.level != level || g.mode != mode)
            continue;
        if (g.playedAgain) {
            ++t.playedAgain;
            continue;
        }
        ++t.played;
        const bool won = g.end == GameEnd::Won;
        run = won ? run + 1 : 0;
        t.longestRun = std::max(t.longestRun, run);
        if (!won)
            continue;
        ++t.won;
        t.wonWithoutHint += !g.hintUsed;
        t.wonSeconds += static_cast<std::uint64_t>(g.seconds);
        if (t.bestSeconds == 0 || g.seconds < t.bestSeconds)
            t.bestSeconds = g.seconds;
    }
    t.currentRun = run;
    return t;
}

LevelKey TestKey(int level)
{
    LevelKey key{8, static_cast<std::uint32_t>(8 + level), 10, 0x0123456789ABCDEFu + static_cast<unsigned>(level),
                 level == 2 ? "Ring 50% & =" : "Level " + std::to_string(level)};
    return key;
}

// Thousands of random games on three levels, each merged into the record as the file holds it
// (written and read back every game), against the figures counted from the list.
TEST(Statistics, FiguresThroughTheFileMatchTheGamesCountedAgain)
{
    std::mt19937 random(34);
    std::vector<PlayedGame> games;
    std::string text = StatisticsText({});
    for (int n = 0; n < 3000; ++n) {
        PlayedGame played{static_cast<int>(random() % 3), {}};
        played.game.end = static_cast<GameEnd>(random() % 3);
        played.game.mode = static_cast<int>(random() % kModeCount);
        played.game.seconds = 1 + static_cast<std::int32_t>(random() % 999);
        played.game.hintUsed = random() % 4 == 0;
        played.game.playedAgain = random() % 10 == 0;
        games.push_back(played);
        StatisticsRecord record;
        std::string problem;
        ASSERT_TRUE(ParseStatistics(text, record, problem)) << problem << "\n" << text;
        AddFinishedGame(LevelStatisticsFor(record, TestKey(played.level)), played.game);
        text = StatisticsText(record);
    }
    StatisticsRecord record;
    std::string problem;
    ASSERT_TRUE(ParseStatistics(text, record, problem)) << problem;
    for (int level = 0; level < 3; ++level)
        for (int mode = 0; mode < kModeCount; ++mode) {
            const LevelStatistics* found = FindLevelStatistics(record, TestKey(level));
            ASSERT_NE(found, nullptr);
            const ModeTally& got = found->modes[mode];
            const ModeTally want = TallyFromList(games, level, mode);
            const auto figures = [](const ModeTally& t) {
                return std::vector<std::uint64_t>{t.played,     t.won,         t.wonWithoutHint,
                                                  t.currentRun, t.longestRun,  static_cast<std::uint64_t>(t.bestSeconds),
                                                  t.wonSeconds, t.playedAgain};
            };
            EXPECT_EQ(figures(got), figures(want)) << "level " << level << " mode " << mode;
        }
}

TEST(Statistics, FigureTextsRoundAsAPlayerReadsThem)
{
    ModeTally t;
    t.played = 7, t.won = 3, t.wonWithoutHint = 2, t.currentRun = 1, t.longestRun = 2, t.bestSeconds = 10;
    t.wonSeconds = 10 + 11 + 11, t.playedAgain = 4;
    // 3 of 7 is 42.86 %; 32 s over 3 wins is 10.67 s.
    EXPECT_EQ(FigureTexts(t), (std::vector<std::string>{"7", "3", "43 %", "2", "1", "2", "10", "10.7", "4"}));
    EXPECT_EQ(FigureTexts(ModeTally{}), (std::vector<std::string>{"0", "0", "-", "0", "0", "0", "-", "-", "0"}));
}

struct DamagedRow {
    const char* name;
    std::string text;
    int line;
};

const std::string kLevel = "level rows=8 columns=8 mines=10 outline=0000000000000001 title=B\n";
const std::string kTime = "no-guessing-time seconds=9 name=a\n";

const DamagedRow kDamagedRows[] = {
    {"a mode before any level", "ordinary played=1\n", 1},
    {"no outline", "# c\nlevel rows=8 columns=8 mines=10 title=B\n", 2},
    {"more won than played", kLevel + "ordinary played=1 won=2 longest=2 best=3\n", 2},
    {"a run longer than the longest", kLevel + "no-guessing played=3 won=1 run=2 longest=1 best=3\n", 2},
    {"a number too large", kLevel + "ordinary played=4294967296\n", 2},
    {"an unknown field", kLevel + "ordinary colour=red\n", 2},
    {"a bad escape", "level rows=8 columns=8 mines=10 outline=0000000000000001 title=B%4\n", 1},
    {"six times", kLevel + kTime + kTime + kTime + kTime + kTime + kTime, 7},
    {"a level twice", kLevel + kLevel, 2},
    {"bytes of another file", std::string("\x89PNG\r\n\x1a\n\x00\x00", 10), 1},
};

TEST(Statistics, DamagedTextsNameTheirLine)
{
    for (const DamagedRow& row : kDamagedRows) {
        StatisticsRecord record;
        std::string problem;
        EXPECT_FALSE(ParseStatistics(row.text, record, problem)) << row.name;
        EXPECT_EQ(problem.rfind("line " + std::to_string(row.line) + ": ", 0), 0u) << row.name << ": " << problem;
        EXPECT_TRUE(record.empty()) << row.name;
    }
}

bool ReplaceByRename(const std::string& from, const std::string& to, std::string& problem)
{
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return true;
    problem = "rename failed";
    return false;
}

void AddOneWin(StatisticsRecord& record)
{
    FinishedGame won;
    won.end = GameEnd::Won;
    won.seconds = 5;
    AddFinishedGame(LevelStatisticsFor(record, TestKey(0)), won);
}

// A damaged record is kept aside byte for byte, once, and the game goes on with a new one; a
// record that cannot be read is left alone.
TEST(StatisticsFile, ADamagedFileIsKeptAsideAndSaidOnce)
{
    ScratchDirectory directory;
    const std::string path = directory.File("skarvel-stats.txt");
    const std::vector<std::uint8_t> damaged = {'l', 'e', 'v', 'e', 'l', '\n', 0xFF};
    WriteWholeFileForTest(path, damaged);
    std::string notice, problem;
    ASSERT_TRUE(UpdateStatisticsFile(path, AddOneWin, ReplaceByRename, notice, problem)) << problem;
    EXPECT_NE(notice.find(path + ".damaged"), std::string::npos) << notice;
    EXPECT_EQ(ReadWholeFile(path + ".damaged"), damaged);
    notice.clear();
    ASSERT_TRUE(UpdateStatisticsFile(path, AddOneWin, ReplaceByRename, notice, problem)) << problem;
    EXPECT_EQ(notice, "");
    StatisticsRecord record;
    ASSERT_EQ(ReadStatisticsFile(path, record, problem), StatisticsRead::Read);
    EXPECT_EQ(FindLevelStatistics(record, TestKey(0))->modes[kOrdinaryMode].won, 2u);
    EXPECT_TRUE(NewFilesBeside(path).empty());

    const std::string folder = directory.File("a-folder");
    std::filesystem::create_directory(folder);
    EXPECT_FALSE(UpdateStatisticsFile(folder, AddOneWin, ReplaceByRename, notice, problem));
    EXPECT_NE(problem.find(folder + " cannot be read"), std::string::npos) << problem;
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

// The first cell of the board that is a mine, or is not.
CellPosition FirstCell(bool mine)
{
    for (std::uint32_t row = 0; row < Rows; ++row)
        for (std::uint32_t column = 0; column < Columns; ++column)
            if (IsHidden(CellAt(column, row)) && (UncoveredValue(CellAt(column, row)) == kMine) == mine)
                return {column, row};
    return {0, 0};
}

void WinByUncoveringAndFlagging()
{
    for (std::uint32_t row = 0; row < Rows; ++row)
        for (std::uint32_t column = 0; column < Columns; ++column)
            if (IsHidden(CellAt(column, row)))
                ApplyMove({UncoveredValue(CellAt(column, row)) == kMine ? 'R' : 'L', column, row});
}

// A game counts from its first release, once, as it ended; in the mode it was set up in.
TEST(GameRecord, AGameCountsFromItsFirstReleaseAndOnce)
{
    ScratchDirectory directory;
    std::string problem;
    ASSERT_TRUE(OpenImageAsDataFile(directory, DefaultDataFileBytes(), problem)) << problem;
    LevelIndex = 0;
    NoGuessing = false;
    NewGameWithSeed(nullptr, 1);
    ClearHookCalls();
    NewGameWithSeed(nullptr, 2);  // nothing released: not played
    const CellPosition safe = FirstCell(false);
    ApplyMove({'L', safe.column, safe.row});
    ElapsedSeconds = 4;
    NoGuessing = true;  // the mode changes for the next game; the one left was ordinary
    NewGameWithSeed(nullptr, 3);
    NoGuessing = false;
    NewGameWithSeed(nullptr, 4);
    ApplyMove({'R', 0, 0});  // a mark is a release too
    const CellPosition mine = FirstCell(true);
    ApplyMove({'L', mine.column, mine.row});
    NewGameWithSeed(nullptr, 5);  // already counted as lost
    HintUsed = true;
    WinByUncoveringAndFlagging();
    ASSERT_EQ(GameState, Over);
    PlaySameBoardAgain(nullptr);  // a game of its own, counted apart
    const CellPosition mineAgain = FirstCell(true);
    ApplyMove({'L', mineAgain.column, mineAgain.row});
    PlaySameBoardAgain(nullptr);  // never released: not played
    NewGameWithSeed(nullptr, 6);
    CloseDataFile();

    std::vector<std::string> seen;
    for (const FinishedGame& game : PlayedGames)
        seen.push_back(std::to_string(static_cast<int>(game.end)) + " mode " + std::to_string(game.mode) + " " +
                       std::to_string(game.seconds) + " s" + (game.hintUsed ? " hint" : "") +
                       (game.playedAgain ? " again" : ""));
    // Left, lost, won, lost again; a game within the first second counts 1 second.
    EXPECT_EQ(seen, (std::vector<std::string>{"2 mode 0 4 s", "1 mode 0 1 s", "0 mode 0 1 s hint",
                                              "1 mode 0 1 s again"}));
}

}  // namespace
