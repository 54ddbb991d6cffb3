// draw_check ICON_FOLDER: draws cells, the header and whole boards with the game's own drawing
// code into memory device contexts and compares the pixels with pictures composed from the icon
// text pictures in ICON_FOLDER. Prints one line per mismatch; exits 0 when all match, 1 otherwise.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "game/board.h"
#include "game/cell.h"
#include "game/cell_cursor.h"
#include "tests/windows/draw_harness.h"
#include "ui/draw.h"
#include "ui/geometry.h"
#include "ui/input.h"
#include "ui/shell.h"

namespace {

const COLORREF kTransparent = 0xFFFFFFFF;
const COLORREF kPanelFill = RGB(4, 0, 0);
const COLORREF kPanelLine = RGB(0, 240, 240);
const COLORREF kLightGrey = RGB(240, 240, 240);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kCursorLine = RGB(128, 0, 255);

std::string IconFolder;
int Mismatches;

void Report(const std::string& where, const std::string& what)
{
    std::printf("%s: %s\n", where.c_str(), what.c_str());
    ++Mismatches;
}

std::string Colour(COLORREF c)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d,%d,%d", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

std::string Point(int x, int y)
{
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

// An expected picture of the whole canvas; kTransparent marks pixels left to another check.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    COLORREF& at(int x, int y) { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

Image BackgroundImage(const Canvas& canvas)
{
    return Image{canvas.width, canvas.height, std::vector<COLORREF>(static_cast<std::size_t>(canvas.width * canvas.height), kBackground)};
}

// An icon's text picture: a legend of "C name" lines, a blank line, then one character a pixel.
using IconPicture = std::vector<std::vector<COLORREF>>;

COLORREF NamedColour(const std::string& name)
{
    static const std::map<std::string, COLORREF> colours = {
        {"transparent", kTransparent}, {"black", RGB(0, 0, 0)},       {"white", RGB(255, 255, 255)},
        {"silver", RGB(192, 192, 192)}, {"grey", RGB(128, 128, 128)}, {"red", RGB(255, 0, 0)},
        {"maroon", RGB(128, 0, 0)},     {"yellow", RGB(255, 255, 0)}, {"olive", RGB(128, 128, 0)},
        {"blue", RGB(0, 0, 255)},       {"aqua", RGB(0, 255, 255)},   {"lime", RGB(0, 255, 0)},
    };
    const auto found = colours.find(name);
    return found == colours.end() ? kTransparent : found->second;
}

IconPicture ReadPicture(const std::string& name)
{
    static std::map<std::string, IconPicture> read;
    if (read.count(name))
        return read[name];
    std::ifstream file(IconFolder + "/" + name + ".txt");
    std::map<char, COLORREF> legend;
    IconPicture picture;
    std::string line;
    bool inLegend = true;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (inLegend && !line.empty() && line[0] == '#')
            continue;
        if (inLegend && line.empty() && !legend.empty())
            inLegend = false;
        else if (inLegend && line.size() > 2)
            legend[line[0]] = NamedColour(line.substr(2));
        else if (!inLegend && !line.empty()) {
            std::vector<COLORREF> row;
            for (char c : line)
                row.push_back(legend.count(c) ? legend[c] : kTransparent);
            picture.push_back(row);
        }
    }
    if (picture.size() != 32)
        Report(name + ".txt", "cannot read a 32-row picture from " + IconFolder);
    return read[name] = picture;
}

// Opaque pixels of the picture replace what is below; transparent ones leave it.
void Compose(Image& image, const std::string& picture, int left, int top)
{
    const IconPicture icon = ReadPicture(picture);
    for (int y = 0; y < static_cast<int>(icon.size()); ++y)
        for (int x = 0; x < static_cast<int>(icon[y].size()); ++x)
            if (icon[y][x] != kTransparent)
                image.at(left + x, top + y) = icon[y][x];
}

// Pixels where the canvas differs from the image, outside the image's kTransparent pixels.
struct Difference {
    int count = 0;
    RECT box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};  // right and bottom included
    std::vector<std::pair<COLORREF, COLORREF>> pixels;  // as drawn, as expected
    POINT first{0, 0};
    COLORREF firstExpected = 0, firstActual = 0;
};

Difference Compare(const Canvas& canvas, Image& image, const RECT& area)
{
    GdiFlush();
    Difference d;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const COLORREF actual = CanvasPixel(canvas, x, y);
            if (image.at(x, y) == kTransparent || image.at(x, y) == actual)
                continue;
            if (d.count++ == 0) {
                d.first = POINT{x, y};
                d.firstExpected = image.at(x, y);
                d.firstActual = actual;
            }
            d.box = RECT{std::min<LONG>(d.box.left, x), std::min<LONG>(d.box.top, y), std::max<LONG>(d.box.right, x),
                         std::max<LONG>(d.box.bottom, y)};
            d.pixels.emplace_back(actual, image.at(x, y));
        }
    return d;
}

