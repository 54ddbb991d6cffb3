#include "data/file_layout.h"

#include <algorithm>
#include <cstring>

void PutU32LE(std::uint8_t* bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetU32LE(const std::uint8_t* bytes)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

bool ReadBytesAt(std::FILE* file, long position, void* bytes, std::size_t count)
{
    if (file == nullptr || std::fseek(file, position, SEEK_SET) != 0)
        return false;
    return std::fread(bytes, 1, count, file) == count;
}

bool ReadU32At(std::FILE* file, long position, std::uint32_t& value)
{
    std::uint8_t bytes[4];
    if (!ReadBytesAt(file, position, bytes, sizeof bytes))
        return false;
    value = GetU32LE(bytes);
    return true;
}

bool WriteBytesAt(std::FILE* file, long position, const void* bytes, std::size_t count)
{
    if (file == nullptr || std::fseek(file, position, SEEK_SET) != 0)
        return false;
    return std::fwrite(bytes, 1, count, file) == count;
}

bool WriteU32At(std::FILE* file, long position, std::uint32_t value)
{
    std::uint8_t bytes[4];
    PutU32LE(bytes, value);
    return WriteBytesAt(file, position, bytes, sizeof bytes);
}

bool ReadLevelHeader(std::FILE* file, int levelIndex, LevelHeader& header)
{
    std::uint8_t sizes[3];
    if (!ReadU32At(file, OffsetSlotPosition(levelIndex), header.offset))
        return false;
    if (!ReadBytesAt(file, static_cast<long>(header.offset), sizes, sizeof sizes))
        return false;
    header.rows = sizes[0];
    header.columns = sizes[1];
    header.mines = sizes[2];
    return true;
}

long RecordSize(int levelIndex, const LevelHeader& header)
{
    const long maskSize = levelIndex >= kFirstShapedLevel ? static_cast<long>(header.rows * header.columns) : 0;
    return kRecordMask + maskSize;
}

std::string FieldText(const std::uint8_t* bytes, std::size_t size)
{
    const void* terminator = std::memchr(bytes, 0, size);
    const std::size_t length =
        terminator != nullptr ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(terminator) - bytes) : size;
    return std::string(reinterpret_cast<const char*>(bytes), length);
}

std::string WithoutTrailingSpaces(std::string text)
{
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::size_t CountPlayableCells(const std::vector<std::uint8_t>& cells)
{
    return static_cast<std::size_t>(std::count(cells.begin(), cells.end(), kPlayableCell));
}

BestTimesTable BestTimesFromBytes(const std::uint8_t* bytes)
{
    BestTimesTable table{};
    for (int k = 0; k < kTableEntries; ++k) {
        const std::uint8_t* entry = bytes + kEntrySize * k;
        std::memcpy(table.entries[k].name, entry, kNameSize);
        table.entries[k].seconds = static_cast<std::int32_t>(GetU32LE(entry + kEntryTime));
    }
    return table;
}

void BestTimesToBytes(const BestTimesTable& table, std::uint8_t* bytes)
{
    for (int k = 0; k < kTableEntries; ++k) {
        std::uint8_t* entry = bytes + kEntrySize * k;
        std::memcpy(entry, table.entries[k].name, kNameSize);
        PutU32LE(entry + kEntryTime, static_cast<std::uint32_t>(table.entries[k].seconds));
    }
}
