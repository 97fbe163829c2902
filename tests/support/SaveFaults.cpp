#include "tests/support/SaveFaults.h"

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace testsupport
{

namespace
{
// Small enough to fill in a moment, large enough for every save file.
const char* const kDiskOptions = "size=256k";
const char* const kFiller = "filler.bin";
// Every file the game saves is larger than this.
const long kSizeLimit = 64;

std::string g_MountedFolder;

std::string Errno(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

bool WriteText(const char* path, const std::string& text)
{
    int fd = open(path, O_WRONLY);
    if (fd < 0)
        return false;
    bool ok = write(fd, text.data(), text.size()) == (ssize_t)text.size();
    return close(fd) == 0 && ok;
}

// A mount namespace of our own; plain root can make one, anyone else
// through a user namespace in which they are root.
std::string PrivateMounts()
{
    if (unshare(CLONE_NEWNS) != 0)
    {
        const uid_t uid = getuid();
        const gid_t gid = getgid();
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return "skip: " + Errno("no mount namespace");
        WriteText("/proc/self/setgroups", "deny");
        if (!WriteText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !WriteText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return "skip: " + Errno("no user mapping");
    }
    // Nothing mounted from here on may show outside this process.
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return "skip: " + Errno("mounts not private");
    return "";
}
}   // namespace

const char* DiskFaultName(DiskFault fault)
{
    switch (fault)
    {
    case DiskFault::FileTooLarge:
        return "file size limit";
    case DiskFault::DiskFull:
        return "full disk";
    case DiskFault::ReadOnly:
        return "read-only folder";
    case DiskFault::TempIsAFolder:
        return "folder at the temporary name";
    }
    return "?";
}

ChildOutcome RunInChild(const std::function<std::string()>& body)
{
    ChildOutcome outcome;
    int fds[2];
    if (pipe(fds) != 0)
    {
        outcome.report = Errno("pipe");
        return outcome;
    }
    std::fflush(nullptr);   // nothing buffered is written twice
    const pid_t pid = fork();
    if (pid < 0)
    {
        close(fds[0]);
        close(fds[1]);
        outcome.report = Errno("fork");
        return outcome;
    }
    if (pid == 0)
    {
        close(fds[0]);
        const std::string report = body();
        size_t done = 0;
        while (done < report.size())
        {
            const ssize_t n = write(fds[1], report.data() + done, report.size() - done);
            if (n <= 0)
                break;
            done += (size_t)n;
        }
        _exit(0);
    }
    close(fds[1]);
    char buf[1024];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof(buf))) > 0 || (n < 0 && errno == EINTR))
        if (n > 0)
            outcome.report.append(buf, (size_t)n);
    close(fds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR)
    {}
    outcome.exited = WIFEXITED(status);
    outcome.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return outcome;
}

ChildOutcome RunUnprivileged(const std::function<std::string()>& body)
{
    return RunInChild([&]() -> std::string {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            return "skip: " + Errno("no user without privileges");
        return body();
    });
}

bool MakeUnreadableButReplaceable(const std::string& file)
{
    const std::string::size_type slash = file.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : file.substr(0, slash);
    return chmod(file.c_str(), 0200) == 0 && chmod(folder.c_str(), 0777) == 0 && chmod(".", 0777) == 0;
}

void Check(std::string& failures, bool ok, const std::string& what)
{
    if (!ok)
        failures += what + "\n";
}

std::string MountScratchDisk()
{
    char cwd[4096];
    if (!getcwd(cwd, sizeof(cwd)))
        return Errno("getcwd");
    std::string why = PrivateMounts();
    if (!why.empty())
        return why;
    if (mount("trallowmere-saves", cwd, "tmpfs", 0, kDiskOptions) != 0)
        return "skip: " + Errno("no tmpfs");
    // The old working folder is underneath the new disk now.
    if (chdir(cwd) != 0)
        return Errno("chdir");
    g_MountedFolder = cwd;
    return "";
}

std::string ArmFault(DiskFault fault, const std::vector<std::string>& saves)
{
    switch (fault)
    {
    case DiskFault::FileTooLarge:
    {
        // Ignored, the signal turns into a failing write (EFBIG).
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit;
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = kSizeLimit;
        return setrlimit(RLIMIT_FSIZE, &limit) == 0 ? "" : Errno("setrlimit");
    }
    case DiskFault::DiskFull:
    {
        int fd = open(kFiller, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0)
            return Errno("filler");
        std::vector<char> block(4096, 'x');
        // Page by page, then byte by byte, until not one more byte fits.
        for (size_t size : {block.size(), (size_t)1})
            while (write(fd, block.data(), size) == (ssize_t)size)
            {}
        const bool full = errno == ENOSPC;
        close(fd);
        return full ? "" : Errno("filling the disk");
    }
    case DiskFault::ReadOnly:
        if (g_MountedFolder.empty())
            return "no scratch disk";
        return mount(nullptr, g_MountedFolder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0
                   ? ""
                   : Errno("remount read-only");
    case DiskFault::TempIsAFolder:
        for (const std::string& save : saves)
            if (mkdir((save + ".tmp").c_str(), 0755) != 0)
                return Errno("folder at the temporary name");
        return "";
    }
    return "?";
}

std::string HealFault(DiskFault fault, const std::vector<std::string>& saves)
{
    switch (fault)
    {
    case DiskFault::FileTooLarge:
    {
        rlimit limit;
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = limit.rlim_max;
        return setrlimit(RLIMIT_FSIZE, &limit) == 0 ? "" : Errno("setrlimit");
    }
    case DiskFault::DiskFull:
        return unlink(kFiller) == 0 ? "" : Errno("removing the filler");
    case DiskFault::ReadOnly:
        return mount(nullptr, g_MountedFolder.c_str(), nullptr, MS_REMOUNT, nullptr) == 0 ? "" : Errno("remount");
    case DiskFault::TempIsAFolder:
        for (const std::string& save : saves)
            if (rmdir((save + ".tmp").c_str()) != 0)
                return Errno("removing the folder at the temporary name");
        return "";
    }
    return "?";
}

void KillWhenAFileGrowsPast(long bytes)
{
    // The write that crosses the limit stops short and the one after it
    // raises SIGXFSZ: at that moment the process dies as a kill would end it.
    signal(SIGXFSZ, [](int) { raise(SIGKILL); });
    rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = (rlim_t)bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

}   // namespace testsupport
