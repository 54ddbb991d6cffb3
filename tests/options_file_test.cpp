#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <utility>

#include "data/options_file.h"
#include "tests/test_files.h"

namespace {

using namespace std::string_literals;

struct OptionsCase {
    const char* what;
    bool fileThere;
    std::string text;
    bool noGuess;
};

const OptionsCase kOptionsTexts[] = {
    {"no file", false, "", false},
    {"empty", true, "", false},
    {"as the game writes it on", true, "[Options]\r\nNoGuess=1\r\n", true},
    {"as the game writes it off", true, "[Options]\r\nNoGuess=0\r\n", false},
    {"LF lines, no last newline", true, "[Options]\nNoGuess=1", true},
    {"names in another case", true, "[OPTIONS]\r\nnoguess=1\r\n", true},
    {"blanks around the name, = and value", true, "  [ Options ]\r\n\t NoGuess  =  1 \t\r\n", true},
    {"after other sections and keys", true, "[Window]\nNoGuess=0\n[Options]\nSound=1\nNoGuess=1\n", true},
    {"only in another section", true, "[Window]\r\nNoGuess=1\r\n[Options]\r\nSound=1\r\n", false},
    {"before any section", true, "NoGuess=1\r\n[Options]\r\n", false},
    {"the first of two keys counts", true, "[Options]\nNoGuess=0\nNoGuess=1\n", false},
    {"2", true, "[Options]\r\nNoGuess=2\r\n", false},
    {"11", true, "[Options]\r\nNoGuess=11\r\n", false},
    {"1 and more", true, "[Options]\r\nNoGuess=1 ; on\r\n", false},
    {"no value", true, "[Options]\r\nNoGuess=\r\n", false},
    {"quoted", true, "[Options]\r\nNoGuess=\"1\"\r\n", true},
    {"a quote left open", true, "[Options]\r\nNoGuess=\"1\r\n", false},
    {"a key that only begins alike", true, "[Options]\r\nNoGuessing=1\r\n", false},
    {"a section that only begins alike", true, "[Options2]\r\nNoGuess=1\r\n", false},
    {"behind a UTF-8 mark", true, "\xEF\xBB\xBF[Options]\r\nNoGuess=1\r\n", true},
    {"garbage", true, "\x00\xFF[Opt\x00ions]\n=\n[\n]]NoGuess\x01=1"s, false},
    {"garbage before the section", true, "\x7F\x00\xC3\r\r\n[Options]\r\nNoGuess=1\r\n"s, true},
};

void PrintTo(const OptionsCase& row, std::ostream* out)
{
    *out << row.what;
}

class OptionsFileTest : public ::testing::TestWithParam<OptionsCase> {
protected:
    ScratchDirectory directory;
};

TEST_P(OptionsFileTest, NoGuessIsOnOnlyForExactlyOneInItsSection)
{
    const OptionsCase& row = GetParam();
    const std::string path = directory.File("skarvel.ini");
    if (row.fileThere)
        WriteWholeFileForTest(path, std::vector<std::uint8_t>(row.text.begin(), row.text.end()));
    EXPECT_EQ(ReadNoGuessOption(path), row.noGuess);
}

INSTANTIATE_TEST_SUITE_P(Texts, OptionsFileTest, ::testing::ValuesIn(kOptionsTexts));

TEST(OptionsFile, AFolderInItsPlaceIsOff)
{
    ScratchDirectory directory;
    std::filesystem::create_directory(directory.File("skarvel.ini"));
    EXPECT_FALSE(ReadNoGuessOption(directory.File("skarvel.ini")));
}

}  // namespace

namespace {

struct SetCase {
    const char* what;
    std::string text;
    const char* key;
    const char* value;
    std::string expected;
};

const SetCase kSetTexts[] = {
    {"a new file", "", "NoGuess", "1", "[Options]\r\nNoGuess=1\r\n"},
    {"the key replaced, every other line kept",
     "; kept\r\n[Window]\r\nLeft=30\r\n\r\n[Options]\r\nSound=1\r\n noguess = 0 ; old\r\nTheme=dark\r\n\r\n"
     "[Later]\r\nNoGuess=7\r\n",
     "NoGuess", "1",
     "; kept\r\n[Window]\r\nLeft=30\r\n\r\n[Options]\r\nSound=1\r\nNoGuess=1\r\nTheme=dark\r\n\r\n"
     "[Later]\r\nNoGuess=7\r\n"},
    {"a missing key after the section's last line", "[Options]\nNoGuess=1\n; sizes\n\n[Colours]\nBack=3\n", "Size", "2",
     "[Options]\nNoGuess=1\n; sizes\nSize=2\n\n[Colours]\nBack=3\n"},
    {"no section, no last newline", "[Window]\nLeft=30", "Size", "3", "[Window]\nLeft=30\n[Options]\nSize=3\n"},
    {"only the first of two sections", "[Options]\r\nSize=1\r\n[Options]\r\nSize=1\r\n", "Size", "3",
     "[Options]\r\nSize=3\r\n[Options]\r\nSize=1\r\n"},
    {"behind a UTF-8 mark, bytes that are no text", "\xEF\xBB\xBF[Options]\r\n\x01=\x00\r\nSize=3"s, "Size", "1",
     "\xEF\xBB\xBF[Options]\r\n\x01=\x00\r\nSize=1"s},
};

TEST(OptionsFile, SettingAKeyChangesThatKeyAlone)
{
    for (const SetCase& row : kSetTexts) {
        const std::string changed = WithOptionSet(row.text, row.key, row.value);
        EXPECT_EQ(changed, row.expected) << row.what;
        EXPECT_EQ(OptionInProfile(changed, row.key), row.value) << row.what;
    }
    for (const auto& [text, size] : {std::pair<std::string, int>{"[Options]\nSize = 3\n", 3},
                                     {"[Options]\nSize=4\n", 1},
                                     {"[Options]\nSize=\"2\"\n", 2},
                                     {"[Window]\nSize=2\n", 1}})
        EXPECT_EQ(TriangleSizeInProfile(text), size) << text;
}

// What cannot be read whole is never taken for an empty file that may be written over.
TEST(OptionsFile, WhatCannotBeReadWholeIsNotTakenForEmpty)
{
    ScratchDirectory directory;
    std::string text = "left over";
    EXPECT_TRUE(ReadOptionsText(directory.File("skarvel.ini"), text) && text.empty());
    std::filesystem::create_directory(directory.File("skarvel.ini"));
    EXPECT_FALSE(ReadOptionsText(directory.File("skarvel.ini"), text));
    WriteWholeFileForTest(directory.File("large.ini"), std::vector<std::uint8_t>(70000, 'x'));
    EXPECT_FALSE(ReadOptionsText(directory.File("large.ini"), text));
}

}  // namespace
