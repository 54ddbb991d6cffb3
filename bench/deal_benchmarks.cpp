// The no-guess deal: a board dealt at the first release, proven by the solver. Each level is dealt
// for 1000 first releases (the games 0 to 999 made at time 0, each released on a random triangle);
// the mean, the 99th percentile and the slowest processor time of a deal are counted apart from
// the loop. The floors: the ordinary deal of the same level, and the solver playing the dealt board
// from its first release to its end.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>
#include <vector>

#include "data/data_check.h"
#include "data/default_file.h"
#include "game/board.h"
#include "game/cell.h"
#include "solver/deal.h"
#include "solver/player.h"

namespace {

constexpr int kReleases = 1000;

struct DealtLevel {
    const char* label;
    int level;  // a built-in level, or -1 for a rectangle of rows x columns
    std::uint32_t rows, columns, mines;
};

const DealtLevel kDealtLevels[] = {
    {"Beginner", 0, 0, 0, 0},
    {"Intermediate", 1, 0, 0, 0},
    {"Expert", 2, 0, 0, 0},
    {"Triangle", 3, 0, 0, 0},
    {"Star", 4, 0, 0, 0},
    {"Hexagon", 5, 0, 0, 0},
    {"Radiation", 6, 0, 0, 0},
    {"Cross", 7, 0, 0, 0},
    {"255x255 255 mines", -1, 255, 255, 255},
    {"7x13 88 mines, too dense", -1, 7, 13, 88},
    {"16x30 99 mines", -1, 16, 30, 99},
    {"16x30 120 mines", -1, 16, 30, 120},
};

LevelRecord RecordOf(const DealtLevel& dealt)
{
    LevelRecord record;
    if (dealt.level < 0) {
        record.rows = dealt.rows;
        record.columns = dealt.columns;
        record.mines = dealt.mines;
        record.grid.assign(static_cast<std::size_t>(dealt.rows) * dealt.columns, kPlayableCell);
        return record;
    }
    const std::vector<std::uint8_t> bytes = DefaultDataFileBytes();
    std::FILE* file = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    FindLevelProblems(file, "kelbo.dat", dealt.level, record);
    std::fclose(file);
    return record;
}

// The record of the level the benchmark's argument names, which labels its figures.
LevelRecord MeasuredRecord(benchmark::State& state)
{
    const DealtLevel& dealt = kDealtLevels[state.range(0)];
    state.SetLabel(dealt.label);
    return RecordOf(dealt);
}

struct Release {
    std::uint32_t seed;
    std::size_t first;
};

// The games 0 to 999 made at time 0 on the level, each released on a random triangle of it.
std::vector<Release> Releases(const LevelRecord& record)
{
    std::mt19937 random(1000);
    std::vector<Release> releases;
    for (std::uint32_t game = 0; game < kReleases; ++game) {
        std::size_t first = 0;
        do
            first = random() % record.grid.size();
        while (record.grid[first] == kVoidCell);
        releases.push_back(Release{NewGameSeed(0, game), first});
    }
    return releases;
}

double Milliseconds(std::clock_t start)
{
    return 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

void BM_Deal(benchmark::State& state)
{
    const LevelRecord record = MeasuredRecord(state);
    const std::vector<Release> releases = Releases(record);
    std::size_t next = 0;
    for (auto _ : state) {
        const Release& release = releases[next];
        const DealtBoard board =
            DealWithoutGuess(record.grid, record.columns, record.rows, record.mines, release.seed, release.first);
        benchmark::DoNotOptimize(board.cells.data());
        next = next + 1 == releases.size() ? 0 : next + 1;
    }
    std::vector<double> times;
    std::size_t proven = 0;
    for (const Release& release : releases) {
        const std::clock_t start = std::clock();
        proven += DealWithoutGuess(record.grid, record.columns, record.rows, record.mines, release.seed, release.first)
                      .proven;
        times.push_back(Milliseconds(start));
    }
    std::sort(times.begin(), times.end());
    double sum = 0.0;
    for (double time : times)
        sum += time;
    state.counters["mean_ms"] = sum / static_cast<double>(times.size());
    state.counters["p99_ms"] = times[times.size() * 99 / 100];
    state.counters["slowest_ms"] = times.back();
    state.counters["proven"] = static_cast<double>(proven);
}

// The floor: the ordinary deal of the same level, mines drawn as a new game draws them.
void BM_DealFloorOrdinary(benchmark::State& state)
{
    const LevelRecord record = MeasuredRecord(state);
    std::uint32_t game = 0;
    for (auto _ : state) {
        BuildBoard(record, NewGameSeed(0, game++));
        benchmark::DoNotOptimize(Board.data());
    }
}

// The other floor: the solver playing one dealt board from its first release to its end, as the
// player with H would, every position solved whole.
void BM_DealFloorSolverPlays(benchmark::State& state)
{
    const LevelRecord record = MeasuredRecord(state);
    const std::vector<Release> releases = Releases(record);
    std::size_t next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const Release& release = releases[next];
        BuildUndealtBoard(record);
        GameSeed = release.seed;
        AwaitingDeal = true;
        GameState = Idle;
        FlagsLeft = Mines;
        const CellPosition first{static_cast<std::uint32_t>(release.first % Columns),
                                 static_cast<std::uint32_t>(release.first / Columns)};
        DealOnFirstRelease(first.column, first.row);
        state.ResumeTiming();
        SolvedBoard played;
        SolveGame(&first, played);
        benchmark::DoNotOptimize(played.moves.data());
        next = next + 1 == releases.size() ? 0 : next + 1;
    }
}

void DealtLevels(benchmark::internal::Benchmark* benchmark)
{
    benchmark->DenseRange(0, static_cast<int>(std::size(kDealtLevels)) - 1)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Deal)->Apply(DealtLevels);
BENCHMARK(BM_DealFloorOrdinary)->Apply(DealtLevels);
BENCHMARK(BM_DealFloorSolverPlays)->Apply(DealtLevels)->Iterations(50);

}  // namespace
