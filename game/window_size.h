// How large the main window is for a board: what the game asks of the screen, and what the tool
// warns about. Client pixels, the same on every platform.
#pragma once

#include <cstdint>

constexpr std::int32_t kBoardLeft = 18;        // x of column 0's anchor on a board as wide as the header
constexpr std::int32_t kBoardTop = 42;         // y of row 0's anchor
constexpr std::int32_t kCellPictureSize = 32;  // a cell's picture is 32 x 32
constexpr std::int32_t kColumnStep = 15;       // from one column's anchor to the next
constexpr std::int32_t kRowPitch = 26;         // from one row's anchor to the next

// The client area holds the board with a margin: columns x 15 + 40 by rows x 26 + 46 pixels.
constexpr std::int32_t kClientExtraWidth = 40;
constexpr std::int32_t kClientExtraHeight = 46;

// The classic frame (3 pixels a side), caption and one-line menu bar (19 pixels each) add this
// much to the client area, which makes the outer size columns x 15 + 46 by rows x 26 + 90.
constexpr std::int32_t kClassicFrameWidth = 6;
constexpr std::int32_t kClassicFrameHeight = 44;

// The header's mine counter, new-game button and clock stand side by side without touching from
// this many columns on; a narrower board gets a window as wide as this many columns.
constexpr std::uint32_t kNarrowestHeaderColumns = 11;

struct WindowSize {
    std::int32_t width;
    std::int32_t height;
};

// The columns that the window and its header are laid out for: the board's, or the narrowest
// that the header fits (no board, no header).
std::uint32_t HeaderColumns(std::uint32_t columns);

// Size of the client area that shows the whole board and its header.
WindowSize ClientSizeFor(std::uint32_t rows, std::uint32_t columns);

// Outer size of the window, frame, caption and menu bar included, under the classic metrics.
// The program asks the system for its real frame instead (see OuterWindowSize).
WindowSize WindowSizeFor(std::uint32_t rows, std::uint32_t columns);
