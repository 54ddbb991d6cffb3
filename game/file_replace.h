// The data file as kelbo and the game's board maker open, check and replace it: one road for a
// level stored from either.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "data/level_edit.h"

// The check that a whole data file must pass: every problem, each a line.
using WholeFileCheck = std::vector<std::string> (*)(std::FILE* file, const std::string& fileName);

// Opens the file at path for reading as DataFile and checks it whole, naming it DataFileName in
// the problems: every problem found, or the one that kept it from being opened (a folder, a
// missing file), and then false. DataFile stays open only when there is no problem.
bool OpenCheckedDataFile(const std::string& path, WholeFileCheck check, std::vector<std::string>& problems);

// Opens the data file by its name for reading alone and checks it as the game would: what every
// command that reads the file, a level or a table of it starts with. False with a one-line message.
bool OpenCheckedForReading(std::string& problem);

// The whole of DataFile, read from its start; false when it cannot be read or is empty.
bool ReadOpenImage(std::vector<std::uint8_t>& image);

// Why path cannot be written as a data file, or empty: a folder is not a file.
std::string FolderProblem(const std::string& path);

// Replaces DataFileName with the image: writes it whole beside the old file, under a name of its
// own (WriteFileBeside), checks what was written, and only then renames it over the old one, so
// that a crash, a full disk or a failed check leaves the old file whole. A file that its user may not write is refused.
// Through a symbolic link the file it names is replaced and the link stays (on POSIX systems); the new file keeps the
// old one's permission bits, owner and group, or a warning on standard error says which it could not keep. False with a
// one-line message.
bool CommitImage(const std::vector<std::uint8_t>& image, WholeFileCheck check, std::string& problem);

// Called, when set, in CommitImage once the new file is written and checked, just before it is
// renamed over the old one: the moment in which the game might write a time. A test's seam.
extern void (*BeforeDataFileReplaced)();

// Takes the data file's lock for a command that reads the file and then replaces it, so that no
// time that the game writes meanwhile is lost; false with a one-line message when the game or
// another kelbo held it too long, or when no lock can be taken where others may replace the file.
// UnlockDataFile frees it.
bool LockForReplacing(std::string& problem);

// The first of a file's problems, in one line, pointing to kelbo check when there are more.
std::string FirstProblem(const std::vector<std::string>& problems);

// Whether a title fits the file: the length that counts is the file's, one byte a character.
// typed is the title as the player wrote it, fileText the same in the file's character set.
bool TitleFits(int levelIndex, const std::string& typed, const std::string& fileText, std::string& problem);

// Whether the level can be stored in the slot: CheckLevelDefinition, then whether the game's draws
// can place its mines. pictureName names the board in the messages about its shape.
bool CheckLevelToStore(int levelIndex, const LevelDefinition& level, const std::string& pictureName,
                       std::string& problem);

// Puts the record into the level's slot of DataFileName under the lock, so that no time the game
// writes meanwhile is lost: read as it is now, the record replaced, written beside and renamed
// over it (CommitImage). False with a one-line message; the file is then left as it was.
bool ReplaceLevelInFile(int levelIndex, const std::vector<std::uint8_t>& record, std::string& problem);
