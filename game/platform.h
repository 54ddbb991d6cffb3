// What the game model asks of the platform. The Windows program implements these in ui/;
// the kelbo tool and the tests implement them for themselves.
#pragma once

#include <cstdint>
#include <string>

#include "data/statistics.h"

// The main window, opaque to the model: the model only hands it back to the hooks.
using PlatformWindow = void*;

// Clock timer (timer id 1, one tick a second).
void StartClockTimer(PlatformWindow window);
void StopClockTimer(PlatformWindow window);

// Gives the window the size that the current level needs and centres it on the screen.
void FitWindowToLevel(PlatformWindow window);

// Asks for a repaint of the whole client area, with or without erasing the background first.
void InvalidateClientArea(PlatformWindow window, bool eraseBackground);

// Redraws one cell at once, in the drawing context of the mouse message being handled.
// orientation: 0 up-pointing, 1 down-pointing.
void RedrawCell(std::uint32_t column, std::uint32_t row, int orientation);

// Redraws the cells of one row from firstColumn to lastColumn, both included, in column order,
// as RedrawCell does each of them.
void RedrawCellRun(std::uint32_t row, std::uint32_t firstColumn, std::uint32_t lastColumn);

// A won game hands over to the best-times table: a message, or the name dialog, the table
// update and the best-times dialog.
void RecordBestTime(PlatformWindow window);

// The data file cannot be used (it was changed or damaged while the game ran): tell the
// player, without touching the file; the game goes on.
void ReportDataFileProblem(PlatformWindow window, const std::string& message);

// A game played on the level of key has ended: the Windows program adds it to the record of games
// beside the data file; the tool keeps no record.
void RecordPlayedGame(PlatformWindow window, const LevelKey& key, const FinishedGame& game);

// Renames the data file written new at fresh over target (the data file, or the file its link
// names), keeping what the system lets it keep of the old file; false with the reason, fresh left
// where it is.
bool ReplaceDataFile(const std::string& fresh, const std::string& target, std::string& reason);
