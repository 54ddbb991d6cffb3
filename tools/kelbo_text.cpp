#include "tools/kelbo_text.h"

#include <cstdio>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>  // CommandLineToArgvW
#endif

#include "data/data_file.h"
#include "data/windows_1252.h"

namespace {

std::string Escaped(std::uint8_t byte)
{
    char escape[5];
    std::snprintf(escape, sizeof escape, "\\x%02x", byte);
    return escape;
}

#ifdef _WIN32
// The console's code page; a program without a console writes as the system's programs do.
UINT TerminalCodePage()
{
    const UINT codePage = GetConsoleOutputCP();
    return codePage != 0 ? codePage : GetACP();
}

bool TerminalIsUtf8()
{
    return TerminalCodePage() == CP_UTF8;
}

// A letter in the console's single-byte or double-byte code page; false when it has none.
bool AppendInCodePage(std::string& text, std::uint32_t codePoint)
{
    if (TerminalIsUtf8()) {
        AppendUtf8(text, codePoint);
        return true;
    }
    const wchar_t wide = static_cast<wchar_t>(codePoint);  // Windows-1252 lies in the 16-bit plane
    char bytes[8];
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(TerminalCodePage(), WC_NO_BEST_FIT_CHARS, &wide, 1, bytes, sizeof bytes,
                                           nullptr, &usedDefault);
    if (length <= 0 || usedDefault)
        return false;
    text.append(bytes, static_cast<std::size_t>(length));
    return true;
}

std::wstring WideFromCodePage(UINT codePage, const std::string& text)
{
    const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string SystemCodePageFromWide(const std::wstring& wide)
{
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &text[0], length, nullptr, nullptr);
    return text;
}

// The C library hands the arguments over in the system's code page, where a letter it lacks has
// become '?'. The command line as typed comes from Windows itself; argument number index is used
// when it is the same argument.
std::wstring TypedArgument(const std::string& argument, int index)
{
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring typed;
    if (words != nullptr && index > 0 && index < count)
        typed = words[index];
    LocalFree(words);
    return SystemCodePageFromWide(typed) == argument ? typed : WideFromCodePage(CP_ACP, argument);
}

bool ArgumentCodePoints(const std::string& argument, int index, std::vector<std::uint32_t>& codePoints, std::size_t&)
{
    const std::wstring wide = TypedArgument(argument, index);
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const std::uint32_t unit = static_cast<std::uint16_t>(wide[i]);
        const bool pair = unit >= 0xD800 && unit <= 0xDBFF && i + 1 < wide.size();
        codePoints.push_back(
            pair ? 0x10000 + ((unit - 0xD800) << 10) + (static_cast<std::uint16_t>(wide[++i]) - 0xDC00u) : unit);
    }
    return true;
}
#else
bool TerminalIsUtf8()
{
    return true;
}

bool AppendInCodePage(std::string& text, std::uint32_t codePoint)
{
    AppendUtf8(text, codePoint);
    return true;
}

// The terminal hands arguments over in UTF-8; badByte is where they stop being UTF-8.
bool ArgumentCodePoints(const std::string& argument, int, std::vector<std::uint32_t>& codePoints, std::size_t& badByte)
{
    for (std::size_t position = 0; position < argument.size();) {
        std::uint32_t codePoint = 0;
        std::size_t length = 0;
        if (!NextUtf8CodePoint(argument, position, codePoint, length)) {
            badByte = position;
            return false;
        }
        codePoints.push_back(codePoint);
        position += length;
    }
    return true;
}
#endif

std::string ShownCodePoint(std::uint32_t codePoint)
{
    std::string shown;
    char number[16];
    std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(codePoint));
    if (codePoint >= 32 && codePoint != 127 && (codePoint < 0x80 || codePoint >= 0xA0) &&
        AppendInCodePage(shown, codePoint))
        return "\"" + shown + "\" (" + number + ")";
    return number;
}

}  // namespace

int Fail(const std::string& message)
{
    std::fprintf(stderr, "kelbo: %s\n", message.c_str());
    return 1;
}

int Misuse(const std::string& message)
{
    Fail(message);
    return kMisuse;
}

void Warn(const std::string& message)
{
    std::fprintf(stderr, "kelbo: warning: %s\n", message.c_str());
}

bool ParseLevel(const std::string& text, int& level, std::string& problem)
{
    const std::string range = "0 to " + std::to_string(kLevelCount - 1);
    std::uint64_t value = 0;
    if (ParseNumber(text, kLevelCount - 1, value)) {
        level = static_cast<int>(value);
        return true;
    }
    problem =
        text.empty() ? "give a level number, " + range : "there is no level " + text + ": the levels are " + range;
    return false;
}

bool ParseWord32(const std::string& optionName, const std::string& text, std::uint32_t& value, std::string& problem)
{
    std::uint64_t number = 0;
    if (!ParseNumber(text, 0xFFFFFFFFu, number)) {
        problem = optionName + " " + text + ": give a whole number from 0 to 4294967295";
        return false;
    }
    value = static_cast<std::uint32_t>(number);
    return true;
}

bool ParseNumber(const std::string& text, std::uint64_t limit, std::uint64_t& value)
{
    if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = 0;
    for (const char digit : text)
        value = value * 10 + static_cast<std::uint64_t>(digit - '0');
    return value <= limit;
}

std::string TerminalText(const std::string& fileText)
{
    std::string shown;
    for (const char c : fileText) {
        const std::uint8_t byte = static_cast<std::uint8_t>(c);
        const std::uint32_t codePoint = CodePointOfWindows1252(byte);
        if (byte == '\\')
            shown += "\\\\";
        else if (byte < 32 || byte == 127 || codePoint == kNoCodePoint || !AppendInCodePage(shown, codePoint))
            shown += Escaped(byte);
    }
    return shown;
}

std::string PadToWidth(const std::string& terminalText, std::size_t width)
{
    std::size_t shown = 0;
    for (const char c : terminalText)
        shown += !TerminalIsUtf8() || (static_cast<std::uint8_t>(c) & 0xC0) != 0x80;
    return terminalText + std::string(shown < width ? width - shown : 0, ' ');
}

bool FileTextFromArgument(const std::string& argument, int index, const std::string& optionName, std::string& fileText,
                          std::string& problem)
{
    std::vector<std::uint32_t> codePoints;
    std::size_t badByte = 0;
    if (!ArgumentCodePoints(argument, index, codePoints, badByte)) {
        problem = optionName + ": byte " + std::to_string(badByte + 1) +
                  " is not UTF-8 text; the terminal should send text in UTF-8";
        return false;
    }
    fileText.clear();
    for (std::size_t index = 0; index < codePoints.size(); ++index) {
        std::uint8_t byte = 0;
        if (!Windows1252OfCodePoint(codePoints[index], byte)) {
            problem =
                optionName + " " + argument + ": " + NotInCharacterSet(index + 1, ShownCodePoint(codePoints[index]));
            return false;
        }
        fileText += static_cast<char>(byte);
    }
    return true;
}
