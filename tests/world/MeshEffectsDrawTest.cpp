// The passes of the mesh effects: which owners they draw for, what they draw
// and the stage states they leave behind. Drawn on the recording backend;
// the render device counts the faces of each pass.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/Keywords.h"
#include "core/Settings.h"
#include "platform/d3d/D3D9Backend.h"
#include "render/D3DRender.h"
#include "render/Views.h"
#include "scene/MeshEffects.h"
#include "scene/StaticObject.h"
#include "scene/StaticObjectFixture.h"
#include "tools/ImageWriter.h"
#include "tools/MeshWriter.h"
#include "world/LandscapeTestSupport.h"

using testdata::Line;

namespace
{

const float kLo[3] = {-1, 0, -1}, kHi[3] = {1, 2, 1};

// An object whose mesh has one box in every effect slot and two in the
// light-map slot; its description names all five mesh effects, three light
// maps and a light colour.
DataTree EffectsTree(const std::string& type)
{
    DataTree tree;
    MeshDesc mesh;
    for (int slot :
         {MESHSLOT_MAIN, MESHSLOT_SELFILLUM, MESHSLOT_GLASS, MESHSLOT_CHROME, MESHSLOT_LIGHTMAP, MESHSLOT_SHADOW})
        AddBoxPart(mesh.slots[slot], kLo, kHi);
    tree.Add("Data/Test/Box.msh", WriteMesh(mesh));
    const std::vector<uint8_t> white(4 * 4 * 4, 255);
    for (const char* name : {"Data/Test/Glass.dds", "Data/Test/Lit.dds", "Data/Test/Map01.dds", "Data/Test/Map02.dds",
                             "Data/Test/Map03.dds"})
        tree.Add(name, WriteDds(4, 4, white.data(), PixelFormat::A8R8G8B8, false));
    std::string text =
        Line("Test object") + Line("-") + Line("-") + Line("Class", "GCLASS_STATIC") + Line("Type", type) + Line("-");
    if (type == "GTYPE_VEHICLE")
        text = Line("Test object") + Line("-") + Line("-") + Line("Class", "GCLASS_VEHICLE") + Line("Type", type) +
               Line("-") + Line("Name", "T") + Line("-");
    text += Line("Mesh", "Data/Test/Box.msh") + Line("Texture") + Line("-") + Line("Effect", "GEFFECT_CHROME") +
            Line("-") + Line("Effect", "GEFFECT_RGLASS") + Line("Glass", "Data/Test/Glass.dds") + Line("-") +
            Line("Effect", "GEFFECT_SELFILLUM") + Line("Lit", "Data/Test/Lit.dds") + Line("-") +
            Line("Effect", "GEFFECT_LIGHTMAPS") + Line("Count", "3") + Line("Maps", "Data/Test/Map%02d.dds") +
            Line("Colour", "255 128 000") + Line("-") + Line("Effect", "GEFFECT_SHADOW") + Line("-") +
            Line("End", "//--");
    tree.AddText("Data/Test/Object.obj", text);
    return tree;
}

class MeshEffectsDraw : public ::testing::Test
{
protected:
    void Load(const std::string& type)
    {
        folder.reset(new testdata::DataFolder(EffectsTree(type), false));
        object.LoadDescription("Data/Test/Object.obj");
        ASSERT_NE(object.meshRecord, nullptr);
        ASSERT_NE(object.chrome, nullptr);
        ASSERT_NE(object.glass, nullptr);
        ASSERT_NE(object.selfIllum, nullptr);
        ASSERT_NE(object.lightMaps, nullptr);
        ASSERT_NE(object.shadow, nullptr);
        object.visible = object.inShadow = 1;
        object.cameraDistance = 10.0f;
        object.material.Diffuse.a = 1.0f;
        savedView = g_ViewDistance;
        g_ViewDistance = 500;
        g_Views.activeCamera = &g_Views.mainCamera;
    }
    void TearDown() override
    {
        object.Release();
        folder.reset();
        g_ViewDistance = savedView;
        g_Views.mainCamera.viewMode = VIEWMODE_FREE;
        g_Views.mainCamera.target = nullptr;
        g_Views.activeCamera = nullptr;
        g_MeshEffectInputs.moonIntensity = nullptr;
    }

    // Faces each pass draws as the object stands: chrome, glass,
    // self-illumination, light maps.
    std::vector<int> Faces()
    {
        std::vector<int> faces;
        for (int pass = 0; pass < 4; ++pass)
        {
            g_Render.mainFaces = 0;
            if (pass == 0)
                object.chrome->RenderChrome();
            else if (pass == 1)
                object.glass->RenderGlass();
            else if (pass == 2)
                object.selfIllum->RenderSelfIllum();
            else
                object.lightMaps->Render();
            faces.push_back(g_Render.mainFaces);
        }
        return faces;
    }

