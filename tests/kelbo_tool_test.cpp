#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <numeric>
#include <set>
#include <sstream>
#include <string>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/default_file.h"
#include "data/windows_1252.h"
#include "tests/kelbo_runner.h"
#include "tests/test_files.h"

namespace {

TEST(KelboTool, InitWritesTheDefaultFileAndNeverClobbers)
{
    ScratchDirectory directory;
    ToolRun result = RunKelbo(directory, "init");
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(ReadWholeFile(directory.File("kelbo.dat")), DefaultDataFileBytes());

    WriteWholeFileForTest(directory.File("kelbo.dat"), {9, 9});
    result = RunKelbo(directory, "init");
    EXPECT_NE(result.exitCode, 0);
    EXPECT_EQ(Lines(result.errors).size(), 1u) << result.errors;
    EXPECT_EQ(ReadWholeFile(directory.File("kelbo.dat")), (std::vector<std::uint8_t>{9, 9}));

    result = RunKelbo(directory, "init --force --file other.dat");
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(ReadWholeFile(directory.File("other.dat")), DefaultDataFileBytes());

    result = RunKelbo(directory, "init --force");
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(ReadWholeFile(directory.File("kelbo.dat")), DefaultDataFileBytes());
    EXPECT_TRUE(NewFilesBeside(directory.File("kelbo.dat")).empty());
}

TEST(KelboTool, CheckLevelsAndTimes)
{
    ScratchDirectory directory;
    WriteWholeFileForTest(directory.File("kelbo.dat"), DefaultDataFileBytes());
    EXPECT_EQ(RunKelbo(directory, "check").output, "ok\n");

    const std::vector<std::string> levels = Lines(RunKelbo(directory, "levels").output);
    ASSERT_EQ(levels.size(), 9u);
    std::istringstream triangle(levels[4]);
    std::string index, title;
    int rows, columns, mines, playable;
    triangle >> index >> title >> rows >> columns >> mines >> playable;
    EXPECT_EQ(index + " " + title, "3 Triangle");
    EXPECT_EQ(rows * 1000000 + columns * 10000 + mines * 1000 + playable, 9 * 1000000 + 17 * 10000 + 10 * 1000 + 81);

    const std::vector<std::string> times = Lines(RunKelbo(directory, "times 2").output);
    ASSERT_EQ(times.size(), 6u);
    EXPECT_EQ(times[0], "2 Expert");
    EXPECT_NE(times[5].find("5. Quelby"), std::string::npos) << times[5];
    EXPECT_NE(times[5].find("1400"), std::string::npos) << times[5];

    std::vector<std::uint8_t> damaged = DefaultDataFileBytes();
    damaged[124] = 0;        // level 1 without rows
    damaged[550 + 2] = 255;  // level 4 with more mines than cells
    WriteWholeFileForTest(directory.File("damaged.dat"), damaged);
    const ToolRun check = RunKelbo(directory, "check --file damaged.dat");
    EXPECT_NE(check.exitCode, 0);
    ASSERT_EQ(Lines(check.output).size(), 2u) << check.output;
    EXPECT_NE(check.output.find("damaged.dat: level 1 (Average): it has no rows"), std::string::npos) << check.output;
    const ToolRun levelsOfDamaged = RunKelbo(directory, "levels --file damaged.dat");
    EXPECT_NE(levelsOfDamaged.exitCode, 0);
    EXPECT_EQ(Lines(levelsOfDamaged.errors).size(), 1u) << levelsOfDamaged.errors;
    EXPECT_EQ(ReadWholeFile(directory.File("damaged.dat")), damaged);
}

TEST(KelboTool, BoardPrintsTheSeededBoard)
{
    ScratchDirectory directory;
    WriteWholeFileForTest(directory.File("kelbo.dat"), DefaultDataFileBytes());
    const ToolRun result = RunKelbo(directory, "board 0 --seed 0");
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    const std::vector<std::string> rows = Lines(result.output);
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

    const std::vector<std::string> radiation = Lines(RunKelbo(directory, "board 6 --seed 3").output);
    ASSERT_EQ(radiation.size(), 14u);
    EXPECT_EQ(radiation[0], ". . . . . . . . . . . . . . . . . . . . . . . . .");
}

TEST(KelboTool, BadInputGetsOneLineAndAFailure)
{
    ScratchDirectory directory;
    WriteWholeFileForTest(directory.File("kelbo.dat"), DefaultDataFileBytes());
    for (const char* arguments :
         {"board 8 --seed 1", "board 0", "board 0 --seed x", "times 9", "frobnicate", "levels --file missing.dat",
          "check --file missing.dat", "board 0 --seed",
          // numbers past 32 bits must not wrap round where long has 32 bits
          "board 0 --seed 4294967296", "board 0 --seed 9999999999", "board 0 --time 4294967296",
          "board 0 --seed 99999999999999999999", "replay 0 --seed 1 L:4294967296,0", "level show 4294967296",
          "level set 0 --title T --mines 4294967297 --size 5x5", "level set 0 --title T --mines 3 --size 4294967301x5",
          // output that cannot be written
          "level show 3 > /dev/full", "level reset 3 > /dev/full", "levels > /dev/full"}) {
        const ToolRun result = RunKelbo(directory, arguments);
        EXPECT_NE(result.exitCode, 0) << arguments;
        EXPECT_EQ(Lines(result.errors).size(), 1u) << arguments << ": " << result.errors;
        EXPECT_EQ(result.errors.rfind("kelbo: ", 0), 0u) << arguments << ": " << result.errors;
    }
}

struct CommandLineCase {
    const char* arguments;  // run in a folder that holds the default kelbo.dat
    int exitCode;           // 0 done, 1 failed, 2 misused
    const char* output;     // a line that standard output holds; nullptr when it is empty
    const char* errors;     // the whole of standard error; nullptr for the usage
};

// What a player who uses command-line tools every day expects: help on every path, options on
// either side of the command, and one line that names what is wrong and what to do.
const CommandLineCase kCommandLineCases[] = {
    {"--help", 0, "Usage: kelbo [OPTIONS] [COMMAND]", ""},
    {"-h", 0, "  replay                      play moves on the board a new game builds and print what the player sees",
     ""},
    {"help", 0, "  level                       show a level, put in a board of your own, or put back the built-in one",
     ""},
    {"help level", 0, "Usage: kelbo level [OPTIONS] [COMMAND]", ""},
    {"help level set", 0, "Usage: kelbo level set [OPTIONS] LEVEL", ""},
    {"level set --help", 0, "Usage: kelbo level set [OPTIONS] LEVEL", ""},
    {"board 0 --seed 5 -h", 0, "Usage: kelbo board [OPTIONS] LEVEL", ""},
    {"--version", 0, "kelbo 1.0.0", ""},
    {"", 2, nullptr, nullptr},
    {"level", 2, nullptr, nullptr},
    {"--file kelbo.dat levels", 0, "7     Cross          12      17    10      132", ""},
    {"--file=kelbo.dat times 1", 0, "1 Intermediate", ""},
    {"frobnicate", 2, nullptr, "kelbo: unknown command frobnicate\n"},
    {"levles", 2, nullptr, "kelbo: unknown command levles; did you mean levels?\n"},
    {"levle show 4", 2, nullptr, "kelbo: unknown command levle; did you mean level?\n"},
    {"level shwo 1", 2, nullptr, "kelbo: unknown command level shwo; did you mean show?\n"},
    {"help lvel", 2, nullptr, "kelbo: no help on lvel; did you mean level?\n"},
    {"init --forse", 2, nullptr, "kelbo: unknown option --forse; did you mean --force?\n"},
    {"levels 3", 2, nullptr, "kelbo: levels does not take 3; kelbo help levels shows what it takes\n"},
    {"times 9", 2, nullptr, "kelbo: there is no level 9: the levels are 0 to 7\n"},
    {"board 0 --seed 1 --time 2", 2, nullptr, "kelbo: --seed excludes --time\n"},
    {"board 0 --game 1", 2, nullptr, "kelbo: --game requires --time\n"},
    {"board 0 --seed", 2, nullptr, "kelbo: --seed needs a value\n"},
    {"board 0 --seed 1 --no-guess", 2, nullptr,
     "kelbo: --no-guess: give the first release with --first COLUMN,ROW, since the board is dealt there\n"},
    {"board 0 --seed 1 --first 0,0", 2, nullptr, "kelbo: --first requires --no-guess\n"},
    {"board 0 --seed 1 --no-guess --first 0,7", 2, nullptr,
     "kelbo: --first 0,7 lies outside the grid of 13 columns and 7 rows\n"},
    {"board", 2, nullptr, "kelbo: board needs LEVEL; kelbo help board shows what it takes\n"},
    {"level set 1 --mines 3 --size 2x2", 2, nullptr,
     "kelbo: level set needs --title; kelbo help level set shows what it takes\n"},
    {"levels --file sub", 1, nullptr,
     "kelbo: sub cannot be opened: it is a folder, not a data file; --file names the file itself, for example "
     "sub/kelbo.dat\n"},
    {"init --file sub", 1, nullptr,
     "kelbo: sub cannot be opened: it is a folder, not a data file; --file names the file itself, for example "
     "sub/kelbo.dat\n"},
    {"times --file missing.dat", 1, nullptr,
     "kelbo: missing.dat does not exist; kelbo init writes a new one with the built-in levels, or --file names "
     "another\n"},
    {"board 0 --seed 1 --file missing.dat", 1, nullptr,
     "kelbo: missing.dat does not exist; kelbo init writes a new one with the built-in levels, or --file names "
     "another\n"},
    {"board 6 --seed 3", 0, ". . . . . . . . . . . . . . . . . . . . . . . . .", ""},
    {"replay 0 --seed 1", 0, "GameState Idle", ""},
    // The deal's outcome stays told when moves follow the release that dealt.
    {"replay 0 --seed 1 --no-guess L:6,3 L:0,0", 0, "no guess needed", ""},
    {"chances 0 --seed 1 --no-guess R:3,2 --list", 0,
     "No guessing is on: the board is dealt at your first release, with that triangle free and its neighbours too "
     "wherever the level leaves room, so any first release is safe.",
     ""},
    {"init --file no/such/k.dat", 1, nullptr, "kelbo: no/such/k.dat cannot be created (No such file or directory)\n"},
    {"init", 1, nullptr,
     "kelbo: kelbo.dat already exists; it is left as it is. Use --force to replace it with the default file\n"},
    {"help solve", 0, "Usage: kelbo solve [OPTIONS] LEVEL", ""},
    {"chances 8 --seed 1", 2, nullptr, "kelbo: there is no level 8: the levels are 0 to 7\n"},
    {"chances 0 --seed 1 L:3,2 L:13,0", 2, nullptr,
     "kelbo: move L:13,0 lies outside the grid of 13 columns and 7 rows\n"},
    {"replay 0 --seed 1 R:0,7", 2, nullptr, "kelbo: move R:0,7 lies outside the grid of 13 columns and 7 rows\n"},
    {"chances 0 --seed 1 L:3", 2, nullptr, "kelbo: bad move L:3: write L:COLUMN,ROW, R:COLUMN,ROW or M:COLUMN,ROW\n"},
    {"solve 9 --boards 2", 2, nullptr, "kelbo: there is no level 9: the levels are 0 to 7\n"},
    {"solve 0", 2, nullptr,
     "kelbo: give the generator's seed with --seed N, or the game's clock with --time T [--game N]\n"},
    {"solve 0 --boards 2 --seed 1", 2, nullptr, "kelbo: --seed excludes --boards\n"},
    {"solve 0 --boards 2 --time 5 --game 1", 2, nullptr, "kelbo: --game excludes --boards\n"},
    {"solve 0 --boards 0", 2, nullptr, "kelbo: --boards 0: give a whole number from 1 to 4294967295\n"},
    {"solve 0 --seed 1 --first 13,0", 2, nullptr,
     "kelbo: --first 13,0 lies outside the grid of 13 columns and 7 rows\n"},
    {"solve 3 --boards 2 --first 0,0", 2, nullptr, "kelbo: --first 0,0 is no triangle of this level\n"},
    {"solve 0 --seed 1 --first 3.2", 2, nullptr, "kelbo: bad cell --first 3.2: write COLUMN,ROW\n"},
    {"solve 0 --seed 1 --list", 2, nullptr, "kelbo: unknown option --list; did you mean --first?\n"},
    {"level show 4", 0, "title \"Star\"", ""},
    {"level set 1 --title Tiny --mines 1 --size 1x2", 0,
     "kelbo.dat: level 1 (Average) is now \"Tiny\": 1 row, 2 columns, 1 mine, 2 playable cells", ""},
    {"level set 1 --title Tiny --mines 2 --size 1x2", 1, nullptr,
     "kelbo: kelbo.dat: level 1 (Average): 2 mines leave no safe cell among the 2 playable cells; give at "
     "most 1\n"},
};

// The files of the directory, other than the runner's errors.txt, that were created, changed or
// opened for writing while the command ran.
std::set<std::string> FilesWrittenBy(const ScratchDirectory& directory, const std::string& arguments, ToolRun& run)
{
    const int watch = inotify_init1(IN_NONBLOCK);
    inotify_add_watch(watch, directory.Path().c_str(), IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO);
    run = RunKelbo(directory, arguments);
    std::set<std::string> names;
    alignas(inotify_event) char events[4096];
    for (ssize_t got; (got = read(watch, events, sizeof events)) > 0;)
        for (const char* at = events; at < events + got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            names.insert(event->name);
            at += sizeof(inotify_event) + event->len;
        }
    close(watch);
    names.erase("errors.txt");
    return names;
}

TEST(KelboTool, CommandLinesAsPeopleExpectThem)
{
    for (const CommandLineCase& example : kCommandLineCases) {
        SCOPED_TRACE(example.arguments);
        ScratchDirectory directory;
        WriteWholeFileForTest(directory.File("kelbo.dat"), DefaultDataFileBytes());
        std::filesystem::create_directory(directory.File("sub"));
        ToolRun run;
        const std::set<std::string> written = FilesWrittenBy(directory, example.arguments, run);
        // Only the writers open the file for writing, or make one.
        const std::string arguments = example.arguments;
        const bool onlyReads =
            arguments.find("init") == std::string::npos && arguments.find("level set") == std::string::npos;
        EXPECT_FALSE(onlyReads && !written.empty()) << *written.begin() << " was opened for writing";
        EXPECT_EQ(run.exitCode, example.exitCode) << run.errors;
        const std::vector<std::string> lines = Lines(run.output);
        if (example.output == nullptr)
            EXPECT_EQ(run.output, "");
        else
            EXPECT_NE(std::find(lines.begin(), lines.end(), example.output), lines.end()) << run.output;
        if (example.errors != nullptr)
            EXPECT_EQ(run.errors, example.errors);
        else
            EXPECT_NE(run.errors.find("Usage: kelbo"), std::string::npos) << run.errors;
    }
}

// The writers replace the file that a link names, keep the link a link, and keep the file's mode.
// A link planted where a writer might put its new file is never written through.
TEST(KelboTool, WritersKeepTheLinkAndTheMode)
{
    for (const char* command : {"level set 1 --title Tiny --mines 1 --size 1x2", "level reset 1", "init --force"}) {
        SCOPED_TRACE(command);
        ScratchDirectory directory;
        std::vector<std::uint8_t> old = DefaultDataFileBytes();
        old[RecordOffset(old, 1) + 16 + 11] = 1;  // a best time of level 1 that every writer changes
        std::filesystem::create_directory(directory.File("real"));
        WriteWholeFileForTest(directory.File("real/kelbo.dat"), old);
        ASSERT_EQ(chmod(directory.File("real/kelbo.dat").c_str(), 0664), 0);
        std::filesystem::create_symlink("real/kelbo.dat", directory.File("link.dat"));
        const std::vector<std::uint8_t> victim = {1, 2, 3};
        WriteWholeFileForTest(directory.File("victim"), victim);
        std::filesystem::create_symlink("../victim", directory.File("real/kelbo.dat.new"));
        const ToolRun run = RunKelbo(directory, std::string(command) + " --file link.dat");
        EXPECT_EQ(run.exitCode, 0) << run.errors;
        EXPECT_TRUE(std::filesystem::is_symlink(directory.File("link.dat")));
        EXPECT_NE(ReadWholeFile(directory.File("real/kelbo.dat")), old);
        struct stat status {};
        ASSERT_EQ(stat(directory.File("real/kelbo.dat").c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0664u);
        EXPECT_EQ(ReadWholeFile(directory.File("victim")), victim);
        std::set<std::string> beside;
        for (const auto& entry : std::filesystem::directory_iterator(directory.File("real")))
            beside.insert(entry.path().filename().string());
        EXPECT_EQ(beside, (std::set<std::string>{"kelbo.dat", "kelbo.dat.lock", "kelbo.dat.new"}));
    }
}

// Anything but a file at the lock file's name is neither followed nor taken for the lock: where
// the folder may be written, the writers change nothing and say why.
TEST(KelboTool, NoWriterGoesOnUnlockedWhereOthersMayReplaceTheFile)
{
    struct Row {
        const char* what;
        void (*plant)(const ScratchDirectory& directory);
    };
    const Row rows[] = {
        {"a link", [](const ScratchDirectory& d) { std::filesystem::create_symlink("elsewhere", d.File("kelbo.dat.lock")); }},
        {"a folder", [](const ScratchDirectory& d) { std::filesystem::create_directory(d.File("kelbo.dat.lock")); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ScratchDirectory directory;
        std::vector<std::uint8_t> old = DefaultDataFileBytes();
        old[RecordOffset(old, 3) + 16 + 11] = 1;  // a best time of level 3 that the reset takes away
        WriteWholeFileForTest(directory.File("kelbo.dat"), old);
        row.plant(directory);
        const ToolRun run = RunKelbo(directory, "level reset 3");
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.errors, "kelbo: kelbo.dat cannot be locked against the game, because kelbo.dat.lock cannot be "
                              "made or opened as a file; it is left as it is\n");
        EXPECT_EQ(ReadWholeFile(directory.File("kelbo.dat")), old);
        EXPECT_FALSE(std::filesystem::exists(directory.File("elsewhere")));
    }
}

// Root writes whatever the mode says: tests/run_data_faults.sh runs these as an unprivileged user.
// A file its user may not write is refused by every writer, though its folder would let a new
// file be renamed over it.
TEST(KelboTool, ARefusedWriteSaysTheFileWasLeftAsItWas)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes a read-only file";
    for (const char* command : {"level set 1 --title Tiny --mines 1 --size 1x2", "level reset 1", "init --force"}) {
        SCOPED_TRACE(command);
        ScratchDirectory directory;
        std::vector<std::uint8_t> old = DefaultDataFileBytes();
        old[RecordOffset(old, 1) + 16 + 11] = 1;  // a best time of level 1 that every writer changes
        WriteWholeFileForTest(directory.File("kelbo.dat"), old);
        ASSERT_EQ(chmod(directory.File("kelbo.dat").c_str(), 0444), 0);
        const ToolRun run = RunKelbo(directory, command);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.errors, "kelbo: kelbo.dat cannot be written (Permission denied); kelbo.dat is left as it is\n");
        EXPECT_EQ(ReadWholeFile(directory.File("kelbo.dat")), old);
    }
}

// A file of another user's that this one may write (run_data_faults.sh makes it, as root): the new
// file cannot be given away, and the writer says so.
TEST(KelboTool, ANewFileThatCannotKeepItsOwnerSaysSo)
{
    const char* foreign = std::getenv("SKARVEL_FOREIGN_FILE");
    if (foreign == nullptr || geteuid() == 0)
        GTEST_SKIP() << "needs the file of another user that tests/run_data_faults.sh makes";
    struct stat before {};
    ASSERT_EQ(stat(foreign, &before), 0);
    ScratchDirectory directory;
    const ToolRun run = RunKelbo(directory, std::string("init --force --file ") + foreign);
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.errors, "kelbo: warning: " + std::string(foreign) +
                              " has been replaced, but the new file could not keep the old one's owner (user " +
                              std::to_string(before.st_uid) + ", now " + std::to_string(geteuid()) +
                              ") and group (group " + std::to_string(before.st_gid) + ", now " +
                              std::to_string(getegid()) + ")\n");
    EXPECT_EQ(ReadWholeFile(foreign), DefaultDataFileBytes());
}

