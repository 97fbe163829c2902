// The motorcycle's drawing rules: the suspension frame an assembly shows for
// a wheel's compression, and the test that decides whether a motorcycle is
// drawn in the main passes and in the shadow-map pass. Faces are counted by
// the render device per pass, on the recording backend with the demo data.
#include <gtest/gtest.h>

#include "core/Settings.h"
#include "racers/VehicleDraw.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/D3DRender.h"
#include "render/Views.h"
#include "tests/racers/VehicleTestSupport.h"

namespace
{

TEST(SuspensionFrame, PartFromCompression)
{
    struct Case
    {
        int parts;
        float compression;
        int frame;
    };
    const Case cases[] = {
        {4, 0.0f, 1},  {4, 0.25f, 2}, {4, 0.3125f, 3}, {4, 1.0f, 3},   // never past the last frame
        {4, 0.3f, 2},  {1, 0.0f, 0},  {1, 1.0f, 0},    {2, 0.0f, 1},
        {4, -0.5f, 1},   // out of range: kept to the frames there are
        {4, 7.0f, 3},  {0, 0.5f, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SuspensionFrame(c.parts, c.compression), c.frame) << c.parts << " parts at " << c.compression;
}

class VehicleDrawGateDemoDataTest : public vehicletest::VehicleWorld
{
protected:
    void SetUp() override
    {
        Open(false);
        savedView = g_ViewDistance;
        g_ViewDistance = 500;
        g_Vehicles.elementsTexture = g_Vehicles.wheelsTexture = -1;
        vehicle = Place(0, 0.0f, 1.0f, 0.0f);
        for (int i = 0; i < 30; ++i)
            Frame(vehicle);
        g_Views.activeCamera = &g_Views.mainCamera;
        g_Views.mainCamera.viewMode = VIEWMODE_FREE;
        g_Views.mainCamera.target = nullptr;
    }
    void TearDown() override
    {
        g_ViewDistance = savedView;
        g_Views.mainCamera.viewMode = VIEWMODE_FREE;
        g_Views.mainCamera.target = nullptr;
        g_Views.activeCamera = nullptr;
        g_ShadowPass = 0;
        VehicleWorld::TearDown();
    }

    // Faces of the main passes (body, parts, wheels, chrome) and of the
    // shadow pass for the motorcycle as it stands.
    void Draw(int* mainFaces, int* shadowFaces)
    {
        g_Render.mainFaces = g_Render.shadowFaces = 0;
        g_Vehicles.Render();
        g_Vehicles.RenderChrome();
        g_ShadowPass = 1;
        g_Vehicles.RenderShadows();
        g_ShadowPass = 0;
        *mainFaces = g_Render.mainFaces;
        *shadowFaces = g_Render.shadowFaces;
    }

    CVehicleObject* vehicle = nullptr;
    int savedView = 0;
};

TEST_F(VehicleDrawGateDemoDataTest, WhatEachPassDraws)
{
    struct Case
    {
        const char* name;
        float fade;
        float distance;
        int visible;
        int inShadow;
        int onboard;
        bool main;
        bool shadow;
    };
    const Case cases[] = {
        {"near and faded in", 1.0f, 5.0f, 1, 1, 0, true, true},
        {"faded out", 0.0f, 5.0f, 1, 1, 0, false, false},
        {"half faded", 0.5f, 5.0f, 1, 1, 0, true, true},
        {"beyond 100", 1.0f, 100.5f, 1, 1, 0, false, false},
        {"casts no shadow beyond 80", 1.0f, 85.0f, 1, 1, 0, true, false},
        {"outside the view", 1.0f, 5.0f, 0, 1, 0, false, true},
        {"outside the shadow camera", 1.0f, 5.0f, 1, 0, 0, true, false},
        {"the on-board camera's own", 1.0f, 0.0f, 1, 1, 1, false, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        vehicle->BodyMaterial.Diffuse.a = c.fade;
        vehicle->material.Diffuse.a = c.fade;
        vehicle->cameraDistance = c.distance;
        vehicle->visible = c.visible;
        vehicle->inShadow = c.inShadow;
        g_Views.mainCamera.viewMode = c.onboard ? VIEWMODE_ONBOARD : VIEWMODE_CHASE_NEAR;
        g_Views.mainCamera.target = c.onboard ? vehicle : nullptr;
        EXPECT_EQ(VehicleDrawAllowed(*vehicle), c.main ? 1 : 0);
        int mainFaces = 0, shadowFaces = 0;
        Draw(&mainFaces, &shadowFaces);
        EXPECT_EQ(mainFaces > 0, c.main) << mainFaces;
        EXPECT_EQ(shadowFaces > 0, c.shadow) << shadowFaces;
    }
}

// A chase camera following the motorcycle hides nothing: only riding on it does.
TEST_F(VehicleDrawGateDemoDataTest, OnlyTheOnboardViewHidesItsTarget)
{
    vehicle->BodyMaterial.Diffuse.a = vehicle->material.Diffuse.a = 1.0f;
    vehicle->cameraDistance = 3.0f;
    vehicle->visible = vehicle->inShadow = 1;
    g_Views.mainCamera.target = vehicle;
    for (int mode : {VIEWMODE_CHASE_NEAR, VIEWMODE_CHASE_FAR, VIEWMODE_LOOKAT})
    {
        g_Views.mainCamera.viewMode = mode;
        EXPECT_EQ(VehicleDrawAllowed(*vehicle), 1) << mode;
    }
    g_Views.mainCamera.viewMode = VIEWMODE_ONBOARD;
    EXPECT_EQ(VehicleDrawAllowed(*vehicle), 0);
    // Another motorcycle is still drawn for the on-board camera.
    CVehicleObject* other = Place(1, 4.0f, 1.0f, 0.0f);
    other->BodyMaterial.Diffuse.a = 1.0f;
    other->cameraDistance = 4.0f;
    other->visible = 1;
    EXPECT_EQ(VehicleDrawAllowed(*other), 1);
}

// The body's shadow caster gates the wheels' shadows: without it the wheels
// cast nothing either.
TEST_F(VehicleDrawGateDemoDataTest, WheelsCastOnlyWithTheBody)
{
    vehicle->BodyMaterial.Diffuse.a = vehicle->material.Diffuse.a = 1.0f;
    vehicle->cameraDistance = 3.0f;
    vehicle->visible = vehicle->inShadow = 1;
    int mainFaces = 0, withBody = 0;
    Draw(&mainFaces, &withBody);
    const int wheelParts = vehicle->Wheels->meshRecord->partCount[MESH_SLOT_SHADOW];
    ASSERT_GT(wheelParts, 0);
    const int bodyFaces = (int)vehicle->meshRecord->meshes[MESH_SLOT_SHADOW][0]->GetNumFaces();
    const int wheelFaces = (int)vehicle->Wheels->meshRecord->meshes[MESH_SLOT_SHADOW][0]->GetNumFaces();
    EXPECT_EQ(withBody, bodyFaces + 2 * wheelFaces);

    CEffectMeshObject* caster = vehicle->shadow;
    vehicle->shadow = nullptr;
    int without = -1;
    Draw(&mainFaces, &without);
    vehicle->shadow = caster;
    EXPECT_EQ(without, 0);
}

// Each assembly draws the frame its wheel's compression picks.
TEST_F(VehicleDrawGateDemoDataTest, AssembliesShowTheirSuspensionFrame)
{
    vehicle->BodyMaterial.Diffuse.a = vehicle->material.Diffuse.a = 1.0f;
    vehicle->cameraDistance = 3.0f;
    vehicle->visible = 1;
    const int parts = vehicle->FrontAssembly->meshRecord->partCount[MESH_SLOT_MAIN];
    ASSERT_EQ(parts, 4);
    for (float c : {0.0f, 0.25f, 0.9f})
    {
        vehicle->WheelCompression[0] = c;
        vehicle->WheelCompression[1] = 1.0f - c;
        g_Vehicles.Render();
        EXPECT_EQ(vehicle->FrontAssembly->currentPart, SuspensionFrame(parts, c));
        EXPECT_EQ(vehicle->RearAssembly->currentPart,
                  SuspensionFrame(vehicle->RearAssembly->meshRecord->partCount[MESH_SLOT_SECOND], 1.0f - c));
    }
}

}   // namespace
