// kelbo chances and kelbo solve: what the solver makes of a position, and the solver playing
// boards to their end by the game's own rules.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "data/data_check.h"
#include "data/data_file.h"
#include "game/board.h"
#include "game/cell.h"
#include "game/file_replace.h"
#include "game/level_check.h"
#include "game/rules.h"
#include "solver/deal.h"
#include "solver/hint.h"
#include "solver/level_figures.h"
#include "solver/player.h"
#include "solver/solver.h"
#include "tools/kelbo_command_line.h"
#include "tools/kelbo_game.h"
#include "tools/kelbo_text.h"

namespace {

// Six decimals; 0.000000 and 1.000000 are kept for the cells that are certain.
std::string ChanceText(double chance)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", chance);
    if (chance != 0.0 && std::string(text) == "0.000000")
        return "0.000001";
    if (chance != 1.0 && std::string(text) == "1.000000")
        return "0.999999";
    return text;
}

// A hidden cell as the grid for people shows it: its chance in whole percent, 1% to 99% unless
// certain; a flag keeps its F.
std::string HiddenCellText(std::uint8_t cell, double chance)
{
    const bool flagged = IsFlagged(cell);
    if (chance == 0.0)
        return flagged ? "F!" : "ok";
    if (chance == 1.0)
        return flagged ? "F" : "M";
    const long percent = std::clamp(std::lround(chance * 100.0), 1L, 99L);
    return flagged ? "F" + std::to_string(percent) : std::to_string(percent) + "%";
}

std::string GridCellText(std::size_t index, const MineChances& chances)
{
    const std::uint8_t cell = Board[index];
    if (IsVoid(cell))
        return ".";
    if (IsUncovered(cell))
        return cell == kMine ? "*" : std::to_string(cell);
    return HiddenCellText(cell, chances.chance[index]);
}

void PrintChanceGrid(const MineChances& chances)
{
    for (std::uint32_t row = 0; row < Rows; ++row) {
        std::string line;
        for (std::uint32_t column = 0; column < Columns; ++column) {
            const std::string text = GridCellText(CellIndex(column, row), chances);
            line += std::string(4 - text.size(), ' ') + text;
        }
        std::printf("%s\n", line.c_str());
    }
    std::printf("25%% a hidden triangle's chance of a mine, ok certainly safe, M certainly a mine\n"
                "F a flag on a certain mine, F! a flag on a safe triangle, F25 a flag with a 25%% chance\n"
                "3 an uncovered count, * an uncovered mine, . no triangle\n");
    if (chances.approximate)
        std::printf("approximate: some chances are estimates, their triangles too entangled to count\n");
}

void PrintChanceList(const MineChances& chances)
{
    for (std::uint32_t row = 0; row < Rows; ++row)
        for (std::uint32_t column = 0; column < Columns; ++column) {
            const std::size_t index = CellIndex(column, row);
            if (IsFlagged(Board[index]) || IsHidden(Board[index]))
                std::printf("%u %u %s\n", column, row, ChanceText(chances.chance[index]).c_str());
        }
    if (chances.approximate)
        std::printf("approximate\n");
}

std::string MoveText(const Move& move)
{
    return std::string(1, move.button) + ":" + std::to_string(move.column) + "," + std::to_string(move.row);
}

void PrintSolvedBoard(const SolvedBoard& board)
{
    std::string moves;
    for (const Move& move : board.moves)
        moves += (moves.empty() ? "" : " ") + MoveText(move);
    std::printf("%s\n", moves.c_str());
    for (const Hint& guess : board.guesses)
        std::printf("%u,%u %s%s\n", guess.cell.column, guess.cell.row, ChanceText(guess.chance).c_str(),
                    guess.approximate ? " approximate" : "");
    std::printf("%s 3BV %u\n", board.won ? "won" : "lost", board.threeBV);
    if (board.dealt != DealOutcome::NotDealt)
        std::printf("%s\n", DealText(board.dealt));
}

