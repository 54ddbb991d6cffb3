#include "ui/input.h"

#include <algorithm>
#include <climits>

#include "game/board.h"
#include "game/cell.h"
#include "game/rules.h"
#include "solver/deal.h"
#include "ui/draw.h"
#include "ui/geometry.h"
#include "ui/window_picture.h"

PressedCellState PressedCell;
std::vector<CellPosition> PressedNeighbourhood;
CellPosition PressedCentre;
HDC MessageDC;

// A timer tick can arrive inside a release's handling, while a dialog of a won game runs its own
// message loop: each handler keeps the outer context and gives it back when it is done.
HDC AcquireMessageDC(HWND window)
{
    const HDC outer = MessageDC;
    FitPictureToWindow(window);
    BeginPictureDrawing();
    MessageDC = PictureDC;
    return outer;
}

void ReleaseMessageDC(HWND window, HDC outer)
{
    EndPictureDrawing(window);
    MessageDC = outer;
}

namespace {

bool ButtonPressed;  // the new-game button shows pressed while the left button that pressed it is down

// A release plays only after a press that the window saw, on the board that press went down on:
// a new game while a button is held (F2, Alt+N, a level item) leaves the new board alone, and the
// release of a click that closed a dialog over the board plays nothing.
bool LeftHeld;                  // a left press seen, until its release or a cancelled mode
std::uint32_t LeftPressGame;    // GamesStarted at that press
bool RightHeld;                 // a right press seen, until its release or a cancelled mode
std::uint32_t RightPressGame;   // GamesStarted at that press
bool MiddleHeld;                // a middle press seen, until its release or the loss of its capture
std::uint32_t MiddlePressGame;  // GamesStarted at that press

bool IsLeftPressLive()
{
    return LeftHeld && LeftPressGame == GamesStarted;
}

bool IsRightPressLive()
{
    return RightHeld && RightPressGame == GamesStarted;
}

bool IsMiddlePressLive()
{
    return MiddleHeld && MiddlePressGame == GamesStarted;
}

// Without a capture a release outside the window never comes here; a move with the button up
// shows that press over.
void ForgetPressesLetGo(WPARAM keys)
{
    if ((keys & MK_LBUTTON) == 0)
        LeftHeld = false;
    if ((keys & MK_RBUTTON) == 0)
        RightHeld = false;
}

int OrientationOf(std::uint8_t hitKind)
{
    return hitKind == kUpCell ? 0 : 1;
}

// A cell remembered before a new game on a smaller board may lie outside it.
bool IsOnBoard(std::uint32_t column, std::uint32_t row)
{
    return column < Columns && row < Rows;
}

// A move within the cell whose neighbourhood is pressed keeps it: no repaint, no flicker.
bool IsNeighbourhoodPressedAt(std::uint32_t x, std::uint32_t y)
{
    std::uint32_t column = 0, row = 0;
    return !PressedNeighbourhood.empty() && HitTest(x, y, column, row) != kNoCell && column == PressedCentre.column &&
           row == PressedCentre.row;
}

// A press seen in an earlier game still lets the new-game button start one; a release with no
// press seen (pressed outside the window, or on a dialog that has closed) does nothing at all.
void ReleaseLeftButton(HWND window, std::uint32_t x, std::uint32_t y)
{
    const bool seen = LeftHeld;
    const bool plays = IsLeftPressLive();
    LeftHeld = false;
    ButtonPressed = false;
    if (plays)
        PressedCell.kind = kNoCell;  // the cell under the pointer is redrawn below
    else
        RestorePressedCell();
    if (seen && IsOnNewGameButton(x, y)) {
        NewGame(window);
        InvalidateRect(window, nullptr, TRUE);
    }
    std::uint32_t column = 0, row = 0;
    if (plays && HitTest(x, y, column, row) != kNoCell)
        PlayLeftRelease(window, column, row);
}

void ReleaseRightButton(HWND window, std::uint32_t x, std::uint32_t y)
{
    const bool plays = IsRightPressLive();
    RightHeld = false;
    std::uint32_t column = 0, row = 0;
    if (plays && HitTest(x, y, column, row) != kNoCell)
        PlayRightRelease(window, column, row);
}

}  // namespace

