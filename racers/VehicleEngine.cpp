// Steering, engine force, brake and reverse, gear and pitch with the engine's
// sound, the tyres' screech, the assemblies' frames and the lean into turns.
// dt is the game step.
#include "racers/VehicleEngine.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "audio/AudioManager.h"
#include "common/Keywords.h"
#include "common/MathUtil.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/Physics.h"
#include "core/Settings.h"
#include "racers/BulletMatrix.h"
#include "racers/HumanObject.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "world/Landscape.h"

const EngineGearRow EngineGearTable[ENGINE_GEARS] = {
    {30.0f, 0.9f, 2.6f},
    {70.0f, 1.2f, 2.7f},
    {110.0f, 1.5f, 2.8f},
    {150.0f, 1.8f, 2.9f},
};

namespace
{

const float kMaxSteer = 0.6f;
// The engine is heard, and loaded, only this near the camera; its pitch
// slides by at most this many hertz per second.
const float kEngineSoundDistance = 75.0f;
const float kEngineSoundMinDistance = 7.5f;
const float kEnginePitchRate = 75000.0f;
const float kEngineVolume = 90.0f;
// The tyres screech only on a road driven this hard (0..100).
const float kScreechRoadPower = 75.0f;
const float kMaxHandlebar = 0.465f;
const float kMaxLean = 0.65f;

D3DXVECTOR3 Row(const D3DMATRIX& m, int row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

// The handlebars follow the steering while the rider's frame lies in its
// steering range; a motorcycle without a rider steers them as a steering
// rider would.
bool RiderInSteeringPose(const CHumanObject* rider)
{
    if (!rider)
        return true;
    const int* range = rider->ActionFrames[ACTION_STEERING];
    return rider->currentPart >= range[0] && rider->currentPart <= range[1];
}

}   // namespace

int EngineGear(float speed)
{
    const float s = std::max(speed, 0.0f);
    for (int g = 0; g < ENGINE_GEARS; ++g)
        if (EngineGearTable[g].speed >= s)
            return g;
    return ENGINE_GEARS - 1;
}

float EnginePitchRatio(float speed)
{
    const float s = std::max(speed, 0.0f);
    if (s > EngineGearTable[ENGINE_GEARS - 1].speed)
        return EngineGearTable[ENGINE_GEARS - 1].high;
    const int g = EngineGear(s);
    const EngineGearRow& row = EngineGearTable[g];
    const float from = g == 0 ? 0.0f : EngineGearTable[g - 1].speed;
    const float x = (s - from) / (row.speed - from);
    return row.low + (row.high - row.low) * x;
}

void CVehicleObject::UpdateSteering()
{
    const float dt = g_Clock.m_GameStep;
    const float c = 1.0f / (std::fabs(Speed) * 0.04f + 1.0f);
    const float r = std::max(Chassis, 1.0f) * dt * c * 2.0f;
    if (SteerInput == 0.0f)
    {
        if (Steer > 0.0f)
            Steer = std::max(0.0f, Steer - r);
        else if (Steer < 0.0f)
            Steer = std::min(0.0f, Steer + r);
    }
    else
    {
        // Turning the other way first brings the wheel back at the return rate.
        if (SteerInput < 0.0f && Steer > 0.0f)
            Steer -= r;
        if (SteerInput > 0.0f && Steer < 0.0f)
            Steer += r;
        Steer += SteerInput * dt * Chassis * c;
    }
    Steer = std::min(kMaxSteer, std::max(-kMaxSteer, Steer));
    SteerInput = 0.0f;
    if (Vehicle)
        Vehicle->setSteeringValue(Steer, 0);
    HandlebarAngle = RiderInSteeringPose(Rider) ? std::min(kMaxHandlebar, std::max(-kMaxHandlebar, Steer)) : 0.0f;
}

void CVehicleObject::UpdateEngine()
{
    const float dt = g_Clock.m_GameStep;
    if (Vehicle)
        Speed = Vehicle->getCurrentSpeedKmHour();
    RaceStats.TopSpeed = std::max(RaceStats.TopSpeed, Speed);

    // Half power off the road, full power on it. A rubber band may take a
    // weak racer's power below 0, which must slow it, never drive it
    // backwards.
    const float road = g_Landscape.GetRoutePower(Position);
    const float limit = (road * 0.01f + 1.0f) * 0.5f * std::max(EnginePower, 0.0f);
    if (EngineForce > limit)
    {
        Throttle = 0.0f;
        EngineForce = limit;
    }

    if (Throttle != 0.0f)
    {
        EngineForce += Throttle * dt * Transmission / (std::max(EngineForce, 0.0f) * 0.004f + 1.0f);
        EngineForce = std::min(EngineForce, limit);
    }
    else if (EngineForce > 0.0f)
        EngineForce = std::max(0.0f, EngineForce - dt * 2000.0f * Transmission * 0.2f);

    if (BrakeInput != 0.0f)
    {
        BrakeRamp = std::min(100.0f, BrakeRamp + BrakeInput * dt * 2.5f);
        if (BrakeRamp == 100.0f)
        {
            if (RearBrake)
                EngineForce = 0.0f;
            else if (Speed < 0.0f)
                // Reverse drive, fading out at 80 km/h backwards.
                EngineForce = -(1.0f - std::min(1.0f, std::fabs(Speed) * 0.0125f)) * limit;
            else
                EngineForce -= dt * 2000.0f * Transmission * 2.0f;
        }
        EngineForce = std::max(EngineForce, -limit);
    }
    else
    {
        BrakeRamp = std::max(0.0f, BrakeRamp - dt * 200.0f);
        if (EngineForce < 0.0f)
        {
            EngineForce += dt * 2000.0f * Transmission * 0.5f;
            // Throttle while still backing up brakes first.
            if (Throttle != 0.0f)
                BrakeInput = 100.0f;
        }
    }

    float applied = EngineForce;
    if (Throttle != 0.0f && BrakeInput == 0.0f)
        // Extra pull below 50 km/h.
        applied =
            EngineForce * (1.0f + std::max(0.0f, 50.0f - std::max(Speed, 0.0f)) / (20.0f / (Transmission * 0.5f)));
    else if (applied > 0.0f)
        applied = 0.0f;   // only backward force passes
    if (BrakeInput != 0.0f && Speed > 1.0f)
        applied = 0.0f;

    float brake = (float)(RearBrake + 1) * BrakeRamp * 0.5f;
    if (BrakeInput != 0.0f && applied < 0.0f && RearBrake == 0)
        brake = 0.0f;   // no brake while reversing
    if (Vehicle && Vehicle->getNumWheels() > 1)
    {
        Vehicle->applyEngineForce(applied, 1);
        Vehicle->setBrake(brake, 1);
    }

    Gear = EngineGear(Speed);
    UpdateEngineSound(EnginePitchRatio(Speed));

    Throttle = 0.0f;
    BrakeInput = (float)RearBrake * 100.0f;   // the handbrake keeps braking
}

void CVehicleObject::UpdateEngineSound(float pitchRatio)
{
    if (!g_SoundOn)
        return;
    const bool menuUp = g_ControlHooks.menuActive && g_ControlHooks.menuActive();
    if (menuUp || !(cameraDistance < kEngineSoundDistance))
    {
        if (EngineSound)
            g_AudioManager.ReleaseSound(&EngineSound);
        return;
    }
    if (EngineSound && !EngineSound->IsPlaying())
        g_AudioManager.ReleaseSound(&EngineSound);
    if (!EngineSound)
    {
        char name[64];
        std::snprintf(name, sizeof(name), "Data/Audio/En%02d.wav", EngineSoundNumber + 1);
        EngineSound = g_AudioManager.LoadSound(name, SOUND_TYPE_3D, kEngineSoundMinDistance, kEngineSoundDistance);
        if (!EngineSound)
            return;
        EnginePitch = (float)EngineSound->baseFrequency;
        // A new sound is set up and started at once: one left silent until
        // the next frame would be taken for a sound that has ended.
    }
    const float target = (float)EngineSound->baseFrequency * pitchRatio;
    const float step = kEnginePitchRate * g_Clock.m_GameStep;
    if (EnginePitch < target)
        EnginePitch = std::min(target, EnginePitch + step);
    else
        EnginePitch = std::max(target, EnginePitch - step);
    EngineVolume = kEngineVolume;
    const D3DXVECTOR3 centre(worldCentre[0], worldCentre[1], worldCentre[2]);
    const D3DXVECTOR3 velocity(linearVelocity[0], linearVelocity[1], linearVelocity[2]);
    EngineSound->SetPosition(&centre);
    EngineSound->SetVelocity(&velocity);
    EngineSound->SetVolume(EngineVolume);
    EngineSound->SetFrequency((uint32_t)std::max(EnginePitch, 0.0f));
    if (!EngineSound->IsPlaying())
        EngineSound->Play(1);
}

void CVehicleObject::UpdateTyreSound()
{
    const bool marking = SkidTrail[0] || SkidTrail[1];
    if (marking && g_Landscape.GetRoutePower(worldCentre) > kScreechRoadPower)
    {
        // The pool may refuse (no free slot, or too far to be heard): then
        // the start is tried again next frame.
        if (!TyreSound)
            TyreSound = g_AudioManager.PlaySkid(this);
    }
    else if (TyreSound)
    {
        g_AudioManager.StopSkidsOf(this);
        TyreSound = nullptr;
    }
}

void CVehicleObject::UpdateParts()
{
    if (FrontAssembly && meshRecord && meshRecord->pointCount[VEHICLE_POINT_SET_WHEELS] >= 4)
    {
        const D3DXVECTOR3* p = meshRecord->points[VEHICLE_POINT_SET_WHEELS];
        D3DXVECTOR3 axis = p[2] - p[0];
        VecNormalize(axis, axis);
        D3DXMATRIX turn, move, own, local;
        D3DXMatrixRotationAxis(&turn, &axis, HandlebarAngle);
        D3DXMatrixTranslation(&move, p[0].x, p[0].y, p[0].z);
        own = world;
        D3DXMatrixMultiply(&local, &turn, &move);
        D3DXMATRIX placed;
        D3DXMatrixMultiply(&placed, &local, &own);
        FrontAssembly->world = placed;
    }
    if (RearAssembly)
        RearAssembly->world = world;
}

void CVehicleObject::UpdateLean()
{
    // A fallen rider leaves the motorcycle to itself.
    if (!body || (Rider && Rider->RagDoll))
        return;
    const D3DXVECTOR3 up = Row(world, 1);
    if (std::fabs(up.y) < 0.5f)
        return;   // tipped far over
    const float dt = g_Clock.m_GameStep;

    const float target = Steer * 1.25f * std::min(1.5f, std::fabs(Speed) * 0.02f);
    if (Lean < target)
        Lean = std::min(target, Lean + (target - Lean) * dt * 5.0f);
    else if (Lean > target)
        Lean = std::max(target, Lean - (Lean - target) * dt * 5.0f);
    Lean = std::min(kMaxLean, std::max(-kMaxLean, Lean));
}

void CVehicleObject::CorrectLean(float step)
{
    if (!body || !body->isInWorld() || (Rider && Rider->RagDoll))
        return;
    D3DMATRIX own;
    MatrixFromTransform(own, body->getWorldTransform());
    const D3DXVECTOR3 up = Row(own, 1);
    if (std::fabs(up.y) < 0.5f)
        return;   // tipped far over

    // The up vector of an upright motorcycle with this heading, turned about
    // the forward axis by the lean.
    const D3DXVECTOR3 position(own._41, own._42, own._43);
    const D3DXVECTOR3 forward = Row(own, 2);
    D3DXMATRIX upright;
    MatrixFromPosTargetUp(upright, position, position + forward * 100.0f, D3DXVECTOR3(0, 1, 0));
    D3DXMATRIX turn;
    D3DXMatrixRotationAxis(&turn, &forward, -Lean);
    const D3DXVECTOR3 uprightUp = Row(upright, 1);
    D3DXVECTOR3 wanted;
    D3DXVec3TransformNormal(&wanted, &uprightUp, &turn);

    D3DXMATRIX frame = own, inverse;
    if (!D3DXMatrixInverse(&inverse, nullptr, &frame))
        return;
    const D3DXVECTOR3 error = wanted - up;
    D3DXVECTOR3 localError, spin, localSpin;
    D3DXVec3TransformNormal(&localError, &error, &inverse);
    const btVector3& w = body->getAngularVelocity();
    spin = D3DXVECTOR3(w.x(), w.y(), w.z());
    D3DXVec3TransformNormal(&localSpin, &spin, &inverse);
    localSpin.z -= LeanMass * localError.x * step * 5.0f;
    D3DXVec3TransformNormal(&spin, &localSpin, &frame);
    body->setAngularVelocity(btVector3(spin.x, spin.y, spin.z));
}
