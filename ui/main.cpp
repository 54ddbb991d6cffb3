// Entry point: start-up, the message loop and the exit code.
#include <windows.h>

#include <string>

#include "data/data_file.h"
#include "data/file_lock.h"
#include "game/board.h"
#include "game/cell.h"
#include "game/level_check.h"
#include "res/resource.h"
#include "ui/best_times.h"
#include "ui/commands.h"
#include "ui/draw.h"
#include "ui/geometry.h"
#include "ui/input.h"
#include "ui/options.h"
#include "ui/shell.h"
#include "ui/window.h"
#include "ui/window_picture.h"

static void ReadScreenSize()
{
    ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
}

// No level has been read yet: a grid of no cells, only the spare byte.
static void CreateEmptyBoard()
{
    Board.assign(GridSize() + 1, kVoidCell);
}

static int RunMessageLoop(HWND window, HACCEL accelerators)
{
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // An accelerator of a greyed item does nothing: F3's item follows the game first.
        if (message.message == WM_KEYDOWN)
            ShowSameBoardItem(window);
        if (TranslateAcceleratorA(window, accelerators, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return message.message == WM_QUIT ? static_cast<int>(message.wParam) : kStartFailureExitCode;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    DeclareDpiAwareness();
    if (!RegisterMainWindowClass(instance))
        return 0;
    ClearPressedCell();
    ReadScreenSize();
    CreateEmptyBoard();
    if (!LoadPictures(instance)) {
        ShowDrawingProblem(nullptr);
        return kStartFailureExitCode;
    }

    std::string problem;
    if (!OpenDataFileForPlay(problem)) {
        ShowDataFileProblem(nullptr, problem);
        return kDataFileProblemExitCode;
    }
    LevelIndex = 0;
    const HWND window = CreateMainWindow(instance, Rows, Columns);
    if (window == nullptr) {
        ReleaseGame();
        return kStartFailureExitCode;
    }
    WhileAwaitingLock = PaintWhileAwaitingLock;
    LoadOptions(window);
    NewGame(window);
    const HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDA_ACCELERATORS));
    AppInstance = instance;

    ShowWindow(window, showCommand);
    UpdateWindow(window);
    const int exitCode = RunMessageLoop(window, accelerators);
    DestroyPicture();
    ReleasePictures();
    return exitCode;
}
