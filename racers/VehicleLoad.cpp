// Loading a motorcycle from its file, with its parts, body and rider, its
// paint and decal, and giving everything back.
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
