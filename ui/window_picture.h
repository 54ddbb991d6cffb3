// The client area as an off-screen picture at 96 DPI, kept current: every change is drawn into it
// and the changed rectangle copied to the window, and WM_PAINT copies only what the system asks
// for. On a screen of higher DPI each picture pixel shows as a DisplayScale x DisplayScale block.
#pragma once

#include <windows.h>

#include <cstdint>

extern HDC PictureDC;     // memory device context over the picture, for the whole run
extern int DisplayScale;  // window pixels per picture pixel along each axis, at least 1
extern int PictureWidth;  // the picture's size: the client area divided by DisplayScale
extern int PictureHeight;

// Gives the picture the size of the window's client area; a new size is redrawn whole, erased.
// False, with the player told, when the system cannot make it; an older picture then stays.
bool FitPictureToWindow(HWND window);

// The next WM_PAINT draws the whole picture afresh first: over the old one, or on the grey
// background when erase is true.
void RedrawPictureOnNextPaint(bool erase);

// Whether any of the cell's picture lies in the picture: cells outside it are not drawn.
bool CellMeetsPicture(std::uint32_t column, std::uint32_t row);

// Begins a message's drawing into the picture, with the colours of a fresh device context. Drawing
// can nest (a clock tick inside a dialog that a release opened): each end gives the device context
// back the state its beginning found.
void BeginPictureDrawing();
// Ends the innermost drawing and copies what was drawn to the window.
void EndPictureDrawing(HWND window);

// A dialog or message box is about to open over the window (it disables its owner first): the
// window shows the game as it stands, whatever the handler that opens it has drawn so far.
void ShowPictureBeforeDialog(HWND window);

// Draws part of the picture afresh, as a repaint of that part of the window would, during a
// message's drawing: the background, then the header and every cell that reaches into it.
void RedrawPicturePart(const RECT& part);

// The WM_PAINT handler.
void PaintWindow(HWND window);

// Releases the picture, at the end.
void DestroyPicture();
