#include "ui/keyboard.h"

#include "game/board.h"
#include "game/cell.h"
#include "game/cell_cursor.h"
#include "res/resource.h"
#include "ui/draw.h"
#include "ui/geometry.h"
#include "ui/input.h"

namespace {

bool CursorShown;          // since the last arrow key, until a mouse press on the board
CellPosition CursorCell;   // a real cell of the game it was shown in
std::uint32_t CursorGame;  // GamesStarted when it was shown: a new game takes the cursor away
WPARAM HeldKey;            // the play key seen going down, whose release plays; 0 for none
std::uint32_t HeldGame;    // GamesStarted when it went down: a key held over a new game plays nothing

constexpr LPARAM kRepeatFlag = LPARAM{1} << 30;
constexpr int kLongStep = 5;  // cells a move with Ctrl goes

bool IsCursorLive()
{
    return CursorShown && CursorGame == GamesStarted;
}

void DrawCellAt(CellPosition cell)
{
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
        PressNeighbourhood(CursorCell.column, CursorCell.row);
    else if (HeldKey == VK_SPACE || HeldKey == VK_RETURN)
        PressCell(CursorCell.column, CursorCell.row);
}

void RestorePressedCells()
{
    RestorePressedCell();
    RestorePressedNeighbourhood();
}

void MoveCursorTo(CellPosition to)
{
    RestorePressedCells();
    const CellPosition from = CursorCell;
    CursorCell = to;
    DrawCellAt(from);
    DrawCellAt(to);
    PressForHeldKey();
}

void HandleMoveKey(HWND window, CursorMove move)
{
    const bool longStep = GetKeyState(VK_CONTROL) < 0;
    if (!IsCursorLive()) {
        PlaceCursor(StartingCell(window));
        DrawCellAt(CursorCell);
        if (move != CursorMove::RowStart && move != CursorMove::RowEnd)
            return;
    }
    MoveCursorTo(MoveCursor(CursorCell, move, longStep ? kLongStep : 1));
}

// A play key with no cursor shown shows it and plays nothing.
void HandlePlayKeyDown(HWND window, WPARAM key)
{
    if (!IsCursorLive()) {
        PlaceCursor(StartingCell(window));
        DrawCellAt(CursorCell);
        return;
    }
    HeldKey = key;
    HeldGame = GamesStarted;
    PressForHeldKey();
}

void PlayKey(HWND window, WPARAM key)
{
    if (key == 'F')
        PlayRightRelease(window, CursorCell.column, CursorCell.row);
    else if (key == 'C')
        Chord(window, CursorCell.column, CursorCell.row);
    else
        PlayLeftRelease(window, CursorCell.column, CursorCell.row);
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

bool ShownCursorCell(CellPosition& cell)
{
    if (IsCursorLive())
        cell = CursorCell;
    return IsCursorLive();
}

void ShowCursorOn(CellPosition cell)
{
    if (IsCursorLive()) {
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

bool IsCursorOn(std::uint32_t column, std::uint32_t row)
{
    return IsCursorLive() && CursorCell.column == column && CursorCell.row == row;
}

void PlaceCursor(CellPosition cell)
{
    CursorShown = true;
    CursorCell = cell;
    CursorGame = GamesStarted;
}

void ForgetCursor()
{
    CursorShown = false;
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
    if (GameState == Over || (!moves && (!IsPlayKey(key) || repeated || HeldKey != 0)))
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
    if (HeldKey == 0 || key != HeldKey)
        return;
    HeldKey = 0;
    const HDC outer = AcquireMessageDC(window);
    RestorePressedCells();
    if (HeldGame == GamesStarted && IsCursorLive() && GameState != Over)
        PlayKey(window, key);
    ReleaseMessageDC(window, outer);
}

void HandleFocusLost(HWND window)
{
    if (HeldKey == 0)
        return;
    HeldKey = 0;
    const HDC outer = AcquireMessageDC(window);
    RestorePressedCells();
    ReleaseMessageDC(window, outer);
}

void HandleMousePressForCursor(HWND window, std::uint32_t y)
{
    if (static_cast<std::int32_t>(y) < kBoardTop || (!IsCursorLive() && HeldKey == 0))
        return;
    const HDC outer = AcquireMessageDC(window);
    if (HeldKey != 0) {
        HeldKey = 0;
        RestorePressedCells();
    }
    if (IsCursorLive()) {
        ForgetCursor();
        DrawCellAt(CursorCell);
    }
    ReleaseMessageDC(window, outer);
}
