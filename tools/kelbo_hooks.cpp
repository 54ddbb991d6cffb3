// The kelbo tool has no window: the clock, the window and the drawing hooks have nothing to do.
#include "tools/kelbo_hooks.h"

#include "game/platform.h"

std::string ReportedDataFileProblem;

void StartClockTimer(PlatformWindow) {}
void StopClockTimer(PlatformWindow) {}
void FitWindowToLevel(PlatformWindow) {}
void InvalidateClientArea(PlatformWindow, bool) {}
void RedrawCell(std::uint32_t, std::uint32_t, int) {}
void RedrawCellRun(std::uint32_t, std::uint32_t, std::uint32_t) {}

// Without a window there is nobody to ask for a name: a won game records no time.
void RecordBestTime(PlatformWindow) {}

// The record of games is the player's: a replayed game is no game of theirs.
void RecordPlayedGame(PlatformWindow, const LevelKey&, const FinishedGame&) {}

// The command that started the game reports it and fails, in one line: the message's first,
// which names the file and the problem.
void ReportDataFileProblem(PlatformWindow, const std::string& message)
{
    ReportedDataFileProblem = message.substr(0, message.find('\n'));
}
