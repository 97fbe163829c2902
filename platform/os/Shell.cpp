#include "platform/os/Shell.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
// Full path of an executable on the PATH, or empty.
std::string FindOnPath(const char* program)
{
    const char* path = getenv("PATH");
    if (!path)
        return std::string();
    std::string all(path);
    size_t start = 0;
    while (start <= all.size())
    {
        size_t colon = all.find(':', start);
        if (colon == std::string::npos)
            colon = all.size();
        std::string dir = all.substr(start, colon - start);
        if (dir.empty())
            dir = ".";
        std::string full = dir + "/" + program;
        if (access(full.c_str(), X_OK) == 0)
            return full;
        start = colon + 1;
    }
    return std::string();
}
}   // namespace

HINSTANCE ShellExecuteA(HWND, const char* verb, const char* file, const char*, const char*, int)
{
    if (!file || !*file || (verb && strcmp(verb, "open") != 0))
        return (HINSTANCE)(uintptr_t)31;
    const std::string opener = FindOnPath("xdg-open");
    if (opener.empty())
        return (HINSTANCE)(uintptr_t)2;

    // Double fork: the opener is re-parented at once, so it neither blocks the
    // game nor lingers as a zombie, and setsid detaches it from our terminal.
    pid_t child = fork();
    if (child < 0)
        return (HINSTANCE)(uintptr_t)31;
    if (child == 0)
    {
        setsid();
        pid_t grandchild = fork();
        if (grandchild == 0)
        {
            int null = open("/dev/null", O_RDWR);
            if (null >= 0)
            {
                dup2(null, 0);
                dup2(null, 1);
                close(null);
            }
            execl(opener.c_str(), "xdg-open", file, (char*)nullptr);
            _exit(127);
        }
        _exit(grandchild < 0 ? 1 : 0);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
    {
        if (errno != EINTR)
            return (HINSTANCE)(uintptr_t)31;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return (HINSTANCE)(uintptr_t)31;
    return (HINSTANCE)(uintptr_t)42;
}
