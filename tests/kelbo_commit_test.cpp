// The writers' commit path, in-process: what is left on the disk when the new file fails its check,
// the program dies between writing the new file and renaming it over the old one, another writer
// commits meanwhile, or the game writes a time meanwhile.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

#include "data/best_times.h"
#include "data/data_file.h"
#include "data/default_file.h"
#include "data/file_lock.h"
#include "game/file_replace.h"
#include "tests/test_files.h"
#include "tools/kelbo_commands.h"

namespace {

constexpr int kCrashCode = 3;
std::vector<std::uint8_t> CheckedBytes;  // what the last check read

std::vector<std::uint8_t> ReadStream(std::FILE* file)
{
    std::vector<std::uint8_t> bytes;
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;)
        bytes.push_back(static_cast<std::uint8_t>(c));
    return bytes;
}

std::vector<std::string> PassingCheck(std::FILE* file, const std::string&)
{
    CheckedBytes = ReadStream(file);
    return {};
}

std::vector<std::string> FailingCheck(std::FILE* file, const std::string& name)
{
    CheckedBytes = ReadStream(file);
    return {name + ": level 6 (Radiation): refused", name + ": level 7 (Cross): refused"};
}

// The program dies after the new file is written and before it is renamed.
std::vector<std::string> CrashingCheck(std::FILE*, const std::string&)
{
    _exit(kCrashCode);
}

// Another writer replaces the file between this one's write and rename.
std::vector<std::string> CheckWhileAnotherCommits(std::FILE* file, const std::string&)
{
    static bool nested = false;
    CheckedBytes = ReadStream(file);
    if (!nested) {
        nested = true;
        std::string problem;
        CommitImage(DefaultDataFileBytes(), PassingCheck, problem);
        nested = false;
    }
    return {};
}

struct Commit {
    const char* what;
    WholeFileCheck check;
    bool replaced;        // the data file holds the new image afterwards
    const char* message;  // the problem between the data file's path and "PATH is left as it is"
};

const Commit kCommits[] = {
    {"the new file passes its check", PassingCheck, true, ""},
    {"the new file fails its check", FailingCheck, false,
     ": level 6 (Radiation): refused (kelbo check lists every problem); "},
    {"a crash between writing and renaming", CrashingCheck, false, ""},
    {"another writer commits meanwhile", CheckWhileAnotherCommits, true, ""},
};

// Runs body in a child process, as the tool would run; its exit code, and what it wrote to the
// pipe it is given.
int RunInChild(const std::function<int(int pipeEnd)>& body, std::string& written)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        _exit(body(pipeEnds[1]));
    }
    close(pipeEnds[1]);
    char buffer[512];
    for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        written.append(buffer, static_cast<std::size_t>(got));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int CommitInChild(const std::vector<std::uint8_t>& image, WholeFileCheck check, std::string& problem)
{
    return RunInChild(
        [&](int pipeEnd) {
            std::string text;
            const bool committed = CommitImage(image, check, text);
            return write(pipeEnd, text.data(), text.size()) < 0 ? 2 : committed ? 0 : 1;
        },
        problem);
}

TEST(KelboCommit, TheOldFileStaysWholeUntilTheCheckedNewFileReplacesIt)
{
    for (const Commit& commit : kCommits) {
        SCOPED_TRACE(commit.what);
        ScratchDirectory directory;
        DataFileName = directory.File("kelbo.dat");
        const std::vector<std::uint8_t> old = DefaultDataFileBytes();
        std::vector<std::uint8_t> image = old;
        image[100] ^= 0xFF;
        image.resize(old.size() + 300, 7);
        WriteWholeFileForTest(DataFileName, old);

        std::string problem;
        const int exitCode = CommitInChild(image, commit.check, problem);
        const bool crashed = commit.check == CrashingCheck;
        EXPECT_EQ(exitCode, crashed ? kCrashCode : commit.replaced ? 0 : 1) << problem;
        EXPECT_EQ(ReadWholeFile(DataFileName), commit.replaced ? image : old);
        const std::string message =
            *commit.message == '\0' ? "" : DataFileName + commit.message + DataFileName + " is left as it is";
        EXPECT_EQ(problem, message);
        const std::vector<std::string> leftOver = NewFilesBeside(DataFileName);
        ASSERT_EQ(leftOver.size(), crashed ? 1u : 0u);
        if (crashed) {
            EXPECT_EQ(ReadWholeFile(leftOver.front()), image);
            EXPECT_EQ(CommitInChild(image, PassingCheck, problem), 0);  // a later command is not stopped by it
            EXPECT_EQ(ReadWholeFile(DataFileName), image);
        }
    }
}

