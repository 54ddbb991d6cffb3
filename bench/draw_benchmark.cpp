// draw_benchmark [RUNS]: the game's drawing in a real window under Wine, each figure the median of
// RUNS and, where there is one, beside its floor measured in the same run: a bare copy of a
// ready bitmap of the same size to the window.
//   - a full repaint of Expert into a memory device context, drawn as before the prepared bitmaps
//     (DrawIcon for every picture) and as now;
//   - a repaint of the whole window on Expert and on 1920 x 1080 of a 255 x 255 board;
//   - a left click on a zero that opens the whole 14 x 36 board with 10 mines, to the screen;
//   - the drawing of a new game on a 38 x 124 board (what a 1920 x 1080 screen holds);
//   - a repaint of Expert at scale 2;
//   - a click on a zero of a 255 x 255 board until the game would answer the next click.
// The boards are set by hand: the model's own cost of a new game is in model_benchmarks.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "data/level_edit.h"
#include "game/board.h"
#include "game/cell.h"
#include "game/file_replace.h"
#include "game/platform.h"
#include "ui/draw.h"
#include "ui/geometry.h"
#include "ui/input.h"
#include "ui/shape_area.h"
#include "ui/shell.h"
#include "ui/window.h"
#include "ui/window_picture.h"

namespace {

int Runs = 9;
HWND Window;

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void HandlePendingMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The median time of measured(), each run after prepare(), which is not timed.
double Median(const std::function<void()>& prepare, const std::function<void()>& measured)
{
    std::vector<double> times;
    for (int run = 0; run < Runs; ++run) {
        prepare();
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        measured();
        GdiFlush();
        QueryPerformanceCounter(&end);
        times.push_back(Milliseconds(start, end));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Nothing() {}

// Every cell covered but mines, whose count of neighbouring mines each cell keeps.
void SetFreshBoard(std::uint32_t rows, std::uint32_t columns, std::uint32_t mines)
{
    Rows = rows;
    Columns = columns;
    Board.assign(GridSize() + 1, kCoveredZero);
    std::mt19937 random(7);
    for (std::uint32_t placed = 0; placed < mines;) {
        std::uint8_t& cell = Board[random() % GridSize()];
        placed += cell != kCoveredMine;
        cell = kCoveredMine;
    }
    for (std::uint32_t row = 0; row < rows; ++row)
        for (std::uint32_t column = 0; column < columns; ++column) {
            std::uint8_t& cell = CellAt(column, row);
            if (cell != kCoveredMine)
                cell = static_cast<std::uint8_t>(kCoveredBase + CountNeighbours(kCoveredMine, column, row,
                                                                                CellIndex(column, row),
                                                                                CellOrientation(column, row)));
        }
    GameState = Idle;
    FlagsLeft = mines;
    ElapsedSeconds = 0;
}

// Every state a cell can show, at random, as after a loss.
void SetLostBoard(std::uint32_t rows, std::uint32_t columns)
{
    static const std::uint8_t states[] = {128, 131, 143, 32, 35, 47, 64, 0, 1, 2, 3, 4, 8, 10, 15};
    SetFreshBoard(rows, columns, 0);
    std::mt19937 random(1);
    for (std::size_t i = 0; i < GridSize(); ++i)
        Board[i] = states[random() % sizeof states];
    GameState = Over;
    FlagsLeft = 12;
    ElapsedSeconds = 345;
}

void RepaintWholeWindow()
{
    InvalidateRect(Window, nullptr, TRUE);
    UpdateWindow(Window);
}

void RedrawAndRepaint()
{
    RedrawPictureOnNextPaint(true);
    RepaintWholeWindow();
}

// Gives the window a client area of this size at the current scale and shows the board on it.
void ShowBoard(int clientWidth, int clientHeight)
{
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(Window, GWL_STYLE)), TRUE, 0);
    SetWindowPos(Window, HWND_TOP, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOCOPYBITS);
    HandlePendingMessages();
    RedrawAndRepaint();
    HandlePendingMessages();
}

void ShowBoardAtItsSize()
{
    const WindowSize client = ClientSizeFor(Rows, Columns);
    ShowBoard(client.width * DisplayScale, client.height * DisplayScale);
}

// The floor: a ready bitmap of the window's client size copied to it, through a device context of
// the window as any drawing outside WM_PAINT gets one.
double BareCopy()
{
    RECT client{};
    GetClientRect(Window, &client);
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, client.right, client.bottom, WHITENESS);
    const double time = Median(Nothing, [&] {
        const HDC windowDC = GetDC(Window);
        BitBlt(windowDC, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        ReleaseDC(Window, windowDC);
    });
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return time;
}

HDC BareSource;  // what the bare window's paint copies

LRESULT CALLBACK BareWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND)
        return 1;
    if (message != WM_PAINT)
        return DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    BitBlt(dc, paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right - paint.rcPaint.left,
           paint.rcPaint.bottom - paint.rcPaint.top, BareSource, paint.rcPaint.left, paint.rcPaint.top, SRCCOPY);
    EndPaint(window, &paint);
    return 0;
}