RECT Whole(const Canvas& canvas)
{
    return RECT{0, 0, canvas.width, canvas.height};
}

void ExpectSame(const std::string& where, const Canvas& canvas, Image& image, const RECT& area)
{
    const Difference d = Compare(canvas, image, area);
    if (d.count > 0)
        Report(where, std::to_string(d.count) + " pixels differ from the expected picture, first " +
                          Point(d.first.x, d.first.y) + ": " + Colour(d.firstActual) + ", expected " +
                          Colour(d.firstExpected) + "; all within " + Point(d.box.left, d.box.top) + " to " +
                          Point(d.box.right, d.box.bottom));
}

bool Inside(const RECT& inner, const RECT& outer)  // inner's right and bottom included, outer's not
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right < outer.right &&
           inner.bottom < outer.bottom;
}

int Channel(COLORREF c, int channel)
{
    return static_cast<int>(c >> (8 * channel) & 0xFF);
}

// Text is smoothed: an edge pixel mixes the text colour into what was below, each of red, green
// and blue lying between the two.
bool IsMix(COLORREF pixel, COLORREF below, COLORREF text)
{
    for (int channel = 0; channel < 3; ++channel) {
        const int p = Channel(pixel, channel), b = Channel(below, channel), t = Channel(text, channel);
        if (p < std::min(b, t) - 2 || p > std::max(b, t) + 2)
            return false;
    }
    return true;
}

bool IsNear(COLORREF a, COLORREF b)
{
    for (int channel = 0; channel < 3; ++channel)
        if (std::abs(Channel(a, channel) - Channel(b, channel)) > 6)
            return false;
    return true;
}

// Some pixels of the text colour itself, every other one a mix of it and what was below.
void ExpectInkColour(const std::string& where, const Difference& ink, COLORREF colour)
{
    int solid = 0;
    for (const auto& [actual, below] : ink.pixels) {
        solid += IsNear(actual, colour);
        if (!IsMix(actual, below, colour)) {
            Report(where, "text pixel of " + Colour(actual) + " over " + Colour(below) + ", expected a mix with " +
                              Colour(colour));
            return;
        }
    }
    if (solid == 0)
        Report(where, "no text pixel of " + Colour(colour) + " itself");
}

// Text ink: some pixels in the text's colour, inside the box the text was measured to fill.
void ExpectInk(const std::string& where, const Difference& ink, COLORREF colour, const RECT& box)
{
    if (ink.count == 0) {
        Report(where, "no text drawn");
        return;
    }
    ExpectInkColour(where, ink, colour);
    if (!Inside(ink.box, box))
        Report(where, "text from " + Point(ink.box.left, ink.box.top) + " to " + Point(ink.box.right, ink.box.bottom) +
                          " leaves its measured box from " + Point(box.left, box.top) + " to " +
                          Point(box.right - 1, box.bottom - 1));
    // Centred on its measured width: no more than the glyphs' side bearings left over either side.
    const LONG leftGap = ink.box.left - box.left, rightGap = box.right - 1 - ink.box.right;
    if (std::abs(leftGap - rightGap) > 2)
        Report(where, "text not centred in its measured box: " + std::to_string(leftGap) + " pixels free on the left, " +
                          std::to_string(rightGap) + " on the right");
}

SIZE Measure(HDC dc, const std::string& text, HGDIOBJ font)
{
    const HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    if (font)
        SelectObject(dc, old);
    return size;
}

RECT TextBox(int left, int top, SIZE size)
{
    return RECT{left, top, left + size.cx, top + size.cy};
}

// ---- One cell in every state, alone on a board of void cells ----

struct Layer {
    const char* picture;  // without _up or _down when it has one of each
    bool oriented;
    int upX, upY, downX, downY;  // offset from the cell's anchor
};
const Layer kNothing = {nullptr, false, 0, 0, 0, 0};
const Layer kCovered = {"covered", true, 0, 0, 0, 0};
const Layer kUncovered = {"uncovered", true, 0, 0, 0, 0};
const Layer kFlag = {"flag", false, 6, 11, 8, 3};
const Layer kMineIcon = {"mine", false, 7, 11, 7, 3};

enum Ink { kNoInk, kCountInk, kLargeCountInk, kQuestionInk, kCrossInk };

struct CellCase {
    const char* name;
    std::uint8_t cell;
    GamePhase state;
    Layer below, above;
    Ink ink;
    COLORREF inkColour;
};

