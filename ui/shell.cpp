#include "ui/shell.h"

#include <vector>

#include "data/data_file.h"
#include "game/board.h"

HINSTANCE AppInstance;
std::int32_t ScreenWidth;
std::int32_t ScreenHeight;
thread_local bool PlaysUnseen = false;

static bool GameReleased = false;  // set once by ReleaseGame, never cleared

void ShowDrawingProblem(HWND window)
{
    static bool shown = false;  // the message box's own paints meet the problem again
    if (shown)
        return;
    shown = true;
    MessageBoxA(window,
                "Skarvel cannot make the pictures it draws its window from: Windows has no memory left for "
                "them.\nClose some programs and start the game again.",
                "Skarvel", MB_OK | MB_ICONERROR);
    PostQuitMessage(kStartFailureExitCode);
}

void ReleaseGame()
{
    GameReleased = true;
    std::vector<std::uint8_t>().swap(Board);
    CloseDataFile();
}

bool IsGameReleased()
{
    return GameReleased;
}

void Shutdown()
{
    ReleaseGame();
    PostQuitMessage(0);
}

void ShowDataFileProblem(HWND window, const std::string& problem)
{
    MessageBoxA(window, problem.c_str(), "Skarvel", MB_OK | MB_ICONERROR);
}
