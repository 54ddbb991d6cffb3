#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "data/data_file.h"
#include "data/default_file.h"
#include "game/board.h"
#include "game/cell.h"
#include "tests/test_files.h"
#include "tests/test_hooks.h"

namespace {

struct ExpectedLevel {
    const char* title;
    int rows, columns, mines, playable;
    int times[5];
};

// The default levels as a player knows them.
const ExpectedLevel kExpected[8] = {
    {"Beginner ", 7, 13, 10, 91, {60, 100, 150, 200, 300}},
    {"Intermediate", 12, 25, 36, 300, {200, 260, 350, 500, 700}},
    {"Expert   ", 14, 36, 80, 504, {800, 900, 1000, 1100, 1400}},
    {"Triangle   ", 9, 17, 10, 81, {500, 500, 500, 500, 500}},
    {"Star   ", 13, 27, 19, 170, {800, 800, 800, 800, 800}},
    {"Hexagon   ", 14, 29, 35, 264, {1500, 1500, 1500, 1500, 1500}},
    {"Radiation ", 14, 25, 20, 148, {1500, 1500, 1500, 1500, 1500}},
    {"Cross  ", 12, 17, 10, 132, {1500, 1500, 1500, 1500, 1500}},
};

class DataFileTest : public ::testing::Test {
protected:
    void TearDown() override { CloseDataFile(); }
    ScratchDirectory directory;
};

TEST(DefaultFile, HeaderAndOffsetTableAreAsPublished)
{
    const std::vector<std::uint8_t> file = DefaultDataFileBytes();
    ASSERT_EQ(file.size(), 2225u);
    const std::vector<std::uint8_t> start = {0x00, 0x21, 0x00, 0x00, 0x00, 0x7C, 0x00, 0x00, 0x00, 0xD7, 0x00, 0x00,
                                             0x00, 0x32, 0x01, 0x00, 0x00, 0x26, 0x02, 0x00, 0x00, 0xE0, 0x03, 0x00,
                                             0x00, 0xD1, 0x05, 0x00, 0x00, 0x8A, 0x07, 0x00, 0x00, 0x07, 0x0D, 0x0A,
                                             'B',  'e',  'g',  'i',  'n',  'n',  'e',  'r',  ' ',  0x00};
    EXPECT_TRUE(std::equal(start.begin(), start.end(), file.begin()));

    const std::uint32_t offsets[8] = {33, 124, 215, 306, 550, 992, 1489, 1930};
    std::uint32_t expectedOffset = 33;
    for (int level = 0; level < 8; ++level) {
        EXPECT_EQ(RecordOffset(file, level), offsets[level]) << "level " << level;
        EXPECT_EQ(RecordOffset(file, level), expectedOffset) << "level " << level;
        const std::uint32_t recordSize = 91 + (level >= 3 ? kExpected[level].rows * kExpected[level].columns : 0);
        expectedOffset += recordSize;
    }
    EXPECT_EQ(expectedOffset, file.size()) << "the last record ends at the end of the file";
}

TEST(DefaultFile, RecordsHoldTitlesTimesAndMasks)
{
    const std::vector<std::uint8_t> file = DefaultDataFileBytes();
    for (int level = 0; level < 8; ++level) {
        SCOPED_TRACE("level " + std::to_string(level));
        const ExpectedLevel& expected = kExpected[level];
        const std::uint8_t* record = file.data() + RecordOffset(file, level);
        EXPECT_EQ(record[0], expected.rows);
        EXPECT_EQ(record[1], expected.columns);
        EXPECT_EQ(record[2], expected.mines);
        const std::size_t titleLength = std::strlen(expected.title);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(record + 3), titleLength), expected.title);
        EXPECT_TRUE(std::all_of(record + 3 + titleLength, record + 16, [](std::uint8_t b) { return b == 0; }))
            << "zero terminator and zero filler after the title";
        for (int place = 0; place < 5; ++place) {
            const std::uint8_t* entry = record + 16 + 15 * place;
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(entry), 11), std::string("Quelby    \0", 11));
            EXPECT_EQ(static_cast<std::int32_t>(GetU32LE(entry + 11)), expected.times[place]);
        }
        const int cells = expected.rows * expected.columns;
        if (level < 3)
            continue;
        const std::uint8_t* mask = record + 91;
        EXPECT_EQ(std::count(mask, mask + cells, 0), expected.playable);
        EXPECT_EQ(std::count(mask, mask + cells, 255), cells - expected.playable);
        for (int row = 0; row < expected.rows; ++row)
            for (int column = 0; column < expected.columns; ++column)
                EXPECT_EQ(mask[row * expected.columns + column],
                          mask[row * expected.columns + expected.columns - 1 - column])
                    << "masks are symmetric from left to right";
    }
    const std::uint8_t* triangle = file.data() + RecordOffset(file, 3) + 91;
    for (int column = 0; column < 17; ++column)
        EXPECT_EQ(triangle[column], column == 8 ? 0 : 255) << "the triangle's apex is column 8 alone";
    const std::uint8_t* radiation = file.data() + RecordOffset(file, 6) + 91;
    EXPECT_TRUE(std::all_of(radiation, radiation + 25, [](std::uint8_t b) { return b == 255; }));
}

