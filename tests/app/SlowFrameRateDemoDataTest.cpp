// The game played at the frame rates it really runs at on a software
// renderer: the real program on the demo data, its clock stepped 7 or 20
// frames a second, and the player's keys, typing and clicks coming as SDL
// events at a player's pace in between. Name entry, the motorcycle page's
// arrows, the menu's arrow keys and the keys of a race must each count every
// press.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/Game.h"
#include "app/GameEvent.h"
#include "core/CareerData.h"
#include "core/Records.h"
#include "core/RunFlags.h"
#include "interface/GameHUD.h"
#include "interface/MainMenu.h"
#include "tests/support/Paths.h"
#include "play/PlaySession.h"
#include "tests/support/TempFolder.h"

namespace
{

// What the player does, at milliseconds from the start of a stretch of play.
struct Timed
{
    double at;
    std::function<void()> give;
};

class SlowFrameRateDemoDataTest : public ::testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.Make("slowframes_"));
        const std::string data = testsupport::DemoDataDir() + "/Data";
        ASSERT_EQ(symlink(data.c_str(), (folder.path() + "/Data").c_str()), 0) << data;
        // A start counter of this folder's own.
        const std::string run = folder.path() + "/run";
        ASSERT_EQ(mkdir(run.c_str(), 0700), 0);
        setenv("XDG_RUNTIME_DIR", run.c_str(), 1);
        ASSERT_TRUE(session.Start(folder.path(), play::Device::Recording)) << session.Error();
        session.SetFrameRate(GetParam());
    }
    void TearDown() override { session.End(); }

    double MsPerFrame() const { return 1000.0 / GetParam(); }
    int FramesFor(double seconds) const { return (int)(seconds * GetParam()) + 1; }

    // The player's actions given as they fall due between the frames, then
    // `after` seconds more of frames.
    void Play(std::vector<Timed> plan, double after)
    {
        std::stable_sort(plan.begin(), plan.end(), [](const Timed& a, const Timed& b) { return a.at < b.at; });
        const double start = session.ClockMs();
        size_t next = 0;
        while (next < plan.size())
        {
            // Everything due before the next frame's clock arrives before it.
            const double frameAt = session.ClockMs() + MsPerFrame() - start;
            while (next < plan.size() && plan[next].at <= frameAt)
                plan[next++].give();
            ASSERT_TRUE(session.Frame());
        }
        session.Frames(FramesFor(after));
    }

    // A key tapped at `at`, held `hold` ms.
    std::vector<Timed> Tap(int key, double at, double hold)
    {
        return {{at, [this, key] { session.KeyDown(key); }}, {at + hold, [this, key] { session.KeyUp(key); }}};
    }
    std::vector<Timed> Click(const CMenuButton& b, double at, double hold)
    {
        float l, t, r, bottom;
        b.TextBox(b.scale, &l, &t, &r, &bottom);
        const float x = (l + r) / 2.0f, y = (t + bottom) / 2.0f - 2.0f;
        return {{at, [this, x, y] { session.MoveMouse(x, y); }},
                {at, [this, x, y] { session.MouseButton(true, x, y); }},
                {at + hold, [this, x, y] { session.MouseButton(false, x, y); }}};
    }
    static void Add(std::vector<Timed>& plan, const std::vector<Timed>& more)
    {
        plan.insert(plan.end(), more.begin(), more.end());
    }
    static std::vector<Timed> Join(std::vector<Timed> a, const std::vector<Timed>& b)
    {
        Add(a, b);
        return a;
    }

    TempFolder folder;
    play::Session session;
};

