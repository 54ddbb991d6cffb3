// Looks into the running game from outside, for the end-to-end tests.
//   game_probe command ID   posts WM_COMMAND with ID to the main window, as its menu would
//   game_probe message [TITLE]  prints the text of the open message box with that title
//                           (the game's own title when none is given; "" for none)
//   game_probe dialog TITLE prints each control of the open dialog with that title, a line each:
//                           "ID LEFT TOP RIGHT BOTTOM TEXT", the rectangle in screen pixels, a
//                           static control's text as it shows it
//   game_probe place TITLE  prints where the open dialog with that title stands on the screen:
//                           "LEFT TOP RIGHT BOTTOM" in screen pixels
//   game_probe menu ID      prints the text of item ID of the open pop-up menu ("&&" for an "&"
//                           shown)
//   game_probe repaint      has the main window draw its picture afresh from the game and repaint
//                           its whole client area, and waits for it
//   game_probe client       prints the main window's client area: "LEFT TOP WIDTH HEIGHT" in screen
//                           pixels
//   game_probe settext TITLE ID HEX...  gives control ID of the open dialog with that title the text
//                           of the code points HEX... (below 0x10000), as a paste into it would
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ui/probe_messages.h"

static const char kTitle[] = "Skarvel";

static HWND MainWindow()
{
    const HWND window = FindWindowA("Skarvel", kTitle);
    if (window == nullptr)
        std::fprintf(stderr, "game_probe: no main window\n");
    return window;
}

static int PostCommand(const char* idText)
{
    const HWND window = MainWindow();
    if (window == nullptr)
        return 1;
    const auto id = static_cast<WORD>(std::strtoul(idText, nullptr, 10));
    if (PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0))
        return 0;
    std::fprintf(stderr, "game_probe: the command could not be posted (error %lu)\n", GetLastError());
    return 1;
}

// Not a plain invalidation, which would copy the window's kept picture again and so agree with it
// whatever is wrong in it. A message sent to the window returns only after the window has taken
// it, and the paint comes before the next one; the second send waits for that paint to end.
static int Repaint()
{
    const HWND window = MainWindow();
    if (window == nullptr)
        return 1;
    SendMessageA(window, RegisterWindowMessageA(kRedrawAfreshMessageName), 0, 0);
    SendMessageA(window, WM_NULL, 0, 0);
    SendMessageA(window, WM_NULL, 0, 0);
    return 0;
}

// Wine lets no process read another's menu texts: the game reads the open pop-up's item for us.
static int PrintMenuItemText(const char* idText)
{
    const HWND window = MainWindow();
    const HWND popup = FindWindowA("#32768", nullptr);
    if (window == nullptr || popup == nullptr || !IsWindowVisible(popup)) {
        std::fprintf(stderr, "game_probe: no open menu\n");
        return 1;
    }
    const LRESULT menu = SendMessageA(popup, MN_GETHMENU, 0, 0);
    const auto id = static_cast<WPARAM>(std::strtoul(idText, nullptr, 10));
    const auto atom =
        static_cast<ATOM>(SendMessageA(window, RegisterWindowMessageA(kMenuItemTextMessageName), id, menu));
    char text[256] = "";
    if (atom != 0) {
        GlobalGetAtomNameA(atom, text, sizeof text);
        GlobalDeleteAtom(atom);
    }
    std::printf("%s\n", text);
    return 0;
}

static BOOL CALLBACK PrintStaticText(HWND control, LPARAM)
{
    char className[32] = "";
    GetClassNameA(control, className, sizeof className);
    if (_stricmp(className, "Static") != 0)
        return TRUE;
    char text[4096] = "";
    // WM_GETTEXT rather than GetWindowTextA, which may not ask another process's control.
    SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    if (text[0] != '\0')
        std::printf("%s\n", text);
    return TRUE;
}

