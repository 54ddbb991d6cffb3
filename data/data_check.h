// Checks that a data file holds eight playable levels and that reading or writing any of them
// stays inside the file.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "data/data_file.h"

// Every problem found, each a line naming the file, the level and the problem; empty when the
// file is sound. The stream's position is left undefined.
std::vector<std::string> CheckDataFile(std::FILE* file, const std::string& fileName);

// The problems of one level alone, as NewGame meets them.
std::vector<std::string> CheckLevel(std::FILE* file, const std::string& fileName, int levelIndex);

// "level 3 (Triangle)": how messages name a level.
std::string LevelName(int levelIndex);
