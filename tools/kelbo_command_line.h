// What a kelbo command line asked for, once parsed, and the commands that run from it. Each
// command returns the process's exit code: 0 done, 1 failed, 2 misused.
#pragma once

#include <string>
#include <vector>

struct CommandLine {
    std::string level;               // the level's number as typed; empty when none was given
    std::vector<std::string> moves;  // replay's moves, as typed
    bool force = false;
    std::string seed;  // --seed, --time and --game as typed; empty when not given
    std::string time;
    std::string game;
    std::string title;
    int titleArgument = 0;  // where the title stands among the program's arguments; 0 when unknown
    std::string mines;
    std::string size;
    std::string picture;
    bool list = false;   // chances --list
    std::string first;   // solve's and board's --first COLUMN,ROW as typed; empty when not given
    bool noGuess = false;  // --no-guess: games dealt at their first release, to be won by logic alone
    std::string boards;  // solve --boards K as typed; empty when not given
    bool json = false;   // stats --json
};

int RunInit(const CommandLine& line);
int RunCheck(const CommandLine& line);
int RunLevels(const CommandLine& line);
int RunTimes(const CommandLine& line);
int RunBoard(const CommandLine& line);
int RunReplay(const CommandLine& line);
int RunChances(const CommandLine& line);
int RunSolve(const CommandLine& line);
int RunLevelShow(const CommandLine& line);
int RunLevelSet(const CommandLine& line);
int RunLevelReset(const CommandLine& line);
int RunStats(const CommandLine& line);
