// H, a hint: the cell cursor goes to the triangle the solver points at, nearest the cursor or the
// pointer; nothing is played for the player. A game in which it was used enters no best time.
#pragma once

#include <windows.h>

// Once the game is over it does nothing, nor while a play key is held.
void ShowHint(HWND window);

// Whether H gave a hint in the current game; a new game starts without.
bool WasHintUsed();
