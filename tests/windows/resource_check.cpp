// resource_check PROGRAM.exe: loads the program's resources as data and compares the menu, the
// accelerator table, the dialog templates and the icon groups with what the game expects.
// Prints one line per mismatch; exits 0 when everything matches, 1 otherwise, 2 when the
// program cannot be loaded.
#include <windows.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const WORD Russian = MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT);  // every resource is 1049
const DWORD ChildVisible = WS_CHILD | WS_VISIBLE;
const std::uint16_t ButtonClass = 0x80, EditClass = 0x81, StaticClass = 0x82;

HMODULE Program;  // the checked program, loaded as a data file
int Mismatches;   // mismatches reported so far

void Report(const std::string& where, const std::string& what)
{
    std::printf("%s: %s\n", where.c_str(), what.c_str());
    ++Mismatches;
}

std::string Number(unsigned long value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lu (0x%lX)", value, value);
    return text;
}

void ExpectNumber(const std::string& where, const char* field, unsigned long actual, unsigned long expected)
{
    if (actual != expected)
        Report(where, std::string(field) + " is " + Number(actual) + ", expected " + Number(expected));
}

void ExpectText(const std::string& where, const char* field, const std::string& actual, const std::string& expected)
{
    if (actual != expected)
        Report(where, std::string(field) + " is \"" + actual + "\", expected \"" + expected + "\"");
}

// Reads a resource's bytes little-endian, word by word; reading past the end yields zeros
// and sets overrun, which the caller reports once.
struct Reader {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t position = 0;
    bool overrun = false;
};

