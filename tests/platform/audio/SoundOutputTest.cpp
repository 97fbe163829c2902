// Telling a machine without any sound output from one whose device fails.
#include "platform/audio/SoundOutput.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/Files.h"
#include "tests/support/TempFolder.h"

namespace
{

namespace fs = std::filesystem;

// A listening-free socket file, as a sound server leaves one.
bool MakeSocket(const std::string& path)
{
    fs::create_directories(fs::path(path).parent_path());
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", path.c_str());
    const bool ok = fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    if (fd >= 0)
        close(fd);
    return ok;
}

TEST(SoundOutputTest, OnlyAPlaybackDeviceOrASoundServerCounts)
{
    struct Case
    {
        const char* what;
        std::vector<const char*> devices;   // files under the device folder
        const char* socket;                 // under the runtime folder, or null
        const char* pulseServer;
        bool present;
    };
    const Case cases[] = {
        {"nothing", {}, nullptr, nullptr, false},
        {"ALSA control and capture only", {"snd/controlC0", "snd/pcmC0D0c", "snd/timer"}, nullptr, nullptr, false},
        {"an ALSA playback device", {"snd/controlC0", "snd/pcmC0D0p"}, nullptr, nullptr, true},
        {"an OSS device", {"dsp"}, nullptr, nullptr, true},
        {"a PulseAudio server", {}, "pulse/native", nullptr, true},
        {"a PipeWire server", {}, "pipewire-0", nullptr, true},
        {"a named PulseAudio server", {}, nullptr, "tcp:sound.example:4713", true},
        {"an empty server name", {}, nullptr, "", false},
    };
    for (const Case& c : cases)
    {
        TempFolder folder;
        ASSERT_TRUE(folder.Make("trallowmere-sound-"));
        const std::string devices = folder.path() + "/dev", runtime = folder.path() + "/run";
        fs::create_directories(devices);
        fs::create_directories(runtime);
        for (const char* file : c.devices)
            ASSERT_TRUE(testsupport::WriteFileBytes(devices + "/" + file, {})) << c.what;
        if (c.socket)
        {
            ASSERT_TRUE(MakeSocket(runtime + "/" + c.socket)) << c.what;
        }
        EXPECT_EQ(SoundOutputPresentIn(devices.c_str(), runtime.c_str(), c.pulseServer), c.present) << c.what;
    }
}

}   // namespace
