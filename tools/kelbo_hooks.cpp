// The kelbo tool has no window: the clock, the window and the drawing hooks have nothing to do.
#include "tools/kelbo_hooks.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>  // chown
#endif

#include "data/data_file.h"
#include "game/platform.h"
#include "tools/kelbo_text.h"

std::string ReportedDataFileProblem;

void StartClockTimer(PlatformWindow) {}
void StopClockTimer(PlatformWindow) {}
void FitWindowToLevel(PlatformWindow) {}
void InvalidateClientArea(PlatformWindow, bool) {}
void RedrawCell(std::uint32_t, std::uint32_t, int) {}
void RedrawCellRun(std::uint32_t, std::uint32_t, std::uint32_t) {}

// Without a window there is nobody to ask for a name: a won game records no time.
void RecordBestTime(PlatformWindow) {}

// The record of games is the player's: a replayed game is no game of theirs.
void RecordPlayedGame(PlatformWindow, const LevelKey&, const FinishedGame&) {}

// The command that started the game reports it and fails, in one line: the message's first,
// which names the file and the problem.
void ReportDataFileProblem(PlatformWindow, const std::string& message)
{
    ReportedDataFileProblem = message.substr(0, message.find('\n'));
}

namespace {

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

bool ReplaceDataFile(const std::string& fresh, const std::string& target, std::string& reason)
{
    const std::string lost = KeepOwnerAndMode(target, fresh);
    if (!ReplaceFileWith(fresh, target, reason))
        return false;
    if (!lost.empty())
        Warn(DataFileName + " has been replaced, but the new file could not keep the old one's " + lost);
    return true;
}
