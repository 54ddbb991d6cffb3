#include "ui/draw.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/board.h"
#include "game/cell.h"
#include "game/cell_cursor.h"
#include "res/resource.h"
#include "ui/geometry.h"

UINT SystemDpi()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kStandardDpi;
}

BITMAPINFO TopDownBitmapInfo(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

namespace {

const COLORREF kPanelFill = RGB(4, 0, 0);
const COLORREF kPanelLine = RGB(0, 240, 240);
const COLORREF kCounterText = RGB(240, 240, 240);
const COLORREF kCounterBackground = RGB(0, 0, 0);
const COLORREF kCrossLine = RGB(255, 0, 0);
const COLORREF kLargeNumberText = RGB(0, 0, 0);
const COLORREF kCursorLine = RGB(128, 0, 255);  // no picture, count or mark has it
const COLORREF kSafeMarkLine = RGB(0, 140, 140);  // nor this

// Text colours of the counts 1 to 9. 8, 9 and the question mark are black, as they are when a click
// first shows them, whatever the device context held before: a full repaint once turned them the
// counters' light grey, hard to read on the grey triangle.
const COLORREF kCountColours[10] = {
    0, RGB(0, 0, 255), RGB(150, 0, 65), RGB(255, 36, 0), RGB(0, 255, 0), RGB(228, 255, 255), RGB(255, 0, 255),
    RGB(255, 255, 0), RGB(0, 0, 0), RGB(0, 0, 0),
};
const COLORREF kQuestionMarkText = RGB(0, 0, 0);
const std::uint8_t kLastSystemFontCount = 9;  // 10 and above take the variable-pitch font

const char kCounterBlank[] = "     ";

// Every picture side by side in one strip: a mask (white where the icon is transparent, black
// elsewhere) and a colour bitmap (black where transparent), both in 32-bit colour so that no
// device context's text and background colours take part in the copy.
HDC MaskStripDC;
HDC ColourStripDC;

struct StripPixels {
    HBITMAP bitmap;
    std::uint32_t* bits;  // top-down rows of 0x00RRGGBB
};

StripPixels CreateStrip()
{
    BITMAPINFO info = TopDownBitmapInfo(kPictureCount * kCellPictureSize, kCellPictureSize);
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    return StripPixels{bitmap, static_cast<std::uint32_t*>(bits)};
}

// One of an icon's two bitmaps as 32 x 32 pixels of 0x00RRGGBB; the mask's white reads 0x00FFFFFF.
std::vector<std::uint32_t> ReadIconBitmap(HBITMAP bitmap)
{
    std::vector<std::uint32_t> pixels(kCellPictureSize * kCellPictureSize);
    BITMAPINFO info = TopDownBitmapInfo(kCellPictureSize, kCellPictureSize);
    const HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, kCellPictureSize, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// DrawIcon ANDs the mask in and XORs the colour over it; where the mask keeps the background the
// colour is black in these pictures, so OR-ing the colour gives the same pixels.
void CopyIconToStrips(int picture, const StripPixels& mask, const StripPixels& colour)
{
    ICONINFO icon{};
    GetIconInfo(Pictures[picture], &icon);
    const std::vector<std::uint32_t> maskPixels = ReadIconBitmap(icon.hbmMask);
    const std::vector<std::uint32_t> colourPixels = ReadIconBitmap(icon.hbmColor);
    DeleteObject(icon.hbmMask);
    DeleteObject(icon.hbmColor);
    const int stride = kPictureCount * kCellPictureSize;
    for (int y = 0; y < kCellPictureSize; ++y)
        for (int x = 0; x < kCellPictureSize; ++x) {
            const std::size_t from = static_cast<std::size_t>(y * kCellPictureSize + x);
            const std::size_t to = static_cast<std::size_t>(y * stride + picture * kCellPictureSize + x);
            const std::uint32_t keep = maskPixels[from] & 0xFFFFFFu;
            mask.bits[to] = keep;
            colour.bits[to] = colourPixels[from] & ~keep & 0xFFFFFFu;
        }
}

HGDIOBJ LargeCountFont;  // counts 10 and above

// Once the program is DPI aware a stock font may grow with the screen's DPI, in height, in width
// or not at all (as measured under Wine: the system font in height alone); the picture is drawn
// at 96 DPI, so what grew is brought back. No stock font is below 11 pixels high at 96 DPI, nor
// narrower than a third of its height.
constexpr LONG kSmallestStockFontHeight = 11;

HGDIOBJ StockFontAt96Dpi(int stockFont)
{
    const int dpi = static_cast<int>(SystemDpi());
    if (dpi == static_cast<int>(kStandardDpi))
        return GetStockObject(stockFont);
    LOGFONTA font{};
    GetObjectA(GetStockObject(stockFont), sizeof font, &font);
    const LONG height = MulDiv(font.lfHeight, kStandardDpi, dpi);
    if (std::abs(height) >= kSmallestStockFontHeight)
        font.lfHeight = height;
    const LONG width = MulDiv(font.lfWidth, kStandardDpi, dpi);
    if (3 * width >= std::abs(font.lfHeight))
        font.lfWidth = width;
    return CreateFontIndirectA(&font);
}

// A DC holding the strip, which goes with it; null, with the strip deleted, when either cannot be made.
HDC StripDC(const StripPixels& strip)
{
    const HDC dc = strip.bits != nullptr ? CreateCompatibleDC(nullptr) : nullptr;
    if (dc == nullptr) {
        if (strip.bitmap != nullptr)
            DeleteObject(strip.bitmap);
        return nullptr;
    }
    SelectObject(dc, strip.bitmap);
    return dc;
}

void DrawPicture(HDC dc, Picture picture, std::int32_t x, std::int32_t y)
{
    if (DrawWithIcons) {
        DrawIcon(dc, x, y, Pictures[picture]);
        return;
    }
    const int left = static_cast<int>(picture) * kCellPictureSize;
    BitBlt(dc, x, y, kCellPictureSize, kCellPictureSize, MaskStripDC, left, 0, SRCAND);
    BitBlt(dc, x, y, kCellPictureSize, kCellPictureSize, ColourStripDC, left, 0, SRCPAINT);
}

void MarkCellDrawn(PixelPoint anchor)
{
    MarkDrawn(anchor.x, anchor.y, anchor.x + kCellPictureSize, anchor.y + kCellPictureSize);
}

// The counters' text and the button lie within the header's top lines.
void MarkHeaderDrawn()
{
    MarkDrawn(0, 0, ClientSizeFor(Rows, Columns).width, kBoardTop);
}

SIZE MeasureText(HDC dc, const std::string& text)
{
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

void DrawText(HDC dc, std::int32_t x, std::int32_t y, const std::string& text)
{
    TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

// A counter's text, centred on x = centre with its top edge on the counters' line.
void DrawCounterText(HDC dc, std::int32_t centre, const std::string& text)
{
    const SIZE size = MeasureText(dc, text);
    DrawText(dc, CentredTextLeft(centre, size.cx), LayoutHeader(Columns).counterTextTop, text);
}

void SetCounterColours(HDC dc)
{
    SetTextColor(dc, kCounterText);
    SetBkColor(dc, kCounterBackground);
}

void DrawMineCount(HDC dc)
{
    DrawCounterText(dc, LayoutHeader(Columns).mineCounterCentre, std::to_string(FlagsLeft));
}

void DrawElapsedSeconds(HDC dc)
{
    DrawCounterText(dc, LayoutHeader(Columns).clockCentre, std::to_string(ElapsedSeconds));
}

// The count of an uncovered cell, centred near the triangle's centroid.
void DrawCount(HDC dc, PixelPoint anchor, int orientation, std::uint8_t count)
{
    const std::string label = count == 0 ? std::string() : std::to_string(count);
    const SIZE size = MeasureText(dc, label);
    const std::int32_t centreY = anchor.y + (orientation == 0 ? 16 : 8);
    DrawText(dc, CentredTextLeft(anchor.x + 13, size.cx), centreY - size.cy / 2, label);
}

// The keyboard's cursor: a one-pixel triangle two pixels inside the edges that the raised and the
// flat pictures share, so that drawing the cell again wipes it out. Drawn under the cell's mark or
// count, which stay whole. Rows from the top of the picture; each side steps one pixel every two
// rows, as the pictures' edges do.
void DrawCursorOutline(HDC dc, PixelPoint anchor, int orientation)
{
    const HBRUSH line = CreateSolidBrush(kCursorLine);
    const auto dot = [&](int x, int top, int bottom) {
        const RECT pixel{anchor.x + x, anchor.y + top, anchor.x + x + 1, anchor.y + bottom + 1};
        FillRect(dc, &pixel, line);
    };
    const int base = orientation == 0 ? 22 : 2;
    const RECT baseLine{anchor.x + 4, anchor.y + base, anchor.x + 22, anchor.y + base + 1};
    FillRect(dc, &baseLine, line);
    for (int step = 0; step < 8; ++step) {
        const int top = orientation == 0 ? 5 + 2 * step : 17 - 2 * step;
        const int left = 12 - step;
        dot(left, top, top + 1);
        dot(25 - left, top, top + 1);
    }
    if (orientation == 0) {  // the up picture's last row above its base
        dot(4, 21, 21);
        dot(21, 21, 21);
    }
    DeleteObject(line);
}

void DrawUncoveredCell(HDC dc, PixelPoint anchor, int orientation, std::uint8_t value, bool outlined)
{
    DrawPicture(dc, orientation == 0 ? kUncoveredUpPicture : kUncoveredDownPicture, anchor.x, anchor.y);
    if (outlined)
        DrawCursorOutline(dc, anchor, orientation);
    if (value == kMine) {
        DrawPicture(dc, kMinePicture, anchor.x + 7, anchor.y + (orientation == 0 ? 11 : 3));
        return;
    }
    if (value <= kLastSystemFontCount) {
        if (value > 0)
            SetTextColor(dc, kCountColours[value]);
        DrawCount(dc, anchor, orientation, value);
        return;
    }
    const HGDIOBJ oldFont = SelectObject(dc, LargeCountFont);
    SetTextColor(dc, kLargeNumberText);
    DrawCount(dc, anchor, orientation, value);
    SelectObject(dc, oldFont);
}

// A flag on a safe cell, shown once the game is over. Each line stops one pixel short of its end.
void CrossOut(HDC dc, PixelPoint anchor)
{
    const HPEN red = CreatePen(PS_SOLID, 2, kCrossLine);
    const HGDIOBJ oldPen = SelectObject(dc, red);
    MoveToEx(dc, anchor.x + 7, anchor.y + 6, nullptr);
    LineTo(dc, anchor.x + 19, anchor.y + 18);
    MoveToEx(dc, anchor.x + 19, anchor.y + 6, nullptr);
    LineTo(dc, anchor.x + 7, anchor.y + 18);
    SelectObject(dc, oldPen);
    DeleteObject(red);
}

// A ring inside the triangle that a lost game's H found certainly safe, around its centre.
void DrawSafeMark(HDC dc, PixelPoint anchor, int orientation)
{
    const HPEN ring = CreatePen(PS_SOLID, 2, kSafeMarkLine);
    const HGDIOBJ oldPen = SelectObject(dc, ring);
    const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    const std::int32_t centreY = anchor.y + (orientation == 0 ? 16 : 8);
    Ellipse(dc, anchor.x + 8, centreY - 5, anchor.x + 19, centreY + 6);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(ring);
}

void DrawHiddenCell(HDC dc, PixelPoint anchor, int orientation, std::uint8_t b, bool outlined, bool markedSafe)
{
    DrawPicture(dc, orientation == 0 ? kCoveredUpPicture : kCoveredDownPicture, anchor.x, anchor.y);
    if (outlined)
        DrawCursorOutline(dc, anchor, orientation);
    if (markedSafe)
        DrawSafeMark(dc, anchor, orientation);
    if (IsFlagged(b)) {
        DrawPicture(dc, kFlagPicture, anchor.x + (orientation == 0 ? 6 : 8), anchor.y + (orientation == 0 ? 11 : 3));
        if (GameState == Over && b != kFlaggedMine)
            CrossOut(dc, anchor);
    } else if (IsQuestionMarked(b)) {
        SetTextColor(dc, kQuestionMarkText);
        DrawText(dc, anchor.x + 8, anchor.y + (orientation == 0 ? 7 : 1), "?");
    }
}

// A count from 1 up or a question mark.
bool ShowsText(std::uint8_t b)
{
    return IsUncovered(b) ? b != 0 && b != kMine : IsQuestionMarked(b);
}

void DrawHeaderPanel(HDC dc, const HeaderLayout& header)
{
    const HBRUSH fill = CreateSolidBrush(kPanelFill);
    const HPEN wideLine = CreatePen(PS_SOLID, 2, kPanelLine);
    const HPEN thinLine = CreatePen(PS_SOLID, 1, kPanelLine);
    const HGDIOBJ oldBrush = SelectObject(dc, fill);
    const HGDIOBJ oldPen = SelectObject(dc, wideLine);
    Rectangle(dc, header.panel.left, header.panel.top, header.panel.right, header.panel.bottom);
    SelectObject(dc, thinLine);
    for (const PixelPoint* box : {header.mineCounterBox, header.clockBox}) {
        MoveToEx(dc, box[0].x, box[0].y, nullptr);
        for (int corner = 1; corner <= 4; ++corner)
            LineTo(dc, box[corner % 4].x, box[corner % 4].y);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(fill);
    DeleteObject(wideLine);
    DeleteObject(thinLine);
}

// First and last index, both included, of the cells along one axis whose pictures reach into
// [low, high); last < first when none does.
struct IndexRange {
    std::int64_t first;
    std::int64_t last;
};

IndexRange CellsMeeting(std::int64_t low, std::int64_t high, std::int64_t origin, std::int64_t step,
                        std::uint32_t count)
{
    const std::int64_t first = std::max<std::int64_t>(0, (low - origin - kCellPictureSize) / step);
    const std::int64_t last = std::min<std::int64_t>(std::int64_t{count} - 1, (high - 1 - origin) / step);
    return IndexRange{first, high - 1 < origin ? -1 : last};
}

// Cells are drawn in row order, left to right, as on the whole board: overlapping pictures then
// come out the same whatever part of the window is repainted.
void DrawCellsMeeting(HDC dc, const RECT& update)
{
    const IndexRange rows = CellsMeeting(update.top, update.bottom, kBoardTop, kRowPitch, Rows);
    const IndexRange columns = CellsMeeting(update.left, update.right, BoardLeft(Columns), kColumnStep, Columns);
    for (std::int64_t row = rows.first; row <= rows.last; ++row)
        for (std::int64_t column = columns.first; column <= columns.last; ++column) {
            const auto c = static_cast<std::uint32_t>(column);
            const auto r = static_cast<std::uint32_t>(row);
            DrawCell(dc, c, r, CellOrientation(c, r));
        }
}

}  // namespace

RECT DrawnArea;

void MarkDrawn(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    if (DrawnArea.left >= DrawnArea.right) {
        DrawnArea = RECT{left, top, right, bottom};
        return;
    }
    DrawnArea = RECT{std::min<LONG>(DrawnArea.left, left), std::min<LONG>(DrawnArea.top, top),
                     std::max<LONG>(DrawnArea.right, right), std::max<LONG>(DrawnArea.bottom, bottom)};
}

HGDIOBJ TextFont;
bool DrawWithIcons = false;

HICON Pictures[kPictureCount];

bool LoadPictures(HINSTANCE instance)
{
    static const int pictureIds[kPictureCount] = {
        IDI_COVERED_UP,     IDI_COVERED_DOWN, IDI_PRESSED_UP, IDI_PRESSED_DOWN,    IDI_UNCOVERED_UP,
        IDI_UNCOVERED_DOWN, IDI_MINE,         IDI_FLAG,       IDI_NEW_GAME_BUTTON,
    };
    for (int picture = 0; picture < kPictureCount; ++picture)
        Pictures[picture] = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(pictureIds[picture]), IMAGE_ICON,
                                                          kCellPictureSize, kCellPictureSize, LR_DEFAULTCOLOR));
    LargeCountFont = StockFontAt96Dpi(ANSI_VAR_FONT);
    TextFont = StockFontAt96Dpi(SYSTEM_FONT);
    const StripPixels mask = CreateStrip();
    const StripPixels colour = CreateStrip();
    MaskStripDC = StripDC(mask);
    ColourStripDC = StripDC(colour);
    if (MaskStripDC == nullptr || ColourStripDC == nullptr || LargeCountFont == nullptr || TextFont == nullptr) {
        ReleasePictures();
        return false;
    }
    for (int picture = 0; picture < kPictureCount; ++picture)
        CopyIconToStrips(picture, mask, colour);
    return true;
}

// The strips' bitmaps go with their DCs; the fonts made for a DPI other than 96 are deleted, the
// stock ones are not.
void ReleasePictures()
{
    for (HDC* strip : {&MaskStripDC, &ColourStripDC}) {
        if (*strip == nullptr)
            continue;
        const HGDIOBJ bitmap = GetCurrentObject(*strip, OBJ_BITMAP);
        DeleteDC(*strip);
        DeleteObject(bitmap);
        *strip = nullptr;
    }
    for (HGDIOBJ* font : {&LargeCountFont, &TextFont}) {
        if (*font != nullptr && *font != GetStockObject(ANSI_VAR_FONT) && *font != GetStockObject(SYSTEM_FONT))
            DeleteObject(*font);
        *font = nullptr;
    }
    for (HICON& picture : Pictures) {
        if (picture != nullptr)
            DestroyIcon(picture);
        picture = nullptr;
    }
}

void DrawCell(HDC dc, std::uint32_t column, std::uint32_t row, int orientation)
{
    const std::uint8_t b = CellAt(column, row);
    if (IsVoid(b))
        return;
    const PixelPoint anchor = CellAnchor(column, row);
    MarkCellDrawn(anchor);
    // Most cells of a large board show no text: they leave the device context's state alone.
    const bool text = ShowsText(b);
    const int oldMode = text ? SetBkMode(dc, TRANSPARENT) : 0;
    const COLORREF oldText = text ? GetTextColor(dc) : 0;
    const bool outlined = IsCursorOn(column, row);
    if (IsUncovered(b))
        DrawUncoveredCell(dc, anchor, orientation, b, outlined);
    else
        DrawHiddenCell(dc, anchor, orientation, b, outlined, IsMarkedSafe(column, row));
    if (!text)
        return;
    SetTextColor(dc, oldText);
    SetBkMode(dc, oldMode);
}

void DrawPressedCell(HDC dc, std::uint32_t column, std::uint32_t row, int orientation)
{
    const PixelPoint anchor = CellAnchor(column, row);
    MarkCellDrawn(anchor);
    DrawPicture(dc, orientation == 0 ? kPressedUpPicture : kPressedDownPicture, anchor.x, anchor.y);
}

// The five blanks wipe out the old number, which may be wider than the new one.
void DrawMineCounter(HDC dc)
{
    MarkHeaderDrawn();
    SetCounterColours(dc);
    DrawCounterText(dc, LayoutHeader(Columns).mineCounterCentre, kCounterBlank);
    DrawMineCount(dc);
}

// Drawn over the old number without blanking: the clock only grows.
void DrawClock(HDC dc)
{
    MarkHeaderDrawn();
    SetCounterColours(dc);
    DrawElapsedSeconds(dc);
}

void DrawPressedButton(HDC dc)
{
    const PixelPoint at = LayoutHeader(Columns).pressedButton;
    MarkHeaderDrawn();
    DrawPicture(dc, kNewGameButtonPicture, at.x, at.y);
}

void DrawWindowContents(HDC dc, const RECT& update)
{
    const HeaderLayout header = LayoutHeader(Columns);
    DrawHeaderPanel(dc, header);
    DrawPicture(dc, kNewGameButtonPicture, header.button.x, header.button.y);
    const COLORREF oldText = GetTextColor(dc);
    const COLORREF oldBackground = GetBkColor(dc);
    SetCounterColours(dc);
    DrawMineCount(dc);
    DrawElapsedSeconds(dc);
    DrawCellsMeeting(dc, update);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBackground);
}
