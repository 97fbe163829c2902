// The sky's time of day: the key tables, the sun and moon, the shadow light,
// the drawing of the time with an injected clock, the lit colours, and what
// an area load does to the sky (a new time and new clouds each time).
#include "world/Sky.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "core/Settings.h"
#include "platform/os/Clock.h"
#include "platform/os/Rand.h"
#include "render/LightManager.h"
#include "render/MeshContainer.h"
#include "scene/MeshEffects.h"
#include "scene/StaticObject.h"
#include "tools/ImageWriter.h"
#include "world/Landscape.h"
#include "world/LandscapeTestSupport.h"

namespace
{

const float kPi = 3.14159265f;
const float kRoot2 = 1.41421356f;

// The sky made from the demo data on the recording device.
class SkyDemoDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder.reset(new testdata::DataFolder(testsupport::DemoDataDir(), true));
        ASSERT_EQ(g_Sky.Create(), 1);
        savedEditor = g_EditorMode;
        savedView = g_ViewDistance;
    }
    void TearDown() override
    {
        g_Sky.Release();
        g_Landscape.Release();
        g_EditorMode = savedEditor;
        g_ViewDistance = savedView;
        ClockUseSystem();
        folder.reset();
    }
    static void SetTime(float dayTime)
    {
        g_Sky.dayTime = dayTime;
        g_Sky.moonTime = dayTime + 1000000.0f;
        g_Sky.UpdateSun();
    }

    landtest::RecordingDevice device;
    testdata::MessageCapture messages;
    std::unique_ptr<testdata::DataFolder> folder;
    int savedEditor = 0, savedView = 0;
};

void ExpectColour(const float c[4], float r, float g, float b, float a, const char* what)
{
    SCOPED_TRACE(what);
    EXPECT_NEAR(c[0], r, 1e-4f);
    EXPECT_NEAR(c[1], g, 1e-4f);
    EXPECT_NEAR(c[2], b, 1e-4f);
    EXPECT_NEAR(c[3], a, 1e-4f);
}

TEST_F(SkyDemoDataTest, CreateLoadsTheDomeAndTheSunAndFillsTheKeys)
{
    ASSERT_NE(g_Sky.dome, nullptr);
    ASSERT_NE(g_Sky.dome->meshRecord, nullptr);
    EXPECT_EQ(g_Sky.dome->meshRecord->partCount[MESH_SLOT_SKYDOME], 1);
    EXPECT_EQ(g_Sky.dome->meshRecord->partCount[MESH_SLOT_SECOND], 1);
    EXPECT_FLOAT_EQ(g_Sky.dome->material.Diffuse.r, 0.0f);
    EXPECT_FLOAT_EQ(g_Sky.dome->material.Diffuse.a, 1.0f);
    EXPECT_NE(g_Sky.sunTexture, -1);
    EXPECT_STREQ(g_Render.textures.GetName(g_Sky.sunTexture), "Data/Sky/Sun.bmp");
    EXPECT_EQ(g_Sky.backgroundTexture, -1);
    EXPECT_EQ(g_Sky.cloudsTexture, -1);
    EXPECT_FLOAT_EQ(g_Sky.sunQuad[1].u, 0.001f);
    EXPECT_FLOAT_EQ(g_Sky.sunQuad[1].v, 0.999f);
    EXPECT_EQ(g_Sky.sunQuad[3].color, 0xFFFFFFFFu);
    ExpectColour(g_Sky.sunKeys[2], 1.0f, 0.5f, 0.0f, 1.0f / 260.0f, "sun key 2");
    ExpectColour(g_Sky.ambientKeys[4], 100.0f / 260, 100.0f / 260, 130.0f / 260, 1.0f / 260.0f, "ambient key 4");
    ExpectColour(g_Sky.ambientKeys[8], 40.0f / 260, 40.0f / 260, 70.0f / 260, 1.0f / 260.0f, "ambient key 8");
    EXPECT_EQ(g_Sky.flareOccluded, 1);
    EXPECT_FLOAT_EQ(g_Sky.sunIntensity, 1.0f);
    EXPECT_TRUE(testdata::Messages().empty());
    // The light manager and the reflections read this sky from now on.
    EXPECT_EQ(g_LightManager.sky.sunColor, g_Sky.sunColor);
    EXPECT_EQ(g_MeshEffectInputs.moonIntensity, &g_Sky.moonIntensity);

    g_Sky.Release();
    EXPECT_EQ(g_Sky.dome, nullptr);
    EXPECT_EQ(g_Sky.sunTexture, -1);
    EXPECT_EQ(g_LightManager.sky.sunColor, nullptr);
    EXPECT_EQ(g_MeshEffectInputs.moonIntensity, nullptr);
    g_Sky.Release();   // twice is harmless
}

