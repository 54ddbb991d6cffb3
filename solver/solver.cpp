#include "solver/solver.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "game/neighbours.h"
#include "solver/group_sweep.h"

namespace {

// Work is measured in steps of the sweep (see group_sweep.h), not in time, so that every machine
// gives the same answer. Each group has its own share, so that a group too hard to count is
// estimated (see EstimateGroup) without taking the budget of the groups after it. On the machine
// of docs/performance.md 600000 steps take about 5 ms, forward and backward; the hardest Expert
// position of the benchmark's games needs less than half.
constexpr std::uint64_t kGroupWork = 600000;
thread_local std::uint64_t GroupWork = kGroupWork;  // a test may make it smaller, see LimitSolverWork

enum CellState : std::uint8_t { kUndecided, kProvedSafe, kProvedMine };

// An uncovered count with hidden neighbours.
struct Count {
    int need;             // mines among its undecided cells
    int undecided;        // its cells not yet proved safe or a mine
    std::uint32_t first;  // its hidden cells in Work::countCells
    std::uint32_t size;
};

// Hidden cells next to counts, joined by the counts they share; no count reaches two groups.
struct Group {
    std::uint32_t first;  // its cells in Work::groupCells, in the order they are tried
    std::uint32_t size;
    std::int32_t part;  // an exact group's ways in Work::parts
    bool approximate;
};

struct LogSum {
    double max = kNoWay;
    double sum = 0.0;
    void Add(double x)
    {
        if (x == kNoWay)
            return;
        if (x <= max) {
            sum += std::exp(x - max);
        } else {
            sum = sum * std::exp(max - x) + 1.0;
            max = x;
        }
    }
    double Value() const { return max == kNoWay ? kNoWay : max + std::log(sum); }
};

// Numbers of placements by number of mines, as logarithms, for mine numbers first to first+size-1.
struct LogSeries {
    int first = 0;
    std::vector<double> logs;
    int Last() const { return first + static_cast<int>(logs.size()) - 1; }
    double At(int mines) const
    {
        return mines < first || mines > Last() ? kNoWay : logs[static_cast<std::size_t>(mines - first)];
    }
};

// Drops the impossible numbers at both ends, so that later sums skip them.
void Trim(LogSeries& series)
{
    std::size_t first = 0, last = series.logs.size();
    while (first < last && series.logs[first] == kNoWay)
        ++first;
    while (last > first && series.logs[last - 1] == kNoWay)
        --last;
    series.logs.erase(series.logs.begin() + static_cast<std::ptrdiff_t>(last), series.logs.end());
    series.logs.erase(series.logs.begin(), series.logs.begin() + static_cast<std::ptrdiff_t>(first));
    series.first += static_cast<int>(first);
}

// Kept from call to call so that a solver run on every move allocates only when a board grows.
struct Work {
    const SeenPosition* position = nullptr;
    std::vector<std::int32_t> hiddenOf;      // for each grid cell: its hidden index, or -1
    std::vector<std::uint32_t> hiddenCells;  // for each hidden cell: its grid index
    std::vector<std::uint8_t> state;         // for each hidden cell
    std::vector<Count> counts;
    std::vector<std::uint32_t> countCells;       // hidden indices
    std::vector<std::uint32_t> cellCountsFirst;  // for each hidden cell and one more: into cellCounts
    std::vector<std::uint32_t> cellCounts;       // count indices
    std::vector<std::uint32_t> queue;
    std::vector<std::uint8_t> queued;
    std::vector<std::uint32_t> changed;  // counts whose undecided cells changed, for the subset rule
    std::vector<std::uint32_t> comparing;
    std::uint64_t decisions = 0;
    std::vector<std::uint8_t> isChanged;
    std::vector<std::uint32_t> overlap;  // for each count: cells shared with the count looked at
    std::vector<std::uint32_t> touched;
    std::vector<std::int32_t> groupOf;  // for each hidden cell: its group, or -1
    std::vector<std::uint32_t> groupCells;
    std::vector<Group> groups;
    std::vector<LogSeries> parts;       // see Combined
    std::vector<double> estimate;       // for each hidden cell of an estimated group
    std::vector<GroupCounts> problems;  // for each group
    std::vector<GroupSweep> sweeps;
    std::vector<std::uint32_t> order;
    std::vector<std::uint32_t> localCounts;
    std::vector<std::int32_t> localOf;  // for each count: its number in the group being described
    std::vector<double> others;
    std::vector<CellOdds> odds;
    std::vector<CellOdds> proofs;
    int remainingMines = 0;       // mines not shown and not proved
    std::uint32_t freeCells = 0;  // undecided hidden cells next to no count
    std::uint64_t workLeft = 0;
};

bool IsCount(std::int8_t seen)
{
    return seen >= 0;
}

void IndexHiddenCells(Work& w)
{
    const std::vector<std::int8_t>& cells = w.position->cells;
    w.hiddenOf.assign(cells.size(), -1);
    w.hiddenCells.clear();
    for (std::size_t index = 0; index < cells.size(); ++index)
        if (IsSeenHidden(cells[index])) {
            w.hiddenOf[index] = static_cast<std::int32_t>(w.hiddenCells.size());
            w.hiddenCells.push_back(static_cast<std::uint32_t>(index));
        }
    w.state.assign(w.hiddenCells.size(), kUndecided);
}

// One constraint for each count with hidden neighbours; false when a count cannot be met.
bool ReadCounts(Work& w, std::uint32_t& minesShown)
{
    const std::vector<std::int8_t>& cells = w.position->cells;
    w.counts.clear();
    w.countCells.clear();
    minesShown = 0;
    for (std::size_t index = 0; index < cells.size(); ++index) {
        const std::int8_t seen = cells[index];
        minesShown += seen == kSeenMine;
        if (seen > 12 || (seen < 0 && seen != kSeenVoid && seen != kSeenMine && !IsSeenHidden(seen)))
            return false;
        if (!IsCount(seen))
            continue;
        int need = seen;
        const auto first = static_cast<std::uint32_t>(w.countCells.size());
        ForEachNeighbour(w.position->columns, w.position->rows, index, [&](std::size_t neighbour) {
            if (cells[neighbour] == kSeenMine)
                --need;
            else if (w.hiddenOf[neighbour] >= 0)
                w.countCells.push_back(static_cast<std::uint32_t>(w.hiddenOf[neighbour]));
        });
        const auto size = static_cast<std::uint32_t>(w.countCells.size()) - first;
        if (need < 0 || need > static_cast<int>(size))
            return false;
        if (size > 0)
            w.counts.push_back(Count{need, static_cast<int>(size), first, size});
    }
    return true;
}

void LinkCellsToCounts(Work& w)
{
    const std::size_t hidden = w.hiddenCells.size();
    w.cellCountsFirst.assign(hidden + 1, 0);
    for (std::uint32_t cell : w.countCells)
        ++w.cellCountsFirst[cell + 1];
    for (std::size_t cell = 0; cell < hidden; ++cell)
        w.cellCountsFirst[cell + 1] += w.cellCountsFirst[cell];
    w.cellCounts.resize(w.countCells.size());
    w.queue.assign(w.cellCountsFirst.begin(), w.cellCountsFirst.end() - 1);  // next free slot of each cell
    for (std::uint32_t count = 0; count < w.counts.size(); ++count) {
        const Count& c = w.counts[count];
        for (std::uint32_t k = c.first; k < c.first + c.size; ++k)
            w.cellCounts[w.queue[w.countCells[k]]++] = count;
    }
}

void Enqueue(Work& w, std::uint32_t count)
{
    if (!w.queued[count]) {
        w.queued[count] = 1;
        w.queue.push_back(count);
    }
    if (!w.isChanged[count]) {
        w.isChanged[count] = 1;
        w.changed.push_back(count);
    }
}

void Decide(Work& w, std::uint32_t cell, CellState state)
{
    w.state[cell] = state;
    ++w.decisions;
    for (std::uint32_t k = w.cellCountsFirst[cell]; k < w.cellCountsFirst[cell + 1]; ++k) {
        Count& c = w.counts[w.cellCounts[k]];
        --c.undecided;
        c.need -= state == kProvedMine;
        Enqueue(w, w.cellCounts[k]);
    }
}

// The cells of one count that are still undecided become state.
void DecideRest(Work& w, const Count& c, CellState state)
{
    for (std::uint32_t k = c.first; k < c.first + c.size; ++k)
        if (w.state[w.countCells[k]] == kUndecided)
            Decide(w, w.countCells[k], state);
}

// A count with no mine left to find frees its other cells; one with as many undecided cells as
// mines makes them all mines. False when a count can no longer be met.
bool ApplySimpleRules(Work& w)
{
    while (!w.queue.empty()) {
        const std::uint32_t count = w.queue.back();
        w.queue.pop_back();
        w.queued[count] = 0;
        const Count c = w.counts[count];
        if (c.need < 0 || c.need > c.undecided)
            return false;
        if (c.undecided > 0 && c.need == 0)
            DecideRest(w, c, kProvedSafe);
        else if (c.undecided > 0 && c.need == c.undecided)
            DecideRest(w, c, kProvedMine);
    }
    return true;
}

// The undecided cells of inner all lie among those of outer: outer's other cells hold the
// difference of their mines.
bool ApplySubset(Work& w, std::uint32_t inner, std::uint32_t outer)
{
    const Count a = w.counts[inner];
    const Count b = w.counts[outer];
    const int mines = b.need - a.need;
    const int cells = b.undecided - a.undecided;
    if (mines < 0 || mines > cells)
        return false;
    if (cells == 0 || (mines != 0 && mines != cells))
        return true;
    const auto rest = mines == 0 ? kProvedSafe : kProvedMine;
    for (std::uint32_t k = b.first; k < b.first + b.size; ++k) {
        const std::uint32_t cell = w.countCells[k];
        if (w.state[cell] != kUndecided)
            continue;
        bool inInner = false;
        for (std::uint32_t j = a.first; j < a.first + a.size; ++j)
            inInner = inInner || w.countCells[j] == cell;
        if (!inInner)
            Decide(w, cell, rest);
    }
    return true;
}

// Compares one changed count with every count that shares an undecided cell with it.
bool CompareWithNeighbours(Work& w, std::uint32_t count)
{
    const Count c = w.counts[count];
    if (c.undecided == 0)
        return true;
    w.touched.clear();
    for (std::uint32_t k = c.first; k < c.first + c.size; ++k) {
        const std::uint32_t cell = w.countCells[k];
        if (w.state[cell] != kUndecided)
            continue;
        for (std::uint32_t j = w.cellCountsFirst[cell]; j < w.cellCountsFirst[cell + 1]; ++j) {
            const std::uint32_t other = w.cellCounts[j];
            if (other != count && w.overlap[other]++ == 0)
                w.touched.push_back(other);
        }
    }
    // A decision makes the overlaps stale: the count is compared again once the simple rules
    // have run.
    const std::uint64_t decisionsBefore = w.decisions;
    bool sound = true;
    for (std::uint32_t other : w.touched) {
        const auto shared = static_cast<int>(w.overlap[other]);
        w.overlap[other] = 0;
        if (!sound || w.decisions != decisionsBefore)
            continue;
        if (shared == c.undecided)
            sound = ApplySubset(w, count, other);
        else if (shared == w.counts[other].undecided)
            sound = ApplySubset(w, other, count);
    }
    if (w.decisions != decisionsBefore)
        Enqueue(w, count);
    return sound;
}

// The simple rules and the subset rule, repeated until neither proves anything more.
bool Deduce(Work& w)
{
    const std::size_t counts = w.counts.size();
    w.queue.clear();
    w.queued.assign(counts, 0);
    w.isChanged.assign(counts, 0);
    w.overlap.assign(counts, 0);
    w.changed.clear();
    for (std::uint32_t count = 0; count < counts; ++count)
        Enqueue(w, count);
    // Cells that no deal of the game can reach are safe before anything is uncovered.
    for (std::uint32_t cell = 0; cell < w.hiddenCells.size(); ++cell)
        if (!CanHoldMine(*w.position, w.hiddenCells[cell]))
            Decide(w, cell, kProvedSafe);
    while (true) {
        if (!ApplySimpleRules(w))
            return false;
        if (w.changed.empty())
            return true;
        w.comparing.swap(w.changed);
        w.changed.clear();
        for (std::uint32_t count : w.comparing)
            w.isChanged[count] = 0;
        for (std::uint32_t count : w.comparing)
            if (!CompareWithNeighbours(w, count))
                return false;
    }
}

// Gathers the undecided cells joined to start through counts, breadth first, so that counts
// close soon after their first cell is tried.
void GatherGroup(Work& w, std::uint32_t start)
{
    const auto groupIndex = static_cast<std::int32_t>(w.groups.size());
    Group group{};
    group.first = static_cast<std::uint32_t>(w.groupCells.size());
    w.groupOf[start] = groupIndex;
    w.groupCells.push_back(start);
    for (std::size_t next = group.first; next < w.groupCells.size(); ++next) {
        const std::uint32_t cell = w.groupCells[next];
        for (std::uint32_t j = w.cellCountsFirst[cell]; j < w.cellCountsFirst[cell + 1]; ++j) {
            const Count& c = w.counts[w.cellCounts[j]];
            for (std::uint32_t k = c.first; k < c.first + c.size; ++k) {
                const std::uint32_t other = w.countCells[k];
                if (w.state[other] == kUndecided && w.groupOf[other] < 0) {
                    w.groupOf[other] = groupIndex;
                    w.groupCells.push_back(other);
                }
            }
        }
    }
    group.size = static_cast<std::uint32_t>(w.groupCells.size()) - group.first;
    w.groups.push_back(group);
}

bool TouchesUndecidedCount(const Work& w, std::uint32_t cell)
{
    for (std::uint32_t j = w.cellCountsFirst[cell]; j < w.cellCountsFirst[cell + 1]; ++j)
        if (w.counts[w.cellCounts[j]].undecided > 0)
            return true;
    return false;
}

void FindGroups(Work& w)
{
    w.groupOf.assign(w.hiddenCells.size(), -1);
    w.groupCells.clear();
    w.groups.clear();
    w.freeCells = 0;
    for (std::uint32_t cell = 0; cell < w.hiddenCells.size(); ++cell) {
        if (w.state[cell] != kUndecided || w.groupOf[cell] >= 0)
            continue;
        if (TouchesUndecidedCount(w, cell))
            GatherGroup(w, cell);
        else
            ++w.freeCells;
    }
}

// Too many assignments to count: each cell gets the chance that its counts give when their
// mines are spread evenly over their undecided cells, averaged over its counts. Adds the mean
// and the variance of its number of mines, as if its cells were independent.
void EstimateGroup(Work& w, Group& g, double& mean, double& variance)
{
    g.approximate = true;
    for (std::uint32_t i = 0; i < g.size; ++i) {
        const std::uint32_t cell = w.groupCells[g.first + i];
        double sum = 0.0;
        for (std::uint32_t j = w.cellCountsFirst[cell]; j < w.cellCountsFirst[cell + 1]; ++j) {
            const Count& c = w.counts[w.cellCounts[j]];
            sum += static_cast<double>(c.need) / c.undecided;
        }
        const double p = sum / (w.cellCountsFirst[cell + 1] - w.cellCountsFirst[cell]);
        w.estimate[cell] = p;
        mean += p;
        variance += p * (1.0 - p);
    }
}

// The estimated groups taken together as one, their number of mines spread as a bell around the
// mean: every number from 0 to the most they can hold stays possible, since none is disproved.
LogSeries EstimatedSeries(double mean, double variance, int most)
{
    LogSeries series;
    series.logs.resize(static_cast<std::size_t>(most) + 1);
    const double spread = 2.0 * std::max(variance, 0.25);
    for (int k = 0; k <= most; ++k)
        series.logs[static_cast<std::size_t>(k)] = -(k - mean) * (k - mean) / spread;
    return series;
}

// The group's cells numbered in its order and its counts as they are first met.
void DescribeGroup(Work& w, const Group& g, GroupCounts& problem)
{
    problem.cellCountsFirst.assign(1, 0);
    problem.cellCounts.clear();
    problem.need.clear();
    problem.mostMines = w.remainingMines;
    for (std::uint32_t i = 0; i < g.size; ++i) {
        const std::uint32_t cell = w.groupCells[g.first + i];
        for (std::uint32_t j = w.cellCountsFirst[cell]; j < w.cellCountsFirst[cell + 1]; ++j) {
            const std::uint32_t count = w.cellCounts[j];
            if (w.localOf[count] < 0) {
                w.localOf[count] = static_cast<std::int32_t>(problem.need.size());
                problem.need.push_back(w.counts[count].need);
                w.localCounts.push_back(count);
            }
            problem.cellCounts.push_back(static_cast<std::uint32_t>(w.localOf[count]));
        }
        std::sort(problem.cellCounts.begin() + problem.cellCountsFirst.back(), problem.cellCounts.end());
        problem.cellCountsFirst.push_back(static_cast<std::uint32_t>(problem.cellCounts.size()));
    }
    for (std::uint32_t count : w.localCounts)
        w.localOf[count] = -1;
    w.localCounts.clear();
}

// The ways of an exact group by its number of mines, from the fewest to the most it can hold.
LogSeries ExactSeries(const std::vector<double>& logWays)
{
    LogSeries series{0, logWays};
    Trim(series);
    return series;
}

// False when the group has no assignment that agrees with its counts.
// groupsLeft: this group and those still to count, which share what work is left.
bool CountGroup(Work& w, std::uint32_t index, std::uint64_t groupsLeft, double& mean, double& variance,
                int& estimatedCells)
{
    Group& g = w.groups[index];
    std::uint64_t budget = std::min(GroupWork, w.workLeft / groupsLeft);
    const std::uint64_t given = budget;
    if (budget > 0)
        DescribeGroup(w, g, w.problems[index]);
    const bool complete = budget > 0 && SweepForward(w.sweeps[index], w.problems[index], budget);
    w.workLeft -= given - budget;
    if (!complete) {
        EstimateGroup(w, g, mean, variance);
        estimatedCells += static_cast<int>(g.size);
        return true;
    }
    g.approximate = false;
    g.part = static_cast<std::int32_t>(w.parts.size());
    w.parts.push_back(ExactSeries(w.sweeps[index].logWays));
    return !w.parts.back().logs.empty();
}

// Counts the groups, smallest first, each with a share of what the smaller ones left; the
// estimated ones become one part. False when a group has no consistent assignment.
bool CountGroups(Work& w)
{
    w.parts.clear();
    w.localOf.assign(w.counts.size(), -1);
    w.localCounts.clear();
    w.estimate.resize(w.hiddenCells.size());
    w.workLeft = 2 * GroupWork;
    w.sweeps.resize(w.groups.size());
    w.problems.resize(w.groups.size());
    w.order.resize(w.groups.size());
    for (std::uint32_t g = 0; g < w.groups.size(); ++g)
        w.order[g] = g;
    std::stable_sort(w.order.begin(), w.order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return w.groups[a].size < w.groups[b].size; });
    double mean = 0.0, variance = 0.0;
    int estimatedCells = 0;
    for (std::size_t k = 0; k < w.order.size(); ++k)
        if (!CountGroup(w, w.order[k], w.order.size() - k, mean, variance, estimatedCells))
            return false;
    if (estimatedCells > 0)
        w.parts.push_back(EstimatedSeries(mean, variance, std::min(estimatedCells, w.remainingMines)));
    return true;
}

