// Keeps a file open as the game keeps kelbo.dat open while it runs (fopen "r+b"), until told to
// let go: "held" appears beside it once it is open, and the program closes it and ends once
// "release" appears there.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const std::string path = argv[1];
    const std::string folder = path.substr(0, path.find_last_of("\\/") + 1);
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    if (file == nullptr)
        return 1;
    std::FILE* held = std::fopen((folder + "held").c_str(), "w");
    if (held != nullptr)
        std::fclose(held);
    for (int waited = 0; waited < 1200 && GetFileAttributesA((folder + "release").c_str()) == INVALID_FILE_ATTRIBUTES;
         ++waited)
        Sleep(50);
    std::fclose(file);
    return 0;
}
