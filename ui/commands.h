// Menu and accelerator commands.
#pragma once

#include <windows.h>

void HandleCommand(HWND window, WORD commandId);

// Each level item of the Game menu shows the title that the data file now holds for the level
// where the player has given it one of their own, else the menu's built-in name.
void NameLevelItems(HWND window);

// The text of a menu item as the menu would show it when opened, in a global atom that the caller
// deletes (0 for no text): another program (a test) cannot read this program's menu itself.
ATOM MenuItemTextAtom(HWND window, WORD itemId);