std::string WithoutTrailingNewlines(std::string text)
{
    text.erase(text.find_last_not_of('\n') + 1);
    return text;
}

// The one figure that differs between machines left out.
std::string WithoutSpeed(std::string text)
{
    for (const std::string timed : {"boards per second ", "dealing: "}) {
        const std::size_t figure = text.find(timed);
        if (figure != std::string::npos)
            text.erase(figure + timed.size(), text.find('\n', figure) - figure - timed.size());
    }
    return text;
}

// The tool's reference page and the tool say the same: every "$ kelbo ..." block of the page is the
// output of that command line, and every command that kelbo --help lists has its help on the page.
TEST(KelboTool, TheReferencePageIsTheToolsOwnHelp)
{
    std::ifstream page(DOCS_DIR "/kelbo.md");
    ASSERT_TRUE(page) << DOCS_DIR "/kelbo.md";
    std::map<std::string, std::string> blocks;  // command line -> the text the page shows for it
    std::string line, command;
    for (bool inBlock = false; std::getline(page, line);) {
        if (line.rfind("```", 0) == 0) {
            inBlock = !inBlock;
            command.clear();
        } else if (inBlock && command.empty() && line.rfind("$ kelbo", 0) == 0) {
            command = line.substr(std::strlen("$ kelbo "));
            blocks[command];
        } else if (inBlock && !command.empty()) {
            blocks[command] += line + "\n";
        }
    }
    ScratchDirectory directory;
    WriteWholeFileForTest(directory.File("kelbo.dat"), DefaultDataFileBytes());
    for (const auto& [arguments, shown] : blocks) {
        const ToolRun run = RunKelbo(directory, arguments);
        EXPECT_EQ(run.exitCode, 0) << arguments;
        EXPECT_EQ(WithoutSpeed(WithoutTrailingNewlines(shown)), WithoutSpeed(WithoutTrailingNewlines(run.output)))
            << arguments;
    }
    const std::vector<std::string> help = Lines(RunKelbo(directory, "--help").output);
    const auto commands = std::find(help.begin(), help.end(), "Commands:");
    ASSERT_NE(commands, help.end());
    for (auto entry = commands + 1; entry != help.end() && !entry->empty(); ++entry) {
        std::istringstream words(*entry);
        std::string name;
        words >> name;
        EXPECT_TRUE(name == "help" || blocks.count("help " + name) == 1) << "no help of " << name << " on the page";
    }
    EXPECT_EQ(blocks.count("--help"), 1u);
}

