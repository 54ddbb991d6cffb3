#include "data/file_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <sys/locking.h>
#include <unistd.h>  // usleep, access
#else
#include <unistd.h>
#endif

#include "data/data_file.h"
#include "data/whole_file.h"

int DataFileLockWait = 5000;
void (*WhileAwaitingLock)();

namespace {

constexpr int kPollMilliseconds = 20;
int LockDescriptor = -1;  // the open lock file while the lock is held

#ifdef _WIN32
int CreateError = 0;  // why the lock file could not be made or opened for writing

int OpenLockFile(const std::string& path)
{
    if (IsFolder(path))
        return -1;
    const int descriptor = _open(path.c_str(), _O_CREAT | _O_RDWR | _O_BINARY, _S_IREAD | _S_IWRITE);
    CreateError = errno;
    return descriptor >= 0 ? descriptor : _open(path.c_str(), _O_RDONLY | _O_BINARY);
}

// Windows answers no question about a folder's write permission as access() does on POSIX: the
// folder is taken as closed only when the lock file could not be made where nothing stood.
bool FolderWritable(const std::string& path)
{
    return PathExists(path) || (CreateError != EACCES && CreateError != EROFS);
}

// Locks the file's first byte, which lies past its end: the file stays empty.
bool TryLock(int descriptor)
{
    return _lseek(descriptor, 0, SEEK_SET) == 0 && _locking(descriptor, _LK_NBLCK, 1) == 0;
}

// Windows frees a closed file's locks only when it gets round to it.
void UnlockAndClose(int descriptor)
{
    _lseek(descriptor, 0, SEEK_SET);
    _locking(descriptor, _LK_UNLCK, 1);
    _close(descriptor);
}
#else
bool IsPlainFile(int descriptor)
{
    struct stat status {};
    return fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
}

// Not through a link, and not a fifo, whose open would wait for a writer.
int OpenLockFile(const std::string& path)
{
    const int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int descriptor = open(path.c_str(), O_CREAT | O_RDWR | flags, 0666);
    if (descriptor < 0)
        descriptor = open(path.c_str(), O_RDONLY | flags);
    if (descriptor >= 0 && !IsPlainFile(descriptor)) {
        close(descriptor);
        return -1;
    }
    return descriptor;
}

// A lock of the open file description, on the byte that Wine locks for the game's _locking: it
// conflicts with Wine's record lock, and, as flock did, with another open of the file in this
// same process. A file opened only for reading takes a read lock, as Wine does then.
bool TryLock(int descriptor)
{
    struct flock byte {};
    byte.l_type = (fcntl(descriptor, F_GETFL) & O_ACCMODE) == O_RDONLY ? F_RDLCK : F_WRLCK;
    byte.l_whence = SEEK_SET;
    byte.l_start = 0;
    byte.l_len = 1;
    return fcntl(descriptor, F_OFD_SETLK, &byte) == 0;
}

void UnlockAndClose(int descriptor)
{
    close(descriptor);
}

std::string FolderOf(const std::string& path)
{
    const std::size_t separator = path.find_last_of('/');
    return separator == std::string::npos ? "." : path.substr(0, separator + 1);
}

bool FolderWritable(const std::string& path)
{
    return access(FolderOf(path).c_str(), W_OK) == 0 || (errno != EACCES && errno != EROFS);
}
#endif

}  // namespace

std::string LockFileOf(const std::string& dataFilePath)
{
    return LinkedFile(dataFilePath) + ".lock";
}

LockOutcome LockFileBeside(const std::string& path, int& heldDescriptor)
{
    const std::string lockPath = path + ".lock";
    const int descriptor = OpenLockFile(lockPath);
    // Where the folder cannot be written, nobody can replace the file in it: no lock is needed.
    if (descriptor < 0)
        return FolderWritable(lockPath) ? LockOutcome::CannotLock : LockOutcome::Held;
    for (int waited = 0; !TryLock(descriptor); waited += kPollMilliseconds) {
        if (waited >= DataFileLockWait) {
            UnlockAndClose(descriptor);
            return LockOutcome::Busy;
        }
        if (WhileAwaitingLock != nullptr)
            WhileAwaitingLock();
        usleep(kPollMilliseconds * 1000);
    }
    heldDescriptor = descriptor;
    return LockOutcome::Held;
}

void UnlockFileBeside(int& heldDescriptor)
{
    if (heldDescriptor >= 0)
        UnlockAndClose(heldDescriptor);
    heldDescriptor = -1;
}

LockOutcome LockDataFile()
{
    return LockFileBeside(LinkedFile(DataFileName), LockDescriptor);
}

void UnlockDataFile()
{
    UnlockFileBeside(LockDescriptor);
}

std::string DataFileLockMessage(LockOutcome outcome, const std::string& whatWasNotDone)
{
    const std::string left = ".\nThe file has been left as it is.";
    if (outcome == LockOutcome::CannotLock)
        return DataFilePath() + " cannot be locked against other programs, because " + LockFileOf(DataFileName) +
               " cannot be made or opened as a file, so " + whatWasNotDone + left;
    return DataFilePath() + " is being changed by another program (kelbo, or another copy of the game), so " +
           whatWasNotDone + left;
}
