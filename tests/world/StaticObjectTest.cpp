#include "scene/StaticObject.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "common/Keywords.h"
#include "core/FileManager.h"
#include "core/Settings.h"
#include "platform/os/Rand.h"
#include "scene/LightEffects.h"
#include "scene/MeshEffects.h"
#include "scene/StaticObjectFixture.h"
#include "tests/support/Files.h"
#include "world/LandscapeTestSupport.h"

using testdata::Line;

namespace
{

// The six lines every description starts with.
std::string Head(const std::string& cls, const std::string& type)
{
    return Line("Object description") + Line("Author") + Line("Version") + Line("Class", cls) + Line("Type", type) +
           Line("Geometry");
}

enum Effects
{
    E_CHROME = 1,
    E_GLASS = 2,
    E_LIGHTMAPS = 4,
    E_SELFILLUM = 8,
    E_LIGHTS = 16,
    E_DIRECT = 32,
    E_SPOTS = 64,
    E_SHADOW = 128,
};

int EffectsOf(const CStaticObject& o)
{
    return (o.chrome ? E_CHROME : 0) | (o.glass ? E_GLASS : 0) | (o.lightMaps ? E_LIGHTMAPS : 0) |
           (o.selfIllum ? E_SELFILLUM : 0) | (o.lights ? E_LIGHTS : 0) | (o.directLights ? E_DIRECT : 0) |
           (o.spots ? E_SPOTS : 0) | (o.shadow ? E_SHADOW : 0);
}

struct DescriptionCase
{
    const char* name;
    std::string text;
    int objectClass;
    int objectType;
    int effects;
    const char* vehicleName;   // expected name copied, or null
    const char* nextLine;      // what the caller reads after Create (null: end of file)
};

std::vector<DescriptionCase> Cases()
{
    const std::string meshAndTexture = Line("Mesh") + Line("Texture");
    return {
        {"StaticBuildingWithMeshEffects",
         Head("GCLASS_STATIC", "GTYPE_BUILDING") + meshAndTexture + Line("-") + Line("Effect", "GEFFECT_CHROME") +
             Line("-") + Line("Effect", "GEFFECT_RGLASS") + Line("Glass texture", "Glass.dds") + Line("-") +
             Line("Effect", "GEFFECT_SELFILLUM") + Line("Illumination texture", "Lit.dds") + Line("-") +
             Line("Effect", "GEFFECT_SHADOW") + Line("-") + Line("End", "//--") + Line("Caller", "after"),
         GCLASS_STATIC, GTYPE_BUILDING, E_CHROME | E_GLASS | E_SELFILLUM | E_SHADOW, nullptr, "after"},
        // Class and type both vehicle: name line and a skipped line before the mesh.
        {"VehicleHasNameLines",
         Head("GCLASS_VEHICLE", "GTYPE_VEHICLE") + Line("Name", "Storm Rider") + Line("Skipped", "GEFFECT_CHROME") +
             meshAndTexture + Line("-") + Line("Effect", "GEFFECT_SPOTS") + Line("Colour", "255 128 000") + Line("-") +
             Line("End", "//--") + Line("Own line", "vehicle"),
         GCLASS_VEHICLE, GTYPE_VEHICLE, E_SPOTS, "Storm Rider", "vehicle"},
        // Only the class is vehicle: no extra lines, so the mesh line follows directly.
        {"VehicleClassAloneHasNoNameLines",
         Head("GCLASS_VEHICLE", "GTYPE_WHEEL") + meshAndTexture + Line("-") + Line("Effect", "GEFFECT_CHROME") +
             Line("-") + Line("End", "//--") + Line("Own line", "wheel"),
         GCLASS_VEHICLE, GTYPE_WHEEL, E_CHROME, "", "wheel"},
        // "//--" on the free line of a pair does not end the list.
        {"MarkerOnFreeLineIsNotTheEnd",
         Head("GCLASS_STATIC", "GTYPE_STATIC") + meshAndTexture + Line("//--") + Line("Effect", "GEFFECT_CHROME") +
             Line("-") + Line("//--") + Line("Caller", "next"),
         GCLASS_STATIC, GTYPE_STATIC, E_CHROME, nullptr, "next"},
        {"MarkerInFirstPairMakesNoEffect",
         Head("GCLASS_STATIC", "GTYPE_STATIC") + meshAndTexture + Line("-") + Line("End", "//--") +
             Line("Effect", "GEFFECT_CHROME"),
         GCLASS_STATIC, GTYPE_STATIC, 0, nullptr, "GEFFECT_CHROME"},
        // Lights ended by ">>>>": the next effect line follows that line directly.
        {"LightsEndedByArrows",
         Head("GCLASS_STATIC", "GTYPE_STATIC") + meshAndTexture + Line("-") + Line("Effect", "GEFFECT_LIGHTS") +
             Line("Size", "0.8") + Line("Colour", "255 255 000") + ">>>>\n" + Line("Effect", "GEFFECT_SHADOW") +
             Line("-") + Line("End", "//--") + Line("Caller", "x"),
         GCLASS_STATIC, GTYPE_STATIC, E_LIGHTS | E_SHADOW, nullptr, "x"},
        // Lights with three number lines and no ">>>>" line.
        {"LightsWithNumberLines",
         Head("GCLASS_STATIC", "GTYPE_STATIC") + meshAndTexture + Line("-") + Line("Effect", "GEFFECT_LIGHTS") +
             Line("Size", "0.8") + Line("Colour", "000 255 000") + Line("Blink", "1") + Line("Phase", "2") +
             Line("Speed", "3") + Line("-") + Line("Effect", "GEFFECT_CHROME") + Line("-") + Line("End", "//--") +
             Line("Caller", "y"),
         GCLASS_STATIC, GTYPE_STATIC, E_LIGHTS | E_CHROME, nullptr, "y"},
        {"DirectLightsAndLightMaps",
         Head("GCLASS_VEHICLE", "GTYPE_VEHICLE") + Line("Name", "M") + Line("-") + meshAndTexture + Line("-") +
             Line("Effect", "GEFFECT_LIGHTMAPS") + Line("Count", "1") + Line("Name", "Lamp.dds") +
             Line("Colour", "051 102 255") + Line("-") + Line("Effect", "GEFFECT_DIRECTLIGHTS") +
             Line("Front colour", "255 255 255 front lamp") + Line("Front size", "0.5") +
             Line("Brake colour", "255 000 000") + Line("Brake size", "0.25") + Line("Third colour", "000 000 255 x") +
             Line("Third size", "0.125") + Line("-") + Line("End", "//--") + Line("Own", "z"),
         GCLASS_VEHICLE, GTYPE_VEHICLE, E_LIGHTMAPS | E_DIRECT, "M", "z"},
        // Unknown words and flames make nothing and read no lines of their own.
        {"UnknownAndFlameEffectsMakeNothing",
         Head("GCLASS_NOTHING", "GTYPE_NOTHING") + meshAndTexture + Line("-") + Line("Effect", "GEFFECT_FLAME") +
             Line("-") + Line("Effect", "GEFFECT_WOBBLE") + Line("-") + Line("End", "//--") + Line("Caller", "w"),
         0, 0, 0, nullptr, "w"},
        // No "//--" at all: the reading stops at the end of the file.
        {"EndOfFileWithoutMarker",
         Head("GCLASS_STATIC", "GTYPE_TREE") + meshAndTexture + Line("-") + Line("Effect", "GEFFECT_SHADOW") +
             Line("-") + Line("Effect", "GEFFECT_CHROME"),
         GCLASS_STATIC, GTYPE_TREE, E_SHADOW | E_CHROME, nullptr, nullptr},
        // Ends in the middle of an effect's own lines.
        {"EndOfFileInsideEffectLines",
         Head("GCLASS_STATIC", "GTYPE_STATIC") + meshAndTexture + Line("-") + Line("Effect", "GEFFECT_LIGHTMAPS") +
             Line("Count", "3"),
         GCLASS_STATIC, GTYPE_STATIC, E_LIGHTMAPS, nullptr, nullptr},
        // A file that ends before the class line.
        {"TruncatedHead", Line("Object description") + Line("Author"), 0, 0, 0, nullptr, nullptr},
    };
}

class DescriptionTest : public ::testing::TestWithParam<bool>
{};

TEST_P(DescriptionTest, ReadsEveryCase)
{
    DataTree tree;
    const std::vector<DescriptionCase> cases = Cases();
    for (size_t i = 0; i < cases.size(); ++i)
        tree.AddText("Data/Objects/Case" + std::to_string(i) + ".obj", cases[i].text);
    testdata::DataFolder folder(tree, GetParam());

    for (size_t i = 0; i < cases.size(); ++i)
    {
        const DescriptionCase& c = cases[i];
        SCOPED_TRACE(c.name);
        CStaticObject object;
        char name[VEHICLE_NAME_LENGTH] = "";
        object.vehicleName = name;
        const std::string path = "Data/Objects/Case" + std::to_string(i) + ".obj";
        const int handle = object.Create(path.c_str(), 0, 0, 0x220, 1);
        ASSERT_NE(handle, -1);
        EXPECT_EQ(object.objectClass, c.objectClass);
        EXPECT_EQ(object.objectType, c.objectType);
        EXPECT_EQ(EffectsOf(object), c.effects);
        if (c.vehicleName)
        {
            EXPECT_STREQ(name, c.vehicleName);
        }
        char line[256];
        if (c.nextLine)
        {
            ASSERT_EQ(g_FileManager.ReadLine(line, 255, handle), 1);
            EXPECT_STREQ(DescriptionValue(line), c.nextLine);
        }
        else
        {
            EXPECT_EQ(g_FileManager.ReadLine(line, 255, handle), 0);
        }
        g_FileManager.Close(handle);
        // Every sub-object points back at its owner.
        if (object.chrome)
        {
            EXPECT_EQ(object.chrome->owner, &object);
        }
        if (object.lights)
        {
            EXPECT_EQ(object.lights->owner, &object);
        }
        object.Release();
        EXPECT_EQ(EffectsOf(object), 0);
    }
}

TEST_P(DescriptionTest, ColourLinesAndEffectValues)
{
    DataTree tree;
    tree.AddText(
        "Data/Objects/Lamp.obj",
        Head("GCLASS_VEHICLE", "GTYPE_VEHICLE") + Line("Name", "M") + Line("-") + Line("Mesh") + Line("Texture") +
            Line("-") + Line("Effect", "GEFFECT_LIGHTMAPS") + Line("Count", "1") + Line("Name", "Lamp.dds") +
            Line("Colour", "051 102 255") + Line("-") + Line("Effect", "GEFFECT_LIGHTS") + Line("Size", "0.8") +
            Line("Colour", "000 000 000") + ">>>>\n" + Line("Effect", "GEFFECT_SPOTS") + Line("Colour", "255 128 000") +
            Line("-") + Line("Effect", "GEFFECT_DIRECTLIGHTS") + Line("Front colour", "255 255 255 front lamp") +
            Line("Front size", "0.5") + Line("Brake colour", "255 000 000") + Line("Brake size", "0.25") +
            Line("Third colour", "000 000 255 x") + Line("Third size", "0.125") + Line("-") + Line("End", "//--"));
    testdata::DataFolder folder(tree, GetParam());

    g_GlowOn = 0;
    CStaticObject object;
    ASSERT_NE(object.Create("Data/Objects/Lamp.obj", 1, 0, 0x220, 0), -1);
    ASSERT_TRUE(object.lightMaps && object.lights && object.spots && object.directLights);

    const float* lm = object.lightMaps->lightColour;
    EXPECT_NEAR(lm[0], 0.2f, 1e-6);
    EXPECT_NEAR(lm[1], 0.4f, 1e-6);
    EXPECT_NEAR(lm[2], 1.0f, 1e-6);
    EXPECT_EQ(lm[3], 1.0f);
    EXPECT_NEAR(object.lightMaps->material.Emissive.b, 1.0f, 1e-6);

    // Black lights take the light-map colour scaled so its largest channel is 1.
    const float* lc = object.lights->colour;
    EXPECT_NEAR(lc[0], 0.2f, 1e-6);
    EXPECT_NEAR(lc[1], 0.4f, 1e-6);
    EXPECT_NEAR(lc[2], 1.0f, 1e-6);
    EXPECT_FLOAT_EQ(object.lights->spriteSize[0], 0.8f);
    EXPECT_FLOAT_EQ(object.lights->spriteSize[2], 0.2f);

    const float* sc = object.spots->colour;
    EXPECT_FLOAT_EQ(sc[0], 1.0f);
    EXPECT_NEAR(sc[1], 0.502f, 1e-3);
    EXPECT_FLOAT_EQ(sc[2], 0.0f);
    EXPECT_FLOAT_EQ(sc[3], 1.0f);

    // Long-form colours: the rest of the line is read with them.
    const CDirectLightsEffect& d = *object.directLights;
    EXPECT_FLOAT_EQ(d.colours[0][0], 1.0f);
    EXPECT_FLOAT_EQ(d.colours[1][1], 0.0f);
    EXPECT_FLOAT_EQ(d.colours[2][2], 1.0f);
    EXPECT_FLOAT_EQ(d.sizes[0], 0.5f);
    EXPECT_FLOAT_EQ(d.sizes[1], 0.25f);
    EXPECT_FLOAT_EQ(d.sizes[2], 0.125f);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(d.sets[i].owner, &object);

    // Vehicle material without glow.
    EXPECT_FLOAT_EQ(object.material.Specular.r, 0.5f);
    EXPECT_FLOAT_EQ(object.material.Power, 16.0f);
    object.Release();
}

INSTANTIATE_TEST_SUITE_P(PackAndLoose, DescriptionTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Packs" : "Loose"; });

TEST(StaticObjectTest, BlackLightMapColourIsRandomAndNormalised)
{
    DataTree tree;
    tree.AddText("Data/Objects/Dark.obj", Head("GCLASS_STATIC", "GTYPE_STATIC") + Line("Mesh") + Line("Texture") +
                                              Line("-") + Line("Effect", "GEFFECT_LIGHTMAPS") + Line("Count", "0") +
                                              Line("Name", "x") + Line("Colour", "000 000 000") + Line("-") +
                                              Line("End", "//--"));
    testdata::DataFolder folder(tree, true);
    // Draws 2, 0, 1 (mod 3) give 0.99, 0.33, 0.66 before normalising.
    GameSrand(0);
    int draws[3];
    for (int& d : draws)
        d = 1 + GameRand() % 3;
    GameSrand(0);
    CStaticObject object;
    ASSERT_NE(object.Create("Data/Objects/Dark.obj", 1, 0, 0x220, 1), -1);
    const float largest = (float)std::max(draws[0], std::max(draws[1], draws[2]));
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(object.lightMaps->lightColour[k], draws[k] / largest, 1e-5);
    object.Release();
}

TEST(StaticObjectTest, MaterialByType)
{
    struct Case
    {
        const char* type;
        float diffuseAlpha;
        float specular;
    };
    const Case cases[] = {
        {"GTYPE_STATIC", 1.0f, 0.0f}, {"GTYPE_FENCES", 1.0f, 0.0f},  {"GTYPE_HUMAN", 1.0f, 0.0f},
        {"GTYPE_EFFECT", 0.0f, 0.0f}, {"GTYPE_UNKNOWN", 0.0f, 0.0f}, {"GTYPE_VEHICLE", 1.0f, 0.25f},
    };
    DataTree tree;
    for (const Case& c : cases)
        tree.AddText(std::string("Data/Objects/") + c.type + ".obj",
                     Head("GCLASS_STATIC", c.type) + Line("Mesh") + Line("Texture") + Line("-") + Line("End", "//--"));
    testdata::DataFolder folder(tree, true);
    g_GlowOn = 1;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.type);
        CStaticObject object;
        ASSERT_NE(object.Create((std::string("Data/Objects/") + c.type + ".obj").c_str(), 1, 0, 0x220, 1), -1);
        EXPECT_EQ(object.material.Diffuse.a, c.diffuseAlpha);
        EXPECT_EQ(object.material.Ambient.r, c.diffuseAlpha);
        EXPECT_EQ(object.material.Specular.g, c.specular);
        object.Release();
    }
    g_GlowOn = 0;
}