// The sky's colours and light at whole hours of the key table and between them.
TEST_F(SkyDemoDataTest, TimeOfDayTable)
{
    struct Case
    {
        float dayTime;
        float sun[3], ambient[3];   // ambient in 260ths, before the 0.75
        float sunIntensity, moonIntensity, shadowStrength;
    };
    const Case cases[] = {
        {0, {0, 0, 0}, {40, 40, 70}, 0, 1, 0.8f},          {250000, {1, 0, 0}, {70, 70, 40}, 0, 1, 0.8f},
        {700000, {1, 0.9f, 0.4f}, {70, 70, 88}, 1, 0, 1},  {1000000, {1, 1, 1}, {100, 100, 130}, 1, 0, 1},
        {1250000, {1, 1, 0.5f}, {70, 70, 100}, 1, 0, 1},   {1400000, {1, 0.7f, 0.2f}, {70, 70, 64}, 1, 0, 1},
        {1875000, {0.5f, 0, 0}, {55, 55, 55}, 0, 1, 0.8f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.dayTime);
        SetTime(c.dayTime);
        const float t = c.dayTime * kPi * 1e-6f, u = t + kPi;
        EXPECT_NEAR(g_Sky.sunDirection[0], -std::sin(t), 1e-4f);
        EXPECT_NEAR(g_Sky.sunDirection[1], std::cos(t) / kRoot2, 1e-4f);
        EXPECT_NEAR(g_Sky.sunDirection[2], -std::cos(t) / kRoot2, 1e-4f);
        EXPECT_NEAR(g_Sky.moonDirection[0], -std::sin(u), 1e-4f);
        EXPECT_NEAR(g_Sky.moonDirection[1], std::cos(u) / kRoot2, 1e-4f);
        EXPECT_NEAR(g_Sky.moonDirection[2], std::cos(u) / kRoot2, 1e-4f);
        EXPECT_NEAR(g_Sky.sunIntensity, c.sunIntensity, 1e-5f);
        EXPECT_NEAR(g_Sky.moonIntensity, c.moonIntensity, 1e-5f);
        EXPECT_NEAR(g_Sky.shadowStrength, c.shadowStrength, 1e-5f);
        ExpectColour(g_Sky.sunColor, c.sun[0], c.sun[1], c.sun[2], 1.0f, "sun");
        const float k = 0.75f / 260.0f;
        ExpectColour(g_Sky.ambientColor, c.ambient[0] * k, c.ambient[1] * k, c.ambient[2] * k, 1.0f, "ambient");
        ExpectColour(g_Sky.fogColor, std::fmin(1.0f, 1.5f * c.ambient[0] * k), std::fmin(1.0f, 1.5f * c.ambient[1] * k),
                     std::fmin(1.0f, 1.5f * c.ambient[2] * k), 1.5f, "fog");
        const float len = std::sqrt(g_Sky.shadowDirection[0] * g_Sky.shadowDirection[0] +
                                    g_Sky.shadowDirection[1] * g_Sky.shadowDirection[1] +
                                    g_Sky.shadowDirection[2] * g_Sky.shadowDirection[2]);
        EXPECT_NEAR(len, 1.0f, 1e-5f);
        EXPECT_GT(g_Sky.shadowDirection[1], 0.0f);
    }
    // The hour the editor fixes the sky at.
    SetTime(700000);
    EXPECT_NEAR(g_Sky.sunDirection[0], -0.809f, 1e-3f);
    EXPECT_NEAR(g_Sky.sunDirection[1], -0.416f, 1e-3f);
    EXPECT_NEAR(g_Sky.sunDirection[2], 0.416f, 1e-3f);
    // At midnight the moon casts the shadows, from straight opposite it.
    SetTime(0);
    EXPECT_NEAR(g_Sky.shadowDirection[0], 0.0f, 1e-4f);
    EXPECT_NEAR(g_Sky.shadowDirection[1], 1.0f / kRoot2, 1e-4f);
    EXPECT_NEAR(g_Sky.shadowDirection[2], 1.0f / kRoot2, 1e-4f);
}

