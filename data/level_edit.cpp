#include "data/level_edit.h"

#include <algorithm>
#include <cassert>
#include <cstdio>

#include "data/data_check.h"
#include "data/default_file.h"

namespace {

const char kEmptyEntryName[] = "NONAME";

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

std::string ShowCharacter(char c)
{
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte >= 127) {
        char code[8];
        std::snprintf(code, sizeof code, "0x%02X", byte);
        return std::string("the byte ") + code;
    }
    return std::string("the character '") + c + "'";
}

std::string At(const std::string& sourceName, std::size_t line, std::size_t column)
{
    return sourceName + ": line " + std::to_string(line + 1) + ", column " + std::to_string(column + 1) + ": ";
}

bool ParseLine(const std::string& line, std::size_t lineIndex, const std::string& sourceName,
               std::vector<std::uint8_t>& cells, std::string& problem)
{
    for (std::size_t column = 0; column < line.size(); ++column) {
        if (line[column] != kPictureCell && line[column] != kPictureVoid) {
            problem = At(sourceName, lineIndex, column) + ShowCharacter(line[column]) + " is neither " + kPictureCell +
                      " (a triangle) nor " + kPictureVoid + " (no triangle)";
            return false;
        }
        cells.push_back(line[column] == kPictureCell ? kPlayableCell : kVoidCell);
    }
    return true;
}

// The first problem of a title for the 13-byte field, or empty.
std::string TitleProblem(const std::string& title)
{
    if (title.empty())
        return "the title is empty";
    if (title.size() > static_cast<std::size_t>(kTitleSize - 1))
        return "the title \"" + title + "\" has " + std::to_string(title.size()) + " characters; at most " +
               std::to_string(kTitleSize - 1) + " fit";
    for (char c : title)
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            return "the title holds " + ShowCharacter(c) + "; only printable characters may stand in it";
    return "";
}


// Where the first void cell lies, as a picture would show it; empty when there is none.
std::string FirstHole(const LevelOutline& outline)
{
    const auto hole = std::find(outline.cells.begin(), outline.cells.end(), kVoidCell);
    if (hole == outline.cells.end())
        return "";
    const std::size_t index = static_cast<std::size_t>(hole - outline.cells.begin());
    return "line " + std::to_string(index / outline.columns + 1) + ", column " +
           std::to_string(index % outline.columns + 1);
}

std::string MinesProblem(const LevelDefinition& level)
{
    const std::size_t playable = CountPlayableCells(level.outline.cells);
    if (level.mines > kLargestMines)
        return CountOf(level.mines, "mine") + " cannot be stored: at most " + std::to_string(kLargestMines);
    if (level.mines >= playable)
        return CountOf(level.mines, "mine") + (level.mines == 1 ? " leaves" : " leave") + " no safe cell among the " +
               CountOf(playable, "playable cell") + "; give at most " + std::to_string(playable - 1);
    return "";
}

// Whether bytes from start on would reach into another level's record. A record that the image
// cannot even place is left to the whole-file check of the result.
bool MeetsOtherRecord(const std::vector<std::uint8_t>& file, int levelIndex, std::uint64_t start, std::uint64_t size)
{
    for (int other = 0; other < kLevelCount; ++other) {
        const std::uint32_t offset = GetU32LE(file.data() + OffsetSlotPosition(other));
        if (other == levelIndex || offset + std::uint64_t{3} > file.size())
            continue;
        const LevelHeader header{offset, file[offset], file[offset + 1], file[offset + 2]};
        const std::uint64_t end = offset + static_cast<std::uint64_t>(RecordSize(other, header));
        if (start < end && offset < start + size)
            return true;
    }
    return false;
}

}  // namespace

std::string SizeProblem(const LevelOutline& outline)
{
    if (outline.rows == 0 || outline.columns == 0 || outline.rows > kLargestSide || outline.columns > kLargestSide)
        return "a board of " + std::to_string(outline.rows) + " rows and " + std::to_string(outline.columns) +
               " columns cannot be stored: each must be from 1 to " + std::to_string(kLargestSide);
    return "";
}

bool ParseOutlinePicture(const std::string& text, const std::string& sourceName, LevelOutline& outline,
                         std::string& problem)
{
    const std::vector<std::string> lines = SplitLines(text);
    outline = LevelOutline{static_cast<std::uint32_t>(lines.size()), 0, {}};
    if (lines.empty()) {
        problem = sourceName + ": the picture is empty";
        return false;
    }
    outline.columns = static_cast<std::uint32_t>(lines[0].size());
    for (std::size_t index = 0; index < lines.size(); ++index) {
        if (!ParseLine(lines[index], index, sourceName, outline.cells, problem))
            return false;
        if (lines[index].size() != outline.columns) {
            problem = sourceName + ": line " + std::to_string(index + 1) + " has " +
                      std::to_string(lines[index].size()) + " cells and line 1 has " + std::to_string(outline.columns) +
                      "; every line must be as long as the first";
            return false;
        }
    }
    const std::string size = SizeProblem(outline);
    if (!size.empty())
        problem = sourceName + ": " + size;
    return size.empty();
}