TEST(StaticObjectTest, MissingFileReportsAndLeavesObjectEmpty)
{
    DataTree tree;
    tree.AddText("Data/Objects/Other.obj", Head("GCLASS_STATIC", "GTYPE_STATIC"));
    testdata::DataFolder folder(tree, true);
    testdata::MessageCapture capture;
    CStaticObject object;
    const int number = object.objectNumber;
    EXPECT_EQ(
        object.Create("E:\\Projects\\Game\\Trallowmere\\Main Files\\Debug\\Data\\Objects\\Gone.obj", 0, 0, 0x220, 1),
        -1);
    EXPECT_STREQ(object.path, "Data/Objects/Gone.obj");
    ASSERT_EQ(testdata::Messages().size(), 1u);
    EXPECT_EQ(testdata::Messages()[0], "CStaticObject error!|Create static object error!");
    EXPECT_EQ(object.objectClass, 0);
    EXPECT_EQ(object.meshRecord, nullptr);
    EXPECT_EQ(EffectsOf(object), 0);
    // LoadDescription of a missing file reads nothing more and keeps no record.
    object.LoadDescription("Data/Objects/Gone.obj");
    EXPECT_EQ(object.meshRecord, nullptr);
    EXPECT_EQ(object.body, nullptr);
    // Numbers are taken per construction and never reused.
    CStaticObject second;
    EXPECT_EQ(second.objectNumber, number + 1);
}

