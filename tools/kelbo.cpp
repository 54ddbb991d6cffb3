// kelbo's commands on the whole data file, and the boards that new games build.
#include <cstdio>
#include <string>
#include <vector>

#include "data/best_times.h"
#include "data/data_check.h"
#include "data/data_file.h"
#include "data/default_file.h"
#include "data/file_lock.h"
#include "data/level_edit.h"
#include "data/whole_file.h"
#include "game/board.h"
#include "game/cell.h"
#include "game/file_replace.h"
#include "game/level_check.h"
#include "game/rules.h"
#include "solver/deal.h"
#include "solver/last_release.h"
#include "tools/kelbo_command_line.h"
#include "tools/kelbo_game.h"
#include "tools/kelbo_hooks.h"
#include "tools/kelbo_level.h"
#include "tools/kelbo_text.h"

// Under the lock, as every command that replaces the file.
static bool ReplaceWithDefault(std::string& problem)
{
    if (!LockForReplacing(problem))
        return false;
    const bool replaced = CommitImage(DefaultDataFileBytes(), CheckDataFileForPlay, problem);
    UnlockDataFile();
    return replaced;
}

int RunInit(const CommandLine& line)
{
    std::string problem = FolderProblem(DataFileName);
    if (!problem.empty())
        return Fail(problem);
    // A missing file is created only while it is still missing; one that exists is replaced as
    // level set replaces it, never rewritten in place.
    const NewFile created = WriteNewFile(DataFileName, DefaultDataFileBytes(), problem);
    if (created == NewFile::Failed)
        return Fail(problem);
    if (created == NewFile::AlreadyThere && !line.force)
        return Fail(DataFileName + " already exists; it is left as it is. Use --force to replace it with the default "
                                   "file");
    if (created == NewFile::AlreadyThere && !ReplaceWithDefault(problem))
        return Fail(problem);
    std::printf("wrote %s (%ld bytes)\n", DataFileName.c_str(), kDefaultFileSize);
    return 0;
}

int RunCheck(const CommandLine&)
{
    std::vector<std::string> problems;
    if (!OpenCheckedDataFile(DataFileName, CheckDataFileForPlay, problems))
        return Fail(problems.front());
    if (problems.empty())
        WarnAboutLargeWindows(DataFile, DataFileName);
    CloseDataFile();
    for (const std::string& problem : problems)
        std::printf("%s\n", problem.c_str());
    if (problems.empty())
        std::printf("ok\n");
    return problems.empty() ? 0 : 1;
}

static std::string TitleText(const LevelRecord& record)
{
    return TerminalText(WithoutTrailingSpaces(FieldText(record.title, sizeof record.title)));
}

int RunLevels(const CommandLine&)
{
    std::string problem;
    if (!OpenCheckedForReading(problem))
        return Fail(problem);
    std::printf("%-5s %-12s %4s %7s %5s %8s\n", "level", "title", "rows", "columns", "mines", "playable");
    for (int level = 0; level < kLevelCount; ++level) {
        LevelRecord record;
        if (!ReadCheckedLevel(DataFile, DataFileName, level, record).empty())
            return Fail(DataFileName + ": " + LevelName(level) + " cannot be read");
        std::printf("%-5d %s %4u %7u %5u %8zu\n", level, PadToWidth(TitleText(record), 12).c_str(), record.rows,
                    record.columns, record.mines, CountPlayableCells(record.grid));
    }
    CloseDataFile();
    return 0;
}

// The table as the best-times dialog shows it: the title and the names cut to their fields.
static bool PrintTimes(int level)
{
    LevelHeader header{};
    std::string title;
    BestTimesTable table{};
    if (!ReadLevelHeader(DataFile, level, header) || !ReadLevelTitle(DataFile, header.offset, title) ||
        !ReadBestTimes(DataFile, header.offset, table))
        return false;
    std::printf("%d %s\n", level, TerminalText(WithoutTrailingSpaces(title)).c_str());
    for (int place = 0; place < kTableEntries; ++place) {
        const BestTime& entry = table.entries[place];
        std::printf("  %d. %s %6d\n", place + 1,
                    PadToWidth(TerminalText(WithoutTrailingSpaces(FieldText(entry.name, kNameSize))), 10).c_str(),
                    entry.seconds);
    }
    return true;
}