// A board as board and replay print it: each row's cell texts.
using TextBoard = std::vector<std::vector<std::string>>;

TextBoard ReadTextBoard(const std::string& output)
{
    TextBoard board;
    for (const std::string& line : Lines(output)) {
        if (line.rfind("FlagsLeft", 0) == 0)
            break;
        std::istringstream in(line);
        board.emplace_back(std::istream_iterator<std::string>(in), std::istream_iterator<std::string>());
    }
    return board;
}

// The real cells among the twelve around a cell, from the table of the rules: an up-pointing cell
// reaches one column each way in the row above and two in the row below, a down-pointing one the
// reverse.
std::vector<std::pair<int, int>> Around(const TextBoard& board, int column, int row)
{
    std::vector<std::pair<int, int>> around;
    const bool up = (column + row) % 2 == 0;
    for (int dr = -1; dr <= 1; ++dr) {
        const int reach = dr != 0 && (dr < 0) == up ? 1 : 2;
        for (int dc = -reach; dc <= reach; ++dc) {
            const int r = row + dr, c = column + dc;
            if ((dr != 0 || dc != 0) && r >= 0 && r < static_cast<int>(board.size()) && c >= 0 &&
                c < static_cast<int>(board[0].size()) && board[r][c] != ".")
                around.emplace_back(c, r);
        }
    }
    return around;
}

