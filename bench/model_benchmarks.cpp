// The cost of a new game and of a first click that opens the board, on Expert and on levels of
// growing size with few mines: rectangles, and combs whose every second column is void, where
// zeros meet only across a gap. Then the solver on the positions that play reaches on every
// built-in level and on a 255 x 255 board, beside the model's own moves that reached them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "data/data_file.h"
#include "data/default_file.h"
#include "game/board.h"
#include "game/cell.h"
#include "game/rules.h"
#include "solver/solver.h"
#include "tests/reference_flood_fill.h"
#include "tests/test_files.h"

namespace {

constexpr int kExpert = 2;
constexpr int kFirstRectangle = 1;  // level records rewritten for the measurements
constexpr int kFirstComb = 5;
constexpr int kSpareRectangularLevel = 0;
constexpr int kSpareShapedLevel = kFirstShapedLevel;

struct MeasuredLevel {
    const char* label;
    int rows;
    int columns;
    int mines;
};

const MeasuredLevel kLevels[] = {
    {"Expert", 0, 0, 0},
    {"14x36 10 mines", 14, 36, 10},
    {"64x64 10 mines", 64, 64, 10},
    {"128x128 10 mines", 128, 128, 10},
    {"255x255 10 mines", 255, 255, 10},
    {"comb 32x32 10 mines", 32, 32, 10},
    {"comb 64x64 10 mines", 64, 64, 10},
    {"comb 128x128 10 mines", 128, 128, 10},
    {"comb 255x255 10 mines", 255, 255, 10},
};

void SetHeader(std::vector<std::uint8_t>& file, std::uint32_t record, const MeasuredLevel& level)
{
    file[record] = static_cast<std::uint8_t>(level.rows);
    file[record + 1] = static_cast<std::uint8_t>(level.columns);
    file[record + 2] = static_cast<std::uint8_t>(level.mines);
}

// The default file with a shaped level's record moved to the end and given a comb mask.
void AppendComb(std::vector<std::uint8_t>& file, const MeasuredLevel& level)
{
    const std::uint32_t oldRecord = RecordOffset(file, kSpareShapedLevel);
    const auto record = static_cast<std::uint32_t>(file.size());
    file.insert(file.end(), file.begin() + oldRecord, file.begin() + oldRecord + kRecordMask);
    SetRecordOffset(file, kSpareShapedLevel, record);
    SetHeader(file, record, level);
    for (int row = 0; row < level.rows; ++row)
        for (int column = 0; column < level.columns; ++column)
            file.push_back(column % 2 == 0 ? kPlayableCell : kVoidCell);
}

// Opens a data file that holds the measured level and makes it the current one; false after
// telling the benchmark why not.
bool OpenLevel(benchmark::State& state, const ScratchDirectory& directory)
{
    const auto index = static_cast<std::size_t>(state.range(0));
    const MeasuredLevel& level = kLevels[index];
    state.SetLabel(level.label);
    std::vector<std::uint8_t> file = DefaultDataFileBytes();
    LevelIndex = kExpert;
    if (index >= kFirstComb) {
        AppendComb(file, level);
        LevelIndex = kSpareShapedLevel;
    } else if (index >= kFirstRectangle) {
        SetHeader(file, RecordOffset(file, kSpareRectangularLevel), level);
        LevelIndex = kSpareRectangularLevel;
    }
    std::string problem;
    if (!OpenImageAsDataFile(directory, file, problem)) {
        state.SkipWithError(problem.c_str());
        return false;
    }
    return true;
}

void BM_NewGame(benchmark::State& state)
{
    ScratchDirectory directory;
    if (!OpenLevel(state, directory))
        return;
    std::uint32_t seed = 0;
    for (auto _ : state)
        NewGameWithSeed(nullptr, ++seed);
    CloseDataFile();
    state.counters["cells"] = static_cast<double>(GridSize());
}

std::size_t FirstCoveredZero()
{
    std::size_t index = 0;
    while (Board[index] != kCoveredZero)
        ++index;
    return index;
}

// Each round starts from the same fresh board; copying it back is part of the measured time
// (one pass over the board, small beside the click).
template <void (*UncoverCell)(PlatformWindow, std::uint32_t, std::uint32_t)> void BM_FirstClick(benchmark::State& state)
{
    ScratchDirectory directory;
    if (!OpenLevel(state, directory))
        return;
    NewGameWithSeed(nullptr, 1);
    CloseDataFile();
    const std::vector<std::uint8_t> fresh = Board;
    const std::size_t zero = FirstCoveredZero();
    const auto column = static_cast<std::uint32_t>(zero % Columns);
    const auto row = static_cast<std::uint32_t>(zero / Columns);
    for (auto _ : state) {
        Board = fresh;
        GameState = Idle;
        StartClock(nullptr);
        UncoverCell(nullptr, column, row);
        benchmark::DoNotOptimize(Board.data());
    }
    std::size_t uncovered = 0;
    for (std::size_t index = 0; index < GridSize(); ++index)
        uncovered += IsUncovered(Board[index]);
    state.counters["cells"] = static_cast<double>(GridSize());
    state.counters["uncovered"] = static_cast<double>(uncovered);
}

// The floor a first click is measured against: one look at every cell of the fresh board.
void BM_OnePass(benchmark::State& state)
{
    ScratchDirectory directory;
    if (!OpenLevel(state, directory))
        return;
    NewGameWithSeed(nullptr, 1);
    CloseDataFile();
    for (auto _ : state) {
        std::size_t hidden = 0;
        for (std::size_t index = 0; index < GridSize(); ++index)
            hidden += IsHidden(Board[index]);
        benchmark::DoNotOptimize(hidden);
    }
    state.counters["cells"] = static_cast<double>(GridSize());
}

void AllLevels(benchmark::internal::Benchmark* benchmark)
{
    benchmark->DenseRange(0, static_cast<int>(std::size(kLevels)) - 1)->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_NewGame)->Apply(AllLevels);
BENCHMARK(BM_OnePass)->Apply(AllLevels);
BENCHMARK(BM_FirstClick<Uncover>)->Name("BM_FirstClick")->Apply(AllLevels);
// The recursive original, for comparison: it sweeps the whole board once for every zero run it
// opens.
BENCHMARK(BM_FirstClick<ReferenceUncover>)->Name("BM_FirstClickRecursive")->Apply(AllLevels);

// The solver's boards: the eight built-in levels, then 255 x 255 rectangles with as many mines as a
// level can hold and with the 10 of the rows above.
constexpr int kFirstLargeBoard = kLevelCount;
const MeasuredLevel kLargeBoards[] = {
    {"255x255 255 mines", 255, 255, 255},
    {"255x255 10 mines", 255, 255, 10},
};
// Expert once more, its safe cells uncovered one by one in a random order without the floods of
// play: positions no game reaches, with groups far harder to count.
constexpr int kScatteredExpert = kFirstLargeBoard + static_cast<int>(std::size(kLargeBoards));
constexpr int kSolverGames = 10;

// One position and the move that reached it, with the board before the move.
struct PlayedMove {
    std::vector<std::uint8_t> before;
    CellPosition move;
    SeenPosition after;
};

const char* BoardLabel(int board)
{
    static const char* const kLevelNames[kLevelCount] = {"Beginner", "Intermediate", "Expert",    "Triangle",
                                                         "Star",     "Hexagon",      "Radiation", "Cross"};
    if (board == kScatteredExpert)
        return "Expert, cells uncovered one by one";
    return board < kFirstLargeBoard ? kLevelNames[board] : kLargeBoards[board - kFirstLargeBoard].label;
}

std::vector<std::size_t> HiddenSafeCells()
{
    std::vector<std::size_t> cells;
    for (std::size_t index = 0; index < GridSize(); ++index)
        if (IsHidden(Board[index]) && UncoveredValue(Board[index]) != kMine)
            cells.push_back(index);
    return cells;
}

// Games played by a player who never uncovers a mine: a left release on a random hidden safe
// cell, again and again, until none is left; every position on the way, as the player saw it.
std::vector<PlayedMove> PlayGames(benchmark::State& state, const ScratchDirectory& directory)
{
    const int board = static_cast<int>(state.range(0));
    state.SetLabel(BoardLabel(board));
    std::vector<std::uint8_t> file = DefaultDataFileBytes();
    LevelIndex = board == kScatteredExpert ? kExpert : board;
    if (board >= kFirstLargeBoard && board < kScatteredExpert) {
        SetHeader(file, RecordOffset(file, kSpareRectangularLevel), kLargeBoards[board - kFirstLargeBoard]);
        LevelIndex = kSpareRectangularLevel;
    }
    std::string problem;
    std::vector<PlayedMove> moves;
    if (!OpenImageAsDataFile(directory, file, problem)) {
        state.SkipWithError(problem.c_str());
        return moves;
    }
    std::mt19937 random(24);
    for (std::uint32_t seed = 1; seed <= kSolverGames; ++seed) {
        NewGameWithSeed(nullptr, seed);
        for (std::vector<std::size_t> safe = HiddenSafeCells(); !safe.empty(); safe = HiddenSafeCells()) {
            const std::size_t index = safe[random() % safe.size()];
            PlayedMove move{
                Board, {static_cast<std::uint32_t>(index % Columns), static_cast<std::uint32_t>(index / Columns)}, {}};
            StartClock(nullptr);
            if (board == kScatteredExpert)
                Board[index] = UncoveredValue(Board[index]);
            else
                Uncover(nullptr, move.move.column, move.move.row);
            move.after = SeenFromBoard();
            moves.push_back(std::move(move));
        }
    }
    CloseDataFile();
    return moves;
}

// Each round solves the next position; the slowest position alone and the share of answers
// that are estimates are counted apart, outside the timing.
void BM_Solver(benchmark::State& state)
{
    ScratchDirectory directory;
    const std::vector<PlayedMove> moves = PlayGames(state, directory);
    if (moves.empty())
        return;
    std::size_t next = 0;
    for (auto _ : state) {
        const MineChances chances = FindMineChances(moves[next].after);
        benchmark::DoNotOptimize(chances.chance.data());
        next = next + 1 == moves.size() ? 0 : next + 1;
    }
    // Processor time, the least of three runs, since the machine may be busy with other work.
    double slowest = 0.0;
    std::size_t approximate = 0;
    for (const PlayedMove& move : moves) {
        double least = 1e9;
        for (int run = 0; run < 3; ++run) {
            const std::clock_t start = std::clock();
            const bool estimated = FindMineChances(move.after).approximate;
            least = std::min(least, 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
            approximate += run == 0 && estimated;
        }
        slowest = std::max(slowest, least);
    }
    state.counters["positions"] = static_cast<double>(moves.size());
    state.counters["slowest_ms"] = slowest;
    state.counters["approximate"] = static_cast<double>(approximate);
}

// The floor: the model's own move that reached each position, from the board before it (copied
// back in the timing, one pass over the board).
void BM_SolverFloorMove(benchmark::State& state)
{
    ScratchDirectory directory;
    const std::vector<PlayedMove> moves = PlayGames(state, directory);
    if (moves.empty())
        return;
    const bool flood = state.range(0) != kScatteredExpert;
    std::size_t next = 0;
    for (auto _ : state) {
        Board = moves[next].before;
        GameState = Running;
        const CellPosition move = moves[next].move;
        if (flood)
            Uncover(nullptr, move.column, move.row);
        else
            CellAt(move.column, move.row) = UncoveredValue(CellAt(move.column, move.row));
        benchmark::DoNotOptimize(Board.data());
        next = next + 1 == moves.size() ? 0 : next + 1;
    }
    state.counters["positions"] = static_cast<double>(moves.size());
}

void SolverBoards(benchmark::internal::Benchmark* benchmark)
{
    benchmark->DenseRange(0, kScatteredExpert)->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Solver)->Apply(SolverBoards);
BENCHMARK(BM_SolverFloorMove)->Apply(SolverBoards);

}  // namespace

BENCHMARK_MAIN();
