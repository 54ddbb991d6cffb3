#include "ui/options.h"

#include <cstdio>
#include <string>

#include "data/data_file.h"
#include "data/options_file.h"
#include "data/whole_file.h"
#include "game/board.h"
#include "res/resource.h"

int ChosenTriangleSize = 1;

namespace {

std::string OptionsFilePath()
{
    return OptionsFileBeside(DataFilePath());
}

// The file as it is now, with the one key changed, written whole under a name of its own first, so
// that a failed write leaves the old file as it was, and so that no other line of it is lost.
bool SaveOption(const std::string& key, const std::string& value, std::string& problem)
{
    const std::string path = OptionsFilePath();
    std::string text;
    if (!ReadOptionsText(path, text)) {
        problem = path + " cannot be read, so it is left as it is";
        return false;
    }
    const std::string changed = WithOptionSet(text, key, value);
    std::string newPath;
    if (!WriteFileBeside(path, std::vector<std::uint8_t>(changed.begin(), changed.end()), newPath, problem))
        return false;
    // rename fails on Windows when the target exists.
    if (MoveFileExA(newPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0)
        return true;
    problem = newPath + " cannot replace " + path + " (Windows error " + std::to_string(GetLastError()) + ")";
    std::remove(newPath.c_str());
    return false;
}

void RememberOption(HWND window, const std::string& key, const std::string& value, const std::string& change)
{
    std::string problem;
    if (SaveOption(key, value, problem))
        return;
    const std::string message = change + ", but the game could not save that for its next start:\n" + problem;
    MessageBoxA(window, message.c_str(), "Skarvel", MB_OK | MB_ICONWARNING);
}

}  // namespace

void ShowNoGuessingItem(HWND window)
{
    CheckMenuItem(GetMenu(window), CMD_NO_GUESSING, MF_BYCOMMAND | (NoGuessing ? MF_CHECKED : MF_UNCHECKED));
}

void LoadOptions(HWND window)
{
    NoGuessing = ReadNoGuessOption(OptionsFilePath());
    ChosenTriangleSize = ReadTriangleSizeOption(OptionsFilePath());
    ShowNoGuessingItem(window);
}

void RememberOptions(HWND window)
{
    RememberOption(window, "NoGuess", NoGuessing ? "1" : "0",
                   std::string("No guessing is now ") + (NoGuessing ? "on" : "off"));
}

void RememberTriangleSize(HWND window)
{
    RememberOption(window, "Size", std::to_string(ChosenTriangleSize),
                   "The triangles are now drawn at " + std::to_string(ChosenTriangleSize) + " times their size");
}
