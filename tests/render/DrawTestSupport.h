#pragma once
// Shared set-up of the drawing, font and mesh tests: a device of the
// recording backend (or the OpenGL one on a hidden window) installed in
// g_Render, a scratch folder as the working directory with the file manager
// reading loose files, and message boxes caught instead of shown.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/FileManager.h"
#include "core/ScreenVertex.h"
#include "core/Settings.h"
#include "platform/d3d/D3D9.h"
#include "platform/os/MessageBox.h"
#include "render/D3DRender.h"
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/Skip.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestDevice.h"

namespace drawtest
{

struct Message
{
    std::string text, caption;
    UINT type;
};

inline std::vector<Message>& Messages()
{
    static std::vector<Message> messages;
    return messages;
}

inline int CatchMessage(HWND, const char* text, const char* caption, UINT type)
{
    Messages().push_back(Message{text ? text : "", caption ? caption : "", type});
    return 1;
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    ASSERT_TRUE(testsupport::WriteFileBytes(path, bytes)) << path;
}

// The lines of a text file, without their line ends.
inline std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::string line;
    for (char c : testsupport::ReadFileText(path))
    {
        if (c == '\n')
        {
            lines.push_back(line);
            line.clear();
        }
        else
            line += c;
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

// The unit-disc fans the settings reader fills at start-up (centre, then rim
// points turning by -2 pi / steps), filled here the same way so a test does
// not have to read a settings file.
inline void FillDiscFans()
{
    auto fill = [](ScreenVertex* fan, int rimPoints, int steps) {
        fan[0] = ScreenVertex{0, 0, 0, 1, 0, 0.5f, 0.5f};
        for (int i = 0; i < rimPoints; ++i)
        {
            const float a = -2.0f * 3.14159265f * float(i) / float(steps);
            const float x = std::cos(a), y = std::sin(a);
            fan[i + 1] = ScreenVertex{x, y, 0, 1, 0, (x + 1) * 0.5f, (y + 1) * 0.5f};
        }
    };
    fill(g_DrawDiscVertices, 16, 15);
    fill(g_DrawDiscFineVertices, 33, 32);
}

// A device in g_Render for the length of a test. Back buffer width x height;
// the virtual-screen scales follow it.
class DeviceFixture : public ::testing::Test
{
protected:
    void OpenDevice(D3DBackendKind kind, int width, int height)
    {
        const HRESULT hr = m_Device.Open(kind, UINT(width), UINT(height));
        if (kind == D3DBackendKind::OpenGL && !m_Device.window())
            SKIP_OR_FAIL_IN_CI() << "no video driver for the OpenGL backend";
        ASSERT_EQ(hr, D3D_OK) << m_Device.error();
        g_Render.screenWidth = float(width);
        g_Render.screenHeight = float(height);
        g_Render.scaleX = float(width) / 800.0f;
        g_Render.scaleY = float(height) / 600.0f;
        g_Render.fillMode = D3DFILL_SOLID;
        g_Render.stage0Texture = -1;
        g_Render.mainFaces = g_Render.reflectionFaces = g_Render.shadowFaces = 0;
        D3DClearRecordedCalls();
    }

    void CloseDevice()
    {
        g_Render.ReleaseAllTextures();
        m_Device.Close();
        D3DSelectBackend(D3DBackendKind::OpenGL);   // also when no device was made
    }

    // Scratch folder as the working directory; loose files; boxes caught.
    void EnterScratchFolder()
    {
        ASSERT_TRUE(m_Scratch.Make("trallowmere_draw_"));
        EnterFolder(m_Scratch.path());
    }

    void EnterFolder(const std::string& folder)
    {
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
        m_SavedCwd = cwd;
        ASSERT_EQ(chdir(folder.c_str()), 0) << folder;
        m_SavedUseFileManager = g_UseFileManager;
        g_UseFileManager = 0;
        g_FileManager.Create();
        Messages().clear();
        SetMessageBoxHook(CatchMessage);
    }

    void LeaveFolder()
    {
        SetMessageBoxHook(nullptr);
        g_FileManager.Release();
        g_UseFileManager = m_SavedUseFileManager;
        if (!m_SavedCwd.empty())
        {
            EXPECT_EQ(chdir(m_SavedCwd.c_str()), 0);
        }
        m_SavedCwd.clear();
        m_Scratch.Remove();
    }

    // Recorded calls that start with the prefix.
    static std::vector<std::string> Calls(const std::string& prefix)
    {
        std::vector<std::string> out;
        for (const std::string& line : D3DRecordedCalls())
            if (line.compare(0, prefix.size(), prefix) == 0)
                out.push_back(line);
        return out;
    }

    testdevice::TestDevice m_Device;
    TempFolder m_Scratch;
    std::string m_SavedCwd;
    int m_SavedUseFileManager = 0;
};

}   // namespace drawtest
