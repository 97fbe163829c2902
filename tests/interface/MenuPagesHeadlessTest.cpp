// The options, records and credits pages and the loading screen drawn on the
// real OpenGL device over a plain backdrop, saved as pictures in the build
// folder (pictures/plain/<page>.png) to look at.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/Records.h"
#include "interface/GameHUD.h"
#include "interface/MainMenu.h"
#include "platform/d3d/D3D9Backend.h"
#include "render/D3DRender.h"
#include "render/Draw2D.h"
#include "tests/render/DrawTestSupport.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Paths.h"
#include "tests/support/Skip.h"
#include "tests/support/TestDevice.h"

namespace
{

class MenuPagesHeadlessDemoDataTest : public render_test::RenderFixture
{
protected:
    void TearDown() override
    {
        g_GameHUD.font.Release();
        g_GameHUD.font = CFont();
        if (menu)
        {
            menu->Release();
            menu.reset();
        }
        g_Render.FreeD3DRender();
        hidden.Close();
        g_Records = savedRecords;
        RenderFixture::TearDown();
        D3DSelectBackend(D3DBackendKind::Recording);
    }

    bool Start()
    {
        savedRecords = g_Records;
        UseDemoData(true);
        if (!hidden.Open(800, 600))
            return false;
        D3DOverrideAdapterModes({D3DDISPLAYMODE{800, 600, 60, D3DFMT_X8R8G8B8}});
        g_Render = CD3DRender();
        EXPECT_EQ(g_Render.InitD3D(1), 0);
        EXPECT_EQ(g_Render.CreateDevice(hidden.get(), 1, 0, 0), 0);
        drawtest::FillDiscFans();
        menu = std::make_unique<CMainMenu>();
        menu->Create();
        // What the menu's creation loads, for as far as it does not yet.
        if (menu->menuFont.charCount == 0)
            menu->menuFont.Create("Data/Interface/Fonts/Menu 01");
        // The records' season panels use the in-race display's font.
        g_GameHUD.font.Create("Data/Interface/Fonts/Game 01");
        for (int area = 0; area < 3; ++area)
            for (int season = 0; season < 3; ++season)
            {
                TextureId& id = menu->trackTextures[area * 3 + season];
                if (id != -1)
                    continue;
                char name[96];
                std::snprintf(name, sizeof(name), "Data/Interface/Menu_Main/Tracks/Track%d_%02d.bmp", area + 1,
                              season + 1);
                id = g_Render.LoadTexture(name, 1, 1, 0);
            }
        return g_Render.device != nullptr;
    }

    // One frame: a dusky backdrop standing in for the race behind the menu,
    // then the page.
    std::vector<uint8_t> Shoot(const char* page, void (*draw)(CMainMenu&))
    {
        IDirect3DDevice9* device = g_Render.device;
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF202430, 1.0f, 0);
        device->BeginScene();
        DrawRectGradient(-1.0f, -1.0f, 801.0f, 601.0f, 0xFF283850, 0xFF101418, 0xFF303848, 0xFF141820);
        draw(*menu);
        device->EndScene();
        std::vector<uint8_t> pixels;
        UINT w = 0, h = 0;
        IDirect3DSurface9* target = nullptr;
        if (SUCCEEDED(device->GetRenderTarget(0, &target)))
        {
            D3DReadSurfacePixels(target, pixels, w, h);
            target->Release();
        }
        EXPECT_EQ(pixels.size(), 800u * 600u * 4u) << page;
        // A folder of their own: the pictures of every page over the race
        // use the same page names.
        const std::string folder = testsupport::BuildDir() + "/pictures/plain";
        std::filesystem::create_directories(folder);
        EXPECT_TRUE(golden::WritePng(folder + "/" + page + ".png", pixels, 800, 600)) << page;
        return pixels;
    }

    // Distinct colours inside a rectangle of the picture.
    static size_t Colours(const std::vector<uint8_t>& pixels, int x0, int y0, int x1, int y1)
    {
        std::set<uint32_t> colours;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                colours.insert(golden::PixelAt(pixels, 800, x, y));
        return colours.size();
    }

    testdevice::HiddenWindow hidden;
    std::unique_ptr<CMainMenu> menu;
    RecordsTable savedRecords{};
};

TEST_F(MenuPagesHeadlessDemoDataTest, PagesDrawTheirTablesAndTexts)
{
    if (!Start())
        SKIP_OR_FAIL_IN_CI() << "no video driver";

    // The records: default scores with the player fourth, a few best times.
    FillDefaultScores();
    for (int i = 0; i < SCORE_ENTRIES; ++i)
        std::snprintf(g_Records.name[i], RECORD_NAME_SIZE, "Rider %c", 'A' + i);
    g_Records.score[SCORE_ENTRIES - 1] = 1200.0f;
    g_Records.playerEntry = 3;
    std::snprintf(g_Records.name[3], RECORD_NAME_SIZE, "%s", "Player");
    for (int row = 0; row < RACE_ROWS; ++row)
        g_Records.best[row] = 0.0f;
    g_Records.best[0] = 83.456f;
    std::snprintf(g_Records.holder[0], RECORD_NAME_SIZE, "%s", "Player");
    g_Records.best[4] = 127.31f;
    std::snprintf(g_Records.holder[4], RECORD_NAME_SIZE, "%s", "Rival Rider");
    g_Records.best[13] = 301.09f;
    std::snprintf(g_Records.holder[13], RECORD_NAME_SIZE, "%s", "Fast Fred");

    const std::vector<uint8_t> records = Shoot("records", [](CMainMenu& m) { m.DrawRecordsTable(); });
    // The score list and the season panels carry text and pictures.
    EXPECT_GT(Colours(records, 30, 250, 240, 540), 50u);
    EXPECT_GT(Colours(records, 320, 270, 420, 335), 50u);

    const std::vector<uint8_t> controls = Shoot("controls", [](CMainMenu& m) { m.DrawControlsPage(); });
    EXPECT_GT(Colours(controls, 450, 236, 760, 500), 20u);

    Shoot("options", [](CMainMenu& m) { m.DrawOptionsPage(); });
    Shoot("graphics", [](CMainMenu& m) {
        m.pendingMode = g_VideoMode + 1;   // a change that waits for the next start
        m.UpdateOptionTexts();
        m.DrawGraphicsPage();
    });
    Shoot("audio", [](CMainMenu& m) {
        m.UpdateOptionTexts();
        m.DrawAudioPage();
    });
    const std::vector<uint8_t> credits = Shoot("credits", [](CMainMenu& m) { m.DrawCreditsPage(); });
    EXPECT_GT(Colours(credits, 400, 220, 800, 460), 20u);

    const std::vector<uint8_t> loading = Shoot("loading", [](CMainMenu& m) { m.DrawLoadingScreen(0); });
    EXPECT_GT(Colours(loading, 0, 0, 800, 500), 200u);   // the picture, not a grey sheet
}

}   // namespace
