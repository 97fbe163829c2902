// The motorcycle file: the 26 lines, the files refused with their message
// (and left without a body), paint and decal, the upgrade arithmetic, a
// computer racer's levels and factors, and release.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>

#include <cmath>
#include <memory>

#include "VehicleFixture.h"
#include "common/Keywords.h"
#include "core/CareerData.h"
#include "core/GameClock.h"
#include "core/Physics.h"
#include "core/RaceState.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/D3DRender.h"
#include "world/LandscapeTestSupport.h"

namespace
{

using vehiclefixture::Options;

class VehicleFileTest : public ::testing::Test
{
protected:
    void Mount(const Options& o) { m_Folder.reset(new testdata::DataFolder(vehiclefixture::Tree(o), true)); }
    void SetUp() override { ASSERT_EQ(g_PhysicsWorld.Create(), 1); }
    void TearDown() override
    {
        g_Vehicles.Clear();
        g_PhysicsWorld.Destroy();
        ClearRaceBlock();
        m_Folder.reset();
    }
    // Places the motorcycle as a racer of the given kind.
    static void Place(CVehicleObject& v, int kind)
    {
        const float pos[3] = {0, 5, 0}, target[3] = {0, 5, 1}, up[3] = {0, 1, 0};
        v.SetPosition(pos, target, up, CONTROL_COMPUTER, kind);
    }

