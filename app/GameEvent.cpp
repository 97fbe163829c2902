// The running game event and its states. Each wait reads the clock its event
// needs: the game clock where slow motion and pauses should stretch it, the
// real clock where a fade must end whatever the game's speed.
#include "app/GameEvent.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "app/Game.h"
#include "audio/AudioManager.h"
#include "common/MathUtil.h"
#include "core/CareerData.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/RaceState.h"
#include "core/RunFlags.h"
#include "interface/GameHUD.h"
#include "interface/MainMenu.h"
#include "platform/os/Rand.h"
#include "racers/HumanObject.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/D3DRender.h"
#include "world/Landscape.h"

CGameEvent g_GameEvent;

namespace
{

const D3DXCOLOR kBlack(0.0f, 0.0f, 0.0f, 1.0f);
const D3DXCOLOR kRespawnColour(0.5f, 0.1f, 0.0f, 1.0f);
const float kSlowMotion = 0.4f;

CCamera& Camera()
{
    return g_Views.activeCamera ? *g_Views.activeCamera : g_Views.mainCamera;
}

D3DXVECTOR3 Vec(const float* p)
{
    return D3DXVECTOR3(p[0], p[1], p[2]);
}

// A race path point by an index held to the path; the path must have a point.
D3DXVECTOR3 PathPoint(int i)
{
    return Vec(g_RacePath[std::max(0, std::min(g_RacePathCount - 1, i))]);
}

bool HavePath()
{
    return g_RacePath && g_RacePathCount >= 1;
}

bool GameAfter(unsigned start, float seconds)
{
    return g_Clock.GameSecondsSince(start) >= seconds;
}

bool RealAfter(unsigned start, float seconds)
{
    return g_Clock.RealSecondsSince(start) >= seconds;
}

// The menu page after a race: the main page after a quick race; in a career
// the upgrade page while there are points to spend, else the career page.
int MenuAfterRace()
{
    if (!g_CareerMode)
        return MENU_MAIN;
    return int(g_Career.upgradePoints) > 0 ? MENU_UPGRADE : MENU_CAREER;
}

// The career starts over: its results are cleared and it is saved closed;
// what was opened and bought stays.
void ResetCareerResults()
{
    g_Career.totalScore = 0.0f;
    std::fill(std::begin(g_Career.place), std::end(g_Career.place), 0);
    std::fill(std::begin(g_Career.raceTime), std::end(g_Career.raceTime), 0.0f);
    g_MainMenu.SaveProfile(1);
}

}   // namespace

int CGameEvent::Init()
{
    Clear();
    return 1;
}

void CGameEvent::Clear()
{
    code = GEVENT_NONE;
    state = 0;
    for (int& s : lastShots)
        s = 0;
    startTime = 0;
    lastJumpTime = 0;
    shotLength = 0.0f;
    vehicle = nullptr;
    argument = 0;
}

void CGameEvent::Post(int eventCode, CVehicleObject* motorcycle, int eventArgument)
{
    // A jump shot's slow motion must not outlive the shot: a finish or a
    // respawn in mid-air would otherwise carry it into the result screen, the
    // menu and the next race.
    if (code == GEVENT_JUMP_CAMERA && state == 1 && !g_Clock.IsPaused())
        g_Clock.m_TimeScale = 1.0f;
    code = eventCode;
    vehicle = motorcycle;
    argument = eventArgument;
    state = 0;
    startTime = g_Clock.GameTimeMs();
    shotLength = 0.0f;
    for (int& s : lastShots)
        s = -1;
}

void CGameEvent::Update()
{
    switch (code)
    {
    case GEVENT_RACE_START:
        RaceStart();
        break;
    case GEVENT_RACE_FINISH:
        RaceFinish();
        break;
    case GEVENT_RESPAWN:
        Respawn();
        break;
    case GEVENT_JUMP_CAMERA:
        JumpCamera();
        break;
    case GEVENT_SPECTATOR:
        Spectator();
        break;
    case GEVENT_TO_MENU:
        ToMenu();
        break;
    case GEVENT_RESTART:
        Restart();
        break;
    case GEVENT_CAREER_RESET:
        CareerReset();
        break;
    default:
        break;
    }
}