// 3BV counted apart: regions of zeros joined by a union-find, and the safe counts beside no zero.
int ReferenceThreeBV(const TextBoard& board)
{
    const int columns = static_cast<int>(board[0].size());
    std::vector<int> parent(board.size() * board[0].size());
    std::iota(parent.begin(), parent.end(), 0);
    const auto root = [&parent](int cell) {
        while (parent[cell] != cell)
            cell = parent[cell] = parent[parent[cell]];
        return cell;
    };
    int releases = 0;
    for (int pass = 0; pass < 2; ++pass)
        for (int row = 0; row < static_cast<int>(board.size()); ++row)
            for (int column = 0; column < columns; ++column) {
                const std::string& cell = board[row][column];
                bool besideZero = false;
                for (const auto& [c, r] : Around(board, column, row)) {
                    besideZero |= board[r][c] == "0";
                    if (pass == 0 && cell == "0" && board[r][c] == "0")
                        parent[root(row * columns + column)] = root(r * columns + c);
                }
                if (pass == 1)
                    releases += cell == "0" ? root(row * columns + column) == row * columns + column
                                            : cell != "." && cell != "*" && !besideZero;
            }
    return releases;
}

// chances --list after the moves names exactly the hidden cells of the replay, calls certain only
// what the board holds, and its chances add up to the mines.
void CheckChances(const ScratchDirectory& directory, const std::string& game, const std::string& moves,
                  const TextBoard& board)
{
    const TextBoard seen = ReadTextBoard(RunKelbo(directory, "replay " + game + " " + moves).output);
    ASSERT_EQ(seen.size(), board.size()) << moves;
    std::set<std::pair<int, int>> hidden, listed;
    double sum = 0, mines = 0;
    for (std::size_t row = 0; row < board.size(); ++row)
        for (std::size_t column = 0; column < board[row].size(); ++column) {
            mines += board[row][column] == "*" && seen[row][column] != "*";  // a lost game shows its mines
            if (seen[row][column] == "#" || seen[row][column] == "F" || seen[row][column] == "?")
                hidden.emplace(column, row);
        }
    for (const std::string& line : Lines(RunKelbo(directory, "chances " + game + " --list " + moves).output)) {
        std::istringstream in(line);
        int column = -1, row = -1;
        std::string chance;
        in >> column >> row >> chance;
        ASSERT_TRUE(hidden.count({column, row}) == 1 && chance.size() == 8) << line;
        listed.emplace(column, row);
        sum += std::stod(chance);
        if (chance == "0.000000" || chance == "1.000000") {
            EXPECT_EQ(board[row][column] == "*", chance == "1.000000") << line;
        }
    }
    EXPECT_EQ(listed, hidden);
    EXPECT_NEAR(sum, mines, 1e-6 * static_cast<double>(hidden.size()));
}

