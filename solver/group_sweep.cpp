#include "solver/group_sweep.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Below this a weight is close enough to the smallest double that a product may have vanished.
constexpr double kTiny = 1e-280;
constexpr std::uint32_t kLargestClass = 12;  // a class lies inside a count's twelve neighbours

struct Choose {
    double table[kLargestClass + 1][kLargestClass + 1] = {};
    Choose()
    {
        for (std::uint32_t n = 0; n <= kLargestClass; ++n) {
            table[n][0] = 1.0;
            for (std::uint32_t k = 1; k <= n; ++k)
                table[n][k] = table[n - 1][k - 1] + (k < n ? table[n - 1][k] : 0.0);
        }
    }
};
const Choose kChoose;

std::uint32_t CellCountsSize(const GroupCounts& g, std::uint32_t cell)
{
    return g.cellCountsFirst[cell + 1] - g.cellCountsFirst[cell];
}

const std::uint32_t* CellCounts(const GroupCounts& g, std::uint32_t cell)
{
    return g.cellCounts.data() + g.cellCountsFirst[cell];
}

bool SameCounts(const GroupCounts& g, std::uint32_t a, std::uint32_t b)
{
    return CellCountsSize(g, a) == CellCountsSize(g, b) &&
           std::equal(CellCounts(g, a), CellCounts(g, a) + CellCountsSize(g, a), CellCounts(g, b));
}

// Cells with the same counts side by side in cellOrder; classCellsFirst marks where each class
// starts (in this order, before the sweep's).
void FindClasses(GroupSweep& s, const GroupCounts& g)
{
    const auto cells = static_cast<std::uint32_t>(g.cellCountsFirst.size() - 1);
    s.cellOrder.resize(cells);
    for (std::uint32_t cell = 0; cell < cells; ++cell)
        s.cellOrder[cell] = cell;
    std::sort(s.cellOrder.begin(), s.cellOrder.end(), [&](std::uint32_t a, std::uint32_t b) {
        return std::lexicographical_compare(CellCounts(g, a), CellCounts(g, a) + CellCountsSize(g, a), CellCounts(g, b),
                                            CellCounts(g, b) + CellCountsSize(g, b));
    });
    s.classCellsFirst.clear();
    for (std::uint32_t k = 0; k < cells; ++k)
        if (k == 0 || !SameCounts(g, s.cellOrder[k - 1], s.cellOrder[k]))
            s.classCellsFirst.push_back(k);
    s.classCellsFirst.push_back(cells);
}

std::uint32_t Representative(const GroupSweep& s, std::uint32_t cls)
{
    return s.cellOrder[s.classCellsFirst[cls]];
}

// For each count, the classes (in FindClasses' numbering) that it covers.
void LinkCountsToClasses(GroupSweep& s, const GroupCounts& g)
{
    const std::size_t classes = s.classCellsFirst.size() - 1;
    s.countClassesFirst.assign(g.need.size() + 1, 0);
    for (std::uint32_t cls = 0; cls < classes; ++cls)
        for (std::uint32_t k = 0; k < CellCountsSize(g, Representative(s, cls)); ++k)
            ++s.countClassesFirst[CellCounts(g, Representative(s, cls))[k] + 1];
    for (std::size_t c = 0; c < g.need.size(); ++c)
        s.countClassesFirst[c + 1] += s.countClassesFirst[c];
    s.countClasses.resize(s.countClassesFirst.back());
    s.place.assign(s.countClassesFirst.begin(), s.countClassesFirst.end() - 1);
    for (std::uint32_t cls = 0; cls < classes; ++cls)
        for (std::uint32_t k = 0; k < CellCountsSize(g, Representative(s, cls)); ++k)
            s.countClasses[static_cast<std::size_t>(s.place[CellCounts(g, Representative(s, cls))[k]]++)] = cls;
}

