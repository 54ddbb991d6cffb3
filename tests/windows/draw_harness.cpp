#include "tests/windows/draw_harness.h"

#include <cassert>

#include "game/board.h"
#include "game/platform.h"
#include "ui/draw.h"

Canvas CreateCanvas(int width, int height)
{
    Canvas canvas;
    BITMAPINFO info = TopDownBitmapInfo(width, height);
    void* bits = nullptr;
    canvas.bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    assert(canvas.bitmap != nullptr);
    canvas.dc = CreateCompatibleDC(nullptr);
    canvas.oldBitmap = SelectObject(canvas.dc, canvas.bitmap);
    canvas.bits = static_cast<std::uint32_t*>(bits);
    canvas.width = width;
    canvas.height = height;
    FillWithBackground(canvas);
    return canvas;
}

void DestroyCanvas(Canvas& canvas)
{
    SelectObject(canvas.dc, canvas.oldBitmap);
    DeleteDC(canvas.dc);
    DeleteObject(canvas.bitmap);
    canvas = Canvas{};
}

void FillWithBackground(Canvas& canvas)
{
    GdiFlush();
    const std::uint32_t grey = GetRValue(kBackground) << 16 | GetGValue(kBackground) << 8 | GetBValue(kBackground);
    for (int i = 0; i < canvas.width * canvas.height; ++i)
        canvas.bits[i] = grey;
}

COLORREF CanvasPixel(const Canvas& canvas, int x, int y)
{
    const std::uint32_t v = canvas.bits[y * canvas.width + x];
    return RGB(v >> 16 & 0xFF, v >> 8 & 0xFF, v & 0xFF);
}

void SetBoard(std::uint32_t rows, std::uint32_t columns, std::uint8_t cell)
{
    Rows = rows;
    Columns = columns;
    Board.assign(static_cast<std::size_t>(rows) * columns + 1, cell);
}

// The model's hooks: off screen there is no window, no clock and no mouse message.
void StartClockTimer(PlatformWindow) {}
void StopClockTimer(PlatformWindow) {}
void FitWindowToLevel(PlatformWindow) {}
void InvalidateClientArea(PlatformWindow, bool) {}
void RedrawCell(std::uint32_t, std::uint32_t, int) {}
void RedrawCellRun(std::uint32_t, std::uint32_t, std::uint32_t) {}
void RecordBestTime(PlatformWindow) {}
void RecordPlayedGame(PlatformWindow, const LevelKey&, const FinishedGame&) {}
void ReportDataFileProblem(PlatformWindow, const std::string&) {}
