// kelbo stats: the record of games beside the data file, as the game's Statistics dialog shows it.
#include <cstdio>
#include <string>
#include <vector>

#include "data/data_check.h"
#include "data/data_file.h"
#include "data/statistics.h"
#include "data/windows_1252.h"
#include "game/file_replace.h"
#include "tools/kelbo_command_line.h"
#include "tools/kelbo_text.h"

namespace {

struct LevelFigures {
    int level;
    LevelKey key;
    ModeTally modes[kModeCount];
};

void PrintTable(const LevelFigures& figures)
{
    std::printf("%d %s\n", figures.level, TerminalText(WithoutTrailingSpaces(figures.key.title)).c_str());
    std::printf("  %-20s %12s %12s\n", "", "ordinary", "no guessing");
    const std::vector<std::string> ordinary = FigureTexts(figures.modes[kOrdinaryMode]);
    const std::vector<std::string> noGuess = FigureTexts(figures.modes[kNoGuessMode]);
    for (int figure = 0; figure < kFigureCount; ++figure) {
        const auto at = static_cast<std::size_t>(figure);
        std::printf("  %-20s %12s %12s\n", kFigureNames[figure], ordinary[at].c_str(), noGuess[at].c_str());
    }
}

std::string JsonText(const std::string& fileText)
{
    std::string json = "\"";
    for (const char c : fileText) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (byte == '"' || byte == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20 || CodePointOfWindows1252(byte) == kNoCodePoint) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            json += escape;
        } else {
            AppendUtf8(json, CodePointOfWindows1252(byte));
        }
    }
    return json + "\"";
}

std::string JsonMode(const ModeTally& t)
{
    const std::uint64_t average = AverageTenths(t);
    const bool won = t.won > 0;
    return "{\"played\": " + std::to_string(t.played) + ", \"won\": " + std::to_string(t.won) +
           ", \"share_won_percent\": " + (t.played > 0 ? std::to_string(SharePercent(t)) : "null") +
           ", \"won_without_hint\": " + std::to_string(t.wonWithoutHint) +
           ", \"current_run\": " + std::to_string(t.currentRun) + ", \"longest_run\": " + std::to_string(t.longestRun) +
           ", \"best_seconds\": " + (won ? std::to_string(t.bestSeconds) : "null") + ", \"average_seconds\": " +
           (won ? std::to_string(average / 10) + "." + std::to_string(average % 10) : "null") +
           ", \"played_again\": " + std::to_string(t.playedAgain) + "}";
}

void PrintJson(const std::vector<LevelFigures>& levels)
{
    std::printf("{\"levels\": [");
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const LevelFigures& figures = levels[i];
        std::printf("%s\n  {\"level\": %d, \"title\": %s, \"ordinary\": %s, \"no_guessing\": %s}", i == 0 ? "" : ",",
                    figures.level, JsonText(WithoutTrailingSpaces(figures.key.title)).c_str(),
                    JsonMode(figures.modes[kOrdinaryMode]).c_str(), JsonMode(figures.modes[kNoGuessMode]).c_str());
    }
    std::printf("\n]}\n");
}

// The levels as the data file holds them now, with their figures from the record; false with a message.
bool CollectFigures(int only, const StatisticsRecord& record, std::vector<LevelFigures>& levels, std::string& problem)
{
    if (!OpenCheckedForReading(problem))
        return false;
    for (int level = 0; level < kLevelCount; ++level) {
        LevelRecord levelRecord;
        if (only >= 0 && level != only)
            continue;
        if (!ReadCheckedLevel(DataFile, DataFileName, level, levelRecord).empty()) {
            problem = DataFileName + ": " + LevelName(level) + " cannot be read";
            CloseDataFile();
            return false;
        }
        LevelFigures figures{level, KeyOfLevel(levelRecord), {}};
        if (const LevelStatistics* found = FindLevelStatistics(record, figures.key))
            for (int mode = 0; mode < kModeCount; ++mode)
                figures.modes[mode] = found->modes[mode];
        levels.push_back(figures);
    }
    CloseDataFile();
    return true;
}

}  // namespace

int RunStats(const CommandLine& line)
{
    int only = -1;
    std::string problem;
    if (!line.level.empty() && !ParseLevel(line.level, only, problem))
        return Misuse(problem);
    StatisticsRecord record;
    const StatisticsRead read = ReadStatisticsFile(StatisticsFileBeside(DataFileName), record, problem);
    if (read == StatisticsRead::Damaged)
        return Fail(problem + "; the game keeps it aside and begins a new record when its next game ends");
    if (read == StatisticsRead::Unreadable)
        return Fail(problem);
    std::vector<LevelFigures> levels;
    if (!CollectFigures(only, record, levels, problem))
        return Fail(problem);
    if (line.json) {
        PrintJson(levels);
        return 0;
    }
    for (const LevelFigures& figures : levels)
        PrintTable(figures);
    return 0;
}