// The next class to sweep: the one with most counts already open, then with fewest counts to
// open, then the first.
std::size_t BestCandidate(const GroupSweep& s, const GroupCounts& g)
{
    std::size_t best = 0;
    for (std::size_t k = 1; k < s.candidates.size(); ++k) {
        const std::uint32_t a = s.candidates[k], b = s.candidates[best];
        const std::uint32_t newA = CellCountsSize(g, Representative(s, a)) - s.score[a];
        const std::uint32_t newB = CellCountsSize(g, Representative(s, b)) - s.score[b];
        if (s.score[a] > s.score[b] || (s.score[a] == s.score[b] && (newA < newB || (newA == newB && a < b))))
            best = k;
    }
    return best;
}

// A greedy order that grows from one end of the group and keeps the open counts few.
void OrderClasses(GroupSweep& s, const GroupCounts& g)
{
    const auto classes = static_cast<std::uint32_t>(s.classCellsFirst.size() - 1);
    s.score.assign(classes, 0);
    s.placed.assign(classes, 0);
    s.place.assign(g.need.size(), 0);  // here: whether a count is open
    s.candidates.clear();
    s.sweepOrder.clear();
    std::uint32_t start = 0;
    for (std::uint32_t cls = 1; cls < classes; ++cls)
        if (CellCountsSize(g, Representative(s, cls)) < CellCountsSize(g, Representative(s, start)))
            start = cls;
    s.candidates.push_back(start);
    while (!s.candidates.empty()) {
        const std::size_t best = BestCandidate(s, g);
        const std::uint32_t cls = s.candidates[best];
        s.candidates[best] = s.candidates.back();
        s.candidates.pop_back();
        s.placed[cls] = 1;
        s.sweepOrder.push_back(cls);
        for (std::uint32_t k = 0; k < CellCountsSize(g, Representative(s, cls)); ++k) {
            const std::uint32_t count = CellCounts(g, Representative(s, cls))[k];
            if (s.place[count])
                continue;
            s.place[count] = 1;
            for (std::uint32_t j = s.countClassesFirst[count]; j < s.countClassesFirst[count + 1]; ++j) {
                const std::uint32_t other = s.countClasses[j];
                if (!s.placed[other] && s.score[other]++ == 0)
                    s.candidates.push_back(other);
            }
        }
    }
}

// The classes in sweep order, with where each count opens and closes and how many of its cells
// are still to come after each class.
void LayOutClasses(GroupSweep& s, const GroupCounts& g)
{
    s.classSize.clear();
    s.classCells.clear();
    s.classCounts.clear();
    s.restAfter.clear();
    s.classCountsFirst.assign(1, 0);
    s.firstClass.assign(g.need.size(), 0);
    s.lastClass.assign(g.need.size(), 0);
    s.place.assign(g.need.size(), 0);  // here: the count's cells not yet swept
    for (std::uint32_t cls : s.sweepOrder)
        for (std::uint32_t k = 0; k < CellCountsSize(g, Representative(s, cls)); ++k)
            s.place[CellCounts(g, Representative(s, cls))[k]] +=
                static_cast<std::int32_t>(s.classCellsFirst[cls + 1] - s.classCellsFirst[cls]);
    for (std::uint32_t position = 0; position < s.sweepOrder.size(); ++position) {
        const std::uint32_t cls = s.sweepOrder[position];
        const std::uint32_t size = s.classCellsFirst[cls + 1] - s.classCellsFirst[cls];
        s.classSize.push_back(size);
        for (std::uint32_t k = s.classCellsFirst[cls]; k < s.classCellsFirst[cls + 1]; ++k)
            s.classCells.push_back(s.cellOrder[k]);
        for (std::uint32_t k = 0; k < CellCountsSize(g, Representative(s, cls)); ++k) {
            const std::uint32_t count = CellCounts(g, Representative(s, cls))[k];
            s.place[count] -= static_cast<std::int32_t>(size);
            s.classCounts.push_back(count);
            s.restAfter.push_back(static_cast<std::uint8_t>(s.place[count]));
            s.lastClass[count] = position;
        }
        s.classCountsFirst.push_back(static_cast<std::uint32_t>(s.classCounts.size()));
    }
    for (std::uint32_t position = static_cast<std::uint32_t>(s.sweepOrder.size()); position-- > 0;)
        for (std::uint32_t k = s.classCountsFirst[position]; k < s.classCountsFirst[position + 1]; ++k)
            s.firstClass[s.classCounts[k]] = position;
    s.classCellsFirst.assign(1, 0);
    for (std::uint32_t size : s.classSize)
        s.classCellsFirst.push_back(s.classCellsFirst.back() + size);
}

