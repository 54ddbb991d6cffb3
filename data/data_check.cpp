#include "data/data_check.h"

#include <cstdint>

#include "game/board.h"
#include "game/cell.h"
#include "game/mine_draw.h"

namespace {

const char* const kLevelMenuNames[kLevelCount] = {"Beginner", "Average", "Expert",    "Triangle",
                                                  "Star",     "Hexagon", "Radiation", "Cross"};

const std::uint64_t kFirstRecordPosition = kOffsetTablePosition + kOffsetTableSize;

std::uint64_t FileSize(std::FILE* file)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return 0;
    const long size = std::ftell(file);
    return size > 0 ? static_cast<std::uint64_t>(size) : 0;
}

struct LevelReport {
    const std::string& fileName;
    int levelIndex;
    std::vector<std::string>& problems;

    void Add(const std::string& text) const
    {
        problems.push_back(fileName + ": " + LevelName(levelIndex) + ": " + text);
    }
};

// The level's grid before mines are placed: its mask, or every cell playable.
bool ReadGrid(std::FILE* file, int levelIndex, const LevelHeader& header, std::vector<std::uint8_t>& grid)
{
    grid.assign(static_cast<std::size_t>(header.rows) * header.columns, kPlayableCell);
    if (levelIndex < kFirstShapedLevel)
        return true;
    return ReadBytesAt(file, static_cast<long>(header.offset + kRecordMask), grid.data(), grid.size());
}

void CheckMaskValues(const std::vector<std::uint8_t>& grid, const LevelHeader& header, const LevelReport& report)
{
    for (std::size_t index = 0; index < grid.size(); ++index) {
        if (grid[index] != kPlayableCell && grid[index] != kVoidCell) {
            report.Add("the outline holds the byte " + std::to_string(grid[index]) + " at row " +
                       std::to_string(index / header.columns) + ", column " + std::to_string(index % header.columns) +
                       "; only 0 (a cell) and 255 (no cell) may stand there");
            return;
        }
    }
}

void CheckMines(const std::vector<std::uint8_t>& grid, const LevelHeader& header, const LevelReport& report)
{
    std::size_t playable = 0;
    for (std::uint8_t cell : grid)
        playable += cell == kPlayableCell;
    if (playable == 0) {
        report.Add("the outline has no playable cell");
        return;
    }
    const std::size_t drawable = CountDrawableCells(grid);
    if (header.mines < drawable)
        return;
    std::string text = std::to_string(header.mines) + " mines need more than the " + std::to_string(drawable) +
                       " cells that can hold one";
    if (drawable < playable)
        text += " (on a grid of more than 32768 cells only some of the " + std::to_string(playable) + " are drawn)";
    report.Add(text);
}

// Checks the header and mask of a level whose offset table entry could be read.
void CheckRecord(std::FILE* file, std::uint64_t fileSize, const LevelHeader& header, const LevelReport& report)
{
    if (header.offset < kFirstRecordPosition) {
        report.Add("its record offset " + std::to_string(header.offset) + " points into the offset table");
        return;
    }
    if (header.offset + std::uint64_t{kRecordMask} > fileSize) {
        report.Add("its record at offset " + std::to_string(header.offset) + " runs past the end of the file (" +
                   std::to_string(fileSize) + " bytes)");
        return;
    }
    if (header.rows == 0)
        report.Add("it has no rows");
    if (header.columns == 0)
        report.Add("it has no columns");
    if (header.rows == 0 || header.columns == 0)
        return;
    if (header.offset + static_cast<std::uint64_t>(RecordSize(report.levelIndex, header)) > fileSize) {
        report.Add("its outline runs past the end of the file (" + std::to_string(fileSize) + " bytes)");
        return;
    }
    std::vector<std::uint8_t> grid;
    if (!ReadGrid(file, report.levelIndex, header, grid)) {
        report.Add("its outline cannot be read");
        return;
    }
    CheckMaskValues(grid, header, report);
    CheckMines(grid, header, report);
}

bool FileHoldsOffsetTable(std::uint64_t fileSize)
{
    return fileSize >= kFirstRecordPosition;
}

std::string ShortFileMessage(const std::string& fileName, std::uint64_t fileSize)
{
    return fileName + ": the file is " + std::to_string(fileSize) + " bytes long, too short to hold the table of " +
           std::to_string(kLevelCount) + " level offsets";
}

bool RecordsOverlap(const LevelHeader& a, long sizeA, const LevelHeader& b, long sizeB)
{
    return a.offset < b.offset + static_cast<std::uint64_t>(sizeB) &&
           b.offset < a.offset + static_cast<std::uint64_t>(sizeA);
}

// A best time written into one level must never land in another level's record.
void CheckOverlaps(std::FILE* file, const std::string& fileName, std::vector<std::string>& problems)
{
    LevelHeader headers[kLevelCount]{};
    for (int level = 0; level < kLevelCount; ++level)
        if (!ReadLevelHeader(file, level, headers[level]))
            return;
    for (int first = 0; first < kLevelCount; ++first)
        for (int second = first + 1; second < kLevelCount; ++second)
            if (RecordsOverlap(headers[first], RecordSize(first, headers[first]), headers[second],
                               RecordSize(second, headers[second])))
                problems.push_back(fileName + ": the records of " + LevelName(first) + " and " + LevelName(second) +
                                   " overlap");
}

}  // namespace

std::string LevelName(int levelIndex)
{
    return "level " + std::to_string(levelIndex) + " (" + kLevelMenuNames[levelIndex] + ")";
}

std::vector<std::string> CheckLevel(std::FILE* file, const std::string& fileName, int levelIndex)
{
    std::vector<std::string> problems;
    const std::uint64_t fileSize = FileSize(file);
    if (!FileHoldsOffsetTable(fileSize)) {
        problems.push_back(ShortFileMessage(fileName, fileSize));
        return problems;
    }
    const LevelReport report{fileName, levelIndex, problems};
    LevelHeader header{};
    if (!ReadU32At(file, OffsetSlotPosition(levelIndex), header.offset)) {
        report.Add("its record offset cannot be read");
        return problems;
    }
    if (header.offset >= kFirstRecordPosition && header.offset + std::uint64_t{kRecordMask} <= fileSize &&
        !ReadLevelHeader(file, levelIndex, header)) {
        report.Add("its record cannot be read");
        return problems;
    }
    CheckRecord(file, fileSize, header, report);
    return problems;
}

std::vector<std::string> CheckDataFile(std::FILE* file, const std::string& fileName)
{
    std::vector<std::string> problems;
    for (int level = 0; level < kLevelCount; ++level) {
        std::vector<std::string> levelProblems = CheckLevel(file, fileName, level);
        if (!FileHoldsOffsetTable(FileSize(file)))
            return levelProblems;
        problems.insert(problems.end(), levelProblems.begin(), levelProblems.end());
    }
    if (problems.empty())
        CheckOverlaps(file, fileName, problems);
    return problems;
}
