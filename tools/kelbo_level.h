// kelbo level: show a level's outline, put a player's own board into a slot, or put back the
// built-in level.
#pragma once

#include <cstdio>
#include <string>

// Warns on standard error about every level of a checked data file whose window would not fit a
// 1920 x 1080 screen; the file's verdict stays as it is.
void WarnAboutLargeWindows(std::FILE* file, const std::string& fileName);
