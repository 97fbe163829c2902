// Input at the frame rates the game really runs at (7-20 a second): presses,
// clicks and typed characters that fall between two frames, given to the
// window procedure and read by the menu the way the main loop does it; and a
// held key's auto-repeat, at those rates and at 60.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/WndProc.h"
#include "core/InputPacing.h"
#include "platform/os/Window.h"
#include "render/D3DRender.h"
#include "tests/interface/MenuTestSupport.h"

namespace
{

struct Message
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class InputPacingTest : public menutest::MenuFixture
{
protected:
    void SetUp() override
    {
        MenuFixture::SetUp();
        ResetInputPacing();
        g_AppActive = 1;
        g_DebugMode = 0;
        std::memset(g_ControlFlags, 0, sizeof(g_ControlFlags));
        g_Render.scaleX = g_Render.scaleY = 1.0f;
    }
    void TearDown() override
    {
        ResetInputPacing();
        // A key held at the end (the held-key case) is let go: a later
        // test's race would otherwise ride on it.
        std::memset(g_ControlFlags, 0, sizeof(g_ControlFlags));
        std::memset(g_KeyFlags, 0, sizeof(g_KeyFlags));
        MenuFixture::TearDown();
    }

    // Messages that all arrive between two frames.
    static void Between(const std::vector<Message>& messages)
    {
        for (const Message& m : messages)
            WndProc(nullptr, m.message, m.wParam, m.lParam);
    }
    // One frame at 7 a second, as the main loop runs it.
    static void SlowFrame()
    {
        Frame(1.0f / 7.0f);
        InputFrameDone();
    }
    static std::vector<Message> Tap(WPARAM vk) { return {{WM_KEYDOWN, vk, 0}, {WM_KEYUP, vk, 0}}; }
    static std::vector<Message> Click(int x, int y)
    {
        return {{WM_LBUTTONDOWN, 0, MAKELPARAM(x, y)}, {WM_LBUTTONUP, 0, MAKELPARAM(x, y)}};
    }
    static std::vector<Message> Join(std::initializer_list<std::vector<Message>> parts)
    {
        std::vector<Message> all;
        for (const auto& p : parts)
            all.insert(all.end(), p.begin(), p.end());
        return all;
    }
};

// What the frames after one gap see of a flag: the messages of the gap, then
// frame after frame the flag read (and cleared when the reader acts once per
// press, as the menu's arrows and the camera's view key do).
struct FlagCase
{
    const char* name;
    std::vector<Message> gap;
    int* flag;
    bool readerClears;
    std::vector<int> seen;
};

void PrintTo(const FlagCase& c, std::ostream* os)
{
    *os << c.name;
}

class InputPacingFlagTest : public InputPacingTest, public ::testing::WithParamInterface<FlagCase>
{};

TEST_P(InputPacingFlagTest, EachFrameSeesOnePress)
{
    const FlagCase& c = GetParam();
    g_MainMenu.active = 0;   // the action flags follow the keys in a race
    Between(c.gap);
    for (size_t frame = 0; frame < c.seen.size(); ++frame)
    {
        EXPECT_EQ(*c.flag, c.seen[frame]) << "frame " << frame;
        if (c.readerClears)
            *c.flag = 0;
        InputFrameDone();
    }
    EXPECT_EQ(InputMessagesWaiting(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InputPacingFlagTest,
    ::testing::Values(
        FlagCase{"TapBetweenTwoFrames",
                 {{WM_KEYDOWN, VK_DOWN, 0}, {WM_KEYUP, VK_DOWN, 0}},
                 &g_KeyFlags[KEY_DOWN],
                 false,
                 {1, 0}},
        FlagCase{"TwoTapsCountInTwoFrames",
                 {{WM_KEYDOWN, VK_DOWN, 0}, {WM_KEYUP, VK_DOWN, 0}, {WM_KEYDOWN, VK_DOWN, 0}, {WM_KEYUP, VK_DOWN, 0}},
                 &g_KeyFlags[KEY_DOWN],
                 true,
                 {1, 1, 0}},
        FlagCase{"HeldKeyStaysHeld", {{WM_KEYDOWN, VK_UP, 0}}, &g_ControlFlags[CTRL_THROTTLE], false, {1, 1, 1}},
        FlagCase{
            "ViewKeyTap", {{WM_KEYDOWN, 'C', 0}, {WM_KEYUP, 'C', 0}}, &g_ControlFlags[CTRL_CHANGE_VIEW], true, {1, 0}},
        FlagCase{
            "ClickBetweenTwoFrames", {{WM_LBUTTONDOWN, 0, 0}, {WM_LBUTTONUP, 0, 0}}, &g_MouseButtons[0], false, {1, 0}},
        FlagCase{"RightClickBetweenTwoFrames",
                 {{WM_RBUTTONDOWN, 0, 0}, {WM_RBUTTONUP, 0, 0}},
                 &g_MouseButtons[1],
                 false,
                 {1, 0}},
        // A key that waits holds back no other key.
        FlagCase{"OtherKeysGoAtOnce",
                 {{WM_KEYDOWN, VK_LEFT, 0}, {WM_KEYUP, VK_LEFT, 0}, {WM_KEYDOWN, VK_RIGHT, 0}},
                 &g_KeyFlags[KEY_RIGHT],
                 false,
                 {1, 1}}),
    [](const ::testing::TestParamInfo<FlagCase>& info) { return std::string(info.param.name); });

TEST_F(InputPacingTest, TwoQuickDownTapsMoveTheFocusTwice)
{
    g_MainMenu.active = 1;
    g_MainMenu.SetState(MENU_OPTIONS);
    ASSERT_EQ(g_MainMenu.focused, &g_MainMenu.graphicsButton);
    Between(Join({Tap(VK_DOWN), Tap(VK_DOWN)}));
    for (int frame = 0; frame < 4; ++frame)
        SlowFrame();
    EXPECT_EQ(g_MainMenu.focused, &g_MainMenu.controlsButton);
}

TEST_F(InputPacingTest, ThreeQuickClicksOnAnArrowStepThreeModels)
{
    g_MainMenu.active = 1;
    g_MainMenu.SetState(MENU_MOTORCYCLE);
    g_Career.motorcycle = 0;
    float l, t, r, b;
    const CMenuButton& next = g_MainMenu.nextButton;
    next.TextBox(next.scale, &l, &t, &r, &b);
    const int x = (int)((l + r) / 2.0f), y = (int)((t + b) / 2.0f - 2.0f);
    // All three within one frame: each press and release waits its turn,
    // and each press waits behind the latch of the one before.
    Between(Join({Click(x, y), Click(x, y), Click(x, y)}));
    for (int frame = 0; frame < 8; ++frame)
        SlowFrame();
    EXPECT_EQ(g_Career.motorcycle, 3);
    EXPECT_EQ(g_MainMenu.state, MENU_MOTORCYCLE);
}

TEST_F(InputPacingTest, ADoubleClickOnOkBuysTwoUpgrades)
{
    g_Career.upgradePoints = 2;
    for (int i = 0; i < 3; ++i)
        g_Career.upgradeLevel[i] = 1;
    g_MainMenu.active = 1;
    g_MainMenu.SetState(MENU_UPGRADE);
    float l, t, r, b;
    const CMenuButton& ok = g_MainMenu.upgradeOkButton;
    ok.TextBox(ok.scale, &l, &t, &r, &b);
    const int x = (int)((l + r) / 2.0f), y = (int)((t + b) / 2.0f - 2.0f);
    // The second click comes while the first is latched; the page the
    // first purchase enters again keeps it.
    Between(Join({Click(x, y), Click(x, y)}));
    for (int frame = 0; frame < 6; ++frame)
        SlowFrame();
    EXPECT_EQ(g_Career.upgradesBought, 2);
    EXPECT_EQ(g_Career.upgradeLevel[0], 3);
    EXPECT_EQ(g_Career.upgradePoints, 0);
    EXPECT_EQ(g_MainMenu.state, MENU_CAREER);
}

TEST_F(InputPacingTest, EveryTypedCharacterAndBackspaceReachesTheNameInOrder)
{
    g_MainMenu.active = 1;
    g_MainMenu.SetState(MENU_PROFILES);   // no profile yet: the name page
    ASSERT_EQ(g_MainMenu.state, MENU_NEW_PROFILE);
    ASSERT_STREQ(g_PlayerName, "Player");

    // Six Backspaces within one frame clear the six letters.
    std::vector<Message> gap;
    for (int i = 0; i < 6; ++i)
        gap = Join({gap, Tap(VK_BACK)});
    Between(gap);
    for (int frame = 0; frame < 8; ++frame)
        SlowFrame();
    EXPECT_STREQ(g_PlayerName, "");

    // Three characters within one frame, a fourth, a Backspace and a fifth in
    // the next; then the rest with Enter right after the last character.
    auto typed = [](const char* text) {
        std::vector<Message> m;
        for (const char* p = text; *p; ++p)
        {
            const WPARAM vk = (WPARAM)(*p >= 'a' && *p <= 'z' ? *p - 'a' + 'A' : *p);
            m.push_back({WM_KEYDOWN, vk, 0});
            m.push_back({WM_CHAR, (WPARAM)(unsigned char)*p, 1});
            m.push_back({WM_KEYUP, vk, 0});
        }
        return m;
    };
    Between(typed("Ros"));
    SlowFrame();
    Between(Join({typed("x"), Tap(VK_BACK), typed("a")}));
    SlowFrame();
    Between(Join({typed(" Nova"), Tap(VK_RETURN)}));
    for (int frame = 0; frame < 20 && g_MainMenu.state == MENU_NEW_PROFILE; ++frame)
        SlowFrame();
    EXPECT_STREQ(g_PlayerName, "Rosa Nova");
    EXPECT_EQ(g_MainMenu.state, MENU_MOTORCYCLE) << "Enter came after the last character";
    EXPECT_EQ(g_TextInput, 0);
}

// The upgrade page with points to spend and the mouse resting on OK, so the
// keys press OK and every press that fires buys an upgrade; frames at a
// given rate, each seeing the key events that came before it.
class HeldKeyTest : public InputPacingTest
{
protected:
    void SetUp() override
    {
        InputPacingTest::SetUp();
        g_Career.upgradePoints = 30;
        for (int i = 0; i < 3; ++i)
            g_Career.upgradeLevel[i] = 1;
        g_MainMenu.active = 1;
        g_MainMenu.SetState(MENU_UPGRADE);
        PointAt(g_MainMenu.upgradeOkButton);
    }

    // An SDL key event as the window layer hands it to the procedure.
    static void SdlKey(bool down, SDL_Keycode key, bool repeat)
    {
        SDL_Event e;
        std::memset(&e, 0, sizeof e);
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = repeat ? 1 : 0;
        e.key.keysym.sym = key;
        MSG out[2];
        const int n = TranslateSdlEvent(e, nullptr, out, 2);
        for (int i = 0; i < n; ++i)
            WndProc(out[i].hwnd, out[i].message, out[i].wParam, out[i].lParam);
    }

    // Runs frames at `fps` until `untilMs`, giving each event before the
    // first frame that ends after its time; returns the frame of every
    // purchase (frame k ends (k + 1) frames after the start).
    static std::vector<int> Run(int fps, std::vector<std::pair<double, std::function<void()>>> events, double untilMs)
    {
        std::vector<int> bought;
        const double frameMs = 1000.0 / fps;
        size_t next = 0;
        for (int frame = 0; (frame + 1) * frameMs <= untilMs; ++frame)
        {
            while (next < events.size() && events[next].first < (frame + 1) * frameMs)
                events[next++].second();
            const int before = g_Career.upgradesBought;
            Frame(1.0f / (float)fps);
            InputFrameDone();
            for (int n = before; n < g_Career.upgradesBought; ++n)
                bought.push_back(frame);
        }
        return bought;
    }

    // The frame before which an event at `ms` is given.
    static int FrameOf(int fps, double ms) { return (int)std::floor(ms * fps / 1000.0); }
};

class HeldEnterTest : public HeldKeyTest, public ::testing::WithParamInterface<int>
{};

TEST_P(HeldEnterTest, FiresNoFasterThanTheLatchAndNotAfterTheRelease)
{
    const int fps = GetParam();
    // Enter held 1.5 s; the key repeats after 500 ms, 30 times a second.
    const double releaseMs = 1500.0;
    std::vector<std::pair<double, std::function<void()>>> events;
    events.push_back({0.0, [] { SdlKey(true, SDLK_RETURN, false); }});
    for (double t = 500.0; t < releaseMs; t += 1000.0 / 30.0)
        events.push_back({t, [] { SdlKey(true, SDLK_RETURN, true); }});
    events.push_back({releaseMs, [] { SdlKey(false, SDLK_RETURN, false); }});
    const std::vector<int> bought = Run(fps, events, releaseMs + 1500.0);

    ASSERT_FALSE(bought.empty());
    // The frames the key's first press takes to fire: the latch.
    const int latchFrames = bought[0];
    ASSERT_GE(latchFrames, 1) << "never in the frame of the press";
    const int releaseFrame = FrameOf(fps, releaseMs);
    int whileHeld = 0, afterRelease = 0;
    for (size_t i = 0; i < bought.size(); ++i)
    {
        // Each repeat's press latches only in a frame after the last one
        // fired, and fires a latch later.
        if (i > 0)
        {
            EXPECT_GE(bought[i] - bought[i - 1], latchFrames + 1)
                << "purchase " << i << " at frame " << bought[i] << " after one at frame " << bought[i - 1];
        }
        if (bought[i] < releaseFrame)
            ++whileHeld;
        else
        {
            ++afterRelease;
            // Only the press latched before the release may still fire.
            EXPECT_LE(bought[i], releaseFrame + latchFrames + 1) << "purchase " << i;
        }
    }
    EXPECT_GE(whileHeld, 3) << "a held key presses again whenever the latch is free";
    EXPECT_LE(afterRelease, 1);
    EXPECT_EQ(g_MainMenu.upgradeOkButton.pressed, 0);
    EXPECT_EQ(g_MainMenu.upgradeOkButton.pressWaiting, 0);
}

INSTANTIATE_TEST_SUITE_P(FramesASecond, HeldEnterTest, ::testing::Values(7, 20, 60),
                         [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param); });

// Quick separate taps of Enter on OK, none of them a repeat.
struct TapCase
{
    const char* name;
    int fps;
    int taps;
    bool allInOneGap;   // else one tap before each frame
    int bought;
};

void PrintTo(const TapCase& c, std::ostream* os)
{
    *os << c.name;
}

class QuickTapsTest : public HeldKeyTest, public ::testing::WithParamInterface<TapCase>
{};

TEST_P(QuickTapsTest, UpToThreeWaitBehindALatchAndNoneIsLostAt7)
{
    const TapCase& c = GetParam();
    std::vector<std::pair<double, std::function<void()>>> events;
    const double frameMs = 1000.0 / c.fps;
    for (int i = 0; i < c.taps; ++i)
    {
        const double at = c.allInOneGap ? 0.0 : i * frameMs;
        events.push_back({at, [] { SdlKey(true, SDLK_RETURN, false); }});
        events.push_back({at, [] { SdlKey(false, SDLK_RETURN, false); }});
    }
    Run(c.fps, events, 3000.0);
    EXPECT_EQ(g_Career.upgradesBought, c.bought);
}

INSTANTIATE_TEST_SUITE_P(Cases, QuickTapsTest,
                         ::testing::Values(
                             // At 7 frames a second each frame sees one tap and fires the one
                             // before, so no tap is lost however quick.
                             TapCase{"FiveTapsBetweenTwoFramesAt7", 7, 5, true, 5},
                             // At 60 a latch lasts several frames: the press latched and three
                             // behind it fire, the fifth press within the latch is dropped.
                             TapCase{"FiveTapsInFiveFramesAt60", 60, 5, false, 4},
                             TapCase{"FourTapsInFourFramesAt60", 60, 4, false, 4}),
                         [](const ::testing::TestParamInfo<TapCase>& info) { return std::string(info.param.name); });

}   // namespace
