// The cost of a new game and of a first click that opens the board, on Expert and on levels of
// growing size with few mines: rectangles, and combs whose every second column is void, where
// zeros meet only across a gap.
#include <benchmark/benchmark.h>

#include <iterator>
#include <string>
#include <vector>

#include "data/data_file.h"
#include "data/default_file.h"
#include "game/board.h"
#include "game/cell.h"
#include "game/rules.h"
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

}  // namespace

BENCHMARK_MAIN();
