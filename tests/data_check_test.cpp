#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "data/data_check.h"
#include "data/data_file.h"
#include "data/default_file.h"
#include "game/board.h"
#include "game/level_check.h"
#include "game/mine_draw.h"
#include "tests/test_files.h"

namespace {

using Damage = std::function<void(std::vector<std::uint8_t>&)>;

struct DamageCase {
    const char* what;
    Damage damage;
    const char* message;  // a part of the expected report
};

void PrintTo(const DamageCase& damage, std::ostream* out)
{
    *out << damage.what;
}

std::uint8_t* Record(std::vector<std::uint8_t>& file, int level)
{
    return file.data() + RecordOffset(file, level);
}

// Replaces the last level with a 255 x 255 shaped level whose playable cells lie only where no
// draw of the generator ever lands.
void UndrawableLevel(std::vector<std::uint8_t>& file)
{
    const std::size_t cells = 255 * 255;
    file.resize(RecordOffset(file, 7) + 91 + cells, 255);
    std::uint8_t* record = Record(file, 7);
    record[0] = 255;
    record[1] = 255;
    record[2] = 1;
    std::vector<bool> drawn(cells, false);
    const float scale = MineScale(cells);
    for (std::uint32_t draw = 0; draw <= kLargestDraw; ++draw)
        drawn[MineIndexForDraw(draw, scale)] = true;
    for (std::size_t index = 0; index < cells; ++index)
        record[91 + index] = drawn[index] ? 255 : 0;
}

const DamageCase kDamages[] = {
    {"cut inside the offset table", [](auto& f) { f.resize(20); },
     "20 bytes long, too short to hold the table of 8 level offsets; the built-in file is 2225 bytes long"},
    {"cut inside the last outline", [](auto& f) { f.resize(2100); }, "level 7 (Cross): its outline runs past the end"},
    {"cut inside the last outline, the lengths", [](auto& f) { f.resize(2100); },
     "the file is 2100 bytes long; a whole one is 2225 bytes long"},
    {"cut inside the last table", [](auto& f) { f.resize(1950); },
     "level 7 (Cross): its record at offset 1930 runs past"},
    {"a level made larger, then cut",
     [](auto& f) {
         SetLevelSize(f, 7, 20, 20, 10);
         f.resize(RecordOffset(f, 7) + 91 + 300);
     },
     "a whole one is 2421 bytes long"},
    {"offset past the end", [](auto& f) { SetRecordOffset(f, 2, 5000); },
     "level 2 (Expert): its record at offset 5000"},
    {"offset far past the end", [](auto& f) { SetRecordOffset(f, 5, 0xFFFFFFF0u); }, "level 5 (Hexagon): its record"},
    {"offset into the offset table", [](auto& f) { SetRecordOffset(f, 0, 10); }, "points into the offset table"},
    {"no rows", [](auto& f) { Record(f, 1)[0] = 0; }, "level 1 (Average): it has no rows"},
    {"no columns", [](auto& f) { Record(f, 4)[1] = 0; }, "level 4 (Star): it has no columns"},
    {"every cell void", [](auto& f) { std::fill(Record(f, 3) + 91, Record(f, 3) + 91 + 153, 255); },
     "level 3 (Triangle): the outline has no playable cell"},
    {"as many mines as cells", [](auto& f) { Record(f, 0)[2] = 91; }, "91 mines need more than the 91 cells"},
    {"more mines than cells", [](auto& f) { Record(f, 6)[2] = 200; }, "200 mines need more than the 148 cells"},
    {"stray byte in an outline", [](auto& f) { Record(f, 5)[91 + 30] = 15; }, "the byte 15 at row 1, column 1"},
    {"records overlap", [](auto& f) { SetRecordOffset(f, 1, 33 + 50); },
     "the records of level 0 (Beginner) and level 1 (Average) overlap"},
    {"no drawable cell", UndrawableLevel,
     "1 mine needs more than the 0 cells that can hold one (on a grid of more than 32768"},
};

class DamagedFileTest : public ::testing::TestWithParam<DamageCase> {
protected:
    void TearDown() override { CloseDataFile(); }
    ScratchDirectory directory;
};

TEST_P(DamagedFileTest, IsRefusedWithItsProblemAndLeftUntouched)
{
    std::vector<std::uint8_t> file = DefaultDataFileBytes();
    GetParam().damage(file);
    std::string problem;
    EXPECT_FALSE(OpenImageAsDataFile(directory, file, problem));
    EXPECT_EQ(DataFile, nullptr);
    EXPECT_NE(problem.find(GetParam().message), std::string::npos) << problem;
    EXPECT_NE(problem.find(DataFileName), std::string::npos) << problem;
    EXPECT_EQ(ReadWholeFile(DataFileName), file);

    // The player reads the file's full path and the problem in words without offsets or sizes,
    // then what to do; the precise report follows for whoever repairs the file.
    const std::string firstLine = problem.substr(0, problem.find('\n'));
    EXPECT_EQ(firstLine.rfind(DataFilePath() + " is damaged: the ", 0), 0u) << problem;
    EXPECT_EQ(firstLine.find_first_of("0123456789", DataFilePath().size()), std::string::npos) << problem;
    EXPECT_NE(problem.find("\nMove the file out of its folder"), std::string::npos) << problem;
    EXPECT_LT(problem.find("built-in levels"), problem.find(GetParam().message)) << problem;
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedFileTest, ::testing::ValuesIn(kDamages), [](const auto& info) {
    std::string name = info.param.what;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name;
});

// The player's first line says so in words; the lengths follow among the details.
TEST(DataCheck, AFileCutShortSaysSoFirst)
{
    for (const std::size_t size : {std::size_t{20}, std::size_t{1000}, std::size_t{2224}}) {
        SCOPED_TRACE(size);
        ScratchDirectory directory;
        std::vector<std::uint8_t> file = DefaultDataFileBytes();
        file.resize(size);
        std::string problem;
        EXPECT_FALSE(OpenImageAsDataFile(directory, file, problem));
        CloseDataFile();
        const std::string firstLine = problem.substr(0, problem.find('\n'));
        EXPECT_NE(firstLine.find(" is damaged: the file is cut short"), std::string::npos) << problem;
    }
}

TEST(DataCheck, ListsEveryProblemOfAFile)
{
    std::vector<std::uint8_t> file = DefaultDataFileBytes();
    Record(file, 1)[0] = 0;
    Record(file, 4)[2] = 250;
    SetRecordOffset(file, 6, 9000);
    ScratchDirectory directory;
    const std::string path = directory.File("kelbo.dat");
    WriteWholeFileForTest(path, file);
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    const std::vector<std::string> problems = CheckDataFileForPlay(stream, path);
    std::fclose(stream);
    ASSERT_EQ(problems.size(), 3u);
    EXPECT_NE(problems[0].find("level 1 (Average): it has no rows"), std::string::npos);
    EXPECT_NE(problems[1].find("level 4 (Star): 250 mines"), std::string::npos);
    EXPECT_NE(problems[2].find("level 6 (Radiation): its record at offset 9000"), std::string::npos);
}

TEST(DataCheck, AcceptsMinesJustBelowTheDrawableCells)
{
    std::vector<std::uint8_t> file = DefaultDataFileBytes();
    Record(file, 0)[2] = 90;
    ScratchDirectory directory;
    std::string problem;
    EXPECT_TRUE(OpenImageAsDataFile(directory, file, problem)) << problem;
    CloseDataFile();
}

}  // namespace

