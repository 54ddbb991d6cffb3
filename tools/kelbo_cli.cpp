// kelbo's command line: the commands, their options and their help, parsed by CLI11.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "data/data_file.h"
#include "tools/kelbo_command_line.h"
#include "tools/kelbo_commands.h"
#include "tools/kelbo_text.h"

namespace {

struct Runner {
    const CLI::App* command;
    int (*run)(const CommandLine&);
};

const char kSeedHelp[] = "the generator's seed";
const char kTimeHelp[] = "the clock's seconds since 1970 when the game builds the board";
const char kGameHelp[] = "how many new games the program made before this one (0, the default, is the game made "
                         "at start-up)";
const char kLevelHelp[] = "the level's number, 0 to 7";

CLI::App* AddCommand(CLI::App& parent, const char* name, const char* description, std::vector<Runner>& runners,
                     int (*run)(const CommandLine&))
{
    CLI::App* command = parent.add_subcommand(name, description);
    if (run != nullptr)
        runners.push_back({command, run});
    return command;
}

void AddLevel(CLI::App* command, CommandLine& line, bool required = true)
{
    CLI::Option* level = command->add_option("LEVEL", line.level, kLevelHelp)->type_name("");
    if (required)
        level->required();
}

// --seed, or --time with --game: the two ways to name the board a new game builds.
void AddSeedOptions(CLI::App* command, CommandLine& line)
{
    CLI::Option* seed = command->add_option("--seed", line.seed, kSeedHelp)->type_name("N");
    CLI::Option* time = command->add_option("--time", line.time, kTimeHelp)->type_name("T");
    CLI::Option* game = command->add_option("--game", line.game, kGameHelp)->type_name("N");
    seed->excludes(time);
    game->needs(time);
}

void AddNoGuess(CLI::App* command, CommandLine& line)
{
    command->add_flag("--no-guess", line.noGuess,
                      "the no-guess mode: the board is dealt at the first left release, to be won by logic alone");
}

void AddMoves(CLI::App* command, CommandLine& line)
{
    command
        ->add_option("MOVE", line.moves,
                     "a button released on a cell: L:COLUMN,ROW left, R:COLUMN,ROW right, M:COLUMN,ROW middle")
        ->type_name("");
}

void AddSolverCommands(CLI::App& app, CommandLine& line, std::vector<Runner>& runners)
{
    CLI::App* chances =
        AddCommand(app, "chances", "play moves as replay does and print every hidden triangle's chance of a mine",
                   runners, RunChances);
    AddLevel(chances, line);
    AddMoves(chances, line);
    AddSeedOptions(chances, line);
    AddNoGuess(chances, line);
    chances->add_flag("--list", line.list, "one line for each hidden triangle: COLUMN ROW CHANCE");
    CLI::App* solve =
        AddCommand(app, "solve", "let the solver play a board a new game builds, or many, and print how it went",
                   runners, RunSolve);
    AddLevel(solve, line);
    AddSeedOptions(solve, line);
    AddNoGuess(solve, line);
    solve->add_option("--first", line.first, "the cell of the first release (where a hint points when not given)")
        ->type_name("COLUMN,ROW");
    solve
        ->add_option("--boards", line.boards,
                     "play the boards of the games 0 to K-1 made at --time T (0 when not given) and print the figures")
        ->type_name("K")
        ->excludes("--seed")
        ->excludes("--game");
}

void AddLevelCommands(CLI::App& app, CommandLine& line, std::vector<Runner>& runners)
{
    CLI::App* level = AddCommand(app, "level", "show a level, put in a board of your own, or put back the built-in one",
                                 runners, nullptr);
    AddLevel(AddCommand(*level, "show", "print a level's title, sizes, mines and outline (# a triangle, . none)",
                        runners, RunLevelShow),
             line);
    CLI::App* set = AddCommand(*level, "set", "replace a level with a board of your own; its best times are emptied",
                               runners, RunLevelSet);
    AddLevel(set, line);
    set->add_option("--title", line.title, "the level's title, at most 12 letters")->type_name("TEXT")->required();
    set->add_option("--mines", line.mines, "how many mines the board holds")->type_name("M")->required();
    CLI::Option* size = set->add_option("--size", line.size, "a board of ROWS x COLUMNS triangles, all playable")
                            ->type_name("ROWSxCOLUMNS");
    CLI::Option* picture = set->add_option("--picture", line.picture,
                                           "the board's outline from a file, one line a row, # a triangle, . none; "
                                           "- reads it from standard input")
                               ->type_name("FILE");
    size->excludes(picture);
    AddLevel(AddCommand(*level, "reset", "put back the built-in level and its best times", runners, RunLevelReset),
             line);
}

void AddCommands(CLI::App& app, CommandLine& line, std::vector<Runner>& runners)
{
    AddCommand(app, "init", "write the default data file", runners, RunInit)
        ->add_flag("--force", line.force, "replace a data file that exists");
    AddCommand(app, "check", "check the data file and list every problem", runners, RunCheck);
    AddCommand(app, "levels", "list the levels", runners, RunLevels);
    AddLevel(AddCommand(app, "times", "show the best times, of every level or of one", runners, RunTimes), line, false);
    CLI::App* stats = AddCommand(app, "stats", "show the record of games the game keeps, of every level or of one",
                                 runners, RunStats);
    AddLevel(stats, line, false);
    stats->add_flag("--json", line.json, "print the figures as JSON");
    CLI::App* board =
        AddCommand(app, "board", "print the board a new game builds (* a mine, . no cell)", runners, RunBoard);
    AddLevel(board, line);
    AddSeedOptions(board, line);
    AddNoGuess(board, line);
    board->add_option("--first", line.first, "the cell of the first release, where the board is dealt")
        ->type_name("COLUMN,ROW")
        ->needs("--no-guess");
    CLI::App* replay = AddCommand(
        app, "replay", "play moves on the board a new game builds and print what the player sees", runners, RunReplay);
    AddLevel(replay, line);
    AddMoves(replay, line);
    AddSeedOptions(replay, line);
    AddNoGuess(replay, line);
    AddSolverCommands(app, line, runners);
    AddLevelCommands(app, line, runners);
}

void SetUpApp(CLI::App& app, CommandLine& line, std::vector<std::string>& helpTopics, std::vector<Runner>& runners)
{
    auto formatter = std::make_shared<CLI::Formatter>();
    formatter->column_width(30);
    formatter->label("SUBCOMMAND", "COMMAND");
    formatter->label("Positionals", "Arguments");
    app.formatter(formatter);
    app.set_help_flag("-h,--help", "print this help and exit");
    app.set_version_flag("--version", SKARVEL_VERSION, "print kelbo's version and exit");
    app.add_option("--file", DataFileName, "the data file (kelbo.dat in the current folder when not given)")
        ->type_name("PATH");
    // Options may stand before or after the command; the parser reports what is left over.
    app.allow_extras();
    app.fallthrough();
    app.require_subcommand(0, 1);
    app.allow_windows_style_options(false);
    app.group("Commands");
    // Set before the commands, which take it over.
    app.footer("--file PATH names the data file for every command, before or after it.");
    AddCommands(app, line, runners);
    AddCommand(app, "help", "print the help of kelbo or of one command", runners, nullptr)
        ->add_option("COMMAND", helpTopics, "the command, for example level or level set");
}

// Edits that turn a into b: a letter put in, left out or changed, or two neighbours swapped
// (the optimal string alignment distance), so that "levle" is one slip from "level".
std::size_t EditDistance(const std::string& a, const std::string& b)
{
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

// "; did you mean X?" for the closest of the names, when one is close enough to be a slip.
std::string ClosestName(const std::string& word, const std::vector<std::string>& names)
{
    std::string best;
    std::size_t bestDistance = word.size() / 2 + 1;
    for (const std::string& name : names) {
        const std::size_t distance = EditDistance(word, name);
        if (distance < bestDistance || (name.rfind(word, 0) == 0 && !word.empty() && best.empty())) {
            best = name;
            bestDistance = std::min(distance, bestDistance);
        }
    }
    return best.empty() ? "" : "; did you mean " + best + "?";
}

std::vector<std::string> CommandNames(const CLI::App& app)
{
    std::vector<std::string> names;
    for (const CLI::App* command : app.get_subcommands({}))
        names.push_back(command->get_name());
    return names;
}

std::vector<std::string> OptionNames(const CLI::App& app)
{
    std::vector<std::string> names;
    for (const CLI::App* scope = &app; scope != nullptr; scope = scope->get_parent())
        for (const CLI::Option* option : scope->get_options())
            for (const std::string& name : option->get_lnames())
                names.push_back("--" + name);
    return names;
}

// The command that was given last on the line, the innermost one.
const CLI::App* GivenCommand(const CLI::App& app)
{
    const CLI::App* command = &app;
    while (!command->get_subcommands().empty())
        command = command->get_subcommands().front();
    return command;
}

std::string CommandPath(const CLI::App* command)
{
    std::string path;
    for (; command->get_parent() != nullptr; command = command->get_parent())
        path = command->get_name() + (path.empty() ? "" : " " + path);
    return path;
}

// The first word that no option or command took: an unknown option or command, or a word too many.
int ReportLeftOver(const CLI::App& app, const CLI::App* command, const std::string& word)
{
    if (word.size() > 1 && word[0] == '-')
        return Misuse("unknown option " + word.substr(0, word.find('=')) + ClosestName(word, OptionNames(*command)));
    if (!command->get_subcommands({}).empty())
        return Misuse("unknown command " + (command == &app ? "" : CommandPath(command) + " ") + word +
                      ClosestName(word, CommandNames(*command)));
    return Misuse(CommandPath(command) + " does not take " + word + "; kelbo help " + CommandPath(command) +
                  " shows what it takes");
}

// The command's help, its usage line naming the commands above it: "kelbo level set ...". Asked
// of the formatter, since an App's own help() gives way to a command given under it.
std::string HelpOf(const CLI::App* command)
{
    const std::string path = CommandPath(command);
    return command->get_formatter()->make_help(command, path.empty() ? "kelbo" : "kelbo " + path,
                                               CLI::AppFormatMode::Normal);
}

int PrintHelpOf(const CLI::App& app, const std::vector<std::string>& topics)
{
    const CLI::App* command = &app;
    for (const std::string& topic : topics) {
        const std::vector<const CLI::App*> found =
            command->get_subcommands([&topic](const CLI::App* sub) { return sub->get_name() == topic; });
        if (found.empty())
            return Misuse("no help on " + topic + ClosestName(topic, CommandNames(*command)));
        command = found.front();
    }
    std::fputs(HelpOf(command).c_str(), stdout);
    return 0;
}

// CLI11's messages in kelbo's words: an ArgumentMismatch reads "--seed: 1 required N missing", a
// RequiredError "LEVEL is required".
std::string ParseProblem(const CLI::ParseError& error, const CLI::App* command)
{
    const std::string message = error.what();
    if (error.get_name() == "ArgumentMismatch")
        return message.substr(0, message.find(':')) + " needs a value";
    const std::size_t required = message.find(" is required");
    if (error.get_name() == "RequiredError" && required != std::string::npos && command->get_parent() != nullptr)
        return CommandPath(command) + " needs " + message.substr(0, required) + "; kelbo help " + CommandPath(command) +
               " shows what it takes";
    return message;
}

// Where --title's value stands among the arguments, so that Windows can find it as typed.
int TitleArgument(int argc, char** argv, const std::string& title)
{
    for (int i = argc - 1; i > 1; --i)
        if (std::strcmp(argv[i - 1], "--title") == 0 && argv[i] == title)
            return i;
    return 0;
}

// A command whose output did not all reach its destination (a full disk, a closed pipe) failed.
int FinishOutput(int exitCode)
{
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return exitCode;
    std::fprintf(stderr, "kelbo: the output could not be written (%s)\n", std::strerror(errno));
    return exitCode != 0 ? exitCode : 1;
}

int RunParsed(const CLI::App& app, const CommandLine& line, const std::vector<std::string>& helpTopics,
              const std::vector<Runner>& runners)
{
    const CLI::App* command = GivenCommand(app);
    const std::vector<std::string> leftOver = app.remaining(true);
    if (!leftOver.empty())
        return ReportLeftOver(app, command, leftOver.front());
    if (command->get_name() == "help")
        return FinishOutput(PrintHelpOf(app, helpTopics));
    for (const Runner& runner : runners)
        if (runner.command == command)
            return FinishOutput(runner.run(line));
    std::fputs(HelpOf(command).c_str(), stderr);  // kelbo, or kelbo level, without its command
    return kMisuse;
}

int ParseAndRun(int argc, char** argv)
{
    CLI::App app("kelbo: inspect and change Skarvel's data file, and print the boards the game builds.", "kelbo");
    CommandLine line;
    std::vector<std::string> helpTopics;
    std::vector<Runner> runners;
    SetUpApp(app, line, helpTopics, runners);
    // CLI11 reports through exceptions; they end here.
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::fputs(HelpOf(GivenCommand(app)).c_str(), stdout);
        return FinishOutput(0);
    } catch (const CLI::CallForVersion&) {
        std::printf("kelbo %s\n", SKARVEL_VERSION);
        return FinishOutput(0);
    } catch (const CLI::ParseError& error) {
        const std::vector<std::string> leftOver = app.remaining(true);
        if (!leftOver.empty())
            return ReportLeftOver(app, GivenCommand(app), leftOver.front());
        return Misuse(ParseProblem(error, GivenCommand(app)));
    }
    line.titleArgument = TitleArgument(argc, argv, line.title);
    return RunParsed(app, line, helpTopics, runners);
}

}  // namespace

int RunKelboCommand(int argc, char** argv)
{
    // kelbo reads the file through the game's own code but never writes through it: its writers
    // replace the file whole.
    const bool onlyRead = DataFileOnlyRead;
    DataFileOnlyRead = true;
    const int exitCode = ParseAndRun(argc, argv);
    DataFileOnlyRead = onlyRead;
    return exitCode;
}
