#include "data/data_check.h"

#include <algorithm>
#include <cstring>

#include "data/default_file.h"
#include "data/whole_file.h"

namespace {

const char* const kLevelMenuNames[kLevelCount] = {"Beginner", "Average", "Expert",    "Triangle",
                                                  "Star",     "Hexagon", "Radiation", "Cross"};

const std::uint64_t kFirstRecordPosition = kOffsetTablePosition + kOffsetTableSize;

std::uint64_t FileSize(std::FILE* file)
{
    const long size = FileSizeOf(file);
    return size > 0 ? static_cast<std::uint64_t>(size) : 0;
}

struct LevelReport {
    const std::string& fileName;
    int levelIndex;
    std::vector<FileProblem>& problems;

    // plain: what a player is told, after "the LEVEL level"; text: the precise problem.
    void Add(const std::string& plain, const std::string& text) const
    {
        problems.push_back({std::string("the ") + kLevelMenuNames[levelIndex] + " level " + plain,
                            fileName + ": " + LevelName(levelIndex) + ": " + text});
    }
};

void TakeFixedPart(const std::uint8_t* bytes, LevelRecord& record)
{
    record.rows = bytes[0];
    record.columns = bytes[1];
    record.mines = bytes[2];
    std::memcpy(record.title, bytes + kRecordTitle, kTitleSize);
    record.table = BestTimesFromBytes(bytes + kRecordTable);
}

// The rows, columns, mines, title and table; false with the problem reported.
bool ReadFixedPart(std::FILE* file, std::uint64_t fileSize, LevelRecord& record, const LevelReport& report)
{
    if (record.offset < kFirstRecordPosition) {
        report.Add("is lost: the list of levels at the start of the file is damaged",
                   "its record offset " + std::to_string(record.offset) + " points into the offset table");
        return false;
    }
    if (record.offset + std::uint64_t{kRecordMask} > fileSize) {
        report.Add("is lost: the list of levels at the start of the file points past its end",
                   "its record at offset " + std::to_string(record.offset) + " runs past the end of the file (" +
                       std::to_string(fileSize) + " bytes)");
        return false;
    }
    std::uint8_t bytes[kRecordMask];
    if (!ReadBytesAt(file, static_cast<long>(record.offset), bytes, sizeof bytes)) {
        report.Add("cannot be read from the disk", "its record cannot be read");
        return false;
    }
    TakeFixedPart(bytes, record);
    if (record.rows == 0)
        report.Add("has no rows", "it has no rows");
    if (record.columns == 0)
        report.Add("has no columns", "it has no columns");
    return record.rows != 0 && record.columns != 0;
}

// The mask of a shaped level; every cell playable for the others.
bool ReadGrid(std::FILE* file, std::uint64_t fileSize, LevelRecord& record, const LevelReport& report)
{
    record.grid.assign(static_cast<std::size_t>(record.rows) * record.columns, kPlayableCell);
    if (report.levelIndex < kFirstShapedLevel)
        return true;
    if (record.offset + std::uint64_t{kRecordMask} + record.grid.size() > fileSize) {
        report.Add("is cut off: the file ends inside its outline",
                   "its outline runs past the end of the file (" + std::to_string(fileSize) + " bytes)");
        return false;
    }
    if (!ReadBytesAt(file, static_cast<long>(record.offset + kRecordMask), record.grid.data(), record.grid.size())) {
        report.Add("cannot be read from the disk", "its outline cannot be read");
        return false;
    }
    return true;
}

void CheckGrid(const LevelRecord& record, const LevelReport& report)
{
    for (std::size_t index = 0; index < record.grid.size(); ++index) {
        const std::uint8_t cell = record.grid[index];
        if (cell != kPlayableCell && cell != kVoidCell) {
            report.Add("has a damaged outline", "the outline holds the byte " + std::to_string(cell) + " at row " +
                       std::to_string(index / record.columns) + ", column " +
                       std::to_string(index % record.columns) + "; only 0 (a cell) and 255 (no cell) may stand there");
            return;
        }
    }
    if (CountPlayableCells(record.grid) == 0)
        report.Add("has no cell to play on", "the outline has no playable cell");
}

bool FileHoldsOffsetTable(std::uint64_t fileSize)
{
    return fileSize >= kFirstRecordPosition;
}

FileProblem ShortFileProblem(const std::string& fileName, std::uint64_t fileSize)
{
    return {"the file is cut short, too short to hold even the list of levels",
            fileName + ": the file is " + std::to_string(fileSize) + " bytes long, too short to hold the table of " +
                std::to_string(kLevelCount) + " level offsets; the built-in file is " +
                std::to_string(kDefaultFileSize) + " bytes long"};
}

// Where a level's record ends, when its size can be told: from its header, or, for a header past
// the end of the file, from the built-in file when the record stands where that one has it.
bool FindRecordEnd(std::FILE* file, std::uint64_t fileSize, int level, std::uint64_t& end)
{
    LevelHeader header{};
    if (!ReadU32At(file, OffsetSlotPosition(level), header.offset))
        return false;
    if (header.offset + std::uint64_t{3} <= fileSize && ReadLevelHeader(file, level, header)) {
        end = header.offset + static_cast<std::uint64_t>(RecordSize(level, header));
        return true;
    }
    static const std::vector<std::uint8_t> builtIn = DefaultDataFileBytes();
    LevelHeader builtInHeader{};
    builtInHeader.offset = GetU32LE(builtIn.data() + OffsetSlotPosition(level));
    if (header.offset != builtInHeader.offset)
        return false;
    builtInHeader.rows = builtIn[builtInHeader.offset];
    builtInHeader.columns = builtIn[builtInHeader.offset + 1];
    end = header.offset + static_cast<std::uint64_t>(RecordSize(level, builtInHeader));
    return true;
}

// A file whose records would all fit a longer one has lost its end, to a copy or a write that
// stopped early: the player is told that first, with the two lengths.
void CheckCutShort(std::FILE* file, const std::string& fileName, std::vector<FileProblem>& problems)
{
    const std::uint64_t fileSize = FileSize(file);
    std::uint64_t whole = 0;
    for (int level = 0; level < kLevelCount; ++level) {
        std::uint64_t end = 0;
        if (!FindRecordEnd(file, fileSize, level, end))
            return;
        whole = std::max(whole, end);
    }
    if (whole <= fileSize)
        return;
    problems.insert(problems.begin(), {"the file is cut short", fileName + ": the file is " + std::to_string(fileSize) +
                                                                    " bytes long; a whole one is " +
                                                                    std::to_string(whole) + " bytes long"});
}

bool RecordsOverlap(const LevelHeader& a, long sizeA, const LevelHeader& b, long sizeB)
{
    return a.offset < b.offset + static_cast<std::uint64_t>(sizeB) &&
           b.offset < a.offset + static_cast<std::uint64_t>(sizeA);
}

// A best time written into one level must never land in another level's record.
void CheckOverlaps(std::FILE* file, const std::string& fileName, std::vector<FileProblem>& problems)
{
    LevelHeader headers[kLevelCount]{};
    for (int level = 0; level < kLevelCount; ++level)
        if (!ReadLevelHeader(file, level, headers[level]))
            return;
    for (int first = 0; first < kLevelCount; ++first)
        for (int second = first + 1; second < kLevelCount; ++second)
            if (RecordsOverlap(headers[first], RecordSize(first, headers[first]), headers[second],
                               RecordSize(second, headers[second])))
                problems.push_back({std::string("the ") + kLevelMenuNames[first] + " and " + kLevelMenuNames[second] +
                                        " levels are stored over each other",
                                    fileName + ": the records of " + LevelName(first) + " and " +
                                        LevelName(second) + " overlap"});
}

}  // namespace

