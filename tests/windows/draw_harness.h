// Drawing the game's window off screen: a memory device context over a 32-bit DIB section, and
// the game variables set by hand. Shared by the drawing check and the drawing benchmark.
#pragma once

#include <windows.h>

#include <cstdint>

// The window class's stock grey brush, which the system paints before every full repaint.
const COLORREF kBackground = RGB(128, 128, 128);

struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    std::uint32_t* bits = nullptr;  // top-down rows of 0x00RRGGBB
    int width = 0;
    int height = 0;
};

// A fresh device context, as GetDC would give, over a bitmap filled with the background.
Canvas CreateCanvas(int width, int height);
void DestroyCanvas(Canvas& canvas);
void FillWithBackground(Canvas& canvas);
COLORREF CanvasPixel(const Canvas& canvas, int x, int y);

// A board of rows x columns whose every cell holds the given byte.
void SetBoard(std::uint32_t rows, std::uint32_t columns, std::uint8_t cell);
