#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "game/board.h"
#include "game/cell.h"
#include "game/rules.h"
#include "solver/hint.h"
#include "solver/last_release.h"
#include "tests/placements.h"

namespace {

// Mines laid at random on a small grid of triangles, every cell covered.
void LayBoard(std::mt19937& random, std::uint32_t rows, std::uint32_t columns, std::uint32_t mines)
{
    Rows = rows, Columns = columns, Mines = FlagsLeft = mines;
    std::vector<std::uint8_t> cells(GridSize(), 0);
    std::fill(cells.begin(), cells.begin() + mines, kMine);
    std::shuffle(cells.begin(), cells.end(), random);
    Board.assign(GridSize() + 1, kVoidCell);
    for (std::size_t i = 0; i < GridSize(); ++i) {
        Board[i] = static_cast<std::uint8_t>(cells[i] + kCoveredBase);
        for (std::size_t n : TableNeighbours(columns, rows, i))
            Board[i] = static_cast<std::uint8_t>(Board[i] + (cells[i] != kMine && cells[n] == kMine));
    }
    GameState = Idle;
}

std::string Name(std::size_t i)
{
    return std::to_string(i % Columns) + "," + std::to_string(i / Columns);
}

void Play(char button, std::size_t i)
{
    ApplyMove(Move{button, static_cast<std::uint32_t>(i % Columns), static_cast<std::uint32_t>(i / Columns)});
}

// Covered cells, mines or not.
std::vector<std::size_t> Covered(bool mines)
{
    std::vector<std::size_t> cells;
    for (std::size_t i = 0; i < GridSize(); ++i)
        if (Board[i] >= kCoveredBase && ((Board[i] & 31) == kMine) == mines)
            cells.push_back(i);
    return cells;
}

// The words that may be said of a release on the mine, from every placement counted before it.
std::set<std::string> Judgements(const SeenPosition& before, const Oracle& counted, std::size_t mine)
{
    std::set<std::string> said, safeUnderFlag;
    double least = 2.0;
    for (std::size_t i = 0; i < before.cells.size(); ++i) {
        if (IsSeenHidden(before.cells[i]) && counted.chance[i] == 0.0)
            (before.cells[i] == kSeenHidden ? said : safeUnderFlag)
                .insert("Triangle " + Name(i) + " was certainly safe.");
        if (before.cells[i] == kSeenHidden)
            least = std::min(least, counted.chance[i]);
    }
    if (!said.empty() || !safeUnderFlag.empty())
        return said.empty() ? safeUnderFlag : said;
    const double chance = counted.chance[mine];
    // A chance whose words lie on a rounding's edge (2 in 23 is 1 in 11.5) may be said either way.
    for (const double nudge : {1 - 1e-12, 1 + 1e-12}) {
        const std::string start =
            "No triangle was certainly safe: that one " +
            (chance == 1.0 ? "certainly hid a mine"
                           : "hid a mine with a chance of " + ChanceInWords(chance * nudge, false));
        for (std::size_t i = 0; i < before.cells.size(); ++i)
            if (before.cells[i] == kSeenHidden && counted.chance[i] < chance - 1e-9)
                said.insert(start + ", and triangle " + Name(i) + " was less likely.");
        if (least >= chance - 1e-9)
            said.insert({start + ", the least of any.", start + ", as every one left did."});
    }
    return said;
}

// A count with no flag around it and a safe covered neighbour: that one and all its mines but one
// flagged, so that its chord loses on the last. False when there is none.
bool FlagForLosingChord(std::mt19937& random, std::size_t& count, std::size_t& wrongFlag, std::size_t& mine)
{
    std::vector<std::size_t> counts;
    for (std::size_t i = 0; i < GridSize(); ++i)
        if (Board[i] >= 1 && Board[i] <= 12)
            counts.push_back(i);
    std::shuffle(counts.begin(), counts.end(), random);
    for (std::size_t c : counts) {
        std::vector<std::size_t> mines, free, flags;
        for (std::size_t n : TableNeighbours(Columns, Rows, c))
            (Board[n] < kCoveredBase ? flags : (Board[n] & 31) == kMine ? mines : free).push_back(n);
        if (std::any_of(flags.begin(), flags.end(), [](std::size_t n) { return Board[n] >= 32; }) || free.empty())
            continue;
        count = c, wrongFlag = free[0], mine = mines.back();
        mines.back() = wrongFlag;
        for (std::size_t f : mines)
            Play('R', f);
        return true;
    }
    return false;
}

TEST(LastRelease, SaysWhatEveryPlacementCountedBeforeItSays)
{
    std::mt19937 random(7);
    int chords = 0;
    std::set<std::string> kinds;
    for (int game = 0; game < 400; ++game) {
        LayBoard(random, 3 + game % 2, 7, 3 + static_cast<std::uint32_t>(game % 4));
        for (int release = game % 4; release > 0 && GameState != Over; --release)
            Play('L', Covered(false)[random() % Covered(false).size()]);
        std::size_t count = 0, wrongFlag = 0, mine = Covered(true)[random() % Covered(true).size()];
        const bool chord = GameState != Over && game % 3 == 0 && FlagForLosingChord(random, count, wrongFlag, mine);
        const SeenPosition before = SeenFromBoard();
        const Oracle counted = CountEveryPlacement(before);
        Play(chord ? 'M' : 'L', chord ? count : mine);
        if (!GameWasLost())  // won before the last release
            continue;
        const std::string text = ExplainLoss().message;
        const std::string prefix = !chord
                                       ? ""
                                       : "The chord trusted the flag on triangle " + Name(wrongFlag) + ", which was " +
                                             (counted.chance[wrongFlag] == 0.0 ? "certainly wrong" : "wrong") +
                                             ", and released triangle " + Name(mine) + ". ";
        ASSERT_EQ(text.substr(0, prefix.size()), prefix);
        const std::set<std::string> judgements = Judgements(before, counted, mine);
        EXPECT_EQ(judgements.count(text.substr(prefix.size())), 1u)
            << text << "\nexpected one of: " << *judgements.begin();
        chords += chord;
        for (const char* kind : {"certainly safe.", "the least of any.", "less likely."})
            if (text.find(kind) != std::string::npos)
                kinds.insert(kind);
    }
    EXPECT_GT(chords, 40);
    EXPECT_EQ(kinds.size(), 3u);  // certainly safe, the least of any, another less likely
}

}  // namespace