void PlayLeftRelease(HWND window, std::uint32_t column, std::uint32_t row)
{
    // Dealt before StartClock, so that the deal and its message count in the time only when a right
    // release has started the clock already.
    if (DealOnFirstRelease(column, row) == DealOutcome::MayNeedGuess)
        MessageBoxA(window,
                    "No board of this level that can be won without guessing was found, so this one may need a "
                    "guess.",
                    "Skarvel", MB_OK | MB_ICONINFORMATION);
    StartClock(window);
    const std::uint8_t b = CellAt(column, row);
    if (IsVoid(b))
        return;
    Uncover(window, column, row);
    // Uncovering a zero has redrawn the board already.
    if (!IsHiddenZero(b))
        DrawCell(MessageDC, column, row, CellOrientation(column, row));
}

void PlayRightRelease(HWND window, std::uint32_t column, std::uint32_t row)
{
    StartClock(window);
    if (IsVoid(CellAt(column, row)))
        return;
    CycleMark(window, column, row);
    DrawCell(MessageDC, column, row, CellOrientation(column, row));
    DrawMineCounter(MessageDC);
}

std::uint32_t PicturePixel(WORD windowPixel)
{
    return windowPixel / static_cast<std::uint32_t>(DisplayScale);
}

bool IsPressShown()
{
    return PressedCell.kind != kNoCell || !PressedNeighbourhood.empty();
}

bool IsShownPressed(CellPosition cell)
{
    const auto same = [&](CellPosition other) { return other.column == cell.column && other.row == cell.row; };
    return (PressedCell.kind != kNoCell && same(CellPosition{PressedCell.column, PressedCell.row})) ||
           std::any_of(PressedNeighbourhood.begin(), PressedNeighbourhood.end(), same);
}

void ClearPressedCell()
{
    PressedCell = PressedCellState{kNoCell, 0, 0};
}

void RestorePressedCell()
{
    if (PressedCell.kind == kNoCell)
        return;
    const int orientation = OrientationOf(PressedCell.kind);
    PressedCell.kind = kNoCell;
    if (IsOnBoard(PressedCell.column, PressedCell.row))
        DrawCell(MessageDC, PressedCell.column, PressedCell.row, orientation);
}

void PressCellAt(std::uint32_t x, std::uint32_t y)
{
    std::uint32_t column = 0, row = 0;
    PressedCell.kind = HitTest(x, y, column, row);
    if (PressedCell.kind != kNoCell)
        PressCell(column, row);
}

void PressCell(std::uint32_t column, std::uint32_t row)
{
    const std::uint8_t b = CellAt(column, row);
    if (IsVoid(b) || IsUncovered(b)) {
        PressedCell.kind = kNoCell;
        return;
    }
    PressedCell = PressedCellState{CellOrientation(column, row) == 0 ? kUpCell : kDownCell, column, row};
    DrawPressedCell(MessageDC, column, row, OrientationOf(PressedCell.kind));
}

void HandleTimer(HWND window)
{
    const HDC outer = AcquireMessageDC(window);
    Tick();
    DrawClock(MessageDC);
    ReleaseMessageDC(window, outer);
}

void HandleMouseMove(HWND window, WPARAM keys, std::uint32_t x, std::uint32_t y)
{
    ForgetPressesLetGo(keys);
    const HDC outer = AcquireMessageDC(window);
    RestorePressedCell();
    if (keys != MK_MBUTTON || !IsNeighbourhoodPressedAt(x, y)) {
        RestorePressedNeighbourhood();
        if (keys == MK_MBUTTON && IsMiddlePressLive())
            PressNeighbourhoodAt(x, y);
    }
    // The left button alone: Shift, Ctrl or another button held shows nothing pressed, nor does a
    // press that would play nothing.
    if (keys == MK_LBUTTON && IsLeftPressLive())
        PressCellAt(x, y);
    ReleaseMessageDC(window, outer);
}

void HandleLeftButtonDown(HWND window, std::uint32_t x, std::uint32_t y)
{
    const HDC outer = AcquireMessageDC(window);
    RestorePressedNeighbourhood();  // the release or press may change or press those cells
    if (IsOnNewGameButton(x, y)) {
        DrawPressedButton(MessageDC);
        ButtonPressed = true;
    }
    LeftHeld = true;
    LeftPressGame = GamesStarted;
    PressCellAt(x, y);
    ReleaseMessageDC(window, outer);
}

void HandleLeftButtonUp(HWND window, std::uint32_t x, std::uint32_t y)
{
    const HDC outer = AcquireMessageDC(window);
    RestorePressedNeighbourhood();  // the release or press may change or press those cells
    ReleaseLeftButton(window, x, y);
    ReleaseMessageDC(window, outer);
}

