#include "data/data_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#ifndef _WIN32
#include <unistd.h>  // getcwd
#endif

#include "data/data_check.h"
#include "data/default_file.h"
#include "data/whole_file.h"

std::FILE* DataFile;
std::string DataFileName = "kelbo.dat";
bool DataFileReadOnly = false;

std::string DataFilePath()
{
#ifdef _WIN32
    char* full = _fullpath(nullptr, DataFileName.c_str(), 0);
    if (full == nullptr)
        return DataFileName;
    const std::string path = full;
    std::free(full);
    return path;
#else
    if (!DataFileName.empty() && DataFileName[0] == '/')
        return DataFileName;
    std::vector<char> folder(4096);
    if (getcwd(folder.data(), folder.size()) == nullptr)
        return DataFileName;
    return std::string(folder.data()) + "/" + DataFileName;
#endif
}

std::string ReadOnlyMessage(const std::string& whatWasNotDone)
{
    return DataFilePath() + " is read-only, so " + whatWasNotDone +
           ".\nThe game plays on from the file and leaves it as it is. To keep best times, make the file "
           "writable, or copy the game's folder to a place where you may write files and start it there.";
}

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

static bool MayNotWrite(int error)
{
    return error == EACCES || error == EPERM || error == EROFS;
}

// For update, or for reading alone when the file may not be written. 0, or the error of the
// failed open.
static int OpenByName()
{
    DataFileReadOnly = false;
    DataFile = std::fopen(DataFileName.c_str(), "r+b");
    if (DataFile != nullptr)
        return 0;
    const int error = errno;
    if (!MayNotWrite(error))
        return error;
    DataFile = std::fopen(DataFileName.c_str(), "rb");
    if (DataFile == nullptr)
        return error;
    DataFileReadOnly = true;
    return 0;
}

static std::string CannotOpenMessage(int error)
{
    // With no file there is nothing to move away.
    if (error == ENOENT)
        return DataFilePath() + " cannot be found: it has been moved or deleted.\nA new game writes a new one "
                                "with the built-in levels.";
    return DataFilePath() + " cannot be opened: " + std::strerror(error) +
           ".\nMake sure the file may be read and is not a folder, or move it away: the game then starts "
           "with its built-in levels.";
}

static bool IsEmpty(std::FILE* file)
{
    return std::fseek(file, 0, SEEK_END) == 0 && std::ftell(file) == 0;
}

// A file left empty, by a crash for instance, holds nothing to lose.
static bool ReplaceEmptyFile(std::string& problem)
{
    const bool readOnly = DataFileReadOnly;
    CloseDataFile();
    if (readOnly) {
        problem = DataFilePath() +
                  " is empty and read-only, so the built-in levels cannot be written into it.\nDelete the file, or "
                  "make it writable, and start the game again.";
        return false;
    }
    if (!WriteDefaultDataFile(problem, true)) {
        problem = DataFilePath() + " is empty, and the built-in levels cannot be written into it.\n" + problem;
        return false;
    }
    return true;
}

static bool WriteMissingFile(std::string& problem)
{
    if (WriteDefaultDataFile(problem))
        return true;
    problem = DataFilePath() + " does not exist, and a new one with the built-in levels cannot be written.\n" + problem;
    return false;
}

// A missing or empty file is replaced by the default one, as it holds nothing to lose.
static bool OpenOrWriteDefault(std::string& problem)
{
    int error = OpenByName();
    if (error == ENOENT && !WriteMissingFile(problem))
        return false;
    if (DataFile != nullptr && IsEmpty(DataFile) && !ReplaceEmptyFile(problem))
        return false;
    if (DataFile == nullptr && (error = OpenByName()) != 0) {
        problem = CannotOpenMessage(error);
        return false;
    }
    return true;
}

bool OpenDataFile(std::string& problem, LevelCheck extraCheck)
{
    if (!OpenOrWriteDefault(problem))
        return false;
    const std::vector<FileProblem> problems = FindFileProblems(DataFile, DataFileName, extraCheck);
    if (problems.empty())
        return true;
    CloseDataFile();
    problem = DamagedFileMessage(problems);
    return false;
}

static bool CloseForReopen(std::string& problem)
{
    if (DataFile != nullptr) {
        const bool closed = std::fclose(DataFile) == 0;
        DataFile = nullptr;
        if (!closed) {
            problem = DataFilePath() + " could not be closed (" + Reason() + "); the last change may not be on disk.";
            return false;
        }
    }
    return true;
}

bool ReopenDataFile(std::string& problem)
{
    if (!CloseForReopen(problem))
        return false;
    const int error = OpenByName();
    if (error == 0)
        return true;
    problem = CannotOpenMessage(error);
    return false;
}

bool ReopenOrWriteDataFile(std::string& problem)
{
    return CloseForReopen(problem) && OpenOrWriteDefault(problem);
}

void CloseDataFile()
{
    if (DataFile != nullptr)
        std::fclose(DataFile);
    DataFile = nullptr;
}
