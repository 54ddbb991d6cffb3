#include "ui/shape_area.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "game/cell.h"
#include "game/window_size.h"
#include "ui/draw.h"

namespace {

// Everything the area keeps, on its own window (GWLP_USERDATA).
struct ShapeArea {
    LevelOutline* outline = nullptr;
    bool paintable = false;
    ShapeScale scale{kSmallestRowPitch, 3, true};
    POINT scroll{0, 0};       // pixels of the drawing scrolled out at the left and the top
    POINT cursor{0, 0};       // the keyboard's triangle: x the column, y the row
    bool dragging = false;    // a button is held over the area
    bool toggling = false;    // the left button went down off the grid: the first triangle reached toggles
    std::uint8_t paintValue;  // what the held button paints: kPlayableCell or kVoidCell
    POINT lastPoint{0, 0};    // where the pointer was at the last move of the drag
    bool barsShown = false;   // the scroll bars are on: showing them again costs a frame's layout
};

constexpr int kMargin = 4;  // pixels around the drawing
const COLORREF kBackground = RGB(255, 255, 255);
const COLORREF kBoardFill = RGB(160, 160, 160);
const COLORREF kBoardEdge = RGB(64, 64, 64);
const COLORREF kVoidEdge = RGB(220, 220, 220);
const COLORREF kCursorEdge = RGB(220, 0, 0);

ShapeArea* AreaOf(HWND area)
{
    return reinterpret_cast<ShapeArea*>(GetWindowLongPtrA(area, GWLP_USERDATA));
}

// The step between columns at a row pitch: the game's triangles' proportions, at least 3 pixels.
int StepForPitch(int rowPitch)
{
    return std::max(3, (rowPitch * kColumnStep + kRowPitch / 2) / kRowPitch);
}

// The three corners of a triangle, in the area's client pixels.
void Corners(const ShapeArea& a, std::uint32_t column, std::uint32_t row, POINT corners[3])
{
    const int s = a.scale.columnStep;
    const int h = a.scale.rowPitch;
    const int left = kMargin + static_cast<int>(column) * s - a.scroll.x;
    const int top = kMargin + static_cast<int>(row) * h - a.scroll.y;
    const bool up = CellOrientation(column, row) == 0;
    corners[0] = POINT{left, up ? top + h - 1 : top};
    corners[1] = POINT{left + 2 * s, up ? top + h - 1 : top};
    corners[2] = POINT{left + s, up ? top : top + h - 1};
}

// The grid position under a client point; false off the grid.
bool HitTriangle(const ShapeArea& a, int x, int y, POINT& cell)
{
    const LevelOutline& o = *a.outline;
    const int s = a.scale.columnStep;
    const int h = a.scale.rowPitch;
    const int px = x + a.scroll.x - kMargin;
    const int py = y + a.scroll.y - kMargin;
    if (px < 0 || py < 0 || py >= static_cast<int>(o.rows) * h)
        return false;
    const int row = py / h;
    const double down = static_cast<double>(py - row * h) / h;  // 0 at the row's top, 1 at its bottom
    for (int column = px / s; column >= px / s - 1 && column >= 0; --column) {
        if (column >= static_cast<int>(o.columns))
            continue;
        const double across = std::abs(static_cast<double>(px - column * s) / s - 1.0);
        const bool up = CellOrientation(static_cast<std::uint32_t>(column), static_cast<std::uint32_t>(row)) == 0;
        if (across <= (up ? down : 1.0 - down)) {
            cell = POINT{column, row};
            return true;
        }
    }
    return false;
}

RECT TriangleBounds(const ShapeArea& a, POINT cell)
{
    POINT corners[3];
    Corners(a, static_cast<std::uint32_t>(cell.x), static_cast<std::uint32_t>(cell.y), corners);
    return RECT{corners[0].x - 1, std::min(corners[0].y, corners[2].y) - 1, corners[1].x + 2,
                std::max(corners[0].y, corners[2].y) + 2};
}

void InvalidateTriangle(HWND area, const ShapeArea& a, POINT cell)
{
    const RECT bounds = TriangleBounds(a, cell);
    InvalidateRect(area, &bounds, FALSE);
}

void DrawCursor(HDC dc, const ShapeArea& a)
{
    POINT corners[3];
    Corners(a, static_cast<std::uint32_t>(a.cursor.x), static_cast<std::uint32_t>(a.cursor.y), corners);
    const HPEN pen = CreatePen(PS_SOLID, 2, kCursorEdge);
    const HGDIOBJ oldPen = SelectObject(dc, pen);
    const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Polygon(dc, corners, 3);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

// A pixel of a 32-bit device-independent bitmap: 0x00RRGGBB.
std::uint32_t PixelOf(COLORREF colour)
{
    return static_cast<std::uint32_t>(GetRValue(colour)) << 16 | static_cast<std::uint32_t>(GetGValue(colour)) << 8 |
           GetBValue(colour);
}

// One pixel line of the triangles of one row, board or void, from the columns first to last; line
// counts from the row's top. The board's triangles are filled and outlined darker, the void ones
// only outlined lightly. pixels holds the line from x = left on, width pixels.
void DrawRowLine(const ShapeArea& a, int row, int line, int first, int last, bool board, int left, int width,
                 std::uint32_t* pixels)
{
    const LevelOutline& o = *a.outline;
    const int s = a.scale.columnStep;
    const int h = a.scale.rowPitch;
    const std::uint32_t edge = PixelOf(board ? kBoardEdge : kVoidEdge);
    const std::uint32_t fill = PixelOf(kBoardFill);
    for (int column = first; column <= last; ++column) {
        if ((o.cells[static_cast<std::size_t>(row) * o.columns + static_cast<std::size_t>(column)] != kVoidCell) !=
            board)
            continue;
        const bool up = CellOrientation(static_cast<std::uint32_t>(column), static_cast<std::uint32_t>(row)) == 0;
        const int half = up ? s * (line + 1) / h : s * (h - line) / h;  // as wide as the triangle at this line
        const int centre = kMargin + column * s + s - static_cast<int>(a.scroll.x) - left;
        const bool base = up ? line == h - 1 : line == 0;
        for (int x = std::max(0, centre - half); x <= std::min(width - 1, centre + half); ++x) {
            const bool onEdge = base || x == centre - half || x == centre + half;
            if (onEdge)
                pixels[x] = edge;
            else if (board)
                pixels[x] = fill;
        }
    }
}

// The rectangle to paint as a bitmap of its own, line by line, and only the rows and columns that
// meet it: a 255 x 255 grid is 65025 triangles, and a polygon each is far too slow.
void DrawGrid(HDC dc, const ShapeArea& a, const RECT& paint)
{
    const LevelOutline& o = *a.outline;
    const int s = a.scale.columnStep;
    const int h = a.scale.rowPitch;
    const int width = paint.right - paint.left;
    const int height = paint.bottom - paint.top;
    if (width <= 0 || height <= 0)
        return;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                                      PixelOf(kBackground));
    const int firstColumn = std::max<int>(0, (paint.left + static_cast<int>(a.scroll.x) - kMargin) / s - 2);
    const int lastColumn =
        std::min<int>(static_cast<int>(o.columns) - 1, (paint.right + static_cast<int>(a.scroll.x) - kMargin) / s + 1);
    for (int y = 0; y < height; ++y) {
        const int down = paint.top + y + static_cast<int>(a.scroll.y) - kMargin;
        if (down < 0 || down >= static_cast<int>(o.rows) * h)
            continue;
        std::uint32_t* line = pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        DrawRowLine(a, down / h, down % h, firstColumn, lastColumn, false, paint.left, width, line);
        DrawRowLine(a, down / h, down % h, firstColumn, lastColumn, true, paint.left, width, line);
    }
    BITMAPINFO info = TopDownBitmapInfo(width, height);
    SetDIBitsToDevice(dc, paint.left, paint.top, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                      static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
}

void PaintArea(HWND area)
{
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(area, &paint);
    const ShapeArea* a = AreaOf(area);
    if (a != nullptr && a->outline != nullptr && !a->outline->cells.empty()) {
        DrawGrid(dc, *a, paint.rcPaint);
        if (GetFocus() == area && a->paintable)
            DrawCursor(dc, *a);
    } else {
        const HBRUSH background = CreateSolidBrush(kBackground);
        FillRect(dc, &paint.rcPaint, background);
        DeleteObject(background);
    }
    EndPaint(area, &paint);
}

SIZE DrawingSize(const ShapeArea& a)
{
    return SIZE{static_cast<LONG>(a.outline->columns + 1) * a.scale.columnStep + 2 * kMargin,
                static_cast<LONG>(a.outline->rows) * a.scale.rowPitch + 2 * kMargin};
}

// Setting a bar costs Wine about ten milliseconds when it is drawn at once, so a layout sets its
// bars undrawn and draws them when the typing pauses (kBarsTimer); a scroll draws its bar at once.
constexpr UINT_PTR kBarsTimer = 1;
constexpr UINT kBarsDelay = 100;  // milliseconds

void SetBar(HWND area, int bar, int page, int size, LONG& position, BOOL drawNow = TRUE)
{
    position = std::max(0L, std::min<LONG>(position, std::max(0, size - page)));
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = size - 1;
    info.nPage = static_cast<UINT>(page);
    info.nPos = position;
    SetScrollInfo(area, bar, &info, drawNow);
}

void DrawBars(HWND area)
{
    KillTimer(area, kBarsTimer);
    SetWindowPos(area, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_DRAWFRAME);
}

// The scale that fits the area without its bars; where none does, the smallest with both bars.
void LayOut(HWND area, ShapeArea& a)
{
    if (a.outline == nullptr || a.outline->cells.empty())
        return;
    RECT window;
    GetWindowRect(area, &window);
    RECT client;
    GetClientRect(area, &client);
    const int edge = GetSystemMetrics(SM_CXEDGE) * 2;
    a.scale = ScaleForGrid(a.outline->rows, a.outline->columns, window.right - window.left - edge - 2 * kMargin,
                           window.bottom - window.top - edge - 2 * kMargin);
    if (a.barsShown == a.scale.fits) {
        ShowScrollBar(area, SB_BOTH, !a.scale.fits);
        a.barsShown = !a.scale.fits;
    }
    if (a.scale.fits)
        a.scroll = POINT{0, 0};
    GetClientRect(area, &client);
    const SIZE drawing = DrawingSize(a);
    if (!a.scale.fits) {
        SetBar(area, SB_HORZ, client.right, drawing.cx, a.scroll.x, FALSE);
        SetBar(area, SB_VERT, client.bottom, drawing.cy, a.scroll.y, FALSE);
        SetTimer(area, kBarsTimer, kBarsDelay, nullptr);
    }
    InvalidateRect(area, nullptr, TRUE);
}

void Scroll(HWND area, ShapeArea& a, int bar, WPARAM request)
{
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(area, bar, &info);
    const int line = bar == SB_HORZ ? a.scale.columnStep * 4 : a.scale.rowPitch * 2;
    int position = info.nPos;
    switch (LOWORD(request)) {
    case SB_LINELEFT:
        position -= line;
        break;
    case SB_LINERIGHT:
        position += line;
        break;
    case SB_PAGELEFT:
        position -= static_cast<int>(info.nPage);
        break;
    case SB_PAGERIGHT:
        position += static_cast<int>(info.nPage);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        position = info.nTrackPos;
        break;
    default:
        return;
    }
    LONG& kept = bar == SB_HORZ ? a.scroll.x : a.scroll.y;
    kept = position;
    SetBar(area, bar, static_cast<int>(info.nPage), info.nMax + 1, kept);
    InvalidateRect(area, nullptr, TRUE);
}

// Brings the cursor's triangle into view when the area scrolls.
void ScrollToCursor(HWND area, ShapeArea& a)
{
    if (a.scale.fits)
        return;
    RECT client;
    GetClientRect(area, &client);
    const RECT bounds = TriangleBounds(a, a.cursor);
    const POINT before = a.scroll;
    if (bounds.left < 0)
        a.scroll.x += bounds.left;
    else if (bounds.right > client.right)
        a.scroll.x += bounds.right - client.right;
    if (bounds.top < 0)
        a.scroll.y += bounds.top;
    else if (bounds.bottom > client.bottom)
        a.scroll.y += bounds.bottom - client.bottom;
    if (before.x == a.scroll.x && before.y == a.scroll.y)
        return;
    const SIZE drawing = DrawingSize(a);
    SetBar(area, SB_HORZ, client.right, drawing.cx, a.scroll.x);
    SetBar(area, SB_VERT, client.bottom, drawing.cy, a.scroll.y);
    InvalidateRect(area, nullptr, TRUE);
}

std::uint8_t& CellOf(ShapeArea& a, POINT cell)
{
    return a.outline->cells[static_cast<std::size_t>(cell.y) * a.outline->columns + static_cast<std::size_t>(cell.x)];
}

void NotifyChange(HWND area)
{
    SendMessageA(GetParent(area), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(area), kShapeChanged),
                 reinterpret_cast<LPARAM>(area));
}

// Paints one triangle; true when it changed.
bool PaintCell(HWND area, ShapeArea& a, POINT cell, std::uint8_t value)
{
    std::uint8_t& byte = CellOf(a, cell);
    if (byte == value)
        return false;
    byte = value;
    InvalidateTriangle(area, a, cell);
    return true;
}

void MoveCursorTo(HWND area, ShapeArea& a, POINT cell)
{
    InvalidateTriangle(area, a, a.cursor);
    a.cursor = cell;
    InvalidateTriangle(area, a, a.cursor);
    ScrollToCursor(area, a);
}

// Every triangle on the straight way from the last point of the drag to this one, so that a
// quick stroke leaves no gaps.
void PaintAlong(HWND area, ShapeArea& a, POINT to)
{
    const POINT from = a.lastPoint;
    const int distance = std::max(std::abs(to.x - from.x), std::abs(to.y - from.y));
    const int steps = std::max(1, distance);
    bool changed = false;
    bool reached = false;
    POINT cell{};
    POINT last{};
    for (int step = 1; step <= steps; ++step)
        if (HitTriangle(a, from.x + (to.x - from.x) * step / steps, from.y + (to.y - from.y) * step / steps, cell)) {
            if (a.toggling)
                a.paintValue = CellOf(a, cell) != kVoidCell ? kVoidCell : kPlayableCell;
            a.toggling = false;
            changed |= PaintCell(area, a, cell, a.paintValue);
            reached = true;
            last = cell;
        }
    a.lastPoint = to;
    if (reached)
        MoveCursorTo(area, a, last);  // the keys go on from the last triangle painted
    if (changed)
        NotifyChange(area);
}

// A left press toggles its triangle and paints what it took; a right press clears. A press off
// the grid paints from the first triangle that the stroke reaches.
void StartPainting(HWND area, ShapeArea& a, int x, int y, bool clearing)
{
    SetFocus(area);
    if (!a.paintable || a.outline == nullptr)
        return;
    a.dragging = true;
    a.toggling = !clearing;
    a.paintValue = kVoidCell;
    a.lastPoint = POINT{x, y};
    SetCapture(area);
    POINT cell{};
    if (!HitTriangle(a, x, y, cell))
        return;
    a.toggling = false;
    a.paintValue = clearing || CellOf(a, cell) != kVoidCell ? kVoidCell : kPlayableCell;
    MoveCursorTo(area, a, cell);
    if (PaintCell(area, a, cell, a.paintValue))
        NotifyChange(area);
}

void StopPainting(ShapeArea& a)
{
    if (!a.dragging)
        return;
    a.dragging = false;
    ReleaseCapture();
}

// The arrows (Ctrl: five triangles), Home and End move the cursor over every position of the
// grid, since a void one is where a new triangle goes; Space toggles the cursor's triangle.
void HandleKey(HWND area, ShapeArea& a, WPARAM key)
{
    if (!a.paintable || a.outline == nullptr)
        return;
    const int steps = GetKeyState(VK_CONTROL) < 0 ? 5 : 1;
    const int lastColumn = static_cast<int>(a.outline->columns) - 1;
    const int lastRow = static_cast<int>(a.outline->rows) - 1;
    POINT to = a.cursor;
    switch (key) {
    case VK_LEFT:
        to.x = std::max(0L, to.x - steps);
        break;
    case VK_RIGHT:
        to.x = std::min<LONG>(lastColumn, to.x + steps);
        break;
    case VK_UP:
        to.y = std::max(0L, to.y - steps);
        break;
    case VK_DOWN:
        to.y = std::min<LONG>(lastRow, to.y + steps);
        break;
    case VK_HOME:
        to.x = 0;
        break;
    case VK_END:
        to.x = lastColumn;
        break;
    case VK_SPACE:
        PaintCell(area, a, a.cursor, CellOf(a, a.cursor) == kVoidCell ? kPlayableCell : kVoidCell);
        NotifyChange(area);
        return;
    default:
        return;
    }
    MoveCursorTo(area, a, to);
}

LRESULT CALLBACK ShapeAreaProcedure(HWND area, UINT message, WPARAM wParam, LPARAM lParam)
{
    ShapeArea* a = AreaOf(area);
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrA(area, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new ShapeArea));
        break;
    case WM_NCDESTROY:
        delete a;
        SetWindowLongPtrA(area, GWLP_USERDATA, 0);
        break;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_PAINT:
        PaintArea(area);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        LayOut(area, *a);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateTriangle(area, *a, a->cursor);
        return 0;
    case WM_LBUTTONDOWN:
        StartPainting(area, *a, x, y, false);
        return 0;
    case WM_RBUTTONDOWN:
        StartPainting(area, *a, x, y, true);
        return 0;
    case WM_MOUSEMOVE:
        if (a->dragging)
            PaintAlong(area, *a, POINT{x, y});
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_CAPTURECHANGED:
        StopPainting(*a);
        return 0;
    case WM_KEYDOWN:
        HandleKey(area, *a, wParam);
        return 0;
    case WM_HSCROLL:
        Scroll(area, *a, SB_HORZ, wParam);
        return 0;
    case WM_VSCROLL:
        Scroll(area, *a, SB_VERT, wParam);
        return 0;
    case WM_TIMER:
        if (wParam == kBarsTimer)
            DrawBars(area);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(area, message, wParam, lParam);
}

}  // namespace

