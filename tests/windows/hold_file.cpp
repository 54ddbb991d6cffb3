// Keeps a file open as the game keeps kelbo.dat open while it runs (fopen "r+b"), or with --lock
// holds the lock that the game takes beside it while it writes a time (the first byte of
// kelbo.dat.lock), until told to let go: "held" appears beside it once it is open, and the program
// closes it and ends once "release" appears there.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

// The lock as Windows gives it to any program: the byte at offset 0, exclusively.
HANDLE LockFirstByte(const std::string& path)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    OVERLAPPED at{};
    if (file != INVALID_HANDLE_VALUE && LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at))
        return file;
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return INVALID_HANDLE_VALUE;
}

int main(int argc, char** argv)
{
    const bool lock = argc == 3 && std::strcmp(argv[1], "--lock") == 0;
    if (argc != 2 && !lock)
        return 2;
    const std::string path = argv[argc - 1];
    const std::string folder = path.substr(0, path.find_last_of("\\/") + 1);
    std::FILE* file = lock ? nullptr : std::fopen(path.c_str(), "r+b");
    const HANDLE locked = lock ? LockFirstByte(path) : INVALID_HANDLE_VALUE;
    if (file == nullptr && locked == INVALID_HANDLE_VALUE)
        return 1;
    std::FILE* held = std::fopen((folder + "held").c_str(), "w");
    if (held != nullptr)
        std::fclose(held);
    for (int waited = 0; waited < 1200 && GetFileAttributesA((folder + "release").c_str()) == INVALID_FILE_ATTRIBUTES;
         ++waited)
        Sleep(50);
    if (file != nullptr)
        std::fclose(file);
    if (locked != INVALID_HANDLE_VALUE)
        CloseHandle(locked);
    return 0;
}
