// libFuzzer target: any bytes as the data file, put through everything that reads it: the start-up
// open and its checks, a game played on every level that passes, a best time recorded on each
// level, and the kelbo commands. A best time must never change a byte outside its level's table.
// Run with -close_fd_mask=3: kelbo's output is not wanted.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "data/best_times.h"
#include "data/data_check.h"
#include "data/data_file.h"
#include "game/board.h"
#include "game/cell.h"
#include "game/level_check.h"
#include "game/rules.h"
#include "tools/kelbo_commands.h"

static std::string ScratchFileName;  // the input as a file, private to this process

static void PlayEveryCell(std::uint32_t seed)
{
    NewGameWithSeed(nullptr, seed);
    for (std::uint32_t row = 0; row < Rows && GameState != Over; ++row)
        for (std::uint32_t column = 0; column < Columns && GameState != Over; ++column) {
            StartClock(nullptr);
            if ((row + column + seed) % 5 == 0)
                CycleMark(nullptr, column, row);
            else if (!IsVoid(CellAt(column, row)))
                Uncover(nullptr, column, row);
        }
}

static void PlayPassingLevels(std::uint32_t seed)
{
    std::string problem;
    for (LevelIndex = 0; LevelIndex < kLevelCount; ++LevelIndex)
        if (ReopenDataFile(problem) && CheckLevelForPlay(DataFile, DataFileName, LevelIndex).empty())
            PlayEveryCell(seed + static_cast<std::uint32_t>(LevelIndex));
}

static std::vector<std::uint8_t> ScratchBytes()
{
    std::vector<std::uint8_t> bytes;
    std::FILE* file = std::fopen(ScratchFileName.c_str(), "rb");
    if (file == nullptr)
        return bytes;
    int c;
    while ((c = std::fgetc(file)) != EOF)
        bytes.push_back(static_cast<std::uint8_t>(c));
    std::fclose(file);
    return bytes;
}

static void WriteScratch(const std::uint8_t* data, std::size_t size)
{
    std::FILE* file = std::fopen(ScratchFileName.c_str(), "wb");
    if (file == nullptr)
        __builtin_trap();
    std::fwrite(data, 1, size, file);
    std::fclose(file);
}

static bool SameOutsideTable(const std::vector<std::uint8_t>& before, const std::vector<std::uint8_t>& after,
                             std::uint32_t recordOffset)
{
    if (before.size() != after.size())
        return false;
    for (std::size_t i = 0; i < before.size(); ++i) {
        const bool inTable = i >= recordOffset + std::size_t{kRecordTable} &&
                             i < recordOffset + std::size_t{kRecordTable + kEntrySize * kTableEntries};
        if (!inTable && before[i] != after[i])
            return false;
    }
    return true;
}

// The program's sequence after a won game: read the table, place the time (a time below 1 second
// counts as 1), write and reopen.
static void RecordOnEveryLevel(std::int32_t seconds)
{
    const std::uint8_t name[kNameSize] = {'F', 'u', 'z', 'z', 0xE9, 0};
    for (int level = 0; level < kLevelCount && DataFile != nullptr; ++level) {
        LevelHeader header{};
        BestTimesTable table{};
        if (!ReadLevelHeader(DataFile, level, header) || !ReadBestTimes(DataFile, header.offset, table))
            continue;
        const int place = PlaceForTime(table, RecordedSeconds(seconds));
        const BestTimesTable updated = InsertBestTime(table, name, RecordedSeconds(seconds));
        if (place < kTableEntries && (updated.entries[place].seconds != RecordedSeconds(seconds) ||
                                      std::memcmp(updated.entries[place].name, name, kNameSize) != 0))
            __builtin_trap();
        const std::vector<std::uint8_t> before = ScratchBytes();
        std::string problem;
        WriteBestTimes(header.offset, updated, problem);
        if (!SameOutsideTable(before, ScratchBytes(), header.offset))
            __builtin_trap();
    }
}

static int RunKelbo(std::vector<std::string> words)
{
    words.insert(words.begin(), "kelbo");
    words.push_back("--file");
    words.push_back(ScratchFileName);
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const int exitCode = RunKelboCommand(static_cast<int>(words.size()), argv.data());
    CloseDataFile();  // left open on some of the tool's failure paths, where its process would end
    return exitCode;
}

// One command per input, chosen by the reserved first byte, which nothing else reads.
static void RunKelboCommand(const std::uint8_t* data, std::size_t size)
{
    const std::string level = std::to_string(size % kLevelCount);
    const std::string seed = std::to_string(size + 256u * data[size - 1]);
    const std::string move = std::string(data[size / 3] % 2 ? "L:" : "R:") + std::to_string(data[size / 2] % 16) +
                             "," + std::to_string(data[size / 3] % 8);
    const std::vector<std::vector<std::string>> commands = {
        {"check"},  {"levels"}, {"times"}, {"level", "show", level}, {"board", level, "--seed", seed},
        {"replay", level, "--seed", seed, move, "L:0,0"}, {"level", "reset", level},
    };
    RunKelbo(commands[data[0] % commands.size()]);
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    ScratchFileName = std::string(folder) + "/skarvel-fuzz-" + std::to_string(getpid()) + ".dat";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    WriteScratch(data, size);
    DataFileName = ScratchFileName;
    std::string problem;
    if (OpenDataFileForPlay(problem) || (DataFile = std::fopen(ScratchFileName.c_str(), "r+b")) != nullptr) {
        PlayPassingLevels(static_cast<std::uint32_t>(size));
        ReopenDataFile(problem);  // a new game closes the file again
        std::uint8_t last[4] = {};
        std::memcpy(last, data + size - (size >= 4 ? 4 : size), size >= 4 ? 4 : size);
        RecordOnEveryLevel(static_cast<std::int32_t>(GetU32LE(last)));
    }
    CloseDataFile();
    WriteScratch(data, size);
    RunKelboCommand(data, size);
    std::remove(ScratchFileName.c_str());
    std::remove((ScratchFileName + ".lock").c_str());
    return 0;
}
