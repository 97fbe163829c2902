// The options pages' steps: the view-distance cycle, the clamp to the
// device's limits, ACCEPT writing "Game.ini" and reading back, CANCEL, the
// volumes and the restart note.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Settings.h"
#include "interface/MainMenu.h"
#include "interface/MenuOptions.h"
#include "platform/os/Ini.h"
#include "render/D3DRender.h"
#include "tests/support/TempFolder.h"

namespace
{

class MenuOptionsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.MakeAndEnter("menu_options_"));
        saved = {g_VideoMode, g_ViewDistance, g_ShadowQuality, g_GlowOn, g_BlurOn, g_MusicVolume, g_EffectsVolume};
        savedLimits = g_SettingLimits;
        savedModeCount = g_Render.modeCount;
        g_SettingLimits = SettingLimits{500, 3, 1, 1};
        const UINT sizes[3][2] = {{640, 480}, {800, 600}, {1024, 768}};
        for (int i = 0; i < 3; ++i)
            g_Render.modes[i] = D3DDISPLAYMODE{sizes[i][0], sizes[i][1], 60, D3DFMT_X8R8G8B8};
        g_Render.modeCount = 3;
        g_VideoMode = 1;
        g_ViewDistance = 500;
        g_ShadowQuality = 3;
        g_GlowOn = 1;
        g_BlurOn = 1;
        g_MusicVolume = 100;
        g_EffectsVolume = 100;
        menu = std::make_unique<CMainMenu>();
        Open();
    }

    void TearDown() override
    {
        g_VideoMode = saved[0];
        g_ViewDistance = saved[1];
        g_ShadowQuality = saved[2];
        g_GlowOn = saved[3];
        g_BlurOn = saved[4];
        g_MusicVolume = saved[5];
        g_EffectsVolume = saved[6];
        g_SettingLimits = savedLimits;
        g_Render.modeCount = savedModeCount;
        folder.Remove();
    }

    // The pending values copied from the running settings, as opening the
    // menu does, and the options page's texts.
    void Open()
    {
        RestoreVideoOptions(*menu);
        menu->UpdateOptionTexts();
    }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const CMenuOption& row : menu->videoOptions)
            texts.push_back(row.value);
        texts.push_back(menu->musicOption.value);
        texts.push_back(menu->effectsOption.value);
        return texts;
    }

    std::string IniValue(const char* section, const char* key)
    {
        char buf[64];
        GetPrivateProfileStringA(section, key, "missing", buf, sizeof(buf), (folder.path() + "/Game.ini").c_str());
        return buf;
    }

    TempFolder folder;
    std::unique_ptr<CMainMenu> menu;
    std::vector<int> saved;
    SettingLimits savedLimits{};
    int savedModeCount = 0;
};

struct DistanceCase
{
    int start;
    std::vector<int> presses;   // the pending distance after each press
    std::vector<std::string> names;
};

TEST_F(MenuOptionsTest, ViewDistanceCyclesWithinItsLimit)
{
    const DistanceCase cases[] = {
        {500,
         {100, 170, 240, 310, 380, 450, 500, 100},
         {" Very short", " Short", " Minimum", " Minimum", " Minimum", " Average", " Maximum", " Very short"}},
        {300, {370, 440, 500, 100}, {" Minimum", " Average", " Maximum", " Very short"}},
        {400, {470, 500, 100}, {" Average", " Maximum", " Very short"}},
    };
    for (const DistanceCase& c : cases)
    {
        menu->pendingDistance = c.start;
        for (size_t i = 0; i < c.presses.size(); ++i)
        {
            CycleVideoOption(*menu, VIDEO_ROW_DISTANCE);
            EXPECT_EQ(menu->pendingDistance, c.presses[i]) << "from " << c.start << " press " << i;
            EXPECT_STREQ(menu->videoOptions[VIDEO_ROW_DISTANCE].value, c.names[i].c_str()) << c.presses[i];
        }
    }
    // A distance beyond the limit, or a broken one, starts the cycle again
    // instead of growing on.
    EXPECT_EQ(NextViewDistance(2147483640, 500), 100);
    EXPECT_EQ(NextViewDistance(-5, 500), 100);
}