void CGameEvent::RaceStart()
{
    CCamera& camera = Camera();
    if (state == 0)
    {
        g_Vehicles.CreateGrid();
        g_AudioManager.StopAllEffects();
        if (!vehicle || !g_PlayerVehicle)
        {
            // Nothing to start (the area did not load).
            Post(GEVENT_NONE, nullptr, 0);
            return;
        }
        if (!g_MainMenu.active)
        {
            g_AudioManager.PlayMusic(1, nullptr, 0, 100.0f);
            g_AudioManager.musicVolume = 75.0f;
            camera.SetMode(VIEWMODE_CHASE_NEAR, nullptr);
            const D3DXVECTOR3 centre = Vec(g_PlayerVehicle->worldCentre);
            const D3DXVECTOR3 up(0, 1, 0);
            const int routeCount = g_Landscape.routePos ? g_Landscape.routeCount : 0;
            if (routeCount > 0)
            {
                // From high over the route's start (low over its end for a
                // reverse row) down to just behind the player.
                const bool reverse =
                    g_CurrentRace >= 0 && g_CurrentRace < RACE_ROWS && g_RaceTable.reverse[g_CurrentRace];
                const int i = std::max(0, std::min(routeCount - 1, reverse ? routeCount - 4 : 2));
                const D3DXVECTOR3 start = Vec(g_Landscape.routePos[i]) + D3DXVECTOR3(0, reverse ? 2.0f : 8.0f, 0);
                camera.Set(&start, &centre, &up);
            }
            if (HavePath())
            {
                D3DXVECTOR3 along;
                VecNormalize(along, PathPoint(1) - PathPoint(0));
                const D3DXVECTOR3 behind = PathPoint(0) - along * 6.0f + D3DXVECTOR3(0, 1, 0);
                camera.MoveTo(&behind, &centre, 8.0f, nullptr, 0.0f, 0);
            }
            camera.FadeIn(2.0f, 1);
        }
        ConsumeControl(CTRL_BACK_VIEW);
        startTime = g_Clock.GameTimeMs();
        state = 1;
        // Behind the menu there is no camera move to wait for.
        if (g_MainMenu.active)
            startTime -= 8000;
        return;
    }
    if (state == 1 && GameAfter(startTime, 8.0f))
    {
        camera.SetMode(camera.lastPlayerMode, vehicle);
        g_Vehicles.StartRace();
        if (g_MainMenu.active)
            Post(GEVENT_SPECTATOR, g_PlayerVehicle, 0);
        else
            Post(GEVENT_NONE, nullptr, 0);
    }
}

void CGameEvent::RaceFinish()
{
    CCamera& camera = Camera();
    if (state == 0)
    {
        if (!g_GameHUD.resultOpen && !g_GameHUD.resultDismissed)
        {
            // The finished race goes on under autopilot behind the results.
            g_GameHUD.ShowRaceResult(1);
            Post(GEVENT_SPECTATOR, vehicle, 0);
            return;
        }
        const int choice = g_GameHUD.resultChoice;
        if (choice == 0 || choice == 1)
        {
            camera.FadeOut(2.0f, 1, kBlack);
            startTime = g_Clock.GameTimeMs();
            state = choice == 0 ? 1 : 2;
        }
        return;
    }
    if (!GameAfter(startTime, 2.0f))
        return;
    g_GameHUD.resultDismissed = 0;
    if (state == 1)
    {
        camera.FadeIn(1.0f, 1);
        g_MainMenu.Show(MenuAfterRace());
        g_Vehicles.EndRace();
        Post(GEVENT_SPECTATOR, g_PlayerVehicle, 0);
        g_AudioManager.StopAllEffects();
    }
    else if (state == 2)
        Post(GEVENT_RACE_START, g_PlayerVehicle, 0);
}

void CGameEvent::Respawn()
{
    CCamera& camera = Camera();
    if (state == 0)
    {
        camera.FadeOut(0.5f, 0, kRespawnColour);
        startTime = g_Clock.GameTimeMs();
        state = 1;
        return;
    }
    // On the game clock: a pause holds the respawn behind its fade.
    if (!GameAfter(startTime, 0.5f))
        return;
    if (g_PlayerVehicle)
        g_PlayerVehicle->Respawn();
    camera.FadeIn(0.5f, 0);
    Post(GEVENT_NONE, nullptr, 0);
}

