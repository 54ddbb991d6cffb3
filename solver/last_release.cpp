#include "solver/last_release.h"

#include <cstddef>
#include <cstdint>
#include <vector>

#include "game/board.h"
#include "game/cell.h"
#include "solver/hint.h"
#include "solver/solver.h"

namespace {

// As in hint.cpp: chances this close are one chance worked out along different roads.
constexpr double kSameChance = 1e-12;

std::size_t IndexOf(CellPosition cell)
{
    return CellIndex(cell.column, cell.row);
}

CellPosition PositionOf(std::size_t index)
{
    return CellPosition{static_cast<std::uint32_t>(index % Columns), static_cast<std::uint32_t>(index / Columns)};
}

// Squared distance between cell centres in the picture, as H measures it.
std::uint64_t Distance(std::size_t a, std::size_t b)
{
    const std::int64_t dc = static_cast<std::int64_t>(a % Columns) - static_cast<std::int64_t>(b % Columns);
    const std::int64_t dr = static_cast<std::int64_t>(a / Columns) - static_cast<std::int64_t>(b / Columns);
    return static_cast<std::uint64_t>(15 * 15 * dc * dc + 26 * 26 * dr * dr);
}

// The cell that wants covers, lowest chance first and then nearest to the mine; ties go to the first
// in reading order.
template <typename Wants> bool BestCell(const MineChances& chances, std::size_t mine, Wants wants, std::size_t& best)
{
    bool found = false;
    for (std::size_t index = 0; index < chances.chance.size(); ++index) {
        if (!wants(index))
            continue;
        const double difference = chances.chance[index] - (found ? chances.chance[best] : 2.0);
        if (difference < -kSameChance || (difference <= kSameChance && Distance(index, mine) < Distance(best, mine)))
            best = index;
        found = true;
    }
    return found;
}

std::string ChanceOfReleased(const MineChances& chances, std::size_t mine)
{
    const double chance = chances.chance[mine];
    return chance == 1.0 ? "that one certainly hid a mine"
                         : "that one hid a mine with a chance of " + ChanceInWords(chance, chances.approximate);
}

// The release of the mine, judged against every hidden triangle of the position.
std::string JudgeRelease(const SeenPosition& before, const MineChances& chances, std::size_t mine,
                         LossExplanation& explanation)
{
    std::size_t other = mine;
    // A flag on a safe triangle is named only where no other one was safe.
    const auto safe = [&](std::size_t i) { return before.cells[i] == kSeenHidden && chances.chance[i] == 0.0; };
    const auto flaggedSafe = [&](std::size_t i) { return before.cells[i] == kSeenFlagged && chances.chance[i] == 0.0; };
    if (BestCell(chances, mine, safe, other) || BestCell(chances, mine, flaggedSafe, other)) {
        explanation.safeCellFound = true;
        explanation.cell = PositionOf(other);
        return "Triangle " + TriangleName(explanation.cell) + " was certainly safe.";
    }
    // An estimate may have missed a proof: only "none was found" stays true.
    const std::string noneSafe =
        chances.approximate ? "No triangle was found certainly safe: " : "No triangle was certainly safe: ";
    const auto unflagged = [&](std::size_t i) { return before.cells[i] == kSeenHidden; };
    const bool less =
        BestCell(chances, mine, unflagged, other) && chances.chance[other] < chances.chance[mine] - kSameChance;
    if (less)
        return noneSafe + ChanceOfReleased(chances, mine) + ", and triangle " + TriangleName(PositionOf(other)) +
               " was less likely.";
    if (chances.chance[mine] == 1.0)
        return noneSafe + ChanceOfReleased(chances, mine) + ", as every one left did.";
    return noneSafe + ChanceOfReleased(chances, mine) + ", the least of any.";
}

bool IsHiddenMine(std::uint8_t b)
{
    return IsHidden(b) && UncoveredValue(b) == kMine;
}

// The chord's first hidden mine in the order it uncovers its neighbours, and a flag around it on
// no mine: the one the solver knew for wrong, if any.
bool ReadChord(const std::vector<std::uint8_t>& before, const MineChances& chances, std::size_t& mine,
               std::size_t& wrongFlag)
{
    bool mineFound = false, flagFound = false;
    for (const CellPosition& around : NeighbourPositions(LastRelease.move.column, LastRelease.move.row)) {
        const std::size_t index = IndexOf(around);
        if (!mineFound && IsHiddenMine(before[index])) {
            mine = index;
            mineFound = true;
        }
        if (IsFlagged(before[index]) && before[index] != kFlaggedMine &&
            (!flagFound || (chances.chance[index] == 0.0 && chances.chance[wrongFlag] != 0.0))) {
            wrongFlag = index;
            flagFound = true;
        }
    }
    return mineFound && flagFound;
}

}  // namespace

std::string TriangleName(CellPosition cell)
{
    return std::to_string(cell.column) + "," + std::to_string(cell.row);
}

LossExplanation ExplainLoss()
{
    LossExplanation explanation;
    if (GameState != Over || !GameWasLost())
        return explanation;
    const std::vector<std::uint8_t> before = BoardBeforeLosingRelease();
    const Move& move = LastRelease.move;
    if (before.size() != GridSize() || move.column >= Columns || move.row >= Rows)
        return explanation;
    const SeenPosition position = SeenFromCells(before);
    const MineChances chances = FindMineChances(position);
    std::size_t mine = IndexOf(CellPosition{move.column, move.row});
    std::size_t wrongFlag = 0;
    std::string chord;
    if (move.button == 'M') {
        if (!ReadChord(before, chances, mine, wrongFlag))
            return explanation;
        chord = "The chord trusted the flag on triangle " + TriangleName(PositionOf(wrongFlag)) + ", which was " +
                (chances.chance[wrongFlag] == 0.0 ? "certainly wrong" : "wrong") + ", and released triangle " +
                TriangleName(PositionOf(mine)) + ". ";
    } else if (!IsHiddenMine(before[mine])) {
        return explanation;
    }
    explanation.cell = PositionOf(mine);
    explanation.message = chord + JudgeRelease(position, chances, mine, explanation);
    return explanation;
}
