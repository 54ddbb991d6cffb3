// The Win32 side of the record of games: each game played written into it, the Statistics dialog,
// and the No guessing mode's best times, which the record keeps apart from the data file's.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "data/file_layout.h"

// The level's figures in each mode, with the button that empties them.
void ShowStatistics(HWND window);

// The No guessing table of the level in play; an empty one when the record is damaged. False with
// the player's message when the record cannot be read.
bool ReadNoGuessTimes(BestTimesTable& table, std::string& problem);

// A won time into the No guessing table of the level in play, as the record holds it now; false
// with the player's message.
bool SaveNoGuessTime(HWND window, const std::uint8_t (&name)[kNameSize], std::int32_t seconds, std::string& problem);

// Empties the No guessing table of the level in play; false with the player's message.
bool ClearNoGuessTimes(HWND window, std::string& problem);