bool StandardErrorIsTerminal()
{
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

using Clock = std::chrono::steady_clock;

// How long a batch runs before its bar shows: a second, or the milliseconds KELBO_BAR_WAIT_MS
// gives, so that the tests need not run a batch that long.
Clock::duration BarWait()
{
    const char* wait = std::getenv("KELBO_BAR_WAIT_MS");
    return wait != nullptr ? std::chrono::milliseconds(std::atoi(wait)) : Clock::duration(std::chrono::seconds(1));
}

// A bar on standard error once a batch has run a while, when a person watches it.
struct ProgressBar {
    Clock::time_point start = Clock::now();
    Clock::time_point drawn;
    Clock::duration wait = BarWait();
    bool shown = false;
    bool terminal = StandardErrorIsTerminal();
};

constexpr int kBarWidth = 40;

void ShowProgress(ProgressBar& bar, std::uint32_t done, std::uint32_t count)
{
    const Clock::time_point now = Clock::now();
    if (!bar.terminal || now - bar.start < bar.wait ||
        (bar.shown && now - bar.drawn < std::chrono::milliseconds(100)))
        return;
    const auto filled = static_cast<std::size_t>(static_cast<std::uint64_t>(done) * kBarWidth / count);
    std::fprintf(stderr, "\r[%s%s] %u of %u boards", std::string(filled, '#').c_str(),
                 std::string(kBarWidth - filled, ' ').c_str(), done, count);
    std::fflush(stderr);
    bar.shown = true;
    bar.drawn = now;
}

void ClearProgress(const ProgressBar& bar)
{
    if (bar.shown)
        std::fprintf(stderr, "\r%*s\r", kBarWidth + 40, "");
}

void PrintFigures(const LevelFigures& figures, double seconds, bool noGuess)
{
    const double boards = figures.boards;
    std::printf("won %u of %u\n", figures.won, figures.boards);
    std::printf("won without a guess %u of %u\n", figures.wonWithoutGuess, figures.boards);
    std::printf("lost on the first release %u of %u\n", figures.lostOnFirstRelease, figures.boards);
    std::printf("guesses per board %.2f\n", static_cast<double>(figures.guesses) / boards);
    std::printf("3BV per board %.2f\n", static_cast<double>(figures.threeBV) / boards);
    std::printf("boards per second %.0f\n", boards / std::max(seconds, 1e-6));
    if (!noGuess)
        return;
    std::printf("dealt without a guess %u of %u\n", figures.dealtWithoutGuess, figures.boards);
    std::printf("dealing: %.3f ms a board on average, %.3f ms the slowest\n", figures.dealingSeconds * 1000.0 / boards,
                figures.slowestDeal * 1000.0);
}

int SolverStopped(std::uint32_t seed)
{
    return Fail("the solver found no move before the end of the game of seed " + std::to_string(seed));
}

// The level of a batch, read and checked once for all its boards; a level that cannot be read is
// told as a single game would tell it.
int ReadBatchLevel(int level, std::uint32_t firstSeed, LevelRecord& record)
{
    std::string problem;
    const bool read = OpenCheckedForReading(problem) &&
                      ReadCheckedLevel(DataFile, DataFileName, level, record, CheckMinePlacement).empty();
    CloseDataFile();
    if (read)
        return 0;
    const int exitCode = StartGameOfSeed(level, firstSeed);
    CloseDataFile();
    return exitCode != 0 ? exitCode : Fail(DataFileName + ": " + LevelName(level) + " cannot be read");
}

// The first release given must fall on a triangle of the level: the first game shows where they lie.
int CheckFirstOnTriangle(const LevelRecord& record, int level, std::uint32_t time, const CellPosition& first,
                         const std::string& firstText)
{
    std::string problem;
    LevelIndex = level;
    if (!SetUpGame(record, NewGameSeed(time, 0)))
        return Fail(DataFileName + ": " + LevelName(level) + ": its mines cannot be placed");
    if (!FirstOnTriangle(first, firstText, problem))
        return Misuse(problem);
    return 0;
}

// Plays the boards of games 0 to count - 1 made at time, each as solve plays it alone.
int SolveBatch(int level, std::uint32_t time, std::uint32_t count, const std::string& firstText, bool noGuess)
{
    CellPosition first{0, 0};
    std::string problem;
    if (!firstText.empty() && !ParseFirst(firstText, first, problem))
        return Misuse(problem);
    LevelRecord record;
    int exitCode = ReadBatchLevel(level, NewGameSeed(time, 0), record);
    if (exitCode == 0 && !firstText.empty())
        exitCode = CheckFirstOnTriangle(record, level, time, first, firstText);
    if (exitCode != 0)
        return exitCode;
    ProgressBar bar;
    LevelFigures figures;
    std::uint32_t seed = 0;
    const auto showProgress = [&bar, count](std::uint32_t done) {
        ShowProgress(bar, done, count);
        return true;
    };
    const FiguresEnd end = PlayLevelBoards(record, level, time, count, noGuess, firstText.empty() ? nullptr : &first,
                                           showProgress, figures, seed);
    if (end == FiguresEnd::MinesCannotBePlaced)
        return Fail(DataFileName + ": " + LevelName(level) + ": its mines cannot be placed");
    if (end == FiguresEnd::SolverStopped)
        return SolverStopped(seed);
    ClearProgress(bar);
    PrintFigures(figures, std::chrono::duration<double>(Clock::now() - bar.start).count(), noGuess);
    return 0;
}

int SolveBatch(const CommandLine& line)
{
    int level = 0;
    std::uint32_t time = 0;
    std::uint32_t count = 0;
    std::string problem;
    if (!ParseLevel(line.level, level, problem) ||
        (!line.time.empty() && !ParseWord32("--time", line.time, time, problem)))
        return Misuse(problem);
    if (!ParseWord32("--boards", line.boards, count, problem) || count == 0)
        return Misuse("--boards " + line.boards + ": give a whole number from 1 to 4294967295");
    NoGuessing = line.noGuess;
    return SolveBatch(level, time, count, line.first, line.noGuess);
}

// KELBO_SOLVER_WORK, for the tests: the solver's steps of work for each group, fewer than its
// own, so that small boards meet estimates.
void LimitWorkFromEnvironment()
{
    const char* work = std::getenv("KELBO_SOLVER_WORK");
    LimitSolverWork(work != nullptr ? std::strtoull(work, nullptr, 10) : 0);
}

}  // namespace

