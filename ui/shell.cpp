#include "ui/shell.h"

#include <vector>

#include "data/data_file.h"
#include "game/board.h"
#include "res/resource.h"
#include "ui/draw.h"
#include "ui/geometry.h"

HINSTANCE AppInstance;
std::int32_t ScreenWidth;
std::int32_t ScreenHeight;
HICON Pictures[kPictureCount];

static bool GameReleased = false;  // set once by ReleaseGame, never cleared

bool LoadPictures(HINSTANCE instance)
{
    static const int pictureIds[kPictureCount] = {
        IDI_COVERED_UP,     IDI_COVERED_DOWN, IDI_PRESSED_UP, IDI_PRESSED_DOWN,    IDI_UNCOVERED_UP,
        IDI_UNCOVERED_DOWN, IDI_MINE,         IDI_FLAG,       IDI_NEW_GAME_BUTTON,
    };
    for (int picture = 0; picture < kPictureCount; ++picture)
        Pictures[picture] = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(pictureIds[picture]), IMAGE_ICON,
                                                          kCellPictureSize, kCellPictureSize, LR_DEFAULTCOLOR));
    return PrepareCellPictures();
}

void ReleasePictures()
{
    ReleaseCellPictures();
    for (HICON& picture : Pictures) {
        if (picture != nullptr)
            DestroyIcon(picture);
        picture = nullptr;
    }
}

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
