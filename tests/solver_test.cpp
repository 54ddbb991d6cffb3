#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <malloc.h>
#include <random>
#include <string>
#include <vector>

#include "data/data_check.h"
#include "data/default_file.h"
#include "game/board.h"
#include "game/cell.h"
#include "game/rules.h"
#include "solver/hint.h"
#include "solver/solver.h"
#include "tests/placements.h"

namespace {

// A random board on the game's globals: mines where the game's dealer can put them, counts,
// everything covered.
void DealBoard(std::mt19937& random, std::uint32_t rows, std::uint32_t columns, double voids, std::uint32_t mines)
{
    Rows = rows;
    Columns = columns;
    Board.assign(GridSize() + 1, kVoidCell);
    std::vector<std::size_t> real;
    const std::vector<bool> reached = IndicesSomeDrawReaches(GridSize());
    for (std::size_t i = 0; i < GridSize(); ++i)
        if (std::uniform_real_distribution<>(0, 1)(random) >= voids) {
            Board[i] = 0;
            if (reached[i])
                real.push_back(i);
        }
    std::shuffle(real.begin(), real.end(), random);
    Mines = std::min<std::uint32_t>(mines, static_cast<std::uint32_t>(real.size()));
    for (std::size_t m = 0; m < Mines; ++m)
        Board[real[m]] = kMine;
    for (std::size_t i = 0; i < GridSize(); ++i)
        if (Board[i] == 0)
            for (std::size_t n : TableNeighbours(Columns, Rows, i))
                Board[i] = static_cast<std::uint8_t>(Board[i] + (Board[n] == kMine));
    for (std::size_t i = 0; i < GridSize(); ++i)
        if (!IsVoid(Board[i]))
            Board[i] = static_cast<std::uint8_t>(Board[i] + kCoveredBase);
    GameState = Idle;
}

// Left releases with the game's rules (floods included), or cells uncovered one by one as no
// game would, or a mine uncovered; then flags, right or wrong.
void PlayRandomly(std::mt19937& random, int releases, bool flood, double flags, double showMine)
{
    const auto any = [&] { return std::uniform_int_distribution<std::size_t>(0, GridSize() - 1)(random); };
    for (int tries = 0; releases > 0 && tries < 20 * releases + 200; ++tries) {
        const std::size_t i = any();
        if (!IsHidden(Board[i]) || UncoveredValue(Board[i]) == kMine)
            continue;
        --releases;
        if (flood)
            Uncover(nullptr, static_cast<std::uint32_t>(i % Columns), static_cast<std::uint32_t>(i / Columns));
        else
            Board[i] = UncoveredValue(Board[i]);
    }
    for (std::size_t i = 0; i < GridSize(); ++i) {
        const double roll = std::uniform_real_distribution<>(0, 1)(random);
        if (IsCovered(Board[i]) && roll < flags)
            Board[i] = static_cast<std::uint8_t>(Board[i] - kCoveredBase + kFlaggedBase);
        else if (IsCovered(Board[i]) && Board[i] == kCoveredMine && roll < flags + showMine)
            Board[i] = kMine;
    }
}

TEST(Solver, ChancesAgreeWithEveryPlacementCounted)
{
    struct Shape {
        std::uint32_t rows, columns;
        double voids;
        std::uint32_t mostMines;
    };
    const Shape shapes[] = {{3, 5, 0.0, 5}, {4, 6, 0.0, 6}, {5, 5, 0.25, 5}, {2, 9, 0.1, 4}, {1, 7, 0.0, 3}};
    std::mt19937 random(24);
    int inconsistent = 0, uncertain = 0;
    for (int round = 0; round < 1500; ++round) {
        const Shape& shape = shapes[round % std::size(shapes)];
        DealBoard(random, shape.rows, shape.columns, shape.voids,
                  std::uniform_int_distribution<std::uint32_t>(0, shape.mostMines)(random));
        PlayRandomly(random, std::uniform_int_distribution<>(0, 6)(random), round % 3 != 0, 0.1,
                     round % 7 == 0 ? 0.2 : 0);
        SeenPosition position = SeenFromBoard();
        if (round % 5 == 4) {  // a count changed: often no placement agrees any more
            const std::size_t i = std::uniform_int_distribution<std::size_t>(0, GridSize() - 1)(random);
            if (position.cells[i] >= 0)
                position.cells[i] = static_cast<std::int8_t>(std::uniform_int_distribution<>(0, 4)(random));
        }
        const Oracle oracle = CountEveryPlacement(position);
        const MineChances found = FindMineChances(position);
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_EQ(found.consistent, oracle.consistent);
        inconsistent += !oracle.consistent;
        EXPECT_FALSE(found.approximate);
        for (std::size_t i = 0; i < position.cells.size() && oracle.consistent; ++i) {
            const double expected = oracle.chance[i];
            ASSERT_NEAR(found.chance[i], expected, 1e-9) << "cell " << i;
            ASSERT_EQ(found.chance[i] == 0.0 || found.chance[i] == 1.0, expected == 0.0 || expected == 1.0)
                << "cell " << i << ": certain exactly when every placement agrees";
            uncertain += expected > 0.0 && expected < 1.0;
        }
    }
    EXPECT_GT(inconsistent, 50);
    EXPECT_GT(uncertain, 1000);
}

std::size_t RealNeighbours(std::size_t i)
{
    std::size_t real = 0;
    for (std::size_t n : TableNeighbours(Columns, Rows, i))
        real += !IsVoid(Board[n]);
    return real;
}

// Before the first release: the chance that the cell and its neighbours hide none of the mines,
// every placement on the real cells being as likely; none for a cell with no neighbour.
double ChanceToOpen(std::size_t i)
{
    std::size_t real = 0;
    for (std::size_t n = 0; n < GridSize(); ++n)
        real += !IsVoid(Board[n]);
    const std::size_t around = RealNeighbours(i);
    if (around == 0 || real < around + 1 + Mines)
        return 0.0;
    const auto logBinomial = [](double n, double k) {
        return std::lgamma(n + 1) - std::lgamma(k + 1) - std::lgamma(n - k + 1);
    };
    return std::exp(logBinomial(static_cast<double>(real - around - 1), Mines) -
                    logBinomial(static_cast<double>(real), Mines));
}

std::uint8_t ValueUnder(std::uint8_t b)
{
    return IsFlagged(b) ? static_cast<std::uint8_t>(b - kFlaggedBase) : IsHidden(b) ? UncoveredValue(b) : b;
}

bool SafeCellHidden()
{
    for (std::size_t i = 0; i < GridSize(); ++i)
        if (IsHidden(Board[i]) && ValueUnder(Board[i]) != kMine)
            return true;
    return false;
}

// What the board holds under every cell the solver calls certain, and every chance together.
void CheckAgainstBoard(const MineChances& found)
{
    ASSERT_TRUE(found.consistent);
    double mines = 0;
    for (std::size_t i = 0; i < GridSize(); ++i) {
        const bool mine = ValueUnder(Board[i]) == kMine;
        ASSERT_FALSE(found.chance[i] == 0.0 && mine) << "cell " << i << " called safe";
        ASSERT_FALSE(found.chance[i] == 1.0 && !mine) << "cell " << i << " called a mine";
        mines += Board[i] == kMine ? 1.0 : std::max(found.chance[i], 0.0);
    }
    // An estimate spreads a count's mines over its cells, so the chances still add up to about the
    // mines there are.
    EXPECT_NEAR(mines, Mines, found.approximate ? 0.05 * Mines : 1e-6);
}

TEST(Solver, OnEveryBuiltInLevelCertainCellsAreWhatTheBoardHolds)
{
    std::mt19937 random(7);
    for (int level = 0; level < 8; ++level) {
        const LevelRecord record = BuiltInLevel(level);
        for (std::uint32_t seed = 1; seed <= 4; ++seed) {
            ASSERT_TRUE(BuildBoard(record, seed));
            GameState = Idle;
            SCOPED_TRACE("level " + std::to_string(level) + " seed " + std::to_string(seed));
            const Hint first = FindHint(SeenFromBoard(), FindMineChances(SeenFromBoard()), {0, 0}, false);
            ASSERT_EQ(first.kind, HintKind::FirstRelease);
            double best = 0.0;
            for (std::size_t i = 0; i < GridSize(); ++i)
                best = IsVoid(Board[i]) ? best : std::max(best, ChanceToOpen(i));
            EXPECT_NEAR(ChanceToOpen(CellIndex(first.cell.column, first.cell.row)), best, 1e-12);
            while (SafeCellHidden()) {
                PlayRandomly(random, 1, true, 0.0, 0.0);
                const SeenPosition position = SeenFromBoard();
                const MineChances found = FindMineChances(position);
                CheckAgainstBoard(found);
                for (std::size_t i = 0; i < GridSize(); ++i)  // some certain mines flagged
                    if (found.chance[i] == 1.0 && IsCovered(Board[i]) && random() % 2)
                        Board[i] = kFlaggedMine;
                const Hint hint = FindHint(position, found, {5, 5}, true);
                if (hint.kind != HintKind::SafeCell)
                    continue;
                std::uint8_t& cell = CellAt(hint.cell.column, hint.cell.row);
                EXPECT_EQ(found.chance[CellIndex(hint.cell.column, hint.cell.row)], 0.0);
                cell = static_cast<std::uint8_t>(cell - kCoveredBase + kFlaggedBase);  // the player flags it
                const Hint wrongFlag = FindHint(SeenFromBoard(), FindMineChances(SeenFromBoard()), {5, 5}, true);
                EXPECT_EQ(wrongFlag.kind, HintKind::WrongFlag);
                EXPECT_EQ(CellIndex(wrongFlag.cell.column, wrongFlag.cell.row),
                          CellIndex(hint.cell.column, hint.cell.row));
                cell = static_cast<std::uint8_t>(cell - kFlaggedBase + kCoveredBase);
                Uncover(nullptr, hint.cell.column, hint.cell.row);
            }
        }
    }
}

// Cells uncovered one by one all over the board, as no game would: many groups, and on a dense
// board one too large to count, which is estimated.
TEST(Solver, AnswersOnLargeBoardsWithManyGroups)
{
    struct Row {
        std::uint32_t size, mines;
        int releases;
        bool estimated;
    };
    std::mt19937 random(255);
    for (const Row& row : {Row{255, 255, 30000, false}, Row{255, 6000, 30000, false}, Row{30, 255, 270, true}}) {
        DealBoard(random, row.size, row.size, 0.05, row.mines);
        PlayRandomly(random, row.releases, false, 0.01, 0.0);
        const MineChances found = FindMineChances(SeenFromBoard());
        EXPECT_EQ(found.approximate, row.estimated) << row.size << " x " << row.size << ", " << row.mines << " mines";
        CheckAgainstBoard(found);
    }
}

// A dense block of the kind too entangled to count, as DealBoard and PlayRandomly leave it.
SeenPosition DenseBlock(std::uint32_t size, std::uint32_t seed)
{
    std::mt19937 random(seed);
    DealBoard(random, size, size, 0.05, 255 * size * size / 900);
    PlayRandomly(random, static_cast<int>(size * size * 3 / 10), false, 0.01, 0.0);
    return SeenFromBoard();
}

// Blocks side by side, two void columns between, out of each other's reach, on rows rows; a block left out stays void.
SeenPosition SideBySide(const std::vector<SeenPosition>& blocks, const std::vector<bool>& kept, std::uint32_t rows)
{
    SeenPosition joined;
    joined.rows = rows;
    for (const SeenPosition& block : blocks)
        joined.columns += block.columns + 2;
    joined.cells.assign(static_cast<std::size_t>(joined.columns) * rows, kSeenVoid);
    std::uint32_t left = 0;
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const SeenPosition& block = blocks[b];
        for (std::uint32_t row = 0; row < block.rows && kept[b]; ++row)
            for (std::uint32_t column = 0; column < block.columns; ++column)
                joined.cells[row * joined.columns + left + column] = block.cells[row * block.columns + column];
        joined.mines += kept[b] ? block.mines : 0;
        left += block.columns + 2;
    }
    return joined;
}

