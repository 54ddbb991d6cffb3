// The tests' side of the platform hooks: every call is recorded in order, so a test can check
// what the model asked of the window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/statistics.h"

struct HookCall {
    std::string name;  // the hook's name, e.g. "StopClockTimer"
    std::uint32_t column;
    std::uint32_t row;
    int detail;  // RedrawCell: orientation; InvalidateClientArea: 1 with erase
    bool operator==(const HookCall& other) const
    {
        return name == other.name && column == other.column && row == other.row && detail == other.detail;
    }
};

// Each thread records the calls of its own game.
extern thread_local std::vector<HookCall> HookCalls;
extern thread_local std::string LastReportedProblem;
extern thread_local std::vector<FinishedGame> PlayedGames;  // what RecordPlayedGame was handed, in order

void ClearHookCalls();
int CountHookCalls(const std::string& name);
