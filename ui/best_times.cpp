#include "ui/best_times.h"

#include <cstring>
#include <string>

#include "data/best_times.h"
#include "data/data_check.h"
#include "data/file_lock.h"
#include "game/board.h"
#include "game/game_record.h"
#include "game/platform.h"
#include "res/resource.h"
#include "ui/shell.h"
#include "ui/statistics.h"

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

// A static control takes "&" as the mark of a shortcut key unless told not to; a title or a name
// shows every character it holds.
void ShowTextAsItIs(HWND dialog, int controlId, const std::string& text)
{
    const HWND control = GetDlgItem(dialog, controlId);
    SetWindowLongA(control, GWL_STYLE, GetWindowLongA(control, GWL_STYLE) | SS_NOPREFIX);
    SetWindowTextA(control, text.c_str());
}

// The table and title as the file holds them now; the file is closed again at once.
bool ReadOrdinaryTable(BestTimesTable& table, std::string& title)
{
    std::string problem;
    std::uint32_t recordOffset = 0;
    const bool read = ReadCurrentBestTimes(LevelIndex, recordOffset, table, problem) &&
                      ReadLevelTitle(DataFile, recordOffset, title);
    CloseDataFile();
    return read;
}

// While No guessing is on, the table shown is the mode's own, from the record of games.
bool FillBestTimes(HWND dialog)
{
    std::string title = PlayedLevelKey.title;
    std::string problem;
    BestTimesTable table{};
    if (!(NoGuessing ? ReadNoGuessTimes(table, problem) : ReadOrdinaryTable(table, title)))
        return false;
    ShowTextAsItIs(dialog, IDC_LEVEL_TITLE, title);
    for (int place = 0; place < kTableEntries; ++place) {
        const BestTime& entry = table.entries[place];
        ShowTextAsItIs(dialog, IDC_FIRST_NAME + place, FieldText(entry.name, kNameSize));
        SetDlgItemTextA(dialog, IDC_FIRST_TIME + place, std::to_string(entry.seconds).c_str());
    }
    return true;
}

void ResetBestTimes(HWND dialog)
{
    std::string problem;
    if (!(NoGuessing ? ClearNoGuessTimes(dialog, problem) : ClearBestTimes(LevelIndex, problem)))
        ShowSaveProblem(dialog, problem);
}

// The width of a control's text in the dialog's font.
LONG TextWidth(HWND dialog, HWND control)
{
    char text[64] = {};
    const int length = GetWindowTextA(control, text, sizeof text);
    const HDC dc = GetDC(dialog);
    const HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, text, length, &size);
    SelectObject(dc, oldFont);
    ReleaseDC(dialog, dc);
    return size.cx;
}

// A control's rectangle in the dialog's client coordinates.
RECT PlaceInDialog(HWND dialog, HWND control)
{
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// The dialog grows to the right until the title moved there fits, with the margin it had.
void WidenForTitle(HWND dialog, LONG titleRight)
{
    RECT client{};
    GetClientRect(dialog, &client);
    const LONG margin = client.right - PlaceInDialog(dialog, GetDlgItem(dialog, IDOK)).right;
    const LONG growth = titleRight + margin - client.right;
    if (growth <= 0)
        return;
    RECT outer{};
    GetWindowRect(dialog, &outer);
    SetWindowPos(dialog, nullptr, 0, 0, outer.right - outer.left + growth, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The heading "Best times for " gets the room its text needs in the dialog's font, the level's
// title beside it, so that the two read as one line under any font. It only ever grows: where its
// text fits, as in the font the template was laid out for, nothing moves. The template puts the
// heading just before the title.
void FitHeading(HWND dialog)
{
    const HWND title = GetDlgItem(dialog, IDC_LEVEL_TITLE);
    const HWND heading = GetWindow(title, GW_HWNDPREV);
    if (NoGuessing)
        SetWindowTextA(heading, "No guessing, best times for ");
    const RECT headingPlace = PlaceInDialog(dialog, heading);
    const RECT titlePlace = PlaceInDialog(dialog, title);
    const LONG growth = headingPlace.left + TextWidth(dialog, heading) - headingPlace.right;
    if (growth <= 0)
        return;
    SetWindowPos(heading, nullptr, 0, 0, headingPlace.right + growth - headingPlace.left,
                 headingPlace.bottom - headingPlace.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(title, nullptr, titlePlace.left + growth, titlePlace.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    WidenForTitle(dialog, titlePlace.right + growth);
}

// Esc sends the cancel command, which is ignored like every command but OK and Reset scores.
INT_PTR CALLBACK BestTimesProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        FitHeading(dialog);
        if (!FillBestTimes(dialog)) {
            ShowSaveProblem(dialog, DataFilePath() + ": the best times of " + LevelName(LevelIndex) + " cannot be read.");
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

}  // namespace

// The loop is bounded in case a window leaves its update region as it is.
void PaintWhileAwaitingLock()
{
    MSG message;
    for (int paints = 0; paints < 64 && PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++paints)
        DispatchMessageA(&message);
}

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

// A No guessing win goes into the mode's own table, in the record of games, never into the data file.
static void RecordNoGuessTime(HWND window, std::int32_t seconds)
{
    BestTimesTable table{};
    std::string problem;
    if (!ReadNoGuessTimes(table, problem)) {
        ShowSaveProblem(window, problem + ", so " + TimeNotSaved(seconds) + ".");
        return;
    }
    if (PlaceForTime(table, seconds) == kTableEntries) {
        MessageBoxA(window, "You win!", "", MB_OK);
        return;
    }
    std::uint8_t name[kNameSize];
    AskPlayerName(window, name);
    if (!SaveNoGuessTime(window, name, seconds, problem)) {
        ShowSaveProblem(window, problem);
        return;
    }
    ShowBestTimes(window);
}

void RecordBestTime(PlatformWindow platformWindow)
{
    const HWND window = static_cast<HWND>(platformWindow);
    if (PlaysUnseen)
        return;
    if (HintUsed) {
        MessageBoxA(window, "You win! Your time is not recorded, because you used a hint in this game.", "", MB_OK);
        return;
    }
    if (BoardPlayedAgain) {
        MessageBoxA(window, "You win! Your time is not recorded, because you had played this board before.", "", MB_OK);
        return;
    }
    const std::int32_t seconds = RecordedSeconds(ElapsedSeconds);
    if (PlayedMode == kNoGuessMode) {
        RecordNoGuessTime(window, seconds);
        return;
    }
    std::uint32_t recordOffset = 0;
    BestTimesTable table{};
    std::string problem;
    const bool read = ReadCurrentBestTimes(LevelIndex, recordOffset, table, problem);
    const bool readOnly = DataFileReadOnly;
    CloseDataFile();
    if (!read) {
        ShowSaveProblem(window, DataFilePath() + " cannot be read, so " + TimeNotSaved(seconds) + ".\n" + problem);
        return;
    }
    if (PlaceForTime(table, seconds) == kTableEntries) {
        MessageBoxA(window, "You win!", "", MB_OK);
        return;
    }
    if (readOnly) {
        ShowSaveProblem(window, ReadOnlyMessage(TimeNotSaved(seconds)));
        return;
    }
    std::uint8_t name[kNameSize];
    AskPlayerName(window, name);
    if (!SaveBestTime(LevelIndex, name, seconds, problem)) {
        ShowSaveProblem(window, problem);
        return;
    }
    ShowBestTimes(window);
}
