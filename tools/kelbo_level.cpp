#include "tools/kelbo_level.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "data/data_check.h"
#include "data/data_file.h"
#include "data/default_file.h"
#include "data/level_edit.h"
#include "game/board.h"
#include "data/whole_file.h"
#include "game/level_check.h"
#include "game/window_size.h"
#include "tools/kelbo_text.h"

namespace {

// The screen most players have; a board whose window is larger cannot be seen whole there.
constexpr std::int32_t kCommonScreenWidth = 1920;
constexpr std::int32_t kCommonScreenHeight = 1080;

const char kLevelUsage[] =
    "usage: kelbo level show LEVEL\n"
    "       kelbo level set LEVEL --title TEXT --mines M (--size ROWSxCOLUMNS | --picture FILE)\n"
    "       kelbo level reset LEVEL\n"
    "       (each with [--file PATH]; a picture is one line per row, # a triangle, . none;\n"
    "        --picture - reads it from standard input)\n";

struct LevelOptions {
    std::string command;
    std::string level;
    std::string title;
    int titleArgument = 0;  // where the title stands on the command line
    std::string mines;
    std::string size;
    std::string picture;
    bool hasTitle = false;
    bool hasMines = false;
    bool hasSize = false;
    bool hasPicture = false;
};

bool TakeValue(int argc, char** argv, int& i, std::string& value, bool& given, std::string& problem)
{
    if (i + 1 >= argc) {
        problem = std::string(argv[i]) + " needs a value";
        return false;
    }
    value = argv[++i];
    given = true;
    return true;
}

bool ParseLevelOptions(int argc, char** argv, LevelOptions& options, std::string& problem)
{
    bool ignored = false;
    for (int i = 2; i < argc; ++i) {
        const std::string word = argv[i];
        bool ok = true;
        if (word == "--file") {
            ok = TakeValue(argc, argv, i, DataFileName, ignored, problem);
        } else if (word == "--title") {
            ok = TakeValue(argc, argv, i, options.title, options.hasTitle, problem);
            options.titleArgument = i;
        } else if (word == "--mines") {
            ok = TakeValue(argc, argv, i, options.mines, options.hasMines, problem);
        } else if (word == "--size") {
            ok = TakeValue(argc, argv, i, options.size, options.hasSize, problem);
        } else if (word == "--picture") {
            ok = TakeValue(argc, argv, i, options.picture, options.hasPicture, problem);
        } else if (word.size() > 1 && word[0] == '-') {
            problem = "unknown option " + word;
            ok = false;
        } else if (options.command.empty()) {
            options.command = word;
        } else if (options.level.empty()) {
            options.level = word;
        } else {
            problem = "unexpected word " + word;
            ok = false;
        }
        if (!ok)
            return false;
    }
    return true;
}

bool ParseLevelIndex(const std::string& text, int& level, std::string& problem)
{
    std::uint64_t value = 0;
    if (!ParseNumber(text, kLevelCount - 1, value)) {
        problem = "give a level number, 0 to " + std::to_string(kLevelCount - 1);
        return false;
    }
    level = static_cast<int>(value);
    return true;
}

bool ReadImage(std::FILE* file, std::vector<std::uint8_t>& image)
{
    const long size = FileSizeOf(file);
    image.assign(size > 0 ? static_cast<std::size_t>(size) : 0, 0);
    return size > 0 && ReadBytesAt(file, 0, image.data(), image.size());
}

// Opens the data file as the game would and checks it whole; false with the first problem.
bool ReadCheckedImage(std::vector<std::uint8_t>& image, std::string& problem)
{
    std::FILE* file = std::fopen(DataFileName.c_str(), "rb");
    if (file == nullptr) {
        problem = DataFileName + " cannot be opened (" + std::strerror(errno) + ")";
        return false;
    }
    const std::vector<std::string> problems = CheckDataFileForPlay(file, DataFileName);
    const bool read = problems.empty() && ReadImage(file, image);
    std::fclose(file);
    if (!problems.empty())
        problem = FirstProblem(problems);
    else if (!read)
        problem = DataFileName + " cannot be read";
    return read;
}

// The file that a level is about to replace a record of: it must be writable and hold at least
// the offset table. The rest of it is checked as the new file, since the level replaced may be
// the one that is broken.
bool ReadImageToChange(std::vector<std::uint8_t>& image, std::string& problem)
{
    std::FILE* file = std::fopen(DataFileName.c_str(), "r+b");
    if (file == nullptr) {
        problem = DataFileName + " cannot be opened for reading and writing (" + std::strerror(errno) + ")";
        return false;
    }
    const bool read = ReadImage(file, image);
    const bool holdsOffsets = read && image.size() >= static_cast<std::size_t>(kOffsetTablePosition + kOffsetTableSize);
    if (read && !holdsOffsets)
        problem = FirstProblem(CheckDataFileForPlay(file, DataFileName)) + "; " + DataFileName + " is left as it is";
    else if (!read)
        problem = DataFileName + " cannot be read";
    std::fclose(file);
    return holdsOffsets;
}

std::string LargeWindowWarning(std::uint32_t rows, std::uint32_t columns)
{
    const WindowSize size = WindowSizeFor(rows, columns);
    if (size.width <= kCommonScreenWidth && size.height <= kCommonScreenHeight)
        return "";
    std::uint32_t fittingRows = 0;
    while (fittingRows < kLargestSide && WindowSizeFor(fittingRows + 1, 1).height <= kCommonScreenHeight)
        ++fittingRows;
    std::uint32_t fittingColumns = 0;
    while (fittingColumns < kLargestSide && WindowSizeFor(1, fittingColumns + 1).width <= kCommonScreenWidth)
        ++fittingColumns;
    return "a board of " + std::to_string(rows) + " rows and " + std::to_string(columns) +
           " columns needs a window of " + std::to_string(size.width) + " x " + std::to_string(size.height) +
           " pixels, larger than a " + std::to_string(kCommonScreenWidth) + " x " +
           std::to_string(kCommonScreenHeight) + " screen; at most " + std::to_string(fittingRows) + " rows and " +
           std::to_string(fittingColumns) + " columns fit";
}

void WarnIfLarge(const std::string& fileName, int levelIndex, std::uint32_t rows, std::uint32_t columns)
{
    const std::string warning = LargeWindowWarning(rows, columns);
    if (!warning.empty())
        std::fprintf(stderr, "kelbo: warning: %s: %s: %s\n", fileName.c_str(), LevelName(levelIndex).c_str(),
                     warning.c_str());
}

int RunShow(int levelIndex)
{
    std::vector<std::uint8_t> image;
    std::string problem;
    if (!ReadCheckedImage(image, problem))
        return Fail(problem);
    const LevelDefinition level = ReadLevelDefinition(image, levelIndex);
    std::printf("title \"%s\"\nrows %u\ncolumns %u\nmines %u\nplayable %zu\n%s", TerminalText(level.title).c_str(),
                level.outline.rows, level.outline.columns, level.mines, CountPlayableCells(level.outline.cells),
                OutlinePicture(level.outline).c_str());
    return 0;
}

bool ReadPictureText(const std::string& name, std::string& text, std::string& problem)
{
    std::FILE* file = name == "-" ? stdin : std::fopen(name.c_str(), "rb");
    if (file == nullptr) {
        problem = name + " cannot be opened (" + std::strerror(errno) + ")";
        return false;
    }
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        text.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    if (file != stdin)
        std::fclose(file);
    if (failed)
        problem = name + " cannot be read";
    return !failed;
}

// The outline from --size or --picture; pictureName is how messages name it.
bool ReadOutline(const LevelOptions& options, LevelOutline& outline, std::string& pictureName, std::string& problem)
{
    if (options.hasSize == options.hasPicture) {
        problem = "give the board either as --size ROWSxCOLUMNS or as --picture FILE";
        return false;
    }
    if (options.hasPicture) {
        pictureName = options.picture == "-" ? "standard input" : options.picture;
        std::string text;
        return ReadPictureText(options.picture, text, problem) &&
               ParseOutlinePicture(text, pictureName, outline, problem);
    }
    pictureName = "--size " + options.size;
    const std::size_t cross = options.size.find_first_of("xX");
    std::uint64_t rows = 0;
    std::uint64_t columns = 0;
    if (cross == std::string::npos || !ParseNumber(options.size.substr(0, cross), 99999, rows) ||
        !ParseNumber(options.size.substr(cross + 1), 99999, columns)) {
        problem = pictureName + ": write the size as ROWSxCOLUMNS, for example 10x20";
        return false;
    }
    outline = LevelOutline{static_cast<std::uint32_t>(rows), static_cast<std::uint32_t>(columns), {}};
    if (rows <= kLargestSide && columns <= kLargestSide)
        outline = RectangleOutline(outline.rows, outline.columns);
    return true;
}

// The game draws mine positions from 32768 numbers: on a large grid some cells are never drawn.
// The game's own test: could its draws ever place all the mines on this board?
bool CheckMinesCanBePlaced(int levelIndex, const LevelDefinition& level, std::string& problem)
{
    LevelRecord record{};
    record.mines = level.mines;
    record.grid = level.outline.cells;
    const std::string placement = CheckMinePlacement(record);
    if (placement.empty())
        return true;
    problem = DataFileName + ": " + LevelName(levelIndex) + ": " + placement;
    return false;
}

// The length that counts is the file's, one byte a character.
bool TitleFits(int levelIndex, const std::string& typed, const std::string& fileText, std::string& problem)
{
    if (fileText.size() < static_cast<std::size_t>(kTitleSize))
        return true;
    problem = DataFileName + ": " + LevelName(levelIndex) + ": the title \"" + typed + "\" has " +
              std::to_string(fileText.size()) + " characters; at most " + std::to_string(kTitleSize - 1) + " fit";
    return false;
}

bool ReadDefinition(int levelIndex, const LevelOptions& options, LevelDefinition& level, std::string& problem)
{
    std::uint64_t mines = 0;
    if (!options.hasTitle || !options.hasMines) {
        problem = "set needs --title TEXT and --mines M";
        return false;
    }
    if (!ParseNumber(options.mines, 99999, mines)) {
        problem = "--mines " + options.mines + ": give a whole number of mines";
        return false;
    }
    if (!FileTextFromArgument(options.title, options.titleArgument, "--title", level.title, problem) ||
        !TitleFits(levelIndex, options.title, level.title, problem))
        return false;
    level.mines = static_cast<std::uint32_t>(mines);
    std::string pictureName;
    return ReadOutline(options, level.outline, pictureName, problem) &&
           CheckLevelDefinition(levelIndex, level, pictureName, DataFileName, problem) &&
           CheckMinesCanBePlaced(levelIndex, level, problem);
}

// False with a message naming the files and the reason.
bool ReplaceFileWith(const std::string& from, const std::string& to, std::string& reason)
{
#ifdef _WIN32
    // rename fails on Windows when the target exists.
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0)
        return true;
    const DWORD error = GetLastError();
    // The game keeps its file open while it runs, and Windows replaces no file that is open.
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION)
        reason = "the game (or another program) has " + to + " open, so it cannot be replaced: close the game first "
                 "and run the command again";
    else
        reason = from + " cannot replace " + to + " (Windows error " + std::to_string(error) + ")";
