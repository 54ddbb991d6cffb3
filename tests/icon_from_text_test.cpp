// icon_from_text, run as the build runs it: the .ico it writes, and its messages for bad pictures.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

std::string TempPath(const std::string& name)
{
    return testing::TempDir() + "icon_from_text_" + name;
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream file(path);
    file << text;
}

std::string ReadWhole(const std::string& path, std::ios::openmode mode = std::ios::in)
{
    std::ifstream file(path, mode);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

struct ToolRun {
    int exitCode;
    std::string errors;
};

ToolRun RunTool(const std::string& output, const std::vector<std::string>& pictures)
{
    std::string command = std::string(ICON_TOOL) + " '" + output + "'";
    for (const std::string& picture : pictures)
        command += " '" + picture + "'";
    std::string errors = TempPath("errors.txt");
    int status = std::system((command + " 2>'" + errors + "'").c_str());
    return {WEXITSTATUS(status), ReadWhole(errors)};
}

// A 16 x 16 picture: a transparent background, a red diagonal, a grey pixel in each corner.
std::string SmallPicture()
{
    std::string text = "# test picture\n. transparent\nR red\nG grey\n\n";
    for (int y = 0; y < 16; ++y) {
        std::string row(16, '.');
        row[static_cast<std::size_t>(y)] = 'R';
        if (y == 0 || y == 15)
            row[0] = row[15] = 'G';
        text += row + "\n";
    }
    return text;
}

// A 32 x 32 picture of white, black and transparent columns.
std::string LargePicture()
{
    std::string text = "W white\nK black\n. transparent\n\n";
    for (int y = 0; y < 32; ++y) {
        std::string row;
        for (int x = 0; x < 32; ++x)
            row += ".WK"[x % 3];
        text += row + "\n";
    }
    return text;
}

unsigned Word(const std::string& bytes, std::size_t at)
{
    return static_cast<std::uint8_t>(bytes[at]) | static_cast<std::uint8_t>(bytes[at + 1]) << 8;
}

unsigned Dword(const std::string& bytes, std::size_t at)
{
    return Word(bytes, at) | Word(bytes, at + 2) << 16;
}

// Palette index of a pixel of a 4-bit image whose bitmap header starts at image.
unsigned ColourIndex(const std::string& bytes, std::size_t image, int size, int x, int y)
{
    std::size_t rowBytes = static_cast<std::size_t>((size * 4 + 31) / 32 * 4);
    std::size_t row = image + 40 + 64 + rowBytes * static_cast<std::size_t>(size - 1 - y);
    unsigned pair = static_cast<std::uint8_t>(bytes[row + static_cast<std::size_t>(x / 2)]);
    return x % 2 == 0 ? pair >> 4 : pair & 0x0F;
}

bool MaskBit(const std::string& bytes, std::size_t image, int size, int x, int y)
{
    std::size_t rowBytes = static_cast<std::size_t>((size * 4 + 31) / 32 * 4);
    std::size_t maskRowBytes = static_cast<std::size_t>((size + 31) / 32 * 4);
    std::size_t mask = image + 40 + 64 + rowBytes * static_cast<std::size_t>(size);
    std::size_t row = mask + maskRowBytes * static_cast<std::size_t>(size - 1 - y);
    return (static_cast<std::uint8_t>(bytes[row + static_cast<std::size_t>(x / 8)]) >> (7 - x % 8)) & 1;
}

TEST(IconFromText, WritesFourBitImagesWithMasksInTheGivenOrder)
{
    WriteText(TempPath("small.txt"), SmallPicture());
    WriteText(TempPath("large.txt"), LargePicture());
    std::string icon = TempPath("out.ico");
    ASSERT_EQ(RunTool(icon, {TempPath("large.txt"), TempPath("small.txt")}).exitCode, 0);
    std::string bytes = ReadWhole(icon, std::ios::binary);

    const unsigned largeBytes = 40 + 64 + 32 * 16 + 32 * 4, smallBytes = 40 + 64 + 16 * 8 + 16 * 4;
    ASSERT_EQ(bytes.size(), 6 + 2 * 16 + largeBytes + smallBytes);
    EXPECT_EQ(Word(bytes, 0), 0u);
    EXPECT_EQ(Word(bytes, 2), 1u);
    EXPECT_EQ(Word(bytes, 4), 2u);
    const int sizes[2] = {32, 16};
    const unsigned imageBytes[2] = {largeBytes, smallBytes};
    const unsigned offsets[2] = {6 + 32, 6 + 32 + largeBytes};
    for (std::size_t i = 0; i < 2; ++i) {
        std::size_t entry = 6 + 16 * i;
        EXPECT_EQ(static_cast<std::uint8_t>(bytes[entry]), sizes[i]);
        EXPECT_EQ(static_cast<std::uint8_t>(bytes[entry + 1]), sizes[i]);
        EXPECT_EQ(static_cast<std::uint8_t>(bytes[entry + 2]), 16);
        EXPECT_EQ(Word(bytes, entry + 4), 1u);
        EXPECT_EQ(Word(bytes, entry + 6), 4u);
        EXPECT_EQ(Dword(bytes, entry + 8), imageBytes[i]);
        EXPECT_EQ(Dword(bytes, entry + 12), offsets[i]);
        std::size_t header = offsets[i];
        EXPECT_EQ(Dword(bytes, header), 40u);
        EXPECT_EQ(Dword(bytes, header + 4), static_cast<unsigned>(sizes[i]));
        EXPECT_EQ(Dword(bytes, header + 8), static_cast<unsigned>(2 * sizes[i]));
        EXPECT_EQ(Word(bytes, header + 12), 1u);
        EXPECT_EQ(Word(bytes, header + 14), 4u);
        EXPECT_EQ(Dword(bytes, header + 16), 0u);
    }

    std::size_t small = offsets[1];
    EXPECT_EQ(Dword(bytes, small + 40 + 4 * 9), 0x00FF0000u);  // red, stored blue-green-red
    EXPECT_EQ(Dword(bytes, small + 40 + 4 * 8), 0x00808080u);  // grey
    EXPECT_EQ(Dword(bytes, small + 40 + 4 * 7), 0x00C0C0C0u);  // silver
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            bool corner = (x == 0 || x == 15) && (y == 0 || y == 15);
            unsigned expected = corner ? 8u : x == y ? 9u : 0u;
            EXPECT_EQ(ColourIndex(bytes, small, 16, x, y), expected) << x << ", " << y;
            EXPECT_EQ(MaskBit(bytes, small, 16, x, y), expected == 0) << x << ", " << y;
        }
    }
    std::size_t large = offsets[0];
    for (int x = 0; x < 32; ++x) {
        EXPECT_EQ(ColourIndex(bytes, large, 32, x, 5), x % 3 == 1 ? 15u : 0u) << x;
        EXPECT_EQ(MaskBit(bytes, large, 32, x, 5), x % 3 == 0) << x;
    }
}

