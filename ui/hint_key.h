// H, a hint: the cell cursor goes to the triangle the solver points at, nearest the cursor or the
// pointer; nothing is played for the player. A game in which it was used enters no best time.
#pragma once

#include <windows.h>

// flags: the key-down message's lParam. A key repeating, a play key held or a game over: nothing.
void HandleHintKey(HWND window, LPARAM flags);
