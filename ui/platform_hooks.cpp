// The platform hooks of the game model, for the Windows program.
#include <windows.h>

#include "game/board.h"
#include "game/cell.h"
#include "game/platform.h"
#include "ui/draw.h"
#include "ui/geometry.h"
#include "ui/input.h"
#include "ui/shell.h"
#include "ui/window.h"
#include "ui/window_picture.h"

static HWND AsWindow(PlatformWindow window)
{
    return static_cast<HWND>(window);
}

void StartClockTimer(PlatformWindow window)
{
    if (PlaysUnseen)
        return;
    SetTimer(AsWindow(window), kClockTimerId, kClockTimerPeriod, nullptr);
}

void StopClockTimer(PlatformWindow window)
{
    if (PlaysUnseen)
        return;
    KillTimer(AsWindow(window), kClockTimerId);
}

void FitWindowToLevel(PlatformWindow window)
{
    if (PlaysUnseen)
        return;
    const HWND mainWindow = AsWindow(window);
    const auto style = static_cast<DWORD>(GetWindowLongA(mainWindow, GWL_STYLE));
    ChooseDisplayScale(mainWindow, style, Rows, Columns);
    const WindowSize size = OuterWindowSize(style, Rows, Columns);
    const PixelPoint position = CentredWindowPosition(ScreenWidth, ScreenHeight, size);
    // SWP_NOCOPYBITS: the old client contents are discarded, so the whole client area is painted afresh.
    SetWindowPos(mainWindow, HWND_TOP, position.x, position.y, size.width, size.height, SWP_NOCOPYBITS);
    RedrawPictureOnNextPaint(true);
}

void InvalidateClientArea(PlatformWindow window, bool eraseBackground)
{
    if (PlaysUnseen)
        return;
    RedrawPictureOnNextPaint(eraseBackground);
    InvalidateRect(AsWindow(window), nullptr, eraseBackground ? TRUE : FALSE);
}

// Only a mouse message's handling changes cells, and it draws into the picture meanwhile.
void RedrawCell(std::uint32_t column, std::uint32_t row, int orientation)
{
    if (!PlaysUnseen && MessageDC != nullptr && CellMeetsPicture(column, row))
        DrawCell(MessageDC, column, row, orientation);
}

void RedrawCellRun(std::uint32_t row, std::uint32_t firstColumn, std::uint32_t lastColumn)
{
    for (std::uint32_t column = firstColumn; column <= lastColumn; ++column)
        RedrawCell(column, row, CellOrientation(column, row));
}

void ReportDataFileProblem(PlatformWindow window, const std::string& message)
{
    if (PlaysUnseen)
        return;
    ShowDataFileProblem(AsWindow(window), message);
}

// The game keeps its file closed between reads, so only another program can hold it open here.
bool ReplaceDataFile(const std::string& fresh, const std::string& target, std::string& reason)
{
    // rename fails on Windows when the target exists.
    if (MoveFileExA(fresh.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0)
        return true;
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION)
        reason = "another program has " + target + " open, so it cannot be replaced: close it and save again";
    else
        reason = fresh + " cannot replace " + target + " (Windows error " + std::to_string(error) + ")";
    return false;
}
