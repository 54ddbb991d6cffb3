// The writers' commit path, in-process: what is left on the disk when the new file fails its check
// or the program dies between writing the new file and renaming it over the old one.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "data/data_file.h"
#include "data/default_file.h"
#include "tests/test_files.h"
#include "tools/kelbo_file.h"

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
};

// Runs the commit in a child process, as the tool would; its exit code.
int CommitInChild(const std::vector<std::uint8_t>& image, WholeFileCheck check, std::string& problem)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        std::string text;
        const bool committed = CommitImage(image, check, text);
        if (write(pipeEnds[1], text.data(), text.size()) < 0)
            _exit(2);
        _exit(committed ? 0 : 1);
    }
    close(pipeEnds[1]);
    char buffer[512];
    for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        problem.append(buffer, static_cast<std::size_t>(got));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
        EXPECT_EQ(std::filesystem::exists(DataFileName + ".new"), crashed);
        if (crashed) {
            EXPECT_EQ(ReadWholeFile(DataFileName + ".new"), image);
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

}  // namespace
