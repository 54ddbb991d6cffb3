// The game's data file, kelbo.dat, by its name: opened, checked, written new, closed.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "data/data_check.h"
#include "data/file_layout.h"

extern std::FILE* DataFile;       // kelbo.dat, open only while the game reads or writes it
extern std::string DataFileName;  // where the data file lives: kelbo.dat in the current directory
extern bool DataFileReadOnly;     // the file may be read but not written: it is played, never changed
extern bool DataFileOnlyRead;     // set by a program that only reads the file: it is opened for reading
                                  // alone, and a missing or empty one is reported, never written
// Called, when set, between finding the file missing or empty and writing the built-in levels: the
// moment in which another program may put a file there. A test's seam.
extern void (*BeforeDefaultFileWrite)();

// DataFileName as a full path, for the player's messages.
std::string DataFilePath();

// Why the file at path cannot be opened, given the error of the open: "PATH does not exist", "PATH
// cannot be opened: it is a folder, not a data file" or "PATH cannot be opened: REASON". Each
// program adds what to do.
std::string CannotOpenMessage(const std::string& path, int error);

// The message for a file that may not be written, when something would have been written.
std::string ReadOnlyMessage(const std::string& whatIsLost);

// What the game tells a player whose data file is damaged: its full path, what is wrong and what
// to do, then the details a maintainer needs, one problem a line.
std::string DamagedFileMessage(const std::vector<FileProblem>& problems);

// Opens DataFileName for update (for reading alone when it may not be written), writing the
// default file first when none exists or it is empty, and checks it, running extraCheck on every
// sound level. A missing file is created only while it is still missing, and an empty one is
// filled through the handle that found it empty, so a file that another program puts there
// meanwhile is not written over. On failure DataFile stays closed, the file is left as it was,
// and problem says what is wrong and what to do.
bool OpenDataFile(std::string& problem, LevelCheck extraCheck = nullptr);

// Closes DataFile, if it is open, and opens the file by its name as it is now: a file replaced
// meanwhile is the one read. Opens for update, or for reading alone when the file may not be
// written (DataFileReadOnly then). False with a message when the close or the open fails;
// DataFile is then closed.
bool ReopenDataFile(std::string& problem);

// ReopenDataFile, but a file that has gone or been left empty meanwhile is met as OpenDataFile
// meets it: the default file is written and opened.
bool ReopenOrWriteDataFile(std::string& problem);

void CloseDataFile();
