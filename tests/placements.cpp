#include "tests/placements.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "data/default_file.h"

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

std::vector<bool> IndicesSomeDrawReaches(std::size_t cells)
{
    std::vector<bool> reached(cells, false);
    const float scale = static_cast<float>(cells) / 32767.0f;
    for (std::uint32_t draw = 0; draw < 32768; ++draw) {
        const auto index = static_cast<std::size_t>(draw * static_cast<double>(scale));
        if (index < cells)
            reached[index] = true;
    }
    return reached;
}