TEST(StaticObjectTest, FenceReadsShapeAndMassAfterMarker)
{
    DataTree tree;
    tree.AddText("Data/Objects/Fence.obj", Head("GCLASS_DYNAMIC", "GTYPE_FENCES") + Line("Mesh") + Line("Texture") +
                                               Line("-") + Line("End", "//--") +
                                               Line("Shape", "SHAPE_TYPE_CONVEXHULL") + Line("Mass", "4.5"));
    testdata::DataFolder folder(tree, false);
    CStaticObject object;
    object.LoadDescription("Data/Objects/Fence.obj");
    EXPECT_EQ(object.objectType, GTYPE_FENCES);
    EXPECT_FLOAT_EQ(object.mass, 4.5f);
    object.Release();
}

TEST(StaticObjectTest, TextureVariantRule)
{
    struct Case
    {
        const char* line;
        int draws;            // GameRand values consumed
        const char* expect;   // with the first draw r: '#' stands for '1' + r % N
        int count;
    };
    const Case cases[] = {
        {"Wall%3.dds", 1, "Wall0#.dds", 3}, {"Rock%1.dds", 1, "Rock01.dds", 1},
        {"A%2b%3.dds", 1, "A0#b%3.dds", 2},   // only the first sign
        {"Bad%0.dds", 1, "Bad%0.dds", 0},     // no count: left as it is, still one draw
        {"Bad%x.dds", 1, "Bad%x.dds", 0},   {"End%", 1, "End%", 0},
        {"Plain.dds", 0, "Plain.dds", 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.line);
        GameSrand(1234);
        const int first = GameRand();
        const int second = GameRand();
        GameSrand(1234);
        char line[64];
        std::strcpy(line, c.line);
        ApplyTextureVariant(line);
        std::string expect = c.expect;
        const size_t mark = expect.find('#');
        if (mark != std::string::npos)
            expect[mark] = (char)('1' + first % c.count);
        EXPECT_EQ(std::string(line), expect);
        EXPECT_EQ(GameRand(), c.draws ? second : first);
    }
}