std::uint64_t HashKey(const std::uint8_t* key, std::uint32_t width)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (std::uint32_t k = 0; k < width; ++k)
        hash = (hash ^ key[k]) * 1099511628211ull;
    return hash;
}

void Rehash(GroupSweep& s, const SweepLayer& layer, std::size_t size)
{
    s.slots.assign(size, -1);
    for (std::uint32_t state = 0; state < layer.states; ++state) {
        const std::uint8_t* key = s.keys.data() + layer.keysFirst + static_cast<std::size_t>(state) * layer.width;
        std::size_t slot = HashKey(key, layer.width) & (size - 1);
        while (s.slots[slot] >= 0)
            slot = (slot + 1) & (size - 1);
        s.slots[slot] = static_cast<std::int32_t>(state);
    }
}

// The state of the layer with the key in s.key, added when new (with no ways yet).
std::uint32_t FindOrAddState(GroupSweep& s, SweepLayer& layer)
{
    const std::size_t size = s.slots.size();
    std::size_t slot = HashKey(s.key.data(), layer.width) & (size - 1);
    for (; s.slots[slot] >= 0; slot = (slot + 1) & (size - 1)) {
        const auto state = static_cast<std::uint32_t>(s.slots[slot]);
        if (layer.width == 0 ||
            std::memcmp(s.keys.data() + layer.keysFirst + static_cast<std::size_t>(state) * layer.width, s.key.data(),
                        layer.width) == 0)
            return state;
    }
    const std::uint32_t state = layer.states++;
    s.slots[slot] = static_cast<std::int32_t>(state);
    s.keys.insert(s.keys.end(), s.key.begin(), s.key.begin() + layer.width);
    s.states.push_back(SweepState{std::numeric_limits<int>::max(), -1, 0});
    if (2 * layer.states > size)
        Rehash(s, layer, 2 * size);
    return state;
}

// The open counts after class i: those before it that it does not close, then those it opens
// and does not close.
void OpenCountsAfter(GroupSweep& s, const SweepLayer& current, std::uint32_t i, SweepLayer& next)
{
    next.openFirst = static_cast<std::uint32_t>(s.open.size());
    for (std::uint32_t p = 0; p < current.width; ++p) {
        const std::uint32_t count = s.open[current.openFirst + p];
        s.place[count] = static_cast<std::int32_t>(p);
        if (s.lastClass[count] != i)
            s.open.push_back(count);
    }
    for (std::uint32_t k = s.classCountsFirst[i]; k < s.classCountsFirst[i + 1]; ++k) {
        const std::uint32_t count = s.classCounts[k];
        if (s.firstClass[count] == i && s.lastClass[count] != i)
            s.open.push_back(count);
    }
    next.width = static_cast<std::uint32_t>(s.open.size()) - next.openFirst;
    for (std::uint32_t p = 0; p < next.width; ++p)
        s.nextPlace[s.open[next.openFirst + p]] = static_cast<std::int32_t>(p);
}