void HandleRightButtonDown()
{
    RightHeld = true;
    RightPressGame = GamesStarted;
}

void HandleRightButtonUp(HWND window, std::uint32_t x, std::uint32_t y)
{
    const HDC outer = AcquireMessageDC(window);
    RestorePressedNeighbourhood();  // the release or press may change or press those cells
    ReleaseRightButton(window, x, y);
    ReleaseMessageDC(window, outer);
}

// The pressed pictures reach a pixel or two past the raised ones, into the neighbours' pictures
// and the background: the area they covered is drawn afresh, as a repaint of it would draw it.
void RestorePressedNeighbourhood()
{
    if (PressedNeighbourhood.empty())
        return;
    RECT area{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    for (const CellPosition& cell : PressedNeighbourhood) {
        const PixelPoint anchor = CellAnchor(cell.column, cell.row);
        area.left = std::min<LONG>(area.left, anchor.x);
        area.top = std::min<LONG>(area.top, anchor.y);
        area.right = std::max<LONG>(area.right, anchor.x + kCellPictureSize);
        area.bottom = std::max<LONG>(area.bottom, anchor.y + kCellPictureSize);
    }
    PressedNeighbourhood.clear();
    RedrawPicturePart(area);
}

void PressNeighbourhoodAt(std::uint32_t x, std::uint32_t y)
{
    std::uint32_t column = 0, row = 0;
    if (HitTest(x, y, column, row) != kNoCell)
        PressNeighbourhood(column, row);
}

void PressNeighbourhood(std::uint32_t column, std::uint32_t row)
{
    PressedCentre = CellPosition{column, row};
    std::vector<CellPosition> cells = NeighbourPositions(column, row);
    cells.push_back(CellPosition{column, row});
    for (const CellPosition& cell : cells) {
        if (!IsHidden(CellAt(cell.column, cell.row)))
            continue;
        PressedNeighbourhood.push_back(cell);
        DrawPressedCell(MessageDC, cell.column, cell.row, CellOrientation(cell.column, cell.row));
    }
}

// The capture brings the moves and the release that happen outside the window, so that the
// pressed cells are put back when the pointer leaves it.
void HandleMiddleButtonDown(HWND window, WPARAM keys, std::uint32_t x, std::uint32_t y)
{
    const HDC outer = AcquireMessageDC(window);
    RestorePressedNeighbourhood();
    if (keys == MK_MBUTTON)
        PressNeighbourhoodAt(x, y);
    MiddleHeld = true;
    MiddlePressGame = GamesStarted;
    SetCapture(window);
    ReleaseMessageDC(window, outer);
}

// With Shift or Ctrl held the release, like the press, plays nothing. The press is over before
// the capture goes, so that the capture's change does not count as a press lost.
void HandleMiddleButtonUp(HWND window, WPARAM keys, std::uint32_t x, std::uint32_t y)
{
    const bool plays = IsMiddlePressLive() && (keys & (MK_SHIFT | MK_CONTROL)) == 0;
    MiddleHeld = false;
    const HDC outer = AcquireMessageDC(window);
    ReleaseCapture();
    RestorePressedNeighbourhood();
    std::uint32_t column = 0, row = 0;
    if (plays && HitTest(x, y, column, row) != kNoCell)
        Chord(window, column, row);
    ReleaseMessageDC(window, outer);
}

void HandleLostCapture(HWND window)
{
    if (MiddleHeld)
        HandleLostPress(window);
}

// Another window or a system dialog took the mouse in the middle of a press: what the press
// showed goes back now, and its release, should it come here, plays nothing.
void HandleLostPress(HWND window)
{
    LeftHeld = false;
    RightHeld = false;
    MiddleHeld = false;
    if (PressedCell.kind == kNoCell && PressedNeighbourhood.empty() && !ButtonPressed)
        return;
    const HDC outer = AcquireMessageDC(window);
    RestorePressedCell();
    RestorePressedNeighbourhood();
    if (ButtonPressed) {
        const PixelPoint button = LayoutHeader(Columns).pressedButton;
        RedrawPicturePart(RECT{button.x - 1, button.y - 1, button.x + kCellPictureSize, button.y + kCellPictureSize});
        ButtonPressed = false;
    }
    ReleaseMessageDC(window, outer);
}
