// The platform hooks of the game model, for the Windows program.
#include <windows.h>

#include "game/board.h"
#include "game/platform.h"
#include "ui/geometry.h"
#include "ui/shell.h"

static HWND AsWindow(PlatformWindow window)
{
    return static_cast<HWND>(window);
}

void StartClockTimer(PlatformWindow window)
{
    SetTimer(AsWindow(window), kClockTimerId, kClockTimerPeriod, nullptr);
}

void StopClockTimer(PlatformWindow window)
{
    KillTimer(AsWindow(window), kClockTimerId);
}

void FitWindowToLevel(PlatformWindow window)
{
    const WindowSize size = WindowSizeFor(Rows, Columns);
    const PixelPoint position = CentredWindowPosition(ScreenWidth, ScreenHeight, size);
    // SWP_NOCOPYBITS: the old client contents are discarded, so the whole client area is painted afresh.
    SetWindowPos(AsWindow(window), HWND_TOP, position.x, position.y, size.width, size.height, SWP_NOCOPYBITS);
}

void InvalidateClientArea(PlatformWindow window, bool eraseBackground)
{
    InvalidateRect(AsWindow(window), nullptr, eraseBackground ? TRUE : FALSE);
}

// Cells are not drawn yet: the whole window is repainted by the next paint message.
void RedrawCell(std::uint32_t, std::uint32_t, int) {}

// Until the best-times table is built, a win is only announced.
void RecordBestTime(PlatformWindow window)
{
    MessageBoxA(AsWindow(window), "You win!", "", MB_OK);
}

void ReportDataFileProblem(PlatformWindow window, const std::string& message)
{
    ShutdownForDataFileProblem(AsWindow(window), message);
}
