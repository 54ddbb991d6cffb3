// Keeps a file open as the game keeps kelbo.dat open while it runs (fopen "r+b"), or with --lock
// holds the lock that the game takes while it writes a time into that data file, taken by the
// game's own code, until told to let go: "held" appears beside it once it is open or locked, and
// the program lets go and ends once "release" appears there.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "data/data_file.h"
#include "data/file_lock.h"

bool LockAsTheGame(const std::string& path)
{
    DataFileName = path;
    DataFileLockWait = 0;
    return LockDataFile() == LockOutcome::Held;
}

int main(int argc, char** argv)
{
    const bool lock = argc == 3 && std::strcmp(argv[1], "--lock") == 0;
    if (argc != 2 && !lock)
        return 2;
    const std::string path = argv[argc - 1];
    const std::string folder = path.substr(0, path.find_last_of("\\/") + 1);
    std::FILE* file = lock ? nullptr : std::fopen(path.c_str(), "r+b");
    const bool locked = lock && LockAsTheGame(path);
    if (file == nullptr && !locked)
        return 1;
    std::FILE* held = std::fopen((folder + "held").c_str(), "w");
    if (held != nullptr)
        std::fclose(held);
    for (int waited = 0; waited < 1200 && GetFileAttributesA((folder + "release").c_str()) == INVALID_FILE_ATTRIBUTES;
         ++waited)
        Sleep(50);
    if (file != nullptr)
        std::fclose(file);
    if (locked)
        UnlockDataFile();
    return 0;
}
