#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "data/default_file.h"
#include "game/mine_draw.h"
#include "tests/kelbo_runner.h"
#include "tests/test_files.h"

namespace {

const std::string kDiamond = "..#..\n.###.\n#####\n.###.\n..#..\n";

std::string Repeat(const std::string& text, int times)
{
    std::string result;
    for (int i = 0; i < times; ++i)
        result += text;
    return result;
}

std::string ReadText(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

std::size_t RecordLength(const std::vector<std::uint8_t>& file, int level)
{
    const std::uint8_t* record = file.data() + RecordOffset(file, level);
    return 91 + (level >= 3 ? std::size_t{record[0]} * record[1] : 0);
}

std::vector<std::uint8_t> RecordBytes(const std::vector<std::uint8_t>& file, int level)
{
    const auto start = file.begin() + RecordOffset(file, level);
    return std::vector<std::uint8_t>(start, start + static_cast<long>(RecordLength(file, level)));
}

// A 255 x 255 picture whose triangles lie only where no draw of the generator lands.
std::string UndrawablePicture()
{
    const std::size_t cells = 255 * 255;
    std::string picture;
    std::vector<bool> drawn(cells, false);
    for (std::uint32_t draw = 0; draw <= kLargestDraw; ++draw)
        drawn[MineIndexForDraw(draw, MineScale(cells))] = true;
    for (std::size_t index = 0; index < cells; ++index)
        picture += std::string(drawn[index] ? "." : "#") + (index % 255 == 254 ? "\n" : "");
    return picture;
}

struct Refusal {
    const char* what;
    std::string picture;  // written to pic.txt
    const char* arguments;
    const char* message;  // begins after "kelbo: "
    void (*damage)(std::vector<std::uint8_t>&);
    int exitCode = 1;  // 2 for a command line that is wrong
};

const Refusal kRefusals[] = {
    {"size not ROWSxCOLUMNS", "", "set 4 --title T --mines 1 --size 5*5",
     "--size 5*5: write the size as ROWSxCOLUMNS, for example 10x20", nullptr, 2},
    {"neither size nor picture", "", "set 4 --title T --mines 1",
     "give the board either as --size ROWSxCOLUMNS or as --picture FILE", nullptr, 2},
    {"ragged lines", "..#.\n..#\n", "set 4 --title T --mines 1 --picture pic.txt",
     "pic.txt: line 2 has 3 cells and line 1 has 4", nullptr},
    {"other character", "..#.\n.#x.\n", "set 4 --title T --mines 1 --picture pic.txt",
     "pic.txt: line 2, column 3: the character 'x'", nullptr},
    {"tab", "#\t#\n", "set 4 --title T --mines 1 --picture pic.txt", "pic.txt: line 1, column 2: the byte 0x09",
     nullptr},
    {"no triangle", "....\r\n....\r\n", "set 4 --title T --mines 1 --picture pic.txt",
     "pic.txt: the board has no triangle", nullptr},
    {"empty picture", "", "set 4 --title T --mines 1 --picture pic.txt", "pic.txt: the picture is empty", nullptr},
    {"missing picture", "", "set 4 --title T --mines 1 --picture none.txt", "none.txt cannot be opened", nullptr},
    {"zero rows", "", "set 4 --title T --mines 1 --size 0x5", "--size 0x5: a board of 0 rows", nullptr, 2},
    {"256 columns", "", "set 0 --title T --mines 1 --size 12x256",
     "--size 12x256: a board of 12 rows and 256 columns cannot be stored", nullptr, 2},
    {"256 lines", Repeat("#\n", 256), "set 4 --title T --mines 1 --picture pic.txt",
     "pic.txt: a board of 256 rows and 1 columns", nullptr},
    {"mines fill the board", kDiamond, "set 4 --title T --mines 13 --picture pic.txt",
     "kelbo.dat: level 4 (Star): 13 mines leave no safe cell among the 13", nullptr},
    {"more mines than a byte", "", "set 2 --title T --mines 300 --size 30x30",
     "kelbo.dat: level 2 (Expert): 300 mines cannot be stored", nullptr},
    {"mines never placed", UndrawablePicture(), "set 7 --title T --mines 1 --picture pic.txt",
     "kelbo.dat: level 7 (Cross): 1 mine needs more than the 0 cells that can hold one", nullptr},
    {"title too long", kDiamond, "set 4 --title ThirteenChars --mines 3 --picture pic.txt",
     "kelbo.dat: level 4 (Star): the title \"ThirteenChars\" has 13 characters; at most 12 fit", nullptr},
    {"holes in a rectangular slot", kDiamond, "set 1 --title T --mines 3 --picture pic.txt",
     "pic.txt: the picture has a hole at line 1, column 1, but level 1 (Average) is always played as a full "
     "rectangle",
     nullptr},
    {"damaged data file", kDiamond, "set 4 --title T --mines 3 --picture pic.txt",
     "kelbo.dat: level 2 (Expert): it has no rows", [](auto& f) { f[RecordOffset(f, 2)] = 0; }},
    {"damaged data file, reset", "", "reset 3",
     "kelbo.dat: the file is 1600 bytes long; a whole one is 2225 bytes long", [](auto& f) { f.resize(1600); }},
    {"holes in slot 0", kDiamond, "set 0 --title T --mines 3 --picture pic.txt",
     "pic.txt: the picture has a hole at line 1, column 1, but level 0 (Beginner)", nullptr},
    {"holes in slot 2", kDiamond, "set 2 --title T --mines 3 --picture pic.txt",
     "pic.txt: the picture has a hole at line 1, column 1, but level 2 (Expert)", nullptr},
    // The game refuses to start on a level whose mines it cannot place, so the tool refuses too.
    {"another level's mines cannot be placed", "", "set 0 --title T --mines 3 --size 5x5",
     "kelbo.dat: level 6 (Radiation): 200 mines need more than", [](auto& f) { f[RecordOffset(f, 6) + 2] = 200; }},
    {"another level's mines, reset", "", "reset 3", "kelbo.dat: level 6 (Radiation): 200 mines need more than",
     [](auto& f) { f[RecordOffset(f, 6) + 2] = 200; }},
    {"another level's mines, show", "", "show 0", "kelbo.dat: level 6 (Radiation): 200 mines need more than",
     [](auto& f) { f[RecordOffset(f, 6) + 2] = 200; }},
    {"file shorter than its offsets", "", "reset 3", "kelbo.dat: the file is 20 bytes long",
     [](auto& f) { f.resize(20); }},
    {"title outside the character set", kDiamond, "set 4 --title 'Zo\xe2\x86\x92' --mines 3 --picture pic.txt",
     "--title Zo\xe2\x86\x92: character 3, \"\xe2\x86\x92\" (U+2192), is not in the game's character set", nullptr},
    {"title not UTF-8", kDiamond, "set 4 --title \"$(printf 'Zo\\353')\" --mines 3 --picture pic.txt",
     "--title: byte 3 is not UTF-8", nullptr},
    {"accented title too long", kDiamond,
     "set 4 --title '\xc3\x89\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9"
     "\xc3\xa9\xc3\xa9\xc3\xa9' --mines 3 --picture pic.txt",
     "kelbo.dat: level 4 (Star): the title \"\xc3\x89", nullptr},
};

void PrintTo(const Refusal& refusal, std::ostream* out)
{
    *out << refusal.what;
}

class LevelRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(LevelRefusal, NamesTheFileAndTheProblemAndWritesNothing)
{
    ScratchDirectory directory;
    std::vector<std::uint8_t> file = DefaultDataFileBytes();
    if (GetParam().damage != nullptr)
        GetParam().damage(file);
    WriteWholeFileForTest(directory.File("kelbo.dat"), file);
    WriteWholeFileForTest(directory.File("pic.txt"),
                          std::vector<std::uint8_t>(GetParam().picture.begin(), GetParam().picture.end()));
    const ToolRun run = RunKelbo(directory, std::string("level ") + GetParam().arguments);
    EXPECT_EQ(run.exitCode, GetParam().exitCode);
    EXPECT_EQ(run.errors.rfind(std::string("kelbo: ") + GetParam().message, 0), 0u) << run.errors;
    EXPECT_EQ(Lines(run.errors).size(), 1u) << run.errors;
    EXPECT_EQ(ReadWholeFile(directory.File("kelbo.dat")), file);
    EXPECT_TRUE(NewFilesBeside(directory.File("kelbo.dat")).empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, LevelRefusal, ::testing::ValuesIn(kRefusals), [](const auto& info) {
    std::string name = info.param.what;
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
});

struct Change {
    const char* what;
    int level;
    const char* arguments;  // after "level set N"
    std::uint8_t rows, columns, mines;
    long newOffset;  // -1: stays where it was; else where the record must go
};

const Change kChanges[] = {
    {"shrinks in place", 4, "--title Diamond --mines 3 --picture pic.txt", 5, 5, 3, -1},
    {"grows to the end", 3, "--title Big --mines 90 --size 20x30", 20, 30, 90, 2225},
    {"the last record grows in place", 7, "--title Big --mines 90 --size 20x30", 20, 30, 90, -1},
    {"a rectangle keeps its size", 0, "--title Square --mines 12 --size 10x10", 10, 10, 12, -1},
    {"grows into the end from the middle", 5, "--title Wide --mines 200 --size 20x40", 20, 40, 200, 2225},
};

void PrintTo(const Change& change, std::ostream* out)
{
    *out << change.what;
}

class LevelChange : public ::testing::TestWithParam<Change> {};

TEST_P(LevelChange, RewritesOnlyThatLevel)
{
    const Change& change = GetParam();
    ScratchDirectory directory;
    const std::vector<std::uint8_t> before = DefaultDataFileBytes();
    WriteWholeFileForTest(directory.File("kelbo.dat"), before);
    WriteWholeFileForTest(directory.File("pic.txt"), std::vector<std::uint8_t>(kDiamond.begin(), kDiamond.end()));
    const ToolRun run = RunKelbo(directory, "level set " + std::to_string(change.level) + " " + change.arguments);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.errors, "");
    const std::vector<std::uint8_t> after = ReadWholeFile(directory.File("kelbo.dat"));
    EXPECT_EQ(RunKelbo(directory, "check").output, "ok\n");

    for (int level = 0; level < 8; ++level) {
        if (level == change.level)
            continue;
        EXPECT_EQ(RecordOffset(after, level), RecordOffset(before, level)) << level;
        EXPECT_EQ(RecordBytes(after, level), RecordBytes(before, level)) << level;
    }
    const std::uint32_t offset = RecordOffset(after, change.level);
    EXPECT_EQ(offset, change.newOffset < 0 ? RecordOffset(before, change.level) : change.newOffset);
    EXPECT_EQ(std::vector<std::uint8_t>(after.begin() + offset, after.begin() + offset + 3),
              (std::vector<std::uint8_t>{change.rows, change.columns, change.mines}));
    const std::size_t end = offset + RecordLength(after, change.level);
    EXPECT_EQ(after.size(), std::max<std::size_t>(end, before.size()));

    const std::vector<std::string> times = Lines(RunKelbo(directory, "times " + std::to_string(change.level)).output);
    ASSERT_EQ(times.size(), 6u);
    for (int place = 1; place <= 5; ++place)
        EXPECT_EQ(times[place], "  " + std::to_string(place) + ". NONAME          0");
}

INSTANTIATE_TEST_SUITE_P(Cases, LevelChange, ::testing::ValuesIn(kChanges), [](const auto& info) {
    std::string name = info.param.what;
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
});

TEST(KelboLevel, ResetPutsBackTheBuiltInLevel)
{
    ScratchDirectory directory;
    WriteWholeFileForTest(directory.File("kelbo.dat"), DefaultDataFileBytes());
    WriteWholeFileForTest(directory.File("pic.txt"), std::vector<std::uint8_t>(kDiamond.begin(), kDiamond.end()));
    ASSERT_EQ(RunKelbo(directory, "level set 4 --title D --mines 3 --picture pic.txt").exitCode, 0);
    ASSERT_EQ(RunKelbo(directory, "level reset 4").exitCode, 0);
    EXPECT_EQ(ReadWholeFile(directory.File("kelbo.dat")), DefaultDataFileBytes());

    ASSERT_EQ(RunKelbo(directory, "level set 3 --title Big --mines 90 --size 20x30").exitCode, 0);
    ASSERT_EQ(RunKelbo(directory, "level reset 3").exitCode, 0);
    const std::vector<std::uint8_t> after = ReadWholeFile(directory.File("kelbo.dat"));
    EXPECT_EQ(RecordOffset(after, 3), 2225u);
    EXPECT_EQ(RecordBytes(after, 3), RecordBytes(DefaultDataFileBytes(), 3));
}

struct Shown {
    const char* arguments;  // a set command, or nothing for the default file
    int level;
    std::string picture;  // the outline show must print
};

// Triangle as the default file's mask rows give it, 'a' void.
const std::string kTriangle = "........#........\n.......###.......\n......#####......\n.....#######.....\n"
                              "....#########....\n...###########...\n..#############..\n.###############.\n"
                              "#################\n";

const Shown kShown[] = {
    {"", 0, Repeat(std::string(13, '#') + "\n", 7)},
    {"", 3, kTriangle},
    {"level set 6 --title Diamond --mines 3 --picture pic.txt", 6, kDiamond},
    {"level set 2 --title Block --mines 3 --size 3x4", 2, "####\n####\n####\n"},
    {"level set 3 --title Stdin --mines 3 --picture - < pic.txt", 3, kDiamond},
};

TEST(KelboLevel, ShowPrintsTheLevelAsTheGameReadsIt)
{
    for (const Shown& shown : kShown) {
        ScratchDirectory directory;
        WriteWholeFileForTest(directory.File("kelbo.dat"), DefaultDataFileBytes());
        WriteWholeFileForTest(directory.File("pic.txt"), std::vector<std::uint8_t>(kDiamond.begin(), kDiamond.end()));
        if (*shown.arguments != '\0') {
            ASSERT_EQ(RunKelbo(directory, shown.arguments).exitCode, 0) << shown.arguments;
        }
        const std::vector<std::string> lines =
            Lines(RunKelbo(directory, "level show " + std::to_string(shown.level)).output);
        ASSERT_GT(lines.size(), 5u) << shown.arguments;
        std::string picture;
        for (std::size_t i = 5; i < lines.size(); ++i)
            picture += lines[i] + "\n";
        const std::vector<std::string> board =
            Lines(RunKelbo(directory, "board " + std::to_string(shown.level) + " --seed 1").output);
        EXPECT_EQ(lines[1], "rows " + std::to_string(board.size())) << shown.arguments;
        EXPECT_EQ(lines[4], "playable " + std::to_string(std::count(picture.begin(), picture.end(), '#')));
        EXPECT_EQ(picture, shown.picture) << shown.arguments;
    }
}

struct ScreenCase {
    const char* size;
    bool warns;
};

// W = columns x 15 + 46 within 1920 and H = rows x 26 + 90 within 1080: 124 columns and 38 rows.
const ScreenCase kScreenCases[] = {{"38x124", false}, {"39x124", true}, {"38x125", true}, {"255x255", true}};

TEST(KelboLevel, WarnsAboutWindowsLargerThanTheScreen)
{
    for (const ScreenCase& screen : kScreenCases) {
        ScratchDirectory directory;
        WriteWholeFileForTest(directory.File("kelbo.dat"), DefaultDataFileBytes());
        const ToolRun set = RunKelbo(directory, std::string("level set 3 --title Big --mines 9 --size ") + screen.size);
        EXPECT_EQ(set.exitCode, 0) << set.errors;
        const ToolRun check = RunKelbo(directory, "check");
        EXPECT_EQ(check.exitCode, 0);
        EXPECT_EQ(check.output, "ok\n");
        for (const ToolRun& run : {set, check})
            EXPECT_EQ(run.errors.find("at most 38 rows and 124 columns fit") != std::string::npos, screen.warns)
                << screen.size << ": " << run.errors;
    }
}

struct Board {
    const char* file;
    int level;
    const char* title;
    int mines;
};

// As the README installs them.
const Board kBoards[] = {
    {"diamond.txt", 3, "Diamond", 18},
    {"ring.txt", 4, "Ring", 25},
    {"heart.txt", 5, "Heart", 22},
};

TEST(KelboLevel, TheBoardsOfTheLevelsFolderInstallAndPlay)
{
    for (const Board& board : kBoards) {
        ScratchDirectory directory;
        WriteWholeFileForTest(directory.File("kelbo.dat"), DefaultDataFileBytes());
        const std::string path = std::string(LEVELS_DIR) + "/" + board.file;
        const std::vector<std::string> picture = Lines(ReadText(path));
        const ToolRun set =
            RunKelbo(directory, "level set " + std::to_string(board.level) + " --title " + board.title + " --mines " +
                                    std::to_string(board.mines) + " --picture '" + path + "'");
        ASSERT_EQ(set.exitCode, 0) << board.file << ": " << set.errors;
        EXPECT_EQ(set.errors, "") << board.file;
        EXPECT_EQ(RunKelbo(directory, "check").output, "ok\n");

        const std::size_t middle = picture.size() / 2;
        const std::size_t column = picture[middle].find('#');
        const ToolRun replay =
            RunKelbo(directory, "replay " + std::to_string(board.level) + " --seed 7 L:" + std::to_string(column) +
                                    "," + std::to_string(middle));
        ASSERT_EQ(replay.exitCode, 0) << replay.errors;
        const std::vector<std::string> rows = Lines(replay.output);
        ASSERT_EQ(rows.size(), picture.size() + 2) << board.file;
        for (std::size_t row = 0; row < picture.size(); ++row) {
            std::istringstream cells(rows[row]);
            std::string seen;
            for (std::string cell; cells >> cell;)
                seen += cell == "." ? '.' : '#';
            EXPECT_EQ(seen, picture[row]) << board.file << " row " << row;
        }
        EXPECT_EQ(rows[picture.size()], "FlagsLeft " + std::to_string(board.mines));
        EXPECT_NE(rows[picture.size() + 1], "GameState Idle");
    }
}

}  // namespace

namespace {

struct Mend {
    const char* what;
    void (*damage)(std::vector<std::uint8_t>&);
    const char* arguments;
};

// Level 6 broken in ways a file can be; set and reset may mend it, and no other level's bytes move.
const Mend kMends[] = {
    {"too many mines, set", [](auto& f) { f[RecordOffset(f, 6) + 2] = 200; },
     "level set 6 --title Mended --mines 3 --picture pic.txt"},
    {"too many mines, reset", [](auto& f) { f[RecordOffset(f, 6) + 2] = 200; }, "level reset 6"},
    {"offset into the offset table", [](auto& f) { SetRecordOffset(f, 6, 5); }, "level reset 6"},
    {"offset past the end", [](auto& f) { SetRecordOffset(f, 6, 100000); }, "level reset 6"},
    {"record inside level 5's", [](auto& f) { SetRecordOffset(f, 6, RecordOffset(f, 5) + 10); },
     "level set 6 --title Mended --mines 3 --picture pic.txt"},
};

TEST(KelboLevel, SetAndResetMendTheBrokenLevelTheyReplace)
{
    for (const Mend& mend : kMends) {
        SCOPED_TRACE(mend.what);
        ScratchDirectory directory;
        std::vector<std::uint8_t> before = DefaultDataFileBytes();
        mend.damage(before);
        WriteWholeFileForTest(directory.File("kelbo.dat"), before);
        WriteWholeFileForTest(directory.File("pic.txt"), std::vector<std::uint8_t>(kDiamond.begin(), kDiamond.end()));
        ASSERT_NE(RunKelbo(directory, "check").exitCode, 0);
        const ToolRun run = RunKelbo(directory, mend.arguments);
        EXPECT_EQ(run.exitCode, 0) << run.errors;
        EXPECT_EQ(RunKelbo(directory, "check").output, "ok\n");
        const std::vector<std::uint8_t> after = ReadWholeFile(directory.File("kelbo.dat"));
        for (int level = 0; level < 8; ++level) {
            if (level != 6) {
                EXPECT_EQ(RecordBytes(after, level), RecordBytes(before, level)) << level;
            }
        }
    }
}

struct Title {
    const char* typed;  // UTF-8, as a terminal sends it
    std::string stored;   // the field's bytes in the file, Windows-1252
    const char* shown;  // what level show and levels print back
};

const Title kTitles[] = {
    {"Zo\xc3\xab", std::string("Zo\xeb\0", 4), "Zo\xc3\xab"},
    {"\xe2\x82\xac" "uro", std::string("\x80uro\0", 5), "\xe2\x82\xac" "uro"},
    {"\xc5\x92uvre \xe2\x80\x93 \xc3\xbf", std::string("\x8cuvre \x96 \xff\0", 10), "\xc5\x92uvre \xe2\x80\x93 \xc3\xbf"},
    {"a\\b", std::string("a\\b\0", 4), "a\\\\b"},
};

TEST(KelboLevel, TitlesInThePlayersOwnLetters)
{
    for (const Title& title : kTitles) {
        SCOPED_TRACE(title.typed);
        ScratchDirectory directory;
        WriteWholeFileForTest(directory.File("kelbo.dat"), DefaultDataFileBytes());
        const ToolRun set = RunKelbo(directory, std::string("level set 4 --title '") + title.typed + "' --size 3x4 --mines 2");
        ASSERT_EQ(set.exitCode, 0) << set.errors;
        EXPECT_NE(set.output.find(std::string("\"") + title.shown + "\""), std::string::npos) << set.output;
        const std::vector<std::uint8_t> file = ReadWholeFile(directory.File("kelbo.dat"));
        const auto field = file.begin() + RecordOffset(file, 4) + 3;
        EXPECT_EQ(std::string(field, field + static_cast<long>(title.stored.size())), title.stored);
        EXPECT_EQ(Lines(RunKelbo(directory, "level show 4").output)[0], std::string("title \"") + title.shown + "\"");
        EXPECT_EQ(Lines(RunKelbo(directory, "times 4").output)[0], std::string("4 ") + title.shown);
        EXPECT_NE(RunKelbo(directory, "levels").output.find(std::string("4     ") + title.shown + " "), std::string::npos);
    }
}

}  // namespace
