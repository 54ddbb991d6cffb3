#include "ui/window.h"

#include "res/resource.h"
#include "ui/commands.h"
#include "ui/shell.h"

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

HWND CreateMainWindow(HINSTANCE instance, WindowSize size)
{
    const PixelPoint position = CentredWindowPosition(ScreenWidth, ScreenHeight, size);
    return CreateWindowExA(0, kWindowClassName, kWindowTitle, WS_SYSMENU | WS_MINIMIZEBOX, position.x, position.y,
                           size.width, size.height, nullptr, nullptr, instance, nullptr);
}

static void PaintWindow(HWND window)
{
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
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
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
