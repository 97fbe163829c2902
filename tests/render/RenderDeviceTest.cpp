// Device set-up on the recording device: the video-mode list and the "Mode"
// rules, the technique file chosen by shader level, device loss and its
// recovery, editor-mode scales, default resources and safe shutdown.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "platform/os/Ini.h"
#include "tests/render/RenderTestSupport.h"

using namespace render_test;

namespace
{

D3DDISPLAYMODE Mode(UINT w, UINT h, UINT hz)
{
    return D3DDISPLAYMODE{w, h, hz, D3DFMT_X8R8G8B8};
}

std::string IniValue(const char* section, const char* key)
{
    char buf[128];
    GetPrivateProfileStringA(section, key, "<missing>", buf, sizeof(buf), "Game.ini");
    return buf;
}

class RenderDeviceTest : public RenderFixture
{};

// The tests that start the device on the generated demo data.
class RenderDeviceDemoDataTest : public RenderFixture
{};

TEST_F(RenderDeviceTest, ModeListKeepsOneEntryPerResolutionWithTheFirstRate)
{
    D3DOverrideAdapterModes({Mode(640, 480, 60), Mode(800, 600, 60), Mode(800, 600, 75), Mode(1024, 768, 60),
                             Mode(1024, 768, 70), Mode(1024, 768, 75), Mode(1280, 1024, 60)});
    ASSERT_EQ(g_Render.InitD3D(1), 0);
    ASSERT_EQ(g_Render.modeCount, 4);
    const UINT widths[4] = {640, 800, 1024, 1280};
    for (int i = 0; i < 4; i++)
    {
        EXPECT_EQ(g_Render.modes[i].Width, widths[i]);
        EXPECT_EQ(g_Render.modes[i].RefreshRate, 60u);
    }
    g_Render.FreeD3DRender();

    // A driver listing more resolutions than the list holds: the first 512.
    // No desktop-sized mode among them, so "Mode" 100 is an index of its own.
    std::vector<D3DDISPLAYMODE> many;
    for (UINT i = 0; i < 600; i++)
        many.push_back(Mode(640 + i, 480, 60));
    D3DOverrideAdapterModes(many);
    g_VideoMode = 100;
    ASSERT_EQ(g_Render.InitD3D(1), 0);
    EXPECT_EQ(g_Render.modeCount, CD3DRender::MAX_MODES);
    EXPECT_EQ(g_Render.modes[CD3DRender::MAX_MODES - 1].Width, 640u + CD3DRender::MAX_MODES - 1);
    EXPECT_EQ(g_VideoMode, 100);
    g_Render.FreeD3DRender();

    // "Mode" past the end of a long list is the last mode.
    g_VideoMode = 600;
    ASSERT_EQ(g_Render.InitD3D(1), 0);
    EXPECT_EQ(g_VideoMode, CD3DRender::MAX_MODES - 1);
}

TEST_F(RenderDeviceTest, ModeSettingIsResolvedAndWrittenBack)
{
    struct Case
    {
        int mode;
        bool desktopListed;
        int expected;
    };
    const Case cases[] = {
        {100, true, 3},    // the desktop size, wherever it is in the list
        {100, false, 4},   // no desktop-sized mode: the last one
        {7, true, 4},      // past the end: the last one
        {2, true, 2},      // a valid index stays
        {-3, true, 0},     // a negative index would read before the list
    };
    for (const Case& c : cases)
    {
        std::vector<D3DDISPLAYMODE> modes = {Mode(640, 480, 60), Mode(800, 600, 60), Mode(1024, 768, 60),
                                             Mode(1280, 1024, 60), Mode(1600, 1200, 60)};
        if (!c.desktopListed)
            modes[3] = Mode(1280, 960, 60);
        D3DOverrideAdapterModes(modes);
        D3DOverrideDesktopMode(Mode(1280, 1024, 60));
        std::remove("Game.ini");
        g_VideoMode = c.mode;
        ASSERT_EQ(g_Render.InitD3D(1), 0);
        EXPECT_EQ(g_VideoMode, c.expected) << c.mode << " " << c.desktopListed;
        EXPECT_EQ(IniValue("Video", "Mode"), std::to_string(c.expected)) << c.mode << " " << c.desktopListed;
        g_Render.FreeD3DRender();
    }
}

TEST_F(RenderDeviceTest, NoVideoModeFailsWithItsMessage)
{
    D3DOverrideAdapterModes({});
    EXPECT_EQ(g_Render.InitD3D(1), -1);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], std::string(g_AppName) + "|16|Enum and check video modes failed!\nThis application "
                                                      "requires functionality that is\nnot available on your "
                                                      "Direct3D hardware accelerator.");
    EXPECT_EQ(g_Render.d3d, nullptr);
}

