#include "ui/window_picture.h"

#include <algorithm>
#include <vector>

#include "game/board.h"
#include "ui/draw.h"
#include "ui/geometry.h"
#include "ui/shell.h"

HDC PictureDC;
int DisplayScale = 1;
int PictureWidth;
int PictureHeight;

namespace {

HBITMAP PictureBitmap;
HGDIOBJ FirstBitmap;  // the memory device context's own bitmap, put back before a new picture

struct DrawingState {
    COLORREF text;
    COLORREF background;
    int mode;
};
std::vector<DrawingState> OuterStates;  // one for each drawing begun and not yet ended

enum PendingRedraw { kNoRedraw, kRedrawOver, kRedrawErased };
PendingRedraw Pending = kRedrawErased;

// The class's stock grey brush, which the system would paint before a full repaint.
void FillWithBackground()
{
    const RECT whole{0, 0, PictureWidth, PictureHeight};
    FillRect(PictureDC, &whole, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
}

// A fresh device context's colours and background mode, as GetDC and BeginPaint give them.
void UseFreshState()
{
    SetTextColor(PictureDC, RGB(0, 0, 0));
    SetBkColor(PictureDC, RGB(255, 255, 255));
    SetBkMode(PictureDC, OPAQUE);
}

void RedrawWholePicture(HWND window)
{
    BeginPictureDrawing();
    if (Pending == kRedrawErased)
        FillWithBackground();
    DrawWindowContents(PictureDC, RECT{0, 0, PictureWidth, PictureHeight});
    Pending = kNoRedraw;
    DrawnArea = RECT{0, 0, 0, 0};  // BeginPaint's context copies it
    EndPictureDrawing(window);
}

// Copies part of the picture to the window, each pixel a DisplayScale x DisplayScale block.
void CopyToWindow(HDC windowDC, const RECT& part)
{
    const RECT clipped{std::max<LONG>(part.left, 0), std::max<LONG>(part.top, 0),
                       std::min<LONG>(part.right, PictureWidth), std::min<LONG>(part.bottom, PictureHeight)};
    const int width = clipped.right - clipped.left, height = clipped.bottom - clipped.top;
    if (width <= 0 || height <= 0)
        return;
    if (DisplayScale == 1) {
        BitBlt(windowDC, clipped.left, clipped.top, width, height, PictureDC, clipped.left, clipped.top, SRCCOPY);
        return;
    }
    const int oldMode = SetStretchBltMode(windowDC, COLORONCOLOR);
    StretchBlt(windowDC, clipped.left * DisplayScale, clipped.top * DisplayScale, width * DisplayScale,
               height * DisplayScale, PictureDC, clipped.left, clipped.top, width, height, SRCCOPY);
    SetStretchBltMode(windowDC, oldMode);
}

// A window rectangle as the picture rectangle that covers it.
RECT PicturePart(const RECT& windowPart)
{
    return RECT{windowPart.left / DisplayScale, windowPart.top / DisplayScale,
                (windowPart.right + DisplayScale - 1) / DisplayScale,
                (windowPart.bottom + DisplayScale - 1) / DisplayScale};
}

// The client area can exceed the picture's scaled size by less than DisplayScale pixels, or more
// where the system made the window larger than asked: the class's grey fills the rest.
void FillBeyondPicture(HWND window, HDC windowDC)
{
    RECT client{};
    GetClientRect(window, &client);
    const HBRUSH grey = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    const RECT right{PictureWidth * DisplayScale, 0, client.right, client.bottom};
    const RECT below{0, PictureHeight * DisplayScale, client.right, client.bottom};
    if (right.left < right.right)
        FillRect(windowDC, &right, grey);
    if (below.top < below.bottom)
        FillRect(windowDC, &below, grey);
}

void ReplacePictureBitmap(HBITMAP bitmap)
{
    SelectObject(PictureDC, bitmap);
    if (PictureBitmap != nullptr)
        DeleteObject(PictureBitmap);
    PictureBitmap = bitmap;
}

}  // namespace

bool FitPictureToWindow(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    const int width = std::max<int>(1, client.right / DisplayScale);
    const int height = std::max<int>(1, client.bottom / DisplayScale);
    if (PictureDC != nullptr && width == PictureWidth && height == PictureHeight)
        return true;
    const HDC screen = GetDC(window);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HDC pictureDC = PictureDC != nullptr ? PictureDC : CreateCompatibleDC(screen);
    ReleaseDC(window, screen);
    if (bitmap == nullptr || pictureDC == nullptr) {
        // The picture there is, if any, stays, with its size.
        if (bitmap != nullptr)
            DeleteObject(bitmap);
        ShowDrawingProblem(window);
        return false;
    }
    if (PictureDC == nullptr) {
        PictureDC = pictureDC;
        FirstBitmap = SelectObject(PictureDC, bitmap);
        SelectObject(PictureDC, TextFont);
        PictureBitmap = bitmap;
    } else {
        ReplacePictureBitmap(bitmap);
    }
    PictureWidth = width;
    PictureHeight = height;
    Pending = kRedrawErased;
    return true;
}

void RedrawPictureOnNextPaint(bool erase)
{
    if (erase)
        Pending = kRedrawErased;
    else if (Pending == kNoRedraw)
        Pending = kRedrawOver;
}

bool CellMeetsPicture(std::uint32_t column, std::uint32_t row)
{
    const PixelPoint anchor = CellAnchor(column, row);
    return anchor.x < PictureWidth && anchor.y < PictureHeight;
}

void BeginPictureDrawing()
{
    OuterStates.push_back(DrawingState{GetTextColor(PictureDC), GetBkColor(PictureDC), GetBkMode(PictureDC)});
    UseFreshState();
}

void EndPictureDrawing(HWND window)
{
    const DrawingState outer = OuterStates.back();
    OuterStates.pop_back();
    SetTextColor(PictureDC, outer.text);
    SetBkColor(PictureDC, outer.background);
    SetBkMode(PictureDC, outer.mode);
    if (DrawnArea.right <= DrawnArea.left)
        return;
    const HDC dc = GetDC(window);
    CopyToWindow(dc, DrawnArea);
    ReleaseDC(window, dc);
    DrawnArea = RECT{0, 0, 0, 0};
}

void ShowPictureBeforeDialog(HWND window)
{
    // Inside a message's handling the move may not have drawn all it changed yet (the winning
    // cell, the counter): the game is drawn afresh. The dialog's own loop then repaints from it.
    if (!OuterStates.empty())
        RedrawPictureOnNextPaint(true);
    if (Pending != kNoRedraw)
        InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    const HDC dc = GetDC(window);
    CopyToWindow(dc, DrawnArea);
    ReleaseDC(window, dc);
    DrawnArea = RECT{0, 0, 0, 0};
}

void RedrawPicturePart(const RECT& part)
{
    FillRect(PictureDC, &part, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    DrawWindowContents(PictureDC, part);
    MarkDrawn(part.left, part.top, part.right, part.bottom);
}

void PaintWindow(HWND window)
{
    const bool fits = FitPictureToWindow(window);
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    if (!fits && PictureDC == nullptr) {
        EndPaint(window, &paint);
        return;
    }
    if (Pending != kNoRedraw)
        RedrawWholePicture(window);
    CopyToWindow(dc, PicturePart(paint.rcPaint));
    FillBeyondPicture(window, dc);
    EndPaint(window, &paint);
}

void DestroyPicture()
{
    if (PictureDC == nullptr)
        return;
    SelectObject(PictureDC, FirstBitmap);
    DeleteObject(PictureBitmap);
    DeleteDC(PictureDC);
    PictureDC = nullptr;
    PictureBitmap = nullptr;
}
