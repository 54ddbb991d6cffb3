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

void ClearPressedCell();

// Draws the remembered pressed cell in its real state again and forgets it.
void RestorePressedCell();

// Remembers and draws pressed the cell under (x, y) when it is covered, flagged or question-marked.
void PressCellAt(std::uint32_t x, std::uint32_t y);

// Shows the cells pressed by the middle button in their real state again and forgets them.
void RestorePressedNeighbourhood();

// Draws pressed the covered and question-marked cells among the one under (x, y) and its twelve
// neighbours, and remembers them.
void PressNeighbourhoodAt(std::uint32_t x, std::uint32_t y);

// A pointer coordinate of a mouse message in the window as one of the 96-DPI picture.
std::uint32_t PicturePixel(WORD windowPixel);

// Each handler draws through one device context of its own, released on every path.
void HandleTimer(HWND window);
void HandleMouseMove(HWND window, WPARAM keys, std::uint32_t x, std::uint32_t y);
void HandleLeftButtonDown(HWND window, std::uint32_t x, std::uint32_t y);
void HandleLeftButtonUp(HWND window, std::uint32_t x, std::uint32_t y);
void HandleRightButtonUp(HWND window, std::uint32_t x, std::uint32_t y);
void HandleMiddleButtonDown(HWND window, WPARAM keys, std::uint32_t x, std::uint32_t y);
void HandleMiddleButtonUp(HWND window, WPARAM keys, std::uint32_t x, std::uint32_t y);
// The mouse was taken away during a press (lost capture, a system dialog): the press is undone.
void HandleLostPress(HWND window);