// The key of the state that mines of class i lead to from the given state, in s.key; false when
// a count of the class can no longer be met.
bool NextKey(GroupSweep& s, const GroupCounts& g, const SweepLayer& current, const SweepLayer& next,
             std::uint32_t state, std::uint32_t i, std::uint32_t mines)
{
    const std::uint8_t* from = s.keys.data() + current.keysFirst + static_cast<std::size_t>(state) * current.width;
    const auto owed = [&](std::uint32_t count) {
        return s.place[count] >= 0 ? static_cast<int>(from[s.place[count]]) : g.need[count];
    };
    for (std::uint32_t p = 0; p < next.width; ++p)
        s.key[p] = static_cast<std::uint8_t>(owed(s.open[next.openFirst + p]));
    for (std::uint32_t k = s.classCountsFirst[i]; k < s.classCountsFirst[i + 1]; ++k) {
        const std::uint32_t count = s.classCounts[k];
        const int left = owed(count) - static_cast<int>(mines);
        if (left < 0 || left > s.restAfter[k])
            return false;
        if (s.lastClass[count] != i)
            s.key[static_cast<std::size_t>(s.nextPlace[count])] = static_cast<std::uint8_t>(left);
    }
    return true;
}

// Divides a layer's values by their largest, so that long sweeps stay within a double; the
// factor goes to scale. False when a value came near the smallest double.
bool Rescale(std::vector<double>& values, std::size_t first, std::size_t size, double* logScale)
{
    double largest = 0.0;
    for (std::size_t k = first; k < first + size; ++k)
        largest = std::max(largest, values[k]);
    if (largest == 0.0)
        return true;
    bool fine = true;
    for (std::size_t k = first; k < first + size; ++k) {
        values[k] /= largest;
        fine = fine && (values[k] == 0.0 || values[k] > kTiny);
    }
    if (logScale)
        *logScale += std::log(largest);
    return fine;
}

void ForgetPlaces(GroupSweep& s, const SweepLayer& layer)
{
    for (std::uint32_t p = 0; p < layer.width; ++p)
        s.place[s.open[layer.openFirst + p]] = -1;
}

std::size_t ValuesOfLayer(const GroupSweep& s, const SweepLayer& layer, std::size_t& first)
{
    if (layer.states == 0) {
        first = 0;
        return 0;
    }
    const SweepState& last = s.states[layer.statesFirst + layer.states - 1];
    first = s.states[layer.statesFirst].valuesFirst;
    return last.valuesFirst + static_cast<std::size_t>(last.most - last.fewest + 1) - first;
}

// The edges from class i's layer to the next, and each new state's numbers of mines.
bool FindEdges(GroupSweep& s, const GroupCounts& g, std::uint32_t i, SweepLayer& next, std::uint64_t& budget)
{
    const SweepLayer& current = s.layers[i];
    const std::uint32_t size = s.classSize[i];
    for (std::uint32_t state = 0; state < current.states; ++state) {
        const SweepState from = s.states[current.statesFirst + state];
        for (std::uint32_t mines = 0; mines <= size && from.fewest + static_cast<int>(mines) <= g.mostMines; ++mines) {
            if (!NextKey(s, g, current, next, state, i, mines))
                continue;
            const std::uint64_t work = static_cast<std::uint64_t>(from.most - from.fewest) + 1 + next.width;
            if (budget < work)
                return false;
            budget -= work;
            const std::uint32_t to = FindOrAddState(s, next);
            s.edges.push_back(SweepEdge{state, to, mines});
            SweepState& target = s.states[next.statesFirst + to];
            target.fewest = std::min(target.fewest, from.fewest + static_cast<int>(mines));
            target.most = std::max(target.most, std::min(from.most + static_cast<int>(mines), g.mostMines));
        }
    }
    return true;
}

// Sweeps class i: every state of its layer with every number of mines of the class.
// Where an edge reads and writes: the values of its two states, lined up by the mines
// before class i, and the range of those mines both states hold.
struct EdgeSpan {
    double ways;
    std::size_t fromValues;
    std::size_t toValues;
    int first;
    int last;
};

EdgeSpan SpanOfEdge(const GroupSweep& s, const SweepLayer& current, const SweepLayer& next,
                    std::uint32_t size, const SweepEdge& edge)
{
    const SweepState& from = s.states[current.statesFirst + edge.from];
    const SweepState& to = s.states[next.statesFirst + edge.to];
    return EdgeSpan{kChoose.table[size][edge.mines],
                    from.valuesFirst - static_cast<std::size_t>(from.fewest),
                    to.valuesFirst + edge.mines - static_cast<std::size_t>(to.fewest),
                    from.fewest,
                    std::min(from.most, to.most - static_cast<int>(edge.mines))};
}

