// Playing with the keyboard: a cell cursor that the arrows, Home and End move over the board's
// real cells; Space or Enter, F and C play its cell as a left, right and middle release do, the
// held key showing the cells pressed as the held button does; F2 starts a new game. While a mouse
// button shows cells pressed the board is the mouse's: the play keys play nothing, and the cursor
// moves over the pressed cells without drawing them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "game/rules.h"

// flags: the message's lParam, whose bit 30 marks a key held down and repeating.
void HandleKeyDown(HWND window, WPARAM key, LPARAM flags);
void HandleKeyUp(HWND window, WPARAM key);

// A key held while the window loses the keyboard would never be seen going up: it is let go of,
// its pressed cells put back, and nothing is played.
void HandleFocusLost(HWND window);

// What the hint key asks of the cursor: the real cell under the pointer, when the pointer is over
// one; the cursor shown and drawn on a cell as an arrow key moves it, in the drawing of the message
// being handled.
bool CellUnderPointer(HWND window, CellPosition& cell);
void ShowCursorOn(CellPosition cell);

// Whether Space, Enter, F or C is held down in the current game: the mouse's moves then leave the
// cells that the key shows pressed alone.
bool IsPlayKeyHeld();

// A press of a mouse button on the board takes the cursor away; the next arrow key brings it back.
void HandleMousePressForCursor(HWND window, std::uint32_t y);