const CellCase kCellCases[] = {
    {"covered", 128 + 4, Running, kCovered, kNothing, kNoInk, 0},
    {"covered mine", 128 + 15, Over, kCovered, kNothing, kNoInk, 0},
    {"flagged", 32 + 2, Running, kCovered, kFlag, kNoInk, 0},
    {"flagged mine after a loss", 32 + 15, Over, kCovered, kFlag, kNoInk, 0},
    {"flagged safe cell after a loss", 32 + 3, Over, kCovered, kFlag, kCrossInk, kRed},
    {"flagged zero after a loss", 32 + 0, Over, kCovered, kFlag, kCrossInk, kRed},
    {"question-marked", 64 + 5, Running, kCovered, kNothing, kQuestionInk, kBlack},
    {"uncovered 0", 0, Running, kUncovered, kNothing, kNoInk, 0},
    {"uncovered 1", 1, Running, kUncovered, kNothing, kCountInk, RGB(0, 0, 255)},
    {"uncovered 2", 2, Running, kUncovered, kNothing, kCountInk, RGB(150, 0, 65)},
    {"uncovered 3", 3, Running, kUncovered, kNothing, kCountInk, RGB(255, 36, 0)},
    {"uncovered 4", 4, Running, kUncovered, kNothing, kCountInk, RGB(0, 255, 0)},
    {"uncovered 5", 5, Running, kUncovered, kNothing, kCountInk, RGB(228, 255, 255)},
    {"uncovered 6", 6, Running, kUncovered, kNothing, kCountInk, RGB(255, 0, 255)},
    {"uncovered 7", 7, Running, kUncovered, kNothing, kCountInk, RGB(255, 255, 0)},
    {"uncovered 8", 8, Running, kUncovered, kNothing, kCountInk, kBlack},
    {"uncovered 9", 9, Running, kUncovered, kNothing, kCountInk, kBlack},
    {"uncovered 10", 10, Running, kUncovered, kNothing, kLargeCountInk, kBlack},
    {"uncovered 11", 11, Running, kUncovered, kNothing, kLargeCountInk, kBlack},
    {"uncovered 12", 12, Running, kUncovered, kNothing, kLargeCountInk, kBlack},
    {"uncovered mine", 15, Over, kUncovered, kMineIcon, kNoInk, 0},
    {"void", 255, Running, kNothing, kNothing, kNoInk, 0},
};

void ComposeLayer(Image& image, const Layer& layer, PixelPoint anchor, int orientation)
{
    if (!layer.picture)
        return;
    const std::string name = std::string(layer.picture) + (layer.oriented ? (orientation ? "_down" : "_up") : "");
    Compose(image, name, anchor.x + (orientation ? layer.downX : layer.upX),
            anchor.y + (orientation ? layer.downY : layer.upY));
}

// The keyboard cursor's outline: the edge of what is left of the cell, as both its raised and its
// flat picture cover it, after two pixels are taken off all round.
void ComposeCursor(Image& image, PixelPoint anchor, int orientation)
{
    const char* side = orientation ? "_down" : "_up";
    const IconPicture raised = ReadPicture(std::string("covered") + side);
    const IconPicture flat = ReadPicture(std::string("uncovered") + side);
    const auto inside = [&](int x, int y, int margin) {
        for (int dy = -margin; dy <= margin; ++dy)
            for (int dx = -margin; dx <= margin; ++dx) {
                const int px = x + dx, py = y + dy;
                if (px < 0 || py < 0 || px >= 32 || py >= 32 || raised[py][px] == kTransparent ||
                    flat[py][px] == kTransparent)
                    return false;
            }
        return true;
    };
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (inside(x, y, 2) &&
                !(inside(x - 1, y, 2) && inside(x + 1, y, 2) && inside(x, y - 1, 2) && inside(x, y + 1, 2)))
                image.at(anchor.x + x, anchor.y + y) = kCursorLine;
}

// The box the label must keep to, measured in the same device context.
RECT LabelBox(HDC dc, const CellCase& row, PixelPoint a, int orientation)
{
    if (row.ink == kQuestionInk)
        return TextBox(a.x + 8, a.y + (orientation ? 1 : 7), Measure(dc, "?", nullptr));
    if (row.ink == kCrossInk)  // two 2-pixel lines from (7, 6) to (19, 18) and back
        return RECT{a.x + 6, a.y + 5, a.x + 21, a.y + 20};
    const std::string label = std::to_string(row.cell);
    const SIZE size = Measure(dc, label, row.ink == kLargeCountInk ? GetStockObject(ANSI_VAR_FONT) : nullptr);
    return TextBox(a.x + 13 - size.cx / 2, a.y + (orientation ? 8 : 16) - size.cy / 2, size);
}

