// draw_benchmark [RUNS]: the time of a repaint, the header and every cell drawn into a
// window-sized memory device context, on Expert and on a 255 x 255 level in the middle of a lost
// game (flags, crossed flags, numbers, mines and covered cells), on Expert with every cell covered
// (one icon a cell, no text), and on the part of the 255 x 255 level that a 1024 x 768 screen
// shows. Prints the median of RUNS.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "game/board.h"
#include "tests/windows/draw_harness.h"
#include "ui/draw.h"
#include "ui/geometry.h"
#include "ui/shell.h"

namespace {

void SetLostGame(std::uint32_t rows, std::uint32_t columns, bool allCovered)
{
    static const std::uint8_t states[] = {128, 131, 143, 32, 35, 47, 64, 0, 1, 2, 3, 4, 8, 10, 15};
    std::mt19937 random(1);
    SetBoard(rows, columns, 128);
    for (std::size_t i = 0; i < GridSize() && !allCovered; ++i)
        Board[i] = states[random() % sizeof states];
    GameState = Over;
    FlagsLeft = 12;
    ElapsedSeconds = 345;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency)
{
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// update: the part of the client area to repaint, from its top-left corner; 0 for all of it.
double MedianRepaint(int runs, SIZE update)
{
    const WindowSize client = ClientSizeFor(Rows, Columns);
    Canvas canvas = CreateCanvas(client.width, client.height);
    const RECT whole{0, 0, update.cx ? update.cx : client.width, update.cy ? update.cy : client.height};
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        FillWithBackground(canvas);
        QueryPerformanceCounter(&start);
        DrawWindowContents(canvas.dc, whole);
        GdiFlush();
        QueryPerformanceCounter(&end);
        times.push_back(Milliseconds(start, end, frequency));
    }
    DestroyCanvas(canvas);
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    LoadPictures(GetModuleHandleA(nullptr));
    const struct {
        const char* name;
        std::uint32_t rows, columns;
        bool allCovered;
        SIZE update;
    } levels[] = {
        {"Expert, fresh", 14, 36, true, {0, 0}},
        {"Expert, lost", 14, 36, false, {0, 0}},
        {"255 x 255, lost", 255, 255, false, {0, 0}},
        // What a window larger than a 1024 x 768 screen repaints: its visible part.
        {"255 x 255, 1024 x 768 of it", 255, 255, false, {1024, 768}},
    };
    for (const auto& level : levels) {
        SetLostGame(level.rows, level.columns, level.allCovered);
        const WindowSize client = ClientSizeFor(Rows, Columns);
        std::printf("%-28s %6u cells, client %d x %d: repaint %.2f ms (median of %d)\n", level.name,
                    level.rows * level.columns, client.width, client.height, MedianRepaint(runs, level.update), runs);
    }
    return 0;
}