std::string OutlinePicture(const LevelOutline& outline)
{
    std::string text;
    for (std::size_t index = 0; index < outline.cells.size(); ++index) {
        text += outline.cells[index] == kVoidCell ? kPictureVoid : kPictureCell;
        if ((index + 1) % outline.columns == 0)
            text += '\n';
    }
    return text;
}

LevelOutline RectangleOutline(std::uint32_t rows, std::uint32_t columns)
{
    return LevelOutline{rows, columns,
                        std::vector<std::uint8_t>(static_cast<std::size_t>(rows) * columns, kPlayableCell)};
}

bool CheckLevelDefinition(int levelIndex, const LevelDefinition& level, const std::string& pictureName,
                          const std::string& dataFileName, std::string& problem)
{
    const std::string size = SizeProblem(level.outline);
    if (!size.empty()) {
        problem = pictureName + ": " + size;
        return false;
    }
    if (CountPlayableCells(level.outline.cells) == 0) {
        problem = pictureName + ": the board has no triangle (" + kPictureCell + ")";
        return false;
    }
    const std::string hole = FirstHole(level.outline);
    if (levelIndex < kFirstShapedLevel && !hole.empty()) {
        problem = pictureName + ": the picture has a hole at " + hole + ", but " + LevelName(levelIndex) +
                  " is always played as a full rectangle: the game reads no outline for levels 0 to " +
                  std::to_string(kFirstShapedLevel - 1) + ". Put a shaped board into a level from " +
                  std::to_string(kFirstShapedLevel) + " to " + std::to_string(kLevelCount - 1) + ".";
        return false;
    }
    std::string text = TitleProblem(level.title);
    if (text.empty())
        text = MinesProblem(level);
    if (!text.empty())
        problem = dataFileName + ": " + LevelName(levelIndex) + ": " + text;
    return text.empty();
}

std::vector<std::uint8_t> NewLevelRecord(int levelIndex, const LevelDefinition& level)
{
    std::vector<std::uint8_t> record{static_cast<std::uint8_t>(level.outline.rows),
                                     static_cast<std::uint8_t>(level.outline.columns),
                                     static_cast<std::uint8_t>(level.mines)};
    AppendTextField(record, level.title, kTitleSize);
    for (int entry = 0; entry < kTableEntries; ++entry) {
        AppendTextField(record, kEmptyEntryName, kNameSize);
        record.resize(record.size() + 4, 0);  // time 0: an empty entry
    }
    if (levelIndex >= kFirstShapedLevel)
        record.insert(record.end(), level.outline.cells.begin(), level.outline.cells.end());
    return record;
}

std::vector<std::uint8_t> DefaultLevelRecord(int levelIndex)
{
    const std::vector<std::uint8_t> file = DefaultDataFileBytes();
    const std::uint32_t offset = GetU32LE(file.data() + OffsetSlotPosition(levelIndex));
    const LevelHeader header{offset, file[offset], file[offset + 1], file[offset + 2]};
    return std::vector<std::uint8_t>(file.begin() + offset, file.begin() + offset + RecordSize(levelIndex, header));
}

LevelDefinition ReadLevelDefinition(const std::vector<std::uint8_t>& file, int levelIndex)
{
    const std::uint32_t offset = GetU32LE(file.data() + OffsetSlotPosition(levelIndex));
    const std::uint8_t* record = file.data() + offset;
    LevelDefinition level{FieldText(record + kRecordTitle, kTitleSize), record[2],
                          RectangleOutline(record[0], record[1])};
    if (levelIndex >= kFirstShapedLevel)
        std::copy(record + kRecordMask, record + kRecordMask + level.outline.cells.size(), level.outline.cells.begin());
    return level;
}

std::vector<std::uint8_t> ReplaceLevelRecord(const std::vector<std::uint8_t>& file, int levelIndex,
                                             const std::vector<std::uint8_t>& record)
{
    assert(file.size() >= static_cast<std::size_t>(kOffsetTablePosition + kOffsetTableSize));
    std::vector<std::uint8_t> result = file;
    std::uint32_t offset = GetU32LE(file.data() + OffsetSlotPosition(levelIndex));
    const bool fitsInPlace = offset >= kOffsetTablePosition + kOffsetTableSize && offset <= file.size() &&
                             !MeetsOtherRecord(file, levelIndex, offset, record.size());
    if (!fitsInPlace) {
        offset = static_cast<std::uint32_t>(file.size());
        PutU32LE(result.data() + OffsetSlotPosition(levelIndex), offset);
    }
    if (offset + record.size() > result.size())
        result.resize(offset + record.size());
    std::copy(record.begin(), record.end(), result.begin() + offset);
    return result;
}
