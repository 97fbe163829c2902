// The drive states: switching between them, the reset for the start grid,
// and the three plain controllers (hold on the grid, stop, back up).
#include <btBulletDynamicsCommon.h>

#include <cstring>

#include "core/GameClock.h"
#include "platform/os/Rand.h"
#include "racers/VehicleObject.h"

void CVehicleObject::SetState(int state)
{
    PreviousDriveState = DriveState;
    if (state == DriveState)
        return;
    DriveState = state;
    StuckTimer = 0.0f;
    KickedTimer = 0.0f;
    // Racers that change state together start their kick checks apart.
    KickTimer = -(float)(GameRand() % 101) * 0.04f;
}

void CVehicleObject::ResetDriving()
{
    std::memset(linearVelocity, 0, sizeof(linearVelocity));
    std::memset(angularVelocity, 0, sizeof(angularVelocity));
    std::memset(PreviousVelocity, 0, sizeof(PreviousVelocity));
    std::memset(PreviousAngularVelocity, 0, sizeof(PreviousAngularVelocity));
    if (body)
    {
        body->setLinearVelocity(btVector3(0, 0, 0));
        body->setAngularVelocity(btVector3(0, 0, 0));
    }
    Speed = Throttle = EngineForce = SteerInput = Steer = 0.0f;
    BrakeInput = BrakeRamp = 100.0f;
    RearBrake = 1;
    ControlMode = CONTROL_COMPUTER;
    SetState(DRIVE_STOP);
}

void CVehicleObject::DriveHold()
{
    Throttle = 0.0f;
    BrakeInput = 100.0f;
    SteerInput = 0.0f;
    RearBrake = 1;
    if (!body)
        return;
    // The body keeps its height and its turn; only x and z go back to where
    // the grid put the motorcycle. The body's origin is the centre of mass,
    // which lies off the model origin by the turned mass-centre offset.
    btTransform t = body->getWorldTransform();
    const btVector3 offset = t.getBasis() * btVector3(massCentreOffset[0], massCentreOffset[1], massCentreOffset[2]);
    const btVector3 origin = t.getOrigin();
    t.setOrigin(btVector3(placement._41 - offset.x(), origin.y(), placement._43 - offset.z()));
    body->setCenterOfMassTransform(t);
    if (body->getMotionState())
        body->getMotionState()->setWorldTransform(t);
    const btVector3 v = body->getLinearVelocity();
    body->setLinearVelocity(btVector3(0, v.y(), 0));
}

void CVehicleObject::DriveStop()
{
    Throttle = 0.0f;
    BrakeInput = 100.0f;
    SteerInput = 0.0f;
    RearBrake = 1;
}

void CVehicleObject::DriveUnstick()
{
    // A full brake from standstill turns into reverse drive.
    SteerInput = -TargetDirection[0];
    Throttle = 0.0f;
    BrakeInput = 100.0f;
    StuckTimer += g_Clock.m_GameStep;
    if (StuckTimer > 1.0f)
        SetState(PreviousDriveState);
}
