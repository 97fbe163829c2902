// The fall log of a headless race: see FallLog.h.
#include "play/FallLog.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "common/Keywords.h"
#include "core/Physics.h"
#include "core/RaceState.h"
#include "racers/HumanObject.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"

namespace
{

// What happened before a fall counts this long.
const double kLookBack = 2.0;

struct Hit
{
    double time = -1e9;
    const void* partner = nullptr;
    std::string kind;     // what the partner was at the time
    float relative = 0;   // m/s
    D3DXVECTOR3 place = D3DXVECTOR3(0, 0, 0);
    float ownSpeed = 0, partnerSpeed = 0;   // km/h
};

struct RacerRecord
{
    Hit lastHit;                    // the last object other than the ground
    std::vector<Hit> motorcycles;   // touches of other motorcycles, oldest first
    double ground = -1e9;           // the frame last touched the ground
    double respawned = -1e9;
    double kicked = -1e9;
    float kickedTimer = 0;
};

struct Log
{
    FILE* out = nullptr;
    void (*throwOff)(CStaticObject*) = nullptr;
    void (*onImpact)(CStaticObject*, const float*, const float*, CStaticObject*) = nullptr;
    double now = 0;
    std::map<const void*, Hit> riderTouch;   // rider -> what touched its box as it came off
    double touchesNoted = -1;
    std::map<const void*, RacerRecord> racers;
    std::map<std::string, int> causes;
    int falls = 0, afterTouch = 0, inTheAir = 0;
} g_Log;

bool IsGround(const void* p)
{
    return p && p == g_PhysicsObjectAccess.landscape;
}

D3DXVECTOR3 Vec(const float v[3])
{
    return D3DXVECTOR3(v[0], v[1], v[2]);
}

// What an object in the world is, in a word or two.
std::string KindOf(const void* p)
{
    if (!p)
        return "nothing";
    if (IsGround(p))
        return "ground";
    const CStaticObject* o = static_cast<const CStaticObject*>(p);
    if (o->objectType == GTYPE_VEHICLE)
    {
        const CVehicleObject* v = static_cast<const CVehicleObject*>(o);
        return v->Rider && v->Rider->RagDoll ? "riderless motorcycle" : "motorcycle";
    }
    if (o->objectClass == GCLASS_HUMAN)
        return static_cast<const CHumanObject*>(o)->RagDoll ? "fallen rider" : "rider";
    switch (o->objectType)
    {
    case GTYPE_FENCES:
        return "fence";
    case GTYPE_TREE:
        return "tree";
    case GTYPE_STONE:
        return "stone";
    case GTYPE_BUILDING:
        return "building";
    default:
        return "object";
    }
}

// Where an object (a rider's motorcycle for a rider) stands in v's own axes.
D3DXVECTOR3 PlaceOf(const CVehicleObject& v, const void* p)
{
    if (!p || IsGround(p))
        return D3DXVECTOR3(0, 0, 0);
    const CStaticObject* o = static_cast<const CStaticObject*>(p);
    if (o->objectClass == GCLASS_HUMAN && static_cast<const CHumanObject*>(o)->Vehicle)
        o = static_cast<const CHumanObject*>(o)->Vehicle;
    const D3DXVECTOR3 d = Vec(o->worldCentre) - Vec(v.worldCentre);
    const D3DXVECTOR3 side(v.world._11, v.world._12, v.world._13), up(v.world._21, v.world._22, v.world._23),
        ahead(v.world._31, v.world._32, v.world._33);
    return D3DXVECTOR3(D3DXVec3Dot(&d, &side), D3DXVec3Dot(&d, &up), D3DXVec3Dot(&d, &ahead));
}

float RelativeSpeed(const CStaticObject& a, const D3DXVECTOR3& other)
{
    const D3DXVECTOR3 d = Vec(a.linearVelocity) - other;
    return D3DXVec3Length(&d);
}

// What touches each riding box, taken from the contacts as the first rider
// of a step is thrown off (throwing one off takes its box out of the world
// and with it the contacts of a rider touching it): the deepest contact of
// the box with anything but its own motorcycle.
void NoteRiderTouches()
{
    btDispatcher* dispatcher = g_PhysicsWorld.dispatcher;
    if (!dispatcher)
        return;
    std::map<const void*, float> deepest;
    for (int m = 0; m < dispatcher->getNumManifolds(); ++m)
    {
        const btPersistentManifold* manifold = dispatcher->getManifoldByIndexInternal(m);
        for (int k = 0; k < 2; ++k)
        {
            const btCollisionObject* own = k == 0 ? manifold->getBody0() : manifold->getBody1();
            const btCollisionObject* other = k == 0 ? manifold->getBody1() : manifold->getBody0();
            const CStaticObject* o = static_cast<const CStaticObject*>(own->getUserPointer());
            if (!o || IsGround(o) || o->objectClass != GCLASS_HUMAN)
                continue;
            const CHumanObject* rider = static_cast<const CHumanObject*>(o);
            if (rider->RagDoll || rider->body != own || !rider->Vehicle || other->getUserPointer() == rider->Vehicle)
                continue;
            for (int i = 0; i < manifold->getNumContacts(); ++i)
            {
                const float depth = -manifold->getContactPoint(i).getDistance();
                const auto d = deepest.find(rider);
                if (d != deepest.end() && depth <= d->second)
                    continue;
                deepest[rider] = depth;
                const btRigidBody* body = btRigidBody::upcast(other);
                const btVector3 w = body ? body->getLinearVelocity() : btVector3(0, 0, 0);
                Hit& best = g_Log.riderTouch[rider];
                best.time = g_Log.now;
                best.partner = other->getUserPointer();
                best.kind = KindOf(best.partner);
                best.relative = RelativeSpeed(*rider->Vehicle, D3DXVECTOR3(w.x(), w.y(), w.z()));
                best.place = PlaceOf(*rider->Vehicle, best.partner);
            }
        }
    }
}

void WatchThrowOff(CStaticObject* object)
{
    if (g_Log.touchesNoted != g_Log.now)
    {
        g_Log.touchesNoted = g_Log.now;
        NoteRiderTouches();
    }
    if (g_Log.throwOff)
        g_Log.throwOff(object);
}

void WatchImpact(CStaticObject* object, const float* point, const float* normal, CStaticObject* partner)
{
    if (object && object->objectType == GTYPE_VEHICLE && partner)
    {
        const CVehicleObject& v = *static_cast<const CVehicleObject*>(object);
        RacerRecord& r = g_Log.racers[object];
        if (IsGround(partner))
            r.ground = g_Log.now;
        else
        {
            Hit h;
            h.time = g_Log.now;
            h.partner = partner;
            h.kind = KindOf(partner);
            h.relative = RelativeSpeed(v, Vec(partner->linearVelocity));
            h.place = PlaceOf(v, partner);
            h.ownSpeed = v.Speed;
            r.lastHit = h;
            if (partner->objectType == GTYPE_VEHICLE)
            {
                h.partnerSpeed = static_cast<const CVehicleObject*>(partner)->Speed;
                // One touch of the same pair lasts several steps: its first.
                if (r.motorcycles.empty() || r.motorcycles.back().partner != partner ||
                    g_Log.now - r.motorcycles.back().time > 0.5)
                    r.motorcycles.push_back(h);
                if (r.motorcycles.size() > 16)
                    r.motorcycles.erase(r.motorcycles.begin());
            }
        }
    }
    if (g_Log.onImpact)
        g_Log.onImpact(object, point, normal, partner);
}

int ModelNumber(const CVehicleObject& v)
{
    for (int i = 0; i < VEHICLE_MODELS; ++i)
        if (std::strcmp(v.path, g_VehicleModelFiles[i]) == 0)
            return i + 1;
    return 0;
}

// The first touch of another motorcycle within the look-back, if any.
const Hit* FirstMotorcycleTouch(const RacerRecord& r)
{
    for (const Hit& h : r.motorcycles)
        if (g_Log.now - h.time <= kLookBack)
            return &h;
    return nullptr;
}

}   // namespace

