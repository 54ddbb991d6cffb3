#include "game/mine_draw.h"

#include "game/cell.h"

static thread_local std::uint32_t RandomState;  // state of the linear congruential generator

void SeedRandom(std::uint32_t seed)
{
    RandomState = seed;
}

std::uint32_t NextRandom()
{
    RandomState = RandomState * 214013u + 2531011u;
    return (RandomState >> 16) & 0x7FFFu;
}

float MineScale(std::size_t cells)
{
    return static_cast<float>(cells) / static_cast<float>(kLargestDraw);
}

std::size_t MineIndexForDraw(std::uint32_t draw, float scale)
{
    return static_cast<std::size_t>(static_cast<double>(draw) * static_cast<double>(scale));
}

std::vector<bool> DrawnIndices(std::size_t cells)
{
    // Every hint and every position a player solves asks again for the same grid: the 32768 draws
    // are walked once for it.
    static thread_local std::vector<bool> drawn;
    if (drawn.size() == cells && cells > 0)
        return drawn;
    const float scale = MineScale(cells);
    drawn.assign(cells, false);
    for (std::uint32_t draw = 0; draw <= kLargestDraw; ++draw) {
        const std::size_t index = MineIndexForDraw(draw, scale);
        if (index < cells)
            drawn[index] = true;
    }
    return drawn;
}

std::size_t CountDrawableCells(const std::vector<std::uint8_t>& grid)
{
    const std::vector<bool> drawable = DrawnIndices(grid.size());
    std::size_t count = 0;
    for (std::size_t index = 0; index < grid.size(); ++index)
        if (drawable[index] && grid[index] == kPlayableCell)
            ++count;
    return count;
}
