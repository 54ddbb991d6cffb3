// Whole files: their size, and new files written completely and onto the disk.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The size of an open file in bytes; -1 when it cannot be found.
long FileSizeOf(std::FILE* file);

// Whether something stands at path (a file, a folder, a link), as far as the system tells.
bool PathExists(const std::string& path);

// Whether path names a folder.
bool IsFolder(const std::string& path);

// Past the C library's buffer and the system's cache, so that a crash cannot lose what was written.
bool FlushToDisk(std::FILE* file);

enum class NewFile { Written, AlreadyThere, Failed };

// Writes bytes to a new file at path and flushes it to the disk. False with a message naming the
// file, and no file left behind, when it cannot be written completely; the advice that fits the
// failure follows the message. The file is created only while nothing stands at path (one step of
// the system, not a look and then a write), so a file that another program put there since the
// caller looked is never written over: AlreadyThere, and no problem.
NewFile WriteNewFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& problem,
                     const std::string& createAdvice = "", const std::string& writeAdvice = "");

// Writes bytes to a new file of its own beside path, named after it (path.new.PROCESS.N) and created
// only where nothing stands, so that two writers at once or a link planted at a name never share a
// file. newPath names it; false with a message, and no file left behind, when it cannot be written.
bool WriteFileBeside(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& newPath,
                     std::string& problem);

// The file that path names at the end of its chain of symbolic links; path itself when it is none,
// and always on Windows, where links are not followed.
std::string LinkedFile(std::string path);

// Writes bytes into an open file that was found empty through this same handle, from its start
// and onto the disk. On failure the file is made empty again, as it was found, and false is
// returned with errno telling why.
bool FillEmptyFile(std::FILE* file, const std::vector<std::uint8_t>& bytes);
