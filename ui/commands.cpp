#include "ui/commands.h"

#include "game/board.h"
#include "game/platform.h"
#include "res/resource.h"
#include "ui/best_times.h"
#include "ui/shell.h"

static void StartNewGame(HWND window)
{
    KillTimer(window, kClockTimerId);
    NewGame(window);
    InvalidateRect(window, nullptr, TRUE);
}

// The check mark moves to the chosen level item alone.
static void CheckLevelItem(HWND window, int chosenId)
{
    for (int itemId = CMD_FIRST_LEVEL; itemId <= CMD_LAST_LEVEL; ++itemId)
        CheckMenuItem(GetMenu(window), static_cast<UINT>(itemId),
                      MF_BYCOMMAND | (itemId == chosenId ? MF_CHECKED : MF_UNCHECKED));
}

static void SelectLevel(HWND window, int commandId)
{
    CheckLevelItem(window, commandId);
    LevelIndex = commandId - CMD_FIRST_LEVEL;
    NewGame(window);
    InvalidateRect(window, nullptr, TRUE);
}

static INT_PTR CALLBACK AboutDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

static void ShowAboutDialog(HWND window)
{
    DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_ABOUT), window, AboutDialogProcedure, 0);
}

void HandleCommand(HWND window, WORD commandId)
{
    if (commandId >= CMD_FIRST_LEVEL && commandId <= CMD_LAST_LEVEL) {
        SelectLevel(window, commandId);
        return;
    }
    switch (commandId) {
    case CMD_NEW_GAME:
        StartNewGame(window);
        return;
    case CMD_EXIT:
        SendMessageA(window, WM_CLOSE, 0, 0);
        return;
    case CMD_ABOUT:
        ShowAboutDialog(window);
        return;
    case CMD_BEST_TIMES:
        ShowBestTimes(window);
        return;
    default:
        // No menu item or accelerator carries any other id.
        Shutdown();
        return;
    }
}
