#include "tests/test_hooks.h"

#include <algorithm>

#include "game/cell.h"
#include "game/platform.h"

thread_local std::vector<HookCall> HookCalls;
thread_local std::string LastReportedProblem;
thread_local std::vector<FinishedGame> PlayedGames;

void ClearHookCalls()
{
    HookCalls.clear();
    PlayedGames.clear();
    LastReportedProblem.clear();
}

int CountHookCalls(const std::string& name)
{
    return static_cast<int>(
        std::count_if(HookCalls.begin(), HookCalls.end(), [&](const HookCall& call) { return call.name == name; }));
}

static void Record(const char* name, std::uint32_t column = 0, std::uint32_t row = 0, int detail = 0)
{
    HookCalls.push_back(HookCall{name, column, row, detail});
}

void StartClockTimer(PlatformWindow)
{
    Record("StartClockTimer");
}
void StopClockTimer(PlatformWindow)
{
    Record("StopClockTimer");
}
void FitWindowToLevel(PlatformWindow)
{
    Record("FitWindowToLevel");
}
void InvalidateClientArea(PlatformWindow, bool eraseBackground)
{
    Record("InvalidateClientArea", 0, 0, eraseBackground);
}
void RedrawCell(std::uint32_t column, std::uint32_t row, int orientation)
{
    Record("RedrawCell", column, row, orientation);
}
// Recorded cell by cell, so that a test sees the same calls whichever hook drew a cell.
void RedrawCellRun(std::uint32_t row, std::uint32_t firstColumn, std::uint32_t lastColumn)
{
    for (std::uint32_t column = firstColumn; column <= lastColumn; ++column)
        Record("RedrawCell", column, row, CellOrientation(column, row));
}
void RecordBestTime(PlatformWindow)
{
    Record("RecordBestTime");
}

// Kept apart from HookCalls: the rules' tests compare every call the window sees.
void RecordPlayedGame(PlatformWindow, const LevelKey&, const FinishedGame& game)
{
    PlayedGames.push_back(game);
}

void ReportDataFileProblem(PlatformWindow, const std::string& message)
{
    Record("ReportDataFileProblem");
    LastReportedProblem = message;
}