void ExpectCross(const std::string& where, const Canvas& canvas, Image& below, PixelPoint a)
{
    const int arms[][2] = {{13, 12}, {8, 7}, {18, 7}, {8, 17}, {18, 17}};
    for (const auto& arm : arms)
        if (CanvasPixel(canvas, a.x + arm[0], a.y + arm[1]) != kRed)
            Report(where, "no red cross line at " + Point(arm[0], arm[1]) + " of the cell");
    if (CanvasPixel(canvas, a.x + 13, a.y + 7) != below.at(a.x + 13, a.y + 7))
        Report(where, "the cross is filled between its arms");
}

// With the cursor on it, a cell shows the cursor's outline over its picture and under its mark.
void CheckCell(const CellCase& row, std::uint32_t column, std::uint32_t cellRow, bool cursor)
{
    const int orientation = CellOrientation(column, cellRow);
    const std::string where =
        std::string("cell ") + row.name + (orientation ? " down" : " up") + (cursor ? " under the cursor" : "");
    SetBoard(3, 4, kVoidCell);
    CellAt(column, cellRow) = row.cell;
    GameState = row.state;
    if (cursor)
        PlaceCursor(CellPosition{column, cellRow});
    Canvas canvas = CreateCanvas(200, 150);
    DrawCell(canvas.dc, column, cellRow, orientation);
    ForgetCursor();
    Image expected = BackgroundImage(canvas);
    const PixelPoint anchor = CellAnchor(column, cellRow);
    ComposeLayer(expected, row.below, anchor, orientation);
    if (cursor && row.below.picture)
        ComposeCursor(expected, anchor, orientation);
    ComposeLayer(expected, row.above, anchor, orientation);
    if (row.ink == kNoInk) {
        ExpectSame(where, canvas, expected, Whole(canvas));
    } else {
        ExpectInk(where, Compare(canvas, expected, Whole(canvas)), row.inkColour,
                  LabelBox(canvas.dc, row, anchor, orientation));
        if (row.ink == kCrossInk)
            ExpectCross(where, canvas, expected, anchor);
    }
    DestroyCanvas(canvas);
}

void CheckCells()
{
    for (const CellCase& row : kCellCases)
        for (const bool cursor : {false, true}) {
            CheckCell(row, 1, 1, cursor);  // up
            CheckCell(row, 2, 1, cursor);  // down
        }
}

void CheckPressedCells()
{
    for (std::uint32_t column : {1u, 2u}) {
        SetBoard(3, 4, 64);
        const int orientation = CellOrientation(column, 1);
        Canvas canvas = CreateCanvas(200, 150);
        DrawCell(canvas.dc, column, 1, orientation);
        DrawPressedCell(canvas.dc, column, 1, orientation);
        Image expected = BackgroundImage(canvas);
        Compose(expected, orientation ? "covered_down" : "covered_up", CellAnchor(column, 1).x, CellAnchor(column, 1).y);
        Compose(expected, orientation ? "pressed_down" : "pressed_up", CellAnchor(column, 1).x, CellAnchor(column, 1).y);
        ExpectSame(std::string("pressed over a question mark, ") + (orientation ? "down" : "up"), canvas, expected,
                   Whole(canvas));
        DestroyCanvas(canvas);
    }
}

// A cell pressed on Expert and remembered while a smaller level comes up is forgotten, not drawn:
// the old board's bytes still lie past the new one's end, so a restore that trusted the cell would
// draw it.
void CheckPressOutsideSmallerBoard()
{
    Canvas canvas = CreateCanvas(600, 460);
    SetBoard(14, 36, kCoveredZero);
    GameState = Idle;
    MessageDC = canvas.dc;
    const PixelPoint anchor = CellAnchor(35, 13);
    PressCellAt(static_cast<std::uint32_t>(anchor.x + 13), static_cast<std::uint32_t>(anchor.y + 16));
    if (PressedCell.kind != kUpCell)
        Report("press on Expert's last cell", "nothing was remembered pressed");
    SetBoard(7, 13, kCoveredZero);
    FillWithBackground(canvas);
    RestorePressedCell();
    Image background = BackgroundImage(canvas);
    ExpectSame("restoring a press from a larger board", canvas, background, Whole(canvas));
    if (PressedCell.kind != kNoCell)
        Report("restoring a press from a larger board", "the cell is still remembered");
    MessageDC = nullptr;
    DestroyCanvas(canvas);
}

// ---- The header panel, counters and button ----

struct HeaderCase {
    const char* name;
    std::uint32_t columns;
    std::uint32_t flagsLeft;
    std::int32_t elapsedSeconds;
    bool pressed;
};

