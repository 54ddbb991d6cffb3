// Faults between start-up and a best time: whatever happens to the file, the player is told when
// the time was not saved, no byte outside the level's table changes, and a damaged file found at
// the next start is reported and left as it is. Rows marked unprivileged or small disk need
// tests/run_data_faults.sh, which runs them as nobody on a small tmpfs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "data/best_times.h"
#include "data/data_file.h"
#include "data/default_file.h"
#include "game/level_check.h"
#include "tests/kelbo_runner.h"
#include "tests/test_files.h"

namespace {

enum class Needs { Nothing, Unprivileged, SmallDisk };

struct Fault {
    const char* what;
    Needs needs;
    void (*afterStartUp)(const ScratchDirectory& directory);  // while both copies run
    void (*beforeWrite)();                                    // once the table has been read again
    bool secondGame;                                          // another copy records after the first
    bool saved;
    bool sound;  // the file passes the checks at the next start
    std::int32_t times[kTableEntries];
    const char* names[kTableEntries];
    void (*beforeStartUp)(const ScratchDirectory& directory) = nullptr;
};

void PrintTo(const Fault& fault, std::ostream* out)
{
    *out << fault.what;
}

constexpr int kLevel = 0;  // Beginner: 60, 100, 150, 200, 300 by default

// A disk that takes 40 more bytes and then is full.
struct ShortDisk {
    int descriptor;
    std::size_t room;
};

ssize_t ShortDiskWrite(void* cookie, const char* bytes, std::size_t size)
{
    auto* disk = static_cast<ShortDisk*>(cookie);
    if (disk->room == 0) {
        errno = ENOSPC;
        return -1;
    }
    const ssize_t written = write(disk->descriptor, bytes, std::min(size, disk->room));
    if (written > 0)
        disk->room -= static_cast<std::size_t>(written);
    return written;
}

ssize_t ShortDiskRead(void* cookie, char* bytes, std::size_t size)
{
    return read(static_cast<ShortDisk*>(cookie)->descriptor, bytes, size);
}

int ShortDiskSeek(void* cookie, off64_t* position, int whence)
{
    const off64_t reached = lseek64(static_cast<ShortDisk*>(cookie)->descriptor, *position, whence);
    if (reached < 0)
        return -1;
    *position = reached;
    return 0;
}

int ShortDiskClose(void* cookie)
{
    auto* disk = static_cast<ShortDisk*>(cookie);
    close(disk->descriptor);
    delete disk;
    return 0;
}

void PutDataFileOnShortDisk()
{
    CloseDataFile();
    auto* disk = new ShortDisk{open(DataFileName.c_str(), O_RDWR), 40};
    DataFile = fopencookie(disk, "r+", {ShortDiskRead, ShortDiskWrite, ShortDiskSeek, ShortDiskClose});
}

void FillTheDisk(const ScratchDirectory& directory)
{
    std::FILE* filler = std::fopen(directory.File("filler").c_str(), "wb");
    ASSERT_NE(filler, nullptr);
    const std::vector<char> block(4096, 'x');
    while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() && std::fflush(filler) == 0) {
    }
    std::fclose(filler);
    std::FILE* probe = std::fopen(directory.File("probe").c_str(), "wb");
    ASSERT_TRUE(probe == nullptr || std::fputc('x', probe) == EOF || std::fclose(probe) != 0) << "the disk is not full";
}

void Chmod(const std::string& path, std::filesystem::perms permissions)
{
    std::filesystem::permissions(path, permissions);
}

