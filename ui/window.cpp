#include "ui/window.h"

#include "res/resource.h"
#include "ui/commands.h"
#include "ui/draw.h"
#include "ui/input.h"
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

WindowSize OuterWindowSize(DWORD style, std::uint32_t rows, std::uint32_t columns)
{
    const WindowSize client = ClientSizeFor(rows, columns);
    RECT frame{0, 0, client.width, client.height};
    AdjustWindowRectEx(&frame, style, TRUE, 0);
    return WindowSize{frame.right - frame.left, frame.bottom - frame.top};
}

HWND CreateMainWindow(HINSTANCE instance, std::uint32_t rows, std::uint32_t columns)
{
    const WindowSize size = OuterWindowSize(kMainWindowStyle, rows, columns);
    const PixelPoint position = CentredWindowPosition(ScreenWidth, ScreenHeight, size);
    return CreateWindowExA(0, kWindowClassName, kWindowTitle, kMainWindowStyle, position.x, position.y, size.width,
                           size.height, nullptr, nullptr, instance, nullptr);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Once the game is released the window may live on until the message loop ends; it must not
    // reach the board or the data file then.
    if (IsGameReleased())
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        PaintWindow(window);
        return 0;
    case WM_DESTROY:
        Shutdown();
        return 0;
    case WM_COMMAND:
        HandleCommand(window, LOWORD(wParam));
        return 0;
    case WM_TIMER:
        HandleTimer(window);
        return 0;
    case WM_MOUSEMOVE:
        HandleMouseMove(window, wParam, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        HandleLeftButtonDown(window, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_LBUTTONUP:
        HandleLeftButtonUp(window, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_RBUTTONUP:
        HandleRightButtonUp(window, LOWORD(lParam), HIWORD(lParam));
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
