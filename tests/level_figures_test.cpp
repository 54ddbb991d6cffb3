// The figures of many boards played on threads of their own, all at once, against the same
// figures played one level after another on this thread: each thread plays a game of its own.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "data/default_file.h"
#include "data/level_edit.h"
#include "solver/level_figures.h"

namespace {

constexpr std::uint32_t kBoards = 12;

LevelRecord BuiltInRecord(int level)
{
    const LevelDefinition definition = ReadLevelDefinition(DefaultDataFileBytes(), level);
    LevelRecord record;
    record.rows = definition.outline.rows;
    record.columns = definition.outline.columns;
    record.mines = definition.mines;
    record.grid = definition.outline.cells;
    return record;
}

struct Played {
    FiguresEnd end = FiguresEnd::Stopped;
    LevelFigures figures;
};

Played Play(int level, bool noGuess)
{
    Played played;
    std::uint32_t seed = 0;
    played.end = PlayLevelBoards(
        BuiltInRecord(level), level, 1704110400, kBoards, noGuess, nullptr, [](std::uint32_t) { return true; },
        played.figures, seed);
    return played;
}

void ExpectSame(const Played& alone, const Played& together, const std::string& name)
{
    EXPECT_EQ(alone.end, FiguresEnd::Done) << name;
    EXPECT_EQ(together.end, alone.end) << name;
    EXPECT_EQ(together.figures.boards, alone.figures.boards) << name;
    EXPECT_EQ(together.figures.won, alone.figures.won) << name;
    EXPECT_EQ(together.figures.wonWithoutGuess, alone.figures.wonWithoutGuess) << name;
    EXPECT_EQ(together.figures.guesses, alone.figures.guesses) << name;
    EXPECT_EQ(together.figures.threeBV, alone.figures.threeBV) << name;
    EXPECT_EQ(together.figures.dealtWithoutGuess, alone.figures.dealtWithoutGuess) << name;
}

TEST(LevelFigures, ThreadsPlayingAtOnceGetTheFiguresOfOnePlayingAlone)
{
    std::vector<Played> alone;
    for (int run = 0; run < 2 * kLevelCount; ++run)
        alone.push_back(Play(run / 2, run % 2 == 1));
    std::vector<Played> together(alone.size());
    std::vector<std::thread> threads;
    for (int run = 0; run < 2 * kLevelCount; ++run)
        threads.emplace_back(
            [run, &together] { together[static_cast<std::size_t>(run)] = Play(run / 2, run % 2 == 1); });
    for (std::thread& thread : threads)
        thread.join();
    for (std::size_t run = 0; run < alone.size(); ++run)
        ExpectSame(alone[run], together[run], "level " + std::to_string(run / 2) + (run % 2 ? " dealt" : " plain"));
}

TEST(LevelFigures, AStopAfterABoardEndsTheBoardsThere)
{
    LevelFigures figures;
    std::uint32_t seed = 0;
    const FiguresEnd end = PlayLevelBoards(
        BuiltInRecord(2), 2, 0, kBoards, false, nullptr, [](std::uint32_t done) { return done < 3; }, figures, seed);
    EXPECT_EQ(end, FiguresEnd::Stopped);
    EXPECT_EQ(figures.boards, 3u);
}

}  // namespace