TEST_F(MenuOptionsTest, OtherRowsCycleToTheirLimits)
{
    struct RowCase
    {
        int row;
        int* pending;
        std::vector<int> values;
        std::vector<std::string> texts;
    };
    const RowCase cases[] = {
        {VIDEO_ROW_RESOLUTION, &menu->pendingMode, {2, 0, 1}, {" 1024X768", " 640X480", " 800X600"}},
        {VIDEO_ROW_SHADOWS, &menu->pendingShadows, {0, 1, 2, 3, 0}, {" Off", " Few", " Average", " All", " Off"}},
        {VIDEO_ROW_GLOW, &menu->pendingGlow, {0, 1, 0}, {" Off", " On", " Off"}},
        {VIDEO_ROW_BLUR, &menu->pendingBlur, {0, 1, 0}, {" Off", " On", " Off"}},
    };
    for (const RowCase& c : cases)
        for (size_t i = 0; i < c.values.size(); ++i)
        {
            CycleVideoOption(*menu, c.row);
            EXPECT_EQ(*c.pending, c.values[i]) << "row " << c.row << " press " << i;
            EXPECT_STREQ(menu->videoOptions[c.row].value, c.texts[i].c_str()) << "row " << c.row;
        }
}

TEST_F(MenuOptionsTest, GlowLimitOfZeroKeepsGlowOff)
{
    // The device cannot run the post effects: both limits are 0, and a
    // pending value left over from before is held to it.
    g_SettingLimits.glow = 0;
    g_SettingLimits.blur = 0;
    menu->pendingGlow = 1;
    menu->pendingBlur = 1;
    menu->UpdateOptionTexts();
    EXPECT_EQ(menu->pendingGlow, 0);
    EXPECT_STREQ(menu->videoOptions[VIDEO_ROW_GLOW].value, " Off");
    for (int press = 0; press < 3; ++press)
    {
        CycleVideoOption(*menu, VIDEO_ROW_GLOW);
        CycleVideoOption(*menu, VIDEO_ROW_BLUR);
        EXPECT_EQ(menu->pendingGlow, 0);
        EXPECT_EQ(menu->pendingBlur, 0);
        EXPECT_STREQ(menu->videoOptions[VIDEO_ROW_GLOW].value, " Off");
        EXPECT_STREQ(menu->videoOptions[VIDEO_ROW_BLUR].value, " Off");
    }
}

TEST_F(MenuOptionsTest, PendingModeOutsideTheListIsNeverReadPastIt)
{
    menu->pendingMode = 7;   // past the three modes
    menu->UpdateOptionTexts();
    EXPECT_STREQ(menu->videoOptions[VIDEO_ROW_RESOLUTION].value, " 1024X768");
    CycleVideoOption(*menu, VIDEO_ROW_RESOLUTION);
    EXPECT_EQ(menu->pendingMode, 0);
    // A device without a mode list shows the virtual screen.
    g_Render.modeCount = 0;
    menu->UpdateOptionTexts();
    EXPECT_STREQ(menu->videoOptions[VIDEO_ROW_RESOLUTION].value, " 800X600");
    CycleVideoOption(*menu, VIDEO_ROW_RESOLUTION);
    EXPECT_EQ(menu->pendingMode, 0);
}

TEST_F(MenuOptionsTest, CancelRestoresEveryRowAndTheNote)
{
    const std::vector<std::string> before = Texts();
    EXPECT_FALSE(RestartNoteShown(*menu));
    for (int row = 0; row < MENU_VIDEO_OPTIONS; ++row)
        CycleVideoOption(*menu, row);
    const std::vector<std::string> changed = Texts();
    for (int row = 0; row < MENU_VIDEO_OPTIONS; ++row)
        EXPECT_NE(changed[row], before[row]) << row;
    EXPECT_TRUE(RestartNoteShown(*menu));

    RestoreVideoOptions(*menu);
    menu->UpdateOptionTexts();
    EXPECT_EQ(Texts(), before);
    EXPECT_FALSE(RestartNoteShown(*menu));
    // Nothing reached the running settings or the file.
    EXPECT_EQ(g_VideoMode, 1);
    EXPECT_EQ(g_ViewDistance, 500);
    EXPECT_EQ(g_ShadowQuality, 3);
    EXPECT_EQ(IniValue("Video", "Mode"), "missing");
}

