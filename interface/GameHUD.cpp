// The in-race display's record: the one display object with its texts and
// links, the fades and colours every panel shares, the readouts' condition,
// and holding the race with the camera's orbit around the player.
// GameHUDFrame.cpp runs it.
#include "interface/GameHUD.h"

#include <algorithm>
#include <cmath>

#include "audio/GameSound.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/RaceState.h"
#include "core/RunFlags.h"
#include "platform/os/Rand.h"
#include "racers/HumanObject.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/Views.h"

CGameHUD g_GameHUD;

const char* const g_PauseItems[3] = {"TERMINATE RACE", "RESTART RACE", "CONTINUE"};
const char* const g_HelpRows[10][2] = {
    {"Acceleration :", " up arrow"}, {"Brake :", " down arrow"},    {"Turn left :", " left arrow"},
    {"Turn right :", " rigt arrow"}, {"Full brake :", " space"},    {"Jump :", " TAB"},
    {"Kick to the left :", " Q"},    {"Kick to the right :", " W"}, {"Back view :", " E"},
    {"Change view :", " C"},
};

namespace
{

CCamera& ActiveCamera()
{
    return g_Views.activeCamera ? *g_Views.activeCamera : g_Views.mainCamera;
}

}   // namespace

float HudFade(float fade, int on, float step)
{
    if (on)
        return std::min(1.0f, fade + 2.5f * step);
    return std::max(0.0f, fade - 2.5f * step);
}

int HudAlpha(float fade)
{
    return int(std::min(1.0f, std::max(0.0f, fade)) * 254.0f);
}

int HudColourByte(float c)
{
    if (!std::isfinite(c) || std::fabs(c) > 1000.0f)
        return 0;
    return int(c * 255.0f) & 0xFF;
}

DWORD HudColour(const D3DXCOLOR& c, int alpha)
{
    return D3DCOLOR_ARGB(alpha & 0xFF, HudColourByte(c.r), HudColourByte(c.g), HudColourByte(c.b));
}

int HudRaceRow()
{
    return (g_CurrentRace >= 0 && g_CurrentRace < RACE_ROWS) ? g_CurrentRace : RACE_QUICK_ROW;
}

CGameHUD::CGameHUD()
{
    for (D3DXCOLOR& c : lineColours)
        c = D3DXCOLOR(1.0f, 1.0f, 1.0f, 1.0f);
    cursor.visible = 0;
    iconsTexture = -1;
    hintCount = g_HintCount;
    racerNames = g_RacerNames;
    rowSound = pointsSound = fillSound = upgradeSound = moveSound = pressSound = nullptr;
}

void CGameHUD::PlaySound(CGameSound* sound)
{
    if (sound)
        sound->Play(0);
}

int CGameHUD::ReadoutsShown() const
{
    const CVehicleObject* player = g_PlayerVehicle;
    if (!player || player->ControlMode != CONTROL_KEYBOARD)
        return 0;
    if (player->Rider && player->Rider->RagDoll)
        return 0;
    const int mode = g_Views.Current()->viewMode;
    return mode >= VIEWMODE_ONBOARD && mode <= VIEWMODE_CHASE_FAR;
}

int CGameHUD::FadeReadout(float* fade)
{
    *fade = HudFade(*fade, ReadoutsShown(), g_Clock.m_RealStep);
    if (*fade <= 0.0f || !g_PlayerVehicle)
        return -1;
    return HudAlpha(*fade);
}

void CGameHUD::HoldRace(const D3DXVECTOR3& eyeOffset, int maxViewMode)
{
    const int mode = g_Views.Current()->viewMode;
    if (g_PlayerVehicle && mode >= VIEWMODE_ONBOARD && mode <= maxViewMode)
    {
        const D3DXVECTOR3 centre(g_PlayerVehicle->worldCentre[0], g_PlayerVehicle->worldCentre[1],
                                 g_PlayerVehicle->worldCentre[2]);
        const float speed = (GameRand() & 1) ? 0.5f : -0.5f;
        const D3DXVECTOR3 eye = centre + eyeOffset;
        // An orbit about +y around the player's motorcycle.
        const D3DXVECTOR3 axis(0.0f, 1.0f, 0.0f);
        ActiveCamera().MoveTo(&eye, &centre, 0.0f, &axis, speed, 0);
        cameraOrbit = 1;
    }
    HoldGame();
}

void CGameHUD::EndOrbit()
{
    if (cameraOrbit)
    {
        // Back to the view the player last chose, following the player.
        CCamera& camera = ActiveCamera();
        camera.SetMode(camera.lastPlayerMode, g_PlayerVehicle);
    }
    cameraOrbit = 0;
}