const HeaderCase kHeaderCases[] = {
    {"Beginner", 13, 10, 0, false},
    {"Beginner, button pressed", 13, 10, 0, true},
    {"Expert", 36, 80, 999, false},
    {"widest", 255, 4000, 86399, true},
};

void ComposeBoxOutline(Image& image, int left, int right)
{
    for (int x = left; x <= right; ++x)
        image.at(x, 7) = image.at(x, 32) = kPanelLine;
    for (int y = 7; y <= 32; ++y)
        image.at(left, y) = image.at(right, y) = kPanelLine;
}

// The panel from (27, 4) to (c + 14, 37), the right and bottom edges excluded: a 2-pixel
// outline centred on its edge lines, one pixel outside and one inside, around the dark fill.
void ComposePanel(Image& image, int c)
{
    const int left = 27, top = 4, right = c + 13, bottom = 36;
    for (int y = top - 1; y <= bottom; ++y)
        for (int x = left - 1; x <= right; ++x) {
            const bool outline = x <= left || x >= right - 1 || y <= top || y >= bottom - 1;
            image.at(x, y) = outline ? kPanelLine : kPanelFill;
        }
}

// A counter's text on its opaque black strip: light grey ink, the strip exactly where measured.
void ExpectCounter(const std::string& where, const Canvas& canvas, int centre, const std::string& text)
{
    const SIZE size = Measure(canvas.dc, text, nullptr);
    const RECT box = TextBox(centre - size.cx / 2, 12, size);
    int ink = 0, strip = 0, mixed = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
            const COLORREF c = CanvasPixel(canvas, x, y);
            ink += c == kLightGrey;
            strip += c == kBlack;
            mixed += c != kLightGrey && c != kBlack && IsMix(c, kBlack, kLightGrey);
        }
    if ((ink == 0 && text.find_first_not_of(' ') != std::string::npos) || ink + strip + mixed != size.cx * size.cy)
        Report(where, "\"" + text + "\" in its box from " + Point(box.left, box.top) + ": " + std::to_string(ink) +
                          " light grey, " + std::to_string(mixed) + " mixed and " + std::to_string(strip) +
                          " black pixels of " +
                          std::to_string(size.cx * size.cy));
}

void BlankOut(Image& image, const RECT& box)
{
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            image.at(x, y) = kTransparent;
}

void CheckHeader(const HeaderCase& row)
{
    const std::string where = std::string("header ") + row.name;
    SetBoard(1, row.columns, kVoidCell);
    FlagsLeft = row.flagsLeft;
    ElapsedSeconds = row.elapsedSeconds;
    const int c = static_cast<int>(row.columns) * 15, b = c / 2;
    Canvas canvas = CreateCanvas(c + 40, 72);
    DrawWindowContents(canvas.dc, Whole(canvas));
    if (row.pressed)
        DrawPressedButton(canvas.dc);
    Image expected = BackgroundImage(canvas);
    ComposePanel(expected, c);
    ComposeBoxOutline(expected, 30, 86);
    ComposeBoxOutline(expected, c - 47, c + 9);
    Compose(expected, "new_game_button", b + 6, 5);
    if (row.pressed)
        Compose(expected, "new_game_button", b + 7, 6);
    const std::string mines = std::to_string(row.flagsLeft), seconds = std::to_string(row.elapsedSeconds);
    BlankOut(expected, TextBox(58 - Measure(canvas.dc, mines, nullptr).cx / 2, 12, Measure(canvas.dc, mines, nullptr)));
    BlankOut(expected,
             TextBox(c - 18 - Measure(canvas.dc, seconds, nullptr).cx / 2, 12, Measure(canvas.dc, seconds, nullptr)));
    ExpectSame(where, canvas, expected, Whole(canvas));
    ExpectCounter(where + " mine counter", canvas, 58, mines);
    ExpectCounter(where + " clock", canvas, c - 18, seconds);
    DestroyCanvas(canvas);
}

// DrawMineCounter blanks five characters' width first; DrawClock draws over the old number.
void CheckCounterRedraws()
{
    SetBoard(1, 36, kVoidCell);
    FlagsLeft = 80;
    ElapsedSeconds = 5;
    Canvas canvas = CreateCanvas(580, 72);
    DrawWindowContents(canvas.dc, Whole(canvas));
    FlagsLeft = 7;
    ElapsedSeconds = 10;
    DrawMineCounter(canvas.dc);
    DrawClock(canvas.dc);
    ExpectCounter("mine counter after a redraw", canvas, 58, "     ");
    ExpectCounter("mine counter after a redraw", canvas, 58, "7");
    ExpectCounter("clock after a redraw", canvas, 540 - 18, "10");
    DestroyCanvas(canvas);
}

// ---- Whole boards ----

std::mt19937 Random(20240101);