// The floor of a repaint through WM_PAINT: a window of the game window's size whose paint does no
// more than copy a ready bitmap.
double BareRepaint()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = BareWindowProcedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "BarePicture";
        RegisterClassA(&windowClass);
        registered = true;
    }
    RECT place{}, client{};
    GetWindowRect(Window, &place);
    GetClientRect(Window, &client);
    const HDC screen = GetDC(nullptr);
    BareSource = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    const HGDIOBJ old = SelectObject(BareSource, bitmap);
    PatBlt(BareSource, 0, 0, client.right, client.bottom, WHITENESS);
    const HWND bare = CreateWindowExA(0, "BarePicture", "Bare", WS_CAPTION | WS_SYSMENU, place.left, place.top,
                                      place.right - place.left, place.bottom - place.top, nullptr,
                                      LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(102)),
                                      GetModuleHandleA(nullptr), nullptr);
    ShowWindow(bare, SW_SHOWNORMAL);
    HandlePendingMessages();
    const double time = Median(Nothing, [&] {
        InvalidateRect(bare, nullptr, TRUE);
        UpdateWindow(bare);
    });
    DestroyWindow(bare);
    HandlePendingMessages();
    SelectObject(BareSource, old);
    DeleteObject(bitmap);
    DeleteDC(BareSource);
    return time;
}

void PrintAgainstFloor(const char* what, double time, double floor)
{
    RECT client{};
    GetClientRect(Window, &client);
    std::printf("%-44s %8.2f ms, bare copy of %ld x %ld %6.2f ms: %5.2f times\n", what, time, client.right,
                client.bottom, floor, time / floor);
}

// A repaint beside both floors: the bare copy and the bare window's repaint.
void PrintRepaint(const char* what, double time)
{
    PrintAgainstFloor(what, time, BareCopy());
    const double bare = BareRepaint();
    std::printf("%-44s %8s    bare window's repaint      %6.2f ms: %5.2f times\n", "", "", bare, time / bare);
}

void MeasureIconDrawing()
{
    SetLostBoard(14, 36);
    const WindowSize client = ClientSizeFor(Rows, Columns);
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.width, client.height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    const RECT whole{0, 0, client.width, client.height};
    auto draw = [&] { DrawWindowContents(memory, whole); };
    DrawWithIcons = true;
    const double icons = Median(Nothing, draw);
    DrawWithIcons = false;
    const double prepared = Median(Nothing, draw);
    std::printf("%-44s %8.2f ms, with DrawIcon as before %6.2f ms: %5.2f times faster\n",
                "Expert lost, every cell drawn off screen", prepared, icons, icons / prepared);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

void MeasureRepaint(const char* what)
{
    PrintRepaint(what, Median(Nothing, RepaintWholeWindow));
}

std::size_t FirstCoveredZero()
{
    std::size_t index = 0;
    while (Board[index] != kCoveredZero)
        ++index;
    return index;
}

LPARAM PointerAt(std::size_t index)
{
    const auto column = static_cast<std::uint32_t>(index % Columns), row = static_cast<std::uint32_t>(index / Columns);
    const PixelPoint anchor = CellAnchor(column, row);
    const int x = (anchor.x + 13) * DisplayScale,
              y = (anchor.y + (CellOrientation(column, row) == 0 ? 16 : 8)) * DisplayScale;
    return MAKELPARAM(x, y);
}

std::size_t UncoveredCells()
{
    return static_cast<std::size_t>(std::count_if(Board.begin(), Board.end() - 1, IsUncovered));
}

// Left button down and up on the first zero of the fresh board, until the window has it all.
void MeasureClickOnZero(const char* what, std::uint32_t rows, std::uint32_t columns, std::uint32_t mines)
{
    SetFreshBoard(rows, columns, mines);
    const std::vector<std::uint8_t> fresh = Board;
    ShowBoardAtItsSize();
    const LPARAM pointer = PointerAt(FirstCoveredZero());
    const double time = Median(
        [&] {
            Board = fresh;
            GameState = Idle;
            RedrawAndRepaint();
            HandlePendingMessages();
        },
        [&] {
            SendMessageA(Window, WM_LBUTTONDOWN, MK_LBUTTON, pointer);
            SendMessageA(Window, WM_LBUTTONUP, 0, pointer);
            HandlePendingMessages();
        });
    KillTimer(Window, kClockTimerId);
    RECT client{};
    GetClientRect(Window, &client);
    std::printf("%-44s %8.2f ms, %zu of %zu cells opened, client area %ld x %ld\n", what, time, UncoveredCells(),
                GridSize(), client.right, client.bottom);
}

void MeasureNewGame()
{
    SetFreshBoard(38, 124, 10);
    ShowBoardAtItsSize();
    const double time = Median([] { HandlePendingMessages(); },
                               [] {
                                   FitWindowToLevel(Window);
                                   RepaintWholeWindow();
                               });
    std::printf("%-44s %8.2f ms\n", "new game on 38 x 124, drawn to the screen", time);
}

}  // namespace

