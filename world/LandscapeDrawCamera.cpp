// A camera on the start line of the race path, for the area on its own.
#include "core/RaceState.h"
#include "render/Camera.h"
#include "world/LandscapeDraw.h"

int LookAlongRacePath(CCamera* camera)
{
    if (!camera || !g_RacePath || g_RacePathCount < 2)
        return 0;
    // From the start line towards a point a few steps ahead, so the view
    // follows the road rather than the first short segment.
    const int ahead = g_RacePathCount > 4 ? 4 : g_RacePathCount - 1;
    const float* start = g_RacePath[0];
    const float* next = g_RacePath[ahead];
    camera->eye = D3DXVECTOR3(start[0], start[1] + 2.5f, start[2]);
    camera->at = D3DXVECTOR3(next[0], next[1] + 1.5f, next[2]);
    camera->up = D3DXVECTOR3(0, 1, 0);
    camera->UpdateView();
    return 1;
}
