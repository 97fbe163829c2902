// The motorcycle record: construction.
#include "racers/VehicleObject.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "audio/AudioManager.h"
#include "common/Keywords.h"
#include "core/Controls.h"
#include "core/DebugLog.h"
#include "core/FileManager.h"
#include "core/GameClock.h"
#include "core/GameEventPost.h"
#include "core/Physics.h"
#include "core/RaceState.h"
#include "core/Settings.h"
#include "platform/os/Rand.h"
#include "racers/HumanManager.h"
#include "racers/HumanObject.h"
#include "racers/VehicleFile.h"
#include "racers/VehicleManager.h"
#include "render/D3DRender.h"
#include "render/Views.h"
#include "scene/ObjectPhysics.h"

// The player's motorcycle, set by the motorcycle list; null without a player.
CVehicleObject* g_PlayerVehicle = nullptr;

namespace
{

void SetPlainMaterial(D3DMATERIAL9* m)
{
    std::memset(m, 0, sizeof(*m));
    m->Diffuse = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
    m->Ambient = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
}

float RandomStartKickTimer()
{
    return -(float)(GameRand() % 101) * 0.04f;
}

}   // namespace

CVehicleObject::CVehicleObject()
{
    // Every field of the record starts at 0 or null; the base object's own
    // construction has run and keeps its values.
    Name[0] = '\0';
    std::memset(&RaceStats, 0, sizeof(RaceStats));
    Rider = nullptr;
    DecalTexture = -1;
    PaintTexture = nullptr;
    PreviousDriveState = 0;
    std::memset(Position, 0, sizeof(Position));
    std::memset(TargetPoint, 0, sizeof(TargetPoint));
    StuckTimer = KickedTimer = 0.0f;
    UnstickTries = 0;
    LastImpactTime = 0;
    LastImpactPartner = nullptr;
    PathPoint = 0;
    std::memset(TargetDirection, 0, sizeof(TargetDirection));
    LaneOffset = OffRouteTimer = 0.0f;
    Mass = LeanMass = Speed = MaxSpeed = 0.0f;
    Transmission = BaseTransmission = EngineForce = EnginePower = BaseEnginePower = 0.0f;
    Throttle = BrakeRamp = BrakeInput = 0.0f;
    RearBrake = 0;
    Steer = SteerInput = Chassis = BaseChassis = CentreOfMassHeight = HandlebarAngle = 0.0f;
    Airborne = 0;
    FrontFrictionSlip = BaseFrontFrictionSlip = RearFrictionSlip = BaseRearFrictionSlip = 0.0f;
    FrontRollInfluence = RearRollInfluence = 0.0f;
    SuspensionStiffness = SuspensionCompression = SuspensionDamping = 0.0f;
    std::memset(UpgradeLevels, 0, sizeof(UpgradeLevels));
    RubberBand = 0;
    std::memset(PreviousVelocity, 0, sizeof(PreviousVelocity));
    std::memset(PreviousAngularVelocity, 0, sizeof(PreviousAngularVelocity));
    EngineSound = TyreSound = nullptr;
    EngineVolume = EnginePitch = 0.0f;
    Gear = 0;
    ChassisShape = nullptr;
    Vehicle = nullptr;
    RestLength = Lean = 0.0f;
    FrontAssembly = RearAssembly = Wheels = nullptr;
    WheelsOnGround = 0;
    for (int i = 0; i < VEHICLE_WHEEL_SLOTS; ++i)
    {
        WheelCompression[i] = WheelRadius[i] = WheelContact[i] = DustTimer[i] = SkidTimer[i] = 0.0f;
        SkidTrail[i] = nullptr;
        WheelSliding[i] = 0;
        SlideChange[i] = -1.0f;
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        WheelMatrix[i] = identity;
    }
    FileEnginePower = FileTransmission = 0.0f;
    std::memset(FileUpgradeLevels, 0, sizeof(FileUpgradeLevels));
    PowerFactor = TransmissionFactor = 0.0f;
    Loaded = 0;

    objectClass = GCLASS_VEHICLE;
    objectType = 0;
    vehicleName = Name;
    RacerKind = RACER_AI;
    ControlMode = CONTROL_COMPUTER;
    DriveState = DRIVE_PLAYER;
    PreviousDriveState = DRIVE_PLAYER;
    SetPlainMaterial(&BodyMaterial);
    BodyMaterial.Specular = D3DCOLORVALUE{0.5f, 0.5f, 0.5f, 1.0f};
    BodyMaterial.Power = 16.0f;
    SetPlainMaterial(&PartsMaterial);
    SetPlainMaterial(&WheelsMaterial);
    for (int i = 0; i < 3; ++i)
        PaintColor1[i] = PaintColor2[i] = 0.0f;
    PaintColor1[3] = PaintColor2[3] = 1.0f;
    DecalId = -1;
    EngineSoundNumber = -1;
    KickTimer = RandomStartKickTimer();
}