static int PrintMessageBoxText(const char* title)
{
    const HWND box = FindWindowA("#32770", title);
    if (box == nullptr) {
        std::fprintf(stderr, "game_probe: no message box\n");
        return 1;
    }
    EnumChildWindows(box, PrintStaticText, 0);
    return 0;
}

// Without SS_NOPREFIX a static control takes each "&" as the mark of the next character, the
// shortcut key, and shows "&&" as one "&".
static std::string ShownText(HWND control, const char* text)
{
    char className[32] = "";
    GetClassNameA(control, className, sizeof className);
    if (_stricmp(className, "Static") != 0 || (GetWindowLongA(control, GWL_STYLE) & SS_NOPREFIX) != 0)
        return text;
    std::string shown;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '&' && *++c == '\0')
            break;
        shown += *c;
    }
    return shown;
}

static BOOL CALLBACK PrintControl(HWND control, LPARAM)
{
    char text[4096] = "";
    SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    RECT place{};
    GetWindowRect(control, &place);
    std::printf("%d %ld %ld %ld %ld %s\n", GetDlgCtrlID(control), place.left, place.top, place.right, place.bottom,
                ShownText(control, text).c_str());
    return TRUE;
}

static int PrintDialogControls(const char* title)
{
    const HWND dialog = FindWindowA("#32770", title);
    if (dialog == nullptr) {
        std::fprintf(stderr, "game_probe: no dialog \"%s\"\n", title);
        return 1;
    }
    EnumChildWindows(dialog, PrintControl, 0);
    return 0;
}

static int PrintDialogPlace(const char* title)
{
    const HWND dialog = FindWindowA("#32770", title);
    RECT place{};
    if (dialog == nullptr || !GetWindowRect(dialog, &place)) {
        std::fprintf(stderr, "game_probe: no dialog \"%s\"\n", title);
        return 1;
    }
    std::printf("%ld %ld %ld %ld\n", place.left, place.top, place.right, place.bottom);
    return 0;
}

static int PrintClientArea()
{
    const HWND window = MainWindow();
    if (window == nullptr)
        return 1;
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
    return 0;
}

// For letters that xdotool can type only by remapping a key, which Wine now and then sees too late.
static int SetControlText(const char* title, const char* idText, int count, char** codePoints)
{
    const HWND dialog = FindWindowA("#32770", title);
    const HWND control = dialog != nullptr ? GetDlgItem(dialog, static_cast<int>(std::strtol(idText, nullptr, 10)))
                                           : nullptr;
    if (control == nullptr) {
        std::fprintf(stderr, "game_probe: no control %s in \"%s\"\n", idText, title);
        return 1;
    }
    std::wstring text;
    for (int i = 0; i < count; ++i)
        text += static_cast<wchar_t>(std::strtoul(codePoints[i], nullptr, 16));
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return 0;
}

int main(int argc, char** argv)
{
    // Screen pixels as they are, not scaled for a program unaware of the DPI.
    SetProcessDPIAware();
    if (argc == 2 && std::strcmp(argv[1], "client") == 0)
        return PrintClientArea();
    if (argc == 3 && std::strcmp(argv[1], "command") == 0)
        return PostCommand(argv[2]);
    if ((argc == 2 || argc == 3) && std::strcmp(argv[1], "message") == 0)
        return PrintMessageBoxText(argc == 3 ? argv[2] : kTitle);
    if (argc == 3 && std::strcmp(argv[1], "dialog") == 0)
        return PrintDialogControls(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "menu") == 0)
        return PrintMenuItemText(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "place") == 0)
        return PrintDialogPlace(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "repaint") == 0)
        return Repaint();
    if (argc >= 4 && std::strcmp(argv[1], "settext") == 0)
        return SetControlText(argv[2], argv[3], argc - 4, argv + 4);
    std::fprintf(stderr, "usage: game_probe command ID | game_probe message [TITLE] | game_probe dialog TITLE | "
                         "game_probe menu ID | game_probe place TITLE | game_probe repaint | game_probe client | "
                         "game_probe settext TITLE ID HEX...\n");
    return 2;
}
