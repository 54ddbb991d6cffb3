#include "tools/kelbo_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>  // chown
#endif

#include "data/data_file.h"
#include "data/file_lock.h"
#include "data/whole_file.h"
#include "game/level_check.h"
#include "tools/kelbo_text.h"

namespace {

// The data file's own words, then what to do with the tool.
std::string OpenProblem(const std::string& path, int error)
{
    const std::string problem = CannotOpenMessage(path, error);
    if (IsFolder(path))
        return problem + "; --file names the file itself, for example " + path + "/kelbo.dat";
    if (error == ENOENT)
        return problem + "; kelbo init writes a new one with the built-in levels, or --file names another";
    return problem;
}

// The folder alone would let a new file be renamed over one that its user may not write.
bool MayBeWritten(const std::string& path, std::string& problem)
{
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    if (file == nullptr) {
        problem = path + " cannot be written (" + std::strerror(errno) + ")";
        return false;
    }
    std::fclose(file);
    return true;
}

#ifdef _WIN32
// Windows gives a new file the folder's permissions; there is nothing of the old one's to keep.
std::string KeepOwnerAndMode(const std::string&, const std::string&)
{
    return "";
}

// False with a message naming the files and the reason.
bool ReplaceFileWith(const std::string& from, const std::string& to, std::string& reason)
{
    // rename fails on Windows when the target exists.
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0)
        return true;
    const DWORD error = GetLastError();
    // The game keeps its file open while it runs, and Windows replaces no file that is open.
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION)
        reason = "the game (or another program) has " + to +
                 " open, so it cannot be replaced: close the game first "
                 "and run the command again";
    else
        reason = from + " cannot replace " + to + " (Windows error " + std::to_string(error) + ")";
    return false;
}
#else
// Only a privileged user may give a file to another owner; the group alone may still be kept.
void KeepOwner(const std::string& fresh, const struct stat& old)
{
    if (chown(fresh.c_str(), old.st_uid, old.st_gid) != 0)
        (void)chown(fresh.c_str(), static_cast<uid_t>(-1), old.st_gid);
}

// "owner (user 0, now 65534)"
std::string Change(const std::string& what, const char* format, unsigned long old, unsigned long now)
{
    char text[64];
    std::snprintf(text, sizeof text, format, old, now);
    return what + " (" + text + ")";
}

// Gives the new file the old one's owner, group and permission bits. What it could not keep, as
// "owner (user 0, now 65534) and permissions (...)"; empty when it kept them all.
std::string KeepOwnerAndMode(const std::string& old, const std::string& fresh)
{
    struct stat before {};
    struct stat after {};
    if (stat(old.c_str(), &before) != 0)
        return "";
    KeepOwner(fresh, before);
    chmod(fresh.c_str(), before.st_mode & 07777);
    if (stat(fresh.c_str(), &after) != 0)
        return "";
    std::vector<std::string> lost;
    if (after.st_uid != before.st_uid)
        lost.push_back(Change("owner", "user %lu, now %lu", before.st_uid, after.st_uid));
    if (after.st_gid != before.st_gid)
        lost.push_back(Change("group", "group %lu, now %lu", before.st_gid, after.st_gid));
    if ((after.st_mode & 07777) != (before.st_mode & 07777))
        lost.push_back(Change("permissions", "%04lo, now %04lo", before.st_mode & 07777, after.st_mode & 07777));
    std::string text;
    for (std::size_t i = 0; i < lost.size(); ++i)
        text += (i == 0 ? "" : i + 1 == lost.size() ? " and " : ", ") + lost[i];
    return text;
}

bool ReplaceFileWith(const std::string& from, const std::string& to, std::string& reason)
{
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return true;
    reason = from + " cannot replace " + to + " (" + std::strerror(errno) + ")";
    return false;
}
#endif

}  // namespace

std::string FolderProblem(const std::string& path)
{
    return IsFolder(path) ? OpenProblem(path, EISDIR) : "";
}

bool OpenCheckedDataFile(const std::string& path, WholeFileCheck check, std::vector<std::string>& problems)
{
    CloseDataFile();
    DataFile = IsFolder(path) ? nullptr : std::fopen(path.c_str(), "rb");
    if (DataFile == nullptr) {
        problems = {OpenProblem(path, errno)};
        return false;
    }
    problems = check(DataFile, DataFileName);
    if (!problems.empty())
        CloseDataFile();
    return true;
}

bool OpenCheckedForReading(std::string& problem)
{
    std::vector<std::string> problems;
    OpenCheckedDataFile(DataFileName, CheckDataFileForPlay, problems);
    if (!problems.empty())
        problem = FirstProblem(problems);
    return problems.empty();
}

bool ReadOpenImage(std::vector<std::uint8_t>& image)
{
    const long size = FileSizeOf(DataFile);
    image.assign(size > 0 ? static_cast<std::size_t>(size) : 0, 0);
    return size > 0 && ReadBytesAt(DataFile, 0, image.data(), image.size());
}

void (*BeforeDataFileReplaced)();

bool CommitImage(const std::vector<std::uint8_t>& image, WholeFileCheck check, std::string& problem)
{
    const std::string target = LinkedFile(DataFileName);
    const std::string untouched = "; " + DataFileName + " is left as it is";
    std::string newPath;
    if (!MayBeWritten(DataFileName, problem) || !WriteFileBeside(target, image, newPath, problem)) {
        problem += untouched;
        return false;
    }
    std::vector<std::string> problems;
    OpenCheckedDataFile(newPath, check, problems);
    CloseDataFile();
    if (!problems.empty()) {
        std::remove(newPath.c_str());
        problem = FirstProblem(problems) + untouched;
        return false;
    }
    const std::string lost = KeepOwnerAndMode(target, newPath);
    if (BeforeDataFileReplaced != nullptr)
        BeforeDataFileReplaced();
    std::string reason;
    if (ReplaceFileWith(newPath, target, reason)) {
        if (!lost.empty())
            Warn(DataFileName + " has been replaced, but the new file could not keep the old one's " + lost);
        return true;
    }
    std::remove(newPath.c_str());
    problem = reason + untouched;
    return false;
}

bool LockForReplacing(std::string& problem)
{
    const LockOutcome lock = LockDataFile();
    if (lock == LockOutcome::Busy)
        problem = DataFileName + " is being written by the game or another kelbo; it is left as it is: run the "
                                 "command again";
    else if (lock == LockOutcome::CannotLock)
        problem = DataFileName + " cannot be locked against the game, because " + LockFileOf(DataFileName) +
                  " cannot be made or opened as a file; it is left as it is";
    return lock == LockOutcome::Held;
}
