// The options pages driven through their buttons in the running menu: a row
// press cycles its pending value only, ACCEPT applies and writes, Esc and
// CANCEL put the running values back and go back one page, the volumes are
// written at once.
#include <memory>

#include "interface/MenuOptions.h"
#include "platform/os/Ini.h"
#include "tests/interface/MenuTestSupport.h"

namespace
{

class MenuOptionsPagesTest : public menutest::MenuFixture
{
protected:
    void SetUp() override
    {
        MenuFixture::SetUp();
        saved = {g_VideoMode, g_ViewDistance, g_ShadowQuality, g_GlowOn, g_BlurOn, g_MusicVolume, g_EffectsVolume};
        savedLimits = g_SettingLimits;
        g_SettingLimits = SettingLimits{500, 3, 1, 1};
        savedModeCount = g_Render.modeCount;
        g_Render.modes[0] = D3DDISPLAYMODE{800, 600, 60, D3DFMT_X8R8G8B8};
        g_Render.modes[1] = D3DDISPLAYMODE{1024, 768, 60, D3DFMT_X8R8G8B8};
        g_Render.modeCount = 2;
        g_VideoMode = 0;
        g_ViewDistance = 500;
        g_ShadowQuality = 3;
        g_GlowOn = 1;
        g_BlurOn = 1;
        g_MusicVolume = 95;
        g_EffectsVolume = 100;
        g_MainMenu.Show(MENU_OPTIONS);
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
        MenuFixture::TearDown();
    }

    // A keyboard press of the focused button, fired in the next update.
    static void PressAndUpdate(CMenuButton& button)
    {
        g_MainMenu.SetFocus(&button);
        button.Press();
        ASSERT_EQ(button.pressed, 1);
        AdvanceReal(150.0f);
        g_MainMenu.Update();
    }

    static std::string IniValue(const char* section, const char* key)
    {
        char buf[64];
        GetPrivateProfileStringA(section, key, "missing", buf, sizeof(buf), "./Game.ini");
        return buf;
    }

    std::vector<int> saved;
    SettingLimits savedLimits{};
    int savedModeCount = 0;
};

TEST_F(MenuOptionsPagesTest, AcceptAppliesAndWritesTheGraphicsSettings)
{
    CMainMenu& m = g_MainMenu;
    EXPECT_STREQ(m.videoOptions[VIDEO_ROW_DISTANCE].value, " Maximum");
    m.SetState(MENU_GRAPHICS);
    PressAndUpdate(m.videoOptions[VIDEO_ROW_DISTANCE].label);
    PressAndUpdate(m.videoOptions[VIDEO_ROW_SHADOWS].label);
    EXPECT_EQ(m.state, MENU_GRAPHICS);
    EXPECT_EQ(m.pendingDistance, 100);
    EXPECT_EQ(m.pendingShadows, 0);
    EXPECT_STREQ(m.videoOptions[VIDEO_ROW_DISTANCE].value, " Very short");
    EXPECT_STREQ(m.videoOptions[VIDEO_ROW_SHADOWS].value, " Off");
    EXPECT_EQ(g_ViewDistance, 500) << "pending until ACCEPT";
    EXPECT_EQ(IniValue("Video", "Distance"), "missing");

    PressAndUpdate(m.acceptButton);
    EXPECT_EQ(m.state, MENU_OPTIONS);
    EXPECT_EQ(g_ViewDistance, 100);
    EXPECT_EQ(g_ShadowQuality, 0);
    EXPECT_EQ(IniValue("Video", "Distance"), "-2");   // signed: reads back as 100
    EXPECT_EQ(IniValue("Video", "Shadows"), "0");
}

TEST_F(MenuOptionsPagesTest, EscAndCancelRestoreAndGoBackOnePage)
{
    CMainMenu& m = g_MainMenu;
    for (bool esc : {true, false})
    {
        m.SetState(MENU_GRAPHICS);
        for (int row = 0; row < MENU_VIDEO_OPTIONS; ++row)
            PressAndUpdate(m.videoOptions[row].label);
        EXPECT_TRUE(RestartNoteShown(m));
        if (esc)
        {
            g_KeyFlags[KEY_ESC] = 1;
            g_MainMenu.Update();
        }
        else
        {
            PressAndUpdate(m.cancelButton);
        }
        EXPECT_EQ(m.state, MENU_OPTIONS) << esc;
        EXPECT_EQ(g_KeyFlags[KEY_ESC], 0) << esc;
        EXPECT_FALSE(RestartNoteShown(m)) << esc;
        EXPECT_EQ(m.pendingDistance, 500) << esc;
        EXPECT_EQ(m.pendingShadows, 3) << esc;
        EXPECT_STREQ(m.videoOptions[VIDEO_ROW_RESOLUTION].value, " 800X600") << esc;
        EXPECT_STREQ(m.videoOptions[VIDEO_ROW_GLOW].value, " On") << esc;
        AdvanceReal(150.0f);
        g_MainMenu.Update();
        EXPECT_EQ(m.state, MENU_OPTIONS) << "only one page back";
    }
    EXPECT_EQ(IniValue("Video", "Mode"), "missing");
}

TEST_F(MenuOptionsPagesTest, VolumeRowsChangeAndWriteAtOnce)
{
    CMainMenu& m = g_MainMenu;
    m.SetState(MENU_AUDIO);
    PressAndUpdate(m.musicOption.label);
    EXPECT_EQ(g_MusicVolume, 100);
    EXPECT_STREQ(m.musicOption.value, " 100%");
    EXPECT_EQ(IniValue("Audio", "Music"), "100");
    PressAndUpdate(m.musicOption.label);
    EXPECT_EQ(g_MusicVolume, 0);
    EXPECT_EQ(IniValue("Audio", "Music"), "0");
    PressAndUpdate(m.effectsOption.label);
    EXPECT_EQ(g_EffectsVolume, 0);
    EXPECT_STREQ(m.effectsOption.value, " 0%");
    EXPECT_EQ(IniValue("Audio", "Effects"), "0");
    EXPECT_EQ(m.state, MENU_AUDIO);
    PressAndUpdate(m.backButton);
    EXPECT_EQ(m.state, MENU_OPTIONS);
}

}   // namespace