std::string LevelName(int levelIndex)
{
    return "level " + std::to_string(levelIndex) + " (" + kLevelMenuNames[levelIndex] + ")";
}

std::string CountOf(std::uint64_t count, const std::string& noun)
{
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::vector<FileProblem> FindLevelProblems(std::FILE* file, const std::string& fileName, int levelIndex,
                                           LevelRecord& record, LevelCheck extraCheck)
{
    std::vector<FileProblem> problems;
    if (file == nullptr) {
        problems.push_back({"is not open", fileName + " is not open"});
        return problems;
    }
    const std::uint64_t fileSize = FileSize(file);
    if (!FileHoldsOffsetTable(fileSize)) {
        problems.push_back(ShortFileProblem(fileName, fileSize));
        return problems;
    }
    const LevelReport report{fileName, levelIndex, problems};
    record = LevelRecord{};
    if (!ReadU32At(file, OffsetSlotPosition(levelIndex), record.offset)) {
        report.Add("cannot be read from the disk", "its record offset cannot be read");
        return problems;
    }
    if (!ReadFixedPart(file, fileSize, record, report) || !ReadGrid(file, fileSize, record, report))
        return problems;
    CheckGrid(record, report);
    if (problems.empty() && extraCheck != nullptr) {
        const std::string text = extraCheck(record);
        if (!text.empty())
            report.Add("has more mines than its board can hold", text);
    }
    return problems;
}

std::vector<FileProblem> FindFileProblems(std::FILE* file, const std::string& fileName, LevelCheck extraCheck)
{
    std::vector<FileProblem> problems;
    for (int level = 0; level < kLevelCount; ++level) {
        LevelRecord record;
        std::vector<FileProblem> levelProblems = FindLevelProblems(file, fileName, level, record, extraCheck);
        if (file == nullptr || !FileHoldsOffsetTable(FileSize(file)))
            return levelProblems;
        problems.insert(problems.end(), levelProblems.begin(), levelProblems.end());
    }
    if (problems.empty())
        CheckOverlaps(file, fileName, problems);
    else
        CheckCutShort(file, fileName, problems);
    return problems;
}

std::vector<std::string> ProblemDetails(const std::vector<FileProblem>& problems)
{
    std::vector<std::string> details;
    for (const FileProblem& problem : problems)
        details.push_back(problem.detail);
    return details;
}

std::vector<std::string> ReadCheckedLevel(std::FILE* file, const std::string& fileName, int levelIndex,
                                          LevelRecord& record, LevelCheck extraCheck)
{
    return ProblemDetails(FindLevelProblems(file, fileName, levelIndex, record, extraCheck));
}

std::vector<std::string> CheckLevel(std::FILE* file, const std::string& fileName, int levelIndex,
                                    LevelCheck extraCheck)
{
    LevelRecord record;
    return ReadCheckedLevel(file, fileName, levelIndex, record, extraCheck);
}

std::vector<std::string> CheckDataFile(std::FILE* file, const std::string& fileName, LevelCheck extraCheck)
{
    return ProblemDetails(FindFileProblems(file, fileName, extraCheck));
}