// Every state a board can show, at random, and some void cells.
void SetRandomBoard(std::uint32_t rows, std::uint32_t columns)
{
    static const std::uint8_t states[] = {128, 131, 143, 32, 35, 47, 64, 72, 0, 1, 2, 3, 4,
                                          5,   6,   7,   8,  9,  10, 11, 12, 15, 255};
    SetBoard(rows, columns, 0);
    for (std::size_t i = 0; i < GridSize(); ++i)
        Board[i] = states[Random() % sizeof states];
    GameState = Over;
    FlagsLeft = 17;
    ElapsedSeconds = 123;
}

Image Snapshot(const Canvas& canvas)
{
    GdiFlush();
    Image image{canvas.width, canvas.height, {}};
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x)
            image.pixels.push_back(CanvasPixel(canvas, x, y));
    return image;
}

void DrawCellsInOrder(HDC dc, const std::vector<std::size_t>& order)
{
    for (std::size_t i : order) {
        const auto column = static_cast<std::uint32_t>(i % Columns), row = static_cast<std::uint32_t>(i / Columns);
        DrawCell(dc, column, row, CellOrientation(column, row));
    }
}

void CheckCellOrder(int width, int height)
{
    std::vector<std::size_t> order(GridSize());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    Canvas canvas = CreateCanvas(width, height);
    DrawCellsInOrder(canvas.dc, order);
    Image rowOrder = Snapshot(canvas);
    const std::vector<std::size_t> reversed(order.rbegin(), order.rend());
    std::vector<std::size_t> shuffled = order;
    std::shuffle(shuffled.begin(), shuffled.end(), Random);
    const std::vector<std::size_t>* const others[] = {&reversed, &shuffled};
    for (const std::vector<std::size_t>* other : others) {
        FillWithBackground(canvas);
        DrawCellsInOrder(canvas.dc, *other);
        ExpectSame(other == &reversed ? "cells drawn backwards" : "cells drawn shuffled", canvas, rowOrder,
                   Whole(canvas));
    }
    DestroyCanvas(canvas);
}

// A repaint of part of the window, clipped to it as BeginPaint does, matches the whole repaint.
void CheckUpdateRectangles(Canvas& canvas, Image& whole)
{
    std::vector<RECT> updates = {{0, 0, canvas.width, canvas.height}, {0, 0, 1, 1}, {49, 67, 51, 69},
                                 {33, 68, 34, 69}, {canvas.width - 1, canvas.height - 1, canvas.width, canvas.height}};
    for (int i = 0; i < 40; ++i) {
        const int left = static_cast<int>(Random() % static_cast<unsigned>(canvas.width));
        const int top = static_cast<int>(Random() % static_cast<unsigned>(canvas.height));
        updates.push_back(RECT{left, top, left + 1 + static_cast<int>(Random() % 90), top + 1 + static_cast<int>(Random() % 90)});
    }
    for (RECT update : updates) {
        update.right = std::min<LONG>(update.right, canvas.width);
        update.bottom = std::min<LONG>(update.bottom, canvas.height);
        FillWithBackground(canvas);
        const HRGN clip = CreateRectRgnIndirect(&update);
        SelectClipRgn(canvas.dc, clip);
        DrawWindowContents(canvas.dc, update);
        SelectClipRgn(canvas.dc, nullptr);
        DeleteObject(clip);
        ExpectSame("update from " + Point(update.left, update.top) + " to " + Point(update.right, update.bottom), canvas,
                   whole, update);
    }
}

void CheckWholeBoards()
{
    SetRandomBoard(14, 36);
    const WindowSize client = ClientSizeFor(Rows, Columns);
    // After a loss the cross on a down cell reaches a pixel into its left neighbour's picture:
    // only the row order, which every repaint keeps, gives that board.
    GameState = Running;
    CheckCellOrder(client.width, client.height);
    GameState = Over;
    Canvas canvas = CreateCanvas(client.width, client.height);
    DrawWindowContents(canvas.dc, Whole(canvas));
    Image whole = Snapshot(canvas);
    DrawWindowContents(canvas.dc, Whole(canvas));
    ExpectSame("the same board drawn twice", canvas, whole, Whole(canvas));
    // The prepared bitmaps give exactly the pixels of the icons they were made from.
    FillWithBackground(canvas);
    DrawWithIcons = true;
    DrawWindowContents(canvas.dc, Whole(canvas));
    DrawWithIcons = false;
    ExpectSame("the board drawn with DrawIcon", canvas, whole, Whole(canvas));
    CheckUpdateRectangles(canvas, whole);
    DestroyCanvas(canvas);
}

