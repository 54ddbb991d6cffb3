// The board maker's figures: 200 boards of a level played by the solver, then the same 200 dealt
// in the no-guess mode and played, as kelbo solve LEVEL --boards 200 [--no-guess] plays them. Each
// is timed once (processor time); the aim is half a second for both on every built-in level.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <vector>

#include "data/data_check.h"
#include "data/default_file.h"
#include "solver/level_figures.h"

namespace {

constexpr std::uint32_t kBoards = 200;

struct FiguresLevel {
    const char* label;
    int level;  // a built-in level, or -1 for a rectangle of 255 x 255
    std::uint32_t mines;
};

const FiguresLevel kFiguresLevels[] = {
    {"Beginner", 0, 0},  {"Intermediate", 1, 0}, {"Expert", 2, 0},
    {"Triangle", 3, 0},  {"Star", 4, 0},         {"Hexagon", 5, 0},
    {"Radiation", 6, 0}, {"Cross", 7, 0},        {"255x255 255 mines", -1, 255},
};

LevelRecord FiguresRecord(const FiguresLevel& measured)
{
    LevelRecord record;
    if (measured.level < 0) {
        record.rows = record.columns = 255;
        record.mines = measured.mines;
        record.grid.assign(255 * 255, kPlayableCell);
        return record;
    }
    const std::vector<std::uint8_t> bytes = DefaultDataFileBytes();
    std::FILE* file = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    FindLevelProblems(file, "kelbo.dat", measured.level, record);
    std::fclose(file);
    return record;
}

double Seconds(std::clock_t start)
{
    return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

void BM_Figures(benchmark::State& state)
{
    const FiguresLevel& measured = kFiguresLevels[state.range(0)];
    state.SetLabel(measured.label);
    const LevelRecord record = FiguresRecord(measured);
    const int level = measured.level < 0 ? 7 : measured.level;
    const auto goOn = [](std::uint32_t) { return true; };
    for (auto _ : state) {
        LevelFigures plain;
        LevelFigures dealt;
        std::uint32_t seed = 0;
        const std::clock_t start = std::clock();
        PlayLevelBoards(record, level, 0, kBoards, false, nullptr, goOn, plain, seed);
        state.counters["plain_ms"] = 1000.0 * Seconds(start);
        const std::clock_t dealing = std::clock();
        PlayLevelBoards(record, level, 0, kBoards, true, nullptr, goOn, dealt, seed);
        state.counters["no_guess_ms"] = 1000.0 * Seconds(dealing);
        state.counters["won"] = plain.won;
        state.counters["dealt_without_guess"] = dealt.dealtWithoutGuess;
    }
}
BENCHMARK(BM_Figures)->DenseRange(0, 8)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