bool SweepClass(GroupSweep& s, const GroupCounts& g, std::uint32_t i, std::uint64_t& budget, double& logScale)
{
    const std::uint32_t size = s.classSize[i];
    SweepLayer next{};
    OpenCountsAfter(s, s.layers[i], i, next);
    next.keysFirst = static_cast<std::uint32_t>(s.keys.size());
    next.statesFirst = static_cast<std::uint32_t>(s.states.size());
    s.key.resize(next.width);
    s.slots.assign(64, -1);
    s.layers[i].edgesFirst = static_cast<std::uint32_t>(s.edges.size());
    const bool withinBudget = FindEdges(s, g, i, next, budget);
    const SweepLayer& current = s.layers[i];
    ForgetPlaces(s, current);
    for (std::uint32_t p = 0; p < next.width; ++p)
        s.nextPlace[s.open[next.openFirst + p]] = -1;
    if (!withinBudget)
        return false;
    s.layers[i].edges = static_cast<std::uint32_t>(s.edges.size()) - current.edgesFirst;
    for (std::uint32_t state = 0; state < next.states; ++state) {
        SweepState& target = s.states[next.statesFirst + state];
        target.valuesFirst = s.forward.size();
        s.forward.resize(s.forward.size() + static_cast<std::size_t>(target.most - target.fewest + 1), 0.0);
    }
    for (std::uint32_t e = current.edgesFirst; e < current.edgesFirst + current.edges; ++e) {
        const EdgeSpan span = SpanOfEdge(s, current, next, size, s.edges[e]);
        for (int a = span.first; a <= span.last; ++a)
            s.forward[span.toValues + static_cast<std::size_t>(a)] +=
                s.forward[span.fromValues + static_cast<std::size_t>(a)] * span.ways;
    }
    std::size_t first = 0;
    const std::size_t values = ValuesOfLayer(s, next, first);
    s.tiny = !Rescale(s.forward, first, values, &logScale) || s.tiny;
    s.layers.push_back(next);
    return true;
}

}  // namespace

bool SweepForward(GroupSweep& s, const GroupCounts& g, std::uint64_t& budget)
{
    FindClasses(s, g);
    LinkCountsToClasses(s, g);
    OrderClasses(s, g);
    LayOutClasses(s, g);
    s.layers.assign(1, SweepLayer{0, 0, 0, 0, 1, 0, 0});
    s.states.assign(1, SweepState{0, 0, 0});
    s.open.clear();
    s.keys.clear();
    s.edges.clear();
    s.forward.assign(1, 1.0);
    s.tiny = false;
    s.place.assign(g.need.size(), -1);
    s.nextPlace.assign(g.need.size(), -1);
    double logScale = 0.0;
    for (std::uint32_t i = 0; i < s.classSize.size() && s.layers.back().states > 0; ++i)
        if (!SweepClass(s, g, i, budget, logScale)) {
            budget = 0;
            return false;
        }
    const SweepLayer& last = s.layers.back();
    s.logWays.assign(static_cast<std::size_t>(g.mostMines) + 1, kNoWay);
    if (s.layers.size() == s.classSize.size() + 1 && last.states == 1) {
        const SweepState& end = s.states[last.statesFirst];
        for (int a = end.fewest; a <= end.most; ++a) {
            const double ways = s.forward[end.valuesFirst + static_cast<std::size_t>(a - end.fewest)];
            if (ways > 0.0)
                s.logWays[static_cast<std::size_t>(a)] = std::log(ways) + logScale;
        }
    }
    return true;
}

