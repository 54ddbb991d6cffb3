#include "ui/options.h"

#include <cstdio>
#include <string>

#include "data/data_file.h"
#include "data/options_file.h"
#include "data/whole_file.h"
#include "game/board.h"
#include "res/resource.h"

namespace {

std::string OptionsFilePath()
{
    return OptionsFileBeside(DataFilePath());
}

// Written whole under a name of its own first, so that a failed write leaves the old file as it was.
bool SaveOptions(std::string& problem)
{
    const std::string path = OptionsFilePath();
    std::string newPath;
    if (!WriteFileBeside(path, OptionsFileBytes(NoGuessing), newPath, problem))
        return false;
    // rename fails on Windows when the target exists.
    if (MoveFileExA(newPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0)
        return true;
    problem = newPath + " cannot replace " + path + " (Windows error " + std::to_string(GetLastError()) + ")";
    std::remove(newPath.c_str());
    return false;
}

}  // namespace

void ShowNoGuessingItem(HWND window)
{
    CheckMenuItem(GetMenu(window), CMD_NO_GUESSING, MF_BYCOMMAND | (NoGuessing ? MF_CHECKED : MF_UNCHECKED));
}

void LoadOptions(HWND window)
{
    NoGuessing = ReadNoGuessOption(OptionsFilePath());
    ShowNoGuessingItem(window);
}

void RememberOptions(HWND window)
{
    std::string problem;
    if (SaveOptions(problem))
        return;
    const std::string message = std::string("No guessing is now ") + (NoGuessing ? "on" : "off") +
                                ", but the game could not save that for its next start:\n" + problem;
    MessageBoxA(window, message.c_str(), "Skarvel", MB_OK | MB_ICONWARNING);
}
