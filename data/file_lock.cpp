#include "data/file_lock.h"

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <sys/locking.h>
#include <unistd.h>  // usleep
#else
#include <sys/file.h>
#include <unistd.h>
#endif

#include "data/data_file.h"
#include "data/whole_file.h"

int DataFileLockWait = 5000;

namespace {

constexpr int kPollMilliseconds = 20;
int LockDescriptor = -1;  // the open lock file while the lock is held

#ifdef _WIN32
int OpenLockFile(const std::string& path)
{
    const int descriptor = _open(path.c_str(), _O_CREAT | _O_RDWR | _O_BINARY, _S_IREAD | _S_IWRITE);
    return descriptor >= 0 ? descriptor : _open(path.c_str(), _O_RDONLY | _O_BINARY);
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
int OpenLockFile(const std::string& path)
{
    const int descriptor = open(path.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0666);
    return descriptor >= 0 ? descriptor : open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

// flock, unlike fcntl's locks, also excludes another open of the file within this process.
bool TryLock(int descriptor)
{
    return flock(descriptor, LOCK_EX | LOCK_NB) == 0;
}

void UnlockAndClose(int descriptor)
{
    close(descriptor);
}
#endif

}  // namespace

bool LockFileBeside(const std::string& path, int& heldDescriptor)
{
    heldDescriptor = -1;
    const int descriptor = OpenLockFile(path + ".lock");
    if (descriptor < 0)
        return true;
    for (int waited = 0; !TryLock(descriptor); waited += kPollMilliseconds) {
        if (waited >= DataFileLockWait) {
            UnlockAndClose(descriptor);
            return false;
        }
        usleep(kPollMilliseconds * 1000);
    }
    heldDescriptor = descriptor;
    return true;
}

void UnlockFileBeside(int& heldDescriptor)
{
    if (heldDescriptor >= 0)
        UnlockAndClose(heldDescriptor);
    heldDescriptor = -1;
}

bool LockDataFile()
{
    return LockFileBeside(LinkedFile(DataFileName), LockDescriptor);
}

void UnlockDataFile()
{
    UnlockFileBeside(LockDescriptor);
}

std::string DataFileBusyMessage(const std::string& whatWasNotDone)
{
    return DataFilePath() + " is being changed by another program (kelbo, or another copy of the game), so " +
           whatWasNotDone + ".\nThe file has been left as it is.";
}
