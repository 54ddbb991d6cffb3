#include "data/statistics.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "data/best_times.h"
#include "data/data_check.h"
#include "data/whole_file.h"

namespace {

const char* const kModeNames[kModeCount] = {"ordinary", "no-guessing"};
const char kTimeLine[] = "no-guessing-time";
constexpr std::size_t kLargestStatisticsFile = 4 * 1024 * 1024;

std::uint64_t Fnv1a(const std::vector<std::uint8_t>& bytes)
{
    std::uint64_t hash = 0xCBF29CE484222325u;
    for (const std::uint8_t byte : bytes) {
        hash ^= byte;
        hash *= 0x100000001B3u;
    }
    return hash;
}

bool NeedsEscape(unsigned char c)
{
    return c <= ' ' || c == '%' || c == 0x7F;
}

std::string Escaped(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        char code[4] = {c, 0};
        if (NeedsEscape(static_cast<unsigned char>(c)))
            std::snprintf(code, sizeof code, "%%%02X", static_cast<unsigned char>(c));
        escaped += code;
    }
    return escaped;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool Unescaped(const std::string& text, std::string& plain)
{
    plain.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            plain += text[i];
            continue;
        }
        if (i + 2 >= text.size() || HexDigit(text[i + 1]) < 0 || HexDigit(text[i + 2]) < 0)
            return false;
        plain += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
        i += 2;
    }
    return true;
}

std::string TallyLine(const char* mode, const ModeTally& t)
{
    return std::string(mode) + " played=" + std::to_string(t.played) + " won=" + std::to_string(t.won) +
           " without-hint=" + std::to_string(t.wonWithoutHint) + " run=" + std::to_string(t.currentRun) +
           " longest=" + std::to_string(t.longestRun) + " best=" + std::to_string(t.bestSeconds) +
           " total=" + std::to_string(t.wonSeconds) + " again=" + std::to_string(t.playedAgain) + "\n";
}

bool IsEmpty(const ModeTally& t)
{
    return t.played == 0 && t.playedAgain == 0;
}

// One line's fields, "name=value" each, after its first word.
struct Fields {
    std::vector<std::pair<std::string, std::string>> pairs;
};

bool SplitLine(const std::string& line, std::string& word, Fields& fields)
{
    std::vector<std::string> tokens;
    std::size_t start = 0;
    while (start < line.size()) {
        const std::size_t end = std::min(line.find(' ', start), line.size());
        if (end > start)
            tokens.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    if (tokens.empty())
        return false;
    word = tokens[0];
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        const std::size_t equals = tokens[i].find('=');
        if (equals == std::string::npos || equals == 0)
            return false;
        fields.pairs.emplace_back(tokens[i].substr(0, equals), tokens[i].substr(equals + 1));
    }
    return true;
}

bool ParseWhole(const std::string& text, std::uint64_t limit, std::uint64_t& value)
{
    if (text.empty() || text.size() > 20)
        return false;
    value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || value > (limit - static_cast<std::uint64_t>(c - '0')) / 10)
            return false;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return true;
}

// Each known field of a line goes to its number; any other, or a value that is no such number, is damage.
struct NumberField {
    const char* name;
    std::uint64_t limit;
    std::uint64_t value;
};

bool ReadNumbers(const Fields& fields, std::vector<NumberField>& numbers, std::string& problem)
{
    for (const auto& pair : fields.pairs) {
        const std::string& name = pair.first;
        const std::string& value = pair.second;
        auto field = std::find_if(numbers.begin(), numbers.end(),
                                  [&](const NumberField& number) { return name == number.name; });
        if (field == numbers.end()) {
            problem = "unknown field " + name;
            return false;
        }
        if (!ParseWhole(value, field->limit, field->value)) {
            problem = name + " is not a number from 0 to " + std::to_string(field->limit);
            return false;
        }
    }
    return true;
}

constexpr std::uint64_t kMost32 = 0xFFFFFFFFu;
constexpr std::uint64_t kMostSeconds = 0x7FFFFFFF;

bool ParseTally(const Fields& fields, ModeTally& t, std::string& problem)
{
    std::vector<NumberField> n = {{"played", kMost32, 0}, {"won", kMost32, 0},          {"without-hint", kMost32, 0},
                                  {"run", kMost32, 0},    {"longest", kMost32, 0},      {"best", kMostSeconds, 0},
                                  {"total", UINT64_MAX, 0}, {"again", kMost32, 0}};
    if (!ReadNumbers(fields, n, problem))
        return false;
    t.played = static_cast<std::uint32_t>(n[0].value);
    t.won = static_cast<std::uint32_t>(n[1].value);
    t.wonWithoutHint = static_cast<std::uint32_t>(n[2].value);
    t.currentRun = static_cast<std::uint32_t>(n[3].value);
    t.longestRun = static_cast<std::uint32_t>(n[4].value);
    t.bestSeconds = static_cast<std::int32_t>(n[5].value);
    t.wonSeconds = n[6].value;
    t.playedAgain = static_cast<std::uint32_t>(n[7].value);
    if (t.won > t.played || t.wonWithoutHint > t.won || t.currentRun > t.longestRun || t.longestRun > t.won ||
        (t.won > 0) != (t.bestSeconds > 0)) {
        problem = "the figures do not agree with each other";
        return false;
    }
    return true;
}