int RunTimes(const CommandLine& line)
{
    int only = -1;
    std::string problem;
    if (!line.level.empty() && !ParseLevel(line.level, only, problem))
        return Misuse(problem);
    if (!OpenCheckedForReading(problem))
        return Fail(problem);
    for (int level = 0; level < kLevelCount; ++level)
        if ((only < 0 || level == only) && !PrintTimes(level))
            return Fail(DataFileName + ": the best times of " + LevelName(level) + " cannot be read");
    CloseDataFile();
    return 0;
}

static std::string BoardCellText(std::uint8_t cell)
{
    if (cell == kVoidCell)
        return ".";
    const std::uint8_t value = UncoveredValue(cell);
    return value == kMine ? "*" : std::to_string(value);
}

static void PrintRows(std::string (*cellText)(std::uint8_t))
{
    for (std::uint32_t row = 0; row < Rows; ++row) {
        std::string line;
        for (std::uint32_t column = 0; column < Columns; ++column)
            line += (column > 0 ? " " : "") + cellText(CellAt(column, row));
        std::printf("%s\n", line.c_str());
    }
}

// The seed that --seed gives, or --time with --game; false with a message.
static bool ParseSeed(const CommandLine& line, std::uint32_t& seed, std::string& problem)
{
    if (line.seed.empty() == line.time.empty()) {
        problem = "give the generator's seed with --seed N, or the game's clock with --time T [--game N]";
        return false;
    }
    std::uint32_t time = 0;
    std::uint32_t game = 0;
    if (!line.seed.empty())
        return ParseWord32("--seed", line.seed, seed, problem);
    if (!ParseWord32("--time", line.time, time, problem) ||
        (!line.game.empty() && !ParseWord32("--game", line.game, game, problem)))
        return false;
    seed = NewGameSeed(time, game);
    return true;
}

// Sets up the seeded game that board, replay, chances and solve start from, from the file opened for
// reading alone (kelbo runs with DataFileOnlyRead); the exit code of a failure, or 0.
int StartGameOfSeed(int level, std::uint32_t seed)
{
    std::string problem;
    if (!OpenCheckedForReading(problem))
        return Fail(problem);
    LevelIndex = level;
    ReportedDataFileProblem.clear();
    NewGameWithSeed(nullptr, seed);
    return ReportedDataFileProblem.empty() ? 0 : Fail(ReportedDataFileProblem);
}

int StartSeededGame(const CommandLine& line)
{
    int level = 0;
    std::uint32_t seed = 0;
    std::string problem;
    if (!ParseLevel(line.level, level, problem) || !ParseSeed(line, seed, problem))
        return Misuse(problem);
    NoGuessing = line.noGuess;
    return StartGameOfSeed(level, seed);
}

bool ParseFirst(const std::string& text, CellPosition& cell, std::string& problem)
{
    const std::size_t comma = text.find(',');
    std::uint64_t column = 0;
    std::uint64_t row = 0;
    if (comma == std::string::npos || !ParseNumber(text.substr(0, comma), 0xFFFFFFFFu, column) ||
        !ParseNumber(text.substr(comma + 1), 0xFFFFFFFFu, row)) {
        problem = "bad cell --first " + text + ": write COLUMN,ROW";
        return false;
    }
    cell = CellPosition{static_cast<std::uint32_t>(column), static_cast<std::uint32_t>(row)};
    return true;
}

bool FirstOnTriangle(const CellPosition& cell, const std::string& text, std::string& problem)
{
    if (cell.column >= Columns || cell.row >= Rows)
        problem = "--first " + text + " lies outside the grid of " + std::to_string(Columns) + " columns and " +
                  std::to_string(Rows) + " rows";
    else if (IsVoid(CellAt(cell.column, cell.row)))
        problem = "--first " + text + " is no triangle of this level";
    return problem.empty();
}

const char* DealText(DealOutcome outcome)
{
    return outcome == DealOutcome::Proven ? "no guess needed" : "may need a guess";
}

// The board dealt when the game's first release is on --first.
static int DealSeededGame(const CommandLine& line, DealOutcome& outcome)
{
    CellPosition first{0, 0};
    std::string problem;
    if (line.first.empty())
        return Misuse("--no-guess: give the first release with --first COLUMN,ROW, since the board is dealt there");
    if (!ParseFirst(line.first, first, problem))
        return Misuse(problem);
    const int exitCode = StartSeededGame(line);
    CloseDataFile();
    if (exitCode != 0)
        return exitCode;
    if (!FirstOnTriangle(first, line.first, problem))
        return Misuse(problem);
    outcome = DealOnFirstRelease(first.column, first.row);
    return 0;
}