// 8, 9 and "?" are black however they are drawn: on a full repaint, which sets the counters' light
// grey first, during a game and after a loss, and cell by cell into a device context holding any colour.
void CheckTextColourOfEightNineAndQuestionMark()
{
    const struct {
        std::uint8_t cell;
        const char* name;
    } rows[] = {{8, "8"}, {9, "9"}, {64 + 3, "?"}};
    const struct {
        const char* name;
        GamePhase state;
        bool wholeWindow;
    } ways[] = {{"full repaint", Running, true}, {"full repaint after a loss", Over, true},
                {"cell drawn over light grey text", Running, false}};
    for (const auto& row : rows) {
        for (const auto& way : ways) {
            const std::string where = std::string(way.name) + " of " + row.name;
            SetBoard(3, 4, kVoidCell);
            GameState = way.state;
            CellAt(1, 1) = IsQuestionMarked(row.cell) ? 128 : 0;
            Canvas canvas = CreateCanvas(100, 150);
            DrawWindowContents(canvas.dc, Whole(canvas));
            Image without = Snapshot(canvas);
            CellAt(1, 1) = row.cell;
            SetTextColor(canvas.dc, kLightGrey);
            if (way.wholeWindow)
                DrawWindowContents(canvas.dc, Whole(canvas));
            else
                DrawCell(canvas.dc, 1, 1, CellOrientation(1, 1));
            const Difference ink = Compare(canvas, without, Whole(canvas));
            if (ink.count == 0)
                Report(where, "no text drawn");
            ExpectInkColour(where, ink, kBlack);
            DestroyCanvas(canvas);
        }
    }
}

// Each drawing that a message makes is copied to the window as far as DrawnArea reaches: a cell's
// whole picture, the counters' and the button's header strip.
void CheckDrawnArea()
{
    SetRandomBoard(5, 12);  // wider than the header's least width
    GameState = Running;
    Canvas canvas = CreateCanvas(240, 200);
    const PixelPoint anchor = CellAnchor(4, 2);
    const RECT cell{anchor.x, anchor.y, anchor.x + 32, anchor.y + 32};
    const RECT header{0, 0, 12 * 15 + 40, 42};
    const struct {
        const char* name;
        std::function<void()> draw;
        RECT expected;
    } rows[] = {
        {"DrawCell", [&] { DrawCell(canvas.dc, 4, 2, CellOrientation(4, 2)); }, cell},
        {"DrawPressedCell", [&] { DrawPressedCell(canvas.dc, 4, 2, CellOrientation(4, 2)); }, cell},
        {"DrawMineCounter", [&] { DrawMineCounter(canvas.dc); }, header},
        {"DrawClock", [&] { DrawClock(canvas.dc); }, header},
        {"DrawPressedButton", [&] { DrawPressedButton(canvas.dc); }, header},
    };
    for (const auto& row : rows) {
        DrawnArea = RECT{0, 0, 0, 0};
        row.draw();
        if (!EqualRect(&DrawnArea, &row.expected))
            Report(std::string(row.name) + " drawn area",
                   Point(DrawnArea.left, DrawnArea.top) + " to " + Point(DrawnArea.right, DrawnArea.bottom) +
                       ", expected " + Point(row.expected.left, row.expected.top) + " to " +
                       Point(row.expected.right, row.expected.bottom));
    }
    DestroyCanvas(canvas);
}

// ---- The device context's state ----

struct DcState {
    COLORREF text, background;
    int mode;
    HGDIOBJ font, pen, brush;
};

DcState ReadState(HDC dc)
{
    return DcState{GetTextColor(dc),
                   GetBkColor(dc),
                   GetBkMode(dc),
                   GetCurrentObject(dc, OBJ_FONT),
                   GetCurrentObject(dc, OBJ_PEN),
                   GetCurrentObject(dc, OBJ_BRUSH)};
}

void CheckStateKept()
{
    SetRandomBoard(5, 9);
    const struct {
        const char* name;
        std::function<void(HDC)> draw;
    } rows[] = {
        {"DrawCell", [](HDC dc) { DrawCellsInOrder(dc, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17,
                                                        18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30}); }},
        {"DrawWindowContents", [](HDC dc) { DrawWindowContents(dc, RECT{0, 0, 200, 200}); }},
    };
    for (int mode : {OPAQUE, TRANSPARENT})
        for (const auto& row : rows) {
            Canvas canvas = CreateCanvas(200, 200);
            SetTextColor(canvas.dc, RGB(1, 2, 3));
            SetBkColor(canvas.dc, RGB(4, 5, 6));
            SetBkMode(canvas.dc, mode);
            SelectObject(canvas.dc, GetStockObject(OEM_FIXED_FONT));
            SelectObject(canvas.dc, GetStockObject(WHITE_PEN));
            SelectObject(canvas.dc, GetStockObject(LTGRAY_BRUSH));
            const DcState before = ReadState(canvas.dc);
            row.draw(canvas.dc);
            const DcState after = ReadState(canvas.dc);
            const std::string where = std::string(row.name) + (mode == OPAQUE ? " (opaque)" : " (transparent)");
            if (after.text != before.text || after.background != before.background)
                Report(where, "leaves the colours changed");
            if (after.mode != before.mode)
                Report(where, "leaves the background mode changed");
            if (after.font != before.font || after.pen != before.pen || after.brush != before.brush)
                Report(where, "leaves another font, pen or brush selected");
            DestroyCanvas(canvas);
        }
}