TEST(IconFromText, NamesTheFileAndLineOfABadPicture)
{
    std::string picture = SmallPicture();
    std::string badCharacter = picture;
    badCharacter[badCharacter.find(".R.")] = 'Q';  // second pixel row, line 7
    WriteText(TempPath("bad_character.txt"), badCharacter);
    ToolRun run = RunTool(TempPath("unused.ico"), {TempPath("bad_character.txt")});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.errors.find(TempPath("bad_character.txt") + ":7:"), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("'Q'"), std::string::npos) << run.errors;

    std::string shortRow = picture;
    shortRow.erase(shortRow.find("\n..R") + 1, 1);  // third pixel row, line 8
    WriteText(TempPath("short_row.txt"), shortRow);
    run = RunTool(TempPath("unused.ico"), {TempPath("short_row.txt")});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.errors.find(TempPath("short_row.txt") + ":8:"), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("15 characters, expected 16"), std::string::npos) << run.errors;

    std::string missingRow = picture.substr(0, picture.rfind('\n', picture.size() - 2) + 1);
    WriteText(TempPath("missing_row.txt"), missingRow);
    run = RunTool(TempPath("unused.ico"), {TempPath("missing_row.txt")});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.errors.find("15 pixel rows"), std::string::npos) << run.errors;
}

}  // namespace