TEST_F(DataFileTest, FirstStartWritesTheDefaultFileAndLaterStartsKeepIt)
{
    DataFileName = directory.File("kelbo.dat");
    std::string problem;
    ASSERT_TRUE(OpenDataFile(problem)) << problem;
    CloseDataFile();
    std::vector<std::uint8_t> file = ReadWholeFile(DataFileName);
    EXPECT_EQ(file, DefaultDataFileBytes());

    // A best time from an earlier run must survive the next start.
    PutU32LE(file.data() + RecordOffset(file, 4) + 16 + 11, 42);
    std::memcpy(file.data() + RecordOffset(file, 4) + 16, "Ann\0\0\0\0\0\0\0\0", 11);
    WriteWholeFileForTest(DataFileName, file);
    ASSERT_TRUE(OpenDataFile(problem)) << problem;
    CloseDataFile();
    EXPECT_EQ(ReadWholeFile(DataFileName), file);
}

// A file left empty by a crash holds nothing to lose: it gets the built-in levels as a missing
// one does. Messages name the file by its full path.
TEST_F(DataFileTest, AnEmptyFileIsReplacedLikeAMissingOne)
{
    DataFileName = directory.File("kelbo.dat");
    WriteWholeFileForTest(DataFileName, {});
    std::string problem;
    ASSERT_TRUE(OpenDataFile(problem)) << problem;
    EXPECT_FALSE(DataFileReadOnly);
    CloseDataFile();
    EXPECT_EQ(ReadWholeFile(DataFileName), DefaultDataFileBytes());

    DataFileName = "kelbo.dat";
    EXPECT_EQ(DataFilePath(), (std::filesystem::current_path() / "kelbo.dat").string());
}

TEST_F(DataFileTest, ReopenKeepsTheStreamUsable)
{
    DataFileName = directory.File("kelbo.dat");
    std::string problem;
    ASSERT_TRUE(OpenDataFile(problem)) << problem;
    ASSERT_TRUE(WriteU32At(DataFile, 33 + 27, 59));
    ASSERT_TRUE(ReopenDataFile(problem)) << problem;
    std::uint32_t time = 0;
    ASSERT_TRUE(ReadU32At(DataFile, 33 + 27, time));
    EXPECT_EQ(time, 59u);
    EXPECT_EQ(ReadWholeFile(DataFileName).size(), 2225u);
}

TEST_F(DataFileTest, FileThatCannotBeOpenedIsReportedAndNotReplaced)
{
    // A directory in the file's place cannot be opened as a file, even by root.
    DataFileName = directory.File("kelbo.dat");
    std::filesystem::create_directory(DataFileName);
    std::string problem;
    EXPECT_FALSE(OpenDataFile(problem));
    EXPECT_EQ(DataFile, nullptr);
    EXPECT_NE(problem.find(DataFileName), std::string::npos) << problem;
    EXPECT_NE(problem.find("cannot be opened"), std::string::npos) << problem;
    EXPECT_TRUE(std::filesystem::is_directory(DataFileName));

    DataFileName = directory.File("no-such-folder/kelbo.dat");
    EXPECT_FALSE(OpenDataFile(problem));
    EXPECT_NE(problem.find("cannot be created"), std::string::npos) << problem;
}