TEST(StaticObjectTest, CreateDrawsOneRandomPerVariantLine)
{
    DataTree tree;
    tree.AddText("Data/Objects/Rock.obj", Head("GCLASS_STATIC", "GTYPE_STONE") + Line("Mesh") +
                                              Line("Texture", "Rock%1.dds") + Line("-") + Line("End", "//--"));
    testdata::DataFolder folder(tree, true);
    GameSrand(99);
    GameRand();
    const int second = GameRand();
    GameSrand(99);
    CStaticObject object;
    ASSERT_NE(object.Create("Data/Objects/Rock.obj", 1, 0, 0x110, 1), -1);
    EXPECT_EQ(GameRand(), second);
    object.Release();
}

TEST(StaticObjectTest, LightMapNamesAreNumberedSafely)
{
    struct Case
    {
        const char* pattern;
        int number;
        const char* expect;
    };
    const Case cases[] = {
        {"Lights%02d.dds", 3, "Lights03.dds"},
        {"Lamp%d.dds", 12, "Lamp12.dds"},
        {"Lamp%i_%d.dds", 2, "Lamp2_%d.dds"},    // one integer only
        {"Bad%s%n%x.dds", 1, "Bad%s%n%x.dds"},   // conversions that take other arguments stay text
        {"Pct%%d.dds", 5, "Pct%d.dds"},
        {"Plain.dds", 7, "Plain.dds"},
        {"%", 1, "%"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pattern);
        char out[64];
        FormatNumberedName(out, sizeof(out), c.pattern, c.number);
        EXPECT_STREQ(out, c.expect);
    }
    char small[6];
    FormatNumberedName(small, sizeof(small), "Lights%02d.dds", 1);
    EXPECT_STREQ(small, "Light");
}

