// Everything the main window shows below its menu bar, drawn straight into a device context:
// the header panel with the two counters and the new-game button, and the cells.
#pragma once

#include <windows.h>

#include <cstdint>

// The DPI that pictures and fonts are designed for.
constexpr UINT kStandardDpi = 96;

// The screen's DPI as the system reports it; kStandardDpi when it reports none.
UINT SystemDpi();

// A 32-bit bitmap of width x height pixels, rows top-down, as CreateDIBSection and GetDIBits take it.
BITMAPINFO TopDownBitmapInfo(int width, int height);

// The cell and button pictures, in the order in which start-up loads them.
enum Picture {
    kCoveredUpPicture,
    kCoveredDownPicture,
    kPressedUpPicture,
    kPressedDownPicture,
    kUncoveredUpPicture,
    kUncoveredDownPicture,
    kMinePicture,
    kFlagPicture,
    kNewGameButtonPicture,
    kPictureCount
};
extern HICON Pictures[kPictureCount];  // loaded once, kept for the whole run

// Loads the pictures at their own 32 x 32 size, whatever the screen's DPI, and turns them into the
// mask and colour bitmaps that every picture is drawn from, once at start-up. False, with nothing
// left made, when the system cannot make them.
bool LoadPictures(HINSTANCE instance);
// Releases the pictures and what was prepared from them, at the end.
void ReleasePictures();

// The font of the counts, question marks and counters at its 96-DPI size: what a device context
// holds from the start, which at 96 DPI is the stock system font itself.
extern HGDIOBJ TextFont;

// Draws every picture with DrawIcon, as the program did before the prepared bitmaps: for the
// drawing benchmark's comparison only.
extern bool DrawWithIcons;

// What DrawCell, DrawPressedCell and the counters and button drew, in the coordinates of the
// device context they drew into, since it was last emptied (right <= left when nothing was).
extern RECT DrawnArea;

// Adds a rectangle to DrawnArea.
void MarkDrawn(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);

// orientation: 0 for an up-pointing cell, 1 for a down-pointing one.
void DrawCell(HDC dc, std::uint32_t column, std::uint32_t row, int orientation);
void DrawPressedCell(HDC dc, std::uint32_t column, std::uint32_t row, int orientation);
void DrawMineCounter(HDC dc);
void DrawClock(HDC dc);
void DrawPressedButton(HDC dc);

// The whole client area as far as it meets update: the header, the counters and every cell
// whose picture reaches into it. Leaves the device context as it found it.
void DrawWindowContents(HDC dc, const RECT& update);
