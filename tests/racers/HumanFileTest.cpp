// The rider file: the demo rider as read, and every way a changed file or
// parts mesh is refused with a message instead of reaching the animation,
// the drawing or the ragdoll.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "racers/HumanObject.h"
#include "racers/RiderTestSupport.h"
#include "tools/MeshWriter.h"
#include "tools/RiderFigure.h"
#include "world/LandscapeTestSupport.h"

namespace
{

using ridertest::Replaced;
using ridertest::RiderTree;
using ridertest::TextOf;

const char kFile[] = "Data/Humans/Main.obj";
const char kCaption[] = "CHumanObject::Load() error!";

class HumanFileTest : public ::testing::Test
{
protected:
    // Loads a rider from the tree (the rider file replaced by `text` when
    // given); the folder stays mounted until the test ends.
    std::unique_ptr<CHumanObject> LoadFrom(DataTree tree, const std::string& text = "")
    {
        if (!text.empty())
            tree.AddText(kFile, text);
        folder.reset();
        folder.reset(new testdata::DataFolder(tree, true));
        std::unique_ptr<CHumanObject> rider(new CHumanObject());
        handle = rider->Load(kFile);
        return rider;
    }

    void TearDown() override
    {
        if (rider)
            rider->Release();
        rider.reset();
        folder.reset();
    }

