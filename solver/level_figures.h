// What the solver makes of many boards of one level: the figures that kelbo solve --boards prints
// and that the board maker shows while a level is drawn.
#pragma once

#include <cstdint>
#include <functional>

#include "data/data_check.h"
#include "game/rules.h"

struct LevelFigures {
    std::uint32_t boards = 0;
    std::uint32_t won = 0;
    std::uint32_t wonWithoutGuess = 0;
    std::uint32_t lostOnFirstRelease = 0;
    std::uint64_t guesses = 0;
    std::uint64_t threeBV = 0;
    // In the no-guess mode:
    std::uint32_t dealtWithoutGuess = 0;
    double dealingSeconds = 0.0;
    double slowestDeal = 0.0;
};

enum class FiguresEnd : std::uint8_t { Done, MinesCannotBePlaced, SolverStopped, Stopped };

// Told after each board how many are done; false stops the boards there.
using BoardsDone = std::function<bool(std::uint32_t done)>;

// Plays the boards of games 0 to count - 1 made at time on the level's record, read and checked
// beforehand, each as a new game of that level sets it up (dealt at its first release when
// noGuess), from first or else where a hint points. The game played is this thread's own. seed
// names the board the batch ended on when it did not end Done.
FiguresEnd PlayLevelBoards(const LevelRecord& record, int level, std::uint32_t time, std::uint32_t count, bool noGuess,
                           const CellPosition* first, const BoardsDone& boardsDone, LevelFigures& figures,
                           std::uint32_t& seed);
