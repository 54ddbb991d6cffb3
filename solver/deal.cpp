#include "solver/deal.h"

#include <algorithm>
#include <cassert>

#include "game/board.h"
#include "game/cell.h"
#include "game/mine_draw.h"
#include "game/neighbours.h"
#include "solver/solver.h"

namespace {

// The search's bound, in steps: one step a neighbour looked at by the proof, and for each time the
// whole position goes to the solver 24 a cell of the grid and the steps its counting took. About
// 20 ns a step on the machine of docs/performance.md, so that a level too dense for such a board is
// given up within a second.
constexpr std::uint64_t kStepBound = 20'000'000;
constexpr std::uint64_t kStepsPerCellSolved = 24;

// A layout whose proof sticks has a mine moved from where it sticks to where nothing is known yet,
// this many times before the dealer starts again from a fresh layout.
constexpr int kMovesPerLayout = 24;

// splitmix64: the dealer's own numbers, so that dealing leaves the game's generator as it was.
struct Random {
    std::uint64_t state = 0;
    std::uint64_t Next()
    {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }
    // 0 to n - 1.
    std::uint32_t Below(std::size_t n) { return static_cast<std::uint32_t>(((Next() >> 32) * n) >> 32); }
};

enum Known : std::uint8_t { kUnknown, kOpen, kProvedMine };

struct Dealer {
    // The level: each real cell's real neighbours, and the cells a mine may go on.
    std::vector<std::uint8_t> mask;
    std::uint32_t columns = 0;
    std::uint32_t rows = 0;
    std::vector<std::uint32_t> neighbourFirst;
    std::vector<std::uint32_t> neighbours;
    std::vector<std::uint8_t> drawable;
    std::vector<std::uint32_t> mineSpots;
    std::size_t first = 0;
    std::uint32_t mines = 0;
    std::size_t safeCells = 0;
    // The layout.
    std::vector<std::uint8_t> mine;
    std::vector<std::uint8_t> value;
    // The proof: what a player who plays only certain cells knows so far.
    std::vector<std::uint8_t> known;
    std::size_t safeLeft = 0;
    std::vector<std::uint32_t> toOpen;
    std::vector<std::uint32_t> toExamine;
    std::vector<std::uint8_t> queued;
    std::vector<std::uint32_t> stuck;  // counts with undecided cells, for the subset rule
    std::vector<std::uint8_t> isStuck;
    std::vector<std::uint32_t> comparing;
    std::vector<std::uint32_t> seenBy;  // the comparison that last looked at each count
    std::uint32_t comparison = 0;
    std::vector<std::uint32_t> stuckMines;  // mines among the undecided cells next to open ones
    std::vector<std::uint32_t> freeSpots;   // spots that nothing open touches
    SeenPosition seen;
    Random random;
    std::uint64_t steps = 0;
};

template <typename Visit> void ForEachRealNeighbour(const Dealer& d, std::size_t cell, Visit visit)
{
    for (std::uint32_t k = d.neighbourFirst[cell]; k < d.neighbourFirst[cell + 1]; ++k)
        visit(d.neighbours[k]);
}

// The neighbour lists and drawable cells of a grid are kept while the same grid is dealt again.
void LearnGrid(Dealer& d, const std::vector<std::uint8_t>& mask, std::uint32_t columns, std::uint32_t rows)
{
    if (d.mask == mask && d.columns == columns && d.rows == rows)
        return;
    d.mask = mask;
    d.columns = columns;
    d.rows = rows;
    const std::size_t cells = mask.size();
    d.neighbourFirst.assign(1, 0);
    d.neighbours.clear();
    for (std::size_t cell = 0; cell < cells; ++cell) {
        if (mask[cell] != kVoidCell)
            ForEachNeighbour(columns, rows, cell, [&](std::size_t next) {
                if (mask[next] != kVoidCell)
                    d.neighbours.push_back(static_cast<std::uint32_t>(next));
            });
        d.neighbourFirst.push_back(static_cast<std::uint32_t>(d.neighbours.size()));
    }
    // Mines go only where the game's own draw can put one, so that what the solver knows of those
    // cells holds in both modes. The proof does not use it: a player cannot see which cells they are.
    const std::vector<bool> drawn = DrawnIndices(cells);
    d.drawable.assign(cells, 0);
    for (std::size_t cell = 0; cell < cells; ++cell)
        d.drawable[cell] = drawn[cell] && mask[cell] != kVoidCell;
    d.seen.columns = columns;
    d.seen.rows = rows;
    d.seen.cells.assign(cells, kSeenVoid);
}

// The cells a mine may go on: those a draw of the game reaches, but the released cell and, where
// the others leave room for every mine, its neighbours.
void ChooseMineSpots(Dealer& d)
{
    std::vector<std::uint8_t> keptFree(d.mask.size(), 0);
    keptFree[d.first] = 1;
    ForEachRealNeighbour(d, d.first, [&](std::uint32_t next) { keptFree[next] = 1; });
    for (int pass = 0; pass < 2; ++pass) {
        d.mineSpots.clear();
        for (std::size_t cell = 0; cell < d.mask.size(); ++cell)
            if (d.drawable[cell] && !keptFree[cell])
                d.mineSpots.push_back(static_cast<std::uint32_t>(cell));
        if (d.mineSpots.size() >= d.mines)
            return;
        std::fill(keptFree.begin(), keptFree.end(), 0);
        keptFree[d.first] = 1;
    }
}

void CountMines(Dealer& d)
{
    std::fill(d.value.begin(), d.value.end(), 0);
    for (std::size_t cell = 0; cell < d.mine.size(); ++cell)
        if (d.mine[cell])
            ForEachRealNeighbour(d, cell, [&](std::uint32_t next) { ++d.value[next]; });
}

// The level's mines on cells picked evenly from the spots.
void LayMines(Dealer& d)
{
    std::vector<std::uint32_t>& spots = d.mineSpots;
    std::fill(d.mine.begin(), d.mine.end(), 0);
    for (std::uint32_t placed = 0; placed < d.mines; ++placed) {
        const std::size_t pick = placed + d.random.Below(spots.size() - placed);
        std::swap(spots[placed], spots[pick]);
        d.mine[spots[placed]] = 1;
    }
    CountMines(d);
}

void Examine(Dealer& d, std::uint32_t count)
{
    if (!d.queued[count]) {
        d.queued[count] = 1;
        d.toExamine.push_back(count);
    }
}

void ExamineOpenNeighbours(Dealer& d, std::uint32_t cell)
{
    ForEachRealNeighbour(d, cell, [&](std::uint32_t next) {
        if (d.known[next] == kOpen)
            Examine(d, next);
    });
    d.steps += d.neighbourFirst[cell + 1] - d.neighbourFirst[cell];
}

// Uncovers cell as the game does, a zero opening its neighbourhood and on across further zeros.
void Open(Dealer& d, std::uint32_t cell)
{
    d.toOpen.push_back(cell);
    while (!d.toOpen.empty()) {
        const std::uint32_t next = d.toOpen.back();
        d.toOpen.pop_back();
        if (d.known[next] != kUnknown)
            continue;
        assert(!d.mine[next]);
        d.known[next] = kOpen;
        --d.safeLeft;
        ExamineOpenNeighbours(d, next);
        if (d.value[next] != 0) {
            Examine(d, next);
            continue;
        }
        ForEachRealNeighbour(d, next, [&](std::uint32_t around) {
            if (d.known[around] == kUnknown)
                d.toOpen.push_back(around);
        });
    }
}

void MarkMine(Dealer& d, std::uint32_t cell)
{
    assert(d.mine[cell]);
    d.known[cell] = kProvedMine;
    ExamineOpenNeighbours(d, cell);
}

// An open count's undecided neighbours and the mines among them.
struct Undecided {
    std::uint32_t cells[12];
    int size = 0;
    int need = 0;
};

Undecided UndecidedAround(Dealer& d, std::uint32_t count)
{
    Undecided u;
    u.need = d.value[count];
    ForEachRealNeighbour(d, count, [&](std::uint32_t next) {
        if (d.known[next] == kUnknown)
            u.cells[u.size++] = next;
        u.need -= d.known[next] == kProvedMine;
    });
    d.steps += d.neighbourFirst[count + 1] - d.neighbourFirst[count];
    return u;
}

// The undecided cells of a count: all safe, all mines or, when neither, kept for the subset rule.
void Settle(Dealer& d, std::uint32_t count)
{
    const Undecided u = UndecidedAround(d, count);
    if (u.size == 0)
        return;
    if (u.need == 0 || u.need == u.size) {
        for (int k = 0; k < u.size; ++k)
            if (d.known[u.cells[k]] == kUnknown)
                u.need == 0 ? Open(d, u.cells[k]) : MarkMine(d, u.cells[k]);
        return;
    }
    if (!d.isStuck[count]) {
        d.isStuck[count] = 1;
        d.stuck.push_back(count);
    }
}

void SettleExamined(Dealer& d)
{
    while (!d.toExamine.empty()) {
        const std::uint32_t count = d.toExamine.back();
        d.toExamine.pop_back();
        d.queued[count] = 0;
        Settle(d, count);
    }
}

bool Contains(const Undecided& u, std::uint32_t cell)
{
    return std::find(u.cells, u.cells + u.size, cell) != u.cells + u.size;
}

// The undecided cells of inner all lie among outer's: outer's others hold the difference of their
// mines, so they are all safe when it is none and all mines when it is their number.
bool ApplySubset(Dealer& d, const Undecided& inner, const Undecided& outer)
{
    const int mines = outer.need - inner.need;
    const int rest = outer.size - inner.size;
    if (rest == 0 || (mines != 0 && mines != rest))
        return false;
    for (int k = 0; k < outer.size; ++k)
        if (!Contains(inner, outer.cells[k]) && d.known[outer.cells[k]] == kUnknown)
            mines == 0 ? Open(d, outer.cells[k]) : MarkMine(d, outer.cells[k]);
    return true;
}

// Compares one stuck count with every count that shares an undecided cell with it; true when that
// decided something.
bool CompareWithNeighbours(Dealer& d, std::uint32_t count)
{
    const Undecided a = UndecidedAround(d, count);
    const std::uint32_t stamp = ++d.comparison;
    d.seenBy[count] = stamp;
    for (int k = 0; k < a.size; ++k)
        for (std::uint32_t j = d.neighbourFirst[a.cells[k]]; j < d.neighbourFirst[a.cells[k] + 1]; ++j) {
            const std::uint32_t other = d.neighbours[j];
            if (d.known[other] != kOpen || d.seenBy[other] == stamp)
                continue;
            d.seenBy[other] = stamp;
            const Undecided b = UndecidedAround(d, other);
            int shared = 0;
            for (int i = 0; i < b.size; ++i)
                shared += Contains(a, b.cells[i]);
            if ((shared == a.size && ApplySubset(d, a, b)) || (shared == b.size && ApplySubset(d, b, a)))
                return true;
        }
    return false;
}

// The subset rule on the counts that the simple rules left undecided; true when it decided
// something. The counts not compared yet stay for the next time.
bool CompareStuckCounts(Dealer& d)
{
    d.comparing.swap(d.stuck);
    d.stuck.clear();
    bool decided = false;
    for (std::uint32_t count : d.comparing) {
        d.isStuck[count] = 0;
        if (decided) {
            d.isStuck[count] = 1;
            d.stuck.push_back(count);
        } else {
            decided = CompareWithNeighbours(d, count);
        }
    }
    return decided;
}

// What the whole position proves, every count and the number of mines together: the solver's
// certain cells. True when it proved a cell not known yet.
bool SolveWholePosition(Dealer& d)
{
    for (std::size_t cell = 0; cell < d.known.size(); ++cell)
        if (d.mask[cell] != kVoidCell)
            d.seen.cells[cell] = d.known[cell] == kOpen ? static_cast<std::int8_t>(d.value[cell]) : kSeenHidden;
    d.seen.mines = d.mines;
    const MineChances chances = FindMineChances(d.seen);
    d.steps += kStepsPerCellSolved * d.known.size() + chances.countingSteps;
    bool decided = false;
    for (std::size_t cell = 0; cell < d.known.size(); ++cell) {
        if (d.known[cell] != kUnknown || (chances.chance[cell] != 0.0 && chances.chance[cell] != 1.0))
            continue;
        decided = true;
        if (chances.chance[cell] == 0.0)
            Open(d, static_cast<std::uint32_t>(cell));
        else
            MarkMine(d, static_cast<std::uint32_t>(cell));
    }
    return decided;
}

// Plays the layout from the released cell by proof alone: the simple rules first, the subset rule
// when they stick, the whole position when both do. True when every safe cell is uncovered.
bool ProveLayout(Dealer& d)
{
    std::fill(d.known.begin(), d.known.end(), kUnknown);
    d.safeLeft = d.safeCells;
    d.toExamine.clear();
    d.stuck.clear();
    std::fill(d.queued.begin(), d.queued.end(), 0);
    std::fill(d.isStuck.begin(), d.isStuck.end(), 0);
    Open(d, static_cast<std::uint32_t>(d.first));
    while (d.safeLeft > 0) {
        SettleExamined(d);
        if (d.safeLeft == 0 || CompareStuckCounts(d))
            continue;
        if (d.steps >= kStepBound || !SolveWholePosition(d))
            return false;
    }
    return true;
}

bool TouchesOpenCell(const Dealer& d, std::uint32_t cell)
{
    for (std::uint32_t k = d.neighbourFirst[cell]; k < d.neighbourFirst[cell + 1]; ++k)
        if (d.known[d.neighbours[k]] == kOpen)
            return true;
    return false;
}

// Moves one mine from among the undecided cells where the proof stuck to a spot that nothing open
// touches yet; false when there is no such mine or no such spot.
bool MoveStuckMine(Dealer& d)
{
    std::vector<std::uint32_t>& from = d.stuckMines;
    std::vector<std::uint32_t>& to = d.freeSpots;
    from.clear();
    to.clear();
    for (std::uint32_t spot : d.mineSpots) {
        if (d.known[spot] != kUnknown)
            continue;
        const bool touches = TouchesOpenCell(d, spot);
        if (d.mine[spot] && touches)
            from.push_back(spot);
        else if (!d.mine[spot] && !touches)
            to.push_back(spot);
    }
    d.steps += d.mineSpots.size();
    if (from.empty() || to.empty())
        return false;
    const std::uint32_t source = from[d.random.Below(from.size())];
    const std::uint32_t target = to[d.random.Below(to.size())];
    d.mine[source] = 0;
    d.mine[target] = 1;
    ForEachRealNeighbour(d, source, [&](std::uint32_t next) { --d.value[next]; });
    ForEachRealNeighbour(d, target, [&](std::uint32_t next) { ++d.value[next]; });
    return true;
}

void PrepareDeal(Dealer& d, std::uint32_t mines, std::uint32_t seed, std::size_t first)
{
    const std::size_t cells = d.mask.size();
    d.first = first;
    d.mines = mines;
    d.random.state = (static_cast<std::uint64_t>(seed) << 32) | static_cast<std::uint32_t>(first);
    d.steps = 0;
    d.mine.assign(cells, 0);
    d.value.assign(cells, 0);
    d.known.assign(cells, kUnknown);
    d.queued.assign(cells, 0);
    d.isStuck.assign(cells, 0);
    d.seenBy.assign(cells, 0);
    d.comparison = 0;
    d.safeCells = static_cast<std::size_t>(std::count(d.mask.begin(), d.mask.end(), kPlayableCell)) - mines;
    ChooseMineSpots(d);
}

DealtBoard BoardOf(const Dealer& d, bool proven)
{
    DealtBoard board;
    board.cells.resize(d.mask.size());
    for (std::size_t cell = 0; cell < d.mask.size(); ++cell)
        board.cells[cell] = d.mask[cell] == kVoidCell ? kVoidCell : d.mine[cell] ? kMine : d.value[cell];
    board.proven = proven;
    board.steps = d.steps;
    return board;
}

DealtBoard Deal(Dealer& d, const std::vector<std::uint8_t>& mask, std::uint32_t columns, std::uint32_t rows,
                std::uint32_t mines, std::uint32_t seed, std::size_t first)
{
    LearnGrid(d, mask, columns, rows);
    PrepareDeal(d, mines, seed, first);
    std::vector<std::uint8_t> firstLayout;
    while (d.steps < kStepBound) {
        LayMines(d);
        if (firstLayout.empty())
            firstLayout = d.mine;
        for (int moves = 0;; ++moves) {
            if (ProveLayout(d))
                return BoardOf(d, true);
            if (d.steps >= kStepBound || moves == kMovesPerLayout || !MoveStuckMine(d))
                break;
        }
    }
    // None found: the first layout, fair and with the released cell free.
    d.mine = firstLayout;
    CountMines(d);
    return BoardOf(d, false);
}

}  // namespace

