// Race information (position, lap, the racers around the player with their
// gaps) and the speed and gear readout.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/RaceState.h"
#include "interface/GameHUD.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/Draw2D.h"

namespace
{

const unsigned char kMetreGlyph = 0xEC;

DWORD Grey(int a)
{
    return D3DCOLOR_ARGB(a, 0xE0, 0xE0, 0xE0);
}

// A bar fading from `left` to `right` along x.
void HorizontalBar(float x1, float y1, float x2, float y2, DWORD left, DWORD right)
{
    DrawRectGradient(x1, y1, x2, y2, left, left, right, right);
}

}   // namespace

int HudCurrentLap(int pathPoint, int pathCount, int laps)
{
    if (laps <= 0 || pathCount < laps || pathPoint < 0)
        return 1;
    return pathPoint / (pathCount / laps) + 1;
}

int HudRacerWindow(int playerPosition, int orderCount, int rowRacers, int* first)
{
    const int start = std::max(0, playerPosition - 1);
    const int end = std::min(start + 3, std::min(orderCount, std::min(rowRacers, RACE_ORDER_MAX)));
    *first = start;
    return std::max(0, end - start);
}

DWORD HudGapText(float gap, char* out, int outSize, int alpha)
{
    const float shown = (std::isfinite(gap) && std::fabs(gap) < 1.0e7f) ? gap : 0.0f;
    std::snprintf(out, size_t(outSize), "%+.0f%c", double(shown), char(kMetreGlyph));
    return shown > 0.0f ? D3DCOLOR_ARGB(alpha, 0xE0, 0, 0) : D3DCOLOR_ARGB(alpha, 0, 0xE0, 0);
}

void HudSpeedTexts(float speed, int gear, char* speedText, char* gearText, int size)
{
    const float shown = (std::isfinite(speed) && std::fabs(speed) < 100000.0f) ? speed : 0.0f;
    std::snprintf(speedText, size_t(size), "%d", int(shown));
    std::snprintf(gearText, size_t(size), "%d", gear + 1);
}

float HudRoadSpeed(const float velocity[3], const float forward[3])
{
    const float length = std::sqrt(forward[0] * forward[0] + forward[1] * forward[1] + forward[2] * forward[2]);
    if (!(length > 0.0f))
        return 0.0f;
    return (velocity[0] * forward[0] + velocity[1] * forward[1] + velocity[2] * forward[2]) / length * 3.6f;
}

float HudShownSpeed(const CVehicleObject& v)
{
    const float forward[3] = {v.world._31, v.world._32, v.world._33};
    return HudRoadSpeed(v.linearVelocity, forward);
}

void CGameHUD::DrawRaceInfo()
{
    const int a = FadeReadout(&raceInfoAlpha);
    if (a < 0)
        return;
    const CVehicleObject* player = g_PlayerVehicle;
    const DWORD orange = D3DCOLOR_ARGB(a / 3, 0xFF, 0x80, 0x00);
    HorizontalBar(0, 20, 200, 40, orange, 0x00FF8000u);
    HorizontalBar(0, 60, 200, 80, orange, 0x00FF8000u);
    font.DrawTextColor(20, 20, "Position:", Grey(a), 0.55f, 0);
    font.DrawTextColor(20, 60, "Lap:", Grey(a), 0.55f, 0);

    const int row = HudRaceRow();
    char text[32];
    char place[16], lap[16];
    const DWORD red = D3DCOLOR_ARGB(a, 0xFF, 0x00, 0x00);
    if (g_RaceRunning)
    {
        std::snprintf(text, sizeof(text), "/%d", g_RaceTable.racers[row]);
        font.DrawTextColor(150, 20, text, Grey(a), 0.6f, 0);
        std::snprintf(text, sizeof(text), "/%d", g_RaceTable.laps[row]);
        font.DrawTextColor(150, 60, text, Grey(a), 0.6f, 0);
        std::snprintf(place, sizeof(place), "%d", player->RaceStats.Position + 1);
        std::snprintf(lap, sizeof(lap), "%d", HudCurrentLap(player->PathPoint, g_RacePathCount, g_RaceTable.laps[row]));
    }
    else
    {
        font.DrawTextColor(150, 20, "/-", Grey(a), 0.6f, 0);
        font.DrawTextColor(150, 60, "/-", Grey(a), 0.6f, 0);
        std::snprintf(place, sizeof(place), "-");
        std::snprintf(lap, sizeof(lap), "-");
    }
    font.DrawTextColor(150 - font.GetTextWidth(place, 0.8f, 0), 13, place, red, 0.8f, 0);
    font.DrawTextColor(150 - font.GetTextWidth(lap, 0.8f, 0), 53, lap, red, 0.8f, 0);

    if (!g_RaceRunning)
        return;
    int first = 0;
    const int shown = HudRacerWindow(player->RaceStats.Position, g_RaceOrderCount, g_RaceTable.racers[row], &first);
    for (int k = 0; k < shown; ++k)
    {
        const CVehicleObject* racer = g_RaceOrder[first + k];
        if (!racer)
            continue;
        const bool isPlayer = racer == player;
        const float y = 40.0f + 20.0f * float(k);
        const int g = isPlayer ? a : int(raceInfoAlpha * 160.0f);
        HorizontalBar(620, y + 3, 800, y + 17, 0x00FF8000u, D3DCOLOR_ARGB(g / 2, 0xFF, 0x80, 0x00));
        std::snprintf(text, sizeof(text), "%d.", first + k + 1);
        font.DrawTextColor(630, y + 2, text, D3DCOLOR_ARGB(a, 0xC0, 0x60, 0x00), 0.3f, 0);
        font.DrawTextColor(650, y, racer->Name,
                           isPlayer ? D3DCOLOR_ARGB(a, 0xFF, 0xFF, 0xFF) : D3DCOLOR_ARGB(a, 0xB0, 0xB0, 0xB0), 0.35f,
                           0);
        if (isPlayer)
            continue;
        const DWORD colour =
            HudGapText(player->RaceStats.DistanceLeft - racer->RaceStats.DistanceLeft, text, sizeof(text), a);
        font.DrawTextColor(795 - font.GetTextWidth(text, 0.3f, 0), y + 2, text, colour, 0.3f, 0);
    }
}

void CGameHUD::DrawSpeedometer()
{
    const int a = FadeReadout(&speedometerAlpha);
    if (a < 0)
        return;
    const CVehicleObject* player = g_PlayerVehicle;
    HorizontalBar(680, 540, 800, 575, 0x00FF8000u, D3DCOLOR_ARGB(a / 3, 0xFF, 0x80, 0x00));
    const DWORD white = D3DCOLOR_ARGB(a, 0xFF, 0xFF, 0xFF);
    gaugeQuad.DrawRect(710, 525, 790, 590, white, white, white, white);
    char speed[16], gear[16];
    HudSpeedTexts(HudShownSpeed(*player), player->Gear, speed, gear, sizeof(speed));
    font.DrawTextColor(730, 538, speed, Grey(a), 0.8f, 0);
    font.DrawTextGlow(735, 575, gear, D3DCOLOR_ARGB(a, 0xFF, 0xFF, 0xFF), D3DCOLOR_ARGB(a / 2, 0xFF, 0x80, 0x00),
                      0.45f);
}