// Ways to place t mines on the groups before and a group's: the earlier ways times the group's,
// for t up to the mines there are.
LogSeries AddGroup(const LogSeries& before, const LogSeries& group, int mines)
{
    LogSeries sum;
    sum.first = before.first + group.first;
    const int last = std::min(before.Last() + group.Last(), mines);
    if (last < sum.first)
        return LogSeries{sum.first, {}};
    sum.logs.resize(static_cast<std::size_t>(last - sum.first + 1));
    for (int t = sum.first; t <= last; ++t) {
        LogSum ways;
        for (int k = group.first; k <= group.Last(); ++k)
            ways.Add(group.At(k) + before.At(t - k));
        sum.logs[static_cast<std::size_t>(t - sum.first)] = ways.Value();
    }
    Trim(sum);
    return sum;
}

// log C(n, k) for k = 0 to top.
std::vector<double> LogBinomials(std::uint32_t n, int top)
{
    std::vector<double> logs(static_cast<std::size_t>(std::max(top, 0)) + 1, 0.0);
    for (std::size_t k = 1; k < logs.size(); ++k)
        logs[k] = logs[k - 1] + std::log(static_cast<double>(n - k + 1)) - std::log(static_cast<double>(k));
    return logs;
}

constexpr double kLeastChance = std::numeric_limits<double>::min();

