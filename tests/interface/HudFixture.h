#pragma once
// The in-race display on a recording device in a scratch folder (no data:
// its font and pictures are missing, which it survives), the clocks started,
// a player's motorcycle under the keys with its rider on it, the camera
// chasing it, and hooks that note the camera's orbit and the events posted.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/GameEventPost.h"
#include "core/RaceState.h"
#include "core/RunFlags.h"
#include "interface/GameHUD.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/DrawTestSupport.h"
#include "render/Views.h"

namespace hudtest
{

struct Noted
{
    std::vector<int> events;
};

inline Noted& Note()
{
    static Noted noted;
    return noted;
}

class HudFixture : public drawtest::DeviceFixture
{
protected:
    void SetUp() override
    {
        OpenDevice(D3DBackendKind::Recording, 800, 600);
        EnterScratchFolder();
        drawtest::FillDiscFans();
        g_Clock.Init();
        g_Clock.m_RealStep = 0.0f;
        Note() = Noted{};
        // The game's own links are connected once, before the first test;
        // they are put back afterwards for the tests that follow in the same
        // process and run the whole game.
        g_GameEventHooks.post = [](int code, CVehicleObject*, int) { Note().events.push_back(code); };
        g_GameEventHooks.running = nullptr;
        std::memset(g_KeyFlags, 0, sizeof(g_KeyFlags));
        g_Career = CareerData{};
        g_CareerMode = 1;

        m_Player.ControlMode = CONTROL_KEYBOARD;
        m_Player.worldCentre[0] = 10;
        m_Player.worldCentre[1] = 2;
        m_Player.worldCentre[2] = -4;
        g_PlayerVehicle = &m_Player;
        g_Views.activeCamera = nullptr;
        g_Views.mainCamera.viewMode = VIEWMODE_CHASE_NEAR;
        RunGame();

        g_GameHUD = CGameHUD();
        g_GameHUD.Create();
    }

    void TearDown() override
    {
        g_GameHUD.Release();
        g_PlayerVehicle = nullptr;
        g_GameEventHooks = m_SavedEventHooks;
        g_RaceMessageHooks = m_SavedMessageHooks;
        g_Career = CareerData{};
        g_CareerMode = 1;
        g_Views.mainCamera.viewMode = 0;
        ClearRaceBlock();
        std::memset(g_KeyFlags, 0, sizeof(g_KeyFlags));
        LeaveFolder();
        CloseDevice();
    }

    // Advances the game clock as running frames would.
    static void PassGameSeconds(float seconds) { g_Clock.m_GameClock += seconds * 1000.0f; }

    // One display frame with `realStep` seconds of real time.
    static void Frame(float realStep)
    {
        g_Clock.m_RealStep = realStep;
        g_GameHUD.Render();
    }

    CVehicleObject m_Player;
    // The links as the game connected them, put back after the test.
    GameEventHooks m_SavedEventHooks = g_GameEventHooks;
    RaceMessageHooks m_SavedMessageHooks = g_RaceMessageHooks;
};

}   // namespace hudtest
