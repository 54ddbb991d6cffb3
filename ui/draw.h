// Everything the main window shows below its menu bar, drawn straight into a device context:
// the header panel with the two counters and the new-game button, and the cells.
#pragma once

#include <windows.h>

#include <cstdint>

// orientation: 0 for an up-pointing cell, 1 for a down-pointing one.
void DrawCell(HDC dc, std::uint32_t column, std::uint32_t row, int orientation);
void DrawPressedCell(HDC dc, std::uint32_t column, std::uint32_t row, int orientation);
void DrawMineCounter(HDC dc);
void DrawClock(HDC dc);
void DrawPressedButton(HDC dc);

// The whole client area as far as it meets update: the header, the counters and every cell
// whose picture reaches into it. Leaves the device context as it found it.
void DrawWindowContents(HDC dc, const RECT& update);

// The WM_PAINT handler.
void PaintWindow(HWND window);
