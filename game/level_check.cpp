#include "game/level_check.h"

#include "data/data_file.h"
#include "data/level_edit.h"
#include "game/mine_draw.h"

std::string CheckMinePlacement(const LevelRecord& record)
{
    if (record.mines == 0)
        return "";
    const std::size_t playable = CountPlayableCells(record.grid);
    const std::size_t drawable = CountDrawableCells(record.grid);
    if (record.mines < drawable)
        return "";
    std::string text = CountOf(record.mines, "mine") + (record.mines == 1 ? " needs" : " need") + " more than the " +
                       CountOf(drawable, "cell") + " that can hold one";
    if (drawable < playable)
        text += " (on a grid of more than 32768 cells only some of the " + std::to_string(playable) + " are drawn)";
    return text;
}

std::vector<std::string> CheckLevelForPlay(std::FILE* file, const std::string& fileName, int levelIndex)
{
    return CheckLevel(file, fileName, levelIndex, CheckMinePlacement);
}

std::vector<std::string> CheckDataFileForPlay(std::FILE* file, const std::string& fileName)
{
    return CheckDataFile(file, fileName, CheckMinePlacement);
}

bool OpenDataFileForPlay(std::string& problem)
{
    return OpenDataFile(problem, CheckMinePlacement);
}
