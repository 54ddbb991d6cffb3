#include "tests/test_hooks.h"

#include <algorithm>

#include "game/platform.h"

std::vector<HookCall> HookCalls;
std::string LastReportedProblem;

void ClearHookCalls()
{
    HookCalls.clear();
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
void RecordBestTime(PlatformWindow)
{
    Record("RecordBestTime");
}

void ReportDataFileProblem(PlatformWindow, const std::string& message)
{
    Record("ReportDataFileProblem");
    LastReportedProblem = message;
}
