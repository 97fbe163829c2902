#include "platform/os/StartCounter.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/os/FileOpen.h"

namespace
{
std::string s_Folder;
bool s_FolderSet = false;

bool MakeFolder(const std::string& path)
{
    return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

bool WriteCount(const std::string& file, uint32_t count)
{
    unsigned char bytes[4] = {(unsigned char)count, (unsigned char)(count >> 8), (unsigned char)(count >> 16),
                              (unsigned char)(count >> 24)};
    return SaveWholeFile(file.c_str(), bytes, sizeof(bytes), nullptr);
}
}   // namespace

bool PrivateFolder(const std::string& path)
{
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() && (st.st_mode & 0077) == 0;
}

void SetStartCounterFolder(const char* folder)
{
    s_FolderSet = folder != nullptr;
    s_Folder = folder ? folder : "";
}

int CountStart(const char* appName)
{
    std::string root;
    if (s_FolderSet)
        root = s_Folder;
    else if (const char* xdg = getenv("XDG_RUNTIME_DIR"); xdg && *xdg)
        root = xdg;
    else
    {
        // A shell without a login session (su, a container, a service) has
        // no runtime folder; shared memory is emptied at every boot too, so
        // the count still lives until the machine restarts, and the player's
        // options are not reset at every start.
        root = std::string(kStartCounterFallback) + "/runtime-" + std::to_string((unsigned)getuid());
        if (!PrivateFolder(root))
            return 0;
    }
    if (root.empty() || !appName || !*appName)
        return 0;

    const std::string company = root + "/Brenhold";
    const std::string app = company + "/" + appName;
    const std::string file = app + "/Started";

    FILE* f = OpenFileForReading(file.c_str());
    if (!f)
    {
        // No count yet: make it, at 0. Any failure also means "first start".
        if (!MakeFolder(company) || !MakeFolder(app))
            return 0;
        WriteCount(file, 0);
        return 0;
    }
    unsigned char bytes[5];
    size_t n = fread(bytes, 1, 5, f);
    fclose(f);
    if (n != 4)
    {
        // A damaged count reads as a first start and starts counting again,
        // so the next start is not a first start as well.
        WriteCount(file, 0);
        return 0;
    }
    uint32_t count =
        (uint32_t)bytes[0] | ((uint32_t)bytes[1] << 8) | ((uint32_t)bytes[2] << 16) | ((uint32_t)bytes[3] << 24);
    count += 1;
    if (count > 0x7FFFFFFF)
        count = 1;   // stays a positive int; 0 would mean a first start
    if (!WriteCount(file, count))
        return 0;
    return (int)count;
}