namespace {

// The weight of each number of the group's mines, the largest 1.
bool SetLastLayerWeights(GroupSweep& s, const std::vector<double>& logOthers)
{
    const SweepState& end = s.states[s.layers.back().statesFirst];
    double largest = kNoWay;
    for (int a = end.fewest; a <= end.most; ++a)
        if (s.logWays[static_cast<std::size_t>(a)] != kNoWay)
            largest = std::max(largest, logOthers[static_cast<std::size_t>(a)]);
    bool fine = true;
    for (int a = end.fewest; a <= end.most; ++a) {
        const double others = logOthers[static_cast<std::size_t>(a)];
        const double weight = others == kNoWay ? 0.0 : std::exp(others - largest);
        fine = fine && (others == kNoWay || weight > kTiny || s.logWays[static_cast<std::size_t>(a)] == kNoWay);
        s.backward[end.valuesFirst + static_cast<std::size_t>(a - end.fewest)] = weight;
    }
    return fine;
}

// Class i's share of the weight with each number of its mines, and the backward values of
// layer i.
CellOdds SweepClassBack(GroupSweep& s, std::uint32_t i)
{
    const SweepLayer& current = s.layers[i];
    const SweepLayer& next = s.layers[i + 1];
    const std::uint32_t size = s.classSize[i];
    double weight = 0.0, mineWeight = 0.0;
    bool canBeSafe = false, canBeMine = false;
    for (std::uint32_t e = current.edgesFirst; e < current.edgesFirst + current.edges; ++e) {
        const SweepEdge edge = s.edges[e];
        const EdgeSpan span = SpanOfEdge(s, current, next, size, edge);
        double edgeWeight = 0.0;
        for (int a = span.first; a <= span.last; ++a) {
            const double after = s.backward[span.toValues + static_cast<std::size_t>(a)] * span.ways;
            s.backward[span.fromValues + static_cast<std::size_t>(a)] += after;
            edgeWeight += s.forward[span.fromValues + static_cast<std::size_t>(a)] * after;
        }
        if (edgeWeight > 0.0) {
            weight += edgeWeight;
            mineWeight += edgeWeight * edge.mines;
            canBeSafe = canBeSafe || edge.mines < size;
            canBeMine = canBeMine || edge.mines > 0;
        }
    }
    return CellOdds{weight > 0.0 ? mineWeight / weight / size : 0.0, canBeSafe, canBeMine};
}

}  // namespace

bool SweepBack(GroupSweep& s, const std::vector<double>& logOthers, std::vector<CellOdds>& odds)
{
    s.backward.assign(s.forward.size(), 0.0);
    bool fine = SetLastLayerWeights(s, logOthers) && !s.tiny;
    odds.resize(s.classCells.size());
    for (std::uint32_t i = static_cast<std::uint32_t>(s.classSize.size()); i-- > 0;) {
        const CellOdds classOdds = SweepClassBack(s, i);
        std::size_t first = 0;
        const std::size_t values = ValuesOfLayer(s, s.layers[i], first);
        fine = Rescale(s.backward, first, values, nullptr) && fine;
        for (std::uint32_t k = s.classCellsFirst[i]; k < s.classCellsFirst[i + 1]; ++k)
            odds[s.classCells[k]] = classOdds;
    }
    return fine;
}

void FitSweep(GroupSweep& s)
{
    FitToUse(s.classSize), FitToUse(s.classCellsFirst), FitToUse(s.classCells), FitToUse(s.classCountsFirst);
    FitToUse(s.classCounts), FitToUse(s.restAfter), FitToUse(s.firstClass), FitToUse(s.lastClass);
    FitToUse(s.layers), FitToUse(s.open), FitToUse(s.keys), FitToUse(s.states), FitToUse(s.forward);
    FitToUse(s.backward), FitToUse(s.edges), FitToUse(s.logWays), FitToUse(s.slots), FitToUse(s.place);
    FitToUse(s.nextPlace), FitToUse(s.key), FitToUse(s.cellOrder), FitToUse(s.score), FitToUse(s.placed);
    FitToUse(s.candidates), FitToUse(s.countClassesFirst), FitToUse(s.countClasses), FitToUse(s.sweepOrder);
}
