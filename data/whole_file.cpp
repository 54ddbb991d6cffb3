#include "data/whole_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>       // _commit, _open, _write, _chsize
#include <process.h>  // _getpid
#else
#include <unistd.h>  // fsync, write, ftruncate, readlink, getpid
#endif

namespace {

#ifdef _WIN32
int DescriptorOf(std::FILE* file)
{
    return _fileno(file);
}

int CreateExclusively(const std::string& path)
{
    return _open(path.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
}

std::FILE* StreamOf(int descriptor)
{
    std::FILE* file = _fdopen(descriptor, "wb");
    if (file == nullptr)
        _close(descriptor);
    return file;
}

long WriteSome(int descriptor, const std::uint8_t* bytes, std::size_t count)
{
    return _write(descriptor, bytes, static_cast<unsigned>(count));
}

bool MakeEmpty(int descriptor)
{
    return _chsize(descriptor, 0) == 0;
}

bool SyncToDisk(int descriptor)
{
    return _commit(descriptor) == 0;
}

int ProcessNumber()
{
    return _getpid();
}
#else
int DescriptorOf(std::FILE* file)
{
    return fileno(file);
}

int CreateExclusively(const std::string& path)
{
    return open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY, 0666);
}

std::FILE* StreamOf(int descriptor)
{
    std::FILE* file = fdopen(descriptor, "wb");
    if (file == nullptr)
        close(descriptor);
    return file;
}

long WriteSome(int descriptor, const std::uint8_t* bytes, std::size_t count)
{
    return write(descriptor, bytes, count);
}

bool MakeEmpty(int descriptor)
{
    return ftruncate(descriptor, 0) == 0;
}

bool SyncToDisk(int descriptor)
{
    return fsync(descriptor) == 0;
}

int ProcessNumber()
{
    return static_cast<int>(getpid());
}
#endif

bool WriteAll(int descriptor, const std::uint8_t* bytes, std::size_t count)
{
    while (count > 0) {
        const long written = WriteSome(descriptor, bytes, count);
        if (written <= 0)
            return false;
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

// Writes the bytes through the stream, flushes them to the disk and closes it; on failure the
// file at path is removed, and problem says why.
bool WriteAndClose(std::FILE* file, const std::string& path, const std::vector<std::uint8_t>& bytes,
                   std::string& problem, const std::string& writeAdvice)
{
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

std::string CannotCreate(const std::string& path, const std::string& advice)
{
    return path + " cannot be created (" + std::strerror(errno) + ")" + advice;
}

}  // namespace

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

bool IsFolder(const std::string& path)
{
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool FlushToDisk(std::FILE* file)
{
    return std::fflush(file) == 0 && SyncToDisk(DescriptorOf(file));
}

NewFile WriteNewFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& problem,
                     const std::string& createAdvice, const std::string& writeAdvice)
{
    const int descriptor = CreateExclusively(path);
    if (descriptor < 0 && errno == EEXIST)
        return NewFile::AlreadyThere;
    std::FILE* file = descriptor < 0 ? nullptr : StreamOf(descriptor);
    if (file == nullptr) {
        problem = CannotCreate(path, createAdvice);
        return NewFile::Failed;
    }
    return WriteAndClose(file, path, bytes, problem, writeAdvice) ? NewFile::Written : NewFile::Failed;
}

bool WriteFileBeside(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& newPath,
                     std::string& problem)
{
    // Another writer's file, or anything planted at a name, is passed by, never written through.
    const std::string stem = path + ".new." + std::to_string(ProcessNumber()) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        newPath = stem + std::to_string(attempt);
        const NewFile written = WriteNewFile(newPath, bytes, problem);
        if (written != NewFile::AlreadyThere)
            return written == NewFile::Written;
    }
    problem = newPath + " cannot be created: every name beside " + path + " is taken";
    return false;
}

#ifdef _WIN32
std::string LinkedFile(std::string path)
{
    return path;
}
#else
std::string LinkedFile(std::string path)
{
    for (int hop = 0; hop < 40; ++hop) {
        char target[4096];
        const ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
        if (length < 0)
            return path;
        const std::string linked(target, static_cast<std::size_t>(length));
        const std::size_t slash = path.rfind('/');
        path = linked[0] == '/' || slash == std::string::npos ? linked : path.substr(0, slash + 1) + linked;
    }
    return path;
}
#endif

bool FillEmptyFile(std::FILE* file, const std::vector<std::uint8_t>& bytes)
{
    // Nothing of the stream's is buffered: it has only been asked for its size.
    const int descriptor = DescriptorOf(file);
    if (WriteAll(descriptor, bytes.data(), bytes.size()) && SyncToDisk(descriptor))
        return true;
    const int reason = errno;
    MakeEmpty(descriptor);
    errno = reason;
    return false;
}