// A group too hard to count beside one that is not: the second, larger, still has its own share
// of the work, and proves beside the first what it proves alone.
TEST(Solver, AGroupTooHardToCountLeavesTheOthersExact)
{
    struct Row {
        std::uint32_t hardSize, hardSeed, size, seed;
    };
    for (const Row& row : {Row{16, 10, 20, 9}, Row{16, 10, 18, 1}}) {
        SeenPosition free;  // hidden cells next to no count
        free.columns = 10;
        free.rows = 24;
        free.mines = 30;
        free.cells.assign(240, kSeenHidden);
        const std::vector<SeenPosition> blocks = {DenseBlock(row.hardSize, row.hardSeed),
                                                  DenseBlock(row.size, row.seed), free};
        const SeenPosition both = SideBySide(blocks, {true, true, true}, 24);
        const SeenPosition alone = SideBySide(blocks, {false, true, true}, 24);
        const MineChances found = FindMineChances(both), foundAlone = FindMineChances(alone);
        ASSERT_TRUE(found.approximate && !foundAlone.approximate);
        int provedAlone = 0;
        for (std::size_t i = 0; i < both.cells.size(); ++i)
            if (IsSeenHidden(alone.cells[i]) && (foundAlone.chance[i] == 0.0 || foundAlone.chance[i] == 1.0)) {
                ++provedAlone;
                EXPECT_EQ(found.chance[i], foundAlone.chance[i]) << "cell " << i;
            }
        EXPECT_GT(provedAlone, 0);
    }
}
// On grids of more than 32768 cells the dealer's draw skips some indices: those are certainly safe.
TEST(Solver, CellsNoDealReachesAreCertainlySafe)
{
    struct Row {
        std::uint32_t size, mines;
        bool someSkipped;
    };
    for (const Row& row : {Row{255, 255, true}, Row{200, 40, true}, Row{150, 100, false}}) {
        LevelRecord record;
        record.rows = record.columns = row.size;
        record.mines = row.mines;
        record.grid.assign(static_cast<std::size_t>(row.size) * row.size, 0);
        ASSERT_TRUE(BuildBoard(record, 1));
        GameState = Idle;
        const std::vector<bool> reached = IndicesSomeDrawReaches(GridSize());
        const MineChances found = FindMineChances(SeenFromBoard());
        std::size_t safe = 0;
        for (std::size_t i = 0; i < GridSize(); ++i) {
            ASSERT_EQ(found.chance[i] == 0.0, !reached[i]) << row.size << ": cell " << i;
            safe += !reached[i];
        }
        EXPECT_EQ(safe > 0, row.someSkipped);
        CheckAgainstBoard(found);
    }
}

