// kelbo.dat: the levels and their best-times tables.
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

extern std::FILE* DataFile;       // kelbo.dat, open only while the game reads or writes it
extern std::string DataFileName;  // where the data file lives: kelbo.dat in the current directory
extern bool DataFileReadOnly;     // the file may be read but not written: it is played, never changed

// DataFileName as a full path, for the player's messages.
std::string DataFilePath();

// The message for a file that may not be written, when something would have been written.
std::string ReadOnlyMessage(const std::string& whatIsLost);

struct LevelHeader {
    std::uint32_t offset;  // of the record in the file
    std::uint32_t rows;
    std::uint32_t columns;
    std::uint32_t mines;
};

struct LevelRecord;
// A further check of a level whose record is sound: the problem's text, empty when there is none.
using LevelCheck = std::string (*)(const LevelRecord& record);

// Opens DataFileName for update (for reading alone when it may not be written), writing the
// default file first when none exists or it is empty, and checks it, running extraCheck on every
// sound level. On failure DataFile stays closed, the file is left as it was, and problem says
// what is wrong and what to do.
bool OpenDataFile(std::string& problem, LevelCheck extraCheck = nullptr);

// Writes the default file at DataFileName. An existing file is replaced only when asked to;
// otherwise it is left untouched and the call fails. False with a message when it cannot.
bool WriteDefaultDataFile(std::string& problem, bool replaceExisting = false);

// Closes DataFile, if it is open, and opens the file by its name as it is now: a file replaced
// meanwhile is the one read. Opens for update, or for reading alone when the file may not be
// written (DataFileReadOnly then). False with a message when the close or the open fails;
// DataFile is then closed.
bool ReopenDataFile(std::string& problem);

// ReopenDataFile, but a file that has gone or been left empty meanwhile is met as OpenDataFile
// meets it: the default file is written and opened.
bool ReopenOrWriteDataFile(std::string& problem);

void CloseDataFile();

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
