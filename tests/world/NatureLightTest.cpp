// How nature's baked colours follow the light of the hour: the scale of the
// baked light against the sky's light now, with the sky's own colours at the
// hours that matter (the race's hour, midnight, a winter load).
#include "world/NatureLight.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "world/Landscape.h"
#include "world/LandscapeTestSupport.h"
#include "world/Sky.h"

namespace
{

TEST(NatureLightFactorTest, NowOverBakedPerChannelWithinItsLimits)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case
    {
        const char* what;
        float baked[3];
        float now[3];
        int grey;
        float out[3];
    };
    const Case cases[] = {
        {"the same light", {0.7f, 0.65f, 0.45f}, {0.7f, 0.65f, 0.45f}, 0, {1, 1, 1}},
        {"a darker, bluer light", {0.8f, 0.8f, 0.4f}, {0.1f, 0.2f, 0.2f}, 0, {0.125f, 0.25f, 0.5f}},
        {"brighter, held to the limit", {0.2f, 0.4f, 0.5f}, {1.0f, 0.6f, 0.5f}, 0, {2.0f, 1.5f, 1.0f}},
        {"grey compares the means", {0.9f, 0.6f, 0.3f}, {0.6f, 0.6f, 0.6f}, 1, {1, 1, 1}},
        {"grey darkens all alike", {0.9f, 0.6f, 0.3f}, {0.1f, 0.2f, 0.3f}, 1, {1.0f / 3, 1.0f / 3, 1.0f / 3}},
        {"nothing baked yet", {0, 0, 0}, {0.3f, 0.3f, 0.3f}, 0, {1, 1, 1}},
        {"a lost channel now", {0.5f, 0.5f, 0.5f}, {nan, -1.0f, 0.25f}, 0, {1, 0, 0.5f}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        float out[3] = {-9, -9, -9};
        NatureLightFactor(c.baked, c.now, c.grey, out);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(out[k], c.out[k], 1e-5f) << k;
    }
}

// The sky made from the demo data on the recording device.
class NatureLightDemoDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder.reset(new testdata::DataFolder(testsupport::DemoDataDir(), true));
        ASSERT_EQ(g_Sky.Create(), 1);
    }
    void TearDown() override
    {
        g_Sky.Release();
        g_Landscape.loadedSeason = -1;
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
};

// Raced at the hour it was built, nature keeps its baked colours: also in
// winter, where the area is built before the season greys the sky.
TEST_F(NatureLightDemoDataTest, TheHourOfTheBuildKeepsTheBakedColours)
{
    for (float hour : {600000.0f, 700000.0f, 1300000.0f, 1400000.0f})
        for (int winter = 0; winter < 2; ++winter)
        {
            SCOPED_TRACE(hour);
            SCOPED_TRACE(winter);
            g_Landscape.loadedSeason = -1;
            SetTime(hour);
            float baked[3], now[3], factor[3];
            NatureSkyLight(baked);
            g_Landscape.loadedSeason = winter ? 2 : 0;
            SetTime(hour);
            NatureSkyLight(now);
            NatureLightFactor(baked, now, winter, factor);
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(factor[k], 1.0f, 1e-5f) << k;
        }
}

// Built by day and raced at midnight: a fraction of the light, bluest in the
// blue as the moonlit ground is.
TEST_F(NatureLightDemoDataTest, MidnightLeavesAFractionOfTheDaysLightBluest)
{
    SetTime(700000.0f);
    float baked[3], now[3], factor[3];
    NatureSkyLight(baked);
    SetTime(0.0f);
    NatureSkyLight(now);
    NatureLightFactor(baked, now, 0, factor);
    for (int k = 0; k < 3; ++k)
    {
        EXPECT_GT(factor[k], 0.05f) << k;
        EXPECT_LT(factor[k], 0.5f) << k;
    }
    EXPECT_GT(factor[2], factor[0]);
    EXPECT_GT(factor[2], factor[1]);
}

}   // namespace
