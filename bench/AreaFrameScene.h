#pragma once
// What the frame benchmarks share: demo area 1 of the first race row, loaded
// on the OpenGL device of a hidden 800 x 600 window (headless on llvmpipe with
// SDL_VIDEODRIVER=offscreen), with the main camera's projection as the game
// makes it and a fixed sun. Each benchmark aims the camera and draws its own
// frame.
#include <unistd.h>

#include <string>

#include "app/Game.h"
#include "core/FileManager.h"
#include "core/RaceTable.h"
#include "core/Settings.h"
#include "platform/d3d/D3D9Backend.h"
#include "platform/os/MessageBox.h"
#include "render/D3DRender.h"
#include "scene/StaticObjectManager.h"
#include "tests/support/FixedSun.h"
#include "tests/support/Paths.h"
#include "tests/support/TestDevice.h"
#include "world/Landscape.h"
#include "world/NatureManager.h"

namespace benchframe
{

const int kWidth = 800, kHeight = 600;

inline int QuietBox(HWND, const char*, const char*, UINT)
{
    return IDOK;
}

class AreaFrameScene
{
protected:
    // Everything up to the camera, which is left at the origin looking
    // along +z. With nature, its manager is made before the area loads.
    bool OpenArea(std::string* error, bool withNature = false)
    {
        const std::string root = testsupport::DemoDataDir();
        if (chdir(root.c_str()) != 0)
            return Fail(error, "no demo data in " + root + " (set TRALLOWMERE_TESTDATA)");
        SetMessageBoxHook(QuietBox);
        g_Windowed = 1;
        g_VideoMode = 0;
        g_ShadowQuality = 0;
        g_UseFileManager = 1;
        g_ViewDistance = 500;
        g_FileManager.Create();
        if (!window.Open(kWidth, kHeight))
            return Fail(error, "no window (set SDL_VIDEODRIVER=offscreen)");
        D3DOverrideAdapterModes({D3DDISPLAYMODE{kWidth, kHeight, 60, D3DFMT_X8R8G8B8}});
        if (g_Render.InitD3D(1) != 0 || g_Render.CreateDevice(window.get(), 1, 0, 0) != 0)
            return Fail(error, "no render device");
        g_Landscape.LoadSurfaces();
        m_Nature = withNature;
        if (m_Nature)
            g_Nature.Create();
        ClearRaceBlock();
        FillCareerRows();
        g_CurrentRace = 0;   // area 1 in summer
        if (g_Landscape.LoadArea(g_RaceTable.area[0], g_RaceTable.season[0]) != 1)
            return Fail(error, "area 1 does not load");
        const D3DXVECTOR3 origin(0, 0, 0), ahead(0, 0, 1);
        g_Views.mainCamera.Init(&origin, &ahead, D3DX_PI / 2, (float)kWidth / kHeight * 0.85f, CAMERA_NEAR_PLANE,
                                CAMERA_FAR_PLANE, VIEWMODE_FREE, CAMERA_MAIN);
        g_Views.activeCamera = &g_Views.mainCamera;
        testlight::SetFixedSun(g_Render.device);
        return true;
    }

    void CloseArea()
    {
        // The placed objects hold meshes of this device.
        g_StaticObjects.Clear();
        g_Landscape.Release();
        if (m_Nature)
            g_Nature.Release();
        ClearRaceBlock();
        g_Views.activeCamera = nullptr;
        g_Render.FreeD3DRender();
        window.Close();
        g_FileManager.Release();
    }

    static bool Fail(std::string* error, const std::string& why)
    {
        *error = why;
        return false;
    }

    testdevice::HiddenWindow window;

private:
    bool m_Nature = false;
};

}   // namespace benchframe