// A chance that was not proved stays off 0 and 1, however close rounding brought it.
double Unproved(double chance)
{
    return std::min(std::max(chance, kLeastChance), std::nextafter(1.0, 0.0));
}

// The parts are the exact groups and, when there are any, the estimated groups together.
struct Combined {
    std::vector<LogSeries> before;  // for each part and one more: ways of the parts before it
    std::vector<LogSeries> after;   // for each part and one more: ways of the mines left to it,
                                    // the later parts and the free cells, by the mines left
    std::vector<double> freeWays;   // log C(free cells, m)
    double total = kNoWay;          // log of every consistent placement
};

double FreeWays(const Work& w, const Combined& c, int mines)
{
    return mines < 0 || mines > static_cast<int>(w.freeCells) ? kNoWay : c.freeWays[static_cast<std::size_t>(mines)];
}

Combined CombineGroups(const Work& w)
{
    Combined c;
    const int mines = w.remainingMines;
    const std::size_t groups = w.parts.size();
    c.freeWays = LogBinomials(w.freeCells, std::min(mines, static_cast<int>(w.freeCells)));
    c.before.resize(groups + 1);
    c.before[0] = LogSeries{0, {0.0}};
    for (std::size_t g = 0; g < groups; ++g)
        c.before[g + 1] = AddGroup(c.before[g], w.parts[g], mines);
    c.after.resize(groups + 1);
    for (std::size_t g = groups + 1; g-- > 0;) {
        LogSeries& after = c.after[g];
        // The mines left to this group and those after it, given those placed before.
        after.first = std::max(mines - c.before[g].Last(), 0);
        const int last = mines - c.before[g].first;
        after.logs.assign(static_cast<std::size_t>(std::max(last - after.first + 1, 0)), kNoWay);
        const LogSeries& group = g < groups ? w.parts[g] : c.before[0];
        for (int m = after.first; m <= last; ++m) {
            double ways = FreeWays(w, c, m);
            if (g < groups) {
                LogSum sum;
                for (int k = group.first; k <= group.Last(); ++k)
                    sum.Add(group.At(k) + c.after[g + 1].At(m - k));
                ways = sum.Value();
            }
            after.logs[static_cast<std::size_t>(m - after.first)] = ways;
        }
        Trim(after);
    }
    c.total = c.after[0].At(mines);
    return c;
}

