#include "tests/test_files.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "data/data_file.h"
#include "data/default_file.h"
#include "game/level_check.h"

ScratchDirectory::ScratchDirectory()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "skarvel-test-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
}

ScratchDirectory::~ScratchDirectory()
{
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::uint8_t> ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteWholeFileForTest(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::uint32_t RecordOffset(const std::vector<std::uint8_t>& file, int levelIndex)
{
    return GetU32LE(file.data() + OffsetSlotPosition(levelIndex));
}

void SetRecordOffset(std::vector<std::uint8_t>& file, int levelIndex, std::uint32_t offset)
{
    PutU32LE(file.data() + OffsetSlotPosition(levelIndex), offset);
}

std::vector<std::uint8_t> AnotherProgramsFile()
{
    std::vector<std::uint8_t> file = DefaultDataFileBytes();
    PutU32LE(file.data() + RecordOffset(file, 2) + 16 + 11, 42);
    return file;
}

bool OpenImageAsDataFile(const ScratchDirectory& directory, const std::vector<std::uint8_t>& file, std::string& problem)
{
    DataFileName = directory.File("kelbo.dat");
    WriteWholeFileForTest(DataFileName, file);
    return OpenDataFileForPlay(problem);
}

void SetLevelSize(std::vector<std::uint8_t>& file, int levelIndex, std::uint8_t rows, std::uint8_t columns,
                  std::uint8_t mines)
{
    std::uint8_t* record = file.data() + RecordOffset(file, levelIndex);
    record[0] = rows;
    record[1] = columns;
    record[2] = mines;
}

std::vector<std::string> NewFilesBeside(const std::string& path)
{
    const std::filesystem::path dataFile(path);
    const std::string prefix = dataFile.filename().string() + ".new";
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(dataFile.parent_path()))
        if (entry.path().filename().string().rfind(prefix, 0) == 0)
            found.push_back(entry.path().string());
    return found;
}
