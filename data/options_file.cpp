#include "data/options_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>

namespace {

// A file of options is a few lines; reading no further keeps a huge stray file from slowing the start.
constexpr std::size_t kLargestOptionsFile = 64 * 1024;

std::string Trimmed(const std::string& text)
{
    const char* blanks = " \t\r";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The name of a section's header line "[Name]", or false when the line is none.
bool SectionName(const std::string& line, std::string& name)
{
    const std::size_t close = line.find(']');
    if (line.empty() || line[0] != '[' || close == std::string::npos)
        return false;
    name = Trimmed(line.substr(1, close - 1));
    return true;
}

// The value of a line "key = value" when its key is key.
bool ValueOfKey(const std::string& line, const std::string& key, std::string& value)
{
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos || !SameName(Trimmed(line.substr(0, equals)), key))
        return false;
    value = Trimmed(line.substr(equals + 1));
    // Quotes around a value are not part of it, as Windows reads profile files.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return true;
}

// The first value of key in the first section named section; empty when there is none.
std::string ProfileValue(const std::string& text, const std::string& section, const std::string& key)
{
    const std::string utf8Mark = "\xEF\xBB\xBF";
    std::size_t start = text.compare(0, utf8Mark.size(), utf8Mark) == 0 ? utf8Mark.size() : 0;
    bool inSection = false;
    bool sectionSeen = false;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = Trimmed(text.substr(start, end - start));
        start = end + 1;
        std::string name, value;
        if (SectionName(line, name)) {
            if (inSection)
                break;
            inSection = !sectionSeen && SameName(name, section);
            sectionSeen = sectionSeen || inSection;
        } else if (inSection && ValueOfKey(line, key, value)) {
            return value;
        }
    }
    return "";
}

}  // namespace

std::string OptionsFileBeside(const std::string& dataFilePath)
{
    const std::size_t separator = dataFilePath.find_last_of("/\\");
    const std::string folder = separator == std::string::npos ? "" : dataFilePath.substr(0, separator + 1);
    return folder + "skarvel.ini";
}

bool NoGuessInProfile(const std::string& text)
{
    return ProfileValue(text, "Options", "NoGuess") == "1";
}

// The first kLargestOptionsFile bytes of the file; false when it cannot be read.
static bool ReadProfileStart(const std::string& path, std::string& text)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    text.assign(kLargestOptionsFile, '\0');
    text.resize(std::fread(&text[0], 1, text.size(), file));
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return !failed;
}

bool ReadNoGuessOption(const std::string& path)
{
    std::string text;
    return ReadProfileStart(path, text) && NoGuessInProfile(text);
}

int ReadTriangleSizeOption(const std::string& path)
{
    std::string text;
    return ReadProfileStart(path, text) ? TriangleSizeInProfile(text) : 1;
}

std::string OptionInProfile(const std::string& text, const std::string& key)
{
    return ProfileValue(text, "Options", key);
}

int TriangleSizeInProfile(const std::string& text)
{
    const std::string size = OptionInProfile(text, "Size");
    return size == "2" ? 2 : size == "3" ? 3 : 1;
}

bool ReadOptionsText(const std::string& path, std::string& text)
{
    text.clear();
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return errno == ENOENT;
    text.assign(kLargestOptionsFile + 1, '\0');
    text.resize(std::fread(&text[0], 1, text.size(), file));
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return !failed && text.size() <= kLargestOptionsFile;
}

std::string WithOptionSet(const std::string& text, const std::string& key, const std::string& value)
{
    const bool crlf = text.find("\r\n") != std::string::npos || text.find('\n') == std::string::npos;
    const std::string newline = crlf ? "\r\n" : "\n";
    const std::string keyText = key + "=" + value;
    const std::string utf8Mark = "\xEF\xBB\xBF";
    std::size_t start = text.compare(0, utf8Mark.size(), utf8Mark) == 0 ? utf8Mark.size() : 0;
    std::size_t insertAt = std::string::npos;  // where a missing key goes: past the section's last line
    bool inSection = false;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::size_t next = std::min(end + 1, text.size());
        const std::string line = Trimmed(text.substr(start, end - start));
        std::string name, old;
        if (SectionName(line, name)) {
            if (inSection || insertAt != std::string::npos)
                break;
            inSection = SameName(name, "Options");
            insertAt = inSection ? next : insertAt;
        } else if (inSection && ValueOfKey(line, key, old)) {
            const bool ownReturn = end > start && text[end - 1] == '\r';
            return text.substr(0, start) + keyText + (ownReturn ? "\r" : "") + text.substr(end);
        } else if (inSection && !line.empty()) {
            insertAt = next;
        }
        start = next;
    }
    if (insertAt == std::string::npos)
        insertAt = text.size();
    std::string before = text.substr(0, insertAt);
    if (!before.empty() && before.back() != '\n')
        before += newline;
    const std::string section = inSection ? "" : "[Options]" + newline;
    return before + section + keyText + newline + text.substr(insertAt);
}
