// The rival names file and the default score table named from it.
#include "core/RacerNames.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/Records.h"
#include "platform/os/Rand.h"
#include "scene/StaticObjectFixture.h"

namespace
{

const char kFile[] = "Data/Misc/RacersName.obj";

// A names file: each block three free lines, then a name line and a town
// line per entry; `name` gives the name line of (block, entry).
template <typename NameFn>
std::string NamesText(int blocks, int entries, NameFn name)
{
    std::string text;
    for (int b = 0; b < blocks; ++b)
    {
        text += "// block\n// name\n// town\n";
        for (int e = 0; e < entries; ++e)
            text += name(b, e) + "\nTown " + std::to_string(e) + "\n";
    }
    return text;
}

std::string Plain(int b, int e)
{
    return "Rider " + std::to_string(b) + "-" + std::to_string(e);
}

class RacerNamesTest : public ::testing::TestWithParam<bool>   // packs or loose files
{
protected:
    int Load(const std::string& text)
    {
        DataTree tree;
        tree.AddText(kFile, text);
        testdata::MessageCapture messages;
        testdata::DataFolder folder(tree, GetParam());
        const int names = LoadRacerNames();
        EXPECT_TRUE(testdata::Messages().empty());
        return names;
    }
};

TEST_P(RacerNamesTest, TwoBlocksOfSixtyFourNames)
{
    EXPECT_EQ(Load(NamesText(2, 64, Plain)), 128);
    EXPECT_STREQ(g_RacerNames[0][0], "Rider 0-0");
    EXPECT_STREQ(g_RacerNames[0][63], "Rider 0-63");
    EXPECT_STREQ(g_RacerNames[1][0], "Rider 1-0");
    EXPECT_STREQ(g_RacerNames[1][63], "Rider 1-63");
}

TEST_P(RacerNamesTest, NamesKeepFifteenCharactersWithoutTrailingBlanks)
{
    struct Case
    {
        std::string line;
        std::string name;
    };
    const Case cases[] = {
        {"Short", "Short"},
        {"Trailing blanks   ", "Trailing blanks"},
        {"Tab\t", "Tab"},
        {"Exactly fifteen", "Exactly fifteen"},
        {"Sixteen letters!", "Sixteen letters"},
        {"Cut here       more", "Cut here"},                   // the blanks at the cut go too
        {std::string(600, 'x') + "Z", std::string(15, 'x')},   // longer than any buffer
        {"   ", ""},
    };
    const int count = (int)(sizeof(cases) / sizeof(cases[0]));
    EXPECT_EQ(Load(NamesText(2, 64,
                             [&](int b, int e) {
                                 if (b == 0 && e < count)
                                     return cases[e].line;
                                 return Plain(b, e);
                             })),
              128);
    for (int e = 0; e < count; ++e)
        EXPECT_EQ(std::string(g_RacerNames[0][e]), cases[e].name) << e;
    // A long line never shifts the lines after it.
    EXPECT_STREQ(g_RacerNames[0][count], ("Rider 0-" + std::to_string(count)).c_str());
    EXPECT_STREQ(g_RacerNames[1][63], "Rider 1-63");
}

TEST_P(RacerNamesTest, AShortFileLeavesTheNamesItLacksEmpty)
{
    EXPECT_EQ(Load(NamesText(2, 64, Plain)), 128);
    EXPECT_EQ(Load(NamesText(1, 10, Plain)), 10);
    EXPECT_STREQ(g_RacerNames[0][9], "Rider 0-9");
    EXPECT_STREQ(g_RacerNames[0][10], "");
    EXPECT_STREQ(g_RacerNames[1][0], "");
}

TEST_P(RacerNamesTest, AMissingFileLeavesEveryNameEmpty)
{
    EXPECT_EQ(Load(NamesText(2, 64, Plain)), 128);
    DataTree tree;
    tree.AddText("Data/Misc/Other.obj", "nothing\n");
    testdata::MessageCapture messages;
    testdata::DataFolder folder(tree, GetParam());
    EXPECT_EQ(LoadRacerNames(), 0);
    EXPECT_TRUE(testdata::Messages().empty());
    for (int b = 0; b < RACER_NAME_BLOCKS; ++b)
        for (int e = 0; e < RACER_NAME_ENTRIES; ++e)
            ASSERT_STREQ(g_RacerNames[b][e], "");
}

INSTANTIATE_TEST_SUITE_P(Names, RacerNamesTest, ::testing::Bool(), [](const ::testing::TestParamInfo<bool>& info) {
    return std::string(info.param ? "Packs" : "LooseFiles");
});

TEST(DefaultScores, FifteenRivalsInFallingOrderAndThePlayerLast)
{
    for (int b = 0; b < RACER_NAME_BLOCKS; ++b)
        for (int e = 0; e < RACER_NAME_ENTRIES; ++e)
            std::snprintf(g_RacerNames[b][e], RACER_NAME_SIZE, "N%d-%d", b, e);
    GameSrand(7);
    FillDefaultScores();
    std::set<std::string> known;
    for (int b = 0; b < RACER_NAME_BLOCKS; ++b)
        for (int e = 0; e < RACER_NAME_ENTRIES; ++e)
            known.insert(g_RacerNames[b][e]);
    for (int i = 0; i < SCORE_ENTRIES - 1; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_GE(g_Records.score[i], 19000.0f - 1200.0f * i);
        EXPECT_LE(g_Records.score[i], 20000.0f - 1200.0f * i);
        if (i > 0)
        {
            EXPECT_LT(g_Records.score[i], g_Records.score[i - 1]);
        }
        EXPECT_EQ(known.count(g_Records.name[i]), 1u) << g_Records.name[i];
    }
    EXPECT_EQ(g_Records.playerEntry, 15);
    EXPECT_EQ(g_Records.score[15], 0.0f);
    EXPECT_STREQ(g_Records.name[15], g_PlayerName);

    // An entry outside the table is none: nothing is ever written there.
    for (int entry : {-1, 16, 1000})
    {
        g_Records.playerEntry = entry;
        EXPECT_EQ(ScorePlayerEntry(), -1) << entry;
    }
    g_Records.playerEntry = 3;
    EXPECT_EQ(ScorePlayerEntry(), 3);
}

}   // namespace
