// The solver's exact step: how many assignments of one group of hidden cells agree with its
// counts, by number of mines, and each cell's share of them. Cells that touch the same counts are
// interchangeable, so they form one class whose number of mines is chosen at once; the classes
// are swept in an order that keeps few counts open, and a state of the sweep is the mines that
// the open counts still want. Forward, the sweep counts the ways to reach each state with each
// number of mines; backward, given how much each number of mines weighs with the rest of the
// board, it gives each class its chance.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

// Logarithms of numbers of placements: C(65025, 255) and the product of many groups' counts are
// far beyond a double, their logarithms are not. Zero ways is minus infinity.
constexpr double kNoWay = -std::numeric_limits<double>::infinity();

// One group: its cells numbered 0 to cells - 1 and its counts 0 to counts - 1.
struct GroupCounts {
    std::vector<std::uint32_t> cellCountsFirst;  // for each cell and one more: into cellCounts
    std::vector<std::uint32_t> cellCounts;       // each cell's counts, ascending
    std::vector<int> need;                       // for each count: the mines among its cells
    int mostMines = 0;                           // the mines there are to place
};

struct CellOdds {
    double chance;
    bool canBeSafe;  // in some assignment that weighs anything
    bool canBeMine;
};

struct SweepLayer {
    std::uint32_t width;        // counts open before the class: the bytes of a state
    std::uint32_t openFirst;    // in GroupSweep::open
    std::uint32_t keysFirst;    // in GroupSweep::keys
    std::uint32_t statesFirst;  // in GroupSweep::states
    std::uint32_t states;
    std::uint32_t edgesFirst;  // in GroupSweep::edges: the moves from this layer to the next
    std::uint32_t edges;
};

// A state's ways to be reached, one for each number of mines so far from fewest to most.
struct SweepState {
    int fewest;
    int most;
    std::size_t valuesFirst;  // in GroupSweep::forward and ::backward
};

struct SweepEdge {
    std::uint32_t from;
    std::uint32_t to;
    std::uint32_t mines;  // of the class
};

// Kept between calls, so that the solver allocates only when boards grow.
struct GroupSweep {
    std::vector<std::uint32_t> classSize;
    std::vector<std::uint32_t> classCellsFirst;
    std::vector<std::uint32_t> classCells;
    std::vector<std::uint32_t> classCountsFirst;
    std::vector<std::uint32_t> classCounts;
    std::vector<std::uint8_t> restAfter;    // beside classCounts: the count's cells in later classes
    std::vector<std::uint32_t> firstClass;  // for each count
    std::vector<std::uint32_t> lastClass;
    std::vector<SweepLayer> layers;
    std::vector<std::uint32_t> open;
    std::vector<std::uint8_t> keys;
    std::vector<SweepState> states;
    std::vector<double> forward;
    std::vector<double> backward;
    std::vector<SweepEdge> edges;
    std::vector<double> logWays;  // by the group's mines: log of its assignments, minus infinity for none
    bool tiny = false;            // a weight came near the smallest double: certainty is not claimed
    // Scratch.
    std::vector<std::int32_t> slots;
    std::vector<std::int32_t> place;
    std::vector<std::int32_t> nextPlace;
    std::vector<std::uint8_t> key;
    std::vector<std::uint32_t> cellOrder;
    std::vector<std::uint32_t> score;
    std::vector<std::uint8_t> placed;
    std::vector<std::uint32_t> candidates;
    std::vector<std::uint32_t> countClassesFirst;
    std::vector<std::uint32_t> countClasses;
    std::vector<std::uint32_t> sweepOrder;
};

// Gives back what a vector holds beyond twice its size, so that tables kept from call to call stay
// within what the last position needed.
template <typename T>
void FitToUse(std::vector<T>& values)
{
    if (values.capacity() > 2 * values.size())
        values.shrink_to_fit();
}

// FitToUse on every table of the sweep.
void FitSweep(GroupSweep& sweep);

// Counts the group's assignments into sweep.logWays. budget: units of work (one state's number
// of mines carried over one edge) left; false, with the budget spent, when it ran out first.
bool SweepForward(GroupSweep& sweep, const GroupCounts& group, std::uint64_t& budget);

// logOthers: for each number of the group's mines, the log of the ways the rest of the board can
// go with it (minus infinity for none). Fills odds for each cell of the group; false when some
// weight was too small for a double, so that chances near 0 or 1 prove nothing.
bool SweepBack(GroupSweep& sweep, const std::vector<double>& logOthers, std::vector<CellOdds>& odds);