// Where H points on positions drawn by hand: '#' hidden, 'F' flagged, '.' no triangle, a digit a
// count; chances given by hand where listed, else the solver's.
TEST(Hint, PointsWhereThePositionSays)
{
    struct Row {
        const char* name;
        std::vector<std::string> rows;
        std::uint32_t mines;
        std::vector<std::pair<CellPosition, double>> chances;  // the other hidden cells 0.5
        bool approximate;
        CellPosition near;
        HintKind kind;
        CellPosition cell;
        const char* words;  // in the message
    };
    const Row table[] = {
        {"an isolated triangle opens nothing",
         {"#..####"},
         1,
         {},
         false,
         {0, 0},
         HintKind::FirstRelease,
         {3, 0},
         "likeliest to open a region"},
        // 3 columns away is 45 pixels, 2 rows 52
        {"the nearer safe cell in pixels",
         {"0####", "#####", "#####"},
         2,
         {{{4, 0}, 0.0}, {{1, 2}, 0.0}},
         false,
         {1, 0},
         HintKind::SafeCell,
         {4, 0},
         ""},
        {"only mines left", {"F..1#1.."}, 2, {}, false, {0, 0}, HintKind::CertainMine, {4, 0}, "flag it"},
        {"only mines left, by an estimate", {"F..1#1.."}, 2, {{{4, 0}, 1.0}}, true, {0, 0}, HintKind::CertainMine,
         {4, 0}, "No triangle was found certainly safe. The triangle under the cursor certainly hides a mine"},
        {"an estimate",
         {"1####"},
         2,
         {{{1, 0}, 0.3}, {{2, 0}, 0.2}},
         true,
         {0, 0},
         HintKind::LeastLikely,
         {2, 0},
         "No triangle was found certainly safe. The cursor is on the one least likely to hide a mine: about 1 in 5."},
        {"counted",
         {"1####"},
         1,
         {{{1, 0}, 0.3}, {{2, 0}, 0.25}},
         false,
         {0, 0},
         HintKind::LeastLikely,
         {2, 0},
         "No triangle is certainly safe. The cursor is on the one least likely to hide a mine: 1 in 4."},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.name);
        SeenPosition position;
        position.rows = static_cast<std::uint32_t>(row.rows.size());
        position.columns = static_cast<std::uint32_t>(row.rows[0].size());
        position.mines = row.mines;
        for (const std::string& text : row.rows)
            for (char c : text)
                position.cells.push_back(c == '#'   ? kSeenHidden
                                         : c == 'F' ? kSeenFlagged
                                         : c == '.' ? kSeenVoid
                                                    : static_cast<std::int8_t>(c - '0'));
        MineChances chances = FindMineChances(position);
        if (!row.chances.empty()) {
            for (std::size_t i = 0; i < position.cells.size(); ++i)
                chances.chance[i] = IsSeenHidden(position.cells[i]) ? 0.5 : -1.0;
            for (const auto& [cell, chance] : row.chances)
                chances.chance[cell.row * position.columns + cell.column] = chance;
            chances.approximate = row.approximate;
        }
        const Hint hint = FindHint(position, chances, row.near, true);
        EXPECT_EQ(hint.kind, row.kind);
        EXPECT_EQ(hint.cell.column * 1000 + hint.cell.row, row.cell.column * 1000 + row.cell.row);
        EXPECT_NE(HintMessage(hint).find(row.words), std::string::npos) << HintMessage(hint);
    }
}

