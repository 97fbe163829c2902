// The object record itself: construction, scale and the body's removal.
#include "scene/StaticObject.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/Keywords.h"
#include "core/DebugLog.h"
#include "core/FileManager.h"
#include "core/Settings.h"
#include "platform/os/Rand.h"
#include "scene/ObjectPhysics.h"
#include "scene/RayPick.h"
#include "scene/SoundOwner.h"

int g_ObjectCounter = 0;

CStaticObject::CStaticObject()
    : vehicleName(nullptr), objectClass(0), objectType(0), objectNumber(g_ObjectCounter++), cameraDistance(0.0f),
      visible(0), inShadow(0), touched(0), inWorld(0), corners(nullptr), chrome(nullptr), glass(nullptr),
      lightMaps(nullptr), selfIllum(nullptr), lights(nullptr), directLights(nullptr), spots(nullptr), shadow(nullptr),
      body(nullptr), mass(0.0f), lastImpactSoundTime(0)
{
    path[0] = '\0';
    std::memset(&placement, 0, sizeof(placement));
    placement._11 = placement._22 = placement._33 = placement._44 = 1.0f;
    for (int k = 0; k < 3; ++k)
    {
        worldCentre[k] = 0.0f;
        massCentreOffset[k] = 0.0f;
        linearVelocity[k] = 0.0f;
        angularVelocity[k] = 0.0f;
    }
}

void CStaticObject::InitStatic()
{
    objectClass = GCLASS_STATIC;
    objectType = 0;
}

void CStaticObject::SetScale(float x, float y, float z)
{
    scale[0] = x;
    scale[1] = y;
    scale[2] = z;
    useScale = (x == 1.0f && y == 1.0f && z == 1.0f) ? 0 : 1;
    boundCentre[0] *= x;
    boundCentre[1] *= y;
    boundCentre[2] *= z;
    float largest = x;
    if (y > largest)
        largest = y;
    if (z > largest)
        largest = z;
    boundRadius *= largest;
}

void CStaticObject::RemoveBody()
{
    if (!body)
        return;
    DestroyBody(body);
    body = nullptr;
    inWorld = 0;
}
