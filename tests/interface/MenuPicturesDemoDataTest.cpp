// Every menu page drawn with the demo data on the OpenGL device over a fixed
// backdrop, saved as build/menu_<page>.png; the main page is also compared
// with a small golden picture.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/CareerData.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/InputState.h"
#include "core/Records.h"
#include "core/Settings.h"
#include "interface/GameHUD.h"
#include "interface/MainMenu.h"
#include "platform/d3d/D3D9Backend.h"
#include "platform/os/Clock.h"
#include "render/Draw2D.h"
#include "tests/render/DrawTestSupport.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Paths.h"
#include "tests/support/Skip.h"
#include "tests/support/TestDevice.h"

using namespace render_test;

namespace
{

class MenuPicturesDemoDataTest : public RenderFixture
{
protected:
    void SetUp() override
    {
        RenderFixture::SetUp();
        UseDemoData(false);
        drawtest::FillDiscFans();
        g_SoundOn = 0;
        g_MainMenu = CMainMenu();
        g_GameHUD.cursor = CMouseCursor();
        std::memset(&g_Career, 0, sizeof(g_Career));
        g_Career.unlocked[0] = 1;
        std::memset(g_KeyFlags, 0, sizeof(g_KeyFlags));
        g_MouseButtons[0] = 0;
        g_TextInput = 0;
        g_ProfileCounter = 0;
        std::strcpy(g_PlayerName, "Player");
    }

    void TearDown() override
    {
        g_MainMenu.Release();
        g_GameHUD.cursor.Release();
        g_MainMenu = CMainMenu();
        g_Render.FreeD3DRender();
        hidden.Close();
        g_TextInput = 0;
        ClockUseSystem();
        RenderFixture::TearDown();
        D3DSelectBackend(D3DBackendKind::Recording);
    }

    bool Start(UINT width, UINT height)
    {
        if (!hidden.Open((int)width, (int)height))
            return false;
        D3DOverrideAdapterModes({D3DDISPLAYMODE{width, height, 60, D3DFMT_X8R8G8B8}});
        g_Render = CD3DRender();
        EXPECT_EQ(g_Render.InitD3D(1), 0);
        EXPECT_EQ(g_Render.CreateDevice(hidden.get(), 1, 0, 0), 0);
        ClockSetManual(1000);
        g_Clock.Init();
        EXPECT_EQ(g_MainMenu.Create(), 1);
        EXPECT_NE(g_MainMenu.titleTexture, -1);
        EXPECT_NE(g_MainMenu.borderTexture, -1);
        EXPECT_NE(g_GameHUD.cursor.texture, -1);
        return true;
    }

    // One frame of the page over a dusk-coloured backdrop, as the game draws
    // it: the menu, then the pointer.
    std::vector<uint8_t> Draw(UINT& w, UINT& h)
    {
        IDirect3DDevice9* device = g_Render.device;
        // Fixed clocks: the focus disc and the caret at one phase.
        g_Clock.m_GameClock = 60100.0f;
        g_Clock.m_RealClock = 60300.0f;
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        DrawRectGradient(0, 0, 800, 600, 0xFF36506E, 0xFF5A4630, 0xFF7A6A60, 0xFF3A3020);
        DrawRectGradient(0, 330, 800, 600, 0x00403020, 0xFF403020, 0x00403020, 0xFF403020);
        g_MainMenu.Render();
        g_GameHUD.cursor.Draw();
        device->EndScene();
        std::vector<uint8_t> pixels;
        IDirect3DSurface9* target = nullptr;
        if (SUCCEEDED(device->GetRenderTarget(0, &target)))
        {
            D3DReadSurfacePixels(target, pixels, w, h);
            target->Release();
        }
        return pixels;
    }

    void Save(const char* name, const std::vector<uint8_t>& pixels, UINT w, UINT h)
    {
        const std::string path = testsupport::BuildDir() + "/menu_" + name + ".png";
        EXPECT_TRUE(golden::WritePng(path, pixels, (int)w, (int)h)) << path;
    }

