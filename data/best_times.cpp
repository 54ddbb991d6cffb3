#include "data/best_times.h"

#include <cassert>
#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

#include "data/data_check.h"
#include "data/data_file.h"
#include "data/file_lock.h"
#include "data/whole_file.h"

constexpr long kTableSize = kEntrySize * kTableEntries;

// File positions are longs, only 32 bits wide on Windows.
static bool RecordFitsPositions(std::uint32_t recordOffset)
{
    return std::uint64_t{recordOffset} + kRecordMask <= static_cast<std::uint64_t>(LONG_MAX);
}

bool ReadBestTimes(std::FILE* file, std::uint32_t recordOffset, BestTimesTable& table)
{
    std::uint8_t bytes[kTableSize];
    if (!RecordFitsPositions(recordOffset) ||
        !ReadBytesAt(file, static_cast<long>(recordOffset) + kRecordTable, bytes, sizeof bytes))
        return false;
    table = BestTimesFromBytes(bytes);
    return true;
}

bool ReadLevelTitle(std::FILE* file, std::uint32_t recordOffset, std::string& title)
{
    std::uint8_t bytes[kTitleSize];
    if (!RecordFitsPositions(recordOffset) ||
        !ReadBytesAt(file, static_cast<long>(recordOffset) + kRecordTitle, bytes, sizeof bytes))
        return false;
    title = FieldText(bytes, sizeof bytes);
    return true;
}

static bool Beats(std::int32_t seconds, std::int32_t stored)
{
    return stored == 0 || seconds < stored;
}

std::int32_t RecordedSeconds(std::int32_t elapsedSeconds)
{
    return elapsedSeconds < 1 ? 1 : elapsedSeconds;
}

int PlaceForTime(const BestTimesTable& table, std::int32_t seconds)
{
    assert(seconds >= 1);  // a time of 0 would be an empty entry
    int place = kTableEntries;
    while (place > 0 && Beats(seconds, table.entries[place - 1].seconds))
        --place;
    return place;
}

BestTimesTable InsertBestTime(const BestTimesTable& table, const std::uint8_t (&name)[kNameSize], std::int32_t seconds)
{
    const int place = PlaceForTime(table, seconds);
    if (place == kTableEntries)
        return table;
    BestTimesTable result = table;
    for (int k = kTableEntries - 1; k > place; --k)
        result.entries[k] = table.entries[k - 1];
    std::memcpy(result.entries[place].name, name, kNameSize);
    result.entries[place].seconds = seconds;
    return result;
}

BestTimesTable EmptyBestTimes()
{
    BestTimesTable table{};
    for (BestTime& entry : table.entries)
        std::memcpy(entry.name, "NONAME", 6);
    return table;
}

// The table goes only where a whole record already lies, so the file never grows or gains bytes
// outside the table.
static bool WriteTableBytes(std::uint32_t recordOffset, const BestTimesTable& table)
{
    if (DataFile == nullptr || !RecordFitsPositions(recordOffset))
        return false;
    const long size = FileSizeOf(DataFile);
    if (size < 0 || static_cast<long>(recordOffset) + kRecordMask > size)
        return false;
    std::uint8_t bytes[kTableSize];
    BestTimesToBytes(table, bytes);
    return WriteBytesAt(DataFile, static_cast<long>(recordOffset) + kRecordTable, bytes, sizeof bytes) &&
           FlushToDisk(DataFile);
}

// A write that failed part-way can leave old and new entries mixed: the old table goes back
// through a fresh stream, since the failed one still holds the unwritten bytes.
static void PutBackTable(long position, const std::uint8_t* bytes)
{
    CloseDataFile();
    DataFile = std::fopen(DataFileName.c_str(), "r+b");
    if (DataFile != nullptr && WriteBytesAt(DataFile, position, bytes, kTableSize))
        FlushToDisk(DataFile);
}

