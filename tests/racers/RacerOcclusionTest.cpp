// The occlusion pass over the racers and the riders: what lies wholly behind
// the current building is hidden, what is nearer than the building or pokes
// out of the region behind it stays visible, and nothing hidden comes back.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "racers/HumanManager.h"
#include "racers/HumanObject.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/Views.h"
#include "scene/Occlusion.h"

namespace
{

struct Case
{
    const char* what;
    float x;   // centre on the x axis, the eye at the origin
    float radius;
    int visible;   // before the pass
    int expected;
};

// A building whose region behind it is x >= 10, its centre at x = 10.
const Case kCases[] = {
    {"wholly behind", 20.0f, 1.0f, 1, 0},
    {"nearer than the building", 5.0f, 1.0f, 1, 1},
    {"reaching out in front of it", 12.0f, 5.0f, 1, 1},
    {"already hidden", 20.0f, 1.0f, 0, 0},
};

class RacerOcclusionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_SavedActive = g_Views.activeCamera;
        m_SavedEye = g_Views.mainCamera.eye;
        g_Views.activeCamera = nullptr;
        g_Views.mainCamera.eye = D3DXVECTOR3(0, 0, 0);
        g_OccluderPlanes[0] = D3DXPLANE(1, 0, 0, -10);
        g_OccluderPlaneCount = 1;
        g_OccluderCentre[0] = 10.0f;
        g_OccluderCentre[1] = g_OccluderCentre[2] = 0.0f;
    }
    void TearDown() override
    {
        g_OccluderPlaneCount = 0;
        g_Views.activeCamera = m_SavedActive;
        g_Views.mainCamera.eye = m_SavedEye;
    }
    template <class T>
    static void Place(T& object, const Case& c)
    {
        object.worldCentre[0] = c.x;
        object.worldCentre[1] = object.worldCentre[2] = 0.0f;
        object.boundRadius = c.radius;
        object.visible = c.visible;
    }

    CCamera* m_SavedActive = nullptr;
    D3DXVECTOR3 m_SavedEye;
};

TEST_F(RacerOcclusionTest, RacersBehindTheBuildingAreHidden)
{
    std::vector<std::unique_ptr<CVehicleObject>> racers;
    for (const Case& c : kCases)
    {
        racers.emplace_back(new CVehicleObject());
        Place(*racers.back(), c);
        g_Vehicles.racers[g_Vehicles.racerCount++] = racers.back().get();
    }
    g_Vehicles.CheckOcclusion();
    for (size_t i = 0; i < racers.size(); ++i)
        EXPECT_EQ(racers[i]->visible, kCases[i].expected) << kCases[i].what;
    for (size_t i = 0; i < racers.size(); ++i)
        g_Vehicles.racers[i] = nullptr;
    g_Vehicles.racerCount = 0;
}

TEST_F(RacerOcclusionTest, RidersBehindTheBuildingAreHidden)
{
    std::vector<std::unique_ptr<CHumanObject>> riders;
    for (const Case& c : kCases)
    {
        riders.emplace_back(new CHumanObject());
        Place(*riders.back(), c);
        g_HumanManager.riders[g_HumanManager.count++] = riders.back().get();
    }
    g_HumanManager.CullHidden();
    for (size_t i = 0; i < riders.size(); ++i)
        EXPECT_EQ(riders[i]->visible, kCases[i].expected) << kCases[i].what;
    for (size_t i = 0; i < riders.size(); ++i)
        g_HumanManager.riders[i] = nullptr;
    g_HumanManager.count = 0;
}

}   // namespace
