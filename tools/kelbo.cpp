// kelbo: inspect and check the game's data file, and print seeded boards.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "data/best_times.h"
#include "data/data_check.h"
#include "data/data_file.h"
#include "data/default_file.h"
#include "data/level_edit.h"
#include "game/board.h"
#include "game/cell.h"
#include "game/level_check.h"
#include "game/rules.h"
#include "tools/kelbo_commands.h"
#include "tools/kelbo_hooks.h"
#include "tools/kelbo_level.h"
#include "tools/kelbo_text.h"

namespace {

struct Options {
    std::vector<std::string> arguments;  // the command's own words, options removed
    bool force = false;
    bool hasSeed = false;
    std::uint32_t seed = 0;
    bool hasTime = false;
    std::uint32_t time = 0;  // the clock's seconds since 1970 when the game builds the board
    bool hasGame = false;
    std::uint32_t game = 0;  // how many new games the program made before that one
};

const char kUsage[] = "usage: kelbo COMMAND [--file PATH]\n"
                      "  init [--force]          write the default data file\n"
                      "  check                   check the data file and list every problem\n"
                      "  levels                  list the levels\n"
                      "  times [LEVEL]           show the best times\n"
                      "  board LEVEL --seed N    print the board a new game builds with the generator seeded with N\n"
                      "  board LEVEL --time T [--game N]\n"
                      "                          the board the game builds at T seconds since 1970 as its game N\n"
                      "                          since it started (0, the default, is the game made at start-up)\n"
                      "  replay LEVEL (--seed N | --time T [--game N]) MOVE...\n"
                      "                          play releases on that board (L:COLUMN,ROW left, R:COLUMN,ROW right,\n"
                      "                          M:COLUMN,ROW middle) and print the board as the player sees it\n"
                      "  level show LEVEL        print a level's sizes, mines and outline (# a triangle, . none)\n"
                      "  level set LEVEL --title TEXT --mines M (--size ROWSxCOLUMNS | --picture FILE)\n"
                      "                          replace a level with your own board\n"
                      "  level reset LEVEL       put back the built-in level and its best times\n";

bool ParseLevel(const std::string& text, int& level)
{
    std::uint64_t value = 0;
    if (!ParseNumber(text, kLevelCount - 1, value))
        return false;
    level = static_cast<int>(value);
    return true;
}

std::string TrimRight(std::string text)
{
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// Opens the data file for reading and checks it; false with a one-line message.
bool OpenCheckedForReading(std::string& problem)
{
    DataFile = std::fopen(DataFileName.c_str(), "rb");
    if (DataFile == nullptr) {
        problem = DataFileName + " cannot be opened (" + std::strerror(errno) + ")";
        return false;
    }
    const std::vector<std::string> problems = CheckDataFileForPlay(DataFile, DataFileName);
    if (problems.empty())
        return true;
    problem = FirstProblem(problems);
    CloseDataFile();
    return false;
}

// A file that exists is replaced as level set replaces it, never rewritten in place.
bool ReplaceWithDefaultFile(std::string& problem)
{
    std::FILE* existing = std::fopen(DataFileName.c_str(), "rb");
    if (existing == nullptr)
        return WriteDefaultDataFile(problem, true);
    std::fclose(existing);
    return CommitImage(DefaultDataFileBytes(), CheckDataFileForPlay, problem);
}

int RunInit(const Options& options)
{
    std::string problem;
    if (options.force ? !ReplaceWithDefaultFile(problem) : !WriteDefaultDataFile(problem))
        return Fail(problem + (options.force ? "" : " Use --force to replace it with the default file."));
    std::printf("wrote %s (%ld bytes)\n", DataFileName.c_str(), kDefaultFileSize);
    return 0;
}

int RunCheck(const Options&)
{
    DataFile = std::fopen(DataFileName.c_str(), "rb");
    if (DataFile == nullptr)
        return Fail(DataFileName + " cannot be opened (" + std::strerror(errno) + ")");
    const std::vector<std::string> problems = CheckDataFileForPlay(DataFile, DataFileName);
    if (problems.empty())
        WarnAboutLargeWindows(DataFile, DataFileName);
    CloseDataFile();
    for (const std::string& problem : problems)
        std::printf("%s\n", problem.c_str());
    if (problems.empty())
        std::printf("ok\n");
    return problems.empty() ? 0 : 1;
}

std::string TitleText(const LevelRecord& record)
{
    return TerminalText(TrimRight(FieldText(record.title, sizeof record.title)));
}

int RunLevels(const Options& options)
{
    std::string problem;
    if (!options.arguments.empty())
        return Fail("levels takes no arguments");
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
bool PrintTimes(int level)
{
    LevelHeader header{};
    std::string title;
    BestTimesTable table{};
    if (!ReadLevelHeader(DataFile, level, header) || !ReadLevelTitle(DataFile, header.offset, title) ||
        !ReadBestTimes(DataFile, header.offset, table))
        return false;
    std::printf("%d %s\n", level, TerminalText(TrimRight(title)).c_str());
    for (int place = 0; place < kTableEntries; ++place) {
        const BestTime& entry = table.entries[place];
        std::printf("  %d. %s %6d\n", place + 1,
                    PadToWidth(TerminalText(TrimRight(FieldText(entry.name, kNameSize))), 10).c_str(), entry.seconds);
    }
    return true;
}

int RunTimes(const Options& options)
{
    int only = -1;
    if (options.arguments.size() > 1 || (options.arguments.size() == 1 && !ParseLevel(options.arguments[0], only)))
        return Fail("times takes at most one level number, 0 to 7");
    std::string problem;
    if (!OpenCheckedForReading(problem))
        return Fail(problem);
    for (int level = 0; level < kLevelCount; ++level)
        if ((only < 0 || level == only) && !PrintTimes(level))
            return Fail(DataFileName + ": the best times of " + LevelName(level) + " cannot be read");
    CloseDataFile();
    return 0;
}

std::string BoardCellText(std::uint8_t cell)
{
    if (cell == kVoidCell)
        return ".";
    const std::uint8_t value = UncoveredValue(cell);
    return value == kMine ? "*" : std::to_string(value);
}

void PrintRows(std::string (*cellText)(std::uint8_t))
{
    for (std::uint32_t row = 0; row < Rows; ++row) {
        std::string line;
        for (std::uint32_t column = 0; column < Columns; ++column)
            line += (column > 0 ? " " : "") + cellText(CellAt(column, row));
        std::printf("%s\n", line.c_str());
    }
}

// Sets up the seeded game that board and replay start from; false with a message.
bool StartSeededGame(const Options& options, std::string& problem)
{
    int level = 0;
    if (options.arguments.empty() || !ParseLevel(options.arguments[0], level)) {
        problem = "give a level number, 0 to 7";
        return false;
    }
    if (options.hasSeed == options.hasTime || (options.hasGame && !options.hasTime)) {
        problem = "give the generator's seed with --seed N, or the game's clock with --time T [--game N]";
        return false;
    }
    if (!OpenCheckedForReading(problem))
        return false;
    LevelIndex = level;
    ReportedDataFileProblem.clear();
    NewGameWithSeed(nullptr, options.hasSeed ? options.seed : NewGameSeed(options.time, options.game));
    problem = ReportedDataFileProblem;
    return problem.empty();
}

int RunBoard(const Options& options)
{
    std::string problem;
    if (options.arguments.size() > 1)
        return Fail("board takes one level number");
    if (!StartSeededGame(options, problem))
        return Fail(problem);
    PrintRows(BoardCellText);
    CloseDataFile();
    return 0;
}

struct Move {
    char button;  // 'L' left, 'R' right, 'M' middle release
    std::uint32_t column;
    std::uint32_t row;
};

bool ParseMove(const std::string& text, Move& move)
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

// The moves after the level; false with a message naming the first bad one.
bool ParseMoves(const Options& options, std::vector<Move>& moves, std::string& problem)
{
    for (std::size_t i = 1; i < options.arguments.size(); ++i) {
        const std::string& text = options.arguments[i];
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
            problem = "move " + texts[i + 1] + " lies outside the grid of " + std::to_string(Columns) +
                      " columns and " + std::to_string(Rows) + " rows";
            return false;
        }
    }
    return true;
}

// What the window does with a button release that the hit test maps to a cell; once the game
// is over the hit test maps nothing.
void ApplyMove(const Move& move)
{
    if (GameState == Over)
        return;
    if (move.button == 'M') {
        Chord(nullptr, move.column, move.row);
        return;
    }
    StartClock(nullptr);
    if (move.button == 'L')
        Uncover(nullptr, move.column, move.row);
    else
        CycleMark(nullptr, move.column, move.row);
}

std::string VisibleCellText(std::uint8_t cell)
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
bool GameWasLost()
{
    for (std::size_t index = 0; index < GridSize(); ++index)
        if (Board[index] == kMine)
            return true;
    return false;
}

void PrintGameState()
{
    const char* const phaseNames[] = {"Idle", "Running", "Over"};
    std::printf("FlagsLeft %u\n", FlagsLeft);
    std::printf("GameState %s\n", phaseNames[GameState]);
    if (GameState == Over)
        std::printf("Result %s\n", GameWasLost() ? "Lost" : "Won");
}

int RunReplay(const Options& options)
{
    std::vector<Move> moves;
    std::string problem;
    if (!ParseMoves(options, moves, problem) || !StartSeededGame(options, problem))
        return Fail(problem);
    CloseDataFile();
    if (!MovesInsideGrid(moves, options.arguments, problem))
        return Fail(problem);
    for (const Move& move : moves)
        ApplyMove(move);
    PrintRows(VisibleCellText);
    PrintGameState();
    return 0;
}

struct Command {
    const char* name;
    int (*run)(const Options&);
};

const Command kCommands[] = {
    {"init", RunInit},   {"check", RunCheck}, {"levels", RunLevels},
    {"times", RunTimes}, {"board", RunBoard}, {"replay", RunReplay},
};

// A command whose output did not all reach its destination (a full disk, a closed pipe) failed.
int FinishOutput(int exitCode)
{
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return exitCode;
    std::fprintf(stderr, "kelbo: the output could not be written (%s)\n", std::strerror(errno));
    return exitCode != 0 ? exitCode : 1;
}

// Splits the words after the command into its arguments and the options; false with a message.
bool ParseOptions(int argc, char** argv, Options& options, std::string& problem)
{
    for (int i = 2; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--file" || word == "--seed" || word == "--time" || word == "--game") {
            if (i + 1 >= argc) {
                problem = word + " needs a value";
                return false;
            }
            const std::string value = argv[++i];
            if (word == "--file") {
                DataFileName = value;
                continue;
            }
            std::uint64_t number = 0;
            if (!ParseNumber(value, 0xFFFFFFFFu, number)) {
                problem = word.substr(2) + " must be a whole number from 0 to 4294967295";
                return false;
            }
            const auto given = static_cast<std::uint32_t>(number);
            if (word == "--seed") {
                options.hasSeed = true;
                options.seed = given;
            } else if (word == "--time") {
                options.hasTime = true;
                options.time = given;
            } else {
                options.hasGame = true;
                options.game = given;
            }
        } else if (word == "--force") {
            options.force = true;
        } else if (word.size() > 1 && word[0] == '-' && word.find_first_not_of("0123456789", 1) != std::string::npos) {
            problem = "unknown option " + word;
            return false;
        } else {
            options.arguments.push_back(word);
        }
    }
    return true;
}

}  // namespace

int RunKelboCommand(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (std::strcmp(argv[1], "level") == 0) {
        const int exitCode = RunLevelCommand(argc, argv);
        return exitCode == 2 ? exitCode : FinishOutput(exitCode);
    }
    Options options;
    std::string problem;
    if (!ParseOptions(argc, argv, options, problem))
        return Fail(problem);
    for (const Command& command : kCommands)
        if (std::strcmp(argv[1], command.name) == 0)
            return FinishOutput(command.run(options));
    return Fail(std::string("unknown command ") + argv[1] + "; run kelbo alone for a list of commands");
}