TEST(StaticObjectTest, LightMapCountAboveEightIsCapped)
{
    DataTree tree;
    tree.AddText("Data/Objects/Many.obj", Head("GCLASS_STATIC", "GTYPE_BUILDING") + Line("Mesh") + Line("Texture") +
                                              Line("-") + Line("Effect", "GEFFECT_LIGHTMAPS") + Line("Count", "40") +
                                              Line("Name", "Win%s%n%02d.dds") + Line("Colour", "255 255 255") +
                                              Line("-") + Line("Effect", "GEFFECT_CHROME") + Line("-") +
                                              Line("End", "//--"));
    testdata::DataFolder folder(tree, true);
    CStaticObject object;
    ASSERT_NE(object.Create("Data/Objects/Many.obj", 1, 0, 0x220, 1), -1);
    ASSERT_NE(object.lightMaps, nullptr);
    EXPECT_NE(object.chrome, nullptr);   // the lines after the light maps are still read in step
    EXPECT_FLOAT_EQ(object.lightMaps->lightColour[0], 1.0f);
    object.Release();
}

TEST(StaticObjectTest, SetScale)
{
    CStaticObject object;
    object.boundCentre[0] = 1.0f;
    object.boundCentre[1] = 2.0f;
    object.boundCentre[2] = 4.0f;
    object.boundRadius = 3.0f;
    object.SetScale(1.0f, 1.0f, 1.0f);
    EXPECT_EQ(object.useScale, 0);
    EXPECT_FLOAT_EQ(object.boundRadius, 3.0f);
    object.SetScale(2.0f, 1.0f, 0.5f);
    EXPECT_EQ(object.useScale, 1);
    EXPECT_FLOAT_EQ(object.boundRadius, 6.0f);
    EXPECT_FLOAT_EQ(object.boundCentre[0], 2.0f);
    EXPECT_FLOAT_EQ(object.boundCentre[1], 2.0f);
    EXPECT_FLOAT_EQ(object.boundCentre[2], 2.0f);
}

