#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <sstream>
#include <string>
#include <sys/wait.h>

#include "data/default_file.h"
#include "tests/test_files.h"

namespace {

struct ToolResult {
    int status;
    std::string out;
    std::string err;
};

// Runs the built kelbo tool in a directory and collects its output and exit status.
ToolResult RunKelbo(const ScratchDirectory& directory, const std::string& arguments)
{
    const std::string errFile = directory.File("stderr.txt");
    const std::string command =
        "cd '" + directory.Path().string() + "' && '" KELBO_TOOL "' " + arguments + " 2>'" + errFile + "'";
    ToolResult result{};
    std::FILE* pipe = popen(command.c_str(), "r");
    std::array<char, 4096> buffer{};
    std::size_t count;
    while ((count = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.out.append(buffer.data(), count);
    result.status = WEXITSTATUS(pclose(pipe));
    const std::vector<std::uint8_t> err = ReadWholeFile(errFile);
    result.err.assign(err.begin(), err.end());
    return result;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(KelboTool, InitWritesTheDefaultFileAndNeverClobbers)
{
    ScratchDirectory directory;
    ToolResult result = RunKelbo(directory, "init");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadWholeFile(directory.File("kelbo.dat")), DefaultDataFileBytes());

    WriteWholeFileForTest(directory.File("kelbo.dat"), {9, 9});
    result = RunKelbo(directory, "init");
    EXPECT_NE(result.status, 0);
    EXPECT_EQ(Lines(result.err).size(), 1u) << result.err;
    EXPECT_EQ(ReadWholeFile(directory.File("kelbo.dat")), (std::vector<std::uint8_t>{9, 9}));

    result = RunKelbo(directory, "init --force --file other.dat");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadWholeFile(directory.File("other.dat")), DefaultDataFileBytes());
}

TEST(KelboTool, CheckLevelsAndTimes)
{
    ScratchDirectory directory;
    WriteWholeFileForTest(directory.File("kelbo.dat"), DefaultDataFileBytes());
    EXPECT_EQ(RunKelbo(directory, "check").out, "ok\n");

    const std::vector<std::string> levels = Lines(RunKelbo(directory, "levels").out);
    ASSERT_EQ(levels.size(), 9u);
    std::istringstream triangle(levels[4]);
    std::string index, title;
    int rows, columns, mines, playable;
    triangle >> index >> title >> rows >> columns >> mines >> playable;
    EXPECT_EQ(index + " " + title, "3 Triangle");
    EXPECT_EQ(rows * 1000000 + columns * 10000 + mines * 1000 + playable, 9 * 1000000 + 17 * 10000 + 10 * 1000 + 81);

    const std::vector<std::string> times = Lines(RunKelbo(directory, "times 2").out);
    ASSERT_EQ(times.size(), 6u);
    EXPECT_EQ(times[0], "2 Expert");
    EXPECT_NE(times[5].find("5. Quelby"), std::string::npos) << times[5];
    EXPECT_NE(times[5].find("1400"), std::string::npos) << times[5];

    std::vector<std::uint8_t> damaged = DefaultDataFileBytes();
    damaged[124] = 0;        // level 1 without rows
    damaged[550 + 2] = 255;  // level 4 with more mines than cells
    WriteWholeFileForTest(directory.File("damaged.dat"), damaged);
    const ToolResult check = RunKelbo(directory, "check --file damaged.dat");
    EXPECT_NE(check.status, 0);
    ASSERT_EQ(Lines(check.out).size(), 2u) << check.out;
    EXPECT_NE(check.out.find("damaged.dat: level 1 (Average): it has no rows"), std::string::npos) << check.out;
    const ToolResult levelsOfDamaged = RunKelbo(directory, "levels --file damaged.dat");
    EXPECT_NE(levelsOfDamaged.status, 0);
    EXPECT_EQ(Lines(levelsOfDamaged.err).size(), 1u) << levelsOfDamaged.err;
    EXPECT_EQ(ReadWholeFile(directory.File("damaged.dat")), damaged);
}

TEST(KelboTool, BoardPrintsTheSeededBoard)
{
    ScratchDirectory directory;
    WriteWholeFileForTest(directory.File("kelbo.dat"), DefaultDataFileBytes());
    const ToolResult result = RunKelbo(directory, "board 0 --seed 0");
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<std::string> rows = Lines(result.out);
    ASSERT_EQ(rows.size(), 7u);
    std::vector<std::string> cells;
    for (const std::string& row : rows) {
        std::istringstream in(row);
        for (std::string cell; in >> cell;)
            cells.push_back(cell);
        EXPECT_EQ(row.find("  "), std::string::npos) << "one space between cells";
    }
    ASSERT_EQ(cells.size(), 91u);
    EXPECT_EQ(std::count(cells.begin(), cells.end(), "*"), 10);
    for (int index : {0, 21, 58, 6, 24})
        EXPECT_EQ(cells[index], "*") << index;

    const std::vector<std::string> radiation = Lines(RunKelbo(directory, "board 6 --seed 3").out);
    ASSERT_EQ(radiation.size(), 14u);
    EXPECT_EQ(radiation[0], ". . . . . . . . . . . . . . . . . . . . . . . . .");
}

TEST(KelboTool, BadInputGetsOneLineAndAFailure)
{
    ScratchDirectory directory;
    WriteWholeFileForTest(directory.File("kelbo.dat"), DefaultDataFileBytes());
    for (const char* arguments : {"board 8 --seed 1", "board 0", "board 0 --seed x", "times 9", "frobnicate",
                                  "levels --file missing.dat", "check --file missing.dat", "board 0 --seed"}) {
        const ToolResult result = RunKelbo(directory, arguments);
        EXPECT_NE(result.status, 0) << arguments;
        EXPECT_FALSE(result.err.empty()) << arguments;
        EXPECT_EQ(result.err.rfind("kelbo: ", 0), 0u) << arguments << ": " << result.err;
    }
}

}  // namespace
