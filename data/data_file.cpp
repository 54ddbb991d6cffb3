#include "data/data_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#ifndef _WIN32
#include <unistd.h>  // getcwd
#endif

#include "data/data_check.h"
#include "data/default_file.h"
#include "data/whole_file.h"

std::FILE* DataFile;
std::string DataFileName = "kelbo.dat";
bool DataFileReadOnly = false;
bool DataFileOnlyRead = false;
void (*BeforeDefaultFileWrite)();

std::string DataFilePath()
{
#ifdef _WIN32
    char* full = _fullpath(nullptr, DataFileName.c_str(), 0);
    if (full == nullptr)
        return DataFileName;
    const std::string path = full;
    std::free(full);
    return path;
#else
    if (!DataFileName.empty() && DataFileName[0] == '/')
        return DataFileName;
    std::vector<char> folder(4096);
    if (getcwd(folder.data(), folder.size()) == nullptr)
        return DataFileName;
    return std::string(folder.data()) + "/" + DataFileName;
#endif
}

std::string ReadOnlyMessage(const std::string& whatWasNotDone)
{
    return DataFilePath() + " is read-only, so " + whatWasNotDone +
           ".\nThe game plays on from the file and leaves it as it is. To keep best times, make the file "
           "writable, or copy the game's folder to a place where you may write files and start it there.";
}

std::string DamagedFileMessage(const std::vector<FileProblem>& problems)
{
    std::string message = DataFilePath() + " is damaged: " + (problems.empty() ? "" : problems.front().plain) +
                          ".\nMove the file out of its folder, or rename it, and start the game again: it then "
                          "starts with its built-in levels, and the moved file keeps its best times. The file has "
                          "been left as it is.\nDetails:";
    for (const FileProblem& problem : problems)
        message += "\n" + problem.detail;
    return message;
}

static std::string Reason()
{
    return std::strerror(errno);
}

static bool MayNotWrite(int error)
{
    return error == EACCES || error == EPERM || error == EROFS;
}

// For update, or for reading alone when the file may not be written or the program only reads
// it. 0, or the error of the failed open.
static int OpenByName()
{
    DataFileReadOnly = false;
    // Read alone, a folder opens; it would then fail every read.
    if (IsFolder(DataFileName))
        return EISDIR;
    int error = 0;
    if (!DataFileOnlyRead) {
        DataFile = std::fopen(DataFileName.c_str(), "r+b");
        if (DataFile != nullptr)
            return 0;
        error = errno;
        if (!MayNotWrite(error))
            return error;
    }
    DataFile = std::fopen(DataFileName.c_str(), "rb");
    if (DataFile == nullptr)
        return error != 0 ? error : errno;
    DataFileReadOnly = true;
    return 0;
}

std::string CannotOpenMessage(const std::string& path, int error)
{
    if (error == ENOENT)
        return path + " does not exist";
    if (error == EISDIR || IsFolder(path))
        return path + " cannot be opened: it is a folder, not a data file";
    return path + " cannot be opened: " + std::strerror(error);
}

static std::string CannotOpenDataFile(int error)
{
    // With no file there is nothing to move away.
    const std::string advice = error == ENOENT ? "It has been moved or deleted; a new game writes a new one with the "
                                                 "built-in levels."
                                               : "Make sure the file may be read and is not a folder, or move it "
                                                 "away: the game then starts with its built-in levels.";
    return CannotOpenMessage(DataFilePath(), error) + ".\n" + advice;
}

static void RunBeforeDefaultFileWrite()
{
    if (BeforeDefaultFileWrite != nullptr)
        BeforeDefaultFileWrite();
}

// A file that appeared since the open found none is opened as it is.
static bool CreateMissingFile(std::string& problem)
{
    RunBeforeDefaultFileWrite();
    if (WriteNewFile(DataFileName, DefaultDataFileBytes(), problem,
                     ". Start the game in a folder where you may write files.",
                     ". Free some disk space and start again.") != NewFile::Failed)
        return true;
    problem = DataFilePath() + " does not exist, and a new one with the built-in levels cannot be written.\n" + problem;
    return false;
}

// A file left empty, by a crash for instance, holds nothing to lose. It is written through the
// handle that found it empty: a file renamed into its place meanwhile is not the one written.
static bool FillEmptyDataFile(std::string& problem)
{
    if (DataFileReadOnly) {
        CloseDataFile();
        problem = DataFilePath() +
                  " is empty and read-only, so the built-in levels cannot be written into it.\nDelete the file, or "
                  "make it writable, and start the game again.";
        return false;
    }
    RunBeforeDefaultFileWrite();
    if (FillEmptyFile(DataFile, DefaultDataFileBytes()))
        return true;
    problem = DataFilePath() + " is empty, and the built-in levels cannot be written into it (" + Reason() +
              "); it has been left empty.\nFree some disk space and start the game again.";
    CloseDataFile();
    return false;
}

// A missing or empty file is replaced by the default one, as it holds nothing to lose.
static bool OpenOrWriteDefault(std::string& problem)
{
    int error = OpenByName();
    if (error == ENOENT && !DataFileOnlyRead) {
        if (!CreateMissingFile(problem))
            return false;
        error = OpenByName();
    }
    if (error != 0) {
        problem = CannotOpenDataFile(error);
        return false;
    }
    return DataFileOnlyRead || FileSizeOf(DataFile) != 0 || FillEmptyDataFile(problem);
}

bool OpenDataFile(std::string& problem, LevelCheck extraCheck)
{
    if (!OpenOrWriteDefault(problem))
        return false;
    const std::vector<FileProblem> problems = FindFileProblems(DataFile, DataFileName, extraCheck);
    if (problems.empty())
        return true;
    CloseDataFile();
    problem = DamagedFileMessage(problems);
    return false;
}

static bool CloseForReopen(std::string& problem)
{
    if (DataFile != nullptr) {
        const bool closed = std::fclose(DataFile) == 0;
        DataFile = nullptr;
        if (!closed) {
            problem = DataFilePath() + " could not be closed (" + Reason() + "); the last change may not be on disk.";
            return false;
        }
    }
    return true;
}

bool ReopenDataFile(std::string& problem)
{
    if (!CloseForReopen(problem))
        return false;
    const int error = OpenByName();
    if (error == 0)
        return true;
    problem = CannotOpenDataFile(error);
    return false;
}

bool ReopenOrWriteDataFile(std::string& problem)
{
    return CloseForReopen(problem) && OpenOrWriteDefault(problem);
}

void CloseDataFile()
{
    if (DataFile != nullptr)
        std::fclose(DataFile);
    DataFile = nullptr;
}
