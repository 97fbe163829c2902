#pragma once
// Shared set-up of the render tests: a fresh working folder (the settings file
// and the debug log land there), the demo data linked in as "Data", the
// settings the device reads, captured message boxes, and the device brought
// up the way the program start does it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "core/FileManager.h"
#include "core/RunFlags.h"
#include "core/Settings.h"
#include "platform/d3d/D3D9.h"
#include "platform/os/MessageBox.h"
#include "render/D3DRender.h"
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/TempFolder.h"

namespace render_test
{

using testsupport::DemoDataDir;
using testsupport::ReadFileText;
using testsupport::WriteFileBytes;

inline std::vector<std::string>& Messages()
{
    static std::vector<std::string> messages;
    return messages;
}

inline int CaptureBox(HWND, const char* text, const char* caption, UINT type)
{
    Messages().push_back(std::string(caption ? caption : "") + "|" + std::to_string(type) + "|" + (text ? text : ""));
    return IDOK;
}

inline size_t CountCalls(const std::string& prefix)
{
    size_t n = 0;
    for (const std::string& call : D3DRecordedCalls())
        if (call.compare(0, prefix.size(), prefix) == 0)
            n++;
    return n;
}

// Each test runs in its own folder with default settings and a fresh device
// object; TearDown releases everything the test made.
class RenderFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.MakeAndEnter("render_test_"));
        dir = folder.path();

        Messages().clear();
        SetMessageBoxHook(CaptureBox);
        D3DSelectBackend(D3DBackendKind::Recording);
        D3DClearOverrides();

        g_SettingLimits = SettingLimits{500, 3, 1, 1};
        g_VideoMode = 0;
        g_ShadowQuality = 3;
        g_GlowOn = 1;
        g_BlurOn = 1;
        g_Windowed = 1;
        g_UseFileManager = 1;
        g_BmpToJpg = 0;
        g_EditorMode = 0;
        g_DebugLog = 0;
        ResetQuit();
        g_ShadowPass = 0;
        g_ReflectionPass = 0;
        g_Render = CD3DRender();
    }

    void TearDown() override
    {
        g_Render.FreeD3DRender();
        g_FileManager.Release();
        D3DClearOverrides();
        SetMessageBoxHook(nullptr);
        g_DebugLog = 0;
        folder.Remove();
    }

    // Links the generated demo data in as "Data" and opens its packs (or,
    // with packs off, reads loose files).
    void UseDemoData(bool packs = true)
    {
        ASSERT_EQ(symlink((DemoDataDir() + "/Data").c_str(), "Data"), 0);
        g_UseFileManager = packs ? 1 : 0;
        g_FileManager.Create();
    }

    // A private "Data/Misc" with copies of the demo technique files and
    // default textures, which a test may then change; read as loose files.
    void UseLooseCopy()
    {
        mkdir("Data", 0700);
        mkdir("Data/Misc", 0700);
        std::system(("cp '" + DemoDataDir() + "'/Data/Misc/* Data/Misc/").c_str());
        g_UseFileManager = 0;
        g_FileManager.Create();
    }

    // InitD3D and CreateDevice as the program start calls them.
    void StartDevice()
    {
        ASSERT_EQ(g_Render.InitD3D(g_Windowed), 0);
        ASSERT_EQ(g_Render.CreateDevice(nullptr, g_Windowed, 0, 0), 0);
        ASSERT_NE(g_Render.device, nullptr);
    }

    TempFolder folder;
    std::string dir;
};

}   // namespace render_test