#else
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return true;
    reason = from + " cannot replace " + to + " (" + std::strerror(errno) + ")";
#endif
    return false;
}

std::vector<std::string> CheckFileAt(const std::string& path, WholeFileCheck check)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return {path + " cannot be read back"};
    std::vector<std::string> problems = check(file, DataFileName);
    std::fclose(file);
    return problems;
}

}  // namespace

bool CommitImage(const std::vector<std::uint8_t>& image, WholeFileCheck check, std::string& problem)
{
    const std::string newPath = DataFileName + ".new";
    const std::string untouched = "; " + DataFileName + " is left as it is";
    if (!WriteWholeFile(newPath, image, problem)) {
        problem += untouched;
        return false;
    }
    const std::vector<std::string> problems = CheckFileAt(newPath, check);
    if (!problems.empty()) {
        std::remove(newPath.c_str());
        problem = FirstProblem(problems) + untouched;
        return false;
    }
    std::string reason;
    if (ReplaceFileWith(newPath, DataFileName, reason))
        return true;
    std::remove(newPath.c_str());
    problem = reason + untouched;
    return false;
}

namespace {

int ReplaceRecord(int levelIndex, const std::vector<std::uint8_t>& record, const LevelDefinition& level)
{
    std::vector<std::uint8_t> image;
    std::string problem;
    if (!ReadImageToChange(image, problem))
        return Fail(problem);
    if (!CommitImage(ReplaceLevelRecord(image, levelIndex, record), CheckDataFileForPlay, problem))
        return Fail(problem);
    std::printf("%s: %s is now \"%s\": %u rows, %u columns, %u mines, %zu playable cells\n", DataFileName.c_str(),
                LevelName(levelIndex).c_str(), TerminalText(level.title).c_str(), level.outline.rows,
                level.outline.columns, level.mines, CountPlayableCells(level.outline.cells));
    WarnIfLarge(DataFileName, levelIndex, level.outline.rows, level.outline.columns);
    return 0;
}

int RunSet(int levelIndex, const LevelOptions& options)
{
    LevelDefinition level;
    std::string problem;
    if (!ReadDefinition(levelIndex, options, level, problem))
        return Fail(problem);
    return ReplaceRecord(levelIndex, NewLevelRecord(levelIndex, level), level);
}

int RunReset(int levelIndex)
{
    return ReplaceRecord(levelIndex, DefaultLevelRecord(levelIndex),
                         ReadLevelDefinition(DefaultDataFileBytes(), levelIndex));
}

}  // namespace

int RunLevelCommand(int argc, char** argv)
{
    LevelOptions options;
    std::string problem;
    int levelIndex = 0;
    if (!ParseLevelOptions(argc, argv, options, problem))
        return Fail(problem);
    const bool isSet = options.command == "set";
    if (options.command != "show" && options.command != "reset" && !isSet) {
        std::fputs(kLevelUsage, stderr);
        return 2;
    }
    if (!ParseLevelIndex(options.level, levelIndex, problem))
        return Fail(problem);
    if (!isSet && (options.hasTitle || options.hasMines || options.hasSize || options.hasPicture))
        return Fail(options.command + " takes only a level number and --file");
    if (options.command == "show")
        return RunShow(levelIndex);
    return isSet ? RunSet(levelIndex, options) : RunReset(levelIndex);
}

void WarnAboutLargeWindows(std::FILE* file, const std::string& fileName)
{
    for (int level = 0; level < kLevelCount; ++level) {
        LevelHeader header{};
        if (ReadLevelHeader(file, level, header))
            WarnIfLarge(fileName, level, header.rows, header.columns);
    }
}
