#include "data/windows_1252.h"

namespace {

constexpr std::uint8_t kFirstSpecialByte = 0x80;
constexpr std::uint8_t kFirstLatin1Byte = 0xA0;

// Bytes 128 to 159; 0 where the character set has no character.
const std::uint16_t kSpecialCodePoints[kFirstLatin1Byte - kFirstSpecialByte] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

}  // namespace

std::uint32_t CodePointOfWindows1252(std::uint8_t byte)
{
    if (byte < kFirstSpecialByte || byte >= kFirstLatin1Byte)
        return byte;
    const std::uint16_t codePoint = kSpecialCodePoints[byte - kFirstSpecialByte];
    return codePoint != 0 ? codePoint : kNoCodePoint;
}

bool Windows1252OfCodePoint(std::uint32_t codePoint, std::uint8_t& byte)
{
    if (codePoint < kFirstSpecialByte || (codePoint >= kFirstLatin1Byte && codePoint <= 0xFF)) {
        byte = static_cast<std::uint8_t>(codePoint);
        return true;
    }
    for (std::uint32_t index = 0; index < kFirstLatin1Byte - kFirstSpecialByte; ++index) {
        if (kSpecialCodePoints[index] != 0 && kSpecialCodePoints[index] == codePoint) {
            byte = static_cast<std::uint8_t>(kFirstSpecialByte + index);
            return true;
        }
    }
    return false;
}

void AppendUtf8(std::string& text, std::uint32_t codePoint)
{
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
        return;
    }
    const int continuations = codePoint < 0x800 ? 1 : codePoint < 0x10000 ? 2 : 3;
    const std::uint32_t leadMarks[] = {0, 0xC0, 0xE0, 0xF0};
    text += static_cast<char>(leadMarks[continuations] | (codePoint >> (6 * continuations)));
    for (int shift = 6 * (continuations - 1); shift >= 0; shift -= 6)
        text += static_cast<char>(0x80 | ((codePoint >> shift) & 0x3F));
}

bool NextUtf8CodePoint(const std::string& text, std::size_t position, std::uint32_t& codePoint,
                       std::size_t& length)
{
    const std::uint8_t lead = static_cast<std::uint8_t>(text[position]);
    const std::uint32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    std::size_t continuations = 0;
    if (lead < 0x80)
        continuations = 0;
    else if ((lead & 0xE0) == 0xC0)
        continuations = 1;
    else if ((lead & 0xF0) == 0xE0)
        continuations = 2;
    else if ((lead & 0xF8) == 0xF0)
        continuations = 3;
    else
        return false;
    codePoint = continuations == 0 ? lead : lead & (0x3Fu >> continuations);
    for (std::size_t i = 1; i <= continuations; ++i) {
        if (position + i >= text.size() || (static_cast<std::uint8_t>(text[position + i]) & 0xC0) != 0x80)
            return false;
        codePoint = (codePoint << 6) | (static_cast<std::uint8_t>(text[position + i]) & 0x3Fu);
    }
    length = continuations + 1;
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return codePoint >= smallest[continuations] && codePoint <= 0x10FFFF && !surrogate;
}

std::string NotInCharacterSet(std::size_t position, const std::string& shownCharacter)
{
    return "character " + std::to_string(position) + ", " + shownCharacter +
           ", is not in the game's character set (Windows-1252)";
}