// The sun just above the horizon: half-strength shadows, and the shadow light
// raised to y = 0.5 before it is normalised.
TEST_F(SkyDemoDataTest, LowSunRaisesTheShadowLight)
{
    const float t = std::acos(-0.1f * kRoot2);   // the morning sun at y = -0.1
    SetTime(t / (kPi * 1e-6f));
    ASSERT_NEAR(g_Sky.sunDirection[1], -0.1f, 1e-4f);
    EXPECT_NEAR(g_Sky.shadowStrength, 0.5f, 1e-3f);
    EXPECT_FLOAT_EQ(g_Sky.sunIntensity, 1.0f);
    const float x = -g_Sky.sunDirection[0], z = -g_Sky.sunDirection[2];
    const float len = std::sqrt(x * x + 0.25f + z * z);
    EXPECT_NEAR(g_Sky.shadowDirection[0], x / len, 1e-4f);
    EXPECT_NEAR(g_Sky.shadowDirection[1], 0.5f / len, 1e-4f);
    EXPECT_NEAR(g_Sky.shadowDirection[2], z / len, 1e-4f);
}

TEST_F(SkyDemoDataTest, WinterTurnsTheSunAndAmbientGrey)
{
    g_Landscape.loadedSeason = 2;
    SetTime(700000);
    const float m = (1.0f + 0.9f + 0.4f) * 0.33333334f;
    ExpectColour(g_Sky.sunColor, m, m, m, 1.0f, "sun");
    const float a = (70.0f + 70.0f + 88.0f) / 260.0f * 0.75f * 0.33333334f;
    ExpectColour(g_Sky.ambientColor, a, a, a, 1.0f, "ambient");
    ExpectColour(g_Sky.fogColor, 1.5f * a, 1.5f * a, 1.5f * a, 1.5f, "fog");
    g_Landscape.loadedSeason = 1;
    SetTime(700000);
    EXPECT_NEAR(g_Sky.sunColor[2], 0.4f, 1e-5f);
    g_Landscape.loadedSeason = -1;
}

