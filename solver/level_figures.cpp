#include "solver/level_figures.h"

#include <algorithm>
#include <ctime>

#include "game/board.h"
#include "solver/deal.h"
#include "solver/player.h"

namespace {

void AddBoard(const SolvedBoard& board, LevelFigures& figures)
{
    ++figures.boards;
    figures.won += board.won;
    figures.wonWithoutGuess += board.won && board.guesses.empty();
    figures.lostOnFirstRelease += !board.won && board.moves.size() == 1;
    figures.guesses += board.guesses.size();
    figures.threeBV += board.threeBV;
}

// In the no-guess mode, deals the board for the first release and notes how it went and how long
// it took; first is where the release goes, as the hint points when not given.
void DealTimed(CellPosition& first, bool hasFirst, LevelFigures& figures)
{
    if (!AwaitingDeal)
        return;
    if (!hasFirst)
        first = HintedFirstRelease();
    // Processor time, which another program busy on the machine does not add to.
    const std::clock_t start = std::clock();
    const DealOutcome outcome = DealOnFirstRelease(first.column, first.row);
    const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    figures.dealtWithoutGuess += outcome == DealOutcome::Proven;
    figures.dealingSeconds += seconds;
    figures.slowestDeal = std::max(figures.slowestDeal, seconds);
}

}  // namespace

FiguresEnd PlayLevelBoards(const LevelRecord& record, int level, std::uint32_t time, std::uint32_t count, bool noGuess,
                           const CellPosition* first, const BoardsDone& boardsDone, LevelFigures& figures,
                           std::uint32_t& seed)
{
    NoGuessing = noGuess;
    CellPosition release = first != nullptr ? *first : CellPosition{0, 0};
    for (std::uint32_t game = 0; game < count; ++game) {
        seed = NewGameSeed(time, game);
        LevelIndex = level;
        if (!SetUpGame(record, seed))
            return FiguresEnd::MinesCannotBePlaced;
        DealTimed(release, first != nullptr, figures);
        SolvedBoard board;
        if (!SolveGame(first == nullptr && !noGuess ? nullptr : &release, board))
            return FiguresEnd::SolverStopped;
        AddBoard(board, figures);
        if (!boardsDone(game + 1))
            return FiguresEnd::Stopped;
    }
    return FiguresEnd::Done;
}
