// The motorcycle record: construction, the motorcycle file, paint and decal,
// upgrades, release and the order of one frame.
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

namespace
{

const char kLoadError[] = "LoadVehicle() error!";

// Points of a mesh are taken as they are stored; a damaged mesh may hold
// anything, and these points divide and normalise.
bool SanePoint(const D3DXVECTOR3& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::fabs(p.x) < 1000.0f &&
           std::fabs(p.y) < 1000.0f && std::fabs(p.z) < 1000.0f;
}

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

// The body mesh's wheel points and collision parts, and the wheels mesh's two
// wheels, as the physics needs them. Returns the message text of the first
// problem, or null.
const char* CheckMeshes(const MeshRecord* body, const MeshRecord* wheels)
{
    if (!body)
        return "Motorcycle mesh is missing!";
    if (body->partCount[MESH_SLOT_CYLINDERS] <= 0 && body->partCount[MESH_SLOT_BOXES] <= 0)
        return "Motorcycle has no collision parts!";
    if (body->pointCount[VEHICLE_POINT_SET_WHEELS] < 4 || !body->points[VEHICLE_POINT_SET_WHEELS])
        return "Wrong motorcycle wheel points!";
    const D3DXVECTOR3* p = body->points[VEHICLE_POINT_SET_WHEELS];
    for (int i = 0; i < 4; ++i)
        if (!SanePoint(p[i]))
            return "Wrong motorcycle wheel points!";
    // Each suspension top must stand above its axle: the compression divides
    // by the front height and both wheel directions are normalised from it.
    if (!(p[2].y > p[0].y + 0.001f) || !(p[3].y > p[1].y + 0.001f))
        return "Wrong motorcycle wheel points!";
    if (!wheels || wheels->partCount[MESH_SLOT_MAIN] < 2 || !wheels->partSize[MESH_SLOT_MAIN])
        return "Wrong motorcycle wheels!";
    for (int i = 0; i < 2; ++i)
    {
        const float r = wheels->partSize[MESH_SLOT_MAIN][i][1] * 0.5f;
        if (!std::isfinite(r) || r <= 0.01f || r > 100.0f)
            return "Wrong motorcycle wheels!";
    }
    for (int slot : {(int)MESH_SLOT_CYLINDERS, (int)MESH_SLOT_BOXES})
        for (int i = 0; i < body->partCount[slot]; ++i)
        {
            const D3DXVECTOR3 size(body->partSize[slot][i][0], body->partSize[slot][i][1], body->partSize[slot][i][2]);
            const D3DXVECTOR3 low(body->partBox[slot][i][0], body->partBox[slot][i][1], body->partBox[slot][i][2]);
            if (!SanePoint(size) || !SanePoint(low))
                return "Motorcycle has no collision parts!";
        }
    return nullptr;
}

CStaticObject* LoadPart(const char* file)
{
    CStaticObject* part = new CStaticObject();
    if (file[0])
        part->Create(file, 1, 0, 0x220, 1);
    return part;
}

void FreePart(CStaticObject*& part)
{
    if (!part)
        return;
    part->Release();
    delete part;
    part = nullptr;
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

int CVehicleObject::LoadVehicle(const char* file)
{
    const int handle = Create(file, 0, 0, 0x220, 0);
    if (handle == -1)
        return -1;

    VehicleFileValues v;
    char error[128];
    if (!ReadVehicleValues(handle, &v, error, sizeof(error)))
    {
        g_FileManager.Close(handle);
        ShowMessage(error, kLoadError, MB_OK);
        return -1;
    }

    FrontAssembly = LoadPart(v.frontAssembly);
    RearAssembly = LoadPart(v.rearAssembly);
    Wheels = LoadPart(v.wheels);
    // A motorcycle without the points, parts and wheels its physics reads
    // would divide by zero or build no shape: it is refused and gets no body.
    const char* problem = CheckMeshes(meshRecord, Wheels->meshRecord);
    if (problem)
    {
        g_FileManager.Close(handle);
        ShowMessage(problem, kLoadError, MB_OK);
        return -1;
    }
    for (int i = 0; i < 2; ++i)
        WheelRadius[i] = Wheels->meshRecord->partSize[MESH_SLOT_MAIN][i][1] * 0.5f;

    Mass = LeanMass = v.mass;
    FileEnginePower = BaseEnginePower = EnginePower = v.enginePower;
    FileTransmission = BaseTransmission = Transmission = v.transmission;
    BaseChassis = Chassis = v.chassis;
    for (int i = 0; i < 3; ++i)
        FileUpgradeLevels[i] = UpgradeLevels[i] = v.upgradeLevels[i];
    BaseFrontFrictionSlip = FrontFrictionSlip = v.frontFrictionSlip;
    BaseRearFrictionSlip = RearFrictionSlip = v.rearFrictionSlip;
    FrontRollInfluence = v.frontRollInfluence;
    RearRollInfluence = v.rearRollInfluence;
    SuspensionStiffness = v.suspensionStiffness;
    SuspensionCompression = v.suspensionCompression;
    SuspensionDamping = v.suspensionDamping;
    CentreOfMassHeight = v.centreOfMassHeight;
    EngineSoundNumber = v.engineSoundNumber;

    boundRadius = 2.0f;
    MaxSpeed = EnginePower / Mass * 40.0f;
    SetPaint(nullptr, nullptr, nullptr);
    BodyMaterial.Diffuse.a = 0.0f;   // invisible until the first update fades it in
    g_FileManager.Close(handle);
    Loaded = 1;
    return handle;
}

void CVehicleObject::SetPaint(const int* decalId, const float* colour1, const float* colour2)
{
    g_Render.ReleaseTexture(DecalTexture);
    DecalTexture = -1;
    if (PaintTexture)
    {
        PaintTexture->Release();
        PaintTexture = nullptr;
    }

    if (decalId && *decalId != -1 && colour1 && colour2)
    {
        std::memcpy(PaintColor1, colour1, sizeof(PaintColor1));
        std::memcpy(PaintColor2, colour2, sizeof(PaintColor2));
        DecalId = *decalId;
    }
    else
    {
        for (int i = 0; i < 3; ++i)
            PaintColor1[i] = (float)(GameRand() % 256) / 255.0f;
        PaintColor1[3] = 1.0f;
        for (int i = 0; i < 3; ++i)
            PaintColor2[i] = (float)(GameRand() % 256) / 255.0f;
        PaintColor2[3] = 1.0f;
        float* black = (GameRand() % 100 >= 50) ? PaintColor1 : PaintColor2;
        for (int i = 0; i < 4; ++i)
            black[i] = 0.0f;
        DecalId = -1;
    }

    CTextureManager::FillColorTexture(&PaintTexture,
                                      D3DXCOLOR(PaintColor1[0], PaintColor1[1], PaintColor1[2], PaintColor1[3]), 8);
    DecalTexture = CVehicleManager::LoadDecal(&DecalId);
}

void CVehicleObject::ApplyUpgrades(int k)
{
    const float e = (float)UpgradeLevels[0], t = (float)UpgradeLevels[1], c = (float)UpgradeLevels[2];
    EnginePower = BaseEnginePower + (float)k * e * 50.0f;
    MaxSpeed = Mass > 0.0f ? EnginePower / Mass * 40.0f : 0.0f;
    Transmission = BaseTransmission + (float)k * t * 0.2f;
    Chassis = BaseChassis + (float)k * c * 0.2f;
    FrontFrictionSlip = BaseFrontFrictionSlip + (float)k * c * 0.05f;
    RearFrictionSlip = BaseRearFrictionSlip + (float)k * c * 0.05f;
}

void CVehicleObject::Release()
{
    PathPoint = 0;
    g_AudioManager.ReleaseSound(&EngineSound);
    g_AudioManager.StopImpactsOf(this);
    g_AudioManager.StopSkidsOf(this);
    EngineSound = nullptr;
    TyreSound = nullptr;

    // Out of the world first, then deleted: the world must never hold a
    // vehicle or body whose parts are gone.
    if (Vehicle && g_PhysicsWorld.dynamicsWorld)
        g_PhysicsWorld.dynamicsWorld->removeVehicle(Vehicle);
    RemoveBody();
    delete Vehicle;
    Vehicle = nullptr;
    if (ChassisShape)
    {
        for (int i = ChassisShape->getNumChildShapes() - 1; i >= 0; --i)
        {
            btCollisionShape* child = ChassisShape->getChildShape(i);
            ChassisShape->removeChildShapeByIndex(i);
            delete child;
        }
        delete ChassisShape;
        ChassisShape = nullptr;
    }

    FreePart(FrontAssembly);
    FreePart(RearAssembly);
    FreePart(Wheels);

    g_Render.ReleaseTexture(DecalTexture);
    DecalTexture = -1;
    if (PaintTexture)
    {
        PaintTexture->Release();
        PaintTexture = nullptr;
    }
    if (Rider)
        g_HumanManager.Remove(Rider);
    Rider = nullptr;
    Loaded = 0;
    CStaticObject::Release();
}

void CVehicleObject::Update()
{
    UpdateFade();
    UpdateController();
    UpdateSteering();
    UpdateEngine();
    SyncFromBody();
    UpdateWheels();
    UpdateParts();
    UpdateJump();
    UpdateLean();
    // The player's speed sets the camera's motion blur.
    if (this == g_PlayerVehicle && g_Views.activeCamera)
        g_Views.activeCamera->UpdateSpeedBlur();
}

void CVehicleObject::UpdateFade()
{
    const D3DXVECTOR3 centre(worldCentre[0], worldCentre[1], worldCentre[2]);
    const D3DXVECTOR3 toEye = centre - g_Views.mainCamera.eye;
    cameraDistance = D3DXVec3Length(&toEye) - boundRadius;
    float fade = 1.0f;
    if (cameraDistance > 65.0f)
        fade = 1.0f - (cameraDistance - 65.0f) / 35.0f;
    BodyMaterial.Diffuse.a = fade < 0.0f ? 0.0f : fade;
    material = BodyMaterial;
}

void CVehicleObject::UpdateController()
{
    if (ControlMode == CONTROL_KEYBOARD)
        UpdatePlayerControl();
    switch (DriveState)
    {
    case DRIVE_HOLD:
        DriveHold();
        break;
    case DRIVE_STOP:
        DriveStop();
        break;
    case DRIVE_AUTOPILOT:
        DriveAutopilot();
        break;
    case DRIVE_AI:
        DriveAiRacer();
        break;
    case DRIVE_UNSTICK:
        DriveUnstick();
        break;
    default:
        break;   // DRIVE_PLAYER: the keyboard alone
    }

    // The in-race display's "kicked" message joins here when the kicked
    // timer of the player's motorcycle runs out.
    KickedTimer = std::max(0.0f, KickedTimer - g_Clock.m_GameStep);

    // A computer racer stopped before its finish while the race runs goes
    // back to racing.
    if (g_RaceRunning && this != g_PlayerVehicle && DriveState == DRIVE_STOP && RaceStats.DistanceLeft > 0.0f)
    {
        SetState(DRIVE_AI);
        PreviousDriveState = DRIVE_AI;
    }
}

void CVehicleObject::UpdatePlayerControl()
{
    if (ControlMode != CONTROL_KEYBOARD)
        return;
    // A motorcycle without a rider (the rider list was full) is ridden as if
    // its rider sat on it.
    const bool riding = !Rider || !Rider->RagDoll;
    const float dt = g_Clock.m_GameStep;
    if (!riding)
    {
        // Fallen: back on the route after 3 s, to the crowd's booing.
        StuckTimer += dt;
        if (StuckTimer > 3.0f && !GameEventRunning())
        {
            PostGameEvent(GEVENT_RESPAWN, this, 0);
            g_AudioManager.PlayCrowd(CROWD_FOO, 1);
        }
    }
    else
    {
        if (std::fabs(Speed) < 5.0f && WheelsOnGround < 2)
            StuckTimer += dt;
        else
            StuckTimer = 0.0f;
        if (StuckTimer > 1.0f && WheelsOnGround < 2 && !GameEventRunning())
            PostGameEvent(GEVENT_RESPAWN, this, 0);
    }

    Throttle = 0.0f;
    BrakeInput = 0.0f;
    SteerInput = 0.0f;
    if (riding)
    {
        if (g_ControlFlags[CTRL_THROTTLE])
            Throttle = 2000.0f;
        if (g_ControlFlags[CTRL_BRAKE])
            BrakeInput = 100.0f;
        if (g_ControlFlags[CTRL_FULL_BRAKE])
            BrakeInput = 100.0f;
        RearBrake = g_ControlFlags[CTRL_FULL_BRAKE] ? 1 : 0;
        if (g_ControlFlags[CTRL_TURN_LEFT])
            SteerInput = -1.0f;
        if (g_ControlFlags[CTRL_TURN_RIGHT])
            SteerInput = 1.0f;
    }

    if (g_RaceRunning && riding)
    {
        UpdateRouteProgress();
        UpdateDistanceLeft();
    }

    // Developer reset: upright again at the placement frame, the rider back on.
    if (g_DebugMode && g_KeyFlags[KEY_SHIFT] && g_KeyFlags[KEY_INSERT])
    {
        SetPosition(nullptr, nullptr, nullptr, CONTROL_KEYBOARD, RacerKind);
        ControlMode = CONTROL_KEYBOARD;
        g_KeyFlags[KEY_INSERT] = 0;
        if (Rider)
            Rider->SetRagdoll(0);
    }
}

int RiderThrowVelocity(const float previous[3], const float current[3], const float up[3], float throwVelocity[3])
{
    const float dx = previous[0] - current[0];
    const float dz = previous[2] - current[2];
    const float lost = std::sqrt(dx * dx + dz * dz);
    if (!(lost > 10.0f))
        return 0;
    float v[3] = {0.8f * dx, 0.0f, 0.8f * dz};
    const float lift = std::sqrt(v[0] * v[0] + v[2] * v[2]) * 0.25f;
    for (int i = 0; i < 3; ++i)
        throwVelocity[i] = v[i] + up[i] * lift;
    return 1;
}
