// The Win32 side of the best-times table: the Enter name and Best times dialogs. The table's
// order and its writes are the data file's (data/best_times.h).
#pragma once

#include <windows.h>

#include <cstdint>

#include "data/data_file.h"

// Asks for the winner's name; name receives the field as stored: at most 10 characters, then zeros.
void AskPlayerName(HWND window, std::uint8_t (&name)[kNameSize]);

// While another program holds a lock the game waits for (a best time, Reset scores, Make a board's
// Save, the record of games), the windows keep painting, and no other message reaches them.
void PaintWhileAwaitingLock();

// The current level's table, with its Reset scores button.
void ShowBestTimes(HWND window);