// The solver's moves, replayed by a separate run of the tool, end the game as solve says, lost only
// on a guess; its 3BV is the board's; the figures of a batch are its boards' played alone.
TEST(KelboTool, SolveEndsTheGameAsItsMovesReplayed)
{
    ScratchDirectory directory;
    WriteWholeFileForTest(directory.File("kelbo.dat"), DefaultDataFileBytes());
    std::map<std::string, int> results;
    for (int level : {0, 2, 3, 4, 6, 7})
        for (int seed = 0; seed < 10; ++seed) {
            const std::string game = std::to_string(level) + " --seed " + std::to_string(seed * 7919 + level);
            SCOPED_TRACE(game);
            const ToolRun solve = RunKelbo(directory, "solve " + game);
            const std::vector<std::string> lines = Lines(solve.output);
            ASSERT_TRUE(solve.exitCode == 0 && lines.size() >= 2) << solve.errors;
            std::istringstream last(lines.back());
            std::string result, label, lastGuess;
            int threeBV = -1;
            last >> result >> label >> threeBV;
            ++results[result];
            for (auto guess = lines.begin() + 1; guess + 1 != lines.end(); ++guess) {
                lastGuess = "L:" + guess->substr(0, guess->find(' '));
                EXPECT_NE((" " + lines[0] + " ").find(" " + lastGuess + " "), std::string::npos) << *guess;
            }
            const std::string lastMove = lines[0].substr(lines[0].rfind(' ') + 1);
            if (result == "lost") {
                EXPECT_TRUE(lastMove == lastGuess || lines[0].find(' ') == std::string::npos) << lines[0];
            }
            const std::vector<std::string> replay =
                Lines(RunKelbo(directory, "replay " + game + " " + lines[0]).output);
            // solve guesses only where nothing is certain, on the triangle least likely to hide a mine.
            if (result == "won") {
                EXPECT_EQ(replay.back(), "Result Won");
            } else {
                ASSERT_GE(replay.size(), 2u);
                EXPECT_EQ(replay[replay.size() - 2], "Result Lost");
                EXPECT_EQ(replay.back().rfind("No triangle was ", 0), 0u) << replay.back();
                EXPECT_EQ(replay.back().substr(replay.back().size() - 19), ", the least of any.") << replay.back();
            }
            const TextBoard board = ReadTextBoard(RunKelbo(directory, "board " + game).output);
            EXPECT_EQ(label + " " + std::to_string(threeBV), "3BV " + std::to_string(ReferenceThreeBV(board)));
            if (seed % 3 == 0)
                CheckChances(directory, game, lines[0].substr(0, lines[0].find(' ', lines[0].size() / 2)), board);
        }
    EXPECT_GT(results["won"], 10);
    EXPECT_GT(results["lost"], 2);

    // A batch plays each game as solve plays it alone; with --no-guess each game's board is the one
    // that board deals at the same release, its 3BV counted apart.
    for (const std::string mode : {"", " --no-guess"}) {
        SCOPED_TRACE("batch" + mode);
        const std::string batch = "0 --time 1700000000" + mode + " --first 6,3";
        int won = 0, clean = 0, lostFirst = 0, guesses = 0, threeBV = 0, dealt = 0, threeBVApart = 0;
        for (int game = 0; game < 8; ++game) {
            const std::string alone = batch + " --game " + std::to_string(game);
            std::vector<std::string> dealing;
            if (!mode.empty()) {
                TextBoard board = ReadTextBoard(RunKelbo(directory, "board " + alone).output);
                ASSERT_EQ(board.size(), 8u);
                dealt += board.back() == std::vector<std::string>{"no", "guess", "needed"};
                dealing = board.back();
                board.pop_back();
                EXPECT_EQ(board[3][6], "0") << "the first release and its neighbours are free";
                threeBVApart += ReferenceThreeBV(board);
            }
            std::vector<std::string> lines = Lines(RunKelbo(directory, "solve " + alone).output);
            if (!mode.empty()) {
                ASSERT_FALSE(lines.empty());
                EXPECT_EQ(ReadTextBoard(lines.back()).back(), dealing);
                lines.pop_back();
            }
            ASSERT_GE(lines.size(), 2u);
            EXPECT_EQ(lines[0].rfind("L:6,3", 0), 0u) << lines[0];
            const bool gameWon = lines.back().rfind("won", 0) == 0;
            won += gameWon;
            clean += gameWon && lines.size() == 2;
            lostFirst += !gameWon && lines[0] == "L:6,3";
            guesses += static_cast<int>(lines.size()) - 2;
            threeBV += std::stoi(lines.back().substr(lines.back().find("3BV ") + 4));
        }
        char expected[256];
        std::snprintf(expected, sizeof expected,
                      "won %d of 8\nwon without a guess %d of 8\nlost on the first release %d of 8\n"
                      "guesses per board %.2f\n3BV per board %.2f\nboards per second ",
                      won, clean, lostFirst, guesses / 8.0, threeBV / 8.0);
        // Standard error is a file here: no bar, even with its wait gone; and the level is read once.
        setenv("KELBO_BAR_WAIT_MS", "0", 1);
        const int watch = inotify_init1(IN_NONBLOCK);
        // Closes too, or the opens one after another would be merged into one event.
        inotify_add_watch(watch, directory.File("kelbo.dat").c_str(), IN_OPEN | IN_CLOSE_NOWRITE);
        const ToolRun batchRun = RunKelbo(directory, "solve " + batch + " --boards 8");
        unsetenv("KELBO_BAR_WAIT_MS");
        int opened = 0;
        alignas(inotify_event) char events[4096];
        for (ssize_t got; (got = read(watch, events, sizeof events)) > 0;)
            for (const char* at = events; at < events + got; at += sizeof(inotify_event))
                opened += (reinterpret_cast<const inotify_event*>(at)->mask & IN_OPEN) != 0;
        close(watch);
        EXPECT_EQ(batchRun.output.rfind(expected, 0), 0u) << batchRun.output;
        EXPECT_EQ(batchRun.errors, "");
        EXPECT_LE(opened, 2) << "kelbo.dat opened for each board";
        if (!mode.empty()) {
            EXPECT_EQ(threeBV, threeBVApart);
            EXPECT_NE(batchRun.output.find("\ndealt without a guess " + std::to_string(dealt) + " of 8\ndealing: "),
                      std::string::npos)
                << batchRun.output;
        }
    }
}

