#include "ui/hint_key.h"

#include <string>

#include "game/board.h"
#include "game/cell_cursor.h"
#include "solver/hint.h"
#include "ui/input.h"
#include "ui/keyboard.h"

void HandleHintKey(HWND window, LPARAM flags)
{
    const bool repeated = (flags & (LPARAM{1} << 30)) != 0;
    if (repeated || GameState == Over || IsPlayKeyHeld())
        return;
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
        MessageBoxA(window, message.c_str(), "Skarvel", MB_OK | MB_ICONINFORMATION);
}
