#include "data/default_file.h"

#include <algorithm>
#include <cstring>

#include "data/file_layout.h"

namespace {

struct DefaultLevel {
    const char* title;
    std::uint8_t rows;
    std::uint8_t columns;
    std::uint8_t mines;
    std::int32_t times[kTableEntries];
    const char* const* mask;  // rows of text: 'a' a void cell, any other letter a playable one
};

const char* const kTriangleMask[] = {
    "aaaaaaaabaaaaaaaa", "aaaaaaabbbaaaaaaa", "aaaaaabbbbbaaaaaa", "aaaaabbbbbbbaaaaa", "aaaabbbbbbbbbaaaa",
    "aaabbbbbbbbbbbaaa", "aabbbbbbbbbbbbbaa", "abbbbbbbbbbbbbbba", "bbbbbbbbbbbbbbbbb",
};

const char* const kStarMask[] = {
    "aaaaaaaaaaaabbbaaaaaaaaaaaa", "aaaaaaaaaaabbbbbaaaaaaaaaaa", "aaaaaaaaaabbbbbbbaaaaaaaaaa",
    "aaaaaaaaabbbbbbbbbaaaaaaaaa", "bbbbbbbbbbbbbbbbbbbbbbbbbbb", "bbbbbbbbbbbbbbbbbbbbbbbbbbb",
    "aaabbbbbbbbbbbbbbbbbbbbbaaa", "aaaaaabbbbbbbbbbbbbbbaaaaaa", "aaaaaabbbbbbbbbbbbbbbaaaaaa",
    "aaaaabbbbbbbbbbbbbbbbbaaaaa", "aaaaabbbbbbbaaabbbbbbbaaaaa", "aaaaabbbbaaaaaaaaabbbbaaaaa",
    "aaaaabaaaaaaaaaaaaaaabaaaaa",
};

const char* const kHexagonMask[] = {
    "aaaaaabbbbbbbbbbbbbbbbbaaaaaa", "aaaaabbbbbbbbbbbbbbbbbbbaaaaa", "aaaabbbbbbbbbbbbbbbbbbbbbaaaa",
    "aaabbbbbbbbbbbbbbbbbbbbbbbaaa", "aabbbbbbbbabababababbbbbbbbaa", "abbbbbbbbaaaaaaaaaaabbbbbbbba",
    "bbbbbbbbaaaaaaaaaaaaabbbbbbbb", "bbbbbbbbaaaaaaaaaaaaabbbbbbbb", "abbbbbbbbaaaaaaaaaaabbbbbbbba",
    "aabbbbbbbbabababababbbbbbbbaa", "aaabbbbbbbbbbbbbbbbbbbbbbbaaa", "aaaabbbbbbbbbbbbbbbbbbbbbaaaa",
    "aaaaabbbbbbbbbbbbbbbbbbbaaaaa", "aaaaaabbbbbbbbbbbbbbbbbaaaaaa",
};

const char* const kRadiationMask[] = {
    "aaaaaaaaaaaaaaaaaaaaaaaaa", "aaaaaabbbbbbbbbbbbbaaaaaa", "aaaaaaabbbbbbbbbbbaaaaaaa", "aaaaaaaabbbbbbbbbaaaaaaaa",
    "aaaaaaaaabbbbbbbaaaaaaaaa", "aaaaaaaaaabbbbbaaaaaaaaaa", "aaaaaaaaaabbbbbaaaaaaaaaa", "bbbbbbbbbbbbbbbbbbbbbbbbb",
    "abbbbbbbbbbbbbbbbbbbbbbba", "aabbbbbbbbbaaabbbbbbbbbaa", "aaabbbbbbbaaaaabbbbbbbaaa", "aaaabbbbbaaaaaaabbbbbaaaa",
    "aaaaabbbaaaaaaaaabbbaaaaa", "aaaaaabaaaaaaaaaaabaaaaaa",
};

const char* const kCrossMask[] = {
    "aabbbaaaaaaabbbaa", "abbbbbaaaaabbbbba", "abbbbbbbbbbbbbbba", "aabbbbbbbbbbbbbaa",
    "aaabbbbbbbbbbbaaa", "aaabbbbbbbbbbbaaa", "aaabbbbbbbbbbbaaa", "aaabbbbbbbbbbbaaa",
    "aabbbbbbbbbbbbbaa", "abbbbbbbbbbbbbbba", "abbbbbaaaaabbbbba", "aabbbaaaaaaabbbaa",
};

const DefaultLevel kDefaultLevels[kLevelCount] = {
    {"Beginner ", 7, 13, 10, {60, 100, 150, 200, 300}, nullptr},
    {"Intermediate", 12, 25, 36, {200, 260, 350, 500, 700}, nullptr},
    {"Expert   ", 14, 36, 80, {800, 900, 1000, 1100, 1400}, nullptr},
    {"Triangle   ", 9, 17, 10, {500, 500, 500, 500, 500}, kTriangleMask},
    {"Star   ", 13, 27, 19, {800, 800, 800, 800, 800}, kStarMask},
    {"Hexagon   ", 14, 29, 35, {1500, 1500, 1500, 1500, 1500}, kHexagonMask},
    {"Radiation ", 14, 25, 20, {1500, 1500, 1500, 1500, 1500}, kRadiationMask},
    {"Cross  ", 12, 17, 10, {1500, 1500, 1500, 1500, 1500}, kCrossMask},
};

const char kDefaultPlayer[] = "Quelby    ";

void AppendU32(std::vector<std::uint8_t>& bytes, std::uint32_t value)
{
    std::uint8_t word[4];
    PutU32LE(word, value);
    bytes.insert(bytes.end(), word, word + 4);
}

void AppendMask(std::vector<std::uint8_t>& bytes, const DefaultLevel& level)
{
    for (int row = 0; row < level.rows; ++row)
        for (int column = 0; column < level.columns; ++column)
            bytes.push_back(level.mask[row][column] == 'a' ? kVoidCell : kPlayableCell);
}

void AppendRecord(std::vector<std::uint8_t>& bytes, const DefaultLevel& level)
{
    bytes.push_back(level.rows);
    bytes.push_back(level.columns);
    bytes.push_back(level.mines);
    AppendTextField(bytes, level.title, kTitleSize);
    for (std::int32_t time : level.times) {
        AppendTextField(bytes, kDefaultPlayer, kNameSize);
        AppendU32(bytes, static_cast<std::uint32_t>(time));
    }
    if (level.mask != nullptr)
        AppendMask(bytes, level);
}

}  // namespace

void AppendTextField(std::vector<std::uint8_t>& bytes, const std::string& text, std::size_t size)
{
    const std::size_t start = bytes.size();
    bytes.resize(start + size, 0);
    std::memcpy(bytes.data() + start, text.data(), std::min(text.size(), size - 1));
}

std::vector<std::uint8_t> DefaultDataFileBytes()
{
    std::vector<std::uint8_t> records;
    std::vector<std::uint8_t> offsetTable;
    const std::uint32_t firstRecord = kOffsetTablePosition + kOffsetTableSize;
    for (const DefaultLevel& level : kDefaultLevels) {
        AppendU32(offsetTable, firstRecord + static_cast<std::uint32_t>(records.size()));
        AppendRecord(records, level);
    }
    std::vector<std::uint8_t> bytes{0};  // the reserved byte
    bytes.insert(bytes.end(), offsetTable.begin(), offsetTable.end());
    bytes.insert(bytes.end(), records.begin(), records.end());
    return bytes;
}
