// The data file's checks together with the game's own: a level's mines must be ones that the
// generator can place.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "data/data_check.h"

// Empty when the generator can place the level's mines and leave a cell free; else the problem.
std::string CheckMinePlacement(const LevelRecord& record);

std::vector<std::string> CheckLevelForPlay(std::FILE* file, const std::string& fileName, int levelIndex);
std::vector<std::string> CheckDataFileForPlay(std::FILE* file, const std::string& fileName);

// OpenDataFile with the placement check: what the program calls at start-up.
bool OpenDataFileForPlay(std::string& problem);
