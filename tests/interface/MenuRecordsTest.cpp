// Texts of the records table: times and scores from a file the player can
// edit, and the loading screen drawn before any font exists.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "core/Records.h"
#include "interface/MainMenu.h"
#include "interface/MenuRecords.h"
#include "tests/interface/MenuTestSupport.h"
#include "tests/render/RenderTestSupport.h"

namespace
{

TEST(MenuRecordsTest, BestTimesShowAsMinutesSecondsAndHundredths)
{
    struct Case
    {
        float seconds;
        const char* text;
        int result;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {83.456f, "(01:23.45)", 1}, {59.999f, "(00:59.99)", 1},   // truncated, never rounded up to a minute
        {600.0f, "(10:00.00)", 1},  {0.5f, "(00:00.50)", 1},
        {1e9f, "(99:59.99)", 1},   // held to what the table has room for
        {0.0f, "(-------)", 0},    // no result yet
        {-12.0f, "(-------)", 0},   {nan, "(-------)", 0},
        {inf, "(-------)", 0},
    };
    for (const Case& c : cases)
    {
        char text[32];
        EXPECT_EQ(FormatRecordTime(c.seconds, text, sizeof(text)), c.result) << c.seconds;
        EXPECT_STREQ(text, c.text) << c.seconds;
    }
}

// A career row's result texts, from a table as a damaged file could leave it.
TEST(MenuRecordsTest, ResultTextsOfACareerRow)
{
    const RecordsTable saved = g_Records;
    std::memset(&g_Records, 0, sizeof(g_Records));
    g_Records.best[2] = 83.456f;
    std::snprintf(g_Records.holder[2], RECORD_NAME_SIZE, "%s", "Ann");
    // A holder filling all its bytes, no terminator, the next name after it.
    g_Records.best[5] = 61.0f;
    std::memset(g_Records.holder[5], 'X', RECORD_NAME_SIZE);
    std::snprintf(g_Records.holder[6], RECORD_NAME_SIZE, "%s", "Next");

    struct Case
    {
        int row;
        const char* holder;
        const char* time;
        int result;
    };
    const Case cases[] = {
        {2, "Ann", "(01:23.45)", 1},
        {0, "NO RESULT", "(-------)", 0},   // a best time of 0
        {5, "XXXXXXXXXXXXXXXXXXXX", "(01:01.00)", 1},
        {-1, "NO RESULT", "(-------)", 0},
        {RACE_ROWS, "NO RESULT", "(-------)", 0},
    };
    for (const Case& c : cases)
    {
        char holder[RECORD_NAME_SIZE], time[32];
        EXPECT_EQ(RecordResultTexts(c.row, holder, sizeof(holder), time, sizeof(time)), c.result) << c.row;
        EXPECT_STREQ(holder, c.holder) << c.row;
        EXPECT_STREQ(time, c.time) << c.row;
    }
    g_Records = saved;
}

TEST(MenuRecordsTest, ScoresAreTruncatedWholeNumbersInRange)
{
    EXPECT_EQ(ScoreToInt(1234.9f), 1234);
    EXPECT_EQ(ScoreToInt(-0.5f), 0);
    EXPECT_EQ(ScoreToInt(1e12f), INT_MAX);
    EXPECT_EQ(ScoreToInt(-1e12f), INT_MIN);
    EXPECT_EQ(ScoreToInt(std::numeric_limits<float>::quiet_NaN()), 0);
}

// The score list's columns are narrow: a long name or a big score is shrunk
// to the room of its column, anything that fits keeps its size. The made-up
// font is 10 units a character at scale 1.
TEST(MenuRecordsTest, TextsShrinkToTheRoomOfTheirColumn)
{
    CFont font;
    menutest::FakeFont(font);
    struct Case
    {
        const char* text;
        float scale, room, fitted;
    };
    const Case cases[] = {
        {"Ann", 0.4f, 91.0f, 0.4f},                          // 12 units: kept
        {"Rosalind Everingham-Smythe", 0.4f, 91.0f, 0.0f},   // 104 units: shrunk to 91
        {"2147483647000", 0.4f, 46.0f, 0.0f},                // a big score
        {"1234", 0.4f, 16.0f, 0.4f},                         // exactly the room
        {"", 0.4f, 18.0f, 0.4f},
        {"Ann", 0.4f, 0.0f, 0.4f},   // no room given: drawn as it is, not vanished
    };
    for (const Case& c : cases)
    {
        const float fitted = FitTextScale(font, c.text, c.scale, c.room);
        const float width = font.GetTextWidth(c.text, c.scale, 0);
        if (c.fitted > 0.0f)
            EXPECT_FLOAT_EQ(fitted, c.fitted) << c.text;
        else
        {
            EXPECT_GT(width, c.room) << c.text;
            EXPECT_LT(fitted, c.scale) << c.text;
            EXPECT_NEAR(font.GetTextWidth(c.text, fitted, 0), c.room, 0.5f) << c.text;
        }
    }
}

// A name too wide for its column keeps its size and is cut short with
// "...": whole characters dropped from the end (spaces before the dots too)
// until it fits. The made-up font is 4 units a character at scale 0.4.
TEST(MenuRecordsTest, NamesTooWideForTheirColumnAreCutShort)
{
    CFont font;
    menutest::FakeFont(font);
    struct Case
    {
        const char* name;
        float room;
        const char* shown;
    };
    const Case cases[] = {
        {"Ann", 40.0f, "Ann"},                 // fits: whole
        {"Wilhelmina", 40.0f, "Wilhelmina"},   // exactly the room
        {"Wilhelmina Worthington", 40.0f, "Wilhelm..."},
        {"Calo Kessby", 32.0f, "Calo..."},   // no space before the dots
        {"Wilhelmina", 8.0f, "..."},         // no room for any character
        {"", 40.0f, ""},
    };
    for (const Case& c : cases)
    {
        char shown[64];
        FitNameText(font, c.name, 0.4f, c.room, shown, sizeof(shown));
        EXPECT_STREQ(shown, c.shown) << c.name;
    }
    char small[5];
    FitNameText(font, "Ann Ann", 0.4f, 100.0f, small, sizeof(small));
    EXPECT_STREQ(small, "Ann ") << "never past the output";
}

class LoadingScreenDemoDataTest : public render_test::RenderFixture
{};

// At program start the loading screen comes before the menu's font is
// loaded: its text draws nothing, and five frames of its own are presented.
TEST_F(LoadingScreenDemoDataTest, DrawsWithoutAFontAndPresentsItsOwnFrames)
{
    D3DOverrideAdapterModes({D3DDISPLAYMODE{800, 600, 60, D3DFMT_X8R8G8B8}});
    UseDemoData(true);
    StartDevice();
    auto menu = std::make_unique<CMainMenu>();
    D3DClearRecordedCalls();
    menu->DrawLoadingScreen(1);
    EXPECT_EQ(render_test::CountCalls("BeginScene"), 5u);
    EXPECT_EQ(render_test::CountCalls("Present"), 5u);
    EXPECT_EQ(render_test::CountCalls("DrawIndexedPrimitiveUP"), 0u);   // no text
    EXPECT_GE(render_test::CountCalls("DrawPrimitiveUP"), 5u);          // the picture each frame
    EXPECT_TRUE(render_test::Messages().empty());

    // As the loading state's page: once into the current frame.
    D3DClearRecordedCalls();
    menu->DrawLoadingScreen(0);
    EXPECT_EQ(render_test::CountCalls("BeginScene"), 0u);
    EXPECT_EQ(render_test::CountCalls("Present"), 0u);
    EXPECT_GE(render_test::CountCalls("DrawPrimitiveUP"), 1u);
}

}   // namespace
