#include "core/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "core/ScreenVertex.h"
#include "platform/os/Ini.h"
#include "platform/os/StartCounter.h"
#include "tests/support/Files.h"
#include "tests/support/TempFolder.h"

namespace
{
class SettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.MakeAndEnter("settings_test_"));
        dir = folder.path();
        SetStartCounterFolder((dir + "/run").c_str());
        mkdir((dir + "/run").c_str(), 0700);
        g_SettingLimits = {500, 3, 1, 1};
    }
    void TearDown() override
    {
        SetStartCounterFolder(nullptr);
        g_SettingLimits = {500, 3, 1, 1};
        ASSERT_TRUE(folder.Remove());
    }

    void WriteIni(const std::string& text) { std::ofstream("Game.ini", std::ios::binary) << text; }
    std::string ReadIni() { return testsupport::ReadFileText("Game.ini"); }
    std::string IniValue(const char* section, const char* key)
    {
        char buf[128];
        GetPrivateProfileStringA(section, key, "<missing>", buf, sizeof(buf), "Game.ini");
        return buf;
    }

    TempFolder folder;
    std::string dir;
};

TEST_F(SettingsTest, MissingFileGivesTheDefaults)
{
    g_VideoMode = g_ViewDistance = g_ShadowQuality = g_GlowOn = g_BlurOn = -7;
    g_GameMenu = g_UseFileManager = g_BmpToJpg = g_SoundOn = -7;
    ReadGameIni("Game.ini");
    EXPECT_EQ(g_VideoMode, 1);
    EXPECT_EQ(g_ViewDistance, 500);
    EXPECT_EQ(g_ShadowQuality, 3);
    EXPECT_EQ(g_GlowOn, 1);
    EXPECT_EQ(g_BlurOn, 1);
    EXPECT_EQ(g_Windowed, 0);
    EXPECT_EQ(g_SoundOn, 1);
    EXPECT_EQ(g_MasterVolume, 100);
    EXPECT_EQ(g_UseFileManager, 1);
    EXPECT_EQ(g_BmpToJpg, 1);
    EXPECT_EQ(g_GameMenu, 1);
    EXPECT_EQ(g_DebugMode, 0);
    EXPECT_EQ(g_EditorMode, 0);
    EXPECT_EQ(g_RaceID, 0);
    // Reading never writes.
    EXPECT_NE(access("Game.ini", F_OK), 0);
}

// Each case: the line in the file, the global after reading, the text written back.
TEST_F(SettingsTest, ClampedValuesAreWrittenBack)
{
    struct Case
    {
        const char* section;
        const char* key;
        const char* text;
        int* global;
        int expected;
        const char* written;
    } cases[] = {
        {"Video", "Distance", "5", &g_ViewDistance, 500, "2"},
        {"Video", "Distance", "0", &g_ViewDistance, 300, "0"},
        {"Video", "Distance", "-1", &g_ViewDistance, 200, "-1"},   // written signed
        {"Video", "Distance", "-9", &g_ViewDistance, 0, "-3"},     // clamped to 0 units
        {"Video", "Distance", "99999999999", &g_ViewDistance, 500, "2"},
        {"Video", "Shadows", "-1", &g_ShadowQuality, 0, "0"},
        {"Video", "Shadows", "4", &g_ShadowQuality, 3, "3"},
        {"Video", "Glow", "7", &g_GlowOn, 1, "1"},
        {"Video", "Blur", "-2", &g_BlurOn, 0, "0"},
        {"Video", "Mode", "-3", &g_VideoMode, 0, "0"},
        {"Video", "Mode", "100", &g_VideoMode, 100, "100"},
        {"Audio", "Master", "150", &g_MasterVolume, 100, "100"},
        {"Audio", "Music", "-5", &g_MusicVolume, 0, "0"},
        {"Audio", "Effects", "55", &g_EffectsVolume, 55, "55"},
        {"Misc", "RaceID", "19", &g_RaceID, 0, "0"},
        {"Misc", "RaceID", "18", &g_RaceID, 18, "18"},
        {"Misc", "RaceID", "-1", &g_RaceID, 0, "0"},
        {"Misc", "RaceID", "abc", &g_RaceID, 0, "0"},
        {"Misc", "Profiles", "12", &g_ProfileCounter, 12, "12"},
    };
    for (const Case& c : cases)
    {
        WriteIni(std::string("[") + c.section + "]\n" + c.key + "=" + c.text + "\n");
        ReadGameIni("Game.ini");
        EXPECT_EQ(*c.global, c.expected) << c.key << "=" << c.text;
        WriteGameIni();
        EXPECT_EQ(IniValue(c.section, c.key), c.written) << c.key << "=" << c.text;
    }
}