namespace {

// Random bytes written over random places of the default file: whatever the check lets through
// must give every level a game without reading or writing outside the board (the sanitizer build
// runs this too).
TEST(DataCheck, RandomDamageIsRefusedOrPlayable)
{
    ScratchDirectory directory;
    std::uint32_t state = 2024;
    auto next = [&state]() {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    };
    int accepted = 0;
    for (int round = 0; round < 400; ++round) {
        std::vector<std::uint8_t> file = DefaultDataFileBytes();
        const int changes = 1 + static_cast<int>(next() % 4);
        for (int change = 0; change < changes; ++change)
            file[next() % (next() % 3 == 0 ? 40 : file.size())] = static_cast<std::uint8_t>(next() % 2 == 0   ? next()
                                                                                            : next() % 2 == 0 ? 0
                                                                                                              : 255);
        if (next() % 5 == 0)
            file.resize(next() % file.size());
        std::string problem;
        if (!OpenImageAsDataFile(directory, file, problem)) {
            EXPECT_FALSE(problem.empty());
            continue;
        }
        ++accepted;
        for (int level = 0; level < 8; ++level) {
            LevelIndex = level;
            NewGameWithSeed(nullptr, next());
            std::uint32_t mines = 0;
            for (std::size_t index = 0; index < GridSize(); ++index)
                mines += Board[index] == 143;
            ASSERT_EQ(mines, Mines) << "round " << round << " level " << level;
        }
        CloseDataFile();
    }
    EXPECT_GT(accepted, 50) << "most single-byte changes leave a playable file";
}

}  // namespace