std::uint16_t ReadWord(Reader& reader)
{
    if (reader.position + 2 > reader.size) {
        reader.overrun = true;
        reader.position = reader.size;
        return 0;
    }
    const std::uint8_t* p = reader.data + reader.position;
    reader.position += 2;
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t ReadDword(Reader& reader)
{
    std::uint32_t low = ReadWord(reader);
    return low | static_cast<std::uint32_t>(ReadWord(reader)) << 16;
}

std::int16_t ReadShort(Reader& reader)
{
    return static_cast<std::int16_t>(ReadWord(reader));
}

// UTF-16 text up to its terminating zero; every text the game uses is ASCII.
std::string ReadText(Reader& reader)
{
    std::string text;
    for (std::uint16_t c = ReadWord(reader); c != 0 && !reader.overrun; c = ReadWord(reader))
        text += c < 0x80 ? static_cast<char>(c) : '?';
    return text;
}

// A name-or-ordinal field: empty for 0x0000, "#N" for an ordinal, else the text.
std::string ReadNameOrOrdinal(Reader& reader)
{
    std::uint16_t first = ReadWord(reader);
    if (first == 0)
        return "";
    if (first == 0xFFFF)
        return "#" + std::to_string(ReadWord(reader));
    reader.position -= 2;
    return ReadText(reader);
}

void AlignToDword(Reader& reader)
{
    reader.position = (reader.position + 3) & ~static_cast<std::size_t>(3);
}

bool LoadBytes(const std::string& where, LPCSTR type, int id, Reader& reader)
{
    HRSRC found = FindResourceExA(Program, type, MAKEINTRESOURCEA(id), Russian);
    HGLOBAL loaded = found ? LoadResource(Program, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) {
        Report(where, "not found in language 1049");
        return false;
    }
    reader.data = static_cast<const std::uint8_t*>(bytes);
    reader.size = SizeofResource(Program, found);
    return true;
}

void ExpectFullyRead(const std::string& where, const Reader& reader)
{
    if (reader.overrun)
        Report(where, "ends before all its fields were read");
    else if (reader.position != reader.size)
        Report(where, std::to_string(reader.size - reader.position) + " bytes left over");
}

struct MenuLine {
    std::uint16_t flags;
    int id;  // -1 for a pop-up, which has no id
    std::string text;
};

void ReadMenuItems(Reader& reader, std::vector<MenuLine>& lines)
{
    for (;;) {
        MenuLine line;
        line.flags = ReadWord(reader);
        line.id = (line.flags & MF_POPUP) ? -1 : ReadWord(reader);
        line.text = ReadText(reader);
        lines.push_back(line);
        if (reader.overrun)
            return;
        if (line.flags & MF_POPUP)
            ReadMenuItems(reader, lines);
        if (line.flags & MF_END)
            return;
    }
}

void CheckMenu()
{
    const std::string where = "menu 102";
    const std::vector<MenuLine> expected = {
        {MF_POPUP, -1, "Game"},
        {0, 40001, "New game\tAlt+N"},
        {0, 0, ""},
        {MF_CHECKED, 40005, "Beginner"},
        {0, 40006, "Average"},
        {0, 40007, "Expert"},
        {0, 0, ""},
        {0, 40008, "Triangle"},
        {0, 40009, "Star"},
        {0, 40010, "Hexagon"},
        {0, 40011, "Radiation"},
        {0, 40012, "Cross"},
        {0, 0, ""},
        {0, 40013, "Best times"},
        {0, 40016, "Statistics"},
        {0, 40014, "No guessing"},
        {MF_GRAYED, 40017, "Same board again\tF3"},
        {MF_POPUP, -1, "Triangle size"},
        {MF_CHECKED, 40018, "Normal"},
        {0, 40019, "Double"},
        {MF_END, 40020, "Triple"},
        {0, 40015, "Make a board..."},
        {0, 0, ""},
        {MF_END, 40002, "E&xit\tAlt+X"},
        {MF_POPUP | MF_END, -1, "Help"},
        {MF_END, 40004, "About Skarvel"},
    };
    Reader reader;
    if (!LoadBytes(where, RT_MENU, 102, reader))
        return;
    ExpectNumber(where, "header version", ReadWord(reader), 0);
    ExpectNumber(where, "header size", ReadWord(reader), 0);
    std::vector<MenuLine> actual;
    ReadMenuItems(reader, actual);
    ExpectFullyRead(where, reader);
    ExpectNumber(where, "number of items", actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size() && i < expected.size(); ++i) {
        std::string item = where + " item " + std::to_string(i + 1) + " (\"" + expected[i].text + "\")";
        ExpectNumber(item, "flags", actual[i].flags, expected[i].flags);
        if (expected[i].id >= 0)
            ExpectNumber(item, "id", static_cast<unsigned long>(actual[i].id),
                         static_cast<unsigned long>(expected[i].id));
        ExpectText(item, "text", actual[i].text, expected[i].text);
    }
}

void CheckAccelerators()
{
    const std::string where = "accelerator table 114";
    const std::uint16_t expected[3][4] = {
        {FVIRTKEY | FNOINVERT | FALT, 0x4E, 40001, 0},
        {FVIRTKEY | FNOINVERT | FALT, 0x58, 40002, 0},
        {FVIRTKEY | FNOINVERT | 0x80, VK_F3, 40017, 0},  // 0x80 marks the last entry
    };
    const char* fields[4] = {"flags", "key", "command", "padding"};
    Reader reader;
    if (!LoadBytes(where, RT_ACCELERATOR, 114, reader))
        return;
    ExpectNumber(where, "size in bytes", reader.size, sizeof expected);
    for (int entry = 0; entry < 3; ++entry)
        for (int word = 0; word < 4; ++word)
            ExpectNumber(where + " entry " + std::to_string(entry + 1), fields[word], ReadWord(reader),
                         expected[entry][word]);
}

struct Control {
    std::uint16_t classAtom;
    int id;            // -1 stands for 0xFFFF
    std::string text;  // "#101" for the icon shown by id
    DWORD flags;       // besides WS_CHILD and WS_VISIBLE
    int x, y, width, height;
};

struct Dialog {
    int resourceId;
    DWORD style;
    int width, height;
    std::string caption;
    std::vector<Control> controls;
};

const DWORD Label = SS_LEFT | WS_GROUP;
const char* const FreeText = "*";  // a line of the About dialog that is ours to word

std::vector<Dialog> ExpectedDialogs()
{
    Dialog about = {104,
                    DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_CAPTION,
                    141,
                    110,
                    "About Skarvel",
                    {
                        {ButtonClass, 1, "OK", BS_DEFPUSHBUTTON | BS_CENTER | BS_VCENTER | WS_TABSTOP, 39, 89, 63, 14},
                        {StaticClass, -1, "#101", SS_ICON, 11, 22, 20, 20},
                        {StaticClass, -1, "Triangular skarvel", SS_CENTER | SS_SUNKEN | WS_GROUP, 34, 9, 88, 11},
                        {StaticClass, -1, FreeText, Label, 35, 22, 88, 17},
                        {StaticClass, -1, FreeText, Label, 35, 39, 100, 10},
                        {StaticClass, -1, std::string(32, '_'), Label, 13, 47, 122, 8},
                        {StaticClass, -1, FreeText, Label, 11, 57, 127, 18},
                        {StaticClass, -1, FreeText, Label, 11, 77, 127, 10},
                    }};
    Dialog bestTimes = {115,
                        DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION,
                        137,
                        98,
                        "Best times",
                        {
                            {ButtonClass, 1, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 80, 77, 50, 14},
                            {ButtonClass, 1003, "Reset scores", BS_PUSHBUTTON | WS_TABSTOP, 7, 77, 50, 14},
                            {ButtonClass, -1, "", BS_GROUPBOX, 7, 10, 123, 61},
                            {StaticClass, -1, "1.", Label, 11, 18, 10, 9},
                            {StaticClass, -1, "2.", Label, 11, 28, 10, 9},
                            {StaticClass, -1, "3.", Label, 11, 38, 10, 9},
                            {StaticClass, -1, "4.", Label, 11, 48, 10, 9},
                            {StaticClass, -1, "5.", Label, 11, 58, 10, 9},
                            {StaticClass, 1004, "Static", SS_LEFT, 22, 18, 52, 10},
                            {StaticClass, 1005, "Static", SS_LEFT, 22, 28, 53, 10},
                            {StaticClass, 1006, "Static", SS_LEFT, 22, 38, 53, 10},
                            {StaticClass, 1007, "Static", SS_LEFT, 22, 48, 54, 10},
                            {StaticClass, 1008, "Static", SS_LEFT, 22, 58, 54, 10},
                            {StaticClass, 1009, "Static", Label, 77, 18, 47, 10},
                            {StaticClass, 1010, "Static", Label, 77, 28, 47, 10},
                            {StaticClass, 1011, "Static", Label, 77, 38, 47, 10},
                            {StaticClass, 1012, "Static", Label, 77, 48, 47, 9},
                            {StaticClass, 1013, "Static", Label, 77, 58, 47, 10},
                            {StaticClass, -1, "Best times for ", Label, 8, 3, 46, 10},
                            {StaticClass, 1014, "Static", Label, 54, 3, 73, 10},
                        }};
    Dialog enterName = {119,
                        DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION,
                        144,
                        68,
                        "CONGARTULATIONS!",
                        {
                            {ButtonClass, 1, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 47, 47, 50, 14},
                            {StaticClass, -1, "You are one of the fastest skarvels!", Label, 7, 7, 130, 9},
                            {StaticClass, -1, "Enter your name:", Label, 7, 17, 65, 10},
                            {EditClass, 1015, "", ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 29, 122, 13},
                        }};
    return {about, bestTimes, enterName};
}

void CheckRectangle(const std::string& where, Reader& reader, int x, int y, int width, int height)
{
    ExpectNumber(where, "x", static_cast<unsigned long>(ReadShort(reader)), static_cast<unsigned long>(x));
    ExpectNumber(where, "y", static_cast<unsigned long>(ReadShort(reader)), static_cast<unsigned long>(y));
    ExpectNumber(where, "width", static_cast<unsigned long>(ReadShort(reader)), static_cast<unsigned long>(width));
    ExpectNumber(where, "height", static_cast<unsigned long>(ReadShort(reader)), static_cast<unsigned long>(height));
}

void CheckControl(const std::string& where, Reader& reader, const Control& control)
{
    AlignToDword(reader);
    ExpectNumber(where, "style", ReadDword(reader), ChildVisible | control.flags);
    ExpectNumber(where, "extended style", ReadDword(reader), 0);
    CheckRectangle(where, reader, control.x, control.y, control.width, control.height);
    ExpectNumber(where, "id", ReadWord(reader), static_cast<std::uint16_t>(control.id));
    ExpectText(where, "class", ReadNameOrOrdinal(reader), "#" + std::to_string(control.classAtom));
    std::string text = ReadNameOrOrdinal(reader);
    if (control.text == FreeText) {
        if (text.empty())
            Report(where, "text is empty");
    } else {
        ExpectText(where, "text", text, control.text);
    }
    ExpectNumber(where, "creation data size", ReadWord(reader), 0);
}

void CheckDialog(const Dialog& dialog)
{
    const std::string where = "dialog " + std::to_string(dialog.resourceId);
    Reader reader;
    if (!LoadBytes(where, RT_DIALOG, dialog.resourceId, reader))
        return;
    ExpectNumber(where, "style", ReadDword(reader), dialog.style);
    ExpectNumber(where, "extended style", ReadDword(reader), 0);
    std::uint16_t count = ReadWord(reader);
    ExpectNumber(where, "number of controls", count, dialog.controls.size());
    CheckRectangle(where, reader, 0, 0, dialog.width, dialog.height);
    ExpectText(where, "menu", ReadNameOrOrdinal(reader), "");
    ExpectText(where, "class", ReadNameOrOrdinal(reader), "");
    ExpectText(where, "caption", ReadText(reader), dialog.caption);
    ExpectNumber(where, "font size", ReadWord(reader), 10);
    ExpectText(where, "font", ReadText(reader), "MS Sans Serif");
    for (std::size_t i = 0; i < count && i < dialog.controls.size(); ++i)
        CheckControl(where + " control " + std::to_string(i + 1), reader, dialog.controls[i]);
    if (count == dialog.controls.size())
        ExpectFullyRead(where, reader);
}

struct MakerControl {
    int id;
    std::string className;
    std::string text;
    DWORD style;
};

std::string Capitals(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The board maker's controls as the template holds them, in their Tab order.
std::vector<MakerControl> ReadMakerControls(const std::string& where, Reader& reader)
{
    const DWORD style = ReadDword(reader);
    ReadDword(reader);
    const std::uint16_t count = ReadWord(reader);
    for (int corner = 0; corner < 4; ++corner)
        ReadShort(reader);
    ExpectText(where, "menu", ReadNameOrOrdinal(reader), "");
    ExpectText(where, "class", ReadNameOrOrdinal(reader), "");
    ExpectText(where, "caption", ReadText(reader), "Make a board");
    if ((style & DS_SETFONT) == 0)
        Report(where, "has no font of its own");
    ReadWord(reader);
    ReadText(reader);
    std::vector<MakerControl> controls;
    for (int i = 0; i < count && !reader.overrun; ++i) {
        AlignToDword(reader);
        MakerControl control{};
        control.style = ReadDword(reader);
        ReadDword(reader);
        for (int corner = 0; corner < 4; ++corner)
            ReadShort(reader);
        control.id = ReadWord(reader);
        control.className = ReadNameOrOrdinal(reader);
        control.text = ReadNameOrOrdinal(reader);
        ReadWord(reader);
        controls.push_back(control);
    }
    ExpectFullyRead(where, reader);
    return controls;
}

// What tools and tests find the dialog by: its controls' ids and kinds; Save the default button;
// every control that Tab reaches has a mnemonic, its own or its label's just before it.
void CheckMakerDialog()
{
    const std::string where = "dialog 120";
    Reader reader;
    if (!LoadBytes(where, RT_DIALOG, 120, reader))
        return;
    const std::vector<MakerControl> controls = ReadMakerControls(where, reader);
    const struct {
        int id;
        std::string className;
    } expected[] = {{1201, "ComboBox"}, {1202, "#129"}, {1203, "#129"}, {1204, "#129"}, {1205, "#129"},
                    {1206, "SkarvelShapeArea"}, {1207, "#130"}, {1208, "#128"}, {1209, "#128"}, {1210, "#128"},
                    {1211, "#128"}, {1212, "#128"}, {1213, "#130"}, {1, "#128"}, {2, "#128"}};
    for (const auto& wanted : expected) {
        const std::string control = where + " control " + std::to_string(wanted.id);
        std::size_t i = 0;
        while (i < controls.size() && controls[i].id != wanted.id)
            ++i;
        if (i == controls.size()) {
            Report(control, "missing");
            continue;
        }
        // A class named as text is stored in capitals by windres; Windows compares such names
        // without regard to case.
        ExpectText(control, "class", controls[i].className, Capitals(wanted.className));
        if (wanted.id == 1)
            ExpectNumber(control, "default button", controls[i].style & BS_DEFPUSHBUTTON, BS_DEFPUSHBUTTON);
        const bool tabStop = (controls[i].style & WS_TABSTOP) != 0;
        const bool button = wanted.className == "#128";
        const bool labelled = i > 0 && controls[i - 1].className == "#130";
        const std::string named = button ? controls[i].text : labelled ? controls[i - 1].text : "";
        if (wanted.className != "#130" && (!tabStop || named.find('&') == std::string::npos))
            Report(control, "is not reached with Tab or has no mnemonic");
    }
}

const std::uint8_t StandardPalette[16][3] = {
    {0x00, 0x00, 0x00}, {0x80, 0x00, 0x00}, {0x00, 0x80, 0x00}, {0x80, 0x80, 0x00},
    {0x00, 0x00, 0x80}, {0x80, 0x00, 0x80}, {0x00, 0x80, 0x80}, {0xC0, 0xC0, 0xC0},
    {0x80, 0x80, 0x80}, {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0xFF, 0xFF, 0x00},
    {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF}, {0x00, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF},
};

void CheckPalette(const std::string& where, Reader& reader)
{
    for (int i = 0; i < 16; ++i) {
        std::uint8_t blue = reader.data[reader.position], green = reader.data[reader.position + 1];
        std::uint8_t red = reader.data[reader.position + 2];
        reader.position += 4;
        if (red != StandardPalette[i][0] || green != StandardPalette[i][1] || blue != StandardPalette[i][2])
            Report(where, "palette entry " + std::to_string(i) + " is not the standard colour");
    }
}

void CheckImage(const std::string& where, int imageId, int size, std::uint32_t groupBytes)
{
    Reader reader;
    if (!LoadBytes(where, RT_ICON, imageId, reader))
        return;
    const std::uint32_t rowBytes = (size * 4 + 31) / 32 * 4, maskRowBytes = (size + 31) / 32 * 4;
    const std::uint32_t expectedBytes = 40 + 64 + (rowBytes + maskRowBytes) * size;
    ExpectNumber(where, "size in bytes", reader.size, expectedBytes);
    ExpectNumber(where, "size in bytes given by the group", groupBytes, reader.size);
    if (reader.size < 40 + 64)
        return;
    ExpectNumber(where, "header size", ReadDword(reader), 40);
    ExpectNumber(where, "width", ReadDword(reader), size);
    ExpectNumber(where, "height of colour bitmap and mask", ReadDword(reader), 2 * size);
    ExpectNumber(where, "planes", ReadWord(reader), 1);
    ExpectNumber(where, "bits per pixel", ReadWord(reader), 4);
    ExpectNumber(where, "compression", ReadDword(reader), 0);
    reader.position = 40;
    CheckPalette(where, reader);
}

void CheckIconGroup(int groupId, const std::vector<int>& sizes, int firstImage)
{
    const std::string where = "icon group " + std::to_string(groupId);
    Reader reader;
    if (!LoadBytes(where, RT_GROUP_ICON, groupId, reader))
        return;
    ExpectNumber(where, "reserved", ReadWord(reader), 0);
    ExpectNumber(where, "type", ReadWord(reader), 1);
    ExpectNumber(where, "number of images", ReadWord(reader), sizes.size());
    for (std::size_t i = 0; i < sizes.size() && !reader.overrun; ++i) {
        std::string entry = where + " image " + std::to_string(i + 1);
        std::uint8_t width = reader.position < reader.size ? reader.data[reader.position] : 0;
        std::uint8_t height = reader.position + 1 < reader.size ? reader.data[reader.position + 1] : 0;
        std::uint8_t colours = reader.position + 2 < reader.size ? reader.data[reader.position + 2] : 0;
        reader.position += 4;
        ExpectNumber(entry, "width", width, sizes[i]);
        ExpectNumber(entry, "height", height, sizes[i]);
        ExpectNumber(entry, "colour count", colours, 16);
        ExpectNumber(entry, "planes", ReadWord(reader), 1);
        ExpectNumber(entry, "bits per pixel", ReadWord(reader), 4);
        std::uint32_t bytes = ReadDword(reader);
        std::uint16_t imageId = ReadWord(reader);
        ExpectNumber(entry, "image number", imageId, firstImage + static_cast<int>(i));
        CheckImage("icon image " + std::to_string(imageId), imageId, sizes[i], bytes);
    }
    ExpectFullyRead(where, reader);
}

void CheckIcons()
{
    CheckIconGroup(101, {32, 16}, 1);
    for (int group = 105; group <= 113; ++group)
        CheckIconGroup(group, {32}, group - 102);
}

// The manifest declares per-monitor DPI awareness, with system awareness for older systems.
void CheckManifest()
{
    Reader reader;
    if (!LoadBytes("manifest 1", RT_MANIFEST, 1, reader))
        return;
    const std::string text(reinterpret_cast<const char*>(reader.data), reader.size);
    for (const char* setting : {"<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>",
                                "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                                "PerMonitorV2, PerMonitor</dpiAwareness>"})
        if (text.find(setting) == std::string::npos)
            Report("manifest 1", std::string("does not declare ") + setting);
}

// Every resource of the program, enumerated, must be one of those above in language 1049.
struct Inventory {
    std::vector<std::string> unexpected;
};

bool IsExpected(LPCSTR type, LPCSTR name)
{
    if (IS_INTRESOURCE(type) == 0 || IS_INTRESOURCE(name) == 0)
        return false;
    WORD id = LOWORD(reinterpret_cast<ULONG_PTR>(name));
    switch (LOWORD(reinterpret_cast<ULONG_PTR>(type))) {
    case 3:
        return id >= 1 && id <= 11;  // RT_ICON
    case 14:
        return id == 101 || (id >= 105 && id <= 113);  // RT_GROUP_ICON
    case 4:
        return id == 102;  // RT_MENU
    case 5:
        return id == 104 || id == 115 || id == 119 || id == 120 || id == 121;  // RT_DIALOG
    case 9:
        return id == 114;  // RT_ACCELERATOR
    case 24:
        return id == 1;  // RT_MANIFEST
    default:
        return false;
    }
}

std::string Describe(LPCSTR type, LPCSTR name, WORD language)
{
    auto part = [](LPCSTR value) {
        return IS_INTRESOURCE(value) ? std::to_string(LOWORD(reinterpret_cast<ULONG_PTR>(value))) : std::string(value);
    };
    return "type " + part(type) + " id " + part(name) + " language " + std::to_string(language);
}

BOOL CALLBACK NoteLanguage(HMODULE, LPCSTR type, LPCSTR name, WORD language, LONG_PTR inventory)
{
    if (!IsExpected(type, name) || language != Russian)
        reinterpret_cast<Inventory*>(inventory)->unexpected.push_back(Describe(type, name, language));
    return TRUE;
}

BOOL CALLBACK NoteName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR inventory)
{
    EnumResourceLanguagesA(module, type, name, NoteLanguage, inventory);
    return TRUE;
}

BOOL CALLBACK NoteType(HMODULE module, LPSTR type, LONG_PTR inventory)
{
    EnumResourceNamesA(module, type, NoteName, inventory);
    return TRUE;
}

// The Statistics dialog's layout is free: the end-to-end test reads its figures by their ids.
void CheckStatisticsDialog()
{
    Reader reader;
    if (!LoadBytes("dialog 121", RT_DIALOG, 121, reader))
        return;
    for (int word = 0; word < 9; ++word)  // style, extended style, count, rectangle
        ReadWord(reader);
    ExpectText("dialog 121", "menu", ReadNameOrOrdinal(reader), "");
    ExpectText("dialog 121", "class", ReadNameOrOrdinal(reader), "");
    ExpectText("dialog 121", "caption", ReadText(reader), "Statistics");
}

void CheckInventory()
{
    Inventory inventory;
    EnumResourceTypesA(Program, NoteType, reinterpret_cast<LONG_PTR>(&inventory));
    for (const std::string& resource : inventory.unexpected)
        Report("inventory", "unexpected resource: " + resource);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: resource_check PROGRAM.exe\n");
        return 2;
    }
    Program = LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!Program) {
        std::fprintf(stderr, "resource_check: cannot load %s (error %lu)\n", argv[1], GetLastError());
        return 2;
    }
    CheckMenu();
    CheckAccelerators();
    for (const Dialog& dialog : ExpectedDialogs())
        CheckDialog(dialog);
    CheckStatisticsDialog();
    CheckMakerDialog();
    CheckIcons();
    CheckManifest();
    CheckInventory();
    FreeLibrary(Program);
    if (Mismatches == 0) {
        std::printf("resource_check: %s: every resource matches\n", argv[1]);
        return 0;
    }
    std::printf("resource_check: %s: %d mismatches\n", argv[1], Mismatches);
    return 1;
}
