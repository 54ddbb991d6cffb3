// Menu and accelerator commands.
#pragma once

#include <windows.h>

void HandleCommand(HWND window, WORD commandId);

// Each level item of the Game menu shows the title that the data file now holds for the level
// where the player has given it one of their own, else the menu's built-in name.
void NameLevelItems(HWND window);

// Same board again is offered once a game has ended.
void ShowSameBoardItem(HWND window);
