#include "platform/os/MessageBox.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace
{
struct Captured
{
    int calls = 0;
    HWND owner = nullptr;
    std::string text, caption;
    UINT type = 0;
} s_Captured;

int Capture(HWND owner, const char* text, const char* caption, UINT type)
{
    ++s_Captured.calls;
    s_Captured.owner = owner;
    s_Captured.text = text;
    s_Captured.caption = caption;
    s_Captured.type = type;
    return 7;
}

TEST(MessageBoxTest, HookReceivesTheCallAndGivesTheResult)
{
    s_Captured = Captured();
    SetMessageBoxHook(Capture);
    HWND owner = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(MessageBoxA(owner, "Could't save game!", "SaveGame() error!", 48), 7);
    SetMessageBoxHook(nullptr);
    EXPECT_EQ(s_Captured.calls, 1);
    EXPECT_EQ(s_Captured.owner, owner);
    EXPECT_EQ(s_Captured.text, "Could't save game!");
    EXPECT_EQ(s_Captured.caption, "SaveGame() error!");
    EXPECT_EQ(s_Captured.type, 48u);
}

TEST(MessageBoxTest, HeadlessRunNeverBlocks)
{
    // Tests run with SDL_VIDEODRIVER=offscreen: no box, the text on stderr.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(MessageBoxA(nullptr, "Sound device failed!", "Sound error!", MB_ICONWARNING), IDOK);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Sound error!"), std::string::npos);
    EXPECT_NE(err.find("Sound device failed!"), std::string::npos);
}
}   // namespace