bool WriteBestTimes(std::uint32_t recordOffset, const BestTimesTable& table, std::string& problem)
{
    const long position = static_cast<long>(recordOffset) + kRecordTable;
    std::uint8_t oldBytes[kTableSize];
    const bool haveOld = RecordFitsPositions(recordOffset) && ReadBytesAt(DataFile, position, oldBytes, kTableSize);
    errno = 0;
    const bool written = WriteTableBytes(recordOffset, table);
    const int writeError = errno;
    if (written) {
        std::string reopenProblem;
        if (ReopenDataFile(reopenProblem))
            return true;
    } else if (haveOld) {
        PutBackTable(position, oldBytes);
    }
    const int error = written ? errno : writeError;
    const std::string reason = error != 0 ? std::string(" (") + std::strerror(error) + ")" : std::string();
    problem = DataFilePath() + ": the new best times were not saved" + reason +
              ". Make sure the disk has room and the file may be written, then try again.";
    return false;
}

bool ReadCurrentBestTimes(int levelIndex, std::uint32_t& recordOffset, BestTimesTable& table, std::string& problem)
{
    if (!ReopenDataFile(problem))
        return false;
    LevelRecord record;
    const std::vector<FileProblem> problems = FindLevelProblems(DataFile, DataFileName, levelIndex, record);
    if (!problems.empty()) {
        problem = DamagedFileMessage(problems);
        return false;
    }
    recordOffset = record.offset;
    table = record.table;
    return true;
}

std::string TimeNotSaved(std::int32_t seconds)
{
    return "your time of " + std::to_string(seconds) + (seconds == 1 ? " second" : " seconds") + " was not saved";
}

void (*BeforeBestTimesWritten)();

// The table is read again once the name is known, from the file as it is now: another copy of the
// game or kelbo may have changed or replaced it meanwhile, and the new entry must go into the table
// as it is now.
static bool SaveWhileLocked(int levelIndex, const std::uint8_t (&name)[kNameSize], std::int32_t seconds,
                            std::string& problem)
{
    std::uint32_t recordOffset = 0;
    BestTimesTable table{};
    if (!ReadCurrentBestTimes(levelIndex, recordOffset, table, problem)) {
        problem = DataFilePath() + " cannot be read, so " + TimeNotSaved(seconds) + ".\n" + problem;
        return false;
    }
    if (DataFileReadOnly) {
        problem = ReadOnlyMessage(TimeNotSaved(seconds));
        return false;
    }
    // Otherwise faster times came in meanwhile: the table shows them.
    if (PlaceForTime(table, seconds) == kTableEntries)
        return true;
    if (BeforeBestTimesWritten != nullptr)
        BeforeBestTimesWritten();
    return WriteBestTimes(recordOffset, InsertBestTime(table, name, seconds), problem);
}

bool SaveBestTime(int levelIndex, const std::uint8_t (&name)[kNameSize], std::int32_t seconds, std::string& problem)
{
    const LockOutcome lock = LockDataFile();
    if (lock != LockOutcome::Held) {
        problem = DataFileLockMessage(lock, TimeNotSaved(seconds));
        return false;
    }
    const bool saved = SaveWhileLocked(levelIndex, name, seconds, problem);
    CloseDataFile();
    UnlockDataFile();
    return saved;
}

static bool ClearWhileLocked(int levelIndex, std::string& problem)
{
    std::uint32_t recordOffset = 0;
    BestTimesTable table{};
    if (!ReadCurrentBestTimes(levelIndex, recordOffset, table, problem))
        return false;
    if (DataFileReadOnly) {
        problem = ReadOnlyMessage("the best times were not reset");
        return false;
    }
    return WriteBestTimes(recordOffset, EmptyBestTimes(), problem);
}

bool ClearBestTimes(int levelIndex, std::string& problem)
{
    const LockOutcome lock = LockDataFile();
    if (lock != LockOutcome::Held) {
        problem = DataFileLockMessage(lock, "the best times were not reset");
        return false;
    }
    const bool cleared = ClearWhileLocked(levelIndex, problem);
    CloseDataFile();
    UnlockDataFile();
    return cleared;
}
