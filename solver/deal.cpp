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
// whole position goes to the solver 24 a triangle of the level and the steps its counting took.
// Void cells cost nothing, so that a shape drawn with empty margins gets the same search as the
// shape alone. About 20 ns a step on the machine of docs/performance.md, so that a level too dense
// for such a board is given up within a second.
constexpr std::uint64_t kStepBound = 20'000'000;
constexpr std::uint64_t kStepsPerCellSolved = 24;
constexpr std::uint64_t kNoStepBound = ~std::uint64_t{0};

// A layout whose proof sticks has the mines moved from where it sticks to where nothing is known
// yet, this many times before the dealer starts again from a fresh layout.
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
    std::size_t realCells = 0;
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
    // What the local rules alone had proved before the whole position first went to the solver:
    // still a proof after mines move from undecided cells to cells that nothing open touches.
    std::vector<std::uint8_t> knownByRules;
    std::size_t safeLeftByRules = 0;
    bool solvedWhole = false;               // the solver decided cells since knownByRules was kept
    std::vector<std::uint32_t> stuckMines;  // mines among the undecided cells next to open ones
    std::vector<std::uint32_t> enclosedMines;
    std::vector<std::uint32_t> freeSpots;  // spots that nothing open touches
    std::vector<std::uint32_t> freeSpotsByRules;
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
    d.realCells = cells - static_cast<std::size_t>(std::count(mask.begin(), mask.end(), kVoidCell));
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
        if (d.mine[cell]) {
            ForEachRealNeighbour(d, cell, [&](std::uint32_t next) { ++d.value[next]; });
            d.steps += d.neighbourFirst[cell + 1] - d.neighbourFirst[cell];
        }
    d.steps += d.realCells;
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
        // One walk round it: its open neighbours have a cell fewer undecided, and a zero opens the
        // others as the game does.
        const bool zero = d.value[next] == 0;
        ForEachRealNeighbour(d, next, [&](std::uint32_t around) {
            if (d.known[around] == kOpen)
                Examine(d, around);
            else if (zero && d.known[around] == kUnknown)
                d.toOpen.push_back(around);
        });
        d.steps += d.neighbourFirst[next + 1] - d.neighbourFirst[next];
        if (!zero)
            Examine(d, next);
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
    d.steps += kStepsPerCellSolved * d.realCells + chances.countingSteps;
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

bool TouchesOpenCell(Dealer& d, const std::vector<std::uint8_t>& known, std::uint32_t cell)
{
    for (std::uint32_t k = d.neighbourFirst[cell]; k < d.neighbourFirst[cell + 1]; ++k) {
        ++d.steps;
        if (known[d.neighbours[k]] == kOpen)
            return true;
    }
    return false;
}

// The mines that make the proof stick, in stuckMines: those of the undecided cells next to open
// ones or, when none is, of the undecided cells that only proved mines enclose. Where they may go
// and leave what the local rules proved a proof, in freeSpots: spots that the rules had not decided
// and that nothing they opened touches, those that nothing open touches now first (untouchedNow of
// them); the others only when onlyUntouchedNow is false.
void FindStuckMinesAndFreeSpots(Dealer& d, bool onlyUntouchedNow, std::size_t& untouchedNow)
{
    std::vector<std::uint32_t>& from = d.stuckMines;
    std::vector<std::uint32_t>& enclosed = d.enclosedMines;
    std::vector<std::uint32_t>& to = d.freeSpots;
    std::vector<std::uint32_t>& later = d.freeSpotsByRules;
    from.clear(), enclosed.clear(), to.clear(), later.clear();
    const bool byRules = d.solvedWhole && !onlyUntouchedNow;
    for (std::uint32_t spot : d.mineSpots) {
        const bool undecided = d.known[spot] == kUnknown;
        const bool touched = undecided && TouchesOpenCell(d, d.known, spot);
        if (d.mine[spot] && undecided)
            (touched ? from : enclosed).push_back(spot);
        else if (!d.mine[spot] && undecided && !touched)
            to.push_back(spot);
        else if (!d.mine[spot] && byRules && d.knownByRules[spot] == kUnknown &&
                 !TouchesOpenCell(d, d.knownByRules, spot))
            later.push_back(spot);
    }
    d.steps += d.mineSpots.size();
    if (from.empty())
        from.swap(enclosed);
    untouchedNow = to.size();
    to.insert(to.end(), later.begin(), later.end());
}