// For each number k of the group's mines: the ways of everything else given k, summed over the
// mines of the groups before it.
void WaysOfOthers(const Work& w, const Combined& c, std::size_t g, std::vector<double>& others)
{
    const LogSeries& before = c.before[g];
    const LogSeries& part = w.parts[g];
    for (std::size_t k = 0; k < others.size(); ++k) {
        others[k] = kNoWay;
        if (static_cast<int>(k) < part.first || static_cast<int>(k) > part.Last())
            continue;
        LogSum sum;
        for (int t = before.first; t <= before.Last(); ++t)
            sum.Add(before.At(t) + c.after[g + 1].At(w.remainingMines - static_cast<int>(k) - t));
        others[k] = sum.Value();
    }
}

// With a group estimated, the other mine numbers are not known to be impossible: only a cell
// that this group's own assignments never change is proved.
void ChancesOfExactGroup(Work& w, const Combined& c, std::size_t g, bool anyEstimate, MineChances& result)
{
    const Group& group = w.groups[g];
    GroupSweep& sweep = w.sweeps[g];
    w.others.resize(sweep.logWays.size());
    WaysOfOthers(w, c, static_cast<std::size_t>(group.part), w.others);
    const bool precise = SweepBack(sweep, w.others, w.odds);
    if (anyEstimate) {
        for (std::size_t k = 0; k < w.others.size(); ++k)
            w.others[k] = 0.0;
        SweepBack(sweep, w.others, w.proofs);
    }
    const std::vector<CellOdds>& proofs = anyEstimate ? w.proofs : w.odds;
    result.approximate = result.approximate || !precise;
    for (std::uint32_t i = 0; i < group.size; ++i) {
        const std::uint32_t cell = w.hiddenCells[w.groupCells[group.first + i]];
        const CellOdds& proof = proofs[i];
        const double chance = w.odds[i].chance;
        result.chance[cell] = precise && !proof.canBeMine ? 0.0 : precise && !proof.canBeSafe ? 1.0 : Unproved(chance);
    }
}