TEST(StaticObjectTest, ConstructionState)
{
    CStaticObject object;
    EXPECT_EQ(object.placement._11, 1.0f);
    EXPECT_EQ(object.placement._44, 1.0f);
    EXPECT_EQ(object.placement._41, 0.0f);
    EXPECT_EQ(object.body, nullptr);
    EXPECT_EQ(object.corners, nullptr);
    object.InitStatic();
    EXPECT_EQ(object.objectClass, GCLASS_STATIC);
    EXPECT_EQ(object.objectType, 0);
}

}   // namespace

namespace
{

std::vector<uint8_t> ReadDemoFile(const std::string& path)
{
    return testsupport::ReadFileBytes(testsupport::DemoDataDir() + "/" + path);
}

// Objects of one description share the mesh record and texture; releasing one
// leaves the other and its sub-objects whole.
TEST(StaticObjectMeshDemoDataTest, SharedRecordSurvivesReleaseOfOneObject)
{
    landtest::RecordingDevice device;
    DataTree tree;
    const std::vector<uint8_t> mesh = ReadDemoFile("Data/Static/Crate/Main.msh");
    const std::vector<uint8_t> texture = ReadDemoFile("Data/Static/Crate/Crate.dds");
    ASSERT_FALSE(mesh.empty());
    ASSERT_FALSE(texture.empty());
    tree.Add("Data/Static/Box/Main.msh", mesh);
    tree.Add("Data/Static/Box/Box01.dds", texture);
    tree.AddText("Data/Static/Box/Main.obj",
                 Head("GCLASS_STATIC", "GTYPE_STATIC") + Line("Mesh", "Data/Static/Box/Main.msh") +
                     Line("Texture", "Data/Static/Box/Box%1.dds") + Line("-") + Line("Effect", "GEFFECT_CHROME") +
                     Line("-") + Line("Effect", "GEFFECT_SHADOW") + Line("-") + Line("End", "//--"));
    for (bool packs : {true, false})
    {
        SCOPED_TRACE(packs ? "packs" : "loose");
        testdata::DataFolder folder(tree, packs);
        CStaticObject a, b;
        a.LoadDescription("Data/Static/Box/Main.obj");
        b.LoadDescription("Data/Static/Box/Main.obj");
        ASSERT_NE(a.meshRecord, nullptr);
        EXPECT_EQ(a.meshRecord, b.meshRecord);
        EXPECT_EQ(a.meshRecord->refCount, 2);
        EXPECT_NE(a.textureIds[0], -1);
        EXPECT_EQ(a.textureIds[0], b.textureIds[0]);
        EXPECT_STREQ(a.textureNames[0], "Data/Static/Box/Box01.dds");
        ASSERT_NE(b.chrome, nullptr);
        EXPECT_EQ(b.chrome->meshRecord, b.meshRecord);
        EXPECT_GT(a.boundRadius, 0.0f);

        MeshRecord* shared = b.meshRecord;
        a.Release();
        EXPECT_EQ(a.meshRecord, nullptr);
        EXPECT_EQ(a.chrome, nullptr);
        EXPECT_EQ(b.meshRecord, shared);
        EXPECT_EQ(shared->refCount, 1);
        EXPECT_EQ(b.chrome->meshRecord, shared);
        EXPECT_NE(b.shadow, nullptr);
        EXPECT_NE(g_Render.GetTexture(b.textureIds[0]), nullptr);
        b.Release();
    }
}

}   // namespace

