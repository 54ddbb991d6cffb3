#include "solver/player.h"

#include <cstddef>

#include "game/board.h"
#include "game/cell.h"

namespace {

CellPosition PositionOf(std::size_t index)
{
    return CellPosition{static_cast<std::uint32_t>(index % Columns), static_cast<std::uint32_t>(index / Columns)};
}

// The value a cell's byte keeps under any mark.
std::uint8_t ValueUnderMarks(std::uint8_t b)
{
    return IsUncovered(b) ? b : IsFlagged(b) ? static_cast<std::uint8_t>(b - kFlaggedBase) : UncoveredValue(b);
}

void PlayMove(char button, CellPosition cell, SolvedBoard& board)
{
    const Move move{button, cell.column, cell.row};
    ApplyMove(move);
    board.moves.push_back(move);
}

// Flags every certain mine not flagged yet, then uncovers every certainly safe cell still hidden;
// false when there was none.
bool PlayCertainCells(const MineChances& chances, SolvedBoard& board)
{
    bool played = false;
    for (std::size_t index = 0; index < GridSize() && GameState != Over; ++index)
        if (chances.chance[index] == 1.0 && IsCovered(Board[index]) && FlagsLeft > 0) {
            PlayMove('R', PositionOf(index), board);
            played = true;
        }
    for (std::size_t index = 0; index < GridSize() && GameState != Over; ++index)
        if (chances.chance[index] == 0.0 && IsHidden(Board[index])) {
            PlayMove('L', PositionOf(index), board);
            played = true;
        }
    return played;
}

// One round of play: every certain cell, or else a guess on the cell least likely to hide a mine,
// ties to the first in reading order. False when the solver has no move.
bool PlayRound(SolvedBoard& board)
{
    const BoardHint reading = HintOnBoard(CellPosition{0, 0}, false);
    if (PlayCertainCells(reading.chances, board))
        return true;
    const Hint& hint = reading.hint;
    if (hint.kind != HintKind::LeastLikely || !IsHidden(CellAt(hint.cell.column, hint.cell.row)))
        return false;
    board.guesses.push_back(hint);
    PlayMove('L', hint.cell, board);
    return true;
}

}  // namespace

std::uint32_t ThreeBV()
{
    // Counted on the board with every mark taken off, opened by the game's own flood, then put back.
    const std::vector<std::uint8_t> kept = Board;
    for (std::size_t index = 0; index < GridSize(); ++index)
        if (!IsVoid(Board[index]))
            Board[index] = static_cast<std::uint8_t>(kCoveredBase + ValueUnderMarks(Board[index]));
    std::uint32_t releases = 0;
    for (std::size_t index = 0; index < GridSize(); ++index)
        if (IsHiddenZero(Board[index])) {
            ++releases;
            FloodFill(PositionOf(index).column, PositionOf(index).row);
        }
    for (std::size_t index = 0; index < GridSize(); ++index)
        releases += IsHidden(Board[index]) && UncoveredValue(Board[index]) != kMine;
    Board = kept;
    return releases;
}

CellPosition HintedFirstRelease()
{
    return HintOnBoard(CellPosition{0, 0}, false).hint.cell;
}

bool SolveGame(const CellPosition* first, SolvedBoard& board)
{
    const CellPosition release = first != nullptr ? *first : HintedFirstRelease();
    board.dealt = DealOnFirstRelease(release.column, release.row);
    board.threeBV = ThreeBV();
    PlayMove('L', release, board);
    while (GameState != Over && PlayRound(board)) {
    }
    board.won = !GameWasLost();
    return GameState == Over;
}
