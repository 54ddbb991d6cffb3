// The record of games: for every level as it stands, in each mode, how many games were played and
// won, the runs of wins and the times, and the No guessing mode's own best times. It is kept as
// text in a file of its own beside the data file, one line a level or a mode:
//
//   level rows=7 columns=13 mines=10 outline=b630c5f14c7cf157 title=Beginner
//   ordinary played=12 won=5 without-hint=4 run=2 longest=3 best=45 total=300 again=1
//   no-guessing played=3 won=1 without-hint=1 run=1 longest=1 best=80 total=80 again=0
//   no-guessing-time seconds=80 name=NONAME
//
// A level is known by its record (size, mines, title, outline), so a level replaced starts
// afresh. Titles and names are written with every byte up to a space, % and DEL as %XX.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/file_layout.h"

struct LevelRecord;

struct LevelKey {
    std::uint32_t rows = 0;
    std::uint32_t columns = 0;
    std::uint32_t mines = 0;
    std::uint64_t outline = 0;  // FNV-1a of the cells' first bytes, the mask
    std::string title;          // the title field as stored, cut at its terminator
    bool operator==(const LevelKey& other) const
    {
        return rows == other.rows && columns == other.columns && mines == other.mines && outline == other.outline &&
               title == other.title;
    }
};

LevelKey KeyOfLevel(const LevelRecord& record);

constexpr int kOrdinaryMode = 0;
constexpr int kNoGuessMode = 1;
constexpr int kModeCount = 2;

enum class GameEnd : std::uint8_t { Won, Lost, Left };

// A game that was played, from its first release to its end.
struct FinishedGame {
    GameEnd end = GameEnd::Left;
    int mode = kOrdinaryMode;
    std::int32_t seconds = 0;  // as the best times record it: at least 1
    bool hintUsed = false;
    bool playedAgain = false;  // a board played again counts only as that
};

struct ModeTally {
    std::uint32_t played = 0;
    std::uint32_t won = 0;
    std::uint32_t wonWithoutHint = 0;
    std::uint32_t currentRun = 0;  // wins since the last game lost or left
    std::uint32_t longestRun = 0;
    std::int32_t bestSeconds = 0;  // 0 while nothing is won
    std::uint64_t wonSeconds = 0;  // the times of the games won, added up
    std::uint32_t playedAgain = 0;
};

struct LevelStatistics {
    LevelKey key;
    ModeTally modes[kModeCount];
    BestTimesTable noGuessTimes;  // the No guessing mode's five best times
};

using StatisticsRecord = std::vector<LevelStatistics>;

// The level's statistics in the record; null when it has none.
const LevelStatistics* FindLevelStatistics(const StatisticsRecord& record, const LevelKey& key);

// The level's statistics, added empty when the record has none.
LevelStatistics& LevelStatisticsFor(StatisticsRecord& record, const LevelKey& key);

void AddFinishedGame(LevelStatistics& level, const FinishedGame& game);

// Empties both modes' figures of the level; its best times stay.
void ClearLevelFigures(StatisticsRecord& record, const LevelKey& key);

// The figures as the Statistics dialog and kelbo stats show them, in the order of kFigureNames.
constexpr int kFigureCount = 9;
extern const char* const kFigureNames[kFigureCount];
std::vector<std::string> FigureTexts(const ModeTally& tally);

// The average of the games won in tenths of a second, rounded; 0 while nothing is won.
std::uint64_t AverageTenths(const ModeTally& tally);

// The share of games won in whole percent, rounded; 0 while nothing is played.
std::uint32_t SharePercent(const ModeTally& tally);

std::string StatisticsText(const StatisticsRecord& record);

// False with "line N: what is wrong" when the text is not a record of games as StatisticsText writes it.
bool ParseStatistics(const std::string& text, StatisticsRecord& record, std::string& problem);

// skarvel-stats.txt in the data file's folder.
std::string StatisticsFileBeside(const std::string& dataFilePath);

enum class StatisticsRead { Read, Missing, Damaged, Unreadable };

// The record in the file at path: empty when it is missing; empty with the problem, naming the
// file, when it is damaged or cannot be read.
StatisticsRead ReadStatisticsFile(const std::string& path, StatisticsRecord& record, std::string& problem);
