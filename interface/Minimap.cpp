// The minimap: the area's route map with an arrow for every racer turned to
// its heading, the player's brighter and with a glow.
#include "interface/Minimap.h"

#include <cmath>

#include "common/MathUtil.h"
#include "core/RaceState.h"
#include "interface/GameHUD.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/Draw2D.h"
#include "world/Landscape.h"

int MinimapPoint(float x, float z, float worldSize, float* mx, float* my)
{
    if (!std::isfinite(worldSize) || worldSize <= 0.0f || !std::isfinite(x) || !std::isfinite(z))
        return 0;
    *mx = MINIMAP_LEFT + (x + worldSize / 2.0f) / worldSize * MINIMAP_WIDTH;
    *my = MINIMAP_TOP - (z - worldSize / 2.0f) / worldSize * MINIMAP_HEIGHT;
    return 1;
}

int MinimapArrowCorners(const D3DXVECTOR3& forward, float scale, float mx, float my, float corners[4][3])
{
    D3DXVECTOR3 heading(forward.x, 0.0f, forward.z);
    const float length = std::sqrt(heading.x * heading.x + heading.z * heading.z);
    if (!std::isfinite(length) || length < 1.0e-6f)
        return 0;
    heading /= length;
    D3DXMATRIX turn;
    MatrixFromPosTargetUp(turn, D3DXVECTOR3(0, 0, 0), heading, D3DXVECTOR3(0, 1, 0));
    static const float shape[4][3] = {{7, 0, -8}, {7, 0, 8}, {-7, 0, -8}, {-7, 0, 8}};
    for (int i = 0; i < 4; ++i)
    {
        const D3DXVECTOR3 p(shape[i][0] * scale, shape[i][1] * scale, shape[i][2] * scale);
        D3DXVECTOR3 q;
        D3DXVec3TransformNormal(&q, &p, &turn);
        corners[i][0] = mx - q.x;
        corners[i][1] = my + q.z;
        corners[i][2] = 0.0f;
    }
    return 1;
}

namespace
{

void DrawArrow(CScreenQuad& quad, const CVehicleObject* v, float scale, DWORD colour, float* mxOut = nullptr,
               float* myOut = nullptr)
{
    float mx, my;
    if (!MinimapPoint(v->Position[0], v->Position[2], g_Landscape.size, &mx, &my))
        return;
    if (mxOut)
    {
        *mxOut = mx;
        *myOut = my;
        return;
    }
    const D3DXVECTOR3 forward(v->world._31, v->world._32, v->world._33);
    float corners[4][3];
    if (MinimapArrowCorners(forward, scale, mx, my, corners))
        quad.DrawVertices(corners, colour);
}

}   // namespace

void CGameHUD::DrawMiniMap()
{
    const int a = FadeReadout(&minimapAlpha);
    if (a < 0)
        return;
    const CVehicleObject* player = g_PlayerVehicle;
    const DWORD orange = D3DCOLOR_ARGB(a / 3, 0xFF, 0x80, 0x00);
    DrawRectGradient(0, 450, 180, 550, orange, orange, 0x00FF8000u, 0x00FF8000u);
    DrawRect(MINIMAP_LEFT, MINIMAP_TOP, MINIMAP_LEFT + MINIMAP_WIDTH, MINIMAP_TOP + MINIMAP_HEIGHT,
             D3DCOLOR_ARGB(a, 0xFF, 0xFF, 0xFF), g_Landscape.routeMapTexture);

    if (g_RaceRunning)
        for (int i = 0; i < g_RaceOrderCount && i < RACE_ORDER_MAX; ++i)
            if (g_RaceOrder[i] && g_RaceOrder[i] != player)
                DrawArrow(arrowQuad, g_RaceOrder[i], 0.6f, D3DCOLOR_ARGB(a, 0xC0, 0x60, 0x00));

    float mx, my;
    if (!MinimapPoint(player->Position[0], player->Position[2], g_Landscape.size, &mx, &my))
        return;
    DrawFlatDisc(mx, my, 16, D3DCOLOR_ARGB(255, a / 2, a / 3, 0), 0xFF000000u, 1.0f, 1.0f);
    DrawArrow(arrowQuad, player, 0.7f, D3DCOLOR_ARGB(a, 0xFF, 0xC0, 0x00));
}
