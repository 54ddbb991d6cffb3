// The mouse and the clock's timer: pressed-cell feedback, releases that play the game, ticks.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "game/rules.h"

struct PressedCellState {
    std::uint8_t kind;     // kNoCell, kUpCell or kDownCell, as HitTest reports it
    std::uint32_t column;  // meaningful while kind is not kNoCell
    std::uint32_t row;
};

extern PressedCellState PressedCell;  // the cell drawn with the pressed picture, if any
extern std::vector<CellPosition> PressedNeighbourhood;  // cells drawn pressed by the middle button
extern CellPosition PressedCentre;                      // the cell under the pointer when they were pressed
extern HDC MessageDC;                 // device context of the mouse or timer message being handled

// Each message's drawing goes into the window's picture through MessageDC between the two.
HDC AcquireMessageDC(HWND window);  // returns the outer message's context, for the release
void ReleaseMessageDC(HWND window, HDC outer);

void ClearPressedCell();

// Whether any cell shows pressed, and whether this one does.
bool IsPressShown();
bool IsShownPressed(CellPosition cell);

// Draws the remembered pressed cell in its real state again and forgets it.
void RestorePressedCell();

// Remembers and draws pressed the cell under (x, y) when it is covered, flagged or question-marked.
void PressCellAt(std::uint32_t x, std::uint32_t y);
void PressCell(std::uint32_t column, std::uint32_t row);

// Shows the cells pressed by the middle button in their real state again and forgets them.
void RestorePressedNeighbourhood();

// Draws pressed the covered and question-marked cells among the one under (x, y) and its twelve
// neighbours, and remembers them.
void PressNeighbourhoodAt(std::uint32_t x, std::uint32_t y);
void PressNeighbourhood(std::uint32_t column, std::uint32_t row);

// What a left or a right release does on the cell of the grid at (column, row), and its redraw.
void PlayLeftRelease(HWND window, std::uint32_t column, std::uint32_t row);
void PlayRightRelease(HWND window, std::uint32_t column, std::uint32_t row);

// A pointer coordinate of a mouse message in the window as one of the 96-DPI picture.
std::uint32_t PicturePixel(WORD windowPixel);

// Each handler draws through one device context of its own, released on every path.
void HandleTimer(HWND window);
void HandleMouseMove(HWND window, WPARAM keys, std::uint32_t x, std::uint32_t y);
void HandleLeftButtonDown(HWND window, std::uint32_t x, std::uint32_t y);
void HandleLeftButtonUp(HWND window, std::uint32_t x, std::uint32_t y);
void HandleRightButtonDown();
void HandleRightButtonUp(HWND window, std::uint32_t x, std::uint32_t y);
void HandleMiddleButtonDown(HWND window, WPARAM keys, std::uint32_t x, std::uint32_t y);
void HandleMiddleButtonUp(HWND window, WPARAM keys, std::uint32_t x, std::uint32_t y);
// The mouse was taken away during a press (a system dialog, another window's capture): the press
// is undone, and its release then plays nothing.
void HandleLostPress(HWND window);
// The capture went: lost by a middle press, or let go by its release, which undoes nothing.
void HandleLostCapture(HWND window);