    landtest::RecordingDevice device;
    std::unique_ptr<testdata::DataFolder> folder;
    CStaticObject object;
    int savedView = 0;
};

TEST_F(MeshEffectsDraw, GateOfAPlacedObject)
{
    Load("GTYPE_BUILDING");
    struct Case
    {
        const char* name;
        int view;
        float distance;
        float fade;
        int visible;
        std::vector<int> drawn;   // chrome, glass, self-illumination, light maps
    };
    const Case cases[] = {
        {"near", 500, 10.0f, 1.0f, 1, {1, 1, 1, 1}},
        {"chrome ends at 100", 500, 150.0f, 1.0f, 1, {0, 1, 1, 1}},
        {"chrome at exactly 100", 500, 100.0f, 1.0f, 1, {1, 1, 1, 1}},
        {"beyond the view distance", 300, 301.0f, 1.0f, 1, {0, 0, 0, 0}},
        {"short view distance limits chrome", 300, 99.0f, 1.0f, 1, {1, 1, 1, 1}},
        {"faded out", 500, 10.0f, 0.0f, 1, {0, 0, 0, 0}},
        {"not visible", 500, 10.0f, 1.0f, 0, {0, 0, 0, 0}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        g_ViewDistance = c.view;
        object.cameraDistance = c.distance;
        object.material.Diffuse.a = c.fade;
        object.visible = c.visible;
        const std::vector<int> faces = Faces();
        for (size_t pass = 0; pass < faces.size(); ++pass)
            EXPECT_EQ(faces[pass] > 0, c.drawn[pass] != 0) << "pass " << pass;
    }
}

// A motorcycle's effects end at 0.3 x the view distance and vanish for the
// camera riding on it.
TEST_F(MeshEffectsDraw, GateOfAMotorcycle)
{
    Load("GTYPE_VEHICLE");
    g_ViewDistance = 300;
    object.cameraDistance = 89.0f;
    EXPECT_EQ(EffectPassAllowed(&object, 0), 1);
    EXPECT_GT(Faces()[1], 0) << "glass at 89";
    object.cameraDistance = 91.0f;
    EXPECT_EQ(EffectPassAllowed(&object, 0), 0);
    EXPECT_EQ(Faces(), std::vector<int>({0, 0, 0, 0}));

    object.cameraDistance = 5.0f;
    g_Views.mainCamera.target = &object;
    g_Views.mainCamera.viewMode = VIEWMODE_CHASE_FAR;
    EXPECT_EQ(EffectPassAllowed(&object, 1), 1);
    g_Views.mainCamera.viewMode = VIEWMODE_ONBOARD;
    EXPECT_EQ(Faces(), std::vector<int>({0, 0, 0, 0}));
}

// Each pass copies the owner's matrix and fade and leaves stage 0 as the
// next drawing expects it.
TEST_F(MeshEffectsDraw, PassesFollowTheOwnerAndRestoreTheStages)
{
    Load("GTYPE_STATIC");
    D3DXMATRIX moved;
    D3DXMatrixTranslation(&moved, 5, 0, -3);
    object.world = moved;
    object.material.Diffuse.a = 0.5f;
    Faces();
    EXPECT_EQ(std::memcmp(&object.chrome->world, &object.world, sizeof(D3DMATRIX)), 0);
    EXPECT_EQ(std::memcmp(&object.glass->world, &object.world, sizeof(D3DMATRIX)), 0);
    EXPECT_FLOAT_EQ(object.chrome->material.Diffuse.a, 0.5f);
    EXPECT_FLOAT_EQ(object.glass->material.Diffuse.a, 0.5f);
    EXPECT_FLOAT_EQ(object.selfIllum->material.Diffuse.a, 0.5f);
    // The light maps add the light colour times the fade.
    EXPECT_FLOAT_EQ(object.lightMaps->material.Emissive.r, 0.5f);
    EXPECT_NEAR(object.lightMaps->material.Emissive.g, 0.251f, 0.001f);
    EXPECT_FLOAT_EQ(object.lightMaps->material.Emissive.b, 0.0f);
    EXPECT_EQ(g_Render.srcBlend, D3DBLEND_ONE);
    EXPECT_EQ(g_Render.destBlend, D3DBLEND_ONE);
    EXPECT_EQ(g_Render.zWrite, 0);
    // The reflection's coordinates are switched off again.
    EXPECT_EQ(g_Render.texCoordIndex[0], 0);
    EXPECT_EQ(g_Render.textureTransformFlags[0], D3DTTFF_DISABLE);
}

// Chrome and glass take their tint from the moon the sky hands over; no sky
// reads as day.
TEST_F(MeshEffectsDraw, ReflectionTintFollowsTheMoon)
{
    Load("GTYPE_STATIC");
    DWORD factor = 0;
    object.chrome->RenderChrome();
    g_Render.device->GetRenderState(D3DRS_TEXTUREFACTOR, &factor);
    EXPECT_EQ(factor, 0xFF666666u);
    float moon = 1.0f;
    g_MeshEffectInputs.moonIntensity = &moon;
    object.glass->RenderGlass();
    g_Render.device->GetRenderState(D3DRS_TEXTUREFACTOR, &factor);
    EXPECT_EQ(factor, 0xFFFFFFFFu);
}

// A placed object's effect steps draw its sub-objects' passes.
TEST_F(MeshEffectsDraw, PlacedObjectStepsDrawTheirEffects)
{
    Load("GTYPE_STATIC");
    const int box = 12;   // faces of one box part
    g_Render.mainFaces = 0;
    object.RenderChromeGlass();
    EXPECT_EQ(g_Render.mainFaces, 2 * box) << "chrome and glass";
    g_Render.mainFaces = 0;
    object.RenderLightEffects();
    EXPECT_EQ(g_Render.mainFaces, 2 * box) << "self-illumination and light maps";
    g_ShadowPass = 1;
    g_Render.shadowFaces = 0;
    object.DrawShadowPart();
    g_ShadowPass = 0;
    EXPECT_EQ(g_Render.shadowFaces, box);
}

// The glass adds its own picture, tinted by the factor, over the reflection
// of stage 0 (current + texture x factor), and takes its alpha from the lit
// fade: the combine of stage 1 as the glass is drawn.
TEST_F(MeshEffectsDraw, GlassAddsItsTintedPictureOverTheReflection)
{
    Load("GTYPE_STATIC");
    D3DClearRecordedCalls();
    object.glass->RenderGlass();
    const std::vector<std::string>& calls = D3DRecordedCalls();
    size_t draw = 0;
    while (draw < calls.size() && calls[draw].rfind("DrawIndexedPrimitive", 0) != 0)
        ++draw;
    ASSERT_LT(draw, calls.size()) << "the glass was drawn";
    // The last value given to a state of stage 1 before the draw, -1 for none.
    auto atDraw = [&](const std::string& state) {
        const std::string prefix = "SetTextureStageState(1, " + state + ", ";
        for (size_t i = draw; i-- > 0;)
            if (calls[i].rfind(prefix, 0) == 0)
                return std::stol(calls[i].substr(prefix.size()));
        return -1L;
    };
    EXPECT_EQ(atDraw("COLOROP"), (long)D3DTOP_MULTIPLYADD);
    EXPECT_EQ(atDraw("COLORARG0"), (long)D3DTA_CURRENT);
    EXPECT_EQ(atDraw("COLORARG1"), (long)D3DTA_TEXTURE);
    EXPECT_EQ(atDraw("COLORARG2"), (long)D3DTA_TFACTOR);
    EXPECT_EQ(atDraw("ALPHAOP"), (long)D3DTOP_SELECTARG1);
    EXPECT_EQ(atDraw("ALPHAARG1"), (long)D3DTA_DIFFUSE);
}

TEST(ReflectionTint, GreyBrightensWithTheMoon)
{
    EXPECT_EQ(ReflectionTint(0.0f), 0xFF666666u);
    EXPECT_EQ(ReflectionTint(0.5f), 0xFFB2B2B2u);
    EXPECT_EQ(ReflectionTint(1.0f), 0xFFFFFFFFu);
    EXPECT_EQ(ReflectionTint(3.0f), 0xFFFFFFFFu);
}

TEST_F(MeshEffectsDraw, ShadowCaster)
{
    Load("GTYPE_VEHICLE");
    g_ShadowPass = 1;
    struct Case
    {
        float distance;
        int inShadow;
        int drawn;
    };
    for (const Case& c : {Case{79.0f, 1, 1}, Case{85.0f, 1, 0}, Case{10.0f, 0, 0}})
    {
        object.cameraDistance = c.distance;
        object.inShadow = c.inShadow;
        g_Render.shadowFaces = 0;
        EXPECT_EQ(object.shadow->RenderShadow(), c.drawn) << c.distance;
        EXPECT_EQ(g_Render.shadowFaces > 0, c.drawn != 0);
    }
    g_ShadowPass = 0;
}

// A placed object is not held to the motorcycles' 80.
TEST_F(MeshEffectsDraw, PlacedObjectCastsFarAway)
{
    Load("GTYPE_BUILDING");
    object.cameraDistance = 300.0f;
    EXPECT_EQ(object.shadow->RenderShadow(), 1);
}

TEST_F(MeshEffectsDraw, LightMapsDrawTheFirstMap)
{
    Load("GTYPE_STATIC");
    ASSERT_NE(object.lightMaps->textureIds[0], -1);
    ASSERT_NE(object.lightMaps->textureIds[2], -1);
    g_Render.stage0Texture = -1;
    object.lightMaps->Render();
    EXPECT_EQ(g_Render.stage0Texture, object.lightMaps->textureIds[0]);
}

}   // namespace
