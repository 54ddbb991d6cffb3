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

extern std::vector<HookCall> HookCalls;
extern std::string LastReportedProblem;
extern std::vector<FinishedGame> PlayedGames;  // what RecordPlayedGame was handed, in order

void ClearHookCalls();
int CountHookCalls(const std::string& name);
