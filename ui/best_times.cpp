#include "ui/best_times.h"

#include <cstring>
#include <string>

#include "data/best_times.h"
#include "data/data_check.h"
#include "game/board.h"
#include "game/platform.h"
#include "res/resource.h"
#include "ui/shell.h"

namespace {

const char kDefaultName[] = "NONAME";

void ShowSaveProblem(HWND owner, const std::string& problem)
{
    MessageBoxA(owner, problem.c_str(), "Skarvel", MB_OK | MB_ICONWARNING);
}

// The dialog's result is not used: OK is its only way out, so the name is always taken.
INT_PTR CALLBACK EnterNameProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        SetDlgItemTextA(dialog, IDC_PLAYER_NAME, kDefaultName);
        // The winner types at once over the selected default name, or accepts it with Enter.
        const HWND nameField = GetDlgItem(dialog, IDC_PLAYER_NAME);
        SendMessageA(nameField, EM_SETSEL, 0, -1);
        SetFocus(nameField);
        return FALSE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        auto* name = reinterpret_cast<std::uint8_t*>(GetWindowLongPtrA(dialog, DWLP_USER));
        GetDlgItemTextA(dialog, IDC_PLAYER_NAME, reinterpret_cast<char*>(name), kNameSize);
        name[kNameSize - 1] = 0;
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

bool FillBestTimes(HWND dialog)
{
    std::string title;
    BestTimesTable table{};
    if (!ReadLevelTitle(DataFile, LevelOffset, title) || !ReadBestTimes(DataFile, LevelOffset, table))
        return false;
    SetDlgItemTextA(dialog, IDC_LEVEL_TITLE, title.c_str());
    for (int place = 0; place < kTableEntries; ++place) {
        const BestTime& entry = table.entries[place];
        SetDlgItemTextA(dialog, IDC_FIRST_NAME + place, FieldText(entry.name, kNameSize).c_str());
        SetDlgItemTextA(dialog, IDC_FIRST_TIME + place, std::to_string(entry.seconds).c_str());
    }
    return true;
}

void ResetBestTimes(HWND dialog)
{
    std::string problem;
    if (!WriteBestTimes(LevelOffset, EmptyBestTimes(), problem))
        ShowSaveProblem(dialog, problem);
}

// Esc sends the cancel command, which is ignored like every command but OK and Reset scores.
INT_PTR CALLBACK BestTimesProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        if (!FillBestTimes(dialog)) {
            ShowSaveProblem(dialog, DataFileName + ": the best times of " + LevelName(LevelIndex) + " cannot be read.");
            EndDialog(dialog, 0);
        }
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    if (LOWORD(wParam) == IDC_RESET_SCORES)
        ResetBestTimes(dialog);
    else if (LOWORD(wParam) != IDOK)
        return FALSE;
    EndDialog(dialog, 0);
    return TRUE;
}

// The table is read again once the name is known: another copy of the game may have recorded a
// time on this level meanwhile, and the new entry must go into the table as it is now.
bool SaveBestTime(const std::uint8_t (&name)[kNameSize], std::string& problem)
{
    BestTimesTable table{};
    if (!ReopenDataFile(problem) || !ReadBestTimes(DataFile, LevelOffset, table)) {
        problem = DataFileName + " cannot be read; your time was not saved. " + problem;
        return false;
    }
    if (PlaceForTime(table, ElapsedSeconds) == kTableEntries)
        return true;  // faster times came in meanwhile: the table shows them
    return WriteBestTimes(LevelOffset, InsertBestTime(table, name, ElapsedSeconds), problem);
}

}  // namespace

void AskPlayerName(HWND window, std::uint8_t (&name)[kNameSize])
{
    std::memset(name, 0, kNameSize);
    DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_ENTER_NAME), window, EnterNameProcedure,
                    reinterpret_cast<LPARAM>(name));
}

void ShowBestTimes(HWND window)
{
    DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_BEST_TIMES), window, BestTimesProcedure, 0);
}

void RecordBestTime(PlatformWindow platformWindow)
{
    const HWND window = static_cast<HWND>(platformWindow);
    BestTimesTable table{};
    if (!ReadBestTimes(DataFile, LevelOffset, table)) {
        ShowSaveProblem(window, DataFileName + " cannot be read; your time was not saved.");
        return;
    }
    if (PlaceForTime(table, ElapsedSeconds) == kTableEntries) {
        MessageBoxA(window, "You win!", "", MB_OK);
        return;
    }
    std::uint8_t name[kNameSize];
    AskPlayerName(window, name);
    std::string problem;
    if (!SaveBestTime(name, problem)) {
        ShowSaveProblem(window, problem);
        return;
    }
    ShowBestTimes(window);
}