TEST_F(MenuOptionsTest, RestartNoteOnlyForResolutionGlowAndBlur)
{
    CycleVideoOption(*menu, VIDEO_ROW_DISTANCE);
    CycleVideoOption(*menu, VIDEO_ROW_SHADOWS);
    EXPECT_FALSE(RestartNoteShown(*menu));
    AcceptVideoOptions(*menu);
    // In the running settings at once.
    EXPECT_EQ(g_ViewDistance, 100);
    EXPECT_EQ(g_ShadowQuality, 0);
    EXPECT_FALSE(RestartNoteShown(*menu));
    for (int row : {VIDEO_ROW_RESOLUTION, VIDEO_ROW_GLOW, VIDEO_ROW_BLUR})
    {
        Open();
        CycleVideoOption(*menu, row);
        EXPECT_TRUE(RestartNoteShown(*menu)) << row;
    }
}

// Each value the graphics page can give, accepted, written and read back as
// the next start reads it. Short distances come back as the shortest name
// the file can hold, never outside 100..500.
TEST_F(MenuOptionsTest, AcceptedValuesSurviveTheIniRoundTrip)
{
    struct RoundTrip
    {
        int mode, distance, shadows, glow, blur;
        int readDistance;
    };
    const RoundTrip cases[] = {
        {0, 100, 0, 0, 0, 100}, {2, 170, 1, 1, 0, 200}, {1, 240, 2, 0, 1, 300},
        {0, 310, 3, 1, 1, 300}, {2, 380, 0, 0, 0, 300}, {1, 450, 1, 1, 1, 400},
        {0, 500, 2, 0, 0, 500}, {1, 370, 3, 1, 0, 300}, {2, 470, 0, 0, 1, 400},
    };
    for (const RoundTrip& c : cases)
    {
        menu->pendingMode = c.mode;
        menu->pendingDistance = c.distance;
        menu->pendingShadows = c.shadows;
        menu->pendingGlow = c.glow;
        menu->pendingBlur = c.blur;
        AcceptVideoOptions(*menu);
        g_VideoMode = g_ViewDistance = g_ShadowQuality = g_GlowOn = g_BlurOn = -1;
        ReadGameIni("Game.ini");
        EXPECT_EQ(g_VideoMode, c.mode) << c.distance;
        EXPECT_EQ(g_ViewDistance, c.readDistance) << c.distance;
        EXPECT_EQ(g_ShadowQuality, c.shadows) << c.distance;
        EXPECT_EQ(g_GlowOn, c.glow) << c.distance;
        EXPECT_EQ(g_BlurOn, c.blur) << c.distance;
    }
}

TEST_F(MenuOptionsTest, VolumesStepAndAreWrittenAtOnce)
{
    struct VolumeCase
    {
        int* volume;
        const char* key;
        int start;
        std::vector<int> steps;
        std::vector<std::string> texts;
    };
    const VolumeCase cases[] = {
        {&g_MusicVolume, "Music", 95, {100, 0, 10}, {" 100%", " 0%", " 10%"}},
        {&g_EffectsVolume, "Effects", 95, {100, 0, 10}, {" 100%", " 0%", " 10%"}},
        {&g_MusicVolume, "Music", 0, {10, 20}, {" 10%", " 20%"}},
        {&g_EffectsVolume, "Effects", 90, {100, 0}, {" 100%", " 0%"}},
    };
    for (const VolumeCase& c : cases)
    {
        *c.volume = c.start;
        for (size_t i = 0; i < c.steps.size(); ++i)
        {
            StepVolume(*menu, c.volume);
            EXPECT_EQ(*c.volume, c.steps[i]) << c.key << " from " << c.start;
            EXPECT_EQ(IniValue("Audio", c.key), std::to_string(c.steps[i])) << c.key;
            const CMenuOption& row = c.volume == &g_MusicVolume ? menu->musicOption : menu->effectsOption;
            EXPECT_STREQ(row.value, c.texts[i].c_str()) << c.key;
        }
    }
}

}   // namespace
