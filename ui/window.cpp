#include "ui/window.h"

#include <algorithm>
#include <string>

#include "game/board.h"
#include "game/game_record.h"
#include "res/resource.h"
#include "ui/commands.h"
#include "ui/draw.h"
#include "ui/hint_key.h"
#include "ui/input.h"
#include "ui/keyboard.h"
#include "ui/options.h"
#include "ui/probe_messages.h"
#include "ui/shell.h"
#include "ui/window_picture.h"

static const char kWindowClassName[] = "Skarvel";
static const char kWindowTitle[] = "Skarvel";

bool RegisterMainWindowClass(HINSTANCE instance)
{
    WNDCLASSA windowClass{};
    windowClass.style = 0;  // no redraw on resize, no double clicks: a fast second click is a plain press
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APPLICATION_ICON));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDM_MAIN_MENU);
    windowClass.lpszClassName = kWindowClassName;
    return RegisterClassA(&windowClass) != 0;
}

// An overlapped window: the system gives it a caption whether or not the style names one.
static const DWORD kMainWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// Neither is declared by every set of headers, and older systems lack them.
using SetAwarenessContext = BOOL(WINAPI*)(HANDLE);
using GetWindowDpi = UINT(WINAPI*)(HWND);
using AdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
static const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4));
static const HANDLE kPerMonitorAware = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-3));
static const UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED

static UINT FrameDpi;  // the DPI of the monitor the window is sized for; 0 before one is known
static int SizeInForce = 1;    // the triangle size drawn: the one chosen, or less where it would not fit
static bool SizeFallbackTold;  // the player has heard that the size chosen does not fit
static const UINT kTellSizeFallback = WM_APP + 1;

