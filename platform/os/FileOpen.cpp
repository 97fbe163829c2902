#include "platform/os/FileOpen.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace
{

// A stream on a descriptor already checked to be a regular file; the
// descriptor is closed when the stream cannot be made.
FILE* StreamOf(int fd, const char* mode)
{
    FILE* f = fdopen(fd, mode);
    if (!f)
    {
        const int e = errno;
        close(fd);
        errno = e;
    }
    return f;
}

// Keeps `fd` when it is a regular file, with blocking reads and writes again
// (a regular file never waits; the flag was only there to open safely).
bool KeepRegular(int fd)
{
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
    {
        close(fd);
        errno = EINVAL;
        return false;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags != -1)
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return true;
}

std::string Quoted(const char* path)
{
    return std::string("\"") + path + "\"";
}

}   // namespace

FILE* OpenFileForReading(const char* path)
{
    if (!path)
    {
        errno = EINVAL;
        return nullptr;
    }
    // Without O_NONBLOCK opening a FIFO waits for a writer.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 || !KeepRegular(fd))
        return nullptr;
    return StreamOf(fd, "rb");
}

std::string UnreadableReason(const char* path)
{
    if (!path)
        return std::string();
    struct stat st;
    if (lstat(path, &st) != 0)
    {
        if (errno == ENOENT)
            return std::string();
        return Quoted(path) + " cannot be looked at: " + std::strerror(errno);
    }
    FILE* f = OpenFileForReading(path);
    if (f)
    {
        std::fclose(f);
        return std::string();
    }
    return Quoted(path) + " is there but cannot be read: " +
           (errno == EINVAL ? std::string("it is not a regular file") : std::string(std::strerror(errno)));
}

FILE* OpenFileForAppending(const char* path, bool truncate)
{
    if (!path)
    {
        errno = EINVAL;
        return nullptr;
    }
    const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0 || !KeepRegular(fd))
        return nullptr;
    if (truncate && ftruncate(fd, 0) != 0)
    {
        const int e = errno;
        close(fd);
        errno = e;
        return nullptr;
    }
    return StreamOf(fd, "ab");
}

std::string TempFileName(const char* path)
{
    return std::string(path ? path : "") + ".tmp";
}

FILE* CreateTempFile(const char* temp)
{
    if (!temp)
    {
        errno = EINVAL;
        return nullptr;
    }
    // What a save cut short left behind is replaced; a folder is not removed
    // (it may hold anything) and makes the save fail below.
    struct stat st;
    if (lstat(temp, &st) == 0 && !S_ISDIR(st.st_mode))
        unlink(temp);
    const int fd = open(temp, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0)
        return nullptr;
    return StreamOf(fd, "wb");
}

std::string TempFileFailure(const char* temp)
{
    const int error = errno;
    return Quoted(temp ? temp : "") + " cannot be made: " +
           (error == EEXIST ? std::string("a folder stands in its place") : std::string(std::strerror(error)));
}

bool FinishTempFile(FILE* f, const char* temp, const char* path, bool ok, std::string* why)
{
    if (!f || !temp || !path)
        return false;
    int error = ok ? 0 : errno;
    if (ok && std::ferror(f))
    {
        ok = false;
        error = EIO;
    }
    if (std::fflush(f) != 0 && ok)
    {
        ok = false;
        error = errno;
    }
    if (std::fclose(f) != 0 && ok)
    {
        ok = false;
        error = errno;
    }
    if (!ok)
    {
        if (why)
            *why = Quoted(temp) + " could not be written: " + std::strerror(error ? error : EIO);
        unlink(temp);
        return false;
    }
    if (std::rename(temp, path) != 0)
    {
        if (why)
            *why = Quoted(temp) + " could not take the place of " + Quoted(path) + ": " + std::strerror(errno);
        unlink(temp);
        return false;
    }
    return true;
}

bool SaveWholeFile(const char* path, const void* bytes, size_t size, std::string* why)
{
    if (!path || (!bytes && size > 0))
        return false;
    const std::string temp = TempFileName(path);
    FILE* f = CreateTempFile(temp.c_str());
    if (!f)
    {
        if (why)
            *why = TempFileFailure(temp.c_str());
        return false;
    }
    const bool written = size == 0 || std::fwrite(bytes, 1, size, f) == size;
    return FinishTempFile(f, temp.c_str(), path, written, why);
}
