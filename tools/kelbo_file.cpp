#include "tools/kelbo_file.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>  // readlink, chown
#endif

#include "data/data_file.h"
#include "data/whole_file.h"
#include "tools/kelbo_text.h"

namespace {

bool IsFolder(const std::string& path)
{
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string CannotOpenMessage(const std::string& path, int error)
{
    if (IsFolder(path))
        return FolderProblem(path);
    if (error == ENOENT)
        return path + " does not exist; kelbo init writes a new one with the built-in levels, or --file names "
                      "another";
    return path + " cannot be opened (" + std::strerror(error) + ")";
}

#ifdef _WIN32
std::string LinkedFile(const std::string& path)
{
    return path;
}

void KeepOwnerAndMode(const std::string&, const std::string&) {}

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
// The file that path names at the end of its chain of symbolic links; path itself when it is none.
std::string LinkedFile(std::string path)
{
    for (int hop = 0; hop < 40; ++hop) {
        char target[4096];
        const ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
        if (length < 0)
            return path;
        const std::string linked(target, static_cast<std::size_t>(length));
        const std::size_t slash = path.rfind('/');
        path = linked[0] == '/' || slash == std::string::npos ? linked : path.substr(0, slash + 1) + linked;
    }
    return path;
}

// Only a privileged user may give a file to another owner; the group alone may still be kept.
bool KeepOwner(const std::string& fresh, const struct stat& old)
{
    return chown(fresh.c_str(), old.st_uid, old.st_gid) == 0 ||
           chown(fresh.c_str(), static_cast<uid_t>(-1), old.st_gid) == 0;
}

void KeepOwnerAndMode(const std::string& old, const std::string& fresh)
{
    struct stat status {};
    if (stat(old.c_str(), &status) != 0)
        return;
    KeepOwner(fresh, status);
    chmod(fresh.c_str(), status.st_mode & 07777);
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
    return IsFolder(path) ? path + " is a folder, not a data file; --file names the file itself, for example " + path +
                                "/kelbo.dat"
                          : "";
}

bool OpenCheckedDataFile(const std::string& path, WholeFileCheck check, std::vector<std::string>& problems)
{
    CloseDataFile();
    DataFile = IsFolder(path) ? nullptr : std::fopen(path.c_str(), "rb");
    if (DataFile == nullptr) {
        problems = {CannotOpenMessage(path, errno)};
        return false;
    }
    problems = check(DataFile, DataFileName);
    if (!problems.empty())
        CloseDataFile();
    return true;
}

bool ReadOpenImage(std::vector<std::uint8_t>& image)
{
    const long size = FileSizeOf(DataFile);
    image.assign(size > 0 ? static_cast<std::size_t>(size) : 0, 0);
    return size > 0 && ReadBytesAt(DataFile, 0, image.data(), image.size());
}

bool CommitImage(const std::vector<std::uint8_t>& image, WholeFileCheck check, std::string& problem)
{
    const std::string target = LinkedFile(DataFileName);
    const std::string newPath = target + ".new";
    const std::string untouched = "; " + DataFileName + " is left as it is";
    if (!WriteWholeFile(newPath, image, problem)) {
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
    KeepOwnerAndMode(target, newPath);
    std::string reason;
    if (ReplaceFileWith(newPath, target, reason))
        return true;
    std::remove(newPath.c_str());
    problem = reason + untouched;
    return false;
}
