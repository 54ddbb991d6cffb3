#include "ui/hint_key.h"

#include <algorithm>
#include <string>

#include "game/board.h"
#include "game/cell_cursor.h"
#include "solver/hint.h"
#include "solver/last_release.h"
#include "ui/geometry.h"
#include "ui/input.h"
#include "ui/keyboard.h"
#include "ui/window_picture.h"

namespace {

RECT HintedCellOnScreen;  // what the message about to open must leave in sight
HHOOK MessagePlacer;

// The message goes above or below the cell, on the side with more room, centred across the
// window; beside the cell when neither side has room for it. Kept on the cell's screen.
void MoveAwayFromCell(HWND message, HWND window)
{
    RECT box{}, owner{};
    GetWindowRect(message, &box);
    GetWindowRect(window, &owner);
    const LONG width = box.right - box.left, height = box.bottom - box.top, gap = 8;
    const RECT& cell = HintedCellOnScreen;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromRect(&cell, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& screen = monitor.rcWork;
    const LONG above = cell.top - screen.top, below = screen.bottom - cell.bottom;
    LONG x = (owner.left + owner.right - width) / 2;
    LONG y = above >= below ? cell.top - gap - height : cell.bottom + gap;
    if (height + gap > std::max(above, below)) {
        const LONG left = cell.left - screen.left, right = screen.right - cell.right;
        x = left >= right ? cell.left - gap - width : cell.right + gap;
        y = (cell.top + cell.bottom - height) / 2;
    }
    x = std::max(screen.left, std::min(x, screen.right - width));
    y = std::max(screen.top, std::min(y, screen.bottom - height));
    SetWindowPos(message, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The first window to activate while the hook is set is the message box.
LRESULT CALLBACK PlaceMessage(int code, WPARAM wParam, LPARAM lParam)
{
    if (code != HCBT_ACTIVATE)
        return CallNextHookEx(MessagePlacer, code, wParam, lParam);
    const auto message = reinterpret_cast<HWND>(wParam);
    MoveAwayFromCell(message, GetWindow(message, GW_OWNER));
    UnhookWindowsHookEx(MessagePlacer);
    MessagePlacer = nullptr;
    return 0;
}

// A message box that leaves the cell it names in sight, where MessageBoxA would centre it on the
// window, often over the cell.
void ShowMessageBeside(HWND window, CellPosition cell, const std::string& message)
{
    const PixelPoint anchor = CellAnchor(cell.column, cell.row);
    POINT corner{anchor.x * DisplayScale, anchor.y * DisplayScale};
    ClientToScreen(window, &corner);
    const LONG size = kCellPictureSize * DisplayScale;
    HintedCellOnScreen = RECT{corner.x, corner.y, corner.x + size, corner.y + size};
    MessagePlacer = SetWindowsHookExA(WH_CBT, PlaceMessage, nullptr, GetCurrentThreadId());
    MessageBoxA(window, message.c_str(), "Skarvel", MB_OK | MB_ICONINFORMATION);
    if (MessagePlacer != nullptr)
        UnhookWindowsHookEx(MessagePlacer);
    MessagePlacer = nullptr;
}

// After a loss: what the last release was. A triangle that was certainly safe gets the cursor and
// a mark until the next game.
void ExplainLosingRelease(HWND window)
{
    const LossExplanation loss = ExplainLoss();
    if (loss.message.empty())
        return;
    if (loss.safeCellFound) {
        const HDC outer = AcquireMessageDC(window);
        MarkSafeCell(loss.cell);
        ShowCursorOn(loss.cell);
        ReleaseMessageDC(window, outer);
    }
    ShowMessageBeside(window, loss.cell, loss.message);
}

}  // namespace

void HandleHintKey(HWND window, LPARAM flags)
{
    const bool repeated = (flags & (LPARAM{1} << 30)) != 0;
    if (repeated || IsPlayKeyHeld())
        return;
    if (GameState == Over) {
        ExplainLosingRelease(window);
        return;
    }
    // No board is dealt yet, so nothing is given away.
    if (AwaitingDeal) {
        MessageBoxA(window, kBeforeDealMessage, "Skarvel", MB_OK | MB_ICONINFORMATION);
        return;
    }
    CellPosition nearTo = CursorCell();
    const bool hasNear = IsCursorShown() || CellUnderPointer(window, nearTo);
    const Hint hint = HintOnBoard(nearTo, hasNear).hint;
    if (hint.kind == HintKind::None)
        return;
    HintUsed = true;
    const HDC outer = AcquireMessageDC(window);
    ShowCursorOn(hint.cell);
    ReleaseMessageDC(window, outer);
    const std::string message = HintMessage(hint);
    if (!message.empty())
        ShowMessageBeside(window, hint.cell, message);
}