// With little work allowed, the solver estimates: a guess is marked approximate exactly when
// chances, run apart on the moves before it, says so, and with the same chance.
TEST(KelboTool, SolveMarksTheGuessesOfEstimates)
{
    ScratchDirectory directory;
    WriteWholeFileForTest(directory.File("kelbo.dat"), DefaultDataFileBytes());
    setenv("KELBO_SOLVER_WORK", "100", 1);
    int marked = 0, unmarked = 0;
    for (int seed = 1; seed <= 4; ++seed) {
        const std::string game = "2 --seed " + std::to_string(seed);
        const std::vector<std::string> lines = Lines(RunKelbo(directory, "solve " + game).output);
        ASSERT_GE(lines.size(), 2u);
        for (auto guess = lines.begin() + 1; guess + 1 != lines.end(); ++guess) {
            const std::string cell = guess->substr(0, guess->find(' '));
            const std::string before = lines[0].substr(0, (" " + lines[0] + " ").find(" L:" + cell + " "));
            const std::vector<std::string> chances =
                Lines(RunKelbo(directory, "chances " + game + " --list " + before).output);
            const bool approximate = !chances.empty() && chances.back() == "approximate";
            const std::string at = cell.substr(0, cell.find(',')) + " " + cell.substr(cell.find(',') + 1) + " ";
            const auto line =
                std::find_if(chances.begin(), chances.end(), [&](const std::string& l) { return l.rfind(at, 0) == 0; });
            ASSERT_NE(line, chances.end()) << *guess;
            EXPECT_EQ(*guess, cell + " " + line->substr(at.size()) + (approximate ? " approximate" : "")) << before;
            (approximate ? marked : unmarked) += 1;
        }
    }
    unsetenv("KELBO_SOLVER_WORK");
    EXPECT_GT(marked, 0);
}