TEST_F(RenderDeviceDemoDataTest, TechniqueFileFollowsTheShaderLevel)
{
    struct Case
    {
        DWORD vs, ps;
        const char* file;   // the only file that compiles
        int postEffects;    // glow and blur limits after creation
        int vs11, ps14, sm20;
    };
    const Case cases[] = {
        {D3DVS_VERSION(2, 0), D3DPS_VERSION(2, 0), "_20", 1, 1, 1, 1},
        {D3DVS_VERSION(1, 1), D3DPS_VERSION(1, 4), "_14", 0, 1, 1, 0},
        {D3DVS_VERSION(1, 1), D3DPS_VERSION(1, 3), "_11", 0, 1, 0, 0},
        {D3DVS_VERSION(2, 0), D3DPS_VERSION(1, 4), "_14", 0, 1, 1, 0},
        {D3DVS_VERSION(1, 0), D3DPS_VERSION(1, 4), "_00", 0, 0, 0, 0},
    };
    UseLooseCopy();
    const std::string good = ReadFileText("Data/Misc/RenderTechniques_20.dat");
    const char* const levels[4] = {"_20", "_14", "_11", "_00"};
    for (const Case& c : cases)
    {
        // Every file but the expected one fails to compile, so only the right
        // choice brings the device up.
        for (const char* level : levels)
        {
            std::ofstream out(std::string("Data/Misc/RenderTechniques") + level + ".dat", std::ios::binary);
            out << (std::string(level) == c.file ? good : "technique broken\npass p0\nnot a keyword\n");
        }
        D3DOverrideShaderVersions(c.vs, c.ps);
        g_SettingLimits.glow = g_SettingLimits.blur = 1;
        g_GlowOn = g_BlurOn = 1;
        Messages().clear();
        ASSERT_EQ(g_Render.InitD3D(1), 0);
        EXPECT_EQ(g_Render.CreateDevice(nullptr, 1, 0, 0), 0) << c.file << (Messages().empty() ? "" : Messages()[0]);
        EXPECT_NE(g_Render.effect, nullptr) << c.file;
        EXPECT_EQ(g_Render.vs11, c.vs11) << c.file;
        EXPECT_EQ(g_Render.ps14, c.ps14) << c.file;
        EXPECT_EQ(g_Render.sm20, c.sm20) << c.file;
        EXPECT_EQ(g_SettingLimits.glow, c.postEffects) << c.file;
        EXPECT_EQ(g_SettingLimits.blur, c.postEffects) << c.file;
        EXPECT_EQ(g_GlowOn, c.postEffects) << c.file;
        EXPECT_EQ(g_BlurOn, c.postEffects) << c.file;
        g_Render.FreeD3DRender();
    }
}

TEST_F(RenderDeviceDemoDataTest, MissingTechniqueFileFailsTheRestore)
{
    UseLooseCopy();
    std::remove("Data/Misc/RenderTechniques_20.dat");
    ASSERT_EQ(g_Render.InitD3D(1), 0);
    EXPECT_EQ(g_Render.CreateDevice(nullptr, 1, 0, 0), -1);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], std::string(g_AppName) + "|16|Restore resources failed!");
    EXPECT_EQ(g_Render.device, nullptr);
    EXPECT_EQ(g_Render.d3d, nullptr);
}

TEST_F(RenderDeviceDemoDataTest, DeviceCreationFallsBackAndReportsTheLastError)
{
    // Hardware processing refused: the mixed device is made.
    D3DOverrideCreateDeviceResult(D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE, D3DERR_NOTAVAILABLE);
    UseDemoData();
    StartDevice();
    EXPECT_EQ(g_Render.presentParams.BackBufferCount, 2u);
    EXPECT_EQ(g_Render.presentParams.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
    g_Render.FreeD3DRender();

    // Nothing works: the error's name is shown and returned.
    D3DOverrideCreateDeviceResult(0, D3DERR_NOTAVAILABLE);
    ASSERT_EQ(g_Render.InitD3D(1), 0);
    EXPECT_EQ(g_Render.CreateDevice(nullptr, 1, 0, 0), D3DERR_NOTAVAILABLE);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0],
              std::string(g_AppName) + "|16|Could not create Direct3DDevice9!\n(error: D3DERR_NOTAVAILABLE)");
    EXPECT_EQ(g_Render.d3d, nullptr);
}

