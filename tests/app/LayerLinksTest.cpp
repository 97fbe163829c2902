#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/LayerLinks.h"
#include "core/GameClock.h"
#include "render/CameraHooks.h"
#include "scene/Occlusion.h"

namespace
{

TEST(LayerLinksTest, TheWiringStepLeavesNoLinkUnset)
{
    ConnectLayers();
    EXPECT_EQ(UnsetLayerLinks(), std::vector<std::string>());
}

// Entries of different tables and layers, each unset in turn, are named.
TEST(LayerLinksTest, AnUnsetLinkIsNamed)
{
    ConnectLayers();
    const CameraHooks savedCamera = g_CameraHooks;
    const ClockHooks savedClock = g_ClockHooks;
    const OcclusionHook savedRiders = g_OcclusionHooks[OCCLUSION_RIDERS];

    g_CameraHooks.readTarget = nullptr;
    EXPECT_EQ(UnsetLayerLinks(), std::vector<std::string>{"g_CameraHooks.readTarget"});
    g_CameraHooks = savedCamera;

    g_ClockHooks.resumeSounds = nullptr;
    g_OcclusionHooks[OCCLUSION_RIDERS] = nullptr;
    EXPECT_EQ(UnsetLayerLinks(),
              (std::vector<std::string>{"g_ClockHooks.resumeSounds", "g_OcclusionHooks[OCCLUSION_RIDERS]"}));
    g_ClockHooks = savedClock;
    g_OcclusionHooks[OCCLUSION_RIDERS] = savedRiders;
    EXPECT_TRUE(UnsetLayerLinks().empty());
}

}   // namespace