TEST_F(SettingsTest, KeysNeverWrittenKeepTheirText)
{
    WriteIni("; my settings\n"
             "[Game]\n"
             "Version=9.9.9\n"
             "[Video]\n"
             "Mode=2\n"
             "Windowed=  1  \n"
             "Custom=stays\n"
             "[Audio]\n"
             "Audio=0\n"
             "[Misc]\n"
             "File manager=0\n"
             "BMP to JPG=0\n"
             "Game menu=0\n"
             "Debug out=1\n"
             "Editor mode=0\n");
    ReadGameIni("Game.ini");
    EXPECT_EQ(g_Windowed, 1);
    EXPECT_EQ(g_SoundOn, 0);
    EXPECT_EQ(g_UseFileManager, 0);
    EXPECT_EQ(g_GameMenu, 0);
    EXPECT_EQ(g_DebugMode, 1);
    EXPECT_EQ(g_DebugLog, 1);
    g_GameMenu = 1;   // changed in memory: still not written
    WriteGameIni();
    const std::string text = ReadIni();
    for (const char* kept : {"; my settings\n", "Version=9.9.9\n", "Windowed=  1  \n", "Custom=stays\n", "Audio=0\n",
                             "File manager=0\n", "BMP to JPG=0\n", "Game menu=0\n", "Debug out=1\n", "Editor mode=0\n"})
        EXPECT_NE(text.find(kept), std::string::npos) << kept;
    EXPECT_EQ(IniValue("Video", "Mode"), "2");
    EXPECT_EQ(IniValue("Video", "Distance"), "2");
    EXPECT_EQ(IniValue("Misc", "RaceID"), "0");
    g_DebugMode = g_DebugLog = 0;
}

TEST_F(SettingsTest, FirstStartResetsAndRewritesLaterStartsKeep)
{
    WriteIni("[Video]\nMode=2\nDistance=0\nShadows=1\nGlow=0\nBlur=0\n"
             "[Audio]\nMaster=10\nMusic=20\nEffects=30\n");

    // As the program start does it.
    ReadGameIni("Game.ini");
    ASSERT_EQ(RegisterStart(), 0);
    ResetSettings();
    EXPECT_EQ(g_ViewDistance, 500);
    EXPECT_EQ(g_VideoMode, 100);
    EXPECT_EQ(IniValue("Video", "Mode"), "100");
    EXPECT_EQ(IniValue("Video", "Distance"), "2");
    EXPECT_EQ(IniValue("Video", "Shadows"), "3");
    EXPECT_EQ(IniValue("Video", "Glow"), "1");
    EXPECT_EQ(IniValue("Video", "Blur"), "1");
    EXPECT_EQ(IniValue("Audio", "Master"), "100");
    EXPECT_EQ(IniValue("Audio", "Music"), "100");
    EXPECT_EQ(IniValue("Audio", "Effects"), "100");

    // The player changes the settings; the next start keeps them.
    WriteIni("[Video]\nMode=2\nDistance=0\n[Audio]\nMaster=10\n");
    ReadGameIni("Game.ini");
    ASSERT_EQ(RegisterStart(), 1);
    EXPECT_EQ(g_ViewDistance, 300);
    EXPECT_EQ(g_MasterVolume, 10);
}

// A game folder whose own name holds a backslash keeps its settings: they are
// read from and written to that folder, never to "a/b" beside it.
TEST_F(SettingsTest, GameFolderWithABackslashInItsName)
{
    const std::string own = dir + "/a\\b";
    const std::string decoy = dir + "/a/b";
    ASSERT_EQ(mkdir(own.c_str(), 0700), 0);
    ASSERT_EQ(mkdir((dir + "/a").c_str(), 0700), 0);
    ASSERT_EQ(mkdir(decoy.c_str(), 0700), 0);
    ASSERT_EQ(chdir(own.c_str()), 0);   // the fixture goes back on tear-down

    WriteIni("[Video]\nGlow=0\n[Audio]\nMaster=40\n");
    ReadGameIni("Game.ini");
    EXPECT_EQ(g_GlowOn, 0);
    EXPECT_EQ(g_MasterVolume, 40);

    g_MasterVolume = 70;
    WriteGameIni();
    EXPECT_EQ(IniValue("Audio", "Master"), "70");
    EXPECT_EQ(IniValue("Video", "Glow"), "0");
    EXPECT_NE(access((decoy + "/Game.ini").c_str(), F_OK), 0);
}

