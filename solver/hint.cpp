#include "solver/hint.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "game/neighbours.h"

namespace {

// Squared distance between cell centres in the picture: a column is 15 pixels across, a row 26
// pixels down.
std::uint64_t Distance(std::size_t index, std::uint32_t columns, CellPosition near)
{
    const std::int64_t dc = static_cast<std::int64_t>(index % columns) - near.column;
    const std::int64_t dr = static_cast<std::int64_t>(index / columns) - near.row;
    return static_cast<std::uint64_t>(15 * 15 * dc * dc + 26 * 26 * dr * dr);
}

// Chances this close are the same chance worked out along different roads: the last bits of
// exp and log differ between libraries, and ties must go the same way everywhere.
constexpr double kSameChance = 1e-12;

// Cells are looked at in reading order, and a later one wins only when it is strictly better,
// so ties go to the first.
struct Choice {
    bool found = false;
    std::size_t index = 0;
    double rank = 0.0;  // smaller is better, before the distance
    std::uint64_t distance = 0;
};

void Consider(Choice& choice, std::size_t index, double rank, std::uint64_t distance)
{
    const bool sameRank = std::fabs(rank - choice.rank) <= kSameChance;
    if (choice.found && ((rank > choice.rank && !sameRank) || (sameRank && distance >= choice.distance)))
        return;
    choice = Choice{true, index, rank, distance};
}

// Before the first release, with m mines on the n cells that can hold one: the chance that a
// release here finds the cell and every neighbour free, so that it opens a region: C(n - k, m) /
// C(n, m), k being how many of the cell and its neighbours can hold a mine. A cell with no
// neighbour opens nothing more than itself.
double ChanceToOpenRegion(const SeenPosition& position, std::size_t index, std::uint32_t canHold)
{
    int real = 0;
    std::uint32_t mayHide = CanHoldMine(position, index);
    ForEachNeighbour(position.columns, position.rows, index, [&](std::size_t neighbour) {
        real += position.cells[neighbour] != kSeenVoid;
        mayHide += position.cells[neighbour] != kSeenVoid && CanHoldMine(position, neighbour);
    });
    if (real == 0)
        return 0.0;
    const double n = canHold, m = position.mines;
    double chance = 1.0;
    for (std::uint32_t i = 0; i < mayHide; ++i)
        chance *= std::max(n - m - i, 0.0) / (n - i);
    return chance;
}

std::uint32_t CellsThatCanHoldMine(const SeenPosition& position)
{
    std::uint32_t cells = 0;
    for (std::size_t index = 0; index < position.cells.size(); ++index)
        cells += position.cells[index] != kSeenVoid && CanHoldMine(position, index);
    return cells;
}

bool NothingUncovered(const SeenPosition& position)
{
    for (std::int8_t seen : position.cells)
        if (seen >= 0 || seen == kSeenMine)
            return false;
    return true;
}

Hint MakeHint(HintKind kind, const Choice& choice, const SeenPosition& position, const MineChances& chances)
{
    if (!choice.found)
        return Hint{};
    Hint hint;
    hint.kind = kind;
    hint.cell = CellPosition{static_cast<std::uint32_t>(choice.index % position.columns),
                             static_cast<std::uint32_t>(choice.index / position.columns)};
    hint.chance = chances.chance[choice.index];
    hint.approximate = chances.approximate;
    return hint;
}

}  // namespace

Hint FindHint(const SeenPosition& position, const MineChances& chances, CellPosition near, bool hasNear)
{
    const std::size_t cells = position.cells.size();
    if (position.columns == 0 || cells != chances.chance.size())
        return Hint{};
    const auto distance = [&](std::size_t index) { return hasNear ? Distance(index, position.columns, near) : 0; };
    Choice firstRelease, wrongFlag, safeCell, certainMine, leastLikely;
    const bool beforeFirstRelease = NothingUncovered(position);
    const std::uint32_t canHold = beforeFirstRelease ? CellsThatCanHoldMine(position) : 0;
    for (std::size_t index = 0; index < cells; ++index) {
        const std::int8_t seen = position.cells[index];
        const double chance = chances.chance[index];
        if (seen == kSeenFlagged && chance == 0.0)
            Consider(wrongFlag, index, 0.0, distance(index));
        if (seen != kSeenHidden)
            continue;
        if (beforeFirstRelease)
            Consider(firstRelease, index, -ChanceToOpenRegion(position, index, canHold), distance(index));
        if (chance == 0.0)
            Consider(safeCell, index, 0.0, distance(index));
        if (chance == 1.0)
            Consider(certainMine, index, 0.0, distance(index));
        Consider(leastLikely, index, chance, distance(index));
    }
    if (beforeFirstRelease)
        return MakeHint(HintKind::FirstRelease, firstRelease, position, chances);
    if (wrongFlag.found)
        return MakeHint(HintKind::WrongFlag, wrongFlag, position, chances);
    if (safeCell.found)
        return MakeHint(HintKind::SafeCell, safeCell, position, chances);
    if (certainMine.found)
        return MakeHint(HintKind::CertainMine, certainMine, position, chances);
    return MakeHint(HintKind::LeastLikely, leastLikely, position, chances);
}

std::string ChanceInWords(double chance, bool approximate)
{
    // Past a billion, 1 / chance would be a number no reader takes in, and overflow a 32-bit long.
    if (chance < 1e-9)
        return approximate ? "below about 1 in a billion" : "less than 1 in a billion";
    const bool rare = chance <= 0.5;
    const double figure = rare ? 1.0 / chance : chance * 100.0;
    const long long rounded = std::llround(figure);
    if (!rare && rounded >= 100)
        return approximate ? "above about 99 in 100" : "more than 99 in 100";
    const std::string words = rare ? "1 in " + std::to_string(rounded) : std::to_string(rounded) + " in 100";
    const bool exact = !approximate && std::fabs(figure - static_cast<double>(rounded)) < 1e-6;
    return exact ? words : "about " + words;
}

const char* const kBeforeDealMessage =
    "No guessing is on: the board is dealt at your first release, with that triangle free and its neighbours too "
    "wherever the level leaves room, so any first release is safe.";

std::string HintMessage(const Hint& hint)
{
    // An estimate may have missed a proof: only "none was found" stays true.
    const std::string noneSafe =
        hint.approximate ? "No triangle was found certainly safe." : "No triangle is certainly safe.";
    switch (hint.kind) {
    case HintKind::FirstRelease:
        return "Nothing is uncovered yet. The cursor is on a triangle whose release is the likeliest to open a "
               "region around it.";
    case HintKind::WrongFlag:
        return "The flag under the cursor cannot be right: that triangle is certainly safe.";
    case HintKind::CertainMine:
        return noneSafe + " The triangle under the cursor certainly hides a mine: flag it.";
    case HintKind::LeastLikely:
        return noneSafe + " The cursor is on the one least likely to hide a mine: " +
               ChanceInWords(hint.chance, hint.approximate) + ".";
    default:
        return "";
    }
}

BoardHint HintOnBoard(CellPosition near, bool hasNear)
{
    const SeenPosition position = SeenFromBoard();
    BoardHint reading{FindMineChances(position), Hint{}};
    reading.hint = FindHint(position, reading.chances, near, hasNear);
    return reading;
}