const Fault kFaults[] = {
    {"nothing goes wrong", Needs::Nothing, nullptr, nullptr, false, true, true,
     {60, 70, 100, 150, 200}, {"Quelby    ", "First", "Quelby    ", "Quelby    ", "Quelby    "}},
    {"two copies record one after the other", Needs::Nothing, nullptr, nullptr, true, true, true,
     {60, 70, 70, 100, 150}, {"Quelby    ", "First", "Second", "Quelby    ", "Quelby    "}},
    // The lock taken by the reset is let go: the save that follows in the same run finds it free.
    {"best times reset, then a time saved", Needs::Nothing,
     [](const ScratchDirectory&) {
         std::string problem;
         EXPECT_TRUE(ClearBestTimes(kLevel, problem)) << problem;
     },
     nullptr, false, true, true, {70, 0, 0, 0, 0}, {"First", "NONAME", "NONAME", "NONAME", "NONAME"}},
    {"a folder put at the lock file's name", Needs::Nothing,
     [](const ScratchDirectory&) { std::filesystem::create_directory(DataFileName + ".lock"); }, nullptr, false, false,
     true, {60, 100, 150, 200, 300}, {"Quelby    ", "Quelby    ", "Quelby    ", "Quelby    ", "Quelby    "}},
    {"file removed", Needs::Nothing, [](const ScratchDirectory&) { std::remove(DataFileName.c_str()); }, nullptr,
     false, false, true, {}, {}},
    {"write cut short by a full disk", Needs::Nothing, nullptr, PutDataFileOnShortDisk, false, false, true,
     {60, 100, 150, 200, 300}, {"Quelby    ", "Quelby    ", "Quelby    ", "Quelby    ", "Quelby    "}},
    {"an earlier write cut the file in the last table",
     Needs::Nothing, [](const ScratchDirectory&) { std::filesystem::resize_file(DataFileName, 1950); }, nullptr,
     false, true, false, {60, 70, 100, 150, 200}, {"Quelby    ", "First", "Quelby    ", "Quelby    ", "Quelby    "}},
    {"file made read-only", Needs::Unprivileged,
     [](const ScratchDirectory&) { Chmod(DataFileName, std::filesystem::perms::owner_read); }, nullptr, false, false,
     true, {60, 100, 150, 200, 300}, {"Quelby    ", "Quelby    ", "Quelby    ", "Quelby    ", "Quelby    "}},
    // The game starts and plays from the file; a time that would enter the table is not saved.
    {"file read-only from the start", Needs::Unprivileged, nullptr, nullptr, false, false, true,
     {60, 100, 150, 200, 300}, {"Quelby    ", "Quelby    ", "Quelby    ", "Quelby    ", "Quelby    "},
     [](const ScratchDirectory&) { Chmod(DataFileName, std::filesystem::perms::owner_read); }},
    {"folder made read-only", Needs::Unprivileged,
     [](const ScratchDirectory& directory) {
         Chmod(directory.Path().string(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
     },
     nullptr, false, true, true, {60, 70, 100, 150, 200}, {"Quelby    ", "First", "Quelby    ", "Quelby    ", "Quelby    "}},
    // Rewriting bytes the file already has needs no new room.
    {"disk full before the record", Needs::SmallDisk, FillTheDisk, nullptr, false, true, true,
     {60, 70, 100, 150, 200}, {"Quelby    ", "First", "Quelby    ", "Quelby    ", "Quelby    "}},
};

// A running copy of the game holds no stream between its reads and writes of the file.
struct RunningGame {};

void StartGame(RunningGame&)
{
    std::string problem;
    ASSERT_TRUE(OpenDataFileForPlay(problem)) << problem;
    CloseDataFile();
}

// What the Windows program does with a won game: the table as the file holds it then decides
// whether to ask for a name; then the game's own save reads the table again under the lock, puts
// the time in and writes the table.
bool RecordWin(RunningGame&, const char* name, std::int32_t seconds, void (*beforeWrite)(), std::string& problem)
{
    std::uint32_t record = 0;
    BestTimesTable table{};
    std::uint8_t field[kNameSize] = {};
    std::strncpy(reinterpret_cast<char*>(field), name, kNameSize - 1);
    const bool read = ReadCurrentBestTimes(kLevel, record, table, problem);
    const bool readOnly = DataFileReadOnly;
    CloseDataFile();
    if (!read) {
        problem = DataFilePath() + " cannot be read, so your time was not saved.\n" + problem;
        return false;
    }
    if (PlaceForTime(table, seconds) == kTableEntries)
        return true;
    if (readOnly) {
        problem = ReadOnlyMessage("your time was not saved");
        return false;
    }
    BeforeBestTimesWritten = beforeWrite;
    const bool saved = SaveBestTime(kLevel, field, seconds, problem);
    BeforeBestTimesWritten = nullptr;
    return saved;
}

void EndGame(RunningGame&) {}

void ExpectTable(const std::vector<std::uint8_t>& file, const Fault& fault)
{
    const std::uint32_t record = RecordOffset(file, kLevel);
    for (int k = 0; k < kTableEntries; ++k) {
        const std::uint8_t* entry = file.data() + record + 16 + 15 * k;
        EXPECT_EQ(FieldText(entry, kNameSize), fault.names[k]) << "entry " << k;
        EXPECT_EQ(static_cast<std::int32_t>(GetU32LE(entry + 11)), fault.times[k]) << "entry " << k;
    }
}

void ExpectSameOutsideTable(std::vector<std::uint8_t> before, std::vector<std::uint8_t> after)
{
    ASSERT_EQ(after.size(), before.size());
    const std::size_t table = RecordOffset(before, kLevel) + 16;
    std::fill(before.begin() + static_cast<std::ptrdiff_t>(table), before.begin() + static_cast<std::ptrdiff_t>(table + 75), 0);
    std::fill(after.begin() + static_cast<std::ptrdiff_t>(table), after.begin() + static_cast<std::ptrdiff_t>(table + 75), 0);
    EXPECT_TRUE(after == before) << "a byte outside the table changed";
}

// The next start, of the game and of kelbo check, once the player has made the file writable and
// freed some room: a damaged file is reported and left as it is.
void ExpectNextStart(const ScratchDirectory& directory, const Fault& fault)
{
    Chmod(directory.Path().string(), std::filesystem::perms::owner_all);
    Chmod(DataFileName, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::remove(directory.File("filler").c_str());
    const std::vector<std::uint8_t> before = ReadWholeFile(DataFileName);
    std::string problem;
    EXPECT_EQ(OpenDataFileForPlay(problem), fault.sound) << problem;
    CloseDataFile();
    const ToolRun check = RunKelbo(directory, "check");
    EXPECT_EQ(check.exitCode, fault.sound ? 0 : 1) << check.output << check.errors;
    if (!fault.sound) {
        EXPECT_NE(problem.find(DataFileName + ": level 7 (Cross)"), std::string::npos) << problem;
        EXPECT_NE(problem.find("left as it is"), std::string::npos) << problem;
        EXPECT_NE(check.output.find("level 7 (Cross)"), std::string::npos) << check.output;
    }
    EXPECT_TRUE(ReadWholeFile(DataFileName) == before) << "the next start changed the file";
}

class DataFaults : public ::testing::TestWithParam<Fault> {};

TEST_P(DataFaults, NoRecordIsLostSilentlyAndNothingElseChanges)
{
    const Fault& fault = GetParam();
    if (fault.needs == Needs::Unprivileged && geteuid() == 0)
        GTEST_SKIP() << "root ignores permissions: tests/run_data_faults.sh runs this as nobody";
    if (fault.needs == Needs::SmallDisk && std::getenv("SKARVEL_SMALL_DISK") == nullptr)
        GTEST_SKIP() << "needs the small disk that tests/run_data_faults.sh mounts";
    ScratchDirectory directory;
    DataFileName = directory.File("kelbo.dat");
    WriteWholeFileForTest(DataFileName, DefaultDataFileBytes());
    if (fault.beforeStartUp != nullptr)
        fault.beforeStartUp(directory);
    RunningGame first;
    RunningGame second;
    StartGame(first);
    if (fault.secondGame)
        StartGame(second);
    if (fault.afterStartUp != nullptr)
        fault.afterStartUp(directory);
    const std::vector<std::uint8_t> before = ReadWholeFile(DataFileName);
    const bool fileReadOnly = access(DataFileName.c_str(), W_OK) != 0 && errno == EACCES;

    std::string problem;
    bool saved = RecordWin(first, "First", 70, fault.beforeWrite, problem);
    if (fault.secondGame)
        saved = saved && RecordWin(second, "Second", 70, nullptr, problem);
    EndGame(first);
    EndGame(second);
    EXPECT_EQ(saved, fault.saved) << problem;
    if (!saved) {
        EXPECT_EQ(problem.find(DataFileName), 0u) << problem;
        EXPECT_NE(problem.find("not saved"), std::string::npos) << problem;
        EXPECT_EQ(problem.find("is read-only") != std::string::npos, fileReadOnly) << problem;
    }
    if (before.empty()) {
        EXPECT_FALSE(std::filesystem::exists(DataFileName)) << "a removed file came back";
        return;
    }
    const std::vector<std::uint8_t> after = ReadWholeFile(DataFileName);
    ExpectSameOutsideTable(before, after);
    ExpectTable(after, fault);
    ExpectNextStart(directory, fault);
}

// A new file that cannot be written whole on a full disk is not left behind: the game's file at
// its first start, kelbo's new file beside the old one.
TEST(FullDisk, NoNewFileIsLeftPartlyWritten)
{
    if (std::getenv("SKARVEL_SMALL_DISK") == nullptr)
        GTEST_SKIP() << "needs the small disk that tests/run_data_faults.sh mounts";
    struct Row {
        const char* what;
        bool fileBefore;
        bool (*write)(const ScratchDirectory& directory);
    };
    const Row rows[] = {
        {"the game's first start", false,
         [](const ScratchDirectory&) {
             std::string problem;
             const bool opened = OpenDataFileForPlay(problem);
             CloseDataFile();
             return opened;
         }},
        {"kelbo init", false, [](const ScratchDirectory& d) { return RunKelbo(d, "init").exitCode == 0; }},
        {"kelbo level reset", true, [](const ScratchDirectory& d) { return RunKelbo(d, "level reset 3").exitCode == 0; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ScratchDirectory directory;
        DataFileName = directory.File("kelbo.dat");
        if (row.fileBefore)
            WriteWholeFileForTest(DataFileName, DefaultDataFileBytes());
        WriteWholeFileForTest(DataFileName + ".lock", {});
        FillTheDisk(directory);
        EXPECT_FALSE(row.write(directory));
        for (const char* room : {"filler", "probe", "errors.txt"})
            std::remove(directory.File(room).c_str());
        EXPECT_EQ(std::filesystem::exists(DataFileName), row.fileBefore);
        if (row.fileBefore) {
            EXPECT_TRUE(ReadWholeFile(DataFileName) == DefaultDataFileBytes());
        }
        EXPECT_TRUE(NewFilesBeside(DataFileName).empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, DataFaults, ::testing::ValuesIn(kFaults), [](const auto& info) {
    std::string name = info.param.what;
    std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
});

}  // namespace