bool ParseLevelLine(const Fields& fields, LevelKey& key, std::string& problem)
{
    std::vector<NumberField> n = {{"rows", 255, 0}, {"columns", 255, 0}, {"mines", 255, 0}};
    Fields numbers;
    bool haveOutline = false, haveTitle = false;
    for (const auto& pair : fields.pairs) {
        if (pair.first == "outline") {
            haveOutline = pair.second.size() == 16 && std::all_of(pair.second.begin(), pair.second.end(),
                                                                  [](char c) { return HexDigit(c) >= 0; });
            key.outline = haveOutline ? std::stoull(pair.second, nullptr, 16) : 0;
        } else if (pair.first == "title") {
            haveTitle = Unescaped(pair.second, key.title) && key.title.size() < kTitleSize;
        } else {
            numbers.pairs.push_back(pair);
        }
    }
    if (!ReadNumbers(numbers, n, problem))
        return false;
    if (!haveOutline || !haveTitle) {
        problem = "a level needs its outline (16 hexadecimal digits) and its title";
        return false;
    }
    key.rows = static_cast<std::uint32_t>(n[0].value);
    key.columns = static_cast<std::uint32_t>(n[1].value);
    key.mines = static_cast<std::uint32_t>(n[2].value);
    return true;
}

bool ParseTimeLine(const Fields& fields, BestTimesTable& table, std::string& problem)
{
    std::string name;
    Fields numbers;
    bool haveName = false;
    for (const auto& pair : fields.pairs) {
        if (pair.first == "name")
            haveName = Unescaped(pair.second, name) && name.size() < kNameSize;
        else
            numbers.pairs.push_back(pair);
    }
    std::vector<NumberField> n = {{"seconds", kMostSeconds, 0}};
    if (!ReadNumbers(numbers, n, problem))
        return false;
    if (!haveName || n[0].value == 0) {
        problem = "a time needs its seconds (at least 1) and a name of at most 10 characters";
        return false;
    }
    std::uint8_t field[kNameSize] = {};
    std::memcpy(field, name.data(), name.size());
    const auto seconds = static_cast<std::int32_t>(n[0].value);
    if (PlaceForTime(table, seconds) == kTableEntries || table.entries[kTableEntries - 1].seconds != 0) {
        problem = "more than five times";
        return false;
    }
    table = InsertBestTime(table, field, seconds);
    return true;
}

bool ParseLine(const std::string& word, const Fields& fields, StatisticsRecord& record, std::string& problem)
{
    if (word == "level") {
        LevelStatistics level{};
        level.noGuessTimes = EmptyBestTimes();
        if (!ParseLevelLine(fields, level.key, problem))
            return false;
        if (FindLevelStatistics(record, level.key) != nullptr) {
            problem = "the level stands twice";
            return false;
        }
        record.push_back(level);
        return true;
    }
    const bool known = word == kModeNames[0] || word == kModeNames[1] || word == kTimeLine;
    if (!known) {
        problem = "unknown line " + word;
        return false;
    }
    if (record.empty()) {
        problem = word + " before any level";
        return false;
    }
    LevelStatistics& level = record.back();
    if (word == kTimeLine)
        return ParseTimeLine(fields, level.noGuessTimes, problem);
    return ParseTally(fields, level.modes[word == kModeNames[0] ? kOrdinaryMode : kNoGuessMode], problem);
}

}  // namespace

LevelKey KeyOfLevel(const LevelRecord& record)
{
    LevelKey key;
    key.rows = record.rows;
    key.columns = record.columns;
    key.mines = record.mines;
    key.outline = Fnv1a(record.grid);
    key.title = FieldText(record.title, sizeof record.title);
    return key;
}

const LevelStatistics* FindLevelStatistics(const StatisticsRecord& record, const LevelKey& key)
{
    const auto found =
        std::find_if(record.begin(), record.end(), [&](const LevelStatistics& level) { return level.key == key; });
    return found == record.end() ? nullptr : &*found;
}

LevelStatistics& LevelStatisticsFor(StatisticsRecord& record, const LevelKey& key)
{
    for (LevelStatistics& level : record)
        if (level.key == key)
            return level;
    LevelStatistics level{};
    level.key = key;
    level.noGuessTimes = EmptyBestTimes();
    record.push_back(level);
    return record.back();
}

void AddFinishedGame(LevelStatistics& level, const FinishedGame& game)
{
    ModeTally& t = level.modes[game.mode];
    if (game.playedAgain) {
        ++t.playedAgain;
        return;
    }
    ++t.played;
    if (game.end != GameEnd::Won) {
        t.currentRun = 0;
        return;
    }
    ++t.won;
    t.wonWithoutHint += game.hintUsed ? 0 : 1;
    t.longestRun = std::max(t.longestRun, ++t.currentRun);
    t.bestSeconds = t.bestSeconds == 0 ? game.seconds : std::min(t.bestSeconds, game.seconds);
    t.wonSeconds += static_cast<std::uint64_t>(game.seconds);
}

