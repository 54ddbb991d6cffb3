// libFuzzer target: any bytes as a position the player might see, put through the solver and the
// hint. Never a crash; every hidden cell's chance between 0 and 1 and every other cell's -1; a
// consistent, exactly counted position's chances add up to the mines not shown; the hint names a
// cell of the grid.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "solver/hint.h"
#include "solver/solver.h"

// The first bytes give the grid and the mines; then each byte a cell, its low four bits a count 0 to
// 12, or hidden, flagged, no triangle, an uncovered mine. Cells past the input are hidden.
static SeenPosition PositionOf(const std::uint8_t* data, std::size_t size)
{
    SeenPosition position;
    if (size < 3)
        return position;
    position.columns = 1u + data[0] % 64u;
    position.rows = 1u + data[1] % 64u;
    position.mines = data[2];
    const std::int8_t kinds[] = {kSeenHidden, kSeenFlagged, kSeenVoid, kSeenMine};
    position.cells.resize(static_cast<std::size_t>(position.columns) * position.rows, kSeenHidden);
    for (std::size_t i = 0; i < position.cells.size() && 3 + i < size; ++i) {
        const int value = data[3 + i] & 15;
        position.cells[i] = value <= 12 ? static_cast<std::int8_t>(value) : kinds[value - 13 + (data[3 + i] >> 7)];
    }
    return position;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const SeenPosition position = PositionOf(data, size);
    if (position.cells.empty())
        return 0;
    const MineChances chances = FindMineChances(position);
    if (chances.chance.size() != position.cells.size())
        std::abort();
    double sum = 0.0, shown = 0.0, hidden = 0.0;
    for (std::size_t i = 0; i < position.cells.size(); ++i) {
        const double chance = chances.chance[i];
        shown += position.cells[i] == kSeenMine;
        if (!IsSeenHidden(position.cells[i])) {
            if (chance != -1.0)
                std::abort();
            continue;
        }
        if (!(chance >= 0.0 && chance <= 1.0))
            std::abort();
        sum += chance;
        hidden += 1.0;
    }
    if (chances.consistent && !chances.approximate && std::fabs(sum - (position.mines - shown)) > 1e-6 * (hidden + 1))
        std::abort();
    const Hint hint = FindHint(position, chances, CellPosition{data[0] % 64u, data[1] % 64u}, (size & 1) != 0);
    if (hint.kind != HintKind::None && (hint.cell.column >= position.columns || hint.cell.row >= position.rows))
        std::abort();
    return 0;
}
