#include "world/WorldLinks.h"

#include <btBulletDynamicsCommon.h>

#include "common/Keywords.h"
#include "core/Physics.h"
#include "render/CameraHooks.h"
#include "scene/LightSprite.h"
#include "scene/Occlusion.h"
#include "scene/StaticObjectManager.h"
#include "scene/WheelSkids.h"
#include "world/Landscape.h"
#include "world/NatureManager.h"

void ConnectWorldLinks()
{
    // The physics code tells the terrain body from world objects by this pointer.
    g_PhysicsObjectAccess.landscape = &g_Landscape;

    g_CameraHooks.groundHeight = [](const D3DXVECTOR3& p) {
        const float point[3] = {p.x, p.y, p.z};
        return g_Landscape.GetHeight(point);
    };
    g_CameraHooks.buildingHit = [](const D3DXVECTOR3& nearPoint, float reach, const D3DXVECTOR3& from,
                                   const D3DXVECTOR3& to, D3DXVECTOR3* hit) {
        const float point[3] = {nearPoint.x, nearPoint.y, nearPoint.z};
        CStaticObject* building = g_StaticObjects.FindNearest(-1, GTYPE_BUILDING, point, reach);
        if (!building)
            return 0;
        const float a[3] = {from.x, from.y, from.z}, b[3] = {to.x, to.y, to.z};
        float h[3];
        if (!building->RayTest(a, b, h))
            return 0;
        *hit = D3DXVECTOR3(h[0], h[1], h[2]);
        return 1;
    };
    g_CameraHooks.worldCounters = [](CameraWorldCounters* out) {
        *out = CameraWorldCounters();
        out->landParts = g_Landscape.partCount;
        out->visibleLandParts = g_Landscape.visibleParts;
        out->innerGrassFields = g_Nature.grassFieldCount[0];
        out->visibleGrassFields = g_Nature.visibleGrassFields;
        out->innerTreeFields = g_Nature.treeFieldCount[0];
        out->visibleTreeFields = g_Nature.visibleTreeFields;
        if (g_PhysicsWorld.dynamicsWorld)
            out->collisionObjects = g_PhysicsWorld.dynamicsWorld->getNumCollisionObjects();
        out->activeObjects = g_PhysicsWorld.activeBodies;
    };

    g_SkidHooks.groundHeight = [](const float position[3]) { return g_Landscape.GetHeight(position); };
    g_SkidHooks.routePower = [](const float position[3]) { return g_Landscape.GetRoutePower(position); };

    // What a building hides besides the placed objects after it: land parts.
    g_OcclusionHooks[OCCLUSION_LANDSCAPE] = [] { g_Landscape.CheckOcclusion(IsBoxOccluded); };

    g_LightSpriteInputs.cellSize = &g_Landscape.cellSize;
}