double FreeCellChance(const Work& w, const Combined& c, bool anyEstimate)
{
    const LogSeries& frontier = c.before[w.parts.size()];
    double chance = 0.0;
    bool alwaysSafe = true, alwaysMine = true;
    for (int t = frontier.first; t <= frontier.Last(); ++t) {
        const int rest = w.remainingMines - t;
        const double ways = frontier.At(t) + FreeWays(w, c, rest);
        if (ways == kNoWay)
            continue;
        alwaysSafe = alwaysSafe && rest == 0;
        alwaysMine = alwaysMine && rest == static_cast<int>(w.freeCells);
        chance += std::exp(ways - c.total) * rest / w.freeCells;
    }
    if (anyEstimate)
        return Unproved(chance);
    return alwaysSafe ? 0.0 : alwaysMine ? 1.0 : Unproved(chance);
}

bool FindChances(Work& w, MineChances& result)
{
    const Combined c = CombineGroups(w);
    if (c.total == kNoWay)
        return false;
    bool anyEstimate = false;
    for (const Group& group : w.groups)
        anyEstimate = anyEstimate || group.approximate;
    result.approximate = anyEstimate;
    for (std::size_t g = 0; g < w.groups.size(); ++g) {
        const Group& group = w.groups[g];
        if (!group.approximate) {
            ChancesOfExactGroup(w, c, g, anyEstimate, result);
            continue;
        }
        for (std::uint32_t i = 0; i < group.size; ++i) {
            const std::uint32_t hidden = w.groupCells[group.first + i];
            result.chance[w.hiddenCells[hidden]] = Unproved(w.estimate[hidden]);
        }
    }
    const double freeChance = w.freeCells > 0 ? FreeCellChance(w, c, anyEstimate) : 0.0;
    for (std::uint32_t hidden = 0; hidden < w.hiddenCells.size(); ++hidden) {
        const std::uint32_t cell = w.hiddenCells[hidden];
        if (w.state[hidden] != kUndecided)
            result.chance[cell] = w.state[hidden] == kProvedMine ? 1.0 : 0.0;
        else if (w.groupOf[hidden] < 0)
            result.chance[cell] = freeChance;
    }
    return true;
}

