// The player's options, kept in skarvel.ini beside the data file: No guessing and the triangles' size.
#pragma once

#include <windows.h>

constexpr int kLargestTriangleSize = 3;
extern int ChosenTriangleSize;  // the size the player chose for the board: 1, 2 or 3 times

// The Game menu's check mark beside No guessing, as NoGuessing stands.
void ShowNoGuessingItem(HWND window);

// At start-up: NoGuessing and the size from the file; off and 1 when it is missing, unreadable or
// damaged.
void LoadOptions(HWND window);

// Each writes its own option as it stands into the file, keeping everything else the file holds;
// a failure is told to the player, and the option stays as it is for this run.
void RememberOptions(HWND window);
void RememberTriangleSize(HWND window);
