#pragma once
// A fresh front-end menu on a recording device in a scratch working folder:
// a made-up font whose every printable character is 10 units wide and 20
// high at scale 1 (so text boxes are easy to reckon), hand-set clocks, no
// sound, and the menu's calls to the game and the events caught.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "audio/AudioManager.h"
#include "core/CareerData.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/GameEventPost.h"
#include "core/InputState.h"
#include "core/RaceState.h"
#include "core/Records.h"
#include "core/RunFlags.h"
#include "core/Settings.h"
#include "interface/MainMenu.h"
#include "tests/render/DrawTestSupport.h"

namespace menutest
{

struct Caught
{
    std::vector<int> startedRows;
    std::vector<int> postedEvents;
};

inline Caught& MenuCalls()
{
    static Caught calls;
    return calls;
}

inline void FakeFont(CFont& font)
{
    font = CFont();
    int n = 0;
    for (int c = 32; c < 127; ++c, ++n)
    {
        font.charList[n] = (char)c;
        font.glyphs[n].width = 9.0f;
        font.glyphs[n].height = 19.0f;
        font.glyphs[n].character = (char)c;
        font.charToGlyph[c + 255] = (uint16_t)n;
    }
    font.charCount = n;
    font.cellHeight = 20.0f;
    font.spacing = 1.0f;
    font.scale = 1.0f;
}

class MenuFixture : public drawtest::DeviceFixture
{
protected:
    void SetUp() override
    {
        OpenDevice(D3DBackendKind::Recording, 800, 600);
        EnterScratchFolder();
        g_SoundOn = 0;
        ResetQuit();
        StopGame();
        g_ProfileCounter = 0;
        g_CurrentProfile = -1;
        g_CareerMode = 1;
        std::memset(&g_Career, 0, sizeof(g_Career));
        std::memset(g_QuickRaceOptions, 0, sizeof(g_QuickRaceOptions));   // the career page rewrites them
        std::memset(g_KeyFlags, 0, sizeof(g_KeyFlags));
        std::memset(g_KeyRepeated, 0, sizeof(g_KeyRepeated));
        g_MouseButtons[0] = g_MouseButtons[1] = 0;
        g_MouseX = g_MouseY = -1000;
        g_TextInput = 0;
        g_TextChar = 0;
        std::strcpy(g_PlayerName, "Player");
        g_Clock.m_RealClock = 60000.0f;
        g_Clock.m_GameClock = 60000.0f;
        g_Clock.m_GameStep = 0.0f;
        MenuCalls() = Caught();
        savedMenuHooks = g_MenuHooks;
        savedEventHooks = g_GameEventHooks;
        g_MenuHooks.startRace = [](int row) {
            MenuCalls().startedRows.push_back(row);
            return 1;
        };
        g_GameEventHooks.post = [](int code, CVehicleObject*, int) { MenuCalls().postedEvents.push_back(code); };
        g_GameEventHooks.running = nullptr;

        g_MainMenu = CMainMenu();
        FakeFont(g_MainMenu.menuFont);
        g_MainMenu.SetWidgets();
    }

    void TearDown() override
    {
        g_MenuHooks = savedMenuHooks;
        g_GameEventHooks = savedEventHooks;
        g_MainMenu = CMainMenu();
        g_TextInput = 0;
        LeaveFolder();
        CloseDevice();
    }

    // Real time on by ms (the press delay runs on it).
    static void AdvanceReal(float ms) { g_Clock.m_RealClock += ms; }

    // One frame as the game runs it: the menu drawn, then updated, with
    // `seconds` of game time.
    static void Frame(float seconds = 0.0f)
    {
        g_Clock.m_GameStep = seconds;
        g_Clock.m_RealClock += seconds * 1000.0f;
        g_Clock.m_GameClock += seconds * 1000.0f;
        g_MainMenu.Render();
        g_MainMenu.Update();
    }

    // Mouse on the centre of the button's line.
    static void PointAt(const CMenuButton& b)
    {
        float l, t, r, bottom;
        b.TextBox(b.scale, &l, &t, &r, &bottom);
        g_MouseX = (int)((l + r) / 2.0f);
        g_MouseY = (int)((t + bottom) / 2.0f - 2.0f);
    }

    MenuHooks savedMenuHooks;
    GameEventHooks savedEventHooks;
};

}   // namespace menutest
