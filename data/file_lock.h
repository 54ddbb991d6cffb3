// The lock that kelbo's writing commands and the game's best-time writes hold while they read,
// change and write the data file: a byte locked in a file beside it (kelbo.dat.lock), which the
// system frees when its holder dies. kelbo replaces the data file by a rename, which would drop a
// lock on the file itself; the lock file is never replaced. On Linux the game runs under Wine,
// which makes its lock a record lock on the same byte, and the native kelbo takes one that
// conflicts with it.
#pragma once

#include <string>

extern int DataFileLockWait;  // milliseconds that a program waits for the lock before it gives up

// Called between two tries while the lock is awaited, so that a window can keep painting; none
// when it is null.
extern void (*WhileAwaitingLock)();

enum class LockOutcome {
    Held,        // taken, or not needed: nobody may replace the file in its folder
    Busy,        // another program held it all the wait
    CannotLock,  // the lock file can be neither opened nor made, where others may replace the file
};

// Takes the lock for DataFileName, waiting at most DataFileLockWait. A link or anything but a
// file at the lock file's name is never opened.
LockOutcome LockDataFile();

// Frees the lock that LockDataFile took; nothing when none is held.
void UnlockDataFile();

// The lock file of the data file at dataFilePath, beside the file its links end at.
std::string LockFileOf(const std::string& dataFilePath);

// The message for a change that was not made because the lock was not taken.
std::string DataFileLockMessage(LockOutcome outcome, const std::string& whatWasNotDone);

// The same lock for another of the game's files: path.lock beside it. Once held, heldDescriptor keeps
// it until UnlockFileBeside; otherwise heldDescriptor is left as it was.
LockOutcome LockFileBeside(const std::string& path, int& heldDescriptor);
void UnlockFileBeside(int& heldDescriptor);