void CGameEvent::JumpCamera()
{
    CCamera& camera = Camera();
    CVehicleObject* v = vehicle;
    if (!v || !HavePath())
    {
        Post(GEVENT_NONE, nullptr, 0);
        return;
    }
    if (state == 0)
    {
        // At most one jump shot in 30 s of game time.
        if (lastJumpTime != 0 && !GameAfter(lastJumpTime, 30.0f))
        {
            Post(GEVENT_NONE, nullptr, 0);
            return;
        }
        lastJumpTime = g_Clock.GameTimeMs();
        const D3DXVECTOR3 centre = Vec(v->worldCentre);
        const D3DXVECTOR3 ahead = PathPoint(v->PathPoint + 4);
        const D3DXVECTOR3 up(0, 1, 0);
        D3DXVECTOR3 side;
        if (GameRand() % 2 == 0)
            VecCrossNormal(side, centre, ahead, up);
        else
            VecCrossNormal(side, ahead, centre, up);
        D3DXVECTOR3 shotEye = ahead + side * 6.0f;
        const float p[3] = {shotEye.x, shotEye.y, shotEye.z};
        shotEye.y = g_Landscape.GetHeight(p) + 1.0f + (float)(GameRand() % 201) * 0.01f;
        camera.MoveTo(&shotEye, &centre, 2.0f, nullptr, 0.0f, 0);
        g_Game.UpdateVisibility();
        g_Clock.m_TimeScale = kSlowMotion;
        startTime = g_Clock.RealTimeMs();
        state = 1;
        return;
    }
    g_Render.blurAmount = 1.0f;
    // Real time, so the slow motion does not stretch the shot to 10 s.
    if (!v->Airborne || v->WheelsOnGround >= 2 || g_Clock.RealSecondsSince(startTime) > 4.0f)
    {
        camera.SetMode(camera.lastPlayerMode, v);
        g_Clock.m_TimeScale = 1.0f;
        Post(GEVENT_NONE, nullptr, 0);
    }
}

void CGameEvent::ChooseShot()
{
    int shot = SHOT_ORBIT;
    if (lastShots[0] != -1)
    {
        do
            shot = GameRand() % 6 + SHOT_ONBOARD;
        while (shot == lastShots[0] || shot == lastShots[1] || shot == lastShots[2]);
    }
    lastShots[2] = lastShots[1];
    lastShots[1] = lastShots[0];
    lastShots[0] = shot;
    ConsumeControl(CTRL_BACK_VIEW);
    state = shot;
}

void CGameEvent::Spectator()
{
    g_Render.blurAmount = 1.0f;
    CCamera& camera = Camera();
    CVehicleObject* v = vehicle;
    if (!v)
    {
        Post(GEVENT_NONE, nullptr, 0);
        return;
    }
    switch (state)
    {
    case SHOT_CHOOSE:
        camera.SnapChase();
        startTime = g_Clock.GameTimeMs();
        ChooseShot();
        break;
    case SHOT_ONBOARD:
    case SHOT_ONBOARD_BACK:
    case SHOT_CHASE_FAR:
    case SHOT_CHASE_FAR_BACK:
    {
        if (state == SHOT_ONBOARD_BACK || state == SHOT_CHASE_FAR_BACK)
            PressControl(CTRL_BACK_VIEW);
        // Not from the eye of a motorcycle that is down (its rider thrown
        // off, or itself lying far over on its side): its eye looks into the
        // ground. The far chase instead, as a fall on board gives the player.
        const bool down = (v->Rider && v->Rider->RagDoll) || std::fabs(v->world._22) < 0.5f;
        camera.SetMode(state <= SHOT_ONBOARD_BACK && !down ? VIEWMODE_ONBOARD : VIEWMODE_CHASE_FAR, v);
        camera.SnapChase();
        shotLength = 4.0f;
        state = SHOT_WAIT;
        break;
    }
    case SHOT_ORBIT:
    {
        const float f = (float)(GameRand() % 101) * 0.005f + 0.5f;
        const float d = (float)(GameRand() % 6 + 3);
        float spin = (float)(GameRand() % 51) * 0.01f + 0.25f;
        if (GameRand() % 101 < 50)
            spin = -spin;
        const D3DXVECTOR3 offset(d, d * f, d), at = Vec(v->Position), axis(0, 1, 0);
        camera.MoveTo(&offset, &at, 0.0f, &axis, spin, 1);
        shotLength = 4.0f;
        state = SHOT_WAIT;
        break;
    }
    case SHOT_ROADSIDE:
        RoadsideShot();
        shotLength = 4.0f;
        state = SHOT_WAIT;
        break;
    case SHOT_WAIT:
        if (g_Clock.GameSecondsSince(startTime) > shotLength)
            state = SHOT_CHOOSE;
        break;
    default:
        state = SHOT_CHOOSE;
        break;
    }
}

