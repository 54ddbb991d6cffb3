// The board maker's shape area: a child window of its own class that draws a level's outline as
// triangles at a scale that fits, and lets the player paint it with the mouse or the keys.
#pragma once

#include <windows.h>

#include "data/level_edit.h"

constexpr const char* kShapeAreaClass = "SkarvelShapeArea";

// Sent to the parent as WM_COMMAND's notification code when the player changed a triangle.
constexpr WORD kShapeChanged = 1;

// The smallest row height the area draws at: smaller triangles are hard to hit, so it scrolls.
constexpr int kSmallestRowPitch = 6;

bool RegisterShapeArea(HINSTANCE instance);

// Shows the outline, which the area then changes in place when painting is allowed; the caller
// keeps it alive while the area shows it and calls this again when it changed it itself.
void ShowOutline(HWND area, LevelOutline* outline, bool paintable);

// Row height and column step in pixels for a grid in a client area of width x height: the
// largest that lets the whole grid fit, kSmallestRowPitch and its step when none does.
struct ShapeScale {
    int rowPitch;
    int columnStep;
    bool fits;
};
ShapeScale ScaleForGrid(std::uint32_t rows, std::uint32_t columns, int width, int height);