template <typename Function> static Function User32Function(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

// Where per-monitor awareness is refused (older systems, Wine), the system's DPI serves.
void DeclareDpiAwareness()
{
    const auto setContext = User32Function<SetAwarenessContext>("SetProcessDpiAwarenessContext");
    if (setContext != nullptr && (setContext(kPerMonitorAwareV2) || setContext(kPerMonitorAware)))
        return;
    SetProcessDPIAware();
}

static UINT WindowDpi(HWND window)
{
    const auto dpiForWindow = User32Function<GetWindowDpi>("GetDpiForWindow");
    const UINT dpi = window != nullptr && dpiForWindow != nullptr ? dpiForWindow(window) : 0;
    return dpi > 0 ? dpi : SystemDpi();
}

static RECT WorkArea(HWND window)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    const HMONITOR on = window != nullptr ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                                          : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (GetMonitorInfoA(on, &monitor))
        return monitor.rcWork;
    RECT area{0, 0, ScreenWidth, ScreenHeight};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

static int DpiScale(UINT dpi)
{
    return std::max(1, static_cast<int>((dpi + kStandardDpi / 2) / kStandardDpi));
}

// Leaves DisplayScale at scale.
static bool WindowFits(int scale, DWORD style, std::uint32_t rows, std::uint32_t columns, const RECT& workArea)
{
    DisplayScale = scale;
    const WindowSize size = OuterWindowSize(style, rows, columns);
    return size.width <= workArea.right - workArea.left && size.height <= workArea.bottom - workArea.top;
}

// The DPI's whole number of window pixels per picture pixel times the triangle size chosen; where
// that would not fit the work area, the largest size that fits, and below the normal size the DPI's
// number lowered while the window would not fit.
static int ScaleToFit(UINT dpi, DWORD style, std::uint32_t rows, std::uint32_t columns, const RECT& workArea)
{
    FrameDpi = dpi;
    const int dpiScale = DpiScale(dpi);
    for (SizeInForce = ChosenTriangleSize; SizeInForce > 1; --SizeInForce)
        if (WindowFits(dpiScale * SizeInForce, style, rows, columns, workArea))
            return dpiScale * SizeInForce;
    int scale = dpiScale;
    for (; scale > 1; --scale)
        if (WindowFits(scale, style, rows, columns, workArea))
            break;
    return scale;
}

void ChooseDisplayScale(HWND window, DWORD style, std::uint32_t rows, std::uint32_t columns)
{
    DisplayScale = ScaleToFit(WindowDpi(window), style, rows, columns, WorkArea(window));
    if (window != nullptr && SizeInForce < ChosenTriangleSize && !SizeFallbackTold) {
        SizeFallbackTold = true;
        PostMessageA(window, kTellSizeFallback, 0, 0);
    }
}

// Told after the message that made the new game, so that the window is drawn behind it.
static void TellSizeFallback(HWND window)
{
    const std::string message = "The triangles cannot be drawn at " + std::to_string(ChosenTriangleSize) +
                                " times their size for this level on this screen: they are drawn at " +
                                std::to_string(SizeInForce) + " times, the largest that fits.";
    MessageBoxA(window, message.c_str(), "Skarvel", MB_OK | MB_ICONINFORMATION);
}

// Each size item is offered where the window would fit the screen with it; the size drawn is checked.
static void ShowSizeItems(HWND window)
{
    const HMENU menu = GetMenu(window);
    const auto style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    const RECT area = WorkArea(window);
    const int dpiScale = DpiScale(WindowDpi(window)), scale = DisplayScale;
    for (int size = 1; size <= kLargestTriangleSize; ++size) {
        const bool fits = size == 1 || WindowFits(dpiScale * size, style, Rows, Columns, area);
        EnableMenuItem(menu, static_cast<UINT>(CMD_NORMAL_SIZE + size - 1),
                       MF_BYCOMMAND | (fits ? MF_ENABLED : MF_GRAYED));
    }
    DisplayScale = scale;
    CheckMenuRadioItem(menu, CMD_NORMAL_SIZE, CMD_TRIPLE_SIZE, static_cast<UINT>(CMD_NORMAL_SIZE + SizeInForce - 1),
                       MF_BYCOMMAND);
}

// Moved to a monitor of another DPI: the window keeps the place the system suggests and takes the
// size of the new scale.
static void RefitToDpi(HWND window, WPARAM wParam, const RECT& suggested)
{
    const auto style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    DisplayScale = ScaleToFit(HIWORD(wParam), style, Rows, Columns, WorkArea(window));
    const WindowSize size = OuterWindowSize(style, Rows, Columns);
    SetWindowPos(window, nullptr, suggested.left, suggested.top, size.width, size.height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    RedrawPictureOnNextPaint(true);
    InvalidateRect(window, nullptr, TRUE);
}

WindowSize OuterWindowSize(DWORD style, std::uint32_t rows, std::uint32_t columns)
{
    const WindowSize client = ClientSizeFor(rows, columns);
    RECT frame{0, 0, client.width * DisplayScale, client.height * DisplayScale};
    // A per-monitor aware window's frame follows its monitor's DPI, not the system's.
    const auto adjustForDpi = User32Function<AdjustForDpi>("AdjustWindowRectExForDpi");
    if (FrameDpi == 0 || adjustForDpi == nullptr || !adjustForDpi(&frame, style, TRUE, 0, FrameDpi))
        AdjustWindowRectEx(&frame, style, TRUE, 0);
    return WindowSize{frame.right - frame.left, frame.bottom - frame.top};
}

HWND CreateMainWindow(HINSTANCE instance, std::uint32_t rows, std::uint32_t columns)
{
    ChooseDisplayScale(nullptr, kMainWindowStyle, rows, columns);
    const WindowSize size = OuterWindowSize(kMainWindowStyle, rows, columns);
    const PixelPoint position = CentredWindowPosition(ScreenWidth, ScreenHeight, size);
    return CreateWindowExA(0, kWindowClassName, kWindowTitle, kMainWindowStyle, position.x, position.y, size.width,
                           size.height, nullptr, nullptr, instance, nullptr);
}

// A game in the middle counts as left when the window closes.
static void CloseMainWindow(HWND window)
{
    EndPlayedGame(window, GameEnd::Left);
    DestroyWindow(window);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Once the game is released the window may live on until the message loop ends; it must not
    // reach the board or the data file then.
    if (IsGameReleased())
        return DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = 0;
    if (AnswerProbeMessage(window, message, wParam, lParam, result))
        return result;
    switch (message) {
    case WM_ERASEBKGND:
        return 1;  // the paint copies the picture over all of it
    case WM_PAINT:
        PaintWindow(window);
        return 0;
    case WM_CLOSE:
        CloseMainWindow(window);
        return 0;
    case WM_DESTROY:
        Shutdown();
        return 0;
    case WM_ENABLE:
        if (!wParam)
            ShowPictureBeforeDialog(window);
        return 0;
    case WM_COMMAND:
        HandleCommand(window, LOWORD(wParam));
        return 0;
    case WM_TIMER:
        HandleTimer(window);
        return 0;
    case WM_INITMENUPOPUP:
        NameLevelItems(window);
        ShowSameBoardItem(window);
        ShowSizeItems(window);
        return 0;
    case kTellSizeFallback:
        TellSizeFallback(window);
        return 0;
    case WM_MOUSEMOVE:
        if (!IsPlayKeyHeld())
            HandleMouseMove(window, wParam, PicturePixel(LOWORD(lParam)), PicturePixel(HIWORD(lParam)));
        return 0;
    case WM_KEYDOWN:
        if (wParam == 'H')
            HandleHintKey(window, lParam);
        else
            HandleKeyDown(window, wParam, lParam);
        return 0;
    case WM_KEYUP:
        HandleKeyUp(window, wParam);
        return 0;
    case WM_KILLFOCUS:
        HandleFocusLost(window);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_LBUTTONDOWN:
        HandleMousePressForCursor(window, PicturePixel(HIWORD(lParam)));
        HandleLeftButtonDown(window, PicturePixel(LOWORD(lParam)), PicturePixel(HIWORD(lParam)));
        return 0;
    case WM_LBUTTONUP:
        HandleLeftButtonUp(window, PicturePixel(LOWORD(lParam)), PicturePixel(HIWORD(lParam)));
        return 0;
    case WM_RBUTTONUP:
        HandleRightButtonUp(window, PicturePixel(LOWORD(lParam)), PicturePixel(HIWORD(lParam)));
        return 0;
    case kDpiChanged:
        RefitToDpi(window, wParam, *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_RBUTTONDOWN:
        HandleMousePressForCursor(window, PicturePixel(HIWORD(lParam)));
        HandleRightButtonDown();
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_MBUTTONDOWN:
        HandleMousePressForCursor(window, PicturePixel(HIWORD(lParam)));
        HandleMiddleButtonDown(window, wParam, PicturePixel(LOWORD(lParam)), PicturePixel(HIWORD(lParam)));
        return 0;
    case WM_MBUTTONUP:
        HandleMiddleButtonUp(window, wParam, PicturePixel(LOWORD(lParam)), PicturePixel(HIWORD(lParam)));
        return 0;
    case WM_CAPTURECHANGED:
        HandleLostCapture(window);
        return 0;
    case WM_CANCELMODE:
        HandleLostPress(window);
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