TEST_F(RenderDeviceDemoDataTest, ScalesFollowTheModeAndAreOneInTheEditor)
{
    D3DOverrideAdapterModes({Mode(640, 480, 60), Mode(1024, 768, 60)});
    UseDemoData();
    g_VideoMode = 1;
    StartDevice();
    EXPECT_FLOAT_EQ(g_Render.screenWidth, 1024.0f);
    EXPECT_FLOAT_EQ(g_Render.screenHeight, 768.0f);
    EXPECT_FLOAT_EQ(g_Render.scaleX, 1.28f);
    EXPECT_FLOAT_EQ(g_Render.scaleY, 1.28f);
    g_Render.FreeD3DRender();

    g_EditorMode = 1;
    StartDevice();
    EXPECT_FLOAT_EQ(g_Render.scaleX, 1.0f);
    EXPECT_FLOAT_EQ(g_Render.scaleY, 1.0f);
    // The back buffer takes the window's size; the stored size stays 0 x 0.
    EXPECT_FLOAT_EQ(g_Render.screenWidth, 0.0f);
    EXPECT_FLOAT_EQ(g_Render.screenHeight, 0.0f);
}

TEST_F(RenderDeviceDemoDataTest, LostDevicePresentsNothingUntilTheResetFrameHasPassed)
{
    UseDemoData();
    StartDevice();
    IDirect3DDevice9* device = g_Render.device;

    D3DSimulateDeviceLost(device);
    D3DClearRecordedCalls();
    EXPECT_EQ(g_Render.PresentFrame(), 0);   // Present reports the loss
    EXPECT_EQ(g_Render.deviceLost, 1);
    EXPECT_EQ(CountCalls("Present"), 1u);

    // Still lost: nothing is presented, nothing reset.
    D3DClearRecordedCalls();
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(g_Render.PresentFrame(), 0);
    EXPECT_EQ(CountCalls("Present"), 0u);
    EXPECT_EQ(CountCalls("Reset"), 0u);

    // Resettable: this frame resets and presents nothing, and keeps its faces.
    D3DSimulateDeviceResettable(device);
    g_Render.mainFaces = 7;
    const int frames = g_Render.frameCount;
    D3DClearRecordedCalls();
    EXPECT_EQ(g_Render.PresentFrame(), 0);
    EXPECT_EQ(CountCalls("Reset"), 1u);
    EXPECT_EQ(CountCalls("Present"), 0u);
    EXPECT_EQ(g_Render.deviceLost, 0);
    EXPECT_EQ(g_Render.mainFaces, 7);
    EXPECT_EQ(g_Render.frameCount, frames);
    EXPECT_NE(g_Render.effect, nullptr);
    EXPECT_NE(g_Render.screenQuad, nullptr);
    EXPECT_GE(g_Render.whiteTexture, 0);
    EXPECT_EQ(QuitRequested(), 0);

    // The next frame presents again.
    D3DClearRecordedCalls();
    EXPECT_EQ(g_Render.PresentFrame(), 0);
    EXPECT_EQ(CountCalls("Present"), 1u);
    EXPECT_EQ(g_Render.mainFaces, 0);
}

TEST_F(RenderDeviceDemoDataTest, FailedResetEndsTheProgram)
{
    UseDemoData();
    StartDevice();
    D3DSimulateDeviceLost(g_Render.device);
    g_Render.PresentFrame();
    D3DSimulateDeviceResettable(g_Render.device);
    D3DSimulateResetResult(g_Render.device, D3DERR_DRIVERINTERNALERROR);
    EXPECT_EQ(g_Render.PresentFrame(), E_FAIL);
    EXPECT_EQ(QuitRequested(), 1);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], std::string(g_AppName) +
                                 "|16|D3D device is lost,\nand application can't restore it!\nApplication will now "
                                 "exit...");
}

TEST_F(RenderDeviceDemoDataTest, ResetWhoseObjectsCannotBeRestoredEndsTheProgram)
{
    UseLooseCopy();
    StartDevice();
    D3DSimulateDeviceLost(g_Render.device);
    g_Render.PresentFrame();
    // The technique file is gone by the time the device comes back.
    std::remove("Data/Misc/RenderTechniques_20.dat");
    D3DSimulateDeviceResettable(g_Render.device);
    EXPECT_EQ(g_Render.PresentFrame(), E_FAIL);
    EXPECT_EQ(QuitRequested(), 1);
    ASSERT_FALSE(Messages().empty());
    EXPECT_NE(Messages().back().find("D3D device is lost"), std::string::npos);
}