int RunBoard(const CommandLine& line)
{
    DealOutcome outcome = DealOutcome::NotDealt;
    const int exitCode = line.noGuess ? DealSeededGame(line, outcome) : StartSeededGame(line);
    CloseDataFile();
    if (exitCode != 0)
        return exitCode;
    PrintRows(BoardCellText);
    if (line.noGuess)
        std::printf("%s\n", DealText(outcome));
    return 0;
}

static bool ParseMove(const std::string& text, Move& move)
{
    const std::size_t comma = text.find(',');
    if (text.size() < 5 || std::string("LRM").find(text[0]) == std::string::npos || text[1] != ':' ||
        comma == std::string::npos)
        return false;
    std::uint64_t column = 0;
    std::uint64_t row = 0;
    if (!ParseNumber(text.substr(2, comma - 2), 0xFFFFFFFFu, column) ||
        !ParseNumber(text.substr(comma + 1), 0xFFFFFFFFu, row))
        return false;
    move = Move{text[0], static_cast<std::uint32_t>(column), static_cast<std::uint32_t>(row)};
    return true;
}

bool ParseMoves(const CommandLine& line, std::vector<Move>& moves, std::string& problem)
{
    for (const std::string& text : line.moves) {
        Move move{};
        if (!ParseMove(text, move)) {
            problem = "bad move " + text + ": write L:COLUMN,ROW, R:COLUMN,ROW or M:COLUMN,ROW";
            return false;
        }
        moves.push_back(move);
    }
    return true;
}

bool MovesInsideGrid(const std::vector<Move>& moves, const std::vector<std::string>& texts, std::string& problem)
{
    for (std::size_t i = 0; i < moves.size(); ++i) {
        if (moves[i].column >= Columns || moves[i].row >= Rows) {
            problem = "move " + texts[i] + " lies outside the grid of " + std::to_string(Columns) + " columns and " +
                      std::to_string(Rows) + " rows";
            return false;
        }
    }
    return true;
}

// What the window does with a button release that the hit test maps to a cell; once the game
// is over the hit test maps nothing.
static std::string VisibleCellText(std::uint8_t cell)
{
    if (IsVoid(cell))
        return ".";
    if (IsCovered(cell))
        return "#";
    if (IsFlagged(cell))
        return "F";
    if (IsQuestionMarked(cell))
        return "?";
    return cell == kMine ? "*" : std::to_string(cell);
}

// A lost game shows the uncovered mine; a won one has every mine under a flag.
static void PrintGameState()
{
    const char* const phaseNames[] = {"Idle", "Running", "Over"};
    std::printf("FlagsLeft %u\n", FlagsLeft);
    std::printf("GameState %s\n", phaseNames[GameState]);
    if (GameState == Over)
        std::printf("Result %s\n", GameWasLost() ? "Lost" : "Won");
}

int ReplaySeededGame(const CommandLine& line, DealOutcome& dealt)
{
    std::vector<Move> moves;
    std::string problem;
    if (!ParseMoves(line, moves, problem))
        return Misuse(problem);
    const int exitCode = StartSeededGame(line);
    CloseDataFile();
    if (exitCode != 0)
        return exitCode;
    if (!MovesInsideGrid(moves, line.moves, problem))
        return Misuse(problem);
    dealt = DealOutcome::NotDealt;
    for (const Move& move : moves) {
        const DealOutcome outcome = ApplyMoveDealing(move);
        dealt = outcome == DealOutcome::NotDealt ? dealt : outcome;
    }
    return 0;
}

int RunReplay(const CommandLine& line)
{
    DealOutcome dealt = DealOutcome::NotDealt;
    const int exitCode = ReplaySeededGame(line, dealt);
    if (exitCode != 0)
        return exitCode;
    PrintRows(VisibleCellText);
    PrintGameState();
    const LossExplanation loss = ExplainLoss();
    if (!loss.message.empty())
        std::printf("%s\n", loss.message.c_str());
    if (dealt != DealOutcome::NotDealt)
        std::printf("%s\n", DealText(dealt));
    return 0;
}