    landtest::RecordingDevice device;
    testdata::MessageCapture messages;
    std::unique_ptr<testdata::DataFolder> folder;
    std::unique_ptr<CHumanObject> rider;
    int handle = 0;
};

TEST_F(HumanFileTest, DemoRiderIsReadAsWritten)
{
    const RiderFigure figure = BuildRiderFigure();
    rider = LoadFrom(RiderTree());
    EXPECT_GE(handle, 0);
    ASSERT_EQ(rider->Usable(), 1);
    EXPECT_TRUE(testdata::Messages().empty()) << testdata::Messages()[0];
    EXPECT_FLOAT_EQ(rider->Mass, 80.0f);
    for (int a = 0; a < 4; ++a)
    {
        EXPECT_EQ(rider->ActionFrames[a + 1][0], g_RiderActions[a].first);
        EXPECT_EQ(rider->ActionFrames[a + 1][1], g_RiderActions[a].last);
        EXPECT_FLOAT_EQ(rider->ActionSpeed[a + 1], g_RiderActions[a].speed);
    }
    for (int k = 0; k < HUMAN_PARTS; ++k)
    {
        EXPECT_EQ(rider->PartVertices[k][0], figure.partVertices[k][0]);
        EXPECT_EQ(rider->PartVertices[k][1], figure.partVertices[k][1]);
        EXPECT_EQ(rider->PartTriangles[k][0], figure.partTriangles[k][0]);
        EXPECT_EQ(rider->PartTriangles[k][1], figure.partTriangles[k][1]);
    }
    ASSERT_NE(rider->meshRecord, nullptr);
    EXPECT_EQ(rider->meshRecord->partCount[0], RIDER_FRAMES);
    ASSERT_NE(rider->PartsMesh, nullptr);
    EXPECT_NE(rider->SuitTexture, -1);
    EXPECT_NE(rider->DecalTexture, -1);
    EXPECT_FLOAT_EQ(rider->boundRadius, 1.5f);
    EXPECT_FLOAT_EQ(rider->material.Diffuse.a, 0.0f) << "invisible until its first update";
    const float largest = std::max(rider->SuitColour[0], std::max(rider->SuitColour[1], rider->SuitColour[2]));
    EXPECT_TRUE(largest == 1.0f || largest == 0.0f);
    EXPECT_GE(rider->VoicePitch, 0.9f);
    EXPECT_LE(rider->VoicePitch, 1.525f);
    // The part sizes are the parts mesh's boxes plus the padding.
    const D3DXVECTOR3 size = rider->GetPartSize(2);
    EXPECT_NEAR(size.y, rider->PartsMesh->partSize[HUMAN_PARTS_SLOT][2][1] + 0.2f, 1e-5f);
}

TEST_F(HumanFileTest, MissingObjectPartReadsNothing)
{
    rider.reset(new CHumanObject());
    folder.reset(new testdata::DataFolder(RiderTree(), true));
    EXPECT_EQ(rider->Load("Data/Humans/Missing.obj"), -1);
    EXPECT_EQ(rider->Usable(), 0);
    EXPECT_EQ(rider->PartsMesh, nullptr);
    EXPECT_EQ(rider->SuitTexture, -1);
}

struct BadText
{
    const char* what;
    const char* from;
    const char* to;
    const char* message;
};

// Each case changes one thing of the demo rider's file.
const BadText kBadTexts[] = {
    {"frame past the mesh", "ACTION_KICK_RIGHT               22.0 32   43",
     "ACTION_KICK_RIGHT               22.0 32   44", "Wrong rider action frames!"},
    {"frame 0 is the ragdoll's", "ACTION_STEERING                 4.0  1    9",
     "ACTION_STEERING                 4.0  0    9", "Wrong rider action frames!"},
    {"range backwards", "ACTION_KICK_LEFT                22.0 20   31", "ACTION_KICK_LEFT                22.0 31   20",
     "Wrong rider action frames!"},
    {"stand-up of one frame", "ACTION_STANDUP                  1.5  10   19",
     "ACTION_STANDUP                  1.5  10   10", "Wrong rider action frames!"},
    {"missing action row", "ACTION_KICK_LEFT                22.0 20   31\n", "", "Rider action is missing!"},
    {"unknown action keyword", "ACTION_STANDUP     ", "ACTION_STAND_UP    ", "Rider action is missing!"},
    {"speed that is not finite", "ACTION_STANDUP                  1.5 ", "ACTION_STANDUP                  inf ",
     "Wrong rider action row!"},
    {"speed 0", "ACTION_STANDUP                  1.5 ", "ACTION_STANDUP                  0   ",
     "Rider action is missing!"},
    {"mass not a number", "Mass:                           80", "Mass:                           nan",
     "Wrong rider mass!"},
    {"mass 0", "Mass:                           80", "Mass:                           0", "Wrong rider mass!"},
    {"negative mass", "Mass:                           80", "Mass:                           -80", "Wrong rider mass!"},
    {"vertex range past the ragdoll frame", "Right forearm                   947  116",
     "Right forearm                   947  117", "Wrong rider body part ranges!"},
    {"negative first vertex", "Pelvis                          0    80", "Pelvis                          -1   80",
     "Wrong rider body part ranges!"},
    {"triangle range past the ragdoll frame", "Right forearm                   947  116  812  92",
     "Right forearm                   947  116  812  93", "Wrong rider body part ranges!"},
    {"empty part", "Head                            192  127", "Head                            192  0  ",
     "Wrong rider body part ranges!"},
    {"missing parts mesh", "Data/Humans/Parts.msh", "Data/Humans/Nothing.msh", "Rider parts mesh is missing!"},
    {"no end of the actions", "End of actions:                 //--", "End of actions:", "Rider file is too short!"},
    {"body parts cut short", "Right forearm                   947  116  812  92\n// End\n", "",
     "Rider file is too short!"},
};

class HumanFileRefusal : public HumanFileTest, public ::testing::WithParamInterface<BadText>
{};

TEST_P(HumanFileRefusal, IsRefusedWithItsMessage)
{
    const BadText& c = GetParam();
    const DataTree tree = RiderTree();
    rider = LoadFrom(tree, Replaced(TextOf(tree, kFile), c.from, c.to));
    EXPECT_EQ(handle, -1);
    EXPECT_EQ(rider->Usable(), 0);
    EXPECT_EQ(rider->meshRecord, nullptr) << "a refused rider draws nothing";
    EXPECT_EQ(rider->PartsMesh, nullptr);
    ASSERT_FALSE(testdata::Messages().empty());
    EXPECT_EQ(testdata::Messages().back(), std::string(kCaption) + "|" + c.message);
}

INSTANTIATE_TEST_SUITE_P(Cases, HumanFileRefusal, ::testing::ValuesIn(kBadTexts),
                         [](const ::testing::TestParamInfo<BadText>& info) {
                             std::string name;
                             for (const char* p = info.param.what; *p; ++p)
                                 name += std::isalnum((unsigned char)*p) ? *p : '_';
                             return name;
                         });

// Parts meshes that lack what the ragdoll reads.
TEST_F(HumanFileTest, PartsMeshWithoutEveryBoxOrPivotIsRefused)
{
    struct Case
    {
        const char* what;
        int boxes, pivots;
        bool badPivot;
    };
    for (const Case& c : {Case{"ten boxes", 10, 11, false}, Case{"ten pivots", 11, 10, false},
                          Case{"a pivot that is not a number", 11, 11, true}})
    {
        SCOPED_TRACE(c.what);
        testdata::Messages().clear();
        const RiderFigure figure = BuildRiderFigure();
        MeshDesc parts = figure.parts;
        parts.slots[MESHSLOT_COLLISION_BOXES].parts.resize((size_t)c.boxes);
        parts.points[8].resize((size_t)c.pivots);
        if (c.badPivot)
            parts.points[8][4].y = std::nanf("");
        DataTree tree = RiderTree();
        tree.Add("Data/Humans/Parts.msh", WriteMesh(parts));
        if (rider)
            rider->Release();
        rider = LoadFrom(tree);
        EXPECT_EQ(rider->Usable(), 0);
        ASSERT_FALSE(testdata::Messages().empty());
        EXPECT_EQ(testdata::Messages().back(), std::string(kCaption) + "|Wrong rider parts mesh!");
    }
}

}   // namespace
