#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "game/board.h"
#include "game/cell.h"
#include "game/rules.h"
#include "solver/deal.h"
#include "solver/player.h"
#include "solver/solver.h"
#include "tests/placements.h"

namespace {

// A game awaiting its deal, as a new game of the no-guess mode leaves it.
void StartUndealtGame(const LevelRecord& record, std::uint32_t seed)
{
    ASSERT_TRUE(BuildUndealtBoard(record));
    GameSeed = seed;
    AwaitingDeal = true;
    GameState = Idle;
    FlagsLeft = Mines;
}

std::uint8_t ValueUnder(std::uint8_t b)
{
    return IsFlagged(b) ? static_cast<std::uint8_t>(b - kFlaggedBase) : IsHidden(b) ? UncoveredValue(b) : b;
}

// What the dealt board holds, checked from the cell bytes alone: the level's mines on real cells that
// a draw of the game reaches, every count right, the released cell free, and its real neighbours too when the other
// real cells have room for every mine.
void CheckDealtBoard(const LevelRecord& record, std::size_t first)
{
    std::vector<std::size_t> real;
    std::size_t mines = 0;
    const std::vector<bool> drawn = IndicesSomeDrawReaches(GridSize());
    for (std::size_t i = 0; i < GridSize(); ++i) {
        ASSERT_EQ(IsVoid(Board[i]), record.grid[i] == kVoidCell) << "cell " << i;
        if (IsVoid(Board[i]))
            continue;
        real.push_back(i);
        const std::uint8_t value = ValueUnder(Board[i]);
        mines += value == kMine;
        ASSERT_TRUE(value != kMine || drawn[i]) << "a mine where no draw of the game reaches, cell " << i;
        std::uint8_t around = 0;
        for (std::size_t n : TableNeighbours(Columns, Rows, i))
            around = static_cast<std::uint8_t>(around + (!IsVoid(Board[n]) && ValueUnder(Board[n]) == kMine));
        if (value != kMine) {
            ASSERT_EQ(value, around) << "cell " << i;
        }
    }
    ASSERT_EQ(mines, record.mines);
    EXPECT_NE(ValueUnder(Board[first]), kMine);
    std::size_t realNeighbours = 0;
    for (std::size_t n : TableNeighbours(Columns, Rows, first))
        realNeighbours += !IsVoid(Board[n]);
    if (real.size() - 1 - realNeighbours >= record.mines) {
        EXPECT_EQ(ValueUnder(Board[first]), 0) << "the released cell's neighbours hold a mine";
    }
}

// The board as the game's globals hold it, from the first release on, played by every placement of
// the mines counted: only cells that every placement agrees on, each checked against the solver's
// certain cells. True when it uncovered every safe cell.
bool WonByEveryPlacementCounted(CellPosition first)
{
    ApplyMove(Move{'L', first.column, first.row});
    while (GameState != Over) {
        const SeenPosition seen = SeenFromBoard();
        const Oracle oracle = CountEveryPlacement(seen);
        const MineChances found = FindMineChances(seen);
        bool played = false;
        for (std::size_t i = 0; i < GridSize(); ++i) {
            if (!IsSeenHidden(seen.cells[i]))
                continue;
            const double chance = oracle.chance[i];
            EXPECT_EQ(found.chance[i] == 0.0 || found.chance[i] == 1.0, chance == 0.0 || chance == 1.0) << "cell " << i;
            const CellPosition cell{static_cast<std::uint32_t>(i % Columns), static_cast<std::uint32_t>(i / Columns)};
            if ((chance == 0.0 && IsHidden(Board[i])) || (chance == 1.0 && IsCovered(Board[i]))) {
                ApplyMove(Move{chance == 0.0 ? 'L' : 'R', cell.column, cell.row});
                played = true;
            }
        }
        if (!played)
            return false;
    }
    return !GameWasLost();
}

TEST(Deal, OnSmallShapesADealtBoardIsWonByEveryPlacementCounted)
{
    std::mt19937 random(29);
    int proven = 0, notFound = 0;
    for (int round = 0; round < 200; ++round) {
        LevelRecord record;
        record.rows = std::uniform_int_distribution<std::uint32_t>(2, 4)(random);
        record.columns = std::uniform_int_distribution<std::uint32_t>(3, 6)(random);
        const double voids = round % 3 == 0 ? 0.0 : 0.25;
        std::vector<std::size_t> real;
        for (std::size_t i = 0; i < record.rows * record.columns; ++i) {
            const bool isVoid = std::uniform_real_distribution<>(0, 1)(random) < voids;
            record.grid.push_back(isVoid ? kVoidCell : kPlayableCell);
            if (!isVoid)
                real.push_back(i);
        }
        if (real.size() < 4)
            continue;
        record.mines = std::uniform_int_distribution<std::uint32_t>(
            1, std::min<std::uint32_t>(6, static_cast<std::uint32_t>(real.size()) - 2))(random);
        const std::size_t first = real[random() % real.size()];
        const std::uint32_t seed = static_cast<std::uint32_t>(random());
        SCOPED_TRACE("round " + std::to_string(round));
        StartUndealtGame(record, seed);
        const DealOutcome outcome = DealOnFirstRelease(static_cast<std::uint32_t>(first % Columns),
                                                       static_cast<std::uint32_t>(first / Columns));
        ASSERT_NE(outcome, DealOutcome::NotDealt);
        CheckDealtBoard(record, first);
        // Not found is honest only when the board given instead really needs a guess.
        const bool won = WonByEveryPlacementCounted(
            {static_cast<std::uint32_t>(first % Columns), static_cast<std::uint32_t>(first / Columns)});
        EXPECT_EQ(won, outcome == DealOutcome::Proven);
        proven += outcome == DealOutcome::Proven;
        notFound += outcome == DealOutcome::MayNeedGuess;
    }
    EXPECT_GT(proven, 100);
    EXPECT_GT(notFound, 5);
}

// Every built-in level, and a grid so large that a draw of the game reaches only some of its cells.
TEST(Deal, OnEveryBuiltInLevelTheFirstReleaseOpensARegionAndProofWinsTheBoard)
{
    std::mt19937 random(30);
    for (int level = 0; level < 9; ++level) {
        LevelRecord record;
        if (level < 8) {
            record = BuiltInLevel(level);
        } else {
            record.rows = record.columns = 200;
            record.mines = 255;
            record.grid.assign(200 * 200, kPlayableCell);
        }
        for (int round = 0; round < (level < 8 ? 25 : 2); ++round) {
            const std::uint32_t seed = static_cast<std::uint32_t>(random());
            std::size_t first = 0;
            do
                first = random() % record.grid.size();
            while (record.grid[first] == kVoidCell);
            SCOPED_TRACE("level " + std::to_string(level) + " seed " + std::to_string(seed));
            StartUndealtGame(record, seed);
            // Marks placed before the deal stay on their cells, over the values dealt.
            const std::size_t flagged = (first + 7) % GridSize(), questioned = (first + 11) % GridSize();
            for (std::size_t mark : {flagged, questioned})
                if (!IsVoid(Board[mark]))
                    ApplyMove(Move{'R', static_cast<std::uint32_t>(mark % Columns),
                                   static_cast<std::uint32_t>(mark / Columns)});
            if (!IsVoid(Board[questioned]))
                ApplyMove(Move{'R', static_cast<std::uint32_t>(questioned % Columns),
                               static_cast<std::uint32_t>(questioned / Columns)});
            const CellPosition release{static_cast<std::uint32_t>(first % Columns),
                                       static_cast<std::uint32_t>(first / Columns)};
            ASSERT_EQ(DealOnFirstRelease(release.column, release.row), DealOutcome::Proven);
            ASSERT_FALSE(AwaitingDeal);
            CheckDealtBoard(record, first);
            EXPECT_TRUE(IsVoid(Board[flagged]) || IsFlagged(Board[flagged]));
            EXPECT_TRUE(IsVoid(Board[questioned]) || IsQuestionMarked(Board[questioned]));
            // The same seed and cell deal the same board, whatever was dealt in between and whatever
            // work a test left the solver.
            const std::vector<std::uint8_t> dealt(Board.begin(), Board.end());
            DealWithoutGuess(record.grid, Columns, Rows, Mines, seed + 1, first);
            LimitSolverWork(20);
            const DealtBoard again = DealWithoutGuess(record.grid, Columns, Rows, Mines, seed, first);
            LimitSolverWork(0);
            for (std::size_t i = 0; i < GridSize(); ++i)
                ASSERT_EQ(again.cells[i], IsVoid(dealt[i]) ? kVoidCell : ValueUnder(dealt[i])) << "cell " << i;
            for (std::size_t mark : {flagged, flagged, questioned})  // back to covered, round the cycle
                if (!IsVoid(Board[mark]))
                    ApplyMove(Move{'R', static_cast<std::uint32_t>(mark % Columns),
                                   static_cast<std::uint32_t>(mark / Columns)});
            SolvedBoard played;
            ASSERT_TRUE(SolveGame(&release, played));
            EXPECT_TRUE(played.won);
            EXPECT_TRUE(played.guesses.empty());
        }
    }
}

}  // namespace
