#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "data/data_check.h"
#include "data/default_file.h"
#include "game/board.h"
#include "game/cell.h"
#include "solver/hint.h"
#include "game/rules.h"
#include "solver/solver.h"

namespace {

// The twelve neighbours from the grid's table, written apart from the solver's walk.
std::vector<std::size_t> TableNeighbours(std::uint32_t columns, std::uint32_t rows, std::size_t index)
{
    const int column = static_cast<int>(index % columns), row = static_cast<int>(index / columns);
    const bool up = (row + column) % 2 == 0;
    const int spans[3][2] = {{up ? -1 : -2, up ? 1 : 2}, {-2, 2}, {up ? -2 : -1, up ? 2 : 1}};
    std::vector<std::size_t> around;
    for (int dr = -1; dr <= 1; ++dr)
        for (int dc = spans[dr + 1][0]; dc <= spans[dr + 1][1]; ++dc) {
            const int r = row + dr, c = column + dc;
            if ((dr != 0 || dc != 0) && r >= 0 && r < static_cast<int>(rows) && c >= 0 && c < static_cast<int>(columns))
                around.push_back(static_cast<std::size_t>(r) * columns + static_cast<std::size_t>(c));
        }
    return around;
}

struct Oracle {
    bool consistent = false;
    std::vector<double> chance;
};

// Every placement of the mines not shown on the hidden cells, each checked against every count.
Oracle CountEveryPlacement(const SeenPosition& p)
{
    std::vector<std::size_t> hidden;
    std::vector<int> bitOf(p.cells.size(), -1);
    int shown = 0;
    for (std::size_t i = 0; i < p.cells.size(); ++i) {
        shown += p.cells[i] == kSeenMine;
        if (IsSeenHidden(p.cells[i])) {
            bitOf[i] = static_cast<int>(hidden.size());
            hidden.push_back(i);
        }
    }
    struct Rule {
        std::uint64_t mask;
        int need;
    };
    std::vector<Rule> rules;
    for (std::size_t i = 0; i < p.cells.size(); ++i) {
        if (p.cells[i] < 0)
            continue;
        Rule rule{0, p.cells[i]};
        for (std::size_t n : TableNeighbours(p.columns, p.rows, i)) {
            rule.need -= p.cells[n] == kSeenMine;
            if (bitOf[n] >= 0)
                rule.mask |= std::uint64_t{1} << bitOf[n];
        }
        rules.push_back(rule);
    }
    Oracle oracle;
    oracle.chance.assign(p.cells.size(), -1.0);
    const int mines = static_cast<int>(p.mines) - shown, n = static_cast<int>(hidden.size());
    if (mines < 0 || mines > n)
        return oracle;
    std::vector<double> withMine(hidden.size(), 0.0);
    double total = 0;
    // Every n-bit set with `mines` bits, in increasing order.
    for (std::uint64_t set = (std::uint64_t{1} << mines) - 1; set < (std::uint64_t{1} << n) || (n == 0 && set == 0);) {
        bool agrees = true;
        for (const Rule& rule : rules)
            agrees = agrees && __builtin_popcountll(set & rule.mask) == rule.need;
        if (agrees) {
            ++total;
            for (int b = 0; b < n; ++b)
                withMine[static_cast<std::size_t>(b)] += static_cast<double>((set >> b) & 1);
        }
        if (set == 0)
            break;
        const std::uint64_t low = set & (~set + 1), ripple = set + low;
        set = ripple | (((set ^ ripple) >> 2) / low);
    }
    oracle.consistent = total > 0;
    for (std::size_t b = 0; b < hidden.size() && oracle.consistent; ++b)
        oracle.chance[hidden[b]] = withMine[b] / total;
    return oracle;
}

// A random board on the game's globals: mines, counts, everything covered.
void DealBoard(std::mt19937& random, std::uint32_t rows, std::uint32_t columns, double voids, std::uint32_t mines)
{
    Rows = rows;
    Columns = columns;
    Board.assign(GridSize() + 1, kVoidCell);
    std::vector<std::size_t> real;
    for (std::size_t i = 0; i < GridSize(); ++i)
        if (std::uniform_real_distribution<>(0, 1)(random) >= voids) {
            Board[i] = 0;
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

LevelRecord BuiltInLevel(int level)
{
    const std::vector<std::uint8_t> bytes = DefaultDataFileBytes();
    std::FILE* file = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    LevelRecord record;
    EXPECT_TRUE(FindLevelProblems(file, "kelbo.dat", level, record).empty());
    std::fclose(file);
    return record;
}

std::size_t RealNeighbours(std::size_t i)
{
    std::size_t real = 0;
    for (std::size_t n : TableNeighbours(Columns, Rows, i))
        real += !IsVoid(Board[n]);
    return real;
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
    if (!found.approximate) {
        EXPECT_NEAR(mines, Mines, 1e-6);
    }
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
            std::size_t fewest = 12;
            for (std::size_t i = 0; i < GridSize(); ++i)
                fewest = IsVoid(Board[i]) ? fewest : std::min(fewest, RealNeighbours(i));
            EXPECT_EQ(RealNeighbours(CellIndex(first.cell.column, first.cell.row)), fewest);
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

}  // namespace