TEST_F(RenderDeviceDemoDataTest, TargetsAndDefaultResourcesExistAfterStart)
{
    UseDemoData();
    g_ShadowQuality = 0;   // shadows can be switched on later without a restore
    g_BlurOn = 0;
    StartDevice();
    EXPECT_NE(g_Render.effect, nullptr);
    EXPECT_NE(g_Render.envCubeTexture, nullptr);
    EXPECT_NE(g_Render.reflectionTarget, nullptr);
    EXPECT_NE(g_Render.reflectionDepth, nullptr);
    EXPECT_NE(g_Render.shadowTarget0, nullptr);
    EXPECT_NE(g_Render.shadowTarget1, nullptr);
    EXPECT_NE(g_Render.shadowTarget2, nullptr);
    EXPECT_NE(g_Render.shadowDepth, nullptr);
    // The shadow map, its copy taken midway and its depth are 1024 texels a
    // side; the smoothed layer that the world reads is 512.
    const struct
    {
        IDirect3DTexture9* target;
        UINT size;
    } targets[] = {{g_Render.shadowTarget0, 1024}, {g_Render.shadowTarget1, 512}, {g_Render.shadowTarget2, 1024}};
    for (const auto& t : targets)
        if (t.target)
        {
            D3DSURFACE_DESC desc{};
            t.target->GetLevelDesc(0, &desc);
            EXPECT_EQ(desc.Width, t.size);
            EXPECT_EQ(desc.Height, t.size);
        }
    if (g_Render.shadowDepth)
    {
        D3DSURFACE_DESC desc{};
        g_Render.shadowDepth->GetDesc(&desc);
        EXPECT_EQ(desc.Width, 1024u);
        EXPECT_EQ(desc.Height, 1024u);
    }
    EXPECT_NE(g_Render.glowTexture0, nullptr);
    EXPECT_NE(g_Render.glowTexture1, nullptr);
    EXPECT_EQ(g_Render.glowReady, 1);
    EXPECT_EQ(g_Render.blurTexture, nullptr);
    EXPECT_EQ(g_Render.blurReady, 0);
    EXPECT_NE(g_Render.batchVB, nullptr);
    EXPECT_NE(g_Render.batchIB, nullptr);
    EXPECT_GE(g_Render.lightMapTexture, 0);
    EXPECT_GE(g_Render.blackTexture, 0);
    EXPECT_GE(g_Render.whiteTexture, 0);
    EXPECT_TRUE(Messages().empty()) << Messages()[0];

    // The screen quad: four clip-space corners, half a texel in.
    void* data = nullptr;
    ASSERT_EQ(g_Render.screenQuad->Lock(0, 0, &data, 0), D3D_OK);
    const float* v = static_cast<const float*>(data);
    const float expected[20] = {-1, 1, 0, 0.004f, 0.004f, -1, -1, 0, 0.004f, 1, 1, 1, 0, 1, 0.004f, 1, -1, 0, 1, 1};
    for (int i = 0; i < 20; i++)
        EXPECT_FLOAT_EQ(v[i], expected[i]) << i;
    g_Render.screenQuad->Unlock();
}

TEST_F(RenderDeviceDemoDataTest, BadEnvironmentCubeIsReportedButStartGoesOn)
{
    UseLooseCopy();
    for (bool missing : {false, true})
    {
        if (missing)
            std::remove("Data/Misc/StaticEnvMap.dds");
        else
            WriteFileBytes("Data/Misc/StaticEnvMap.dds", std::vector<uint8_t>(300, 0x11));
        Messages().clear();
        StartDevice();
        EXPECT_EQ(g_Render.envCubeTexture, nullptr) << missing;
        ASSERT_EQ(Messages().size(), 1u) << missing;
        EXPECT_EQ(Messages()[0], std::string(g_AppName) + "|16|Could not create cube texture!");
        EXPECT_NE(g_Render.effect, nullptr);
        g_Render.FreeD3DRender();
    }
}

TEST_F(RenderDeviceDemoDataTest, ReleasingTheDefaultsTwiceKeepsOtherHoldersReferences)
{
    UseDemoData();
    StartDevice();
    const TextureId white = g_Render.LoadTexture("Data/Misc/White.bmp", 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    ASSERT_EQ(white, g_Render.whiteTexture);
    ASSERT_EQ(g_Render.textures.GetRefCount(white), 2);

    g_Render.ReleaseDefaultResources();
    g_Render.ReleaseDefaultResources();
    EXPECT_EQ(g_Render.textures.GetRefCount(white), 1);
    EXPECT_NE(g_Render.GetTexture(white), nullptr);
    g_Render.ReleaseTexture(white);

    // Shutdown, then shutdown again, is harmless.
    EXPECT_EQ(g_Render.FreeD3DRender(), 0);
    EXPECT_EQ(g_Render.FreeD3DRender(), 0);
    EXPECT_EQ(g_Render.device, nullptr);
    EXPECT_EQ(g_Render.effect, nullptr);
}

}   // namespace