// The board maker's shape area at the size it has in the dialog (711 x 236 pixels): a whole
// repaint, a press that paints one triangle, an arrow that moves the cursor, and a change of the
// Rows field as the dialog makes it (the level checked, the grid copied, the area laid out and
// repainted). The aim is one frame at 120 Hz, 8 ms, for each.
void MeasureShapeArea(const char* what, std::uint32_t rows, std::uint32_t columns)
{
    LevelOutline outline = RectangleOutline(rows, columns);
    const HWND area = CreateWindowA(kShapeAreaClass, "", WS_POPUP | WS_BORDER | WS_VISIBLE, 0, 0, 713, 238, nullptr,
                                    nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowOutline(area, &outline, true);
    SetFocus(area);
    HandlePendingMessages();
    const auto repaint = [area] {
        InvalidateRect(area, nullptr, TRUE);
        UpdateWindow(area);
    };
    const auto press = [area] {
        SendMessageA(area, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 12));
        SendMessageA(area, WM_LBUTTONUP, 0, MAKELPARAM(20, 12));
        UpdateWindow(area);
    };
    const auto arrow = [area] {
        SendMessageA(area, WM_KEYDOWN, VK_RIGHT, 0);
        UpdateWindow(area);
    };
    // Each time a row more or less, as typing changes it, so that the area is laid out anew.
    bool shorter = false;
    const auto typedRows = [area, &outline, rows, columns, &shorter] {
        shorter = !shorter;
        LevelDefinition level{"Mine", 10, RectangleOutline(shorter ? rows - 1 : rows, columns)};
        std::string problem;
        CheckLevelToStore(7, level, "the shape drawn", problem);
        outline = level.outline;
        ShowOutline(area, &outline, true);
        UpdateWindow(area);
    };
    std::printf("%-44s %8.2f ms whole repaint, %.2f ms a press, %.2f ms an arrow, %.2f ms Rows typed\n", what,
                Median(Nothing, repaint), Median(Nothing, press), Median(Nothing, arrow), Median(Nothing, typedRows));
    DestroyWindow(area);
}

int main(int argc, char** argv)
{
    Runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
    RegisterMainWindowClass(instance);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    LoadPictures(instance);
    QueryPerformanceCounter(&end);
    ClearPressedCell();
    SetLostBoard(14, 36);
    Window = CreateMainWindow(instance, Rows, Columns);
    ShowWindow(Window, SW_SHOWNORMAL);
    std::printf("median of %d runs, screen %d x %d\n", Runs, ScreenWidth, ScreenHeight);
    std::printf("%-44s %8.2f ms, once\n", "start-up: pictures loaded and prepared", Milliseconds(start, end));

    MeasureIconDrawing();
    ShowBoardAtItsSize();
    MeasureRepaint("Expert lost, whole window repainted");
    SetLostBoard(255, 255);
    ShowBoard(1920, 1080);
    MeasureRepaint("255 x 255 lost, 1920 x 1080 repainted");
    const double redraw = Median(Nothing, RedrawAndRepaint);
    PrintAgainstFloor("255 x 255 lost, 1920 x 1080 drawn afresh", redraw, BareCopy());
    MeasureClickOnZero("click opening 14 x 36 with 10 mines", 14, 36, 10);
    MeasureNewGame();
    SetLostBoard(14, 36);
    DisplayScale = 2;
    ShowBoardAtItsSize();
    MeasureRepaint("Expert lost at scale 2, window repainted");
    DisplayScale = 1;
    MeasureClickOnZero("click on a zero of 255 x 255 with 10 mines", 255, 255, 10);
    RegisterShapeArea(instance);
    MeasureShapeArea("board maker's shape area, Expert", 14, 36);
    MeasureShapeArea("board maker's shape area, 255 x 255", 255, 255);
    DestroyWindow(Window);
    return 0;
}
