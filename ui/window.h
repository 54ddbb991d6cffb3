// The main window: its class, its creation and the window procedure.
#pragma once

#include <windows.h>

#include "ui/geometry.h"

bool RegisterMainWindowClass(HINSTANCE instance);

// Creates the main window hidden, with the given outer size, centred on the screen.
HWND CreateMainWindow(HINSTANCE instance, WindowSize size);

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