void StartFallLog(FILE* out)
{
    g_Log = Log();
    if (!out)
        return;
    g_Log.out = out;
    g_Log.throwOff = g_PhysicsObjectAccess.throwOff;
    g_Log.onImpact = g_PhysicsObjectAccess.onImpact;
    g_PhysicsObjectAccess.throwOff = WatchThrowOff;
    g_PhysicsObjectAccess.onImpact = WatchImpact;
}

void FallLogTime(double raceSeconds)
{
    g_Log.now = raceSeconds;
}

void FallLogRacer(const CVehicleObject& v, int index, int laps, bool fell, bool wasAirborne,
                  const float previousVelocity[3], bool respawned)
{
    if (!g_Log.out)
        return;
    RacerRecord& r = g_Log.racers[&v];
    if (respawned)
        r.respawned = g_Log.now;
    if (v.KickedTimer > r.kickedTimer)
        r.kicked = g_Log.now;
    r.kickedTimer = v.KickedTimer;
    if (!fell)
        return;

    // Where on the lap: the race path is the run-up, then the laps.
    const int racers = g_CurrentRace >= 0 && g_CurrentRace < RACE_ROWS ? g_RaceTable.racers[g_CurrentRace] : 0;
    const int runUp = racers / 2;
    const int lapPoints = laps > 0 ? std::max(1, (g_RacePathCount - 1 - runUp) / laps) : 1;
    const int along = v.PathPoint - runUp;
    const int lap = along < 0 ? 0 : along / lapPoints + 1;
    const int inLap = along < 0 ? along : along % lapPoints;
    FILE* out = g_Log.out;
    std::fprintf(out, "fall %7.2f s  racer %2d %-16s model %d%s  point %4d lap %d at %4d of %d  %5.1f km/h%s  up %5.2f",
                 g_Log.now, index, v.Name, ModelNumber(v), &v == g_PlayerVehicle ? "*" : " ", v.PathPoint, lap, inLap,
                 lapPoints, v.Speed, wasAirborne ? " in the air" : "", v.world._22);

    std::string cause;
    const auto touch = g_Log.riderTouch.find(v.Rider);
    if (touch != g_Log.riderTouch.end() && touch->second.time == g_Log.now)
    {
        const Hit& h = touch->second;
        cause = "touched by " + h.kind;
        std::fprintf(out, "  %s at %.1f m/s (%.2f across, %.2f ahead)", cause.c_str(), h.relative, h.place.x,
                     h.place.z);
    }
    else
    {
        const D3DXVECTOR3 lost(previousVelocity[0] - v.linearVelocity[0], 0.0f,
                               previousVelocity[2] - v.linearVelocity[2]);
        const float drop = D3DXVec3Length(&lost);
        cause = drop > 10.0f ? "thrown by a stop" : v.world._22 < -0.25f ? "turned over" : "thrown";
        std::fprintf(out, "  %s (%.1f m/s lost)", cause.c_str(), drop);
    }
    ++g_Log.causes[cause];
    ++g_Log.falls;
    if (wasAirborne)
        ++g_Log.inTheAir;

    if (g_Log.now - r.lastHit.time <= kLookBack)
        std::fprintf(out, "; hit %s %.2f s before at %.1f m/s", r.lastHit.kind.c_str(), g_Log.now - r.lastHit.time,
                     r.lastHit.relative);
    if (const Hit* h = FirstMotorcycleTouch(r))
    {
        ++g_Log.afterTouch;
        std::fprintf(out, "; first touched %s %.2f s before at %.1f m/s (%.0f and %.0f km/h, %.2f across, %.2f ahead)",
                     static_cast<const CVehicleObject*>(h->partner)->Name, g_Log.now - h->time, h->relative,
                     h->ownSpeed, h->partnerSpeed, h->place.x, h->place.z);
    }
    if (g_Log.now - r.kicked <= kLookBack)
        std::fprintf(out, "; kicked %.2f s before", g_Log.now - r.kicked);
    if (g_Log.now - r.respawned <= 2.0 * kLookBack)
        std::fprintf(out, "; respawned %.2f s before", g_Log.now - r.respawned);
    if (g_Log.now - r.ground <= kLookBack)
        std::fprintf(out, "; frame on the ground %.2f s before", g_Log.now - r.ground);
    std::fprintf(out, "\n");
}

void StopFallLog()
{
    if (g_Log.out)
    {
        std::fprintf(g_Log.out, "fall causes:");
        const char* separator = " ";
        for (const auto& c : g_Log.causes)
        {
            std::fprintf(g_Log.out, "%s%s %d", separator, c.first.c_str(), c.second);
            separator = ", ";
        }
        std::fprintf(g_Log.out, "; %d of %d in the air, %d within %.0f s of touching another motorcycle\n",
                     g_Log.inTheAir, g_Log.falls, g_Log.afterTouch, kLookBack);
        g_PhysicsObjectAccess.throwOff = g_Log.throwOff;
        g_PhysicsObjectAccess.onImpact = g_Log.onImpact;
    }
    g_Log = Log();
}