#include <btBulletDynamicsCommon.h>

#include "core/Physics.h"

namespace
{

// The contact pass sees an object's class through the access table.
TEST(StaticObjectPhysicsTest, ClassReachesTheCollisionFilter)
{
    struct Case
    {
        int objectClass;
        int index;
    };
    const Case cases[] = {{GCLASS_STATIC, 1},  {GCLASS_DYNAMIC, 2}, {GCLASS_HUMAN, 3},
                          {GCLASS_VEHICLE, 4}, {GCLASS_EFFECT, -1}, {GCLASS_LANDSCAPE, -1}};
    for (const Case& c : cases)
    {
        CStaticObject object;
        object.objectClass = c.objectClass;
        EXPECT_EQ(GetCollisionIndex(&object), c.index) << c.objectClass;
    }
    CStaticObject object;
    ASSERT_NE(g_PhysicsObjectAccess.setTouched, nullptr);
    g_PhysicsObjectAccess.setTouched(&object);
    EXPECT_EQ(object.touched, 1);
    object.objectType = GTYPE_FENCES;
    EXPECT_EQ(g_PhysicsObjectAccess.objectType(&object), GTYPE_FENCES);
}

// Release takes the body out of the world before deleting it.
TEST(StaticObjectPhysicsTest, ReleaseRemovesBodyFromWorld)
{
    ASSERT_EQ(g_PhysicsWorld.Create(), 1);
    btBoxShape box(btVector3(1, 1, 1));
    CStaticObject object;
    object.objectClass = GCLASS_DYNAMIC;
    btTransform start;
    start.setIdentity();
    object.body = new btRigidBody(
        btRigidBody::btRigidBodyConstructionInfo(1.0f, new btDefaultMotionState(start), &box, btVector3(1, 1, 1)));
    object.body->setUserPointer(&object);
    g_PhysicsWorld.dynamicsWorld->addRigidBody(object.body);
    object.inWorld = 1;
    g_PhysicsWorld.dynamicsWorld->stepSimulation(1.0f / 60.0f);
    object.Release();
    EXPECT_EQ(object.body, nullptr);
    EXPECT_EQ(object.inWorld, 0);
    EXPECT_EQ(g_PhysicsWorld.dynamicsWorld->getNumCollisionObjects(), 0);
    g_PhysicsWorld.dynamicsWorld->stepSimulation(1.0f / 60.0f);
    object.Release();   // a second release finds nothing to free
    g_PhysicsWorld.Destroy();
}

}   // namespace