    testdevice::HiddenWindow hidden;
};

TEST_F(MenuPicturesDemoDataTest, EveryPage)
{
    const UINT W = 800, H = 600;
    if (!Start(W, H))
        SKIP_OR_FAIL_IN_CI() << "no video driver";

    // No profile yet: the program opens on the name page.
    g_MainMenu.Show(MENU_PROFILES);
    ASSERT_EQ(g_MainMenu.state, MENU_NEW_PROFILE);
    g_MouseX = 560;
    g_MouseY = 470;
    UINT w = 0, h = 0;
    Draw(w, h);   // the device's first frame reads back empty
    g_MainMenu.secondsSinceShow = 0.8f;
    Save("name_fading_in", Draw(w, h), w, h);
    g_MainMenu.secondsSinceShow = 5.0f;
    Save("name", Draw(w, h), w, h);

    for (const char* name : {"Player", "Marta", "Oskar"})
    {
        std::strcpy(g_PlayerName, name);
        ASSERT_EQ(g_MainMenu.CreateNewProfile(), 1);
    }
    g_MainMenu.SetState(MENU_PROFILES);
    ASSERT_EQ(g_MainMenu.profileCount, 3);
    g_CurrentProfile = 1;
    g_MouseX = 600;
    g_MouseY = 278;   // over the second slot
    std::vector<uint8_t> profiles = Draw(w, h);
    Save("profiles", profiles, w, h);
    ASSERT_EQ(profiles.size(), (size_t)W * H * 4);
    // The current profile's bar glows orange beside its name.
    const uint32_t bar = golden::PixelAt(profiles, (int)W, 505, 273);
    EXPECT_GT((bar >> 16) & 0xFF, (bar & 0xFF) + 20) << std::hex << bar;

    struct Page
    {
        int state;
        const char* name;
    } pages[] = {{MENU_MAIN, "main"},
                 {MENU_QUICK_RACE, "quick_race"},
                 {MENU_CAREER, "career"},
                 {MENU_NEW_CAREER, "new_career"},
                 {MENU_MOTORCYCLE, "motorcycle"},
                 {MENU_UPGRADE, "upgrade"},
                 {MENU_OPTIONS, "options"},
                 {MENU_GRAPHICS, "graphics"},
                 {MENU_AUDIO, "audio"},
                 {MENU_CONTROLS, "controls"},
                 {MENU_CREDITS, "credits"},
                 {MENU_RECORDS, "records"}};
    g_MouseX = 700;
    g_MouseY = 80;
    for (const Page& p : pages)
    {
        g_MainMenu.SetState(p.state);
        ASSERT_EQ(g_MainMenu.state, p.state);
        Save(p.name, Draw(w, h), w, h);
    }

    g_MainMenu.RequestRaceStart(0);
    g_MainMenu.secondsSinceShow = 1.5f;
    Save("loading", Draw(w, h), w, h);
}

TEST_F(MenuPicturesDemoDataTest, MainPageMatchesItsGoldenPicture)
{
    const UINT W = 320, H = 240;
    if (!Start(W, H))
        SKIP_OR_FAIL_IN_CI() << "no video driver";
    g_MainMenu.Show(MENU_MAIN);
    g_MouseX = 700;
    g_MouseY = 80;
    UINT w = 0, h = 0;
    Draw(w, h);   // the device's first frame reads back empty
    const std::vector<uint8_t> pixels = Draw(w, h);
    ASSERT_EQ(pixels.size(), (size_t)W * H * 4);
    // The right half: title, page and border. The corner logos are left out,
    // they come from the splash screen's own pictures.
    const int x0 = (int)W / 2, cw = (int)W - x0;
    std::vector<uint8_t> page((size_t)cw * H * 4);
    for (UINT y = 0; y < H; ++y)
        std::memcpy(&page[(size_t)y * cw * 4], &pixels[((size_t)y * W + x0) * 4], (size_t)cw * 4);
    EXPECT_EQ(golden::Mismatch("interface/main_page", page, cw, (int)H, 12), "");
}

}   // namespace
