// kelbo.dat: the levels and their best-times tables, and reading and writing them byte by byte.
//
// Layout (little-endian numbers):
//   0         reserved byte
//   1         offset table: one 32-bit record offset per level
//   records   rows, columns, mines (one byte each), 13-byte title, five 15-byte best-times
//             entries (11-byte name, 32-bit time), then for shaped levels a rows x columns mask
// Readers find records through the offset table only; records may stand in any order.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

constexpr long kOffsetTablePosition = 1;
constexpr long kOffsetTableSize = 32;
constexpr long kRecordTitle = 3;
constexpr long kRecordTable = 16;
constexpr long kRecordMask = 91;
constexpr long kTitleSize = 13;
constexpr long kNameSize = 11;
constexpr long kEntrySize = 15;  // name and 32-bit time
constexpr long kEntryTime = 11;  // offset of the time within an entry
constexpr int kTableEntries = 5;
constexpr long kDefaultFileSize = 2225;

constexpr int kLevelCount = 8;
constexpr int kFirstShapedLevel = 3;  // levels from here on read their outline from a mask

// Mask bytes; they become the cells' first bytes, so the board's encoding uses them too.
constexpr std::uint8_t kPlayableCell = 0;
constexpr std::uint8_t kVoidCell = 255;

// The cells of a mask or grid that hold a triangle.
std::size_t CountPlayableCells(const std::vector<std::uint8_t>& cells);

// A level's table of the five best times, as stored in its record.
struct BestTime {
    std::uint8_t name[kNameSize];  // the field as stored: bytes after the terminator mean nothing
    std::int32_t seconds;          // 0 marks an empty entry
};

struct BestTimesTable {
    BestTime entries[kTableEntries];  // entry 0 the best
};

// The table as stored, and back.
BestTimesTable BestTimesFromBytes(const std::uint8_t* bytes);
void BestTimesToBytes(const BestTimesTable& table, std::uint8_t* bytes);

struct LevelHeader {
    std::uint32_t offset;  // of the record in the file
    std::uint32_t rows;
    std::uint32_t columns;
    std::uint32_t mines;
};

// File position of the offset-table slot of a level.
inline long OffsetSlotPosition(int levelIndex)
{
    return kOffsetTablePosition + 4L * levelIndex;
}

// Fixed-size access at an absolute position; false when the seek or the transfer fails.
bool ReadBytesAt(std::FILE* file, long position, void* bytes, std::size_t count);
bool ReadU32At(std::FILE* file, long position, std::uint32_t& value);
bool WriteBytesAt(std::FILE* file, long position, const void* bytes, std::size_t count);
bool WriteU32At(std::FILE* file, long position, std::uint32_t value);

void PutU32LE(std::uint8_t* bytes, std::uint32_t value);
std::uint32_t GetU32LE(const std::uint8_t* bytes);

// Reads the offset and the rows, columns and mines of a level's record.
bool ReadLevelHeader(std::FILE* file, int levelIndex, LevelHeader& header);

// The size of a level's record: the mask follows only for shaped levels.
long RecordSize(int levelIndex, const LevelHeader& header);

// A text field as shown to the player: cut at its terminator or at its size, never read past it.
std::string FieldText(const std::uint8_t* bytes, std::size_t size);

// A title or a name without the spaces that pad it to its field.
std::string WithoutTrailingSpaces(std::string text);
