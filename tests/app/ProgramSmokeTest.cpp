// Starts the real program headless on the demo data in a fresh folder and ends
// it through the window-close path (TRALLOWMERE_TEST_CLOSE_AFTER_FRAMES), then
// checks the exit code and the settings file the start writes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/Settings.h"
#include "platform/os/Ini.h"
#include "render/D3DRender.h"
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/Skip.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestDevice.h"

namespace
{
// Whether the headless OpenGL device the program gets draws on the processor
// (Mesa's llvmpipe, on a machine without a graphics chip).
bool HeadlessRendererIsSoftware()
{
    testdevice::TestDevice device;
    D3DADAPTER_IDENTIFIER9 id;
    return device.OpenHeadless(64, 64) && SUCCEEDED(device.d3d->GetAdapterIdentifier(0, 0, &id)) &&
           IsSoftwareRenderer(id.Description);
}

class ProgramSmokeDemoDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        program = testsupport::BuildDir() + "/trallowmere";
        if (access(program.c_str(), X_OK) != 0)
            SKIP_OR_FAIL_IN_CI() << "program not built: " << program;
        ASSERT_TRUE(folder.Make("program_smoke_"));
        dir = folder.path();
        mkdir((dir + "/run").c_str(), 0700);
        const std::string dataDir = testsupport::DemoDataDir() + "/Data";
        if (access(dataDir.c_str(), F_OK) != 0)
            SKIP_OR_FAIL_IN_CI() << "no demo data at " << dataDir;
        symlink(dataDir.c_str(), (dir + "/Data").c_str());
    }

    // Runs the program in the folder; returns its exit status (-1: it did not
    // exit normally).
    // `settings` goes after the usual environment and may replace it.
    int Run(int frames, std::string& output, const std::string& settings = "")
    {
        const std::string log = dir + "/output.txt";
        const char* path = getenv("PATH");
        const std::string command = "cd '" + dir + "' && env SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null " +
                                    settings +
                                    " PATH='" + dir + "/bin:" + (path ? path : "/usr/bin:/bin") + "'" +
                                    " XDG_RUNTIME_DIR='" + dir + "/run'" +
                                    " TRALLOWMERE_TEST_CLOSE_AFTER_FRAMES=" + std::to_string(frames) + " timeout 60 '" +
                                    program + "' > '" + log + "' 2>&1";
        const int status = std::system(command.c_str());
        output = testsupport::ReadFileText(log);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string Value(const char* section, const char* key)
    {
        char buf[128];
        GetPrivateProfileStringA(section, key, "<missing>", buf, sizeof(buf), (dir + "/Game.ini").c_str());
        return buf;
    }

    std::string program;
    TempFolder folder;
    std::string dir;
};

TEST_F(ProgramSmokeDemoDataTest, StartsHeadlessWritesSettingsAndClosesCleanly)
{
    std::string output;
    ASSERT_EQ(Run(30, output), 0) << output;

    // First start since "boot": the settings were reset and written, on a
    // software renderer at the options its race runs at real speed with.
    const bool software = HeadlessRendererIsSoftware();
    const SettingLimits first = software ? g_SoftwareFirstStart : SettingLimits{500, 3, 1, 1};
    EXPECT_EQ(Value("Video", "Distance"), std::to_string((first.viewDistance - 300) / 100));
    EXPECT_EQ(Value("Video", "Shadows"), std::to_string(first.shadowQuality));
    EXPECT_EQ(Value("Video", "Glow"), std::to_string(first.glow));
    EXPECT_EQ(Value("Video", "Blur"), std::to_string(first.blur));
    EXPECT_EQ(Value("Audio", "Master"), "100");
    EXPECT_EQ(Value("Audio", "Music"), "100");
    EXPECT_EQ(Value("Audio", "Effects"), "100");
    EXPECT_EQ(Value("Misc", "Profiles"), "0");
    EXPECT_EQ(Value("Misc", "RaceID"), "0");
    // 100 asks for the desktop resolution; the render device turns it into a
    // list index once it knows the modes.
    const std::string mode = Value("Video", "Mode");
    ASSERT_NE(mode, "<missing>");
    EXPECT_GE(atoi(mode.c_str()), 0);
    EXPECT_LE(atoi(mode.c_str()), 100);
    for (const char* never : {"Windowed", "Audio", "File manager", "Game menu", "Debug out"})
    {
        const char* section = std::string(never) == "Windowed" ? "Video"
                              : std::string(never) == "Audio"  ? "Audio"
                                                               : "Misc";
        EXPECT_EQ(Value(section, never), "<missing>") << never;
    }

    // The second start keeps the player's settings and unknown lines.
    {
        std::ofstream ini(dir + "/Game.ini", std::ios::app);
        ini << "; a note of the player\n";
    }
    WritePrivateProfileStringA("Misc", "Debug out", "1", (dir + "/Game.ini").c_str());
    WritePrivateProfileStringA("Video", "Distance", "0", (dir + "/Game.ini").c_str());
    WritePrivateProfileStringA("Misc", "RaceID", "18", (dir + "/Game.ini").c_str());
    ASSERT_EQ(Run(10, output), 0) << output;
    EXPECT_EQ(Value("Video", "Distance"), "0");
    EXPECT_EQ(Value("Misc", "RaceID"), "18");
    EXPECT_EQ(Value("Misc", "Debug out"), "1");
    EXPECT_NE(testsupport::ReadFileText(dir + "/Game.ini").find("; a note of the player"), std::string::npos);
    // "Debug out" 1 turns the log on; the start empties it.
    EXPECT_EQ(access((dir + "/debug.txt").c_str(), F_OK), 0);
}

