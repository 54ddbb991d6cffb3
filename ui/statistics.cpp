#include "ui/statistics.h"

#include <vector>

#include "data/best_times.h"
#include "data/data_file.h"
#include "data/statistics_file.h"
#include "game/game_record.h"
#include "game/platform.h"
#include "res/resource.h"
#include "ui/shell.h"

namespace {

std::string StatisticsPath()
{
    return StatisticsFileBeside(DataFilePath());
}

// rename fails on Windows when the target exists.
bool ReplaceWithMove(const std::string& from, const std::string& to, std::string& problem)
{
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0)
        return true;
    problem = from + " cannot replace " + to + " (Windows error " + std::to_string(GetLastError()) + ")";
    return false;
}

// A damaged record kept aside is told once, as it happens; a change not saved is told too.
bool UpdateRecord(HWND window, const StatisticsChange& change, std::string& problem)
{
    std::string notice;
    const bool saved = UpdateStatisticsFile(StatisticsPath(), change, ReplaceWithMove, notice, problem);
    if (!notice.empty())
        MessageBoxA(window, notice.c_str(), "Skarvel", MB_OK | MB_ICONINFORMATION);
    return saved;
}

std::string TitleOf(const LevelKey& key)
{
    return WithoutTrailingSpaces(key.title);
}

// The level's figures as the file holds them now; a note when it cannot be used.
void FillStatistics(HWND dialog)
{
    StatisticsRecord record;
    std::string problem;
    const StatisticsRead read = ReadStatisticsFile(StatisticsPath(), record, problem);
    const LevelStatistics* level = FindLevelStatistics(record, PlayedLevelKey);
    const ModeTally none{};
    for (int mode = 0; mode < kModeCount; ++mode) {
        const std::vector<std::string> texts = FigureTexts(level != nullptr ? level->modes[mode] : none);
        const int first = mode == kOrdinaryMode ? IDC_FIRST_ORDINARY_FIGURE : IDC_FIRST_NO_GUESS_FIGURE;
        for (int figure = 0; figure < kFigureCount; ++figure)
            SetDlgItemTextA(dialog, first + figure, texts[static_cast<std::size_t>(figure)].c_str());
    }
    const std::string title = "Statistics for " + TitleOf(PlayedLevelKey);
    SetDlgItemTextA(dialog, IDC_STATISTICS_TITLE, title.c_str());
    const std::string note = read == StatisticsRead::Damaged ? problem + ". It is kept aside when the next game ends."
                             : read == StatisticsRead::Unreadable ? problem
                                                                  : "";
    SetDlgItemTextA(dialog, IDC_STATISTICS_NOTE, note.c_str());
}

void EmptyStatistics(HWND dialog)
{
    const std::string question = "Empty the statistics of " + TitleOf(PlayedLevelKey) + ", in both modes?";
    if (MessageBoxA(dialog, question.c_str(), "Skarvel", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    std::string problem;
    const LevelKey key = PlayedLevelKey;
    if (!UpdateRecord(dialog, [&key](StatisticsRecord& record) { ClearLevelFigures(record, key); }, problem))
        MessageBoxA(dialog, problem.c_str(), "Skarvel", MB_OK | MB_ICONWARNING);
    FillStatistics(dialog);
}

INT_PTR CALLBACK StatisticsProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        FillStatistics(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_EMPTY_STATISTICS:
        EmptyStatistics(dialog);
        return TRUE;
    case IDOK:
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void ShowStatistics(HWND window)
{
    DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_STATISTICS), window, StatisticsProcedure, 0);
}

void RecordPlayedGame(PlatformWindow platformWindow, const LevelKey& key, const FinishedGame& game)
{
    if (PlaysUnseen)
        return;
    const HWND window = static_cast<HWND>(platformWindow);
    std::string problem;
    if (!UpdateRecord(window, [&](StatisticsRecord& record) { AddFinishedGame(LevelStatisticsFor(record, key), game); },
                      problem))
        MessageBoxA(window, problem.c_str(), "Skarvel", MB_OK | MB_ICONWARNING);
}

bool ReadNoGuessTimes(BestTimesTable& table, std::string& problem)
{
    StatisticsRecord record;
    table = EmptyBestTimes();
    if (ReadStatisticsFile(StatisticsPath(), record, problem) == StatisticsRead::Unreadable)
        return false;
    if (const LevelStatistics* level = FindLevelStatistics(record, PlayedLevelKey))
        table = level->noGuessTimes;
    return true;
}

bool SaveNoGuessTime(HWND window, const std::uint8_t (&name)[kNameSize], std::int32_t seconds, std::string& problem)
{
    const LevelKey key = PlayedLevelKey;
    return UpdateRecord(
        window,
        [&](StatisticsRecord& record) {
            LevelStatistics& level = LevelStatisticsFor(record, key);
            level.noGuessTimes = InsertBestTime(level.noGuessTimes, name, seconds);
        },
        problem);
}

bool ClearNoGuessTimes(HWND window, std::string& problem)
{
    const LevelKey key = PlayedLevelKey;
    return UpdateRecord(
        window, [&](StatisticsRecord& record) { LevelStatisticsFor(record, key).noGuessTimes = EmptyBestTimes(); },
        problem);
}
