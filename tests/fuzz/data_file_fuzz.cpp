// libFuzzer target: any bytes as the data file. A file that passes the check must give every
// level a game that can be played to its end without touching memory outside the board.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "data/data_check.h"
#include "data/data_file.h"
#include "game/board.h"
#include "game/cell.h"
#include "game/level_check.h"
#include "game/rules.h"

static void PlayEveryCell(std::uint32_t seed)
{
    NewGameWithSeed(nullptr, seed);
    for (std::uint32_t row = 0; row < Rows && GameState != Over; ++row)
        for (std::uint32_t column = 0; column < Columns && GameState != Over; ++column) {
            StartClock(nullptr);
            if ((row + column + seed) % 5 == 0)
                CycleMark(nullptr, column, row);
            else if (!IsVoid(CellAt(column, row)))
                Uncover(nullptr, column, row);
        }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> bytes(data, data + size);
    if (bytes.empty())
        return 0;
    DataFile = fmemopen(bytes.data(), bytes.size(), "r+b");
    if (DataFile == nullptr)
        return 0;
    if (CheckDataFileForPlay(DataFile, "fuzz").empty())
        for (LevelIndex = 0; LevelIndex < kLevelCount; ++LevelIndex)
            PlayEveryCell(static_cast<std::uint32_t>(size) + static_cast<std::uint32_t>(LevelIndex));
    CloseDataFile();
    return 0;
}
