// The spectator shots of the demonstration race behind the menu, on the
// demo data: a shot from on board a motorcycle that is down (its rider
// thrown off or itself on its side) is taken from the far chase instead (the
// toppled motorcycle's eye looks into the ground), and the roadside shot
// never puts the eye closer to the ground than the camera allows, not even
// for its first frame.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/Game.h"
#include "app/GameEvent.h"
#include "interface/MainMenu.h"
#include "platform/os/Rand.h"
#include "racers/HumanObject.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "scene/StaticObjectFixture.h"
#include "tests/support/Paths.h"
#include "play/RaceDevice.h"
#include "play/RaceRunner.h"
#include "world/Landscape.h"

namespace
{

class SpectatorShotsDemoDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Messages.reset(new testdata::MessageCapture());
        m_Folder.reset(new testdata::DataFolder(testsupport::DemoDataDir(), true));
        ASSERT_TRUE(m_Device.Open(false)) << m_Device.Error();
        g_MainMenu.active = 1;
        RaceRunOptions options;
        std::string error;
        ASSERT_TRUE(SetUpHeadlessRace(options, &error)) << error;
        m_Running = true;
        // Behind the menu the racers start at once and the shots begin.
        for (int f = 0; f < 10 * 60 && g_GameEvent.code != GEVENT_SPECTATOR; ++f)
            StepHeadlessFrame();
        ASSERT_EQ(g_GameEvent.code, GEVENT_SPECTATOR);
        ASSERT_NE(g_PlayerVehicle, nullptr);
        ASSERT_NE(g_PlayerVehicle->Rider, nullptr);
    }
    void TearDown() override
    {
        if (m_Running)
            TearDownHeadlessRace();
        g_MainMenu.active = 0;
        m_Device.Close();
        m_Folder.reset();
        m_Messages.reset();
    }

    // The shot taken now, on the event's motorcycle.
    static void Take(int shot)
    {
        g_GameEvent.state = shot;
        g_GameEvent.Update();
    }

    RaceDevice m_Device;
    bool m_Running = false;
    std::unique_ptr<testdata::MessageCapture> m_Messages;
    std::unique_ptr<testdata::DataFolder> m_Folder;
};

TEST_F(SpectatorShotsDemoDataTest, NoShotFromOnBoardAMotorcycleThatIsDown)
{
    CVehicleObject* v = g_PlayerVehicle;
    const CCamera& camera = g_Views.mainCamera;
    for (int shot : {SHOT_ONBOARD, SHOT_ONBOARD_BACK})
    {
        SCOPED_TRACE(shot);
        Take(shot);
        EXPECT_EQ(camera.viewMode, VIEWMODE_ONBOARD);
        EXPECT_EQ(camera.target, v);
        v->Rider->SetRagdoll(1);
        ASSERT_NE(v->Rider->RagDoll, nullptr);
        Take(shot);
        EXPECT_EQ(camera.viewMode, VIEWMODE_CHASE_FAR);
        EXPECT_EQ(camera.target, v);
        v->Rider->SetRagdoll(0);
    }
    // Nor from the eye of a motorcycle lying on its side, its rider still
    // on it.
    const float pos[3] = {v->Position[0], v->Position[1] + 1.0f, v->Position[2]};
    const float ahead[3] = {pos[0] + v->world._31, pos[1], pos[2] + v->world._33};
    const float side[3] = {v->world._11, v->world._12, v->world._13};
    v->SetPosition(pos, ahead, side, CONTROL_COMPUTER, RACER_PLAYER);
    v->SyncFromBody();
    ASSERT_EQ(v->Rider->RagDoll, nullptr);
    ASSERT_LT(std::fabs(v->world._22), 0.5f);
    Take(SHOT_ONBOARD);
    EXPECT_EQ(camera.viewMode, VIEWMODE_CHASE_FAR);
}

TEST_F(SpectatorShotsDemoDataTest, TheRoadsideShotKeepsItsClearanceFromItsFirstFrame)
{
    const CCamera& camera = g_Views.mainCamera;
    GameSrand(3);
    for (int i = 0; i < 40; ++i)
    {
        SCOPED_TRACE(i);
        // Along the race as the motorcycle rides on.
        for (int f = 0; f < 30; ++f)
            StepHeadlessFrame();
        Take(SHOT_ROADSIDE);
        ASSERT_EQ(camera.viewMode, VIEWMODE_SCRIPTED);
        const float eye[3] = {camera.eye.x, camera.eye.y, camera.eye.z};
        EXPECT_GE(camera.eye.y, g_Landscape.GetHeight(eye) + CAMERA_GROUND_CLEARANCE - 1e-3f);
        const float goal[3] = {camera.moveEye.x, camera.moveEye.y, camera.moveEye.z};
        EXPECT_GE(camera.moveEye.y, g_Landscape.GetHeight(goal) + CAMERA_GROUND_CLEARANCE - 1e-3f);
    }
}

}   // namespace
