// The autopilot and the computer racer: both follow the race path with a
// look-ahead, keep a lane beside the racers in their way, choose a speed by
// how far the target lies to the side, and back up or respawn when stuck. The
// racer also counts its distance left, finishes, is rubber-banded to the
// player and kicks.
#include <algorithm>
#include <cmath>

#include "common/MathUtil.h"
#include "core/GameClock.h"
#include "core/RaceState.h"
#include "racers/HumanObject.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "world/Landscape.h"

namespace
{

const D3DXVECTOR3 kUp(0.0f, 1.0f, 0.0f);
// Backing-up manoeuvres without a path point gained before a motorcycle
// counts as wedged (about two seconds each: one pulling, one backing up).
const int kUnstickTries = 5;

D3DXVECTOR3 PathAt(int i)
{
    i = std::max(0, std::min(g_RacePathCount - 1, i));
    return D3DXVECTOR3(g_RacePath[i][0], g_RacePath[i][1], g_RacePath[i][2]);
}

// A level-enough direction for a frame; a vertical or empty one looks along +z.
D3DXVECTOR3 FrameDirection(const D3DXVECTOR3& d)
{
    if (std::fabs(d.x) + std::fabs(d.z) < 1e-6f)
        return D3DXVECTOR3(0.0f, 0.0f, 1.0f);
    return d;
}

// The frame at path point `from` looking at point `to`. The path has no
// point after its last one, and in a finishing frame both indices name the
// last point: the frame then looks along the last segment, so it never
// collapses into a singular matrix.
D3DXMATRIX PathFrame(int from, int to)
{
    const int last = g_RacePathCount - 1;
    const D3DXVECTOR3 a = PathAt(from);
    D3DXVECTOR3 d = PathAt(std::min(to, last)) - a;
    if (to > last || D3DXVec3Length(&d) < 1e-4f)
        d = PathAt(last) - PathAt(last - 1);
    D3DXMATRIX m;
    MatrixFromPosTargetUp(m, a, a + FrameDirection(d), kUp);
    return m;
}

D3DXVECTOR3 Row(const D3DMATRIX& m, int row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

// A point in the axes of an orthonormal frame (x side, y up, z ahead).
D3DXVECTOR3 InFrame(const D3DMATRIX& m, const D3DXVECTOR3& p)
{
    const D3DXVECTOR3 r = p - Row(m, 3);
    const D3DXVECTOR3 side = Row(m, 0), up = Row(m, 1), ahead = Row(m, 2);
    return D3DXVECTOR3(D3DXVec3Dot(&r, &side), D3DXVec3Dot(&r, &up), D3DXVec3Dot(&r, &ahead));
}

D3DXVECTOR3 Centre(const CVehicleObject& v)
{
    return D3DXVECTOR3(v.worldCentre[0], v.worldCentre[1], v.worldCentre[2]);
}

// A motorcycle without a rider (the rider list was full) is ridden as if its
// rider sat on it and never falls.
bool RiderFallen(const CVehicleObject& v)
{
    return v.Rider && v.Rider->RagDoll;
}

// Computer riders never stand up.
void NoStandingUp(CVehicleObject& v)
{
    if (v.Rider)
        v.Rider->StandUpRequest = 0;
}

// A motorcycle pushed through the ground (or whose place is no number any
// more) can neither be seen nor get back by itself.
bool LostUnderGround(const CVehicleObject& v)
{
    const float* c = v.worldCentre;
    if (!std::isfinite(c[0]) || !std::isfinite(c[1]) || !std::isfinite(c[2]))
        return true;
    return c[1] < g_Landscape.GetHeight(c) - 5.0f;
}

// The wait of a fallen rider and the way back for a lost motorcycle.
// Returns true when the controller has nothing more to do this frame.
bool WaitOrRespawn(CVehicleObject& v, float dt)
{
    if (LostUnderGround(v))
    {
        v.Respawn();
        return true;
    }
    if (!RiderFallen(v))
        return false;
    // The fallen rider waits 4 s, then is put back where nobody sees it
    // happen (the player at once).
    v.StuckTimer += dt;
    if (v.StuckTimer > 4.0f && (&v == g_PlayerVehicle || !v.visible))
        v.Respawn();
    return true;
}

}   // namespace

int LookAheadPoints(float speed, int racer)
{
    const float most = racer ? 7.0f : 6.0f;
    return (int)std::min(most, std::max(speed, 0.0f) * 0.04f);
}

float PathTargetSpeed(const float direction[3], float maxSpeed, int racer)
{
    if (!(direction[2] > 0.0f))
        return 20.0f;
    const float top = racer ? maxSpeed : 120.0f;
    return std::max(20.0f, (1.0f - std::fabs(direction[0])) * top);
}

void CVehicleObject::ApplyRubberBand(int lead)
{
    // Each step takes back the adjustment it replaces, so a racer returns to
    // exactly its base power.
    if (lead > 4)
    {
        if (RubberBand != -1)
        {
            if (RubberBand == 1)
                EnginePower -= 400.0f;
            EnginePower -= 300.0f;
            RubberBand = -1;
        }
    }
    else if (lead < -4)
    {
        if (RubberBand != 1)
        {
            if (RubberBand == -1)
                EnginePower += 300.0f;
            EnginePower += 400.0f;
            RubberBand = 1;
        }
    }
    else
    {
        if (RubberBand == -1)
            EnginePower += 300.0f;
        else if (RubberBand == 1)
            EnginePower -= 400.0f;
        RubberBand = 0;
    }
}

void CVehicleObject::AvoidRacers(CVehicleObject** found, int targetIndex)
{
    const float dt = g_Clock.m_GameStep;
    const float reach = 5.0f * boundRadius;
    const D3DXVECTOR3 centre = Centre(*this);
    bool relevant = false;
    for (CVehicleObject* other = g_Vehicles.FindObstacle(this, nullptr); other;
         other = g_Vehicles.FindObstacle(this, other))
    {
        const D3DXVECTOR3 otherCentre = Centre(*other);
        const float c = VecDistance(centre, otherCentre);
        if (c > reach)
            continue;
        const float closeness = 1.0f - c / reach;
        D3DXVECTOR3 p = InFrame(world, otherCentre);
        p.y = 0.0f;
        if (p.z < -boundRadius || std::fabs(p.x) > 2.5f * boundRadius)
            continue;
        const float rate = 10.0f * dt * closeness;
        // Close by, the side the other is on seen from here; farther away,
        // its side of the path line.
        const float s = closeness > 0.5f ? p.x : InFrame(PathFrame(targetIndex, targetIndex + 1), otherCentre).x;
        if (s < 0.0f)
            LaneOffset = std::min(1.0f, LaneOffset + rate);
        else
            LaneOffset = std::max(-1.0f, LaneOffset - rate);
        if (found)
            *found = other;
        relevant = true;
    }
    if (!relevant)
    {
        if (LaneOffset > 0.0f)
            LaneOffset = std::max(0.0f, LaneOffset - 0.25f * dt);
        else if (LaneOffset < 0.0f)
            LaneOffset = std::min(0.0f, LaneOffset + 0.25f * dt);
    }
}

void CVehicleObject::DriveAutopilot()
{
    const float dt = g_Clock.m_GameStep;
    Throttle = BrakeInput = SteerInput = 0.0f;
    const int count = g_RacePathCount;
    if (!g_RacePath || count < 2 || WaitOrRespawn(*this, dt))
        return;
    PathPoint = std::max(0, std::min(count - 1, PathPoint));
    DrivePath(0, dt);
    NoStandingUp(*this);
}

void CVehicleObject::DriveAiRacer()
{
    const float dt = g_Clock.m_GameStep;
    Throttle = BrakeInput = SteerInput = 0.0f;
    const int count = g_RacePathCount;
    if (!g_RacePath || count < 2 || WaitOrRespawn(*this, dt))
        return;
    PathPoint = std::max(0, std::min(count - 1, PathPoint));
    DrivePath(1, dt);

    UpdateDistanceLeft();
    if (PathPoint >= count - 1)
    {
        if (g_RaceRunning)
            g_Vehicles.OnFinish(this);
        // A racer the race order does not hold rides on from the start.
        if (PathPoint >= count - 1)
            PathPoint = 0;
    }

    NoStandingUp(*this);

    // The rubber band holds the field to the player while the player races;
    // once the player has finished, its path point starts again from 0 and
    // says nothing about the race any more.
    const CVehicleObject* player = g_PlayerVehicle;
    if (player && player != this)
        ApplyRubberBand(player->DriveState == DRIVE_AUTOPILOT ? 0 : PathPoint - player->PathPoint);

    AiKickCheck();
}

void CVehicleObject::DrivePath(int racer, float dt)
{
    const int count = g_RacePathCount;
    const int extra = LookAheadPoints(Speed, racer);
    int target = std::min(PathPoint + 1 + extra, count - 1);
    const D3DXVECTOR3 position(Position[0], Position[1], Position[2]);

    // Past the current point: on to the next.
    if (PathPoint < count - 1 && InFrame(PathFrame(PathPoint, target), position).z >= 0.0f)
    {
        ++PathPoint;
        UnstickTries = 0;
        if (!racer && PathPoint == count - 1)
            PathPoint = 0;
        target = std::min(PathPoint + 1 + extra, count - 1);
    }

    AvoidRacers(nullptr, target);

    const D3DXMATRIX lane = PathFrame(target, target + 1);
    const D3DXVECTOR3 aim = PathAt(target) + Row(lane, 0) * (LaneOffset * boundRadius * 1.5f);
    TargetPoint[0] = aim.x;
    TargetPoint[1] = aim.y;
    TargetPoint[2] = aim.z;
    D3DXVECTOR3 direction = InFrame(world, aim);
    direction.y = 0.0f;
    VecNormalize(direction, direction);
    TargetDirection[0] = direction.x;
    TargetDirection[1] = 0.0f;
    TargetDirection[2] = direction.z;

    // Speed.
    const float wanted = PathTargetSpeed(TargetDirection, MaxSpeed, racer);
    if (wanted > Speed)
        Throttle = (1.0f - Speed / wanted) * 2000.0f;
    else if (Speed > wanted)
        BrakeInput = std::max(0.0f, 1.0f - wanted / Speed * 0.5f) * 100.0f;
    if (WheelsOnGround == 0)
        Throttle = 0.0f;

    // Steering.
    const float x = direction.x, z = direction.z;
    if (z <= 0.0f)
        SteerInput = x > 0.0f ? 1.0f : -1.0f;
    else
        SteerInput = std::max(-2.0f, std::min(2.0f, 2.0f * x));
    bool limitSteer = true;
    if (racer)
    {
        // A kicked racer's own steering comes back over a second.
        SteerInput *= std::max(0.0f, 1.0f - KickedTimer);
        limitSteer = KickedTimer == 0.0f;
    }
    if (limitSteer && z > 0.0f)
    {
        // Never turned further than the target calls for.
        const float left = std::max(-1.0f, 2.0f * x) * 0.6f;
        const float right = std::min(1.0f, 2.0f * x) * 0.6f;
        if (x < 0.0f && Steer < left)
        {
            Steer = left;
            SteerInput = 0.0f;
        }
        else if (x > 0.0f && Steer > right)
        {
            Steer = right;
            SteerInput = 0.0f;
        }
    }

    // Stuck: pulling but not moving.
    if (RearBrake == 0 && std::fabs(Speed) < 5.0f && EngineForce > 0.0f)
        StuckTimer += dt;
    else
        StuckTimer = 0.0f;
    if (StuckTimer > 1.0f)
    {
        // Backing up again and again without getting any further means the
        // motorcycle is wedged (against a wall or in a hollow it cannot
        // climb out of): it goes back on the route like a fallen one, where
        // nobody sees it happen.
        const bool wedged = WheelsOnGround < 2 || UnstickTries >= kUnstickTries;
        if (wedged && (this == g_PlayerVehicle || !visible))
        {
            UnstickTries = 0;
            Respawn();
        }
        else
        {
            ++UnstickTries;
            SetState(DRIVE_UNSTICK);
        }
    }
}