// Moves the mines that make the proof stick to free spots, as many as there are; false when there
// is no such mine or no such spot. Every count beside them then frees its undecided cells, unless
// spots ran short.
bool MoveStuckMines(Dealer& d, bool onlyUntouchedNow)
{
    std::vector<std::uint32_t>& from = d.stuckMines;
    std::vector<std::uint32_t>& to = d.freeSpots;
    std::size_t untouchedNow = 0;
    FindStuckMinesAndFreeSpots(d, onlyUntouchedNow, untouchedNow);
    if (from.empty() || to.empty())
        return false;
    const std::size_t moving = std::min(from.size(), to.size());
    for (std::size_t k = 0; k < moving; ++k) {
        std::swap(from[k], from[k + d.random.Below(from.size() - k)]);
        const std::size_t choices = k < untouchedNow ? untouchedNow : to.size();
        std::swap(to[k], to[k + d.random.Below(choices - k)]);
        d.mine[from[k]] = 0;
        d.mine[to[k]] = 1;
        ForEachRealNeighbour(d, from[k], [&](std::uint32_t next) { --d.value[next]; });
        ForEachRealNeighbour(d, to[k], [&](std::uint32_t next) { ++d.value[next]; });
    }
    from.resize(moving);
    return true;
}

void KeepWhatRulesProved(Dealer& d)
{
    d.knownByRules = d.known;
    d.steps += d.realCells;
    d.safeLeftByRules = d.safeLeft;
    d.solvedWhole = true;
}

// After the mines moved: back to what the local rules had proved, which the move leaves a proof,
// with the counts beside the cells the mines left to examine again.
void GoBackToWhatRulesProved(Dealer& d)
{
    if (d.solvedWhole) {
        d.known = d.knownByRules;
        d.steps += d.realCells;
        d.safeLeft = d.safeLeftByRules;
        d.solvedWhole = false;
    }
    for (std::uint32_t source : d.stuckMines)
        ExamineOpenNeighbours(d, source);
}

// Plays the layout from the released cell by proof alone: the simple rules first, the subset rule
// when they stick. Where both stick, the mines that make them stick move away while there is room
// for them; the whole position goes to the solver when there is none, and the mines move again
// where it sticks too, at most movesAllowed times. True when every safe cell is uncovered.
bool ProveLayout(Dealer& d, int movesAllowed, std::uint64_t stepBound)
{
    std::fill(d.known.begin(), d.known.end(), kUnknown);
    d.steps += d.realCells;
    d.safeLeft = d.safeCells;
    d.solvedWhole = false;
    d.toExamine.clear();
    d.stuck.clear();
    std::fill(d.queued.begin(), d.queued.end(), 0);
    std::fill(d.isStuck.begin(), d.isStuck.end(), 0);
    Open(d, static_cast<std::uint32_t>(d.first));
    int moves = 0;
    while (d.safeLeft > 0) {
        SettleExamined(d);
        if (d.safeLeft == 0 || CompareStuckCounts(d))
            continue;
        if (d.steps >= stepBound)
            return false;
        const bool mayMove = moves < movesAllowed;
        if (!d.solvedWhole && mayMove && MoveStuckMines(d, true)) {
            ++moves;
            GoBackToWhatRulesProved(d);
            continue;
        }
        if (!d.solvedWhole)
            KeepWhatRulesProved(d);
        if (SolveWholePosition(d))
            continue;
        if (!mayMove || !MoveStuckMines(d, false))
            return false;
        ++moves;
        GoBackToWhatRulesProved(d);
    }
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
        if (ProveLayout(d, kMovesPerLayout, kStepBound))
            return BoardOf(d, true);
    }
    // None found: the first layout, fair and with the released cell free. Its mines moved before
    // the whole position was ever solved, so it may be proven as it is.
    d.mine = firstLayout;
    CountMines(d);
    return BoardOf(d, ProveLayout(d, 0, kNoStepBound));
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
