#include "ui/commands.h"

#include <string>

#include "data/best_times.h"
#include "data/data_file.h"
#include "data/default_file.h"
#include "data/level_edit.h"
#include "game/board.h"
#include "game/platform.h"
#include "res/resource.h"
#include "ui/best_times.h"
#include "ui/board_maker.h"
#include "ui/options.h"
#include "ui/shell.h"
#include "ui/statistics.h"

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

// The mode applies from a new game on: the board in play was dealt under the other.
static void ToggleNoGuessing(HWND window)
{
    NoGuessing = !NoGuessing;
    ShowNoGuessingItem(window);
    StartNewGame(window);
    RememberOptions(window);
}

static void PlayBoardAgain(HWND window)
{
    if (GameState != Over || Rows == 0)
        return;
    PlaySameBoardAgain(window);
    ShowSameBoardItem(window);
}

// The window is sized and placed for it as at a new game; the game goes on.
static void ChooseTriangleSize(HWND window, int size)
{
    ChosenTriangleSize = size;
    FitWindowToLevel(window);
    InvalidateRect(window, nullptr, TRUE);
    RememberTriangleSize(window);
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

// The title the file holds for a level; empty when it cannot be read.
static std::string FileTitle(int level)
{
    LevelHeader header{};
    std::string title;
    if (!ReadLevelHeader(DataFile, level, header) || !ReadLevelTitle(DataFile, header.offset, title))
        return "";
    return WithoutTrailingSpaces(title);
}

// A menu item takes "&" as the mark of its shortcut key: each "&" doubled shows as itself.
static std::string WithAmpersandsShown(const std::string& text)
{
    std::string shown;
    for (const char c : text)
        shown += c == '&' ? std::string("&&") : std::string(1, c);
    return shown;
}

static void SetItemText(HMENU menu, int itemId, const std::string& text)
{
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STRING;
    std::string buffer = text;
    item.dwTypeData = &buffer[0];
    SetMenuItemInfoA(menu, static_cast<UINT>(itemId), FALSE, &item);
}

void NameLevelItems(HWND window)
{
    static std::string builtInItems[kLevelCount];  // the menu's own names, from the resources
    static std::string builtInTitles[kLevelCount];
    const HMENU menu = GetMenu(window);
    std::string problem;
    const bool fileOpen = ReopenDataFile(problem);  // unreadable, the menu keeps its own names
    for (int level = 0; level < kLevelCount; ++level) {
        const int itemId = CMD_FIRST_LEVEL + level;
        if (builtInItems[level].empty()) {
            char text[64] = {};
            GetMenuStringA(menu, static_cast<UINT>(itemId), text, sizeof text, MF_BYCOMMAND);
            builtInItems[level] = text;
            builtInTitles[level] = WithoutTrailingSpaces(ReadLevelDefinition(DefaultDataFileBytes(), level).title);
        }
        const std::string title = fileOpen ? FileTitle(level) : std::string();
        const bool own = !title.empty() && title != builtInTitles[level];
        SetItemText(menu, itemId, own ? WithAmpersandsShown(title) : builtInItems[level]);
    }
    CloseDataFile();
}

void ShowSameBoardItem(HWND window)
{
    const bool ended = GameState == Over && Rows > 0;
    EnableMenuItem(GetMenu(window), CMD_SAME_BOARD, MF_BYCOMMAND | (ended ? MF_ENABLED : MF_GRAYED));
}

// A level written by the board maker is named anew in the menu and played at once.
static void MakeBoardAndPlay(HWND window)
{
    const int level = MakeBoard(window);
    if (level < 0)
        return;
    NameLevelItems(window);
    SelectLevel(window, CMD_FIRST_LEVEL + level);
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
    case CMD_STATISTICS:
        ShowStatistics(window);
        return;
    case CMD_NO_GUESSING:
        ToggleNoGuessing(window);
        return;
    case CMD_SAME_BOARD:
        PlayBoardAgain(window);
        return;
    case CMD_NORMAL_SIZE:
    case CMD_DOUBLE_SIZE:
    case CMD_TRIPLE_SIZE:
        ChooseTriangleSize(window, commandId - CMD_NORMAL_SIZE + 1);
        return;
    case CMD_MAKE_BOARD:
        MakeBoardAndPlay(window);
        return;
    default:
        // No menu item or accelerator carries any other id.
        Shutdown();
        return;
    }
}
