#include "platform/audio/SoundOutput.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace
{

bool Exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// ALSA names playback devices "pcmC<card>D<device>p" (capture ends in 'c').
bool AlsaPlayback(const std::string& folder)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return false;
    bool found = false;
    while (const dirent* e = readdir(dir))
    {
        const size_t n = std::strlen(e->d_name);
        if (n > 4 && std::strncmp(e->d_name, "pcmC", 4) == 0 && e->d_name[n - 1] == 'p')
        {
            found = true;
            break;
        }
    }
    closedir(dir);
    return found;
}

}   // namespace

bool SoundOutputPresentIn(const char* devices, const char* runtime, const char* pulseServer)
{
    if (pulseServer && *pulseServer)
        return true;
    if (runtime && *runtime &&
        (Exists(std::string(runtime) + "/pulse/native") || Exists(std::string(runtime) + "/pipewire-0")))
        return true;
    if (!devices)
        return false;
    const std::string dev = devices;
    return AlsaPlayback(dev + "/snd") || Exists(dev + "/dsp");
}

bool SoundOutputPresent()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string fallback = "/run/user/" + std::to_string((unsigned)getuid());
    return SoundOutputPresentIn("/dev", runtime && *runtime ? runtime : fallback.c_str(), std::getenv("PULSE_SERVER"));
}