void ClearLevelFigures(StatisticsRecord& record, const LevelKey& key)
{
    for (LevelStatistics& level : record)
        if (level.key == key)
            level.modes[kOrdinaryMode] = level.modes[kNoGuessMode] = ModeTally{};
}

const char* const kFigureNames[kFigureCount] = {"played",      "won",          "share won",
                                                 "won without a hint", "current run", "longest run",
                                                 "best time",   "average time", "played again"};

std::uint64_t AverageTenths(const ModeTally& t)
{
    return t.won == 0 ? 0 : (t.wonSeconds * 10 + t.won / 2) / t.won;
}

std::uint32_t SharePercent(const ModeTally& t)
{
    return t.played == 0 ? 0 : static_cast<std::uint32_t>((std::uint64_t{t.won} * 100 + t.played / 2) / t.played);
}

std::vector<std::string> FigureTexts(const ModeTally& t)
{
    const std::uint64_t average = AverageTenths(t);
    const bool won = t.won > 0;
    return {std::to_string(t.played),
            std::to_string(t.won),
            t.played == 0 ? "-" : std::to_string(SharePercent(t)) + " %",
            std::to_string(t.wonWithoutHint),
            std::to_string(t.currentRun),
            std::to_string(t.longestRun),
            won ? std::to_string(t.bestSeconds) : "-",
            won ? std::to_string(average / 10) + "." + std::to_string(average % 10) : "-",
            std::to_string(t.playedAgain)};
}

std::string StatisticsText(const StatisticsRecord& record)
{
    std::string text = "# Skarvel's record of games, written by the game after every game; kelbo stats shows it.\n";
    for (const LevelStatistics& level : record) {
        const bool hasTimes = level.noGuessTimes.entries[0].seconds != 0;
        if (IsEmpty(level.modes[kOrdinaryMode]) && IsEmpty(level.modes[kNoGuessMode]) && !hasTimes)
            continue;
        char outline[17];
        std::snprintf(outline, sizeof outline, "%016llx", static_cast<unsigned long long>(level.key.outline));
        text += "level rows=" + std::to_string(level.key.rows) + " columns=" + std::to_string(level.key.columns) +
                " mines=" + std::to_string(level.key.mines) + " outline=" + outline +
                " title=" + Escaped(level.key.title) + "\n";
        for (int mode = 0; mode < kModeCount; ++mode)
            if (!IsEmpty(level.modes[mode]))
                text += TallyLine(kModeNames[mode], level.modes[mode]);
        for (const BestTime& entry : level.noGuessTimes.entries)
            if (entry.seconds != 0)
                text += std::string(kTimeLine) + " seconds=" + std::to_string(entry.seconds) +
                        " name=" + Escaped(FieldText(entry.name, kNameSize)) + "\n";
    }
    return text;
}

bool ParseStatistics(const std::string& text, StatisticsRecord& record, std::string& problem)
{
    record.clear();
    std::size_t start = 0;
    for (int number = 1; start < text.size(); ++number) {
        std::size_t end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(' ') == std::string::npos || line[0] == '#')
            continue;
        std::string word;
        Fields fields;
        std::string what = "a line of words and name=value fields is expected";
        if (!SplitLine(line, word, fields) || !ParseLine(word, fields, record, what)) {
            problem = "line " + std::to_string(number) + ": " + what;
            record.clear();
            return false;
        }
    }
    return true;
}

std::string StatisticsFileBeside(const std::string& dataFilePath)
{
    const std::size_t separator = dataFilePath.find_last_of("/\\");
    const std::string folder = separator == std::string::npos ? "" : dataFilePath.substr(0, separator + 1);
    return folder + "skarvel-stats.txt";
}

StatisticsRead ReadStatisticsFile(const std::string& path, StatisticsRecord& record, std::string& problem)
{
    record.clear();
    std::FILE* file = IsFolder(path) ? nullptr : std::fopen(path.c_str(), "rb");
    if (file == nullptr && !IsFolder(path) && errno == ENOENT)
        return StatisticsRead::Missing;
    if (file == nullptr) {
        problem = path + " cannot be read (" + (IsFolder(path) ? "it is a folder" : std::strerror(errno)) + ")";
        return StatisticsRead::Unreadable;
    }
    std::string text(kLargestStatisticsFile + 1, '\0');
    text.resize(std::fread(&text[0], 1, text.size(), file));
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        problem = path + " cannot be read";
        return StatisticsRead::Unreadable;
    }
    if (text.size() > kLargestStatisticsFile) {
        problem = path + " is damaged: it is larger than a record of games can be";
        return StatisticsRead::Damaged;
    }
    std::string where;
    if (ParseStatistics(text, record, where))
        return StatisticsRead::Read;
    problem = path + " is damaged: " + where;
    return StatisticsRead::Damaged;
}
