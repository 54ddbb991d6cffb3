// A level's table of the five best times: entry 0 the best, times ascending, equal times in the
// order they were entered, empty entries (time 0) last. How it is stored is in file_layout.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "data/file_layout.h"

// The table of the record at recordOffset; false when it cannot be read.
bool ReadBestTimes(std::FILE* file, std::uint32_t recordOffset, BestTimesTable& table);

// The record's title, cut to its field; false when it cannot be read.
bool ReadLevelTitle(std::FILE* file, std::uint32_t recordOffset, std::string& title);

// A game won within its first second counts as 1 second: a stored time of 0 marks an empty entry.
std::int32_t RecordedSeconds(std::int32_t elapsedSeconds);

// Where a new time, as RecordedSeconds gives it (at least 1 second), goes: 0 to 4, or kTableEntries
// when it does not enter the table. Equal times go after older ones; a time of 0 is an empty entry that any time
// passes.
int PlaceForTime(const BestTimesTable& table, std::int32_t seconds);

// The table with the new entry, its time as RecordedSeconds gives it, at PlaceForTime's place,
// slower entries moved down, the last dropping out.
BestTimesTable InsertBestTime(const BestTimesTable& table, const std::uint8_t (&name)[kNameSize], std::int32_t seconds);

// Five entries "NONAME" and five zero bytes, time 0.
BestTimesTable EmptyBestTimes();

// Writes the record's whole table into DataFile at its absolute position, makes sure it reached
// the disk, and reopens DataFile. False, with a message naming the file and saying the best times
// were not saved, when any step fails; nothing outside the table's 75 bytes is ever written.
bool WriteBestTimes(std::uint32_t recordOffset, const BestTimesTable& table, std::string& problem);

// Opens the data file afresh by its name (ReopenDataFile), so that a file replaced meanwhile is
// the one read, and reads the level's table where the offset table now puts its record. DataFile
// stays open for a write. False, with a message naming the file, when the file or the level's
// record cannot be read.
bool ReadCurrentBestTimes(int levelIndex, std::uint32_t& recordOffset, BestTimesTable& table, std::string& problem);

// "your time of 7 seconds was not saved"
std::string TimeNotSaved(std::int32_t seconds);

// Puts a won time, as RecordedSeconds gives it, into the level's table as the file holds it now,
// under the data file's lock, so that no kelbo command replaces the file between this read and
// write and loses it. True when it was written, or when faster times came in meanwhile and it no
// longer enters the table; false with the player's message when it was not saved. DataFile is
// closed afterwards.
bool SaveBestTime(int levelIndex, const std::uint8_t (&name)[kNameSize], std::int32_t seconds, std::string& problem);

// Called, when set, in SaveBestTime once the table has been read again, just before it is written:
// where a test puts the file on a disk that fills up. A test's seam.
extern void (*BeforeBestTimesWritten)();

// Empties the level's table, under the lock as SaveBestTime writes; false with the player's message.
bool ClearBestTimes(int levelIndex, std::string& problem);
