#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "game/board.h"
#include "game/cell.h"
#include "game/rules.h"
#include "solver/hint.h"
#include "solver/last_release.h"
#include "tests/placements.h"

namespace {

// A board of mines laid at random on every cell of a small grid, every cell covered.
void LayBoard(std::mt19937& random, std::uint32_t rows, std::uint32_t columns, std::uint32_t mines)
{
    Rows = rows;
    Columns = columns;
    Mines = mines;
    std::vector<std::uint8_t> cells(GridSize(), 0);
    std::fill(cells.begin(), cells.begin() + mines, kMine);
    std::shuffle(cells.begin(), cells.end(), random);
    Board.assign(GridSize() + 1, kVoidCell);
    for (std::size_t i = 0; i < GridSize(); ++i) {
        std::uint8_t value = cells[i];
        for (std::size_t n : TableNeighbours(columns, rows, i))
            value = static_cast<std::uint8_t>(value + (cells[i] != kMine && cells[n] == kMine));
        Board[i] = static_cast<std::uint8_t>(value + kCoveredBase);
    }
    GameState = Idle;
    FlagsLeft = mines;
}

// What the board shows, read by the test itself.
SeenPosition SeenByTest()
{
    SeenPosition position;
    position.columns = Columns;
    position.rows = Rows;
    position.mines = Mines;
    for (std::size_t i = 0; i < GridSize(); ++i) {
        const std::uint8_t b = Board[i];
        position.cells.push_back(b >= 128 || (b >= 64 && b < 128) ? kSeenHidden
                                 : b >= 32                        ? kSeenFlagged
                                                                  : static_cast<std::int8_t>(b));
    }
    return position;
}

std::string Name(std::size_t index)
{
    return std::to_string(index % Columns) + "," + std::to_string(index / Columns);
}

bool IsMine(std::size_t index)
{
    return (Board[index] & 31) == kMine;
}

std::vector<std::size_t> Cells(bool mine, bool covered)
{
    std::vector<std::size_t> cells;
    for (std::size_t i = 0; i < GridSize(); ++i)
        if (IsMine(i) == mine && (Board[i] >= 128) == covered)
            cells.push_back(i);
    return cells;
}

struct Seen {
    int safe = 0, least = 0, lessLikely = 0, chords = 0;
};

// The words about the mine at index released on the position counted, from the text's start.
void CheckJudgement(const std::string& text, const SeenPosition& before, const Oracle& counted, std::size_t mine,
                    Seen& seen)
{
    std::vector<std::size_t> safe, flaggedSafe;
    double least = 2.0;
    for (std::size_t i = 0; i < before.cells.size(); ++i) {
        if (IsSeenHidden(before.cells[i]) && counted.chance[i] == 0.0)
            (before.cells[i] == kSeenHidden ? safe : flaggedSafe).push_back(i);
        if (before.cells[i] == kSeenHidden)
            least = std::min(least, counted.chance[i]);
    }
    if (safe.empty())
        safe = flaggedSafe;
    if (!safe.empty()) {
        ++seen.safe;
        const bool named = std::any_of(safe.begin(), safe.end(), [&](std::size_t i) {
            return text == "Triangle " + Name(i) + " was certainly safe.";
        });
        EXPECT_TRUE(named) << text;
        return;
    }
    const double chance = counted.chance[mine];
    const std::string start =
        "No triangle was certainly safe: that one " +
        (chance == 1.0 ? "certainly hid a mine" : "hid a mine with a chance of " + ChanceInWords(chance, false));
    EXPECT_EQ(text.substr(0, start.size()), start);
    const std::string rest = text.substr(std::min(start.size(), text.size()));
    if (least < chance - 1e-9) {
        ++seen.lessLikely;
        bool named = false;
        for (std::size_t i = 0; i < before.cells.size(); ++i)
            named |= before.cells[i] == kSeenHidden && counted.chance[i] < chance - 1e-9 &&
                     rest == ", and triangle " + Name(i) + " was less likely.";
        EXPECT_TRUE(named) << text;
    } else {
        ++seen.least;
        EXPECT_TRUE(rest == ", the least of any." || (chance == 1.0 && rest == ", as every one left did.")) << text;
    }
}

// A count with no flag around it whose mines are not all its hidden neighbours: a wrong flag and
// all its mines but one flagged, so that its chord loses on that one.
bool SetUpLosingChord(std::mt19937& random, std::size_t& chordCell, std::size_t& wrongFlag, std::size_t& mine)
{
    std::vector<std::size_t> counts;
    for (std::size_t i = 0; i < GridSize(); ++i)
        if (Board[i] >= 1 && Board[i] <= 12)
            counts.push_back(i);
    std::shuffle(counts.begin(), counts.end(), random);
    for (std::size_t c : counts) {
        std::vector<std::size_t> mines, free;
        bool flagged = false;
        for (std::size_t n : TableNeighbours(Columns, Rows, c)) {
            flagged |= Board[n] >= 32 && Board[n] < 64;
            if (Board[n] >= 128)
                (IsMine(n) ? mines : free).push_back(n);
        }
        if (flagged || free.empty() || FlagsLeft < mines.size())
            continue;
        chordCell = c;
        wrongFlag = free[0];
        mine = mines.back();
        mines.pop_back();
        mines.push_back(wrongFlag);
        for (std::size_t f : mines)
            ApplyMove(Move{'R', static_cast<std::uint32_t>(f % Columns), static_cast<std::uint32_t>(f / Columns)});
        return true;
    }
    return false;
}

TEST(LastRelease, AgreesWithEveryPlacementCountedBeforeIt)
{
    std::mt19937 random(7);
    Seen seen;
    for (int game = 0; game < 400; ++game) {
        LayBoard(random, 3 + game % 2, 7, 3 + static_cast<std::uint32_t>(game % 4));
        for (int release = game % 4; release > 0 && GameState != Over; --release) {
            const std::vector<std::size_t> safe = Cells(false, true);
            const std::size_t i = safe[random() % safe.size()];
            ApplyMove(Move{'L', static_cast<std::uint32_t>(i % Columns), static_cast<std::uint32_t>(i / Columns)});
        }
        if (GameState == Over)
            continue;
        std::size_t chordCell = 0, wrongFlag = 0, mine = 0;
        const bool chord = game % 3 == 0 && SetUpLosingChord(random, chordCell, wrongFlag, mine);
        if (!chord) {
            const std::vector<std::size_t> mines = Cells(true, true);
            mine = mines[random() % mines.size()];
        }
        const SeenPosition before = SeenByTest();
        const Oracle counted = CountEveryPlacement(before);
        const std::size_t played = chord ? chordCell : mine;
        ApplyMove(Move{chord ? 'M' : 'L', static_cast<std::uint32_t>(played % Columns),
                       static_cast<std::uint32_t>(played / Columns)});
        ASSERT_TRUE(GameState == Over && GameWasLost());
        std::string text = ExplainLoss().message;
        SCOPED_TRACE(text);
        if (chord) {
            ++seen.chords;
            const std::string trusted = "The chord trusted the flag on triangle " + Name(wrongFlag) + ", which was " +
                                        (counted.chance[wrongFlag] == 0.0 ? "certainly wrong" : "wrong") +
                                        ", and released triangle " + Name(mine) + ". ";
            ASSERT_EQ(text.substr(0, trusted.size()), trusted);
            text = text.substr(trusted.size());
        }
        CheckJudgement(text, before, counted, mine, seen);
    }
    EXPECT_GT(seen.safe, 20);
    EXPECT_GT(seen.least, 20);
    EXPECT_GT(seen.lessLikely, 20);
    EXPECT_GT(seen.chords, 20);
}

TEST(LastRelease, SaysNothingOfAGameNotLost)
{
    std::mt19937 random(3);
    LayBoard(random, 3, 8, 4);
    EXPECT_EQ(ExplainLoss().message, "");
    const std::size_t safe = Cells(false, true)[0];
    ApplyMove(Move{'L', static_cast<std::uint32_t>(safe % Columns), static_cast<std::uint32_t>(safe / Columns)});
    EXPECT_EQ(ExplainLoss().message, "");
}

}  // namespace
