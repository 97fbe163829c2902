// Menu widgets: the delayed press, one click for one button, the focus keys
// and what text entry takes away from them.
#include "tests/interface/MenuTestSupport.h"

using menutest::MenuFixture;

namespace
{

class MenuButtonTest : public MenuFixture
{};

TEST_F(MenuButtonTest, ClickFiresOnceAndOnlyAfterATenthOfASecond)
{
    CMenuButton& quick = g_MainMenu.buttons[BUTTON_QUICK_RACE];
    PointAt(quick);
    g_MouseButtons[0] = 1;
    quick.Draw(1);
    EXPECT_EQ(quick.pressed, 1);
    EXPECT_EQ(g_MouseButtons[0], 0) << "the click is consumed";

    EXPECT_EQ(quick.IsPressed(), 0) << "never in the frame of the press";
    AdvanceReal(100.0f);
    EXPECT_EQ(quick.IsPressed(), 0) << "0.1 s is not yet more than 0.1 s";
    AdvanceReal(1.0f);
    EXPECT_EQ(quick.IsPressed(), 1);
    EXPECT_EQ(quick.IsPressed(), 0) << "a press fires once";

    // The mouse button still held: no new click, no new press.
    for (int frame = 0; frame < 5; ++frame)
    {
        quick.Draw(1);
        AdvanceReal(200.0f);
        EXPECT_EQ(quick.IsPressed(), 0);
    }
}

TEST_F(MenuButtonTest, OneClickPressesOnlyTheFirstButtonDrawn)
{
    CMenuButton& first = g_MainMenu.buttons[BUTTON_PROFILES_DONE];
    CMenuButton& second = g_MainMenu.buttons[BUTTON_NAME_DONE];   // same place, same size
    PointAt(first);
    g_MouseButtons[0] = 1;
    first.Draw(1);
    second.Draw(1);
    EXPECT_EQ(first.pressed, 1);
    EXPECT_EQ(second.pressed, 0);
    EXPECT_EQ(second.hovered, 1) << "the second is under the mouse too";
}

TEST_F(MenuButtonTest, DisabledButtonIsNeitherClickedNorPressedByKeys)
{
    CMenuButton& credits = g_MainMenu.buttons[BUTTON_CREDITS];
    ASSERT_EQ(credits.enabled, 0);
    PointAt(credits);
    g_MouseButtons[0] = 1;
    credits.Draw(1);
    EXPECT_EQ(credits.pressed, 0);
    EXPECT_EQ(g_MouseButtons[0], 1) << "the click stays for a button that can take it";

    CMenuButton* list[] = {&credits};
    g_MainMenu.SetFocusList(list, 1, 0);
    g_KeyFlags[KEY_ENTER] = 1;
    g_KeyFlags[KEY_SPACE] = 1;
    g_MainMenu.UpdateMenuKeys();
    EXPECT_EQ(credits.pressed, 0);
    EXPECT_EQ(g_KeyFlags[KEY_ENTER], 0);
    EXPECT_EQ(g_KeyFlags[KEY_SPACE], 0);
}

// Up and Down over a focus list of four, with the given entries disabled.
struct FocusCase
{
    const char* name;
    int enabled[4];
    int start;
    int key;
    int expected;
};

class MenuFocusTest : public MenuFixture, public ::testing::WithParamInterface<FocusCase>
{};

TEST_P(MenuFocusTest, ArrowsWrapAndSkipDisabledEntries)
{
    const FocusCase& c = GetParam();
    CMenuButton* list[4];
    for (int i = 0; i < 4; ++i)
    {
        list[i] = &g_MainMenu.buttons[BUTTON_QUICK_RACE + i];
        list[i]->enabled = c.enabled[i];
    }
    g_MainMenu.SetFocusList(list, 4, c.start);
    g_KeyFlags[c.key] = 1;
    g_MainMenu.UpdateMenuKeys();
    EXPECT_EQ(g_MainMenu.focusIndex, c.expected);
    EXPECT_EQ(g_MainMenu.focused, list[c.expected]);
    EXPECT_EQ(g_KeyFlags[c.key], 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, MenuFocusTest,
                         ::testing::Values(FocusCase{"DownSteps", {1, 1, 1, 1}, 1, KEY_DOWN, 2},
                                           FocusCase{"UpFromFirstWrapsToLast", {1, 1, 1, 1}, 0, KEY_UP, 3},
                                           FocusCase{"DownFromLastWrapsToFirst", {1, 1, 1, 1}, 3, KEY_DOWN, 0},
                                           FocusCase{"DownSkipsDisabled", {1, 0, 0, 1}, 0, KEY_DOWN, 3},
                                           FocusCase{"UpWrapsPastDisabledLast", {1, 1, 1, 0}, 0, KEY_UP, 2},
                                           FocusCase{"DownWrapsPastDisabledFirst", {0, 1, 1, 1}, 3, KEY_DOWN, 1},
                                           FocusCase{"OnlyOneEnabledStays", {0, 0, 1, 0}, 2, KEY_DOWN, 2}),
                         [](const ::testing::TestParamInfo<FocusCase>& info) { return std::string(info.param.name); });

TEST_F(MenuButtonTest, PageWhoseOnlyButtonIsDisabledKeepsItsFocus)
{
    // The name page with an empty name and no other profile.
    g_MainMenu.SetState(MENU_NEW_PROFILE);
    ASSERT_EQ(g_MainMenu.focusCount, 1);
    g_MainMenu.buttons[BUTTON_NAME_DONE].enabled = 0;
    for (int key : {KEY_UP, KEY_DOWN})
    {
        g_KeyFlags[key] = 1;
        g_MainMenu.UpdateMenuKeys();
        EXPECT_EQ(g_MainMenu.focusIndex, 0);
        EXPECT_EQ(g_MainMenu.focused, &g_MainMenu.buttons[BUTTON_NAME_DONE]);
    }
    g_KeyFlags[KEY_ENTER] = 1;
    g_MainMenu.UpdateMenuKeys();
    EXPECT_EQ(g_MainMenu.buttons[BUTTON_NAME_DONE].pressed, 0);
}

TEST_F(MenuButtonTest, ArrowWaitsWhileTheMouseRestsOnTheFocusedButton)
{
    g_MainMenu.SetState(MENU_MAIN);
    CMenuButton& quick = g_MainMenu.buttons[BUTTON_QUICK_RACE];
    PointAt(quick);
    quick.Draw(1);
    g_KeyFlags[KEY_DOWN] = 1;
    g_MainMenu.UpdateMenuKeys();
    EXPECT_EQ(g_MainMenu.focused, &quick);
    EXPECT_EQ(g_KeyFlags[KEY_DOWN], 1) << "kept for when the mouse leaves";

    g_MouseX = g_MouseY = -1000;
    quick.Draw(1);
    g_MainMenu.UpdateMenuKeys();
    EXPECT_EQ(g_MainMenu.focused, &g_MainMenu.buttons[BUTTON_CONTINUE_CAREER]);
}

TEST_F(MenuButtonTest, HoverMovesTheFocusOnlyToButtonsOfTheList)
{
    g_MainMenu.SetState(MENU_MAIN);
    CMenuButton& options = g_MainMenu.buttons[BUTTON_OPTIONS];
    PointAt(options);
    options.Draw(1);
    EXPECT_EQ(g_MainMenu.focused, &options);
    EXPECT_EQ(g_MainMenu.focusIndex, BUTTON_OPTIONS - BUTTON_QUICK_RACE);

    CMenuButton& slot = g_MainMenu.buttons[0];
    slot.enabled = 1;
    PointAt(slot);
    slot.Draw(1);
    EXPECT_EQ(g_MainMenu.focused, &options) << "a profile slot never takes the focus";
}

TEST_F(MenuButtonTest, EveryEnabledButtonOfEveryPageTakesTheFocusOnHoverAndEnterPressesIt)
{
    // Every widget must be tied to the menu, or it would take no focus and
    // no key could press it.
    for (int page : {MENU_NEW_PROFILE, MENU_MAIN, MENU_QUICK_RACE, MENU_CAREER, MENU_NEW_CAREER, MENU_MOTORCYCLE,
                     MENU_UPGRADE, MENU_OPTIONS, MENU_GRAPHICS, MENU_AUDIO, MENU_CONTROLS, MENU_CREDITS, MENU_RECORDS})
    {
        g_MainMenu.SetState(page);
        ASSERT_EQ(g_MainMenu.state, page);
        ASSERT_GT(g_MainMenu.focusCount, 0) << "page " << page;
        for (int i = 0; i < g_MainMenu.focusCount; ++i)
        {
            CMenuButton* entry = g_MainMenu.focusList[i];
            if (!entry->enabled)
                continue;
            PointAt(*entry);
            entry->Draw(1);
            EXPECT_EQ(g_MainMenu.focused, entry) << "page " << page << " entry " << i;
            g_KeyFlags[KEY_ENTER] = 1;
            g_MainMenu.UpdateMenuKeys();
            EXPECT_EQ(entry->pressed, 1) << "page " << page << " entry " << i;
            entry->pressed = 0;
        }
    }
}

TEST_F(MenuButtonTest, SpaceTypedIntoANameDoesNotPressDone)
{
    g_MainMenu.SetState(MENU_NEW_PROFILE);
    ASSERT_EQ(g_TextInput, 1);
    g_KeyFlags[KEY_SPACE] = 1;   // the key flag of the typed space
    g_MainMenu.UpdateMenuKeys();
    EXPECT_EQ(g_MainMenu.buttons[BUTTON_NAME_DONE].pressed, 0);

    // With text entry off, Space is a press key again.
    g_MainMenu.SetState(MENU_MAIN);
    g_TextInput = 0;
    g_KeyFlags[KEY_SPACE] = 1;
    g_MainMenu.UpdateMenuKeys();
    EXPECT_EQ(g_MainMenu.buttons[BUTTON_QUICK_RACE].pressed, 1);
}

TEST_F(MenuButtonTest, ALatchDoesNotSurviveAPageChange)
{
    // Enter during the loading screen latches the focused START!; the
    // latch must not fire when the quick-race page is shown again.
    g_MainMenu.active = 1;
    g_Career.unlocked[0] = 1;   // the chosen combination is open, so START! can be pressed
    g_MainMenu.SetState(MENU_QUICK_RACE);
    g_MainMenu.RequestRaceStart(0);
    g_KeyFlags[KEY_ENTER] = 1;
    g_MainMenu.UpdateMenuKeys();
    ASSERT_EQ(g_MainMenu.quickStartButton.pressed, 1);

    g_MainMenu.Show(MENU_MAIN);
    g_MainMenu.SetState(MENU_QUICK_RACE);
    AdvanceReal(500.0f);
    EXPECT_EQ(g_MainMenu.quickStartButton.IsPressed(), 0);
}

TEST_F(MenuButtonTest, ReadOnlyRowNeverReactsToTheMouse)
{
    CMenuOption& row = g_MainMenu.raceOptions[0];
    PointAt(row.label);
    g_MouseButtons[0] = 1;
    row.DrawReadOnly();
    EXPECT_EQ(row.label.hovered, 0);
    EXPECT_EQ(row.label.pressed, 0);
    row.Draw();
    EXPECT_EQ(row.label.pressed, 1);
}

}   // namespace
