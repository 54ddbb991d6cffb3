#include "solver/player.h"

#include <cstddef>

#include "game/board.h"
#include "game/cell.h"

namespace {

CellPosition PositionOf(std::size_t index)
{
    return CellPosition{static_cast<std::uint32_t>(index % Columns), static_cast<std::uint32_t>(index / Columns)};
}

// Marks, from the zero at index on, every cell that its region of zeros opens.
void OpenZeroRegion(std::size_t index, std::vector<bool>& opened)
{
    std::vector<std::size_t> zeros{index};
    opened[index] = true;
    while (!zeros.empty()) {
        const std::size_t zero = zeros.back();
        zeros.pop_back();
        const CellPosition at = PositionOf(zero);
        for (const CellPosition& next : NeighbourPositions(at.column, at.row)) {
            const std::size_t nextIndex = CellIndex(next.column, next.row);
            if (IsVoid(Board[nextIndex]) || opened[nextIndex])
                continue;
            opened[nextIndex] = true;
            if (UncoveredValue(Board[nextIndex]) == 0)
                zeros.push_back(nextIndex);
        }
    }
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
    std::vector<bool> opened(GridSize(), false);
    std::uint32_t releases = 0;
    for (std::size_t index = 0; index < GridSize(); ++index)
        if (IsHiddenZero(Board[index]) && !opened[index]) {
            ++releases;
            OpenZeroRegion(index, opened);
        }
    for (std::size_t index = 0; index < GridSize(); ++index)
        releases += !IsVoid(Board[index]) && UncoveredValue(Board[index]) != kMine && !opened[index];
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
