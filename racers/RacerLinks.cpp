#include "racers/RacerLinks.h"

#include "common/Keywords.h"
#include "core/Physics.h"
#include "racers/HumanManager.h"
#include "racers/HumanObject.h"
#include "racers/VehicleCamera.h"
#include "racers/VehicleDraw.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/CameraHooks.h"
#include "scene/LightSprite.h"
#include "scene/Occlusion.h"
#include "scene/WheelSkids.h"

void ConnectRacersLinks()
{
    // The contact pass: a motorcycle's impacts, and a rider on its motorcycle,
    // thrown off it, raising dust.
    g_PhysicsObjectAccess.onImpact = [](CStaticObject* object, const float* point, const float* normal,
                                        CStaticObject* partner) {
        if (object && object->objectType == GTYPE_VEHICLE)
            static_cast<CVehicleObject*>(object)->OnImpact(point, normal, partner);
    };
    g_PhysicsObjectAccess.ridingOn = [](const CStaticObject* object) -> const CStaticObject* {
        const CHumanObject* rider = static_cast<const CHumanObject*>(object);
        return rider->RagDoll ? nullptr : rider->Vehicle;
    };
    g_PhysicsObjectAccess.throwOff = [](CStaticObject* object) {
        static_cast<CHumanObject*>(object)->SetRagdoll(1, nullptr);
    };
    g_PhysicsObjectAccess.spawnDust = [](CStaticObject* object, const float* point) {
        static_cast<CHumanObject*>(object)->SpawnDust(point);
    };

    // Every racer's lean correction, before each fixed physics step: a slow
    // frame runs several steps, and corrected only once for all of them a
    // heavy motorcycle rocks itself over.
    g_BeforePhysicsSubstep = [](float step) {
        for (int i = 0; i < g_Vehicles.racerCount; ++i)
            if (g_Vehicles.racers[i])
                g_Vehicles.racers[i]->CorrectLean(step);
    };

    // The camera follows the player's motorcycle and shows its statistics.
    g_CameraHooks.readTarget = ReadCameraTarget;
    g_CameraHooks.playerVehicle = []() -> CStaticObject* { return g_PlayerVehicle; };
    g_CameraHooks.playerStatistics = [](CameraPlayerStatistics* out) {
        const CVehicleObject* v = g_PlayerVehicle;
        if (!v)
            return 0;
        out->wheelsOnGround = v->WheelsOnGround;
        out->engineForce = v->EngineForce;
        out->brakingForce = v->BrakeRamp;
        out->speed = v->Speed;
        out->jumpPower = v->Rider ? v->Rider->StandUpLift : 0.0f;
        out->angularVelocityY = v->angularVelocity[1];
        return 1;
    };

    // The skid marks reach the motorcycles that own their strips.
    g_SkidHooks.ownerSide = [](const CVehicleObject* owner, float side[3]) {
        side[0] = owner->world._11;
        side[1] = owner->world._12;
        side[2] = owner->world._13;
    };
    g_SkidHooks.releaseOwner = [](CVehicleObject* owner, const CSkidStrip* strip) {
        for (int i = 0; i < 2; ++i)
            if (owner->SkidTrail[i] == strip)
            {
                owner->SkidTrail[i] = nullptr;
                return;
            }
    };

    // What a building hides besides the placed objects and land parts.
    g_OcclusionHooks[OCCLUSION_RACERS] = [] { g_Vehicles.CheckOcclusion(); };
    g_OcclusionHooks[OCCLUSION_RIDERS] = [] { g_HumanManager.CullHidden(); };

    g_LightSpriteInputs.brakeRamp = LampOwnerBrake;
}
