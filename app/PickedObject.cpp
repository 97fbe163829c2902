// The picked-object record and its ray pick.
#include "app/PickedObject.h"

#include <cmath>

#include "common/Keywords.h"

#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "scene/StaticObject.h"
#include "scene/StaticObjectManager.h"

CPickedObject g_PickedObject;

namespace
{

int RacerCount()
{
    return g_Vehicles.racerCount;
}

CStaticObject* RacerAt(int index)
{
    return index >= 0 && index < g_Vehicles.racerCount ? g_Vehicles.racers[index] : nullptr;
}

}   // namespace

PickRacers g_PickRacers = {RacerCount, RacerAt};

namespace
{

float Distance(const float a[3], const float b[3])
{
    const float dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// The ray over one candidate: in mode 0 the first hit ends the search,
// otherwise the nearer hit (the first of equal distances) is kept.
struct PickSearch
{
    const float* from;
    const float* to;
    int mode;
    CStaticObject* found = nullptr;
    float best = 0.0f;
    float point[3] = {0.0f, 0.0f, 0.0f};

    // True when the search is over.
    bool Try(CStaticObject* candidate)
    {
        float hit[3];
        if (!candidate || !candidate->RayTest(from, to, hit))
            return false;
        const float d = Distance(from, hit);
        if (!found || d < best)
        {
            found = candidate;
            best = d;
            point[0] = hit[0];
            point[1] = hit[1];
            point[2] = hit[2];
        }
        return mode == 0;
    }
};

}   // namespace

int CPickedObject::Init()
{
    object = nullptr;
    objectClass = -1;
    objectType = -1;
    return 1;
}

void CPickedObject::Set(CStaticObject* hit)
{
    object = hit;
    objectClass = hit ? hit->objectClass : -1;
    objectType = hit ? hit->objectType : -1;
}

CStaticObject* CPickedObject::Pick(const float from[3], const float to[3], float out[3], int mode)
{
    PickSearch search{from, to, mode};
    bool done = false;
    for (unsigned int i = 0; i < g_StaticObjects.objectCount && !done; ++i)
        done = search.Try(g_StaticObjects.objects[i]);
    if (!done && !(search.found && mode != 1) && g_PickRacers.count && g_PickRacers.at)
    {
        const int racers = g_PickRacers.count();
        for (int i = 0; i < racers && !done; ++i)
            done = search.Try(g_PickRacers.at(i));
    }
    if (!search.found)
        return nullptr;
    if (out)
    {
        out[0] = search.point[0];
        out[1] = search.point[1];
        out[2] = search.point[2];
    }
    Set(search.found);
    return search.found;
}
