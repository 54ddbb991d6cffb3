#include "tools/kelbo_level.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "data/data_check.h"
#include "data/data_file.h"
#include "data/default_file.h"
#include "data/file_lock.h"
#include "data/level_edit.h"
#include "data/whole_file.h"
#include "game/board.h"
#include "game/file_replace.h"
#include "game/level_check.h"
#include "game/window_size.h"
#include "tools/kelbo_command_line.h"
#include "tools/kelbo_text.h"

namespace {

// The screen most players have; a board whose window is larger cannot be seen whole there.
constexpr std::int32_t kCommonScreenWidth = 1920;
constexpr std::int32_t kCommonScreenHeight = 1080;

// Reads the data file whole after checking it as the game would; false with the first problem.
bool ReadCheckedImage(std::vector<std::uint8_t>& image, std::string& problem)
{
    if (!OpenCheckedForReading(problem))
        return false;
    const bool read = ReadOpenImage(image);
    CloseDataFile();
    if (!read)
        problem = DataFileName + " cannot be read";
    return read;
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
        Warn(fileName + ": " + LevelName(levelIndex) + ": " + warning);
}

}  // namespace

int RunLevelShow(const CommandLine& line)
{
    int levelIndex = 0;
    std::vector<std::uint8_t> image;
    std::string problem;
    if (!ParseLevel(line.level, levelIndex, problem))
        return Misuse(problem);
    if (!ReadCheckedImage(image, problem))
        return Fail(problem);
    const LevelDefinition level = ReadLevelDefinition(image, levelIndex);
    std::printf("title \"%s\"\nrows %u\ncolumns %u\nmines %u\nplayable %zu\n%s",
                TerminalText(WithoutTrailingSpaces(level.title)).c_str(), level.outline.rows, level.outline.columns,
                level.mines, CountPlayableCells(level.outline.cells), OutlinePicture(level.outline).c_str());
    return 0;
}

namespace {

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

// --size's rows and columns; false with a message when it is not ROWSxCOLUMNS, or a size that no
// level can have: a bad value, as a misspelt one.
bool ParseSize(const std::string& size, std::uint64_t& rows, std::uint64_t& columns, std::string& problem)
{
    const std::size_t cross = size.find_first_of("xX");
    if (cross == std::string::npos || !ParseNumber(size.substr(0, cross), 99999, rows) ||
        !ParseNumber(size.substr(cross + 1), 99999, columns)) {
        problem = "--size " + size + ": write the size as ROWSxCOLUMNS, for example 10x20";
        return false;
    }
    const std::string stored =
        SizeProblem(LevelOutline{static_cast<std::uint32_t>(rows), static_cast<std::uint32_t>(columns), {}});
    if (!stored.empty())
        problem = "--size " + size + ": " + stored;
    return stored.empty();
}

// The board given on the command line, exactly one way and well formed; false with a message.
bool BoardOptionsGiven(const CommandLine& options, std::string& problem)
{
    if (options.size.empty() == options.picture.empty()) {
        problem = "give the board either as --size ROWSxCOLUMNS or as --picture FILE";
        return false;
    }
    std::uint64_t rows = 0;
    std::uint64_t columns = 0;
    return options.size.empty() || ParseSize(options.size, rows, columns, problem);
}

// The outline from --size or --picture, as BoardOptionsGiven has found them; pictureName is how
// messages name it.
bool ReadOutline(const CommandLine& options, LevelOutline& outline, std::string& pictureName, std::string& problem)
{
    if (!options.picture.empty()) {
        pictureName = options.picture == "-" ? "standard input" : options.picture;
        std::string text;
        return ReadPictureText(options.picture, text, problem) &&
               ParseOutlinePicture(text, pictureName, outline, problem);
    }
    pictureName = "--size " + options.size;
    std::uint64_t rows = 0;
    std::uint64_t columns = 0;
    if (!ParseSize(options.size, rows, columns, problem))
        return false;
    outline = LevelOutline{static_cast<std::uint32_t>(rows), static_cast<std::uint32_t>(columns), {}};
    if (rows <= kLargestSide && columns <= kLargestSide)
        outline = RectangleOutline(outline.rows, outline.columns);
    return true;
}

bool ReadDefinition(int levelIndex, const CommandLine& options, LevelDefinition& level, std::string& problem)
{
    if (!FileTextFromArgument(options.title, options.titleArgument, "--title", level.title, problem) ||
        !TitleFits(levelIndex, options.title, level.title, problem))
        return false;
    std::string pictureName;
    return ReadOutline(options, level.outline, pictureName, problem) &&
           CheckLevelToStore(levelIndex, level, pictureName, problem);
}

int ReplaceRecord(int levelIndex, const std::vector<std::uint8_t>& record, const LevelDefinition& level)
{
    std::string problem;
    if (!ReplaceLevelInFile(levelIndex, record, problem))
        return Fail(problem);
    std::printf("%s: %s is now \"%s\": %s, %s, %s, %s\n", DataFileName.c_str(), LevelName(levelIndex).c_str(),
                TerminalText(WithoutTrailingSpaces(level.title)).c_str(), CountOf(level.outline.rows, "row").c_str(),
                CountOf(level.outline.columns, "column").c_str(), CountOf(level.mines, "mine").c_str(),
                CountOf(CountPlayableCells(level.outline.cells), "playable cell").c_str());
    WarnIfLarge(DataFileName, levelIndex, level.outline.rows, level.outline.columns);
    return 0;
}

}  // namespace

int RunLevelSet(const CommandLine& line)
{
    int levelIndex = 0;
    std::uint32_t mines = 0;
    LevelDefinition level;
    std::string problem;
    if (!ParseLevel(line.level, levelIndex, problem) || !ParseWord32("--mines", line.mines, mines, problem) ||
        !BoardOptionsGiven(line, problem))
        return Misuse(problem);
    level.mines = mines;
    if (!ReadDefinition(levelIndex, line, level, problem))
        return Fail(problem);
    return ReplaceRecord(levelIndex, NewLevelRecord(levelIndex, level), level);
}

int RunLevelReset(const CommandLine& line)
{
    int levelIndex = 0;
    std::string problem;
    if (!ParseLevel(line.level, levelIndex, problem))
        return Misuse(problem);
    return ReplaceRecord(levelIndex, DefaultLevelRecord(levelIndex),
                         ReadLevelDefinition(DefaultDataFileBytes(), levelIndex));
}

void WarnAboutLargeWindows(std::FILE* file, const std::string& fileName)
{
    for (int level = 0; level < kLevelCount; ++level) {
        LevelHeader header{};
        if (ReadLevelHeader(file, level, header))
            WarnIfLarge(fileName, level, header.rows, header.columns);
    }
}