TEST(SkyDayTime, DrawsAndFractions)
{
    struct Case
    {
        int first, second, editor;
        float fraction;
    };
    const Case cases[] = {
        {0, 50, 0, 0.3f},    {100, 50, 0, 0.4f},    {101, 99, 0, 0.3f}, {0, 49, 0, 0.7f},          {100, 0, 0, 0.6f},
        {50, 150, 0, 0.35f}, {150, 149, 0, 0.651f}, {37, 12, 1, 0.35f}, {32767, 32767, 0, 0.343f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(DayFractionOfDraws(c.first, c.second, c.editor), c.fraction, 1e-6f)
            << c.first << " " << c.second << " " << c.editor;

    // Whole milliseconds, wrapped into the day; a morning or afternoon time
    // may come out a millisecond short of the exact product.
    EXPECT_NEAR(DayTimeOfFraction(0.35f), 700000.0f, 1.0f);
    EXPECT_NEAR(DayTimeOfFraction(0.3f), 600000.0f, 1.0f);
    EXPECT_NEAR(DayTimeOfFraction(0.7f), 1400000.0f, 1.0f);
    EXPECT_EQ(DayTimeOfFraction(1.0f), 0.0f);
    EXPECT_NEAR(DayTimeOfFraction(1.25f), 500000.0f, 1.0f);
    EXPECT_EQ(DayTimeOfFraction(-0.1f), 0.0f);
    EXPECT_EQ(DayTimeOfFraction(std::nanf("")), 0.0f);
    EXPECT_EQ(DayTimeOfFraction(1e30f), 0.0f);
    EXPECT_EQ(DayTimeOfFraction(0.123456f), std::floor(DayTimeOfFraction(0.123456f)));
}

// With the clock taken over, each load draws a daylight time in one of the two
// windows; the same clock draws the same time; the editor's time is fixed,
// though both numbers are drawn all the same.
TEST_F(SkyDemoDataTest, TimeOfDayFromAnInjectedClock)
{
    const DWORD clocks[] = {0, 1, 2, 777, 12345, 60000, 999999, 0x7FFFFFFF, 0xFFFFFFFF};
    int mornings = 0, afternoons = 0;
    for (DWORD ms : clocks)
    {
        SCOPED_TRACE(ms);
        ClockSetManual(ms);
        g_EditorMode = 0;
        g_Sky.SetTimeOfDay();
        const float day = g_Sky.dayTime;
        const bool morning = day >= 600000.0f - 1.0f && day <= 800000.0f;
        const bool afternoon = day >= 1200000.0f - 1.0f && day <= 1400000.0f;
        EXPECT_TRUE(morning || afternoon) << day;
        mornings += morning;
        afternoons += afternoon;
        EXPECT_EQ(g_Sky.moonTime, day + 1000000.0f);
        // The race is always in daylight.
        EXPECT_LT(g_Sky.sunDirection[1], 0.0f);
        EXPECT_FLOAT_EQ(g_Sky.sunIntensity, 1.0f);
        EXPECT_FLOAT_EQ(g_Sky.moonIntensity, 0.0f);
        const int next = GameRand();

        g_Sky.SetTimeOfDay();
        EXPECT_EQ(g_Sky.dayTime, day);

        g_EditorMode = 1;
        g_Sky.SetTimeOfDay();
        EXPECT_NEAR(g_Sky.dayTime, 700000.0f, 1.0f);
        EXPECT_EQ(GameRand(), next);
    }
    EXPECT_GT(mornings, 0);
    EXPECT_GT(afternoons, 0);
}

TEST_F(SkyDemoDataTest, UpdateRecomputesAndSetsTheFogRange)
{
    SetTime(1000000);
    g_Sky.dayTime = 700000;
    g_ViewDistance = 800;
    g_Sky.Update();
    EXPECT_NEAR(g_Sky.sunColor[1], 0.9f, 1e-5f);
    EXPECT_FLOAT_EQ(g_Render.fogStart, 400.0f);
    EXPECT_FLOAT_EQ(g_Render.fogEnd, 800.0f);
}

TEST_F(SkyDemoDataTest, LitColours)
{
    SetTime(1000000);   // noon: sunlight along (0, -0.707, 0.707), white
    const float a = 100.0f / 260 * 0.75f, b = 130.0f / 260 * 0.75f;
    const float away[3] = {0, -1.0f / kRoot2, 1.0f / kRoot2};     // turned from the sun
    const float facing[3] = {0, 1.0f / kRoot2, -1.0f / kRoot2};   // towards it
    float out[4];
    g_Sky.GetLitColor(out, away, 0.5f, 1.0f, 2.0f, 1.0f);
    ExpectColour(out, a * 0.5f, a, b * 2.0f, 1.0f, "ambient only");

    // Ambient and sun add up above 1: all four channels are scaled by the
    // largest of red, green and blue.
    g_Sky.GetLitColor(out, facing, 1, 1, 1, 1);
    ExpectColour(out, (a + 1.0f) / (b + 1.0f), (a + 1.0f) / (b + 1.0f), 1.0f, 2.0f / (b + 1.0f), "scaled");

    const float colour[4] = {1.0f, 0.5f, 0.25f, 1.0f};
    const D3DCOLOR packed = g_Sky.GetLitColorPacked(away, 1.0f, colour);
    EXPECT_EQ(packed >> 24, 0xFFu);
    EXPECT_EQ((packed >> 16) & 0xFF, (DWORD)(int)(a * 255.0f));
    EXPECT_EQ((packed >> 8) & 0xFF, (DWORD)(int)(0.5f * a * 255.0f));
    EXPECT_EQ(packed & 0xFF, (DWORD)(int)(0.25f * b * 255.0f));
    // A factor that takes a channel past 255 holds it there instead of
    // spilling into the next channel.
    EXPECT_EQ(g_Sky.GetLitColorPacked(facing, 3.0f, colour), 0xFFFFFFBFu);
}

// A small area with a sky folder of tiny pictures.
void AddSkyPictures(DataTree& tree)
{
    uint8_t pixels[4 * 4 * 4] = {};
    for (uint8_t& p : pixels)
        p = 200;
    for (int n = 1; n <= 9; ++n)
    {
        char name[64];
        std::snprintf(name, sizeof name, "Data/Sky/Clouds%02d.bmp", n);
        tree.Add(name, WriteBmp24(4, 4, pixels));
        std::snprintf(name, sizeof name, "Data/Sky/Clouds%02d.jpg", n);
        tree.Add(name, WriteJpg(4, 4, pixels));
    }
    for (int season = 1; season <= 3; ++season)
    {
        char name[64];
        std::snprintf(name, sizeof name, "Data/Sky/Background1_%02d.dds", season);
        tree.Add(name, WriteDds(4, 4, pixels, PixelFormat::A8R8G8B8, false));
    }
}

std::string NameOf(TextureId id)
{
    return id == -1 ? "" : g_Render.textures.GetName(id);
}

std::string CloudsAfterSeed(DWORD ms)
{
    GameSrand(ms);
    char name[64];
    std::snprintf(name, sizeof name, "Data/Sky/Clouds%02d.bmp", GameRand() % 9 + 1);
    return name;
}

// Each start on an area draws a new time of day and new clouds; another
// season brings its own background; the textures go with the area's.
TEST(SkyLandscapeTest, EachLoadDrawsTimeAndClouds)
{
    landtest::RecordingDevice device;
    DataTree tree;
    landtest::AddArea(tree, landtest::AreaSpec());
    AddSkyPictures(tree);
    testdata::DataFolder folder(tree, true);
    testdata::MessageCapture messages;   // the tree has no dome
    ASSERT_EQ(g_Sky.Create(), 1);
    const int savedEditor = g_EditorMode;
    g_EditorMode = 0;

    ClockSetManual(4242);
    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    const float firstTime = g_Sky.dayTime;
    EXPECT_EQ(NameOf(g_Sky.backgroundTexture), "Data/Sky/Background1_01.dds");
    EXPECT_EQ(NameOf(g_Sky.cloudsTexture), CloudsAfterSeed(4242));
    const TextureId background = g_Sky.backgroundTexture;

    // Same area and season: only the time and the clouds change.
    DWORD ms = 1;
    while (CloudsAfterSeed(ms) == CloudsAfterSeed(4242) && ms < 100)
        ms++;
    ClockSetManual(ms);
    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    EXPECT_NE(g_Sky.dayTime, firstTime);
    EXPECT_EQ(NameOf(g_Sky.cloudsTexture), CloudsAfterSeed(ms));
    EXPECT_EQ(g_Sky.backgroundTexture, background);

    // Winter on the same area: its background. The time of day was drawn
    // before the season's textures, so the colours nature bakes during the
    // load carry no winter grey; the next frame's update greys them.
    ASSERT_EQ(g_Landscape.LoadArea(0, 2), 1);
    EXPECT_EQ(NameOf(g_Sky.backgroundTexture), "Data/Sky/Background1_03.dds");
    EXPECT_NE(g_Sky.cloudsTexture, -1);
    EXPECT_GT(g_Sky.sunColor[0] - g_Sky.sunColor[2], 0.3f);
    g_Sky.Update();
    EXPECT_FLOAT_EQ(g_Sky.sunColor[0], g_Sky.sunColor[2]);

    g_Landscape.Release();
    EXPECT_EQ(g_Sky.backgroundTexture, -1);
    EXPECT_EQ(g_Sky.cloudsTexture, -1);
    // Nothing of the sky is left in the texture cache.
    for (int n = 1; n <= 9; ++n)
    {
        char name[64];
        std::snprintf(name, sizeof name, "Data/Sky/Clouds%02d.bmp", n);
        EXPECT_EQ(g_Render.textures.Find(name), -1) << name;
    }
    g_Sky.Release();
    g_EditorMode = savedEditor;
    ClockUseSystem();
}

}   // namespace
