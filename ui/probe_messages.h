// Window messages that exist for the end-to-end tests alone, sent by their probe
// (tests/e2e/game_probe.cpp): what a test cannot do from outside the program.
#pragma once

#include <windows.h>

// Has the window draw its whole picture afresh from the game, as after a new game, and repaint:
// the test compares the screen with that drawing, which a plain repaint, copying the kept
// picture, would not make.
const char kRedrawAfreshMessageName[] = "Skarvel.RedrawAfresh";

// lParam a menu of the program's, such as the open pop-up's (MN_GETHMENU), and wParam an item's
// id: the result is a global atom, which the caller deletes, holding the item's text as the menu
// holds it ("&&" for an "&" shown); 0 for none. Wine lets no other process read the texts.
const char kMenuItemTextMessageName[] = "Skarvel.MenuItemText";

// Answers a message of the probe's with its result; false for every other message.
bool AnswerProbeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
