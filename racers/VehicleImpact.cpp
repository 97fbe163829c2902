// Impacts with their crash sounds, and jumps: take-off, landing, air time,
// the player's turn in the air, the crowd, the jump messages and the
// slow-motion jump shot, and the rider's hop.
#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>

#include "audio/AudioManager.h"
#include "common/Keywords.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/GameEventPost.h"
#include "core/Physics.h"
#include "core/RaceState.h"
#include "platform/os/Rand.h"
#include "racers/HumanObject.h"
#include "racers/VehicleImpact.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"

namespace
{

float Length(const float v[3])
{
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

}   // namespace

float ImpactStrength(const ImpactBody& self, const ImpactBody* partner, const float normal[3])
{
    const float s = std::max(self.maxSpeed, 60.0f);
    if (!partner || partner->mass == 0.0f)
    {
        // Against the ground or a fixed object: the share of the speed that
        // goes into the surface.
        const float speed = Length(self.velocity);
        if (!(speed > 0.0f))
            return 0.0f;
        float d[3];
        for (int i = 0; i < 3; ++i)
            d[i] = self.velocity[i] / speed - normal[i];
        const float e = 0.5f * Length(d);
        return e * speed / (0.2f * s);
    }
    const float m1 = self.mass, m2 = partner->mass;
    // A body without mass cannot be weighed against its partner.
    if (!(m1 > 0.0f) || !(m2 > 0.0f))
        return 0.0f;
    float relative[3];
    for (int i = 0; i < 3; ++i)
        relative[i] = self.velocity[i] - partner->velocity[i];
    const float l = Length(relative);
    const float reference = (partner->vehicle ? s + std::max(partner->maxSpeed, 60.0f) : s) * 0.1f * m1 * m2;
    return std::sqrt(m2) / std::sqrt(m1) * (0.5f * l * m1 * m2) / reference;
}

float ImpactVolume(float k)
{
    return std::min(100.0f, 60.0f + 100.0f * k);
}

void CVehicleObject::OnImpact(const float* /*contactPoint*/, const float* normal, CStaticObject* partner)
{
    if (cameraDistance > 75.0f || !normal)
        return;
    if (partner && partner == g_PhysicsObjectAccess.landscape)
        partner = nullptr;

    ImpactBody self;
    self.maxSpeed = MaxSpeed;
    self.mass = mass;
    std::copy(linearVelocity, linearVelocity + 3, self.velocity);
    self.vehicle = 1;
    ImpactBody other;
    if (partner)
    {
        other.mass = partner->mass;
        std::copy(partner->linearVelocity, partner->linearVelocity + 3, other.velocity);
        other.vehicle = partner->objectType == GTYPE_VEHICLE ? 1 : 0;
        other.maxSpeed = other.vehicle ? static_cast<CVehicleObject*>(partner)->MaxSpeed : 0.0f;
    }
    const float k = std::min(1.0f, ImpactStrength(self, partner ? &other : nullptr, normal));

    // One touch of the same pair sounds once.
    const DWORD now = g_Clock.GameTimeMs();
    if (g_Clock.GameSecondsSince((DWORD)LastImpactTime) < 0.125f && partner == LastImpactPartner)
        return;
    LastImpactTime = (int)now;
    LastImpactPartner = partner;

    if (k < 0.1f || g_Clock.GameSecondsSince(lastImpactSoundTime) <= 0.125f)
        return;
    if (partner && partner->objectType == GTYPE_HUMAN)
        return;
    g_AudioManager.PlayImpact(ImpactVolume(k), this);
    RaceStats.Crashes += 1;
}

void CVehicleObject::UpdateJump()
{
    const float dt = g_Clock.m_GameStep;
    const bool riding = Rider && !Rider->RagDoll;
    const float rise = linearVelocity[1];
    if (!Airborne)
    {
        if (WheelsOnGround >= 2 && riding && Rider->StandUpLift > 0.9f && body)
            body->applyCentralImpulse(btVector3(0.0f, Rider->StandUpLift * 200.0f, 0.0f));
        if (WheelsOnGround == 0 && rise > 0.5f && Length(linearVelocity) > 10.0f && riding)
            Airborne = 1;
        return;
    }

    if ((WheelsOnGround >= 1 && rise < 0.5f) || (Rider && Rider->RagDoll))
    {
        Airborne = 0;
        return;
    }
    if (DriveState == DRIVE_AUTOPILOT)
        return;
    RaceStats.AirTime += dt;
    if (this != g_PlayerVehicle)
        return;

    if (g_ControlFlags[CTRL_JUMP] && (g_ControlFlags[CTRL_TURN_LEFT] || g_ControlFlags[CTRL_TURN_RIGHT]))
    {
        if (Rider)
            Rider->StandUpRequest = 0;
        ConsumeControl(CTRL_JUMP);
    }
    if (body)
    {
        // The turn about the motorcycle's own up axis, steered in the air.
        const btVector3 upAxis(world._21, world._22, world._23);
        const btVector3 spin = body->getAngularVelocity();
        const float before = spin.dot(upAxis);
        const float step = 8.0f * dt * std::min(1.0f, std::fabs(Speed) * 0.025f + 0.2f);
        float after = before;
        if (g_ControlFlags[CTRL_TURN_LEFT])
            after = before > -3.6f ? std::max(-3.6f, before - step) : before;
        else if (g_ControlFlags[CTRL_TURN_RIGHT])
            after = before < 3.6f ? std::min(3.6f, before + step) : before;
        else
            after = before > 0.0f ? std::max(0.0f, before - 6.0f * dt) : std::min(0.0f, before + 6.0f * dt);
        body->setAngularVelocity(spin + upAxis * (after - before));
    }

    if (ControlMode == CONTROL_KEYBOARD && rise > 2.0f && !RaceMessageShowing())
    {
        g_AudioManager.PlayCrowd(CROWD_YEA, 1);
        if (ShowRaceMessage(RACE_MESSAGE_HIGH_JUMP, 8.0f, 0.375f) ||
            ShowRaceMessage(RACE_MESSAGE_JUMP_HINT, 8.0f, 0.375f))
            return;
        if (PathPoint > 10 && PathPoint < g_RacePathCount - 10 && !GameEventRunning() && GameRand() % 101 > 50)
            PostGameEvent(GEVENT_JUMP_CAMERA, this, 0);
    }
}
