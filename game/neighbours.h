// The twelve neighbours of a triangle, the one rule of the board's shape that every walk over a
// neighbourhood follows: three along its edges and nine at its corners, laid out as five cells in
// its own row (itself in the middle), three in the row its apex points to and five in the row its
// flat edge faces. Positions outside the grid are skipped; nothing wraps from row to row.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

// How far the neighbourhood of the cell at (column, row) reaches either way into the row above and
// into the row below: 1 on the apex's side, 2 on the flat edge's. A cell points up when
// column + row is even.
inline std::int32_t ReachAbove(std::int64_t column, std::int64_t row)
{
    return ((column + row) & 1) == 0 ? 1 : 2;
}

inline std::int32_t ReachBelow(std::int64_t column, std::int64_t row)
{
    return 3 - ReachAbove(column, row);
}

// Calls visit with the index of each grid position of row from column - reach to column + reach,
// skipping column itself when skipCentre.
template <typename Visit>
void ForEachInRowReach(std::uint32_t columns, std::int64_t row, std::int64_t column, std::int64_t reach,
                       bool skipCentre, Visit visit)
{
    const std::int64_t last = std::min<std::int64_t>(columns - std::int64_t{1}, column + reach);
    for (std::int64_t c = std::max<std::int64_t>(0, column - reach); c <= last; ++c)
        if (!skipCentre || c != column)
            visit(static_cast<std::size_t>(row * columns + c));
}

// Calls visit with the index of each of the up to twelve neighbours of the cell at index, in
// reading order, voids included: the cells that its count counts.
template <typename Visit>
void ForEachNeighbour(std::uint32_t columns, std::uint32_t rows, std::size_t index, Visit visit)
{
    const auto column = static_cast<std::int64_t>(index % columns);
    const auto row = static_cast<std::int64_t>(index / columns);
    if (row > 0)
        ForEachInRowReach(columns, row - 1, column, ReachAbove(column, row), false, visit);
    ForEachInRowReach(columns, row, column, 2, true, visit);
    if (row + 1 < static_cast<std::int64_t>(rows))
        ForEachInRowReach(columns, row + 1, column, ReachBelow(column, row), false, visit);
}
