#include <gtest/gtest.h>

#include <algorithm>
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
            // A release on a flag does nothing: the deal waits for a release that uncovers.
            if (!IsVoid(Board[flagged])) {
                const Move onFlag{'L', static_cast<std::uint32_t>(flagged % Columns),
                                  static_cast<std::uint32_t>(flagged / Columns)};
                ASSERT_EQ(ApplyMoveDealing(onFlag), DealOutcome::NotDealt);
                ASSERT_TRUE(AwaitingDeal);
            }
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

// The dealer's first layout, worked out here from the seed and the released cell: splitmix64
// seeded with both, the level's mines drawn evenly from the cells free of the released cell and,
// where the others have room, its neighbours.
std::vector<bool> FirstLayout(const LevelRecord& record, std::uint32_t seed, std::size_t first)
{
    std::uint64_t state = (std::uint64_t{seed} << 32) | first;
    const auto below = [&state](std::size_t n) {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return static_cast<std::size_t>((((z ^ (z >> 31)) >> 32) * n) >> 32);
    };
    const std::vector<std::size_t> around = TableNeighbours(record.columns, record.rows, first);
    std::vector<std::size_t> spots;
    for (bool keepNeighbours : {true, false}) {
        spots.clear();
        for (std::size_t i = 0; i < record.grid.size(); ++i) {
            const bool neighbour = std::find(around.begin(), around.end(), i) != around.end();
            if (record.grid[i] != kVoidCell && i != first && !(keepNeighbours && neighbour))
                spots.push_back(i);
        }
        if (spots.size() >= record.mines)
            break;
    }
    std::vector<bool> mine(record.grid.size(), false);
    for (std::size_t placed = 0; placed < record.mines; ++placed) {
        std::swap(spots[placed], spots[placed + below(spots.size() - placed)]);
        mine[spots[placed]] = true;
    }
    return mine;
}

// Where no board without a guess is found, the board is the dealer's first layout, not the last
// one it tried.
TEST(Deal, WithNoProofFoundTheBoardIsTheFirstLayout)
{
    LevelRecord record;
    record.rows = 3;
    record.columns = 5;
    record.mines = 12;
    record.grid.assign(15, kPlayableCell);
    record.grid[4] = kVoidCell;
    int notFound = 0;
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        const std::size_t first = seed % 2 == 0 ? 7 : 10;
        SCOPED_TRACE("seed " + std::to_string(seed));
        const DealtBoard dealt = DealWithoutGuess(record.grid, record.columns, record.rows, record.mines, seed, first);
        if (dealt.proven)
            continue;
        ++notFound;
        const std::vector<bool> mine = FirstLayout(record, seed, first);
        for (std::size_t i = 0; i < mine.size(); ++i)
            EXPECT_EQ(dealt.cells[i] == kMine, mine[i]) << "cell " << i;
    }
    EXPECT_GE(notFound, 3);
}

// Void cells beside a board change nothing: 14 x 36 triangles padded with void rows to the tallest
// grid are dealt the same board with the same work.
TEST(Deal, AShapeAndItsPaddedTwinAreDealtAlike)
{
    LevelRecord shape;
    shape.rows = 14;
    shape.columns = 36;
    shape.mines = 150;
    shape.grid.assign(14 * 36, kPlayableCell);
    LevelRecord padded = shape;
    padded.rows = 255;
    padded.grid.resize(std::size_t{255} * 36, kVoidCell);
    const std::size_t first = 7 * 36 + 17;
    for (std::uint32_t seed : {1u, 2u, 5u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const DealtBoard alone = DealWithoutGuess(shape.grid, 36, 14, shape.mines, seed, first);
        const DealtBoard twin = DealWithoutGuess(padded.grid, 36, 255, padded.mines, seed, first);
        EXPECT_EQ(alone.proven, twin.proven);
        EXPECT_EQ(alone.steps, twin.steps);
        for (std::size_t i = 0; i < twin.cells.size(); ++i)
            ASSERT_EQ(twin.cells[i], i < alone.cells.size() ? alone.cells[i] : kVoidCell) << "cell " << i;
    }
}

}  // namespace
