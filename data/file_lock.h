// The lock that kelbo's writing commands and the game's best-time writes hold while they read,
// change and write the data file: a byte locked in a file beside it (kelbo.dat.lock), which the
// system frees when its holder dies. kelbo replaces the data file by a rename, which would drop a
// lock on the file itself; the lock file is never replaced.
#pragma once

#include <string>

extern int DataFileLockWait;  // milliseconds that a program waits for the lock before it gives up

// Takes the lock for DataFileName, waiting at most DataFileLockWait. False when another program
// held it all that time. Where no lock file can be opened or made, the folder lets nobody replace
// the data file, and the lock is not needed: true.
bool LockDataFile();

// Frees the lock that LockDataFile took; nothing when none is held.
void UnlockDataFile();

// The same lock for another of the game's files, path.lock beside it: heldDescriptor keeps it until
// UnlockFileBeside. False when another program held it all of DataFileLockWait.
bool LockFileBeside(const std::string& path, int& heldDescriptor);
void UnlockFileBeside(int& heldDescriptor);

// The message for a change that was not made because another program held the lock.
std::string DataFileBusyMessage(const std::string& whatWasNotDone);
