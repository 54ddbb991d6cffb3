// What the kelbo commands share: their one-line failures, their numbers, and text carried between
// the terminal and the data file, whose text is in Windows-1252.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes "kelbo: MESSAGE" on standard error; the exit code of a failed command.
int Fail(const std::string& message);

constexpr int kMisuse = 2;

// Writes "kelbo: MESSAGE" on standard error; the exit code of a misused command line.
int Misuse(const std::string& message);

// Writes "kelbo: warning: MESSAGE" on standard error; the command goes on.
void Warn(const std::string& message);

// "give a level number from 0 to 7", or that the number typed is none of them; false with it.
bool ParseLevel(const std::string& text, int& level, std::string& problem);

// A whole number from 0 to 4294967295 given as the option's value; false with a message.
bool ParseWord32(const std::string& optionName, const std::string& text, std::uint32_t& value, std::string& problem);

// A whole decimal number from 0 to limit, the same on every platform; false for anything else.
bool ParseNumber(const std::string& text, std::uint64_t limit, std::uint64_t& value);

// Text from the file as it may go to the terminal, in the terminal's encoding: control bytes would
// drive the terminal, so they are written as \xHH, and so is a byte the terminal cannot show (one
// of the five that Windows-1252 leaves empty, or a letter the console's code page lacks); a
// backslash is written \\.
std::string TerminalText(const std::string& fileText);

// The text padded with spaces to width characters as the terminal shows them.
std::string PadToWidth(const std::string& terminalText, std::size_t width);

// A text typed on the command line as argument number index, in the file's Windows-1252; false
// with a message giving the position of the first character that the file cannot hold.
bool FileTextFromArgument(const std::string& argument, int index, const std::string& optionName, std::string& fileText,
                          std::string& problem);
