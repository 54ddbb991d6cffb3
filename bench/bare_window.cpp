// bare_window: the floor of the start-up benchmark. A window of Beginner's style and client size,
// with a one-line menu bar, centred on the screen like the game, whose client area is painted
// the covered cells' silver: all a program must do before it shows a board.
#include <windows.h>

static LRESULT CALLBACK BareWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        const HBRUSH silver = CreateSolidBrush(RGB(192, 192, 192));
        FillRect(dc, &paint.rcPaint, silver);
        DeleteObject(silver);
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = BareWindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "BareWindow";
    RegisterClassA(&windowClass);
    const HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_STRING, 1, "Game");
    AppendMenuA(menu, MF_STRING, 2, "Help");
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, 13 * 15 + 40, 7 * 26 + 46};  // Beginner's client area
    AdjustWindowRectEx(&frame, style, TRUE, 0);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const HWND window =
        CreateWindowExA(0, "BareWindow", "Bare", style, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                        (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, menu, instance, nullptr);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
