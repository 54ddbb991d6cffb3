#include "data/options_file.h"

#include <cctype>
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

bool ReadNoGuessOption(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    std::string text(kLargestOptionsFile, '\0');
    text.resize(std::fread(&text[0], 1, text.size(), file));
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return !failed && NoGuessInProfile(text);
}

std::vector<std::uint8_t> OptionsFileBytes(bool noGuess)
{
    const std::string text = std::string("[Options]\r\nNoGuess=") + (noGuess ? "1" : "0") + "\r\n";
    return std::vector<std::uint8_t>(text.begin(), text.end());
}
