// The main window: its class, its creation and the window procedure.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/geometry.h"

bool RegisterMainWindowClass(HINSTANCE instance);

// Before any window: the program draws crisp at the screen's DPI itself.
void DeclareDpiAwareness();

// Sets DisplayScale for the window's DPI (the system's before the window exists) and a board of
// rows x columns.
void ChooseDisplayScale(HWND window, DWORD style, std::uint32_t rows, std::uint32_t columns);

// The outer size whose client area holds a board of rows x columns at DisplayScale, with the
// frame, caption and menu bar that the system draws for this style.
WindowSize OuterWindowSize(DWORD style, std::uint32_t rows, std::uint32_t columns);

// Creates the main window hidden, sized for a board of rows x columns, centred on the screen.
HWND CreateMainWindow(HINSTANCE instance, std::uint32_t rows, std::uint32_t columns);

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