void CGameEvent::RoadsideShot()
{
    CCamera& camera = Camera();
    CVehicleObject* v = vehicle;
    if (!HavePath() || g_RacePathCount < 2)
        return;
    // Beside the road a little ahead, rising or sinking while the racer
    // passes.
    const int k = std::max(1, std::min(v->PathPoint + 8, g_RacePathCount - 1));
    D3DXMATRIX frame;
    MatrixFromPosTargetUp(frame, PathPoint(k - 1), PathPoint(k), D3DXVECTOR3(0, 1, 0));
    const D3DXVECTOR3 side(frame._11, frame._12, frame._13), up(frame._21, frame._22, frame._23);
    D3DXVECTOR3 p = PathPoint(k) + side * (GameRand() % 101 < 50 ? 5.0f : -5.0f);
    p += up * 0.25f;
    const float h = (float)(GameRand() % 101) * 0.01f * 4.0f;
    const D3DXVECTOR3 raised = p + up * h;
    const bool sinking = GameRand() % 101 < 50;
    D3DXVECTOR3 from = sinking ? raised : p, to = sinking ? p : raised;
    // The camera never goes lower than its clearance above the ground; from
    // the first frame on, or that frame would show the verge from within.
    for (D3DXVECTOR3* point : {&from, &to})
    {
        const float at[3] = {point->x, point->y, point->z};
        point->y = std::max(point->y, g_Landscape.GetHeight(at) + CAMERA_GROUND_CLEARANCE);
    }
    const D3DXVECTOR3 at = Vec(v->Position), worldUp(0, 1, 0);
    camera.Set(&from, &at, &worldUp);
    camera.MoveTo(&to, &at, (float)(GameRand() % 101) * 0.02f + 2.0f, nullptr, 0.0f, 0);
}

void CGameEvent::ToMenu()
{
    CCamera& camera = Camera();
    if (state == 0)
    {
        camera.FadeOut(1.0f, 1, kBlack);
        startTime = g_Clock.RealTimeMs();
        state = 1;
        return;
    }
    if (!RealAfter(startTime, 1.0f))
        return;
    ReleaseGame();
    camera.FadeIn(1.0f, 1);
    g_MainMenu.Show(MENU_MAIN);
    g_Vehicles.EndRace();
    Post(GEVENT_SPECTATOR, g_PlayerVehicle, 0);
}

void CGameEvent::Restart()
{
    CCamera& camera = Camera();
    if (state == 0)
    {
        camera.FadeOut(2.0f, 1, kBlack);
        startTime = g_Clock.RealTimeMs();
        state = 1;
        return;
    }
    if (!RealAfter(startTime, 2.0f))
        return;
    camera.SetMode(camera.lastPlayerMode, g_PlayerVehicle);
    ReleaseGame();
    Post(GEVENT_RACE_START, g_PlayerVehicle, 0);
}

void CGameEvent::CareerReset()
{
    CCamera& camera = Camera();
    if (state == 0)
    {
        camera.FadeOut(2.0f, 1, kBlack);
        startTime = g_Clock.RealTimeMs();
        state = 1;
        return;
    }
    if (!RealAfter(startTime, 2.0f))
        return;
    ResetCareerResults();
    g_MainMenu.buttons[BUTTON_CONTINUE_CAREER].enabled = 0;
    camera.FadeIn(1.0f, 1);
    g_MainMenu.Show(MENU_MAIN);
    g_GameHUD.careerComplete = 0;
    // The last career race's result screen was dismissed with no finish
    // event after it to clear the flag: left set, the next race would end
    // without its result screen.
    g_GameHUD.resultDismissed = 0;
    g_Vehicles.EndRace();
    Post(GEVENT_SPECTATOR, g_PlayerVehicle, 0);
}