ShapeScale ScaleForGrid(std::uint32_t rows, std::uint32_t columns, int width, int height)
{
    for (int pitch = kRowPitch; pitch >= kSmallestRowPitch; --pitch) {
        const int step = StepForPitch(pitch);
        if (static_cast<long>(columns + 1) * step <= width && static_cast<long>(rows) * pitch <= height)
            return ShapeScale{pitch, step, true};
    }
    return ShapeScale{kSmallestRowPitch, StepForPitch(kSmallestRowPitch), false};
}

bool RegisterShapeArea(HINSTANCE instance)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ShapeAreaProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32515));  // IDC_CROSS
    windowClass.lpszClassName = kShapeAreaClass;
    return RegisterClassA(&windowClass) != 0;
}

void ShowOutline(HWND area, LevelOutline* outline, bool paintable)
{
    ShapeArea* a = AreaOf(area);
    StopPainting(*a);
    a->outline = outline;
    a->paintable = paintable;
    a->cursor = POINT{std::min<LONG>(a->cursor.x, static_cast<LONG>(outline->columns) - 1),
                      std::min<LONG>(a->cursor.y, static_cast<LONG>(outline->rows) - 1)};
    a->cursor = POINT{std::max(0L, a->cursor.x), std::max(0L, a->cursor.y)};
    LayOut(area, *a);
}
