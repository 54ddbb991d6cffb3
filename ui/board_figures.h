// How hard a board being made is: the figures of kelbo solve LEVEL --boards 200, with and without
// --no-guess, worked out on a thread of their own so that the board maker never waits for them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "data/data_check.h"
#include "solver/level_figures.h"

constexpr std::uint32_t kFigureBoards = 200;

// Posted to the window that asked, once for the boards as dealt by a new game and once for the
// same boards dealt in the no-guess mode: wParam the request's number, lParam a HalfOfFigures
// that the window deletes.
constexpr UINT kFiguresReady = WM_APP + 1;

struct HalfOfFigures {
    bool noGuess;
    bool played;  // false when the solver could not play the boards to their end
    LevelFigures figures;
};

// Starts working out the figures of games 0 to 199 at time 0 on a copy of the level's record, the
// two halves on two threads, and abandons any still being worked out; the request's number.
std::uint32_t StartFigures(HWND window, const LevelRecord& record, int level);

// Abandons the figures being worked out: nothing more is posted.
void StopFigures();
