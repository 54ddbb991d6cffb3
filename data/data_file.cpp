#include "data/data_file.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "data/data_check.h"
#include "data/default_file.h"
#include "data/whole_file.h"

std::FILE* DataFile;
std::string DataFileName = "kelbo.dat";

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

static std::string Reason()
{
    return std::strerror(errno);
}

static bool FileExists(const std::string& name)
{
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (file == nullptr)
        return errno != ENOENT;
    std::fclose(file);
    return true;
}

bool WriteDefaultDataFile(std::string& problem, bool replaceExisting)
{
    if (!replaceExisting && FileExists(DataFileName)) {
        problem = DataFileName + " already exists; it is left as it is.";
        return false;
    }
    return WriteWholeFile(DataFileName, DefaultDataFileBytes(), problem,
                          ". Start the game in a folder where you may write files.",
                          ". Free some disk space and start again.");
}

static bool OpenForUpdate(std::string& problem)
{
    DataFile = std::fopen(DataFileName.c_str(), "r+b");
    if (DataFile != nullptr)
        return true;
    problem = DataFileName + " cannot be opened for reading and writing (" + Reason() +
              "). Make sure the file is writable and not in use, or move it away to start with a new one.";
    return false;
}

bool OpenDataFile(std::string& problem, LevelCheck extraCheck)
{
    DataFile = std::fopen(DataFileName.c_str(), "r+b");
    const bool missing = DataFile == nullptr && errno == ENOENT;
    if (missing && !WriteDefaultDataFile(problem))
        return false;
    if (DataFile == nullptr && !OpenForUpdate(problem))
        return false;
    const std::vector<std::string> problems = CheckDataFile(DataFile, DataFileName, extraCheck);
    if (problems.empty())
        return true;
    CloseDataFile();
    problem.clear();
    for (const std::string& line : problems)
        problem += line + "\n";
    problem += "The file has been left as it is. Repair it, or move it away to start with a new one.";
    return false;
}

bool ReopenDataFile(std::string& problem)
{
    const bool closed = DataFile != nullptr && std::fclose(DataFile) == 0;
    DataFile = nullptr;
    if (!closed) {
        problem = DataFileName + " could not be closed (" + Reason() + "); the last change may not be on disk.";
        return false;
    }
    return OpenForUpdate(problem);
}

void CloseDataFile()
{
    if (DataFile != nullptr)
        std::fclose(DataFile);
    DataFile = nullptr;
}
