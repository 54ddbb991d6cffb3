#include "ui/geometry.h"

#include <cassert>

#include "game/board.h"

namespace {

// A pair of columns, one up- and one down-pointing triangle, repeats every 30 pixels.
constexpr auto kColumnPairPeriod = static_cast<std::uint32_t>(2 * kColumnStep);

// Even columns' triangles lie exactly at their anchors. Odd columns are measured from 34, not
// from 33 as the 15-pixel step would give: their sensitive triangles lie one pixel right of
// their pictures, which leaves a two-pixel gap after every even column and none after an odd one.
constexpr auto kEvenColumnsLeft = static_cast<std::uint32_t>(kBoardLeft);
constexpr auto kOddColumnsLeft = static_cast<std::uint32_t>(kBoardLeft + kColumnStep + 1);

// The lowest pixel line of every row belongs to no cell.
constexpr auto kDeadLine = static_cast<std::uint32_t>(kRowPitch - 1);

struct Span {  // both ends included
    std::uint32_t first;
    std::uint32_t last;
};

bool Contains(Span span, std::uint32_t x)
{
    return x >= span.first && x <= span.last;
}

// An up-pointing triangle on pixel line 2h or 2h + 1 of its row: 2 pixels wide at the top.
Span ApexSpan(std::uint32_t h)
{
    return Span{12 - h, 13 + h};
}

// A down-pointing triangle on the same line: 26 pixels wide at the top.
Span BaseSpan(std::uint32_t h)
{
    return Span{h, 25 - h};
}

std::uint8_t UpOrDown(bool pointsUp)
{
    return pointsUp ? kUpCell : kDownCell;
}

}  // namespace

std::int32_t BoardLeft(std::uint32_t columns)
{
    return kBoardLeft + static_cast<std::int32_t>(HeaderColumns(columns) - columns) * kColumnStep / 2;
}

PixelPoint CellAnchor(std::uint32_t column, std::uint32_t row)
{
    return PixelPoint{BoardLeft(Columns) + kColumnStep * static_cast<std::int32_t>(column),
                      kBoardTop + kRowPitch * static_cast<std::int32_t>(row)};
}

std::int32_t NewGameButtonBase(std::uint32_t columns)
{
    return static_cast<std::int32_t>(HeaderColumns(columns)) * kColumnStep / 2;
}

HeaderLayout LayoutHeader(std::uint32_t columns)
{
    const std::int32_t c = static_cast<std::int32_t>(HeaderColumns(columns)) * kColumnStep;
    const std::int32_t b = NewGameButtonBase(columns);
    HeaderLayout layout{};
    layout.panel = PixelRect{27, 4, c + 14, 37};
    layout.mineCounterBox[0] = PixelPoint{30, 7};
    layout.mineCounterBox[1] = PixelPoint{86, 7};
    layout.mineCounterBox[2] = PixelPoint{86, 32};
    layout.mineCounterBox[3] = PixelPoint{30, 32};
    layout.clockBox[0] = PixelPoint{c + 9, 7};
    layout.clockBox[1] = PixelPoint{c + 9, 32};
    layout.clockBox[2] = PixelPoint{c - 47, 32};
    layout.clockBox[3] = PixelPoint{c - 47, 7};
    layout.mineCounterCentre = 58;
    layout.clockCentre = c - 18;
    layout.counterTextTop = 12;
    layout.button = PixelPoint{b + 6, 5};
    layout.pressedButton = PixelPoint{b + 7, 6};
    layout.buttonActive = PixelRect{b + 8, 7, b + 33, 33};
    return layout;
}

std::int32_t CentredTextLeft(std::int32_t centre, std::int32_t textWidth)
{
    assert(textWidth >= 0);
    return centre - textWidth / 2;
}

static std::int32_t CentredStart(std::int32_t screenExtent, std::int32_t windowExtent)
{
    if (windowExtent > screenExtent)
        return 0;
    return (screenExtent - windowExtent) / 2;
}

PixelPoint CentredWindowPosition(std::int32_t screenWidth, std::int32_t screenHeight, WindowSize size)
{
    return PixelPoint{CentredStart(screenWidth, size.width), CentredStart(screenHeight, size.height)};
}

std::uint8_t HitTest(std::uint32_t pointerX, std::uint32_t y, std::uint32_t& column, std::uint32_t& row)
{
    const auto shift = static_cast<std::uint32_t>(BoardLeft(Columns) - kBoardLeft);
    if (GameState == Over || pointerX < shift)
        return kNoCell;
    const std::uint32_t x = pointerX - shift;
    if (y < static_cast<std::uint32_t>(kBoardTop))
        return kNoCell;
    const std::uint32_t e = y - static_cast<std::uint32_t>(kBoardTop);
    const std::uint32_t hitRow = e / static_cast<std::uint32_t>(kRowPitch);
    if (hitRow >= Rows)
        return kNoCell;
    const std::uint32_t line = e % static_cast<std::uint32_t>(kRowPitch);
    if (line == kDeadLine)
        return kNoCell;

    const std::uint32_t h = line / 2;
    const bool evenRow = hitRow % 2 == 0;
    const Span evenColumnSpan = evenRow ? ApexSpan(h) : BaseSpan(h);
    const Span oddColumnSpan = evenRow ? BaseSpan(h) : ApexSpan(h);

    if (x > kEvenColumnsLeft && Contains(evenColumnSpan, (x - kEvenColumnsLeft) % kColumnPairPeriod)) {
        column = 2 * ((x - kEvenColumnsLeft) / kColumnPairPeriod);
        row = hitRow;
        return column >= Columns ? kNoCell : UpOrDown(evenRow);
    }
    if (x <= kOddColumnsLeft)
        return kNoCell;
    if (!Contains(oddColumnSpan, (x - kOddColumnsLeft) % kColumnPairPeriod))
        return kNoCell;
    column = 2 * ((x - kOddColumnsLeft) / kColumnPairPeriod) + 1;
    row = hitRow;
    return column >= Columns ? kNoCell : UpOrDown(!evenRow);
}

bool IsOnNewGameButton(std::uint32_t x, std::uint32_t y)
{
    const PixelRect active = LayoutHeader(Columns).buttonActive;
    return x >= static_cast<std::uint32_t>(active.left) && x <= static_cast<std::uint32_t>(active.right) &&
           y >= static_cast<std::uint32_t>(active.top) && y <= static_cast<std::uint32_t>(active.bottom);
}
