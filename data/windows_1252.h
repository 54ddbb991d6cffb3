// Text in the data file is in the game's single-byte Windows character set (Windows-1252): bytes
// below 128 are ASCII, 160 to 255 are Latin-1, and 128 to 159 hold a few further letters and signs,
// five of which (129, 141, 143, 144, 157) stand for nothing.
#pragma once

#include <cstdint>
#include <string>

constexpr std::uint32_t kNoCodePoint = 0xFFFFFFFFu;

// The Unicode code point of a byte of the file's text; kNoCodePoint for the five empty bytes.
std::uint32_t CodePointOfWindows1252(std::uint8_t byte);

// The byte that holds a code point in the file's text; false when Windows-1252 has none.
bool Windows1252OfCodePoint(std::uint32_t codePoint, std::uint8_t& byte);

// Appends a code point in UTF-8.
void AppendUtf8(std::string& text, std::uint32_t codePoint);

// The code point that starts at text[position] in UTF-8, and how many bytes it takes; false for
// bytes that are not UTF-8 (a stray continuation, a cut-off or overlong sequence, a surrogate).
bool NextUtf8CodePoint(const std::string& text, std::size_t position, std::uint32_t& codePoint,
                       std::size_t& length);

// "character 3, SHOWN, is not in the game's character set (Windows-1252)": what is said of the
// first character of a title that the file cannot hold, position counted from 1.
std::string NotInCharacterSet(std::size_t position, const std::string& shownCharacter);
