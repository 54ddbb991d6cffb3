#include "game/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "data/data_file.h"
#include "data/file_lock.h"
#include "data/level_edit.h"
#include "data/whole_file.h"
#include "game/level_check.h"
#include "game/platform.h"

namespace {

// The file is checked once its level is replaced: here it need only open.
std::vector<std::string> NoCheckYet(std::FILE*, const std::string&)
{
    return {};
}

// The file that a level is about to replace a record of: it must hold at least the offset table.
// The rest of it is checked as the new file, since the level replaced may be the one that is
// broken; whether it may be written, when it is replaced.
bool ReadImageToChange(std::vector<std::uint8_t>& image, std::string& problem)
{
    const std::string untouched = "; " + DataFileName + " is left as it is";
    std::vector<std::string> problems;
    if (!OpenCheckedDataFile(DataFileName, NoCheckYet, problems)) {
        problem = problems.front();
        return false;
    }
    const bool read = ReadOpenImage(image);
    const bool holdsOffsets = read && image.size() >= static_cast<std::size_t>(kOffsetTablePosition + kOffsetTableSize);
    if (read && !holdsOffsets)
        problem = FirstProblem(CheckDataFileForPlay(DataFile, DataFileName)) + untouched;
    else if (!read)
        problem = DataFileName + " cannot be read" + untouched;
    CloseDataFile();
    return holdsOffsets;
}

// The data file's own words, then what to do with the tool.
std::string OpenProblem(const std::string& path, int error)
{
    const std::string problem = CannotOpenMessage(path, error);
    if (IsFolder(path))
        return problem + "; --file names the file itself, for example " + path + "/kelbo.dat";
    if (error == ENOENT)
        return problem + "; kelbo init writes a new one with the built-in levels, or --file names another";
    return problem;
}

// The folder alone would let a new file be renamed over one that its user may not write.
bool MayBeWritten(const std::string& path, std::string& problem)
{
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    if (file == nullptr) {
        problem = path + " cannot be written (" + std::strerror(errno) + ")";
        return false;
    }
    std::fclose(file);
    return true;
}

}  // namespace

std::string FolderProblem(const std::string& path)
{
    return IsFolder(path) ? OpenProblem(path, EISDIR) : "";
}

bool OpenCheckedDataFile(const std::string& path, WholeFileCheck check, std::vector<std::string>& problems)
{
    CloseDataFile();
    // A folder is never opened, so errno would tell of whatever failed before.
    const bool folder = IsFolder(path);
    DataFile = folder ? nullptr : std::fopen(path.c_str(), "rb");
    if (DataFile == nullptr) {
        problems = {OpenProblem(path, folder ? EISDIR : errno)};
        return false;
    }
    problems = check(DataFile, DataFileName);
    if (!problems.empty())
        CloseDataFile();
    return true;
}

bool OpenCheckedForReading(std::string& problem)
{
    std::vector<std::string> problems;
    OpenCheckedDataFile(DataFileName, CheckDataFileForPlay, problems);
    if (!problems.empty())
        problem = FirstProblem(problems);
    return problems.empty();
}

bool ReadOpenImage(std::vector<std::uint8_t>& image)
{
    const long size = FileSizeOf(DataFile);
    image.assign(size > 0 ? static_cast<std::size_t>(size) : 0, 0);
    return size > 0 && ReadBytesAt(DataFile, 0, image.data(), image.size());
}

void (*BeforeDataFileReplaced)();

bool CommitImage(const std::vector<std::uint8_t>& image, WholeFileCheck check, std::string& problem)
{
    const std::string target = LinkedFile(DataFileName);
    const std::string untouched = "; " + DataFileName + " is left as it is";
    std::string newPath;
    if (!MayBeWritten(DataFileName, problem) || !WriteFileBeside(target, image, newPath, problem)) {
        problem += untouched;
        return false;
    }
    std::vector<std::string> problems;
    OpenCheckedDataFile(newPath, check, problems);
    CloseDataFile();
    if (!problems.empty()) {
        std::remove(newPath.c_str());
        problem = FirstProblem(problems) + untouched;
        return false;
    }
    if (BeforeDataFileReplaced != nullptr)
        BeforeDataFileReplaced();
    std::string reason;
    if (ReplaceDataFile(newPath, target, reason))
        return true;
    std::remove(newPath.c_str());
    problem = reason + untouched;
    return false;
}

bool LockForReplacing(std::string& problem)
{
    const LockOutcome lock = LockDataFile();
    if (lock == LockOutcome::Busy)
        problem = DataFileName + " is being written by the game or another kelbo; it is left as it is: run the "
                                 "command again";
    else if (lock == LockOutcome::CannotLock)
        problem = DataFileName + " cannot be locked against the game, because " + LockFileOf(DataFileName) +
                  " cannot be made or opened as a file; it is left as it is";
    return lock == LockOutcome::Held;
}

bool ReplaceLevelInFile(int levelIndex, const std::vector<std::uint8_t>& record, std::string& problem)
{
    std::vector<std::uint8_t> image;
    if (!LockForReplacing(problem))
        return false;
    const bool replaced = ReadImageToChange(image, problem) &&
                          CommitImage(ReplaceLevelRecord(image, levelIndex, record), CheckDataFileForPlay, problem);
    UnlockDataFile();
    return replaced;
}

std::string FirstProblem(const std::vector<std::string>& problems)
{
    return problems.front() + (problems.size() > 1 ? " (kelbo check lists every problem)" : "");
}

bool CheckLevelToStore(int levelIndex, const LevelDefinition& level, const std::string& pictureName,
                       std::string& problem)
{
    if (!CheckLevelDefinition(levelIndex, level, pictureName, DataFileName, problem))
        return false;
    // The game draws mine positions from 32768 numbers: on a large grid some cells are never drawn.
    LevelRecord record{};
    record.mines = level.mines;
    record.grid = level.outline.cells;
    const std::string placement = CheckMinePlacement(record);
    if (placement.empty())
        return true;
    problem = DataFileName + ": " + LevelName(levelIndex) + ": " + placement;
    return false;
}

bool TitleFits(int levelIndex, const std::string& typed, const std::string& fileText, std::string& problem)
{
    if (fileText.size() < static_cast<std::size_t>(kTitleSize))
        return true;
    problem = DataFileName + ": " + LevelName(levelIndex) + ": the title \"" + typed + "\" has " +
              std::to_string(fileText.size()) + " characters; at most " + std::to_string(kTitleSize - 1) + " fit";
    return false;
}