DealtBoard DealWithoutGuess(const std::vector<std::uint8_t>& mask, std::uint32_t columns, std::uint32_t rows,
                            std::uint32_t mines, std::uint32_t seed, std::size_t first)
{
    static thread_local Dealer d;
    // The solver works to its full bound while dealing, whatever a test set, so that the board is
    // the game's.
    const std::uint64_t testLimit = LimitSolverWork(0);
    const DealtBoard board = Deal(d, mask, columns, rows, mines, seed, first);
    LimitSolverWork(testLimit);
    return board;
}

DealOutcome DealOnFirstRelease(std::uint32_t column, std::uint32_t row)
{
    if (!AwaitingDeal || column >= Columns || row >= Rows || !IsHidden(CellAt(column, row)))
        return DealOutcome::NotDealt;
    std::vector<std::uint8_t> mask(GridSize());
    for (std::size_t cell = 0; cell < mask.size(); ++cell)
        mask[cell] = IsVoid(Board[cell]) ? kVoidCell : kPlayableCell;
    const DealtBoard dealt = DealWithoutGuess(mask, Columns, Rows, Mines, GameSeed, CellIndex(column, row));
    // Every real cell is a zero under its mark so far: the value goes under the same mark.
    for (std::size_t cell = 0; cell < mask.size(); ++cell)
        if (!IsVoid(Board[cell]))
            Board[cell] = static_cast<std::uint8_t>(Board[cell] + dealt.cells[cell]);
    AwaitingDeal = false;
    return dealt.proven ? DealOutcome::Proven : DealOutcome::MayNeedGuess;
}

DealOutcome ApplyMoveDealing(const Move& move)
{
    const DealOutcome outcome =
        move.button == 'L' && GameState != Over ? DealOnFirstRelease(move.column, move.row) : DealOutcome::NotDealt;
    ApplyMove(move);
    return outcome;
}
