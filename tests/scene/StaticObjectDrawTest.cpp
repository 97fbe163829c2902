// Visibility and drawing of placed objects: the view distance, the fades of
// fences and tall buildings, the far slot of buildings, the received shadow
// map, and the ray test against one object's body.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Keywords.h"
#include "platform/d3d/D3D9Backend.h"
#include "render/D3DRender.h"
#include "scene/PlacedObjectFixture.h"

using placedtest::PlacedObjectTest;

namespace
{

class StaticObjectDrawTest : public PlacedObjectTest
{
protected:
    // Draws the object once with the given camera distance; the faces drawn.
    int DrawAt(CStaticObject* o, float distance)
    {
        o->visible = 1;
        o->cameraDistance = distance;
        g_Render.mainFaces = 0;
        o->Render(0);
        return g_Render.mainFaces;
    }
    static size_t Count(const std::string& prefix)
    {
        size_t n = 0;
        for (const std::string& call : D3DRecordedCalls())
            n += call.compare(0, prefix.size(), prefix) == 0;
        return n;
    }
};

TEST(StaticObjectFadeTest, FencesAndTallBuildingsFadeWithDistance)
{
    struct Case
    {
        float height;   // 0: a fence
        float distance;
        float fade;
    };
    const Case cases[] = {
        {0, 50, 1},      {0, 70, 1},   {0, 85, 0.5f}, {0, 100.5f, 0}, {40, 300, 1},
        {40, 400, 0.5f}, {40, 426, 0}, {20, 480, 1},  {30, 480, 1},   {30.5f, 480, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.height) + " at " + std::to_string(c.distance));
        EXPECT_NEAR(c.height == 0 ? FenceFade(c.distance) : BuildingFade(c.height, c.distance), c.fade, 1e-5f);
    }
}

TEST_F(StaticObjectDrawTest, DrawnFadeIsTheMaterialAlphaWithBlendingBelowOne)
{
    CStaticObject* fence = Make("Data/T/Fence.obj", 0, 0, 0);
    CStaticObject* tall = Make("Data/T/Tall.obj", 0, 0, 0);
    CStaticObject* low = Make("Data/T/Low.obj", 0, 0, 0);
    struct Case
    {
        CStaticObject* object;
        float distance;
        float alpha;
        int faces;
        int blend;
    };
    // The tall building draws its one-triangle far slot beyond 100.
    const Case cases[] = {
        {fence, 50, 1, 12, 0},   {fence, 85, 0.5f, 12, 1}, {fence, 100.5f, 0, 0, 0},
        {tall, 400, 0.5f, 1, 1}, {tall, 50, 1, 12, 0},     {low, 480, 1, 12, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.object->path) + " at " + std::to_string(c.distance));
        g_Render.alphaBlend = -1;
        EXPECT_EQ(DrawAt(c.object, c.distance), c.faces);
        EXPECT_NEAR(c.object->material.Diffuse.a, c.alpha, 1e-5f);
        if (c.faces)
        {
            EXPECT_EQ(g_Render.alphaBlend, c.blend);
        }
    }
    // Not visible: nothing at all.
    fence->visible = 0;
    g_Render.mainFaces = 0;
    fence->Render(0);
    EXPECT_EQ(g_Render.mainFaces, 0);
    Drop(fence);
    Drop(tall);
    Drop(low);
}

TEST_F(StaticObjectDrawTest, BuildingWithoutFarSlotKeepsItsMeshAtEveryDistance)
{
    CStaticObject* low = Make("Data/T/Low.obj", 0, 0, 0);
    for (float d : {10.0f, 101.0f, 250.0f})
        EXPECT_EQ(DrawAt(low, d), 12) << d;
    Drop(low);
}

TEST_F(StaticObjectDrawTest, OrdinaryObjectsReceiveTheShadowMapAndPutStageOneBack)
{
    IDirect3DTexture9* map = nullptr;
    ASSERT_EQ(g_Render.device->CreateTexture(64, 64, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &map,
                                             nullptr),
              D3D_OK);
    g_Render.shadowTarget1 = map;
    g_ShadowQuality = 2;
    CStaticObject* sign = Make("Data/T/Sign.obj", 0, 0, 0);
    CStaticObject* low = Make("Data/T/Low.obj", 0, 0, 0);
    for (CStaticObject* o : {sign, low})
    {
        D3DClearRecordedCalls();
        DrawAt(o, 10);
        const bool receives = o == sign;
        EXPECT_EQ(Count("SetTextureStageState(1, TEXCOORDINDEX, 131072)") > 0, receives) << o->path;
        EXPECT_EQ(Count("SetSamplerState(1, ADDRESSU, 4)") > 0, receives);
        if (receives)
        {
            // Stage 1 is put back after the draw.
            const std::vector<std::string>& calls = D3DRecordedCalls();
            EXPECT_EQ(calls.back(), "SetTexture(1, null)");
            EXPECT_GT(Count("SetTextureStageState(1, TEXCOORDINDEX, 0)"), 0u);
        }
    }
    // Without shadows the map is not looked up.
    g_ShadowQuality = 0;
    D3DClearRecordedCalls();
    DrawAt(sign, 10);
    EXPECT_EQ(Count("SetTextureStageState(1, TEXCOORDINDEX, 131072)"), 0u);
    g_Render.shadowTarget1 = nullptr;
    map->Release();
    Drop(sign);
    Drop(low);
}