// The check reads the new file, not the old one, and sees every byte of it.
TEST(KelboCommit, TheCheckReadsTheNewFile)
{
    ScratchDirectory directory;
    DataFileName = directory.File("kelbo.dat");
    WriteWholeFileForTest(DataFileName, DefaultDataFileBytes());
    std::vector<std::uint8_t> image = DefaultDataFileBytes();
    image.push_back(42);
    std::string problem;
    CheckedBytes.clear();
    EXPECT_FALSE(CommitImage(image, FailingCheck, problem));
    EXPECT_EQ(CheckedBytes, image);
    EXPECT_EQ(ReadWholeFile(DataFileName), DefaultDataFileBytes());
}

// The game's time, written at the seam by a second process as the game writes it.
constexpr int kTimedLevel = 0;
constexpr std::uint8_t kWinner[kNameSize] = "Lasse";
int GamePipe = -1;  // where that process says what it told the player: "saved" or the message

void GameWritesATime()
{
    const pid_t game = fork();
    if (game == 0) {
        DataFileOnlyRead = false;
        std::string problem;
        const std::string said = SaveBestTime(kTimedLevel, kWinner, 7, problem) ? "saved" : problem;
        _exit(write(GamePipe, said.data(), said.size()) < 0 ? 2 : 0);
    }
    waitpid(game, nullptr, 0);
}

bool WinnerInFile()
{
    const std::vector<std::uint8_t> bytes = ReadWholeFile(DataFileName);
    const std::uint8_t* end = kWinner + std::strlen(reinterpret_cast<const char*>(kWinner));
    return std::search(bytes.begin(), bytes.end(), kWinner, end) != bytes.end();
}

// Runs a kelbo command in a child process with the game writing a time at the seam; its exit code.
int ReplaceWhileTheGameWrites(std::vector<std::string> arguments, std::string& said)
{
    return RunInChild(
        [&](int pipeEnd) {
            GamePipe = pipeEnd;
            DataFileLockWait = 100;
            BeforeDataFileReplaced = GameWritesATime;
            arguments.insert(arguments.begin(), {"kelbo", "--file", DataFileName});
            std::vector<char*> argv;
            for (std::string& argument : arguments)
                argv.push_back(argument.data());
            return RunKelboCommand(static_cast<int>(argv.size()), argv.data());
        },
        said);
}

const std::vector<std::string> kReplacingCommands[] = {
    {"level", "reset", "3"},
    {"level", "set", "4", "--title", "Box", "--mines", "3", "--size", "4x5"},
    {"init", "--force"},
};

// A time that the game writes while kelbo replaces the file is never reported saved and then lost.
TEST(KelboCommit, ATimeWrittenMeanwhileIsKeptOrReportedNotSaved)
{
    for (const std::vector<std::string>& command : kReplacingCommands) {
        SCOPED_TRACE(command[0] + " " + command[1]);
        ScratchDirectory directory;
        DataFileName = directory.File("kelbo.dat");
        WriteWholeFileForTest(DataFileName, DefaultDataFileBytes());
        std::string said;
        EXPECT_EQ(ReplaceWhileTheGameWrites(command, said), 0);
        ASSERT_FALSE(said.empty());
        EXPECT_EQ(said == "saved", WinnerInFile()) << said;
        std::string problem;
        EXPECT_TRUE(SaveBestTime(kTimedLevel, kWinner, 7, problem)) << problem;  // the lock is free again
        EXPECT_TRUE(WinnerInFile());
    }
}

// A second taking of the lock within one process is refused as another program's would be, and
// letting it go leaves the first held.
TEST(KelboCommit, TheLockExcludesASecondOpenInTheSameProcess)
{
    ScratchDirectory directory;
    DataFileName = directory.File("kelbo.dat");
    WriteWholeFileForTest(DataFileName, DefaultDataFileBytes());
    const int wait = DataFileLockWait;
    DataFileLockWait = 0;
    ASSERT_EQ(LockDataFile(), LockOutcome::Held);
    EXPECT_EQ(LockDataFile(), LockOutcome::Busy);
    EXPECT_EQ(LockDataFile(), LockOutcome::Busy);
    UnlockDataFile();
    EXPECT_EQ(LockDataFile(), LockOutcome::Held);
    UnlockDataFile();
    DataFileLockWait = wait;
}

}  // namespace