// ---- No GDI object outlives a repaint ----

// Freed GDI handle slots are reused, and a handle's low word is its slot: the highest slot that
// 64 new pens take grows only when objects are left behind. (Wine's GetGuiResources counts nothing.)
int HighestFreeSlot()
{
    std::vector<HPEN> pens;
    int highest = 0;
    for (int i = 0; i < 64; ++i) {
        pens.push_back(CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
        highest = std::max(highest, static_cast<int>(LOWORD(reinterpret_cast<ULONG_PTR>(pens.back()))));
    }
    for (HPEN pen : pens)
        DeleteObject(pen);
    return highest;
}

void CheckNoObjectLeft()
{
    SetRandomBoard(14, 36);
    const int repaints = 300;
    const WindowSize client = ClientSizeFor(Rows, Columns);
    Canvas canvas = CreateCanvas(client.width, client.height);
    DrawWindowContents(canvas.dc, Whole(canvas));
    const DWORD countBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const int slotBefore = HighestFreeSlot();
    for (int i = 0; i < repaints; ++i)
        DrawWindowContents(canvas.dc, Whole(canvas));
    const int growth = HighestFreeSlot() - slotBefore;
    const DWORD countAfter = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (growth > repaints / 10 || countAfter > countBefore)
        Report("repainting Expert " + std::to_string(repaints) + " times",
               "GDI objects left behind: handle slots grew by " + std::to_string(growth) + ", object count from " +
                   std::to_string(countBefore) + " to " + std::to_string(countAfter));
    DestroyCanvas(canvas);
}

// What start-up made for drawing goes at the end: the pictures, the strips prepared from them,
// the fonts made for the DPI. Loaded and released many times over, anything left behind each
// time raises the slots by as many times; the making alone takes a few slots for a moment.
void CheckReleasedAtEnd(int slotAtStart)
{
    const int cycles = 40;
    ReleasePictures();
    for (int i = 0; i < cycles; ++i) {
        LoadPictures(GetModuleHandleA(nullptr));
        ReleasePictures();
    }
    const int growth = HighestFreeSlot() - slotAtStart;
    if (growth > cycles / 2)
        Report("loading and releasing the pictures " + std::to_string(cycles) + " times",
               "GDI objects left behind: handle slots grew by " + std::to_string(growth));
}

// With every GDI handle taken, preparing the pictures fails and says so, writing through no
// missing bitmap; with room again it succeeds.
void CheckPreparingWithNoRoom()
{
    ReleasePictures();
    std::vector<HPEN> pens;
    for (HPEN pen; pens.size() < 200000 && (pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0))) != nullptr;)
        pens.push_back(pen);
    const bool preparedWithNoRoom = LoadPictures(GetModuleHandleA(nullptr));
    for (HPEN pen : pens)
        DeleteObject(pen);
    if (preparedWithNoRoom)
        Report("preparing the pictures with all " + std::to_string(pens.size()) + " GDI handles taken",
               "it did not fail");
    ReleasePictures();
    if (!LoadPictures(GetModuleHandleA(nullptr)))
        Report("preparing the pictures once there is room again", "it failed");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_check ICON_FOLDER\n");
        return 2;
    }
    IconFolder = argv[1];
    const int slotAtStart = HighestFreeSlot();
    if (!LoadPictures(GetModuleHandleA(nullptr)))
        Report("start-up", "the pictures could not be prepared");
    CheckCells();
    CheckPressedCells();
    CheckPressOutsideSmallerBoard();
    for (const HeaderCase& row : kHeaderCases)
        CheckHeader(row);
    CheckCounterRedraws();
    CheckTextColourOfEightNineAndQuestionMark();
    CheckWholeBoards();
    CheckDrawnArea();
    CheckStateKept();
    CheckNoObjectLeft();
    CheckReleasedAtEnd(slotAtStart);
    CheckPreparingWithNoRoom();  // last: it takes every handle slot there is
    std::printf("draw_check: %d mismatches\n", Mismatches);
    return Mismatches == 0 ? 0 : 1;
}
