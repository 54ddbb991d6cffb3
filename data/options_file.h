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

// The value of key in the [Options] section of profile text, read as NoGuessInProfile reads
// NoGuess; empty when there is none.
std::string OptionInProfile(const std::string& text, const std::string& key);

// The triangle size that profile text asks for: its Size key holds 1, 2 or 3; 1 for anything else.
int TriangleSizeInProfile(const std::string& text);

// TriangleSizeInProfile of the file at path; 1 when it cannot be read.
int ReadTriangleSizeOption(const std::string& path);

// The text of the options file at path, empty when there is none. False when something stands
// there that cannot be read whole (a folder, a read error, more than any options file holds):
// a file written over it would lose what it holds.
bool ReadOptionsText(const std::string& path, std::string& text);

// Profile text with key set to value in its first [Options] section, and nothing else changed:
// every other line, key, section and comment stays as it was. The key's first line there is
// replaced; without one the key goes after the section's last line that is not blank, and without
// the section, a new one goes at the end. New lines end as the text's lines do (CR LF in a new file).
std::string WithOptionSet(const std::string& text, const std::string& key, const std::string& value);
