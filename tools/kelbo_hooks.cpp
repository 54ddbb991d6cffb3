// The kelbo tool has no window: the clock, the window and the drawing hooks have nothing to do.
#include <cstdio>

#include "game/platform.h"

void StartClockTimer(PlatformWindow) {}
void StopClockTimer(PlatformWindow) {}
void FitWindowToLevel(PlatformWindow) {}
void InvalidateClientArea(PlatformWindow, bool) {}
void RedrawCell(std::uint32_t, std::uint32_t, int) {}

// Without a window there is nobody to ask for a name: a won game records no time.
void RecordBestTime(PlatformWindow) {}

void ReportDataFileProblem(PlatformWindow, const std::string& message)
{
    std::fprintf(stderr, "kelbo: %s\n", message.c_str());
}
