// Make a board: the dialog in which a player replaces a level with a board of their own (size,
// mines, title and a shape drawn with the mouse or the keys), sees how hard it is while drawing,
// and saves it as kelbo level set would; or puts the built-in level back.
#pragma once

#include <windows.h>

// Runs the dialog over the window; the level written into the file, or -1 when nothing was.
int MakeBoard(HWND window);
