// The record of games' file as the game changes it: under a lock of its own, from the file as it
// is now, written whole beside it and put in its place by one rename.
#pragma once

#include <functional>
#include <string>

#include "data/statistics.h"

// Puts the file at from in the place of the file at to, replacing it; false with a message. The
// platform's own: a plain rename does not replace a file on Windows.
using FileReplacer = bool (*)(const std::string& from, const std::string& to, std::string& problem);

using StatisticsChange = std::function<void(StatisticsRecord&)>;

// Applies change to the record as the file at path holds it now, under its lock, so that another
// copy of the game writing meanwhile loses nothing. A damaged file is first kept aside under a
// name of its own (path.damaged, path.damaged.1, ...), and notice then says so and where, for the
// player to hear once; the change starts a new record. A file that cannot be read is left as it is.
// False with the player's message when the change was not saved.
bool UpdateStatisticsFile(const std::string& path, const StatisticsChange& change, FileReplacer replace,
                          std::string& notice, std::string& problem);
