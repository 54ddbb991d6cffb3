#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "data/best_times.h"
#include "data/data_file.h"
#include "data/default_file.h"
#include "tests/test_files.h"

namespace {

std::int32_t TimeInImage(const std::vector<std::uint8_t>& file, std::uint32_t record, int entry)
{
    const std::uint8_t* time = file.data() + record + 27 + 15 * entry;
    return static_cast<std::int32_t>(time[0] | time[1] << 8 | time[2] << 16 | static_cast<std::uint32_t>(time[3]) << 24);
}

void PutTimeInImage(std::vector<std::uint8_t>& file, std::size_t position, std::int32_t seconds)
{
    for (int i = 0; i < 4; ++i)
        file[position + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(seconds) >> (8 * i));
}

// A won game, step by step as the table's rules walk the file: a game won within its first
// second counts as 1 second; entry 4 decides whether the time enters; then from entry 3 up, each
// entry is moved down until one holds a time that is not 0 and not above the new one.
void ReferenceWin(std::vector<std::uint8_t>& file, std::uint32_t record, const std::uint8_t (&name)[11],
                  std::int32_t seconds)
{
    if (seconds == 0)
        seconds = 1;
    const std::int32_t last = TimeInImage(file, record, 4);
    if (last != 0 && last <= seconds)
        return;
    int place = 0;
    for (int k = 3; k >= 0; --k) {
        const std::int32_t t = TimeInImage(file, record, k);
        if (t != 0 && t <= seconds) {
            place = k + 1;
            break;
        }
        std::memcpy(file.data() + record + 16 + 15 * (k + 1), file.data() + record + 16 + 15 * k, 15);
    }
    std::memcpy(file.data() + record + 16 + 15 * place, name, 11);
    PutTimeInImage(file, record + 16 + 15 * place + 11, seconds);
}

void ReferenceReset(std::vector<std::uint8_t>& file, std::uint32_t record)
{
    for (int k = 0; k < 5; ++k) {
        const std::uint8_t noName[11] = {'N', 'O', 'N', 'A', 'M', 'E', 0, 0, 0, 0, 0};
        std::memcpy(file.data() + record + 16 + 15 * k, noName, 11);
        PutTimeInImage(file, record + 16 + 15 * k + 11, 0);
    }
}

// The name of the i-th win: different for every win, with bytes after the terminator that must
// travel with it.
void WinnerName(int i, std::uint8_t (&name)[11])
{
    std::memset(name, 0xEE, sizeof name);
    std::snprintf(reinterpret_cast<char*>(name), 8, "Win%d", i);
    name[10] = 0;
}

struct WinsCase {
    const char* what;
    int level;
    bool resetFirst;
    std::vector<std::int32_t> wins;
    std::vector<int> places;  // where each win goes, 5 when it does not enter
    std::vector<std::int32_t> times;  // the table afterwards
};

const WinsCase kWins[] = {
    {"equal to the last does not enter", 0, false, {300}, {5}, {60, 100, 150, 200, 300}},
    {"one second less takes the last place", 0, false, {299}, {4}, {60, 100, 150, 200, 299}},
    {"equal time goes after the older", 0, false, {150}, {3}, {60, 100, 150, 150, 200}},
    {"faster than all goes first", 0, false, {59}, {0}, {59, 60, 100, 150, 200}},
    {"after a reset every win enters", 1, true, {500, 20, 500, 7, 1000, 3}, {0, 0, 2, 0, 4, 0}, {3, 7, 20, 500, 500}},
    {"a time of 0 is recorded as 1 second and stays", 2, true, {0, 50, 0}, {0, 1, 1}, {1, 1, 50, 0, 0}},
    {"a time of 0 enters a full table as 1 second", 0, false, {0, 1}, {0, 1}, {1, 1, 60, 100, 150}},
    {"a full table of equal times", 7, false, {1500, 1499, 1499}, {5, 0, 1}, {1499, 1499, 1500, 1500, 1500}},
};

class BestTimesTest : public ::testing::TestWithParam<WinsCase> {
protected:
    void TearDown() override { CloseDataFile(); }
    ScratchDirectory directory;
};

TEST_P(BestTimesTest, WinsChangeTheFileAsTheStepByStepWalkDoes)
{
    const WinsCase& row = GetParam();
    std::vector<std::uint8_t> expected = DefaultDataFileBytes();
    std::string problem;
    ASSERT_TRUE(OpenImageAsDataFile(directory, expected, problem)) << problem;
    const std::uint32_t record = RecordOffset(expected, row.level);
    if (row.resetFirst) {
        ASSERT_TRUE(WriteBestTimes(record, EmptyBestTimes(), problem)) << problem;
        ReferenceReset(expected, record);
        ASSERT_EQ(ReadWholeFile(DataFileName), expected);
    }
    for (std::size_t i = 0; i < row.wins.size(); ++i) {
        SCOPED_TRACE("win " + std::to_string(i) + " in " + std::to_string(row.wins[i]) + " seconds");
        std::uint8_t name[11];
        WinnerName(static_cast<int>(i), name);
        BestTimesTable table{};
        ASSERT_TRUE(ReadBestTimes(DataFile, record, table));
        const std::int32_t seconds = RecordedSeconds(row.wins[i]);  // as the window records a won game
        EXPECT_EQ(PlaceForTime(table, seconds), row.places[i]);
        const BestTimesTable updated = InsertBestTime(table, name, seconds);
        if (row.places[i] < kTableEntries) {
            ASSERT_TRUE(WriteBestTimes(record, updated, problem)) << problem;
        } else {
            EXPECT_EQ(std::memcmp(&updated, &table, sizeof table), 0);
        }
        ReferenceWin(expected, record, name, row.wins[i]);
        ASSERT_EQ(ReadWholeFile(DataFileName), expected);
    }
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(TimeInImage(expected, record, k), row.times[static_cast<std::size_t>(k)]) << "entry " << k;
}

INSTANTIATE_TEST_SUITE_P(Wins, BestTimesTest, ::testing::ValuesIn(kWins), [](const auto& info) {
    std::string name = info.param.what;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
});

struct FailedWrite {
    const char* what;
    void (*breakFile)(const ScratchDirectory& directory, std::uint32_t& record);
    bool fileUnchanged;
};

const FailedWrite kFailedWrites[] = {
    {"stream opened for reading only",
     [](const ScratchDirectory&, std::uint32_t&) {
         CloseDataFile();
         DataFile = std::fopen(DataFileName.c_str(), "rb");
     },
     true},
    {"record past the end of the file", [](const ScratchDirectory&, std::uint32_t& record) { record = 2200; }, true},
    {"no stream at all", [](const ScratchDirectory&, std::uint32_t&) { CloseDataFile(); }, true},
    {"reopen finds a directory",
     [](const ScratchDirectory& directory, std::uint32_t&) { DataFileName = directory.Path().string(); }, false},
};

TEST(BestTimes, AFailedWriteIsReportedWithTheFileName)
{
    for (const FailedWrite& row : kFailedWrites) {
        SCOPED_TRACE(row.what);
        ScratchDirectory directory;
        const std::vector<std::uint8_t> file = DefaultDataFileBytes();
        std::string problem;
        ASSERT_TRUE(OpenImageAsDataFile(directory, file, problem)) << problem;
        const std::string path = DataFileName;
        std::uint32_t record = RecordOffset(file, 4);
        row.breakFile(directory, record);
        EXPECT_FALSE(WriteBestTimes(record, EmptyBestTimes(), problem));
        EXPECT_NE(problem.find(DataFileName + ": the new best times were not saved"), std::string::npos) << problem;
        if (row.fileUnchanged) {
            EXPECT_EQ(ReadWholeFile(path), file);
        }
        EXPECT_EQ(ReadWholeFile(path).size(), file.size());
        CloseDataFile();
    }
}

TEST(BestTimes, FieldsAreCutAtTheirTerminatorOrTheirSize)
{
    const std::uint8_t bytes[] = {'A', 'B', 0, 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N'};
    EXPECT_EQ(FieldText(bytes, 11), "AB");
    EXPECT_EQ(FieldText(bytes + 3, 11), "CDEFGHIJKLM");
    EXPECT_EQ(FieldText(bytes + 2, 11), "");
}

// Names as the dialog or another program may leave them go into the file and come back as the
// dialog shows them, each within its field, the time beside it intact.
TEST(BestTimes, NamesComeBackWithinTheirFields)
{
    const struct {
        const char* field;  // 11 bytes as stored
        const char* shown;
    } rows[] = {
        {"Caf\xe9 \xff\x80\0\0\0\0", "Caf\xe9 \xff\x80"},  // bytes above 127 kept as they are
        {"TenLetters\0", "TenLetters"},
        {"ElevenBytes", "ElevenBytes"},  // no terminator: cut at the field's end
        {"\0Hidden\0\0\0\0", ""},
    };
    ScratchDirectory directory;
    std::string problem;
    ASSERT_TRUE(OpenImageAsDataFile(directory, DefaultDataFileBytes(), problem)) << problem;
    const std::uint32_t record = RecordOffset(DefaultDataFileBytes(), 2);
    std::int32_t seconds = 1;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shown);
        std::uint8_t name[kNameSize];
        std::memcpy(name, row.field, kNameSize);
        ASSERT_TRUE(WriteBestTimes(record, InsertBestTime(EmptyBestTimes(), name, seconds), problem)) << problem;
        BestTimesTable table{};
        ASSERT_TRUE(ReadBestTimes(DataFile, record, table));
        EXPECT_EQ(FieldText(table.entries[0].name, kNameSize), row.shown);
        EXPECT_EQ(table.entries[0].seconds, seconds);
        EXPECT_EQ(FieldText(table.entries[1].name, kNameSize), "NONAME");
        ++seconds;
    }
    CloseDataFile();
}

}  // namespace