TEST_F(SettingsTest, LoweredLimitsClampGlowAndBlur)
{
    WriteIni("[Video]\nGlow=1\nBlur=1\n");
    ReadGameIni("Game.ini");
    g_SettingLimits.glow = 0;
    g_SettingLimits.blur = 0;
    ClampSettings();
    EXPECT_EQ(g_GlowOn, 0);
    EXPECT_EQ(g_BlurOn, 0);
}

// The first start's options on a software renderer only ever lower what the
// reset gave, and are written.
TEST_F(SettingsTest, SoftwareFirstStartLowersAndNeverRaises)
{
    const SettingLimits& soft = g_SoftwareFirstStart;
    g_ViewDistance = 300;
    g_ShadowQuality = 3;
    g_GlowOn = 0;
    g_BlurOn = 1;
    LowerSettingsForSoftwareRenderer();
    EXPECT_EQ(g_ViewDistance, std::min(300, soft.viewDistance));
    EXPECT_EQ(g_ShadowQuality, std::min(3, soft.shadowQuality));
    EXPECT_EQ(g_GlowOn, 0);
    EXPECT_EQ(g_BlurOn, std::min(1, soft.blur));
    EXPECT_EQ(IniValue("Video", "Shadows"), std::to_string(g_ShadowQuality));
    EXPECT_EQ(IniValue("Video", "Distance"), std::to_string((g_ViewDistance - 300) / 100));
    // Never above the limits the options page offers.
    EXPECT_LE(soft.viewDistance, g_SettingLimits.viewDistance);
    EXPECT_LE(soft.shadowQuality, g_SettingLimits.shadowQuality);
    EXPECT_LE(soft.glow, g_SettingLimits.glow);
    EXPECT_LE(soft.blur, g_SettingLimits.blur);
    EXPECT_GE(soft.viewDistance, 300);
}

TEST_F(SettingsTest, DiscTemplatesAreUnitFans)
{
    ReadGameIni("Game.ini");
    struct Fan
    {
        ScreenVertex* v;
        int count;
        int steps;
    } fans[] = {{g_DrawDiscVertices, 17, 15}, {g_DrawDiscFineVertices, 34, 32}};
    for (const Fan& f : fans)
    {
        EXPECT_EQ(f.v[0].x, 0.0f);
        EXPECT_EQ(f.v[0].y, 0.0f);
        EXPECT_EQ(f.v[0].u, 0.5f);
        EXPECT_EQ(f.v[0].v, 0.5f);
        for (int i = 0; i < f.count; ++i)
        {
            const ScreenVertex& v = f.v[i];
            EXPECT_EQ(v.z, 0.0f);
            EXPECT_EQ(v.rhw, 1.0f);
            EXPECT_EQ(v.color, 0u);
            EXPECT_NEAR(v.u, (v.x + 1) / 2, 1e-6f);
            EXPECT_NEAR(v.v, (v.y + 1) / 2, 1e-6f);
            if (i > 0)
            {
                const double angle = -(i - 1) * 2.0 * M_PI / f.steps;
                EXPECT_NEAR(v.x, cos(angle), 1e-5) << i;
                EXPECT_NEAR(v.y, sin(angle), 1e-5) << i;
            }
        }
        // The last rim point closes the fan on the first.
        EXPECT_NEAR(f.v[f.count - 1].x, f.v[1].x, 1e-5f);
        EXPECT_NEAR(f.v[f.count - 1].y, f.v[1].y, 1e-5f);
    }
    // A quarter turn clockwise in screen terms: (0, -1).
    EXPECT_NEAR(g_DrawDiscFineVertices[9].x, 0.0f, 1e-5f);
    EXPECT_NEAR(g_DrawDiscFineVertices[9].y, -1.0f, 1e-5f);
}
}   // namespace