// No placement agrees with the counts: nothing is certain, and every hidden cell gets the share
// of the mines not shown.
void FillInconsistent(const SeenPosition& position, std::uint32_t minesShown, MineChances& result)
{
    result.consistent = false;
    std::size_t hidden = 0;
    for (std::int8_t seen : position.cells)
        hidden += IsSeenHidden(seen);
    const double left = position.mines > minesShown ? position.mines - minesShown : 0.0;
    for (std::size_t index = 0; index < position.cells.size(); ++index)
        if (IsSeenHidden(position.cells[index]))
            result.chance[index] = Unproved(left / static_cast<double>(hidden));
}

bool CountRemainingMines(Work& w, std::uint32_t minesShown)
{
    std::int64_t left = static_cast<std::int64_t>(w.position->mines) - minesShown;
    std::int64_t undecided = 0;
    for (std::uint8_t state : w.state) {
        left -= state == kProvedMine;
        undecided += state == kUndecided;
    }
    if (left < 0 || left > undecided)
        return false;
    w.remainingMines = static_cast<int>(left);
    return true;
}

// Tables grown for a large position are given back on the next, smaller one.
void FitWork(Work& w)
{
    FitToUse(w.hiddenOf), FitToUse(w.hiddenCells), FitToUse(w.state), FitToUse(w.counts);
    FitToUse(w.countCells), FitToUse(w.cellCountsFirst), FitToUse(w.cellCounts), FitToUse(w.queue);
    FitToUse(w.queued), FitToUse(w.changed), FitToUse(w.comparing), FitToUse(w.isChanged), FitToUse(w.overlap);
    FitToUse(w.touched), FitToUse(w.groupOf), FitToUse(w.groupCells), FitToUse(w.groups), FitToUse(w.parts);
    FitToUse(w.estimate), FitToUse(w.order), FitToUse(w.localCounts), FitToUse(w.localOf), FitToUse(w.others);
    FitToUse(w.odds), FitToUse(w.proofs);
    w.sweeps.resize(std::min(w.sweeps.size(), w.groups.size()));
    w.problems.resize(w.sweeps.size());
    FitToUse(w.sweeps), FitToUse(w.problems);
    for (GroupSweep& sweep : w.sweeps)
        FitSweep(sweep);
    for (GroupCounts& problem : w.problems)
        FitToUse(problem.cellCountsFirst), FitToUse(problem.cellCounts), FitToUse(problem.need);
}

}  // namespace

std::uint64_t LimitSolverWork(std::uint64_t groupWork)
{
    const std::uint64_t before = GroupWork;
    GroupWork = groupWork > 0 ? std::min(groupWork, kGroupWork) : kGroupWork;
    return before;
}

MineChances FindMineChances(const SeenPosition& position)
{
    static thread_local Work w;
    MineChances result;
    result.chance.assign(position.cells.size(), -1.0);
    if (position.cells.size() != static_cast<std::size_t>(position.columns) * position.rows) {
        result.consistent = false;
        return result;
    }
    w.position = &position;
    IndexHiddenCells(w);
    std::uint32_t minesShown = 0;
    bool sound = ReadCounts(w, minesShown);
    if (sound) {
        LinkCellsToCounts(w);
        sound = Deduce(w) && CountRemainingMines(w, minesShown);
    }
    if (sound) {
        FindGroups(w);
        sound = CountGroups(w);
        result.countingSteps = 2 * GroupWork - w.workLeft;
        sound = sound && FindChances(w, result);
    }
    if (!sound)
        FillInconsistent(position, minesShown, result);
    FitWork(w);
    w.position = nullptr;
    return result;
}