void PutField(std::vector<std::uint8_t>& file, std::size_t position, const std::string& bytes)
{
    std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(position));
}

// Names and titles as a player's tables may hold them, shown by times and levels each within its
// field, letters of the game's character set in UTF-8, and the bytes that a terminal would act on
// or that stand for no letter written as escapes.
TEST(KelboTool, TimesAndLevelsShowFieldsAsTheGameReadsThem)
{
    std::vector<std::uint8_t> file = DefaultDataFileBytes();
    const std::size_t beginner = RecordOffset(file, 0);
    const std::string names[] = {
        std::string("TenLetters\0", 11),        // ten characters and the terminator
        std::string("ElevenBytes", 11),         // no terminator: the time follows at once
        std::string("Caf\xe9\0XYZ\0\0\0", 11),  // a byte above 127; bytes after the terminator
        std::string("\0Hidden\0\0\0\0", 11),    // empty
        std::string("\x1b[31mRed\\\0", 11),     // a terminal's escape sequence and a backslash
    };
    for (int k = 0; k < 5; ++k)
        PutField(file, beginner + 16 + 15 * static_cast<std::size_t>(k), names[k]);
    PutField(file, beginner + 3, "ABCDEFGHIJKLM");  // the title without a terminator
    PutField(file, RecordOffset(file, 1) + 3, std::string("Bell\x07\x7f\0", 7));
    PutField(file, RecordOffset(file, 2) + 3, std::string("\x80\x81\x9f\xff\0", 5));

    ScratchDirectory directory;
    WriteWholeFileForTest(directory.File("kelbo.dat"), file);
    const ToolRun times = RunKelbo(directory, "times 0");
    ASSERT_EQ(times.exitCode, 0) << times.errors;
    const std::vector<std::string> expectedTimes = {
        "0 ABCDEFGHIJKLM",         "  1. TenLetters     60",
        "  2. ElevenBytes    100", "  3. Caf\xc3\xa9          150",
        "  4.               200",  "  5. \\x1b[31mRed\\\\    300",
    };
    EXPECT_EQ(Lines(times.output), expectedTimes);

    const ToolRun levels = RunKelbo(directory, "levels");
    ASSERT_EQ(levels.exitCode, 0) << levels.errors;
    const std::vector<std::string> lines = Lines(levels.output);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[1].substr(0, 19), "0     ABCDEFGHIJKLM") << lines[1];
    EXPECT_EQ(lines[2].substr(0, 19), "1     Bell\\x07\\x7f ") << lines[2];
    EXPECT_EQ(lines[3].substr(0, 26), "2     \xe2\x82\xac\\x81\xc5\xb8\xc3\xbf        1") << lines[3];
    for (const std::string& output : {times.output, levels.output})
        for (const char c : output) {
            const int byte = static_cast<int>(c) & 0xFF;
            EXPECT_TRUE(c == '\n' || (byte >= 32 && byte != 127)) << "byte " << byte;
        }
    const ToolRun show = RunKelbo(directory, "level show 1");
    ASSERT_EQ(show.exitCode, 0) << show.errors;
    EXPECT_EQ(Lines(show.output)[0], "title \"Bell\\x07\\x7f\"");
    EXPECT_EQ(levels.output.find("\xc2\x80"), std::string::npos);  // U+0080 to U+009F drive terminals too
    EXPECT_EQ(levels.output.find("\xc2\x81"), std::string::npos);
}

