// The program's own start on the demo data (the recording device, which
// reports the adapter description a test gives it): a first start on a
// renderer that draws on the processor begins at the options its race runs at
// real speed with, a first start on a graphics chip at every option's limit,
// and a later start keeps what the player chose, whatever the renderer.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/Settings.h"
#include "platform/d3d/D3D9Backend.h"
#include "platform/os/Ini.h"
#include "platform/os/StartCounter.h"
#include "play/PlaySession.h"
#include "render/D3DRender.h"
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/TempFolder.h"

namespace
{

std::string IniValue(const std::string& file, const char* section, const char* key)
{
    char buf[128];
    GetPrivateProfileStringA(section, key, "<missing>", buf, sizeof(buf), file.c_str());
    return buf;
}

struct StartCase
{
    const char* name;
    const char* adapter;
    bool firstStart;
    const char* iniBefore;   // the player's own file before the start
    bool softwareOptions;    // the first start's options on software, else every option at its limit
};

class SoftwareFirstStartDemoDataTest : public ::testing::TestWithParam<StartCase>
{};

TEST_P(SoftwareFirstStartDemoDataTest, OptionsAfterTheStart)
{
    const StartCase& c = GetParam();
    const SettingLimits& soft = g_SoftwareFirstStart;
    const SettingLimits expected = c.softwareOptions ? soft : SettingLimits{500, 3, 1, 1};

    // The limits as a program starts with them: a device without the post
    // effects' shaders lowers them for the rest of the program's life.
    const SettingLimits savedLimits = g_SettingLimits;
    g_SettingLimits = SettingLimits{500, 3, 1, 1};
    TempFolder folder;
    ASSERT_TRUE(folder.Make("software_first_start_"));
    const std::string dir = folder.path();
    const std::string data = testsupport::DemoDataDir() + "/Data";
    ASSERT_EQ(symlink(data.c_str(), (dir + "/Data").c_str()), 0) << data;
    const std::string counter = dir + "/run";
    ASSERT_EQ(mkdir(counter.c_str(), 0700), 0);
    SetStartCounterFolder(counter.c_str());
    if (!c.firstStart)
    {
        ASSERT_EQ(RegisterStart(), 0);   // the machine's first start was another one
    }
    if (c.iniBefore[0])
    {
        const std::vector<uint8_t> text(c.iniBefore, c.iniBefore + std::strlen(c.iniBefore));
        ASSERT_TRUE(testsupport::WriteFileBytes(dir + "/Game.ini", text));
    }

    D3DOverrideAdapterDescription(c.adapter);
    play::Session session;
    const bool started = session.Start(dir, play::Device::Recording);
    EXPECT_TRUE(started) << session.Error();
    if (started)
    {
        EXPECT_EQ(g_Render.softwareRenderer, IsSoftwareRenderer(c.adapter));
        EXPECT_EQ(g_ViewDistance, expected.viewDistance);
        EXPECT_EQ(g_ShadowQuality, expected.shadowQuality);
        EXPECT_EQ(g_GlowOn, expected.glow);
        EXPECT_EQ(g_BlurOn, expected.blur);
        // The limits stay: the options page can raise every one again.
        EXPECT_EQ(g_SettingLimits.viewDistance, 500);
        EXPECT_EQ(g_SettingLimits.shadowQuality, 3);
        session.End();
    }
    EXPECT_EQ(IniValue(dir + "/Game.ini", "Video", "Shadows"), std::to_string(expected.shadowQuality));
    EXPECT_EQ(IniValue(dir + "/Game.ini", "Video", "Distance"), std::to_string((expected.viewDistance - 300) / 100));
    D3DClearOverrides();
    SetStartCounterFolder(nullptr);
    g_SettingLimits = savedLimits;
}

INSTANTIATE_TEST_SUITE_P(
    Renderers, SoftwareFirstStartDemoDataTest,
    ::testing::Values(StartCase{"SoftwareFirstStart", "llvmpipe (LLVM 15.0.6, 256 bits)", true, "", true},
                      StartCase{"GraphicsChipFirstStart", "AMD Radeon RX 580 Series", true, "", false},
                      // A later start: the player's options, even above the first start's.
                      StartCase{"SoftwareLaterStart", "llvmpipe (LLVM 15.0.6, 256 bits)", false,
                                "[Video]\nDistance=2\nShadows=3\nGlow=1\nBlur=1\n", false}),
    [](const ::testing::TestParamInfo<StartCase>& info) { return std::string(info.param.name); });

TEST(SoftwareRendererTest, NamesOfRenderersThatDrawOnTheProcessor)
{
    struct Case
    {
        const char* description;
        int software;
    } cases[] = {
        {"llvmpipe (LLVM 15.0.6, 256 bits)", 1},
        {"softpipe", 1},
        {"Mesa X11 Software Rasterizer", 1},
        {"Google SwiftShader", 1},
        {"Microsoft Basic Render Driver", 1},
        {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", 0},
        {"NVIDIA GeForce GTX 1060/PCIe/SSE2", 0},
        {"", 0},
        {nullptr, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsSoftwareRenderer(c.description), c.software) << (c.description ? c.description : "null");
}

}   // namespace
