// skarvel.ini: the player's options, a Windows profile file in the data file's folder. The game
// writes it only when the player changes an option, and reads it at start-up; a file that is
// missing, unreadable or damaged leaves every option off.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The options file that goes with the data file at dataFilePath: skarvel.ini in the same folder.
std::string OptionsFileBeside(const std::string& dataFilePath);

// Whether profile text turns No guessing on: its [Options] section's NoGuess key holds exactly 1.
// Section and key names match whatever their case, and blanks around them and the value do not
// count, nor quotes around the value, as in any Windows profile file.
bool NoGuessInProfile(const std::string& text);

// NoGuessInProfile of the file at path; false when it cannot be read.
bool ReadNoGuessOption(const std::string& path);

// The whole options file for this setting of No guessing.
std::vector<std::uint8_t> OptionsFileBytes(bool noGuess);
