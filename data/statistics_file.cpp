#include "data/statistics_file.h"

#include <cstdio>
#include <vector>

#include "data/file_lock.h"
#include "data/whole_file.h"

namespace {

// The first name path.damaged, path.damaged.1, ... where nothing stands.
std::string FreeNameAside(const std::string& path)
{
    std::string aside = path + ".damaged";
    for (int number = 1; PathExists(aside) && number < 1000; ++number)
        aside = path + ".damaged." + std::to_string(number);
    return aside;
}

bool KeepDamagedAside(const std::string& path, const std::string& damage, std::string& notice, std::string& problem)
{
    const std::string aside = FreeNameAside(path);
    if (PathExists(aside) || std::rename(path.c_str(), aside.c_str()) != 0) {
        problem = damage + ".\nIt could not be kept aside as " + aside + ", so it has been left as it is.";
        return false;
    }
    notice = damage + ".\nIt is kept as " + aside + ", and a new record of games begins.";
    return true;
}

bool WriteInPlace(const std::string& path, const StatisticsRecord& record, FileReplacer replace, std::string& problem)
{
    const std::string text = StatisticsText(record);
    std::string newPath;
    if (!WriteFileBeside(path, std::vector<std::uint8_t>(text.begin(), text.end()), newPath, problem))
        return false;
    if (replace(newPath, path, problem))
        return true;
    std::remove(newPath.c_str());
    return false;
}

bool UpdateWhileLocked(const std::string& path, const StatisticsChange& change, FileReplacer replace,
                       std::string& notice, std::string& problem)
{
    StatisticsRecord record;
    std::string damage;
    switch (ReadStatisticsFile(path, record, damage)) {
    case StatisticsRead::Unreadable:
        problem = damage;
        return false;
    case StatisticsRead::Damaged:
        if (!KeepDamagedAside(path, damage, notice, problem))
            return false;
        break;
    case StatisticsRead::Read:
    case StatisticsRead::Missing:
        break;
    }
    change(record);
    return WriteInPlace(path, record, replace, problem);
}

}  // namespace

bool UpdateStatisticsFile(const std::string& path, const StatisticsChange& change, FileReplacer replace,
                          std::string& notice, std::string& problem)
{
    int lock = -1;
    const LockOutcome locked = LockFileBeside(path, lock);
    if (locked != LockOutcome::Held) {
        problem = locked == LockOutcome::Busy
                      ? path + " is being changed by another copy of the game, and it did not finish in time"
                      : path + " cannot be locked against other copies of the game, because " + path +
                            ".lock cannot be made or opened as a file";
        return false;
    }
    const bool saved = UpdateWhileLocked(path, change, replace, notice, problem);
    UnlockFileBeside(lock);
    if (!saved)
        problem += "\nThis change to the record of games was not saved.";
    return saved;
}
