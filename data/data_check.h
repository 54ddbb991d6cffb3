// Checks that a data file holds eight levels whose records can be read, and that reading or
// writing any of them stays inside the file. Whether a level's mines can be placed is the game's
// question: it passes its own check as extraCheck.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "data/file_layout.h"

struct LevelRecord;
// A further check of a level whose record is sound: the problem's text, empty when there is none.
using LevelCheck = std::string (*)(const LevelRecord& record);

// One level's record, read once into memory.
struct LevelRecord {
    std::uint32_t offset = 0;  // of the record in the file
    std::uint32_t rows = 0;
    std::uint32_t columns = 0;
    std::uint32_t mines = 0;
    std::uint8_t title[kTitleSize] = {};
    BestTimesTable table = {};
    std::vector<std::uint8_t> grid;  // the cells' first bytes, row-major: the mask, or every cell playable
};

// One problem found in a file, told twice.
struct FileProblem {
    std::string plain;   // in a player's words, without the numbers only a maintainer needs
    std::string detail;  // the file, the level and the precise problem, as kelbo check reports it
};

// The checks below, each problem told both ways.
std::vector<FileProblem> FindLevelProblems(std::FILE* file, const std::string& fileName, int levelIndex,
                                           LevelRecord& record, LevelCheck extraCheck = nullptr);
std::vector<FileProblem> FindFileProblems(std::FILE* file, const std::string& fileName,
                                          LevelCheck extraCheck = nullptr);
std::vector<std::string> ProblemDetails(const std::vector<FileProblem>& problems);

// Reads the record of a level and checks it; when it is sound, extraCheck runs on it too. Every
// problem found, each a line naming the file, the level and the problem; empty when the level
// is sound, and record then holds it. The stream's position is left undefined.
std::vector<std::string> ReadCheckedLevel(std::FILE* file, const std::string& fileName, int levelIndex,
                                          LevelRecord& record, LevelCheck extraCheck = nullptr);

// The problems of one level alone.
std::vector<std::string> CheckLevel(std::FILE* file, const std::string& fileName, int levelIndex,
                                    LevelCheck extraCheck = nullptr);

// Every problem of the whole file: each level's, then records that overlap.
std::vector<std::string> CheckDataFile(std::FILE* file, const std::string& fileName, LevelCheck extraCheck = nullptr);

// "level 3 (Triangle)": how messages name a level.
std::string LevelName(int levelIndex);

// "1 mine", "2 mines": a count with its noun.
std::string CountOf(std::uint64_t count, const std::string& noun);