// Every byte of the file's character set goes to UTF-8 and back to itself; the five empty bytes
// have no letter.
TEST(TextEncoding, EveryByteOfWindows1252RoundTrips)
{
    std::vector<int> empty;
    for (int byte = 0; byte < 256; ++byte) {
        const std::uint32_t codePoint = CodePointOfWindows1252(static_cast<std::uint8_t>(byte));
        if (codePoint == kNoCodePoint) {
            empty.push_back(byte);
            continue;
        }
        std::string utf8;
        AppendUtf8(utf8, codePoint);
        std::uint32_t decoded = 0;
        std::size_t length = 0;
        ASSERT_TRUE(NextUtf8CodePoint(utf8, 0, decoded, length)) << byte;
        EXPECT_EQ(length, utf8.size()) << byte;
        std::uint8_t back = 0;
        EXPECT_TRUE(Windows1252OfCodePoint(decoded, back)) << byte;
        EXPECT_EQ(back, byte);
    }
    EXPECT_EQ(empty, (std::vector<int>{0x81, 0x8D, 0x8F, 0x90, 0x9D}));
    std::uint8_t byte = 0;
    for (std::uint32_t missing : {0x81u, 0x9Du, 0x100u, 0x2192u, 0x1F600u})
        EXPECT_FALSE(Windows1252OfCodePoint(missing, byte)) << missing;
}

struct Utf8Case {
    const char* bytes;
    bool valid;
    std::uint32_t codePoint;
};

const Utf8Case kUtf8Cases[] = {
    {"A", true, 0x41},
    {"\xc3\xab", true, 0xEB},
    {"\xe2\x82\xac", true, 0x20AC},
    {"\xf0\x9f\x98\x80", true, 0x1F600},
    {"\xc3", false, 0},
    {"\x80", false, 0},
    {"\xc0\xaf", false, 0},
    {"\xe0\x80\xaf", false, 0},
    {"\xed\xa0\x80", false, 0},
    {"\xf4\x90\x80\x80", false, 0},
    {"\xff", false, 0},
    {"\xe2\x82"
     "A",
     false, 0},
};

// Cut-off, stray, overlong, surrogate and out-of-range sequences are not text.
TEST(TextEncoding, Utf8IsDecodedOrRefused)
{
    for (const Utf8Case& example : kUtf8Cases) {
        std::uint32_t codePoint = 0;
        std::size_t length = 0;
        const std::string text = example.bytes;
        EXPECT_EQ(NextUtf8CodePoint(text, 0, codePoint, length), example.valid) << text;
        if (example.valid) {
            EXPECT_EQ(codePoint, example.codePoint) << text;
            EXPECT_EQ(length, text.size()) << text;
        }
    }
}

}  // namespace
