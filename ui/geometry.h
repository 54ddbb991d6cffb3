// Where everything lies in the main window, in client pixels (origin at the top-left corner of
// the client area, x to the right, y downwards). Nothing here depends on the platform: the
// layout follows from the level's rows and columns alone.
#pragma once

#include <cstdint>

#include "game/window_size.h"

// What HitTest finds under the pointer, the same codes as PressedCell's kind.
constexpr std::uint8_t kNoCell = 0;
constexpr std::uint8_t kUpCell = 1;
constexpr std::uint8_t kDownCell = 2;

struct PixelPoint {
    std::int32_t x;
    std::int32_t y;
};

struct PixelRect {  // both corners included
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

struct HeaderLayout {
    PixelRect panel;               // the raised panel behind counters and button
    PixelPoint mineCounterBox[4];  // closed outline, corner by corner
    PixelPoint clockBox[4];
    std::int32_t mineCounterCentre;  // x on which the mine counter's text is centred
    std::int32_t clockCentre;
    std::int32_t counterTextTop;  // top edge of both counters' text
    PixelPoint button;            // new-game button picture, released
    PixelPoint pressedButton;     // the same, pressed: one pixel right and down
    PixelRect buttonActive;       // where a press or release counts as on the button
};

// x of column 0's anchor: a board narrower than the header stands in the middle of the window.
std::int32_t BoardLeft(std::uint32_t columns);

// Top-left corner of a cell's 32 x 32 picture on the current board.
PixelPoint CellAnchor(std::uint32_t column, std::uint32_t row);

// B: half the width of the header's columns, the horizontal origin of the new-game button.
std::int32_t NewGameButtonBase(std::uint32_t columns);

HeaderLayout LayoutHeader(std::uint32_t columns);

// Left edge of a text of the given width centred on x = centre.
std::int32_t CentredTextLeft(std::int32_t centre, std::int32_t textWidth);

// Where a window of the given size is centred on a screen of the given size. A window larger
// than the screen goes to the screen's edge (0) rather than far off it.
PixelPoint CentredWindowPosition(std::int32_t screenWidth, std::int32_t screenHeight, WindowSize size);

// The cell under a pointer at (x, y) of the current board: kNoCell, kUpCell or kDownCell.
// column and row are written only when the pointer lies on a column's triangle, which includes
// a column past the last one (result kNoCell); otherwise they keep what the caller had in them.
std::uint8_t HitTest(std::uint32_t x, std::uint32_t y, std::uint32_t& column, std::uint32_t& row);

bool IsOnNewGameButton(std::uint32_t x, std::uint32_t y);
