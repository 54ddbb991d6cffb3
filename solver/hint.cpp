#include "solver/hint.h"

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

int RealNeighbours(const SeenPosition& position, std::size_t index)
{
    int real = 0;
    ForEachNeighbour(position.columns, position.rows, index,
                     [&](std::size_t neighbour) { real += position.cells[neighbour] != kSeenVoid; });
    return real;
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
    Choice firstRelease, wrongFlag, safeCell, leastLikely;
    const bool beforeFirstRelease = NothingUncovered(position);
    for (std::size_t index = 0; index < cells; ++index) {
        const std::int8_t seen = position.cells[index];
        const double chance = chances.chance[index];
        if (seen == kSeenFlagged && chance == 0.0)
            Consider(wrongFlag, index, 0.0, distance(index));
        if (seen != kSeenHidden)
            continue;
        if (beforeFirstRelease)
            Consider(firstRelease, index, RealNeighbours(position, index), distance(index));
        if (chance == 0.0)
            Consider(safeCell, index, 0.0, distance(index));
        Consider(leastLikely, index, chance, distance(index));
    }
    if (beforeFirstRelease)
        return MakeHint(HintKind::FirstRelease, firstRelease, position, chances);
    if (wrongFlag.found)
        return MakeHint(HintKind::WrongFlag, wrongFlag, position, chances);
    if (safeCell.found)
        return MakeHint(HintKind::SafeCell, safeCell, position, chances);
    return MakeHint(HintKind::LeastLikely, leastLikely, position, chances);
}

BoardHint HintOnBoard(CellPosition near, bool hasNear)
{
    const SeenPosition position = SeenFromBoard();
    BoardHint reading{FindMineChances(position), Hint{}};
    reading.hint = FindHint(position, reading.chances, near, hasNear);
    return reading;
}
