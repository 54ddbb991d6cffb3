#include "ui/keyboard.h"

#include "game/board.h"
#include "game/cell.h"
#include "game/cell_cursor.h"
#include "res/resource.h"
#include "ui/draw.h"
#include "ui/geometry.h"
#include "ui/input.h"

namespace {

WPARAM HeldKey;          // the play key seen going down, whose release plays; 0 for none
std::uint32_t HeldGame;  // GamesStarted when it went down: a key held over a new game plays nothing

constexpr LPARAM kRepeatFlag = LPARAM{1} << 30;
constexpr int kLongStep = 5;  // cells a move with Ctrl goes

// A cell that a mouse button shows pressed keeps its look until the button lets it go, whose
// redraw then shows the cursor.
void DrawCellAt(CellPosition cell)
{
    if (!IsShownPressed(cell))
        DrawCell(MessageDC, cell.column, cell.row, CellOrientation(cell.column, cell.row));
}

bool IsPlayKey(WPARAM key)
{
    return key == VK_SPACE || key == VK_RETURN || key == 'F' || key == 'C';
}

const struct {
    WPARAM key;
    CursorMove move;
} kMoveKeys[] = {
    {VK_LEFT, CursorMove::Left}, {VK_RIGHT, CursorMove::Right},   {VK_UP, CursorMove::Up},
    {VK_DOWN, CursorMove::Down}, {VK_HOME, CursorMove::RowStart}, {VK_END, CursorMove::RowEnd},
};

bool ReadMove(WPARAM key, CursorMove& move)
{
    for (const auto& moveKey : kMoveKeys) {
        if (moveKey.key == key) {
            move = moveKey.move;
            return true;
        }
    }
    return false;
}

// The real cell under the pointer, or else the board's first real cell in reading order.
CellPosition StartingCell(HWND window)
{
    CellPosition cell{0, 0};
    if (!CellUnderPointer(window, cell))
        FirstRealCell(cell);
    return cell;
}

// The held key's cells show pressed as the held button's do: Space or Enter the cell alone, C
// the cell with its neighbours.
void PressForHeldKey()
{
    if (!IsPlayKeyHeld())
        return;
    if (HeldKey == 'C')
        PressNeighbourhood(CursorCell().column, CursorCell().row);
    else if (HeldKey == VK_SPACE || HeldKey == VK_RETURN)
        PressCell(CursorCell().column, CursorCell().row);
}

// Only the cells that a key held in this game shows pressed: any others are a mouse button's.
void RestoreKeyPressedCells()
{
    if (!IsPlayKeyHeld())
        return;
    RestorePressedCell();
    RestorePressedNeighbourhood();
}

void ShowCursorAtStart(HWND window)
{
    PlaceCursor(StartingCell(window));
    DrawCellAt(CursorCell());
}

void MoveCursorTo(CellPosition to)
{
    RestoreKeyPressedCells();
    const CellPosition from = CursorCell();
    PlaceCursor(to);
    DrawCellAt(from);
    DrawCellAt(to);
    PressForHeldKey();
}

void HandleMoveKey(HWND window, CursorMove move)
{
    const bool longStep = GetKeyState(VK_CONTROL) < 0;
    if (!IsCursorShown()) {
        ShowCursorAtStart(window);
        if (move != CursorMove::RowStart && move != CursorMove::RowEnd)
            return;
    }
    MoveCursorTo(MoveCursor(CursorCell(), move, longStep ? kLongStep : 1));
}

// A play key with no cursor shown shows it and plays nothing.
void HandlePlayKeyDown(HWND window, WPARAM key)
{
    if (!IsCursorShown()) {
        ShowCursorAtStart(window);
        return;
    }
    HeldKey = key;
    HeldGame = GamesStarted;
    PressForHeldKey();
}

void PlayKey(HWND window, WPARAM key)
{
    const CellPosition cell = CursorCell();
    if (key == 'F')
        PlayRightRelease(window, cell.column, cell.row);
    else if (key == 'C')
        Chord(window, cell.column, cell.row);
    else
        PlayLeftRelease(window, cell.column, cell.row);
}

// The held key goes up, or is let go of when its release will not be seen: its pressed cells go
// back, and only a release in the game it went down in plays.
void LetGoOfHeldKey(HWND window, bool released)
{
    const WPARAM key = HeldKey;
    const bool plays = released && IsPlayKeyHeld() && IsCursorShown() && GameState != Over;
    const HDC outer = AcquireMessageDC(window);
    RestoreKeyPressedCells();
    HeldKey = 0;
    if (plays)
        PlayKey(window, key);
    ReleaseMessageDC(window, outer);
}

}  // namespace

bool CellUnderPointer(HWND window, CellPosition& cell)
{
    POINT pointer{};
    RECT client{};
    GetCursorPos(&pointer);
    ScreenToClient(window, &pointer);
    GetClientRect(window, &client);
    std::uint32_t column = 0, row = 0;
    if (!PtInRect(&client, pointer) ||
        HitTest(PicturePixel(static_cast<WORD>(pointer.x)), PicturePixel(static_cast<WORD>(pointer.y)), column, row) ==
            kNoCell ||
        IsVoid(CellAt(column, row)))
        return false;
    cell = CellPosition{column, row};
    return true;
}

void ShowCursorOn(CellPosition cell)
{
    if (IsCursorShown()) {
        MoveCursorTo(cell);
        return;
    }
    PlaceCursor(cell);
    DrawCellAt(cell);
}

bool IsPlayKeyHeld()
{
    return HeldKey != 0 && HeldGame == GamesStarted;
}

// Once the game is over only F2 and the menu act.
void HandleKeyDown(HWND window, WPARAM key, LPARAM flags)
{
    const bool repeated = (flags & kRepeatFlag) != 0;
    if (key == VK_F2) {
        if (!repeated)  // the New game command, as the menu and Alt+N give it
            SendMessageA(window, WM_COMMAND, MAKEWPARAM(CMD_NEW_GAME, 0), 0);
        return;
    }
    CursorMove move{};
    const bool moves = ReadMove(key, move);
    if (GameState == Over || (!moves && (!IsPlayKey(key) || repeated || HeldKey != 0 || IsPressShown())))
        return;
    const HDC outer = AcquireMessageDC(window);
    if (moves)
        HandleMoveKey(window, move);
    else
        HandlePlayKeyDown(window, key);
    ReleaseMessageDC(window, outer);
}

// As with the buttons, the move happens when the key goes up.
void HandleKeyUp(HWND window, WPARAM key)
{
    if (HeldKey != 0 && key == HeldKey)
        LetGoOfHeldKey(window, true);
}

void HandleFocusLost(HWND window)
{
    if (HeldKey != 0)
        LetGoOfHeldKey(window, false);
}

void HandleMousePressForCursor(HWND window, std::uint32_t y)
{
    if (static_cast<std::int32_t>(y) < kBoardTop)
        return;
    if (HeldKey != 0)
        LetGoOfHeldKey(window, false);
    if (!IsCursorShown())
        return;
    const HDC outer = AcquireMessageDC(window);
    ForgetCursor();
    DrawCellAt(CursorCell());
    ReleaseMessageDC(window, outer);
}
