#include "data/whole_file.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>  // _commit
#else
#include <unistd.h>  // fsync
#endif

long FileSizeOf(std::FILE* file)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    return std::ftell(file);
}

bool PathExists(const std::string& path)
{
    struct stat status {};
    return stat(path.c_str(), &status) == 0 || errno != ENOENT;
}

bool FlushToDisk(std::FILE* file)
{
    if (std::fflush(file) != 0)
        return false;
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

bool WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& problem,
                    const std::string& createAdvice, const std::string& writeAdvice)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        problem = path + " cannot be created (" + std::strerror(errno) + ")" + createAdvice;
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool flushed = written && FlushToDisk(file);
    int reason = errno;
    const bool closed = std::fclose(file) == 0;
    if (written && flushed && closed)
        return true;
    if (written && flushed)
        reason = errno;
    problem = path + " could not be written completely (" + std::strerror(reason) + ")" + writeAdvice;
    std::remove(path.c_str());
    return false;
}