TEST(Hint, ChancesInWordsStayTrue)
{
    struct Row {
        double chance;
        bool approximate;
        const char* words;
    };
    for (const Row& row :
         {Row{1.0 / 12, false, "1 in 12"}, Row{0.5, false, "1 in 2"}, Row{1.0 / 12, true, "about 1 in 12"}, Row{0.3, false, "about 1 in 3"},
          Row{0.7, false, "70 in 100"}, Row{0.7, true, "about 70 in 100"}, Row{0.9999, false, "more than 99 in 100"},
          Row{2e-9, false, "1 in 500000000"}, Row{1e-12, false, "less than 1 in a billion"},
          Row{1e-300, true, "below about 1 in a billion"}})
        EXPECT_EQ(ChanceInWords(row.chance, row.approximate), row.words) << row.chance;
}

// The solver keeps its tables from call to call, but after a small position it holds no more
// than that position needs, however large the one before.
TEST(Solver, TablesShrinkToTheLastPositionsNeeds)
{
    std::mt19937 random(255);
    DealBoard(random, 255, 255, 0.05, 6000);
    PlayRandomly(random, 30000, false, 0.01, 0.0);
    const SeenPosition huge = SeenFromBoard();
    DealBoard(random, 4, 6, 0.0, 5);
    PlayRandomly(random, 3, false, 0.0, 0.0);
    const SeenPosition small = SeenFromBoard();
    const auto inUse = [] { return mallinfo2().uordblks; };
    FindMineChances(small);
    const std::size_t alone = inUse();
    FindMineChances(huge);
    const std::size_t withHuge = inUse();
    FindMineChances(small);
    const std::size_t afterHuge = inUse();
    if (withHuge < alone + 1000000)
        GTEST_SKIP() << "this allocator's use is not counted by mallinfo2";
    EXPECT_LT(afterHuge, alone + 65536) << "holding the huge one " << withHuge - alone;
}

}  // namespace
