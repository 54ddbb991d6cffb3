#include "ui/board_maker.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "data/best_times.h"
#include "data/data_check.h"
#include "data/data_file.h"
#include "data/default_file.h"
#include "data/level_edit.h"
#include "data/windows_1252.h"
#include "game/board.h"
#include "game/file_replace.h"
#include "game/window_size.h"
#include "res/resource.h"
#include "ui/board_figures.h"
#include "ui/shape_area.h"
#include "ui/shell.h"

namespace {

constexpr UINT_PTR kFiguresTimerId = 1;
constexpr UINT kFiguresDelay = 50;  // milliseconds without a change before the figures are worked out
const char kShapeName[] = "the shape drawn";
const char kCaption[] = "Skarvel";  // of the dialog's questions and messages

// The dialog's state, handed to it by MakeBoard and kept on it (DWLP_USER).
struct Maker {
    std::vector<std::uint8_t> file;  // the data file as it was when the dialog opened
    int level = 0;
    LevelOutline outline;       // the shape being drawn, as large as the Rows and Columns fields say
    bool filling = false;       // the dialog fills its fields: their changes are not the player's
    std::uint32_t figures = 0;  // the request whose figures the line waits for
    HalfOfFigures halves[2]{};  // its figures as the threads bring them: boards dealt plainly, without a guess
    bool arrived[2]{};
    std::string counts;     // the figures known at once
    bool saveable = false;  // the board as it stands can be saved
    int saved = -1;         // the level written into the file
};

Maker& MakerOf(HWND dialog)
{
    return *reinterpret_cast<Maker*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

std::wstring Wide(const std::string& utf8)
{
    std::wstring wide(utf8.size() + 1, L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<std::size_t>(length - 1) : 0);
    return wide;
}

// File text (Windows-1252) as UTF-8, for the messages.
std::string Utf8OfFileText(const std::string& fileText)
{
    std::string text;
    for (const char c : fileText) {
        const std::uint32_t codePoint = CodePointOfWindows1252(static_cast<std::uint8_t>(c));
        AppendUtf8(text, codePoint == kNoCodePoint ? '?' : codePoint);
    }
    return text;
}

void SetText(HWND dialog, int controlId, const std::string& utf8)
{
    SetDlgItemTextW(dialog, controlId, Wide(utf8).c_str());
}

std::uint32_t FieldNumber(HWND dialog, int controlId)
{
    char text[16] = {};
    GetDlgItemTextA(dialog, controlId, text, sizeof text);
    const unsigned long value = std::strtoul(text, nullptr, 10);
    return value > 99999 ? 99999 : static_cast<std::uint32_t>(value);
}

void SetFieldNumber(HWND dialog, int controlId, std::uint32_t value)
{
    SetDlgItemTextA(dialog, controlId, std::to_string(value).c_str());
}

// The title field's code points, pairs of surrogates joined.
std::vector<std::uint32_t> TitleCodePoints(HWND dialog)
{
    wchar_t text[64] = {};
    GetDlgItemTextW(dialog, IDC_MAKER_TITLE, text, 64);
    std::vector<std::uint32_t> codePoints;
    for (std::size_t i = 0; text[i] != 0; ++i) {
        std::uint32_t unit = text[i];
        if (unit >= 0xD800 && unit < 0xDC00 && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            unit = 0x10000 + ((unit - 0xD800) << 10) + (text[++i] - 0xDC00u);
        codePoints.push_back(unit);
    }
    return codePoints;
}

// The title in the file's character set; false with kelbo's words for the first character it lacks.
bool ReadTitle(HWND dialog, std::string& typed, std::string& fileText, std::string& problem)
{
    const std::vector<std::uint32_t> codePoints = TitleCodePoints(dialog);
    for (std::size_t i = 0; i < codePoints.size(); ++i) {
        std::uint8_t byte = 0;
        AppendUtf8(typed, codePoints[i]);
        if (!Windows1252OfCodePoint(codePoints[i], byte)) {
            std::string shown;
            AppendUtf8(shown, codePoints[i]);
            char number[16];
            std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(codePoints[i]));
            problem = "the title: " + NotInCharacterSet(i + 1, "\"" + shown + "\" (" + number + ")");
            return false;
        }
        fileText += static_cast<char>(byte);
    }
    return true;
}

// A larger or smaller grid keeps the triangles that still fit; new positions are triangles.
void ResizeOutline(LevelOutline& outline, std::uint32_t rows, std::uint32_t columns)
{
    LevelOutline resized = RectangleOutline(rows, columns);
    for (std::uint32_t row = 0; row < rows && row < outline.rows; ++row)
        for (std::uint32_t column = 0; column < columns && column < outline.columns; ++column)
            resized.cells[static_cast<std::size_t>(row) * columns + column] =
                outline.cells[static_cast<std::size_t>(row) * outline.columns + column];
    outline = resized;
}

bool SizeCanBeDrawn(std::uint32_t rows, std::uint32_t columns)
{
    return rows >= 1 && columns >= 1 && rows <= kLargestSide && columns <= kLargestSide;
}

// The level as the fields and the shape area hold it; its outline is as large as the fields say
// even where no grid of that size can be drawn, so that the check names the size.
LevelDefinition LevelInDialog(HWND dialog, const Maker& m, const std::string& title)
{
    LevelDefinition level{title, FieldNumber(dialog, IDC_MAKER_MINES), m.outline};
    const std::uint32_t rows = FieldNumber(dialog, IDC_MAKER_ROWS);
    const std::uint32_t columns = FieldNumber(dialog, IDC_MAKER_COLUMNS);
    if (!SizeCanBeDrawn(rows, columns))
        level.outline = LevelOutline{rows, columns, {}};
    return level;
}

// kelbo level set's judgement of the board, and the field it is about; 0 when it can be saved.
int JudgeLevel(HWND dialog, const Maker& m, LevelDefinition& level, std::string& problem)
{
    std::string typed;
    std::string title;
    if (!ReadTitle(dialog, typed, title, problem) || !TitleFits(m.level, typed, title, problem))
        return IDC_MAKER_TITLE;
    level = LevelInDialog(dialog, m, title);
    if (CheckLevelToStore(m.level, level, kShapeName, problem))
        return 0;
    if (!SizeCanBeDrawn(level.outline.rows, level.outline.columns))
        return level.outline.rows >= 1 && level.outline.rows <= kLargestSide ? IDC_MAKER_COLUMNS : IDC_MAKER_ROWS;
    LevelDefinition withoutMines = level;
    withoutMines.mines = 0;
    std::string shapeProblem;
    return CheckLevelToStore(m.level, withoutMines, kShapeName, shapeProblem) ? IDC_MAKER_MINES : IDC_MAKER_SHAPE;
}

// The refusal stands beside the field at fault, level with it, and above the row of Fill.
void ShowRefusal(HWND dialog, int field, const std::string& problem)
{
    const HWND refusal = GetDlgItem(dialog, IDC_MAKER_REFUSAL);
    SetText(dialog, IDC_MAKER_REFUSAL, problem);
    if (field == 0)
        return;
    RECT fieldRect;
    RECT refusalRect;
    RECT fillRect;
    GetWindowRect(GetDlgItem(dialog, field), &fieldRect);
    GetWindowRect(refusal, &refusalRect);
    GetWindowRect(GetDlgItem(dialog, IDC_MAKER_FILL), &fillRect);
    POINT top{refusalRect.left, std::min(fieldRect.top, fillRect.top - (refusalRect.bottom - refusalRect.top))};
    ScreenToClient(dialog, &top);
    SetWindowPos(refusal, nullptr, top.x, top.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string OneDecimal(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string CountsLine(const LevelDefinition& level)
{
    const std::size_t triangles = CountPlayableCells(level.outline.cells);
    const WindowSize size = WindowSizeFor(level.outline.rows, level.outline.columns);
    const bool fits = size.width <= ScreenWidth && size.height <= ScreenHeight;
    std::string line = CountOf(triangles, "triangle") + ", " + CountOf(level.mines, "mine");
    if (level.mines > 0)
        line += ": one mine in " + OneDecimal(static_cast<double>(triangles) / level.mines) + " triangles";
    return line + ". The window is " + std::to_string(size.width) + " x " + std::to_string(size.height) +
           (fits ? ": it fits the screen." : ": larger than the screen.");
}

void ShowFigures(HWND dialog, const Maker& m, const std::string& solved)
{
    SetText(dialog, IDC_MAKER_FIGURES, m.counts + " " + solved);
}

std::string SolvedLine(const LevelFigures& plain, const LevelFigures& dealt)
{
    const std::string of = " of " + std::to_string(kFigureBoards);
    return "Played by the solver, which knows every chance: won " + std::to_string(plain.won) + of +
           ", won without a guess " + std::to_string(plain.wonWithoutGuess) + of +
           ". No guessing: dealt without a guess " + std::to_string(dealt.dealtWithoutGuess) + of + ".";
}

// Judges the board after every change: the refusal, Save, and the figures, worked out anew.
void JudgeAndCount(HWND dialog)
{
    Maker& m = MakerOf(dialog);
    LevelDefinition level;
    std::string problem;
    const int field = JudgeLevel(dialog, m, level, problem);
    m.saveable = field == 0;
    ShowRefusal(dialog, field, problem);
    EnableWindow(GetDlgItem(dialog, IDOK), m.saveable);
    StopFigures();
    m.figures = 0;  // figures already on their way are for the board as it was
    KillTimer(dialog, kFiguresTimerId);
    m.counts = field == IDC_MAKER_TITLE ? "" : CountsLine(level);
    if (!m.saveable) {
        ShowFigures(dialog, m, "How hard it is shows once the board can be saved.");
        return;
    }
    ShowFigures(dialog, m, "How hard it is: working...");
    SetTimer(dialog, kFiguresTimerId, kFiguresDelay, nullptr);
}

// The board as a saved level's record, as kelbo reads it back.
LevelRecord RecordOfDialog(HWND dialog, const Maker& m)
{
    std::string typed;
    std::string title;
    std::string problem;
    ReadTitle(dialog, typed, title, problem);
    const LevelDefinition level = LevelInDialog(dialog, m, title);
    LevelRecord record;
    record.rows = level.outline.rows;
    record.columns = level.outline.columns;
    record.mines = level.mines;
    record.grid =
        m.level >= kFirstShapedLevel ? level.outline.cells : RectangleOutline(record.rows, record.columns).cells;
    return record;
}

void StartWorkingOut(HWND dialog)
{
    KillTimer(dialog, kFiguresTimerId);
    Maker& m = MakerOf(dialog);
    m.arrived[0] = m.arrived[1] = false;
    if (m.saveable)
        m.figures = StartFigures(dialog, RecordOfDialog(dialog, m), m.level);
}

// The line shows the figures once both halves of the request on the screen are in.
void TakeFigures(HWND dialog, WPARAM request, LPARAM figures)
{
    const auto* half = reinterpret_cast<HalfOfFigures*>(figures);
    Maker& m = MakerOf(dialog);
    if (request == m.figures) {
        m.halves[half->noGuess] = *half;
        m.arrived[half->noGuess] = true;
    }
    delete half;
    if (request != m.figures || !m.arrived[0] || !m.arrived[1])
        return;
    if (!m.halves[0].played || !m.halves[1].played)
        ShowFigures(dialog, m, "The solver cannot play this board to its end.");
    else
        ShowFigures(dialog, m, SolvedLine(m.halves[0].figures, m.halves[1].figures));
}

void ShowShape(HWND dialog, Maker& m)
{
    const bool shaped = m.level >= kFirstShapedLevel;
    ShowOutline(GetDlgItem(dialog, IDC_MAKER_SHAPE), &m.outline, shaped);
    EnableWindow(GetDlgItem(dialog, IDC_MAKER_FILL), shaped);
    EnableWindow(GetDlgItem(dialog, IDC_MAKER_CLEAR), shaped);
    SetDlgItemTextA(dialog, IDC_MAKER_SHAPE_LABEL,
                    shaped ? "S&hape: left button or Space toggles, right button clears"
                           : "S&hape: levels 0 to 2 are always full rectangles");
}

// Rows and Columns as large as the shape.
void FillSize(HWND dialog, Maker& m)
{
    m.filling = true;
    SetFieldNumber(dialog, IDC_MAKER_ROWS, m.outline.rows);
    SetFieldNumber(dialog, IDC_MAKER_COLUMNS, m.outline.columns);
    m.filling = false;
}

// The fields as the level holds them; the title is the file's text (Windows-1252).
void FillFields(HWND dialog, Maker& m, const std::string& title, std::uint32_t mines)
{
    m.filling = true;
    SetText(dialog, IDC_MAKER_TITLE, Utf8OfFileText(title));
    SetFieldNumber(dialog, IDC_MAKER_MINES, mines);
    m.filling = false;
    FillSize(dialog, m);
}

void LoadLevel(HWND dialog, Maker& m, int level)
{
    m.level = level;
    const LevelDefinition definition = ReadLevelDefinition(m.file, level);
    m.outline = definition.outline;
    FillFields(dialog, m, WithoutTrailingSpaces(definition.title), definition.mines);
    ShowShape(dialog, m);
    JudgeAndCount(dialog);
}

void ResizeFromFields(HWND dialog, Maker& m)
{
    const std::uint32_t rows = FieldNumber(dialog, IDC_MAKER_ROWS);
    const std::uint32_t columns = FieldNumber(dialog, IDC_MAKER_COLUMNS);
    if (SizeCanBeDrawn(rows, columns) && (rows != m.outline.rows || columns != m.outline.columns)) {
        ResizeOutline(m.outline, rows, columns);
        ShowShape(dialog, m);
    }
}

void FillShape(HWND dialog, Maker& m, std::uint8_t cell)
{
    m.outline.cells.assign(m.outline.cells.size(), cell);
    ShowShape(dialog, m);
    JudgeAndCount(dialog);
}

bool AskPictureName(HWND dialog, char* name, bool saving)
{
    OPENFILENAMEA dialogData{};
    dialogData.lStructSize = sizeof dialogData;
    dialogData.hwndOwner = dialog;
    dialogData.lpstrFilter = "Pictures (*.txt)\0*.txt\0All files\0*.*\0";
    dialogData.lpstrFile = name;
    dialogData.nMaxFile = MAX_PATH;
    dialogData.lpstrDefExt = "txt";
    dialogData.Flags = OFN_NOCHANGEDIR | (saving ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    return saving ? GetSaveFileNameA(&dialogData) != 0 : GetOpenFileNameA(&dialogData) != 0;
}

void SayProblem(HWND dialog, const std::string& problem)
{
    MessageBoxW(dialog, Wide(problem).c_str(), Wide(kCaption).c_str(), MB_OK | MB_ICONWARNING);
}

bool ReadWholeFile(const std::string& name, std::string& text)
{
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (file == nullptr)
        return false;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        text.append(buffer, got);
    const bool read = std::ferror(file) == 0;
    std::fclose(file);
    return read;
}

// The picture kelbo level set --picture reads, read as it reads it.
void OpenPicture(HWND dialog, Maker& m)
{
    char name[MAX_PATH] = {};
    if (!AskPictureName(dialog, name, false))
        return;
    std::string text;
    std::string problem;
    LevelOutline outline;
    if (!ReadWholeFile(name, text)) {
        SayProblem(dialog, std::string(name) + " cannot be read");
        return;
    }
    if (!ParseOutlinePicture(text, name, outline, problem)) {
        SayProblem(dialog, problem);
        return;
    }
    m.outline = outline;
    FillSize(dialog, m);
    ShowShape(dialog, m);
    JudgeAndCount(dialog);
}

void SavePicture(HWND dialog, const Maker& m)
{
    char name[MAX_PATH] = {};
    if (!AskPictureName(dialog, name, true))
        return;
    const std::string picture = OutlinePicture(m.outline);
    std::FILE* file = std::fopen(name, "wb");
    const bool written = file != nullptr && std::fwrite(picture.data(), 1, picture.size(), file) == picture.size();
    const bool closed = file != nullptr && std::fclose(file) == 0;
    if (!written || !closed)
        SayProblem(dialog, std::string(name) + " cannot be written");
}

// "1. Anna, 12 seconds" a line; the times as the file holds them now.
std::string TimesToEmpty(int level)
{
    std::uint32_t offset = 0;
    BestTimesTable table{};
    std::string problem;
    const bool read = ReadCurrentBestTimes(level, offset, table, problem);
    CloseDataFile();
    if (!read)
        return "(its best times cannot be read: " + problem + ")\n";
    std::string lines;
    for (int place = 0; place < kTableEntries; ++place) {
        const BestTime& entry = table.entries[place];
        lines += std::to_string(place + 1) + ". " +
                 (entry.seconds == 0 ? std::string("none")
                                     : Utf8OfFileText(FieldText(entry.name, kNameSize)) + ", " +
                                           CountOf(static_cast<std::uint64_t>(entry.seconds), "second")) +
                 "\n";
    }
    return lines;
}

std::string LevelShown(const Maker& m, int level)
{
    return "level " + std::to_string(level) + " (" +
           Utf8OfFileText(WithoutTrailingSpaces(ReadLevelDefinition(m.file, level).title)) + ")";
}

bool Confirm(HWND dialog, const std::string& question)
{
    return MessageBoxW(dialog, Wide(question).c_str(), Wide(kCaption).c_str(), MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

// Writes the record into the level's slot as kelbo does; the dialog closes when it was written.
void StoreRecord(HWND dialog, Maker& m, const std::vector<std::uint8_t>& record)
{
    std::string problem;
    if (!ReplaceLevelInFile(m.level, record, problem)) {
        SayProblem(dialog, problem);
        return;
    }
    m.saved = m.level;
    StopFigures();
    EndDialog(dialog, IDOK);
}

void SaveLevel(HWND dialog, Maker& m)
{
    LevelDefinition level;
    std::string problem;
    if (JudgeLevel(dialog, m, level, problem) != 0)
        return;
    if (Confirm(dialog, "Save this board as " + LevelShown(m, m.level) + "?\n\nIts best times will be emptied:\n" +
                            TimesToEmpty(m.level)))
        StoreRecord(dialog, m, NewLevelRecord(m.level, level));
}

void PutBuiltInBack(HWND dialog, Maker& m)
{
    const std::string builtIn =
        Utf8OfFileText(WithoutTrailingSpaces(ReadLevelDefinition(DefaultDataFileBytes(), m.level).title));
    if (Confirm(dialog, "Put the built-in " + builtIn + " back as level " + std::to_string(m.level) +
                            ", with its own best times?\n\nThese best times will go:\n" + TimesToEmpty(m.level)))
        StoreRecord(dialog, m, DefaultLevelRecord(m.level));
}

void SetUpDown(HWND dialog, int upDownId, int lowest, int highest)
{
    SendDlgItemMessageA(dialog, upDownId, UDM_SETRANGE32, static_cast<WPARAM>(lowest), highest);
}

BOOL StartDialog(HWND dialog, LPARAM parameter)
{
    SetWindowLongPtrA(dialog, DWLP_USER, parameter);
    Maker& m = MakerOf(dialog);
    for (int level = 0; level < kLevelCount; ++level) {
        const std::wstring item = Wide(std::to_string(level) + ": " +
                                       Utf8OfFileText(WithoutTrailingSpaces(ReadLevelDefinition(m.file, level).title)));
        SendDlgItemMessageW(dialog, IDC_MAKER_LEVEL, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    SendDlgItemMessageA(dialog, IDC_MAKER_LEVEL, CB_SETCURSEL, static_cast<WPARAM>(m.level), 0);
    SendDlgItemMessageA(dialog, IDC_MAKER_TITLE, EM_LIMITTEXT, 40, 0);
    SetUpDown(dialog, IDC_MAKER_ROWS_ARROWS, 1, static_cast<int>(kLargestSide));
    SetUpDown(dialog, IDC_MAKER_COLUMNS_ARROWS, 1, static_cast<int>(kLargestSide));
    SetUpDown(dialog, IDC_MAKER_MINES_ARROWS, 0, static_cast<int>(kLargestMines));
    LoadLevel(dialog, m, m.level);
    return TRUE;
}

void HandleControl(HWND dialog, WORD control, WORD notification)
{
    Maker& m = MakerOf(dialog);
    const bool typed = notification == EN_CHANGE && !m.filling;
    switch (control) {
    case IDOK:
        SaveLevel(dialog, m);
        return;
    case IDCANCEL:
        StopFigures();
        EndDialog(dialog, IDCANCEL);
        return;
    case IDC_MAKER_BUILT_IN:
        PutBuiltInBack(dialog, m);
        return;
    case IDC_MAKER_OPEN_PICTURE:
        OpenPicture(dialog, m);
        return;
    case IDC_MAKER_SAVE_PICTURE:
        SavePicture(dialog, m);
        return;
    case IDC_MAKER_FILL:
        FillShape(dialog, m, kPlayableCell);
        return;
    case IDC_MAKER_CLEAR:
        FillShape(dialog, m, kVoidCell);
        return;
    case IDC_MAKER_SHAPE:
        JudgeAndCount(dialog);
        return;
    case IDC_MAKER_LEVEL:
        if (notification == CBN_SELCHANGE)
            LoadLevel(dialog, m, static_cast<int>(SendDlgItemMessageA(dialog, IDC_MAKER_LEVEL, CB_GETCURSEL, 0, 0)));
        return;
    case IDC_MAKER_ROWS:
    case IDC_MAKER_COLUMNS:
        if (typed)
            ResizeFromFields(dialog, m);
        [[fallthrough]];
    case IDC_MAKER_TITLE:
    case IDC_MAKER_MINES:
        if (typed)
            JudgeAndCount(dialog);
        return;
    default:
        return;
    }
}

INT_PTR CALLBACK MakerProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return StartDialog(dialog, lParam);
    case WM_COMMAND:
        HandleControl(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_TIMER:
        StartWorkingOut(dialog);
        return TRUE;
    case kFiguresReady:
        TakeFigures(dialog, wParam, lParam);
        return TRUE;
    default:
        return FALSE;
    }
}

// The shape area's class and the arrows' are registered once, at the dialog's first opening.
bool RegisterControls()
{
    static bool registered = false;
    if (registered)
        return true;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS};
    registered = InitCommonControlsEx(&controls) && RegisterShapeArea(AppInstance);
    return registered;
}

}  // namespace

int MakeBoard(HWND window)
{
    Maker m;
    std::string problem;
    if (!RegisterControls()) {
        SayProblem(window, "Windows cannot make the window in which boards are drawn.");
        return -1;
    }
    const bool read = OpenCheckedForReading(problem) && ReadOpenImage(m.file);
    CloseDataFile();
    if (!read) {
        SayProblem(window, problem.empty() ? DataFileName + " cannot be read" : problem);
        return -1;
    }
    m.level = LevelIndex;
    DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_MAKE_BOARD), window, MakerProcedure,
                    reinterpret_cast<LPARAM>(&m));
    return m.saved;
}
