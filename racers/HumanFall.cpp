// The rider's per-frame step and its falls: the switch between riding and
// fallen, the rest check and the ground dust.
#include <btBulletDynamicsCommon.h>

#include <cmath>

#include "audio/AudioManager.h"
#include "common/Keywords.h"
#include "common/MathUtil.h"
#include "core/GameClock.h"
#include "core/Physics.h"
#include "core/RaceState.h"
#include "racers/BulletMatrix.h"
#include "racers/HumanObject.h"
#include "racers/RagDoll.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/Views.h"
#include "scene/Dusts.h"
#include "scene/ObjectPhysics.h"
#include "world/Sky.h"

void CHumanObject::Update()
{
    FollowVehicle();
    CheckRagdollRest();

    const D3DXVECTOR3 toEye = D3DXVECTOR3(worldCentre[0], worldCentre[1], worldCentre[2]) - g_Views.Current()->eye;
    cameraDistance = D3DXVec3Length(&toEye) - boundRadius;
    // Drawing stops at 100, so the fade is left unclamped past it.
    material.Diffuse.a = cameraDistance <= 65.0f ? 1.0f : 1.0f - (cameraDistance - 65.0f) / 35.0f;

    UpdateAnimation();
    DustTimer += g_Clock.m_GameStep;
}

// --- Falling off and getting back on -----------------------------------------

void CHumanObject::SetRagdoll(int fall, const float* velocity)
{
    if (fall)
    {
        // Only a riding rider falls, and only with everything a ragdoll is
        // made of: a motorcycle with a seat, the shared part shapes, a world.
        D3DXVECTOR3 seat;
        if (RagDoll || !Loaded || !PartsMesh || !VehicleSeatPoint(Vehicle, &seat) || !g_PhysicsWorld.dynamicsWorld)
            return;
        for (btBoxShape* shape : g_HumanPartShapes)
            if (!shape)
                return;

        ++Vehicle->RaceStats.Falls;
        // Straight out of the world: the in-world flag stays, since the rest
        // check reads it for the ragdoll.
        if (body && body->isInWorld())
            RemoveBodyFromWorld(body);

        const D3DMATRIX own = Vehicle->world;
        const D3DXVECTOR3 back = seat - D3DXVECTOR3(0.0f, 0.0f, 0.1f);
        D3DXVECTOR3 q;
        D3DXVec3TransformCoord(&q, &back, reinterpret_cast<const D3DXMATRIX*>(&own));
        const D3DXVECTOR3 forward(own._31, own._32, own._33), up(own._21, own._22, own._23);
        D3DXMATRIX frame;
        MatrixFromPosTargetUp(frame, q, q + forward - up * 0.35f, up);
        world = frame;
        Position[0] = q.x;
        Position[1] = q.y;
        Position[2] = q.z;
        const btTransform start = TransformFromMatrix(frame);

        RagDoll = new CRagDoll(PartsMesh, this, start, velocity ? velocity : Vehicle->linearVelocity);

        // The player's view is remembered for the respawn to return to; an
        // eye on the toppled motorcycle would tumble with it, so the camera
        // steps back to the far chase while the rider is down.
        CCamera* camera = g_Views.activeCamera;
        if (Vehicle == g_PlayerVehicle && camera)
        {
            camera->lastPlayerMode = camera->viewMode;
            if (camera->viewMode == VIEWMODE_ONBOARD && camera->target == Vehicle)
                camera->SetMode(VIEWMODE_CHASE_FAR, Vehicle);
        }
        g_AudioManager.PlayVoice(VoiceIndex == 0 ? VOICE_MS : VOICE_FS, VoicePitch, this);
        SetAction(ACTION_NONE);
        return;
    }

    if (!RagDoll)
        return;
    delete RagDoll;
    RagDoll = nullptr;
    FollowVehicle();
    if (body && !body->isInWorld())
        AddBodyToWorld(body);
    inWorld = 1;
    SetAction(ACTION_STEERING);
}

void CHumanObject::CheckRagdollRest()
{
    if (!RagDoll || !inWorld)
        return;
    for (btRigidBody* b : RagDoll->bodies)
    {
        const int state = b->getActivationState();
        if (state != ISLAND_SLEEPING && state != DISABLE_SIMULATION)
            return;
    }
    RagDoll->RemoveFromWorld();
    inWorld = 0;
}

RiderDustPuff MakeRiderDustPuff(const float* point, const float* v, float sunIntensity, int winter)
{
    RiderDustPuff puff;
    for (int i = 0; i < 3; ++i)
        puff.position[i] = point[i];
    puff.velocity[0] = 0.75f * v[0];
    puff.velocity[1] = 0.75f * v[1] + 0.5f;
    puff.velocity[2] = 0.75f * v[2];
    puff.size = 0.25f;
    puff.life = 2.0f;
    puff.growth = 0.2f * std::sqrt(puff.velocity[0] * puff.velocity[0] + puff.velocity[1] * puff.velocity[1] +
                                   puff.velocity[2] * puff.velocity[2]);
    const float l = std::fmax(0.25f, sunIntensity);
    puff.colour[0] = 0.55f * l;
    puff.colour[1] = winter ? 0.55f * l : 0.35f * l;
    puff.colour[2] = winter ? 0.55f * l : 0.15f * l;
    puff.colour[3] = 0.5f;
    return puff;
}

void CHumanObject::SpawnDust(const float* point)
{
    if (!point || DustTimer < 0.1f)
        return;
    const float speed = std::sqrt(linearVelocity[0] * linearVelocity[0] + linearVelocity[1] * linearVelocity[1] +
                                  linearVelocity[2] * linearVelocity[2]);
    if (!(speed >= 2.0f))
        return;
    const int winter =
        g_CurrentRace >= 0 && g_CurrentRace < RACE_ROWS && g_RaceTable.season[g_CurrentRace] == 2 ? 1 : 0;
    const RiderDustPuff puff = MakeRiderDustPuff(point, linearVelocity, g_Sky.sunIntensity, winter);
    g_Dusts.Emit(puff.position, puff.velocity, puff.size, puff.life, puff.growth, puff.colour);
    DustTimer = 0.0f;
}