TEST_F(ProgramSmokeDemoDataTest, OpensPlayUrlAtExitWhenPresent)
{
    // A stand-in opener records what it was asked to open.
    mkdir((dir + "/bin").c_str(), 0700);
    const std::string marker = dir + "/opened";
    {
        std::ofstream script(dir + "/bin/xdg-open");
        script << "#!/bin/sh\necho \"$1\" > '" << marker << "'\n";
    }
    chmod((dir + "/bin/xdg-open").c_str(), 0755);

    std::string output;
    ASSERT_EQ(Run(3, output), 0) << output;
    EXPECT_NE(access(marker.c_str(), F_OK), 0) << "no play.url: nothing is opened";

    std::ofstream(dir + "/play.url") << "[InternetShortcut]\nURL=https://example.invalid/\n";
    ASSERT_EQ(Run(3, output), 0) << output;
    std::string opened;
    for (int i = 0; i < 100 && opened.empty(); ++i)
    {
        usleep(20000);
        std::ifstream in(marker);
        std::getline(in, opened);
    }
    EXPECT_EQ(opened, "play.url");
}

// A start that cannot go on names what failed; a save that fails on the way
// names itself and the game goes on.
TEST_F(ProgramSmokeDemoDataTest, EveryStartFaultNamesWhatFailed)
{
    struct Case
    {
        const char* what;
        const char* settings;                 // the environment of the start
        std::function<bool(const std::string&)> arrange;   // in the folder
        int status;
        std::vector<const char*> said;
        const char* notSaid;
    };
    const Case cases[] = {
        {"no video system", "SDL_VIDEODRIVER=nosuchdriver", nullptr, 1,
         {"Could not initialize Direct3D!", "nosuchdriver"}, nullptr},
        {"a folder at the records' temporary name", "",
         [](const std::string& d) { return mkdir((d + "/Save").c_str(), 0700) == 0 &&
                                           mkdir((d + "/Save/Records.sav.tmp").c_str(), 0700) == 0; },
         0, {"SaveGame() error!: Could't save game!"}, "Could not initialize Direct3D!"},
        {"a FIFO for the settings file", "",
         [](const std::string& d) { return mkfifo((d + "/Game.ini").c_str(), 0644) == 0; }, 0, {}, nullptr},
    };
    for (const Case& c : cases)
    {
        ASSERT_TRUE(folder.Make("program_smoke_"));
        dir = folder.path();
        mkdir((dir + "/run").c_str(), 0700);
        const std::string dataDir = testsupport::DemoDataDir() + "/Data";
        symlink(dataDir.c_str(), (dir + "/Data").c_str());
        if (c.arrange)
        {
            ASSERT_TRUE(c.arrange(dir)) << c.what;
        }
        std::string output;
        EXPECT_EQ(Run(3, output, c.settings), c.status) << c.what << "\n" << output;
        for (const char* text : c.said)
            EXPECT_NE(output.find(text), std::string::npos) << c.what << ": \"" << text << "\" not said\n" << output;
        if (c.notSaid)
        {
            EXPECT_EQ(output.find(c.notSaid), std::string::npos) << c.what << "\n" << output;
        }
    }
}
}   // namespace