int RunChances(const CommandLine& line)
{
    LimitWorkFromEnvironment();
    DealOutcome dealt = DealOutcome::NotDealt;
    const int exitCode = ReplaySeededGame(line, dealt);
    if (exitCode != 0)
        return exitCode;
    // Before the deal no triangle holds a mine, and the first release cannot hit one.
    if (AwaitingDeal) {
        std::printf("%s\n", kBeforeDealMessage);
        return 0;
    }
    const MineChances chances = HintOnBoard(CellPosition{0, 0}, false).chances;
    if (line.list)
        PrintChanceList(chances);
    else
        PrintChanceGrid(chances);
    return 0;
}

int RunSolve(const CommandLine& line)
{
    LimitWorkFromEnvironment();
    if (!line.boards.empty())
        return SolveBatch(line);
    CellPosition first{0, 0};
    std::string problem;
    if (!line.first.empty() && !ParseFirst(line.first, first, problem))
        return Misuse(problem);
    const int exitCode = StartSeededGame(line);
    CloseDataFile();
    if (exitCode != 0)
        return exitCode;
    if (!line.first.empty() && !FirstOnTriangle(first, line.first, problem))
        return Misuse(problem);
    SolvedBoard board;
    if (!SolveGame(line.first.empty() ? nullptr : &first, board))
        return Fail("the solver found no move before the end of the game");
    PrintSolvedBoard(board);
    return 0;
}
