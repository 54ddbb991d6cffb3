// The player's options, kept in skarvel.ini beside the data file: No guessing for now.
#pragma once

#include <windows.h>

// The Game menu's check mark beside No guessing, as NoGuessing stands.
void ShowNoGuessingItem(HWND window);

// At start-up: NoGuessing from the file, off when it is missing, unreadable or damaged.
void LoadOptions(HWND window);

// Writes the options as they stand; a failure is told to the player, and the options stay as
// they are for this run.
void RememberOptions(HWND window);