// The main camera's frustum and the view distance decide what is drawn; the
// shadow camera's own frustum, at any distance, what is drawn into the shadow
// map. The two cameras look different ways here, so neither test can stand
// in for the other.
TEST_F(StaticObjectDrawTest, ViewDistanceHidesWhatTheFrustumShowsButNotTheShadow)
{
    g_ViewDistance = 300;
    CStaticObject* sign = Make("Data/T/Sign.obj", 0, 0, 0);
    CStaticObject* low = Make("Data/T/Low.obj", 0, 0, 0);
    struct Case
    {
        const char* name;
        float distance;   // of the main camera's eye, in front of the object
        bool mainLooks;   // the main camera looks at the object, else away
        bool shadowLooks;
        int visible, inShadow;
    };
    const Case cases[] = {
        {"at the view distance", 300.0f, true, true, 1, 1},
        {"past the view distance", 301.0f, true, true, 0, 1},
        {"out of the shadow camera's view", 20.0f, true, false, 1, 0},
        {"behind the eye, in the shadow camera's view", 20.0f, false, true, 0, 1},
    };
    for (CStaticObject* o : {sign, low})
        for (const Case& c : cases)
        {
            SCOPED_TRACE(std::string(o->path) + ", " + c.name);
            const bool building = o == low;
            if (building && c.distance > 100.0f)
                continue;   // the view distance is the sign's rows
            const D3DXVECTOR3 centre(o->worldCentre[0], building ? 10.0f : o->worldCentre[1], o->worldCentre[2]);
            // The shadow camera from high above on one side, looking at the
            // object or away from it.
            const D3DXVECTOR3 high = centre + D3DXVECTOR3(60, 60, 0);
            Look(high, c.shadowLooks ? centre : high + D3DXVECTOR3(60, 0, 0));
            g_Views.shadowCamera = g_Views.mainCamera;
            const D3DXVECTOR3 eye = centre - D3DXVECTOR3(0, 0, c.distance + o->boundRadius);
            Look(eye, c.mainLooks ? centre : eye - D3DXVECTOR3(0, 0, 20));
            o->Update();
            if (!building)
            {
                EXPECT_NEAR(o->cameraDistance, c.distance, 1e-2f);
            }
            EXPECT_EQ(o->UpdateVisibility(), c.visible);
            EXPECT_EQ(o->inShadow, c.inShadow);
        }
    Drop(sign);
    Drop(low);
}

TEST_F(StaticObjectDrawTest, RayTestHitsTheBodyAndReportsTheHitPoint)
{
    CStaticObject* sign = Make("Data/T/Sign.obj", 0, 0, 0);
    float hit[3] = {0, 0, 0};
    const float from[3] = {0, 1, -10}, to[3] = {0, 1, 10};
    ASSERT_EQ(sign->RayTest(from, to, hit), 1);
    EXPECT_NEAR(hit[2], -0.1f, 0.06f);
    const float past[3] = {3, 1, -10}, pastTo[3] = {3, 1, 10};
    EXPECT_EQ(sign->RayTest(past, pastTo, nullptr), 0);
    // A segment that stops short of the sign misses it.
    const float shortTo[3] = {0, 1, -5};
    EXPECT_EQ(sign->RayTest(from, shortTo, nullptr), 0);
    // No body, no hit.
    CStaticObject bodiless;
    EXPECT_EQ(bodiless.RayTest(from, to, hit), 0);
    Drop(sign);
}

TEST_F(StaticObjectDrawTest, RayTestFindsStretchedObjectsBeyondTheirUnscaledBox)
{
    // A sign stretched four times along x is 4 units wide: a ray at x 1.5
    // misses the unscaled box but hits the drawn (and physical) sign.
    const float scale[3] = {4, 1, 1};
    CStaticObject* run = Make("Data/T/Sign.obj", 0, 0, 0, scale);
    const float from[3] = {1.5f, 1, -10}, to[3] = {1.5f, 1, 10};
    float hit[3];
    EXPECT_EQ(run->RayTest(from, to, hit), 1);
    const float beyond[3] = {2.2f, 1, -10}, beyondTo[3] = {2.2f, 1, 10};
    EXPECT_EQ(run->RayTest(beyond, beyondTo, hit), 0);
    Drop(run);
}

}   // namespace
