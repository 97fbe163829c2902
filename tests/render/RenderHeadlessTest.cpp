// The real OpenGL device, headless: start-up as the program does it, with the
// technique file from the generated World pack, a few presented frames, and a
// technique file that does not compile.
#include <gtest/gtest.h>

#include "platform/Window.h"
#include "tests/render/RenderTestSupport.h"

using namespace render_test;

namespace
{

class RenderHeadlessTest : public RenderFixture
{
protected:
    void SetUp() override
    {
        RenderFixture::SetUp();
        D3DSelectBackend(D3DBackendKind::OpenGL);
        window = D3DCreateHiddenWindow(800, 600);
        if (!window)
            GTEST_SKIP() << "no video driver";
        // The recording backend lists the common modes; the GL one the
        // display's. Use a mode list that fits the hidden window.
        D3DOverrideAdapterModes({D3DDISPLAYMODE{800, 600, 60, D3DFMT_X8R8G8B8}});
    }
    void TearDown() override
    {
        g_Render.FreeD3DRender();
        if (window)
            D3DDestroyHiddenWindow(window);
        window = nullptr;
        RenderFixture::TearDown();
        D3DSelectBackend(D3DBackendKind::Recording);
    }
    HWND window = nullptr;
};

TEST_F(RenderHeadlessTest, StartsFromTheWorldPackAndPresentsFrames)
{
    UseDemoData(true);
    ASSERT_EQ(g_Render.InitD3D(1), 0);
    ASSERT_EQ(g_Render.CreateDevice(window, 1, 0, 0), 0) << (Messages().empty() ? "" : Messages()[0]);
    ASSERT_NE(g_Render.effect, nullptr);
    EXPECT_EQ(g_Render.sm20, 1);
    EXPECT_NE(g_Render.envCubeTexture, nullptr);
    EXPECT_GE(g_Render.lightMapTexture, 0);

    // Every technique the device switches to exists in the compiled file.
    for (const char* name : {"techDirectVertex", "techGlowScreen", "techSmoothSurface", "techMotionBlur",
                             "techMenuScreen"})
        EXPECT_NE(g_Render.effect->GetTechniqueByName(name), nullptr) << name;

    for (int i = 0; i < 3; i++)
    {
        g_Render.device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF204060, 1.0f, 0);
        EXPECT_EQ(g_Render.PresentFrame(), 0);
    }
    EXPECT_EQ(g_Render.frameCount, 3);
    EXPECT_TRUE(Messages().empty()) << Messages()[0];
}

TEST_F(RenderHeadlessTest, TechniqueCompileErrorShowsTheCompilerTextAndEndsStartCleanly)
{
    UseLooseCopy();
    {
        // Valid file syntax, but a shader the compiler rejects.
        std::ofstream out("Data/Misc/RenderTechniques_20.dat", std::ios::binary);
        out << "technique techBroken\npass p0\nvertex {{\nvoid main() { gl_Position = undeclaredThing; }\n}}\n"
               "fragment {{\nvoid main() { FragColor = vec4(1.0); }\n}}\n";
    }
    ASSERT_EQ(g_Render.InitD3D(1), 0);
    EXPECT_EQ(g_Render.CreateDevice(window, 1, 0, 0), -1);
    ASSERT_EQ(Messages().size(), 2u);
    const std::string prefix = std::string(g_AppName) + "|16|Create render techniques failed!\n";
    EXPECT_EQ(Messages()[0].compare(0, prefix.size(), prefix), 0) << Messages()[0];
    EXPECT_GT(Messages()[0].size(), prefix.size() + 5) << "no compiler text";
    EXPECT_EQ(Messages()[1], std::string(g_AppName) + "|16|Restore resources failed!");
    EXPECT_EQ(g_Render.device, nullptr);
    EXPECT_EQ(g_Render.effect, nullptr);
    EXPECT_EQ(g_Render.d3d, nullptr);
}

}  // namespace
