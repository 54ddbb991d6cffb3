// kelbo level: show a level's outline, put a player's own board into a slot, or put back the
// built-in level.
#pragma once

#include <cstdio>
#include <cstdint>
#include <string>
#include <vector>

// Runs "kelbo level SUBCOMMAND ..." from the whole command line; the process's exit code.
int RunLevelCommand(int argc, char** argv);

// Warns on standard error about every level of a checked data file whose window would not fit a
// 1920 x 1080 screen; the file's verdict stays as it is.
void WarnAboutLargeWindows(std::FILE* file, const std::string& fileName);

// The check that a whole data file must pass: every problem, each a line.
using WholeFileCheck = std::vector<std::string> (*)(std::FILE* file, const std::string& fileName);

// Replaces DataFileName with the image: writes it whole beside the old file, checks what was
// written, and only then renames it over the old one, so that a crash, a full disk or a failed
// check leaves the old file whole. False with a one-line message.
bool CommitImage(const std::vector<std::uint8_t>& image, WholeFileCheck check, std::string& problem);