TEST_P(SlowFrameRateDemoDataTest, MenusNameEntryAndRaceKeysCountEveryPress)
{
    ASSERT_TRUE(session.Until([] { return g_MainMenu.state == MENU_NEW_PROFILE; }, FramesFor(10)));
    session.Frames(FramesFor(2.5));   // the page fades in
    ASSERT_STREQ(g_PlayerName, "Player");

    // Six Backspaces 100 ms apart, then "Rosa Nova" at 150 ms a key, each
    // key held 60 ms, and Enter.
    std::vector<Timed> plan;
    double t = 0;
    for (int i = 0; i < 6; ++i, t += 100)
        Add(plan, Tap(SDLK_BACKSPACE, t, 40));
    const std::string name = "Rosa Nova";
    for (char c : name)
    {
        const int key = c == ' ' ? SDLK_SPACE : (c | 0x20);
        Add(plan, {{t, [this, key] { session.KeyDown(key); }},
                   {t, [this, c] { session.TypeChar(c); }},
                   {t + 60, [this, key] { session.KeyUp(key); }}});
        t += 150;
    }
    Add(plan, Tap(SDLK_RETURN, t, 60));
    Play(plan, 1.0);
    EXPECT_STREQ(g_PlayerName, name.c_str());
    ASSERT_EQ(g_MainMenu.state, MENU_MOTORCYCLE);

    // Three quick clicks on >>>, 150 ms apart, each held 50 ms.
    const int model = g_Career.motorcycle;
    plan.clear();
    for (int i = 0; i < 3; ++i)
        Add(plan, Click(g_MainMenu.nextButton, 150.0 * i, 50));
    Play(plan, 1.0);
    EXPECT_EQ(g_Career.motorcycle, (model + 3) % 4);
    Play(Click(g_MainMenu.motorcycleOkButton, 0, 50), 1.0);
    ASSERT_EQ(g_MainMenu.state, MENU_MAIN);

    // Two Down taps 60 ms apart on the main page: the focus moves twice.
    session.MoveMouse(10, 590);   // the mouse off every button
    session.Frames(2);
    const int before = g_MainMenu.focusIndex;
    Play(Join(Tap(SDLK_DOWN, 0, 25), Tap(SDLK_DOWN, 60, 25)), 0.5);
    int expected = before;
    for (int moves = 0; moves < 2;)
    {
        expected = (expected + 1) % g_MainMenu.focusCount;
        if (g_MainMenu.focusList[expected]->enabled)
            ++moves;
    }
    EXPECT_EQ(g_MainMenu.focusIndex, expected);

    // A quick race; in it a quick tap of C changes the view, and Esc tapped
    // twice in quick succession opens the pause menu and closes it again.
    Play(Click(g_MainMenu.buttons[BUTTON_QUICK_RACE], 0, 50), 1.0);
    ASSERT_EQ(g_MainMenu.state, MENU_QUICK_RACE);
    Play(Click(g_MainMenu.quickStartButton, 0, 50), 0.5);
    ASSERT_TRUE(session.Until([] { return !g_MainMenu.active; }, FramesFor(10)));
    ASSERT_TRUE(session.Until([] { return g_GameEvent.code != GEVENT_RACE_START; }, FramesFor(40)));
    session.Frames(FramesFor(1));
    const int view = g_Views.mainCamera.viewMode;
    Play(Tap(SDLK_c, 0, 30), 0.5);
    EXPECT_NE(g_Views.mainCamera.viewMode, view) << "a tap of C shorter than a frame";
    Play(Tap(SDLK_ESCAPE, 0, 30), 0.0);
    EXPECT_EQ(g_GameHUD.menuMode, HUDMENU_PAUSE);
    // The pause menu takes its keys once it has faded in.
    ASSERT_TRUE(session.Until([] { return g_GameHUD.overlayAlpha >= 1.0f; }, FramesFor(5)));
    Play(Join(Tap(SDLK_DOWN, 0, 20), Tap(SDLK_DOWN, 40, 20)), 0.5);
    EXPECT_EQ(g_GameHUD.pauseItem, 2) << "two Down taps within one frame in the pause menu";
    Play(Tap(SDLK_ESCAPE, 0, 30), 0.5);
    EXPECT_EQ(g_GameHUD.menuMode, HUDMENU_CLOSED);
}

INSTANTIATE_TEST_SUITE_P(FramesASecond, SlowFrameRateDemoDataTest, ::testing::Values(7, 20),
                         [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param); });

}   // namespace
