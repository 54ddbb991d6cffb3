// Scratch files for the tests: a fresh directory per test and whole-file reads and writes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A new empty directory, removed with everything in it when the object goes.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

// The new files that writers left beside the data file at path (path.new...).
std::vector<std::string> NewFilesBeside(const std::string& path);
void WriteWholeFileForTest(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Offset of a level's record in a data file image.
std::uint32_t RecordOffset(const std::vector<std::uint8_t>& file, int levelIndex);
void SetRecordOffset(std::vector<std::uint8_t>& file, int levelIndex, std::uint32_t offset);

// Gives a level of a data file image other dimensions and mines; the record keeps its place.
void SetLevelSize(std::vector<std::uint8_t>& file, int levelIndex, std::uint8_t rows, std::uint8_t columns,
                  std::uint8_t mines);

// A sound data file that is not the built-in one, as another program or copy of the game might
// put in the data file's place: one best time of Expert differs.
std::vector<std::uint8_t> AnotherProgramsFile();

// Opens the image as the game's data file at a scratch path; false with the problem.
bool OpenImageAsDataFile(const ScratchDirectory& directory, const std::vector<std::uint8_t>& file,
                         std::string& problem);