    landtest::RecordingDevice m_Device;
    testdata::MessageCapture m_Messages;
    std::unique_ptr<testdata::DataFolder> m_Folder;
};

// The tests that read the generated demo data.
class VehicleFileDemoDataTest : public VehicleFileTest
{};

TEST_F(VehicleFileTest, ReadsTheTwentySixLines)
{
    Mount(Options());
    CVehicleObject v;
    ASSERT_NE(v.LoadVehicle(vehiclefixture::kFile), -1);
    EXPECT_TRUE(testdata::Messages().empty());
    EXPECT_STREQ(v.Name, "Tester");
    EXPECT_EQ(v.objectClass, GCLASS_VEHICLE);
    EXPECT_EQ(v.objectType, GTYPE_VEHICLE);
    EXPECT_FLOAT_EQ(v.Mass, 150.0f);
    EXPECT_FLOAT_EQ(v.LeanMass, 150.0f);
    EXPECT_FLOAT_EQ(v.BaseEnginePower, 300.0f);
    EXPECT_FLOAT_EQ(v.EnginePower, 300.0f);
    EXPECT_FLOAT_EQ(v.BaseTransmission, 1.5f);
    EXPECT_FLOAT_EQ(v.BaseChassis, 1.2f);
    EXPECT_EQ(v.UpgradeLevels[0], 2);
    EXPECT_EQ(v.UpgradeLevels[1], 3);
    EXPECT_EQ(v.UpgradeLevels[2], 4);
    EXPECT_FLOAT_EQ(v.BaseFrontFrictionSlip, 1.1f);
    EXPECT_FLOAT_EQ(v.BaseRearFrictionSlip, 1.0f);
    EXPECT_FLOAT_EQ(v.FrontRollInfluence, 0.1f);
    EXPECT_FLOAT_EQ(v.RearRollInfluence, 0.2f);
    EXPECT_FLOAT_EQ(v.SuspensionStiffness, 40.0f);
    EXPECT_FLOAT_EQ(v.SuspensionCompression, 2.5f);
    EXPECT_FLOAT_EQ(v.SuspensionDamping, 3.0f);
    EXPECT_FLOAT_EQ(v.CentreOfMassHeight, 0.25f);
    EXPECT_EQ(v.EngineSoundNumber, 2);
    // Wheel radii: half the height of the wheels mesh's two parts.
    EXPECT_NEAR(v.WheelRadius[0], 0.25f, 1e-5f);
    EXPECT_NEAR(v.WheelRadius[1], 0.3f, 1e-5f);
    EXPECT_FLOAT_EQ(v.boundRadius, 2.0f);
    EXPECT_NEAR(v.MaxSpeed, 300.0f / 150.0f * 40.0f, 1e-4f);
    EXPECT_EQ(v.BodyMaterial.Diffuse.a, 0.0f);   // faded in by the first update
    ASSERT_NE(v.FrontAssembly, nullptr);
    ASSERT_NE(v.Wheels, nullptr);
    EXPECT_NE(v.Wheels->meshRecord, nullptr);
    EXPECT_TRUE(v.Usable());
    v.Release();
}

// Every refused file: the message, -1, and a motorcycle that never gets a
// body, which the list then drops.
TEST_F(VehicleFileTest, RefusedFilesGiveAMessageAndNoBody)
{
    struct Case
    {
        const char* name;
        Options options;
        const char* message;
    };
    auto with = [](int line, const char* value) {
        Options o;
        o.values[line] = value;
        return o;
    };
    Options threePoints, levelTops, oneWheel, noCollision, noMesh, shortFile;
    threePoints.wheelPoints = 3;
    levelTops.topRise = 0.0f;
    oneWheel.wheelParts = 1;
    noCollision.collisionParts = false;
    noMesh.bodyMesh = false;
    shortFile.lines = 20;
    const Case cases[] = {
        {"mass 0", with(5, "0"), "LoadVehicle() error!|Wrong motorcycle value in line 5!"},
        {"negative mass", with(5, "-150"), "LoadVehicle() error!|Wrong motorcycle value in line 5!"},
        {"mass beyond float", with(5, "1e60"), "LoadVehicle() error!|Wrong motorcycle value in line 5!"},
        {"mass not a number", with(5, "nan"), "LoadVehicle() error!|Wrong motorcycle value in line 5!"},
        {"infinite power", with(6, "inf"), "LoadVehicle() error!|Wrong motorcycle value in line 6!"},
        {"level above 10", with(11, "11"), "LoadVehicle() error!|Wrong motorcycle value in line 11!"},
        {"level beyond int", with(10, "99999999999999999999"),
         "LoadVehicle() error!|Wrong motorcycle value in line 10!"},
        {"no stiffness", with(20, "0"), "LoadVehicle() error!|Wrong motorcycle value in line 20!"},
        {"sound number 99", with(25, "99"), "LoadVehicle() error!|Wrong motorcycle value in line 25!"},
        {"file ends early", shortFile, "LoadVehicle() error!|Motorcycle file is too short!"},
        {"three wheel points", threePoints, "LoadVehicle() error!|Wrong motorcycle wheel points!"},
        {"tops level with the axles", levelTops, "LoadVehicle() error!|Wrong motorcycle wheel points!"},
        {"one wheel", oneWheel, "LoadVehicle() error!|Wrong motorcycle wheels!"},
        {"no collision parts", noCollision, "LoadVehicle() error!|Motorcycle has no collision parts!"},
        {"no body mesh", noMesh, "LoadVehicle() error!|Motorcycle mesh is missing!"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Mount(c.options);
        testdata::Messages().clear();
        {
            CVehicleObject v;
            EXPECT_EQ(v.LoadVehicle(vehiclefixture::kFile), -1);
            ASSERT_FALSE(testdata::Messages().empty());
            EXPECT_EQ(testdata::Messages().back(), c.message);
            EXPECT_FALSE(v.Usable());
            Place(v, RACER_AI);
            EXPECT_EQ(v.body, nullptr);
            EXPECT_EQ(v.Vehicle, nullptr);
            EXPECT_EQ(v.inWorld, 0);
            v.Update();   // a motorcycle without a body still updates safely
            v.Release();
        }
        const float pos[3] = {0, 5, 0}, target[3] = {0, 5, 1};
        EXPECT_EQ(g_Vehicles.CreatePlayer(pos, target, vehiclefixture::kFile), nullptr);
        EXPECT_EQ(g_PlayerVehicle, nullptr);
        EXPECT_EQ(g_Vehicles.racerCount, 0);
        EXPECT_EQ(g_PhysicsWorld.dynamicsWorld->getNumCollisionObjects(), 0);
        m_Folder.reset();
    }
}

TEST_F(VehicleFileTest, MissingFileIsReportedByTheObjectReader)
{
    Mount(Options());
    CVehicleObject v;
    EXPECT_EQ(v.LoadVehicle("Data/Vehicles/None/Main.obj"), -1);
    ASSERT_EQ(testdata::Messages().size(), 1u);
    EXPECT_EQ(testdata::Messages()[0], "CStaticObject error!|Create static object error!");
    EXPECT_EQ(v.Mass, 0.0f);
    EXPECT_EQ(v.FrontAssembly, nullptr);
    EXPECT_EQ(v.DecalTexture, -1);
    v.Release();
}

TEST_F(VehicleFileTest, ApplyUpgradesFromTheBaseValues)
{
    CVehicleObject v;
    v.Mass = 150.0f;
    v.BaseEnginePower = 300.0f;
    v.BaseTransmission = 1.5f;
    v.BaseChassis = 1.0f;
    v.BaseFrontFrictionSlip = 1.1f;
    v.BaseRearFrictionSlip = 0.9f;
    v.UpgradeLevels[0] = 10;
    v.UpgradeLevels[1] = 0;
    v.UpgradeLevels[2] = 4;
    for (int repeat = 0; repeat < 2; ++repeat)   // never cumulative
    {
        v.ApplyUpgrades(1);
        EXPECT_FLOAT_EQ(v.EnginePower, 800.0f);
        EXPECT_NEAR(v.MaxSpeed, 213.333f, 1e-3f);
        EXPECT_FLOAT_EQ(v.Transmission, 1.5f);
        EXPECT_FLOAT_EQ(v.Chassis, 1.8f);
        EXPECT_FLOAT_EQ(v.FrontFrictionSlip, 1.3f);
        EXPECT_FLOAT_EQ(v.RearFrictionSlip, 1.1f);
    }
}

// A computer racer adds the race's bonus to the file's levels (capped at 10)
// and scales power and transmission by its own factors once: respawns and
// restarts leave its power where the first placement put it.
TEST_F(VehicleFileTest, ComputerRacerTuningIsAppliedOnceFromTheFileValues)
{
    Options o;
    o.values[10] = "3";
    o.values[11] = "3";
    o.values[12] = "3";
    Mount(o);
    g_CurrentRace = 5;
    g_RaceTable.difficulty[5] = 9;
    CVehicleObject v;
    ASSERT_NE(v.LoadVehicle(vehiclefixture::kFile), -1);
    Place(v, RACER_AI);
    ASSERT_NE(v.body, nullptr);
    EXPECT_EQ(v.UpgradeLevels[0], 10);
    EXPECT_EQ(v.UpgradeLevels[1], 10);
    EXPECT_EQ(v.UpgradeLevels[2], 10);
    EXPECT_GE(v.BaseEnginePower, 300.0f * 0.75f - 1e-3f);
    EXPECT_LE(v.BaseEnginePower, 300.0f * 0.85f + 1e-3f);
    EXPECT_GE(v.BaseTransmission, 1.5f * 0.75f - 1e-5f);
    EXPECT_LE(v.BaseTransmission, 1.5f * 0.85f + 1e-5f);
    const float power = v.EnginePower, transmission = v.Transmission;
    EXPECT_FLOAT_EQ(power, v.BaseEnginePower + 500.0f);
    for (int respawn = 0; respawn < 20; ++respawn)
        v.SetPosition(nullptr, nullptr, nullptr, CONTROL_COMPUTER, RACER_AI);
    EXPECT_FLOAT_EQ(v.EnginePower, power);
    EXPECT_FLOAT_EQ(v.Transmission, transmission);
    EXPECT_EQ(g_PhysicsWorld.dynamicsWorld->getNumCollisionObjects(), 1);
    v.Release();
}

// The player's motorcycle rides with what the career bought, not with the
// file's levels, and keeps it through a respawn; a level out of range in
// memory is held to the scale.
TEST_F(VehicleFileTest, PlayerRidesWithTheCareersUpgradeLevels)
{
    Options o;
    o.values[10] = "2";
    o.values[11] = "2";
    o.values[12] = "2";
    Mount(o);
    const CareerData saved = g_Career;
    struct Case
    {
        int career[3];
        int expected[3];
    } cases[] = {
        {{7, 3, 9}, {7, 3, 9}},
        {{0, 0, 0}, {0, 0, 0}},
        {{10, 12, -1}, {10, 10, 0}},
    };
    for (const Case& c : cases)
    {
        for (int i = 0; i < 3; ++i)
            g_Career.upgradeLevel[i] = c.career[i];
        CVehicleObject v;
        ASSERT_NE(v.LoadVehicle(vehiclefixture::kFile), -1);
        Place(v, RACER_PLAYER);
        v.SetPosition(nullptr, nullptr, nullptr, CONTROL_KEYBOARD, RACER_PLAYER);   // a respawn
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(v.UpgradeLevels[i], c.expected[i]) << "system " << i << " of " << c.career[i];
        EXPECT_FLOAT_EQ(v.EnginePower, v.BaseEnginePower + 50.0f * (float)c.expected[0]);
        EXPECT_FLOAT_EQ(v.Transmission, v.BaseTransmission + 0.2f * (float)c.expected[1]);
        EXPECT_FLOAT_EQ(v.Chassis, v.BaseChassis + 0.2f * (float)c.expected[2]);
        v.Release();
    }
    g_Career = saved;
}

TEST_F(VehicleFileTest, ShowroomModelKeepsTheFileValuesAndStaysOutOfTheWorld)
{
    Mount(Options());
    CVehicleObject v;
    ASSERT_NE(v.LoadVehicle(vehiclefixture::kFile), -1);
    Place(v, RACER_SHOWROOM);
    ASSERT_NE(v.body, nullptr);
    ASSERT_NE(v.Vehicle, nullptr);
    EXPECT_EQ(v.inWorld, 0);
    EXPECT_EQ(g_PhysicsWorld.dynamicsWorld->getNumCollisionObjects(), 0);
    EXPECT_FLOAT_EQ(v.EnginePower, 300.0f);
    EXPECT_EQ(v.UpgradeLevels[2], 4);
    v.SyncFromBody();
    v.UpdateWheels();
    v.UpdateParts();
    v.Release();   // frees body, vehicle and shape that never entered the world
    EXPECT_EQ(v.body, nullptr);
    EXPECT_EQ(v.ChassisShape, nullptr);
}

TEST_F(VehicleFileTest, ReleaseTakesTheMotorcycleOutOfTheWorldBeforeFreeingIt)
{
    Mount(Options());
    CVehicleObject* v = g_Vehicles.AddVehicle(vehiclefixture::kFile);
    ASSERT_NE(v, nullptr);
    Place(*v, RACER_PLAYER);
    ASSERT_EQ(v->inWorld, 1);
    EXPECT_EQ(g_PhysicsWorld.dynamicsWorld->getNumCollisionObjects(), 1);
    g_Clock.m_GameStep = 1.0f / 60.0f;
    for (int i = 0; i < 5; ++i)
    {
        v->Update();
        g_PhysicsWorld.Step();
    }
    g_Vehicles.RemoveVehicle(v);
    EXPECT_EQ(g_PhysicsWorld.dynamicsWorld->getNumCollisionObjects(), 0);
    // The world still steps: no vehicle of the released motorcycle is left.
    g_PhysicsWorld.Step();
    EXPECT_EQ(g_Vehicles.racerCount, 0);
}

TEST_F(VehicleFileTest, RandomPaintBlacksOutExactlyOneColourAndPicksADecal)
{
    Mount(Options());
    CVehicleObject v;
    const int minusOne = -1;
    for (int round = 0; round < 20; ++round)
    {
        v.SetPaint(round % 2 ? &minusOne : nullptr, nullptr, nullptr);
        const bool firstBlack =
            v.PaintColor1[0] == 0 && v.PaintColor1[1] == 0 && v.PaintColor1[2] == 0 && v.PaintColor1[3] == 0;
        const bool secondBlack =
            v.PaintColor2[0] == 0 && v.PaintColor2[1] == 0 && v.PaintColor2[2] == 0 && v.PaintColor2[3] == 0;
        EXPECT_NE(firstBlack, secondBlack);
        EXPECT_EQ(firstBlack ? v.PaintColor2[3] : v.PaintColor1[3], 1.0f);
        EXPECT_GE(v.DecalId, 1);
        EXPECT_LE(v.DecalId, 10);
        EXPECT_NE(v.PaintTexture, nullptr);
    }
    v.Release();
}

TEST_F(VehicleFileDemoDataTest, ChosenPaintIsCopiedAndItsDecalLoaded)
{
    // The decal pictures of the demo data.
    m_Folder.reset(new testdata::DataFolder(testsupport::DemoDataDir(), true));
    CVehicleObject v;
    const int decal = 3;
    const float c1[4] = {0.2f, 0.4f, 0.6f, 1.0f}, c2[4] = {0.9f, 0.1f, 0.0f, 0.5f};
    v.SetPaint(&decal, c1, c2);
    EXPECT_EQ(v.DecalId, 3);
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(v.PaintColor1[i], c1[i]);
        EXPECT_EQ(v.PaintColor2[i], c2[i]);
    }
    ASSERT_GE(v.DecalTexture, 0);
    EXPECT_STREQ(g_Render.textures.GetName(v.DecalTexture), "Data/Vehicles/Decal03.bmp");
    const TextureId first = v.DecalTexture;
    v.SetPaint(&decal, c1, c2);   // the old decal is given back first
    EXPECT_EQ(g_Render.textures.GetRefCount(v.DecalTexture), 1);
    EXPECT_EQ(v.DecalTexture, first);
    v.Release();
    EXPECT_EQ(v.DecalTexture, -1);
    EXPECT_EQ(v.PaintTexture, nullptr);
}

}   // namespace

namespace
{

// The list keeps every racer whose body entered the world and drops the ones
// that got none.
TEST_F(VehicleFileTest, ListUpdateKeepsRacersInTheWorldAndDropsTheRest)
{
    Mount(Options());
    for (const char* file : {vehiclefixture::kFile, vehiclefixture::kFile, "Data/Vehicles/None/Main.obj"})
    {
        CVehicleObject* v = g_Vehicles.AddVehicle(file);
        ASSERT_NE(v, nullptr);
        Place(*v, RACER_AI);
    }
    ASSERT_EQ(g_Vehicles.racerCount, 3);
    g_Clock.m_GameStep = 1.0f / 60.0f;
    g_Vehicles.Update();
    EXPECT_EQ(g_Vehicles.racerCount, 2);
    for (int i = 0; i < g_Vehicles.racerCount; ++i)
        EXPECT_EQ(g_Vehicles.racers[i]->inWorld, 1);
}

}   // namespace
