#include "ui/probe_messages.h"

#include "ui/window_picture.h"

bool AnswerProbeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    static const UINT redrawAfresh = RegisterWindowMessageA(kRedrawAfreshMessageName);
    static const UINT menuItemText = RegisterWindowMessageA(kMenuItemTextMessageName);
    if (message == redrawAfresh) {
        RedrawPictureOnNextPaint(true);
        InvalidateRect(window, nullptr, FALSE);
        result = 0;
        return true;
    }
    if (message == menuItemText) {
        char text[256] = {};
        GetMenuStringA(reinterpret_cast<HMENU>(lParam), LOWORD(wParam), text, sizeof text, MF_BYCOMMAND);
        result = text[0] != '\0' ? GlobalAddAtomA(text) : 0;
        return true;
    }
    return false;
}
