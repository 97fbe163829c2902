#include "app/WinMain.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/os/Window.h"

namespace
{
std::vector<UINT> s_Seen;
LRESULT Record(HWND, UINT message, WPARAM, LPARAM)
{
    s_Seen.push_back(message);
    return 0;
}

TEST(MainLoopTest, QuitMessageEndsOnlyOneDraining)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Record;
    wc.lpszClassName = "MainLoopTestClass";
    RegisterClassA(&wc);
    HWND hwnd =
        CreateWindowExA(0, "MainLoopTestClass", "t", WS_POPUP, 0, 0, 64, 48, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    DrainMessages(nullptr);
    s_Seen.clear();

    PostMessageA(hwnd, WM_KEYDOWN, VK_UP, 0);
    PostQuitMessage(3);
    PostMessageA(hwnd, WM_KEYUP, VK_UP, 0);
    PostQuitMessage(4);

    int code = -1;
    EXPECT_EQ(DrainMessages(&code), 1);
    EXPECT_EQ(code, 3);
    EXPECT_EQ(s_Seen, std::vector<UINT>{WM_KEYDOWN});
    // The next frame's draining goes on after the dropped quit message.
    EXPECT_EQ(DrainMessages(&code), 1);
    EXPECT_EQ(code, 4);
    EXPECT_EQ(s_Seen, (std::vector<UINT>{WM_KEYDOWN, WM_KEYUP}));
    code = -1;
    EXPECT_EQ(DrainMessages(&code), 0);
    EXPECT_EQ(code, -1);
    DestroyWindow(hwnd);
}
}   // namespace
