#pragma once
// The fixture of the pictures of a demo area drawn on the real OpenGL device,
// headless: a hidden window, the demo data from its packs, the career rows of
// the race table and no shadows; devices made as the program start makes
// them, each with the area surfaces. The area, its placed objects and its
// nature are let go before a device is made and when it goes, so that no
// texture id, buffer or mesh of one device is used with the next.
#include <gtest/gtest.h>

#include "app/Game.h"
#include "core/RaceState.h"
#include "core/RaceTable.h"
#include "platform/d3d/D3D9Backend.h"
#include "scene/StaticObjectManager.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/Skip.h"
#include "tests/support/TestDevice.h"
#include "world/Landscape.h"
#include "world/NatureManager.h"

namespace areapictures
{

class AreaPictureTest : public render_test::RenderFixture
{
protected:
    void SetUp() override
    {
        RenderFixture::SetUp();
        if (!hidden.Open(windowWidth, windowHeight))
            SKIP_OR_FAIL_IN_CI() << "no video driver";
        window = hidden.get();
        g_ShadowQuality = 0;
        UseDemoData(true);
        ClearRaceBlock();
        FillCareerRows();
    }

    void TearDown() override
    {
        ReleaseArea();
        g_Views.mainCamera.Release();
        ClearRaceBlock();
        g_Views.activeCamera = nullptr;
        g_Render.FreeD3DRender();
        hidden.Close();
        window = nullptr;
        RenderFixture::TearDown();
        D3DSelectBackend(D3DBackendKind::Recording);
        D3DClearOverrides();
    }

    void StartDevice(UINT width, UINT height)
    {
        ReleaseArea();
        D3DOverrideAdapterModes({D3DDISPLAYMODE{width, height, 60, D3DFMT_X8R8G8B8}});
        g_Render = CD3DRender();
        ASSERT_EQ(g_Render.InitD3D(1), 0);
        ASSERT_EQ(g_Render.CreateDevice(window, 1, 0, 0), 0)
            << (render_test::Messages().empty() ? "" : render_test::Messages()[0]);
        ASSERT_EQ(g_Landscape.LoadSurfaces(), 1);
    }

    void StopDevice()
    {
        ReleaseArea();
        // The camera's overlay font holds textures of this device: made
        // again on the next, it would give back that device's textures of
        // the same ids.
        g_Views.mainCamera.Release();
        g_Render.FreeD3DRender();
    }

    static void ReleaseArea()
    {
        g_StaticObjects.Clear();
        g_Landscape.Release();
        g_Nature.Release();
    }

    int windowWidth = 160, windowHeight = 120;
    testdevice::HiddenWindow hidden;
    HWND window = nullptr;
};

}   // namespace areapictures