// Another program puts its file in place in the moment between the game's look and its write of
// the built-in levels (the seam runs then): in place, as a copy does, or renamed over, as an editor
// or another copy of the game does. Only a file that is still empty gets the built-in levels.
struct RaceCase {
    const char* what;
    bool startsEmpty;  // else missing
    void (*meanwhile)();
    bool theirsKept;  // else the built-in file
};

void PutTheirsInPlace()
{
    WriteWholeFileForTest(DataFileName, AnotherProgramsFile());
}

void RenameTheirsOver()
{
    WriteWholeFileForTest(DataFileName + ".new", AnotherProgramsFile());
    std::filesystem::rename(DataFileName + ".new", DataFileName);
}

const RaceCase kRaces[] = {
    {"missing, then copied in", false, PutTheirsInPlace, true},
    {"missing, then renamed in", false, RenameTheirsOver, true},
    {"empty, then another renamed over it", true, RenameTheirsOver, true},
    {"missing, then another copy's still empty file", false, [] { WriteWholeFileForTest(DataFileName, {}); }, false},
};

void (*Meanwhile)();

TEST_F(DataFileTest, AFileThatComesMeanwhileIsNeverWrittenOver)
{
    DataFileName = directory.File("kelbo.dat");
    for (const RaceCase& race : kRaces) {
        SCOPED_TRACE(race.what);
        std::filesystem::remove(DataFileName);
        if (race.startsEmpty)
            WriteWholeFileForTest(DataFileName, {});
        Meanwhile = race.meanwhile;
        BeforeDefaultFileWrite = [] {
            if (void (*once)() = std::exchange(Meanwhile, nullptr))
                once();
        };
        std::string problem;
        EXPECT_TRUE(OpenDataFile(problem)) << problem;
        BeforeDefaultFileWrite = nullptr;
        CloseDataFile();
        EXPECT_EQ(ReadWholeFile(DataFileName), race.theirsKept ? AnotherProgramsFile() : DefaultDataFileBytes());
    }
}

// The same levels with their records in reverse order and gaps between them.
std::vector<std::uint8_t> ShuffledDataFile()
{
    const std::vector<std::uint8_t> original = DefaultDataFileBytes();
    std::vector<std::uint8_t> shuffled(original.begin(), original.begin() + 33);
    for (int level = 7; level >= 0; --level) {
        const std::uint32_t start = RecordOffset(original, level);
        const std::uint32_t end =
            level == 7 ? static_cast<std::uint32_t>(original.size()) : RecordOffset(original, level + 1);
        shuffled.insert(shuffled.end(), 7, 0xEE);
        SetRecordOffset(shuffled, level, static_cast<std::uint32_t>(shuffled.size()));
        shuffled.insert(shuffled.end(), original.begin() + start, original.begin() + end);
    }
    return shuffled;
}

std::vector<std::uint8_t> BoardOfLevel(int level, std::uint32_t seed)
{
    LevelIndex = level;
    NewGameWithSeed(nullptr, seed);
    return Board;
}

TEST_F(DataFileTest, RecordsAreFoundThroughTheOffsetTableInAnyOrder)
{
    std::string problem;
    std::vector<std::vector<std::uint8_t>> expected;
    ASSERT_TRUE(OpenImageAsDataFile(directory, DefaultDataFileBytes(), problem)) << problem;
    for (int level = 0; level < 8; ++level)
        expected.push_back(BoardOfLevel(level, 1234u + static_cast<std::uint32_t>(level)));
    CloseDataFile();

    const std::vector<std::uint8_t> shuffled = ShuffledDataFile();
    ASSERT_TRUE(OpenImageAsDataFile(directory, shuffled, problem)) << problem;
    for (int level = 0; level < 8; ++level) {
        EXPECT_EQ(BoardOfLevel(level, 1234u + static_cast<std::uint32_t>(level)), expected[level]) << "level " << level;
        EXPECT_EQ(LevelOffset, RecordOffset(shuffled, level));
    }
}

}  // namespace
