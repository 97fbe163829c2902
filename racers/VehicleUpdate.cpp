// The order of one motorcycle frame, its controller and the player's
// control, and what a hit does.
#include "racers/VehicleObject.h"

#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "audio/AudioManager.h"
#include "common/Keywords.h"
#include "core/Controls.h"
#include "core/DebugLog.h"
#include "core/FileManager.h"
#include "core/GameClock.h"
#include "core/GameEventPost.h"
#include "core/Physics.h"
#include "core/RaceState.h"
#include "core/Settings.h"
#include "platform/os/Rand.h"
#include "racers/HumanManager.h"
#include "racers/HumanObject.h"
#include "racers/VehicleFile.h"
#include "racers/VehicleManager.h"
#include "render/D3DRender.h"
#include "render/Views.h"
#include "scene/ObjectPhysics.h"

void CVehicleObject::Update()
{
    UpdateFade();
    UpdateController();
    UpdateSteering();
    UpdateEngine();
    SyncFromBody();
    UpdateWheels();
    UpdateParts();
    UpdateJump();
    UpdateLean();
    // The player's speed sets the camera's motion blur.
    if (this == g_PlayerVehicle && g_Views.activeCamera)
        g_Views.activeCamera->UpdateSpeedBlur();
}

void CVehicleObject::UpdateFade()
{
    const D3DXVECTOR3 centre(worldCentre[0], worldCentre[1], worldCentre[2]);
    const D3DXVECTOR3 toEye = centre - g_Views.mainCamera.eye;
    cameraDistance = D3DXVec3Length(&toEye) - boundRadius;
    float fade = 1.0f;
    if (cameraDistance > 65.0f)
        fade = 1.0f - (cameraDistance - 65.0f) / 35.0f;
    BodyMaterial.Diffuse.a = fade < 0.0f ? 0.0f : fade;
    material = BodyMaterial;
}

void CVehicleObject::UpdateController()
{
    if (ControlMode == CONTROL_KEYBOARD)
        UpdatePlayerControl();
    switch (DriveState)
    {
    case DRIVE_HOLD:
        DriveHold();
        break;
    case DRIVE_STOP:
        DriveStop();
        break;
    case DRIVE_AUTOPILOT:
        DriveAutopilot();
        break;
    case DRIVE_AI:
        DriveAiRacer();
        break;
    case DRIVE_UNSTICK:
        DriveUnstick();
        break;
    default:
        break;   // DRIVE_PLAYER: the keyboard alone
    }

    UpdateKicked(g_Clock.m_GameStep);

    // A computer racer stopped before its finish while the race runs goes
    // back to racing.
    if (g_RaceRunning && this != g_PlayerVehicle && DriveState == DRIVE_STOP && RaceStats.DistanceLeft > 0.0f)
    {
        SetState(DRIVE_AI);
        PreviousDriveState = DRIVE_AI;
    }
}

void CVehicleObject::UpdatePlayerControl()
{
    if (ControlMode != CONTROL_KEYBOARD)
        return;
    // A motorcycle without a rider (the rider list was full) is ridden as if
    // its rider sat on it.
    const bool riding = !Rider || !Rider->RagDoll;
    const float dt = g_Clock.m_GameStep;
    if (!riding)
    {
        // Fallen: back on the route after 3 s, to the crowd's booing.
        StuckTimer += dt;
        if (StuckTimer > 3.0f && !GameEventRunning())
        {
            PostGameEvent(GEVENT_RESPAWN, this, 0);
            g_AudioManager.PlayCrowd(CROWD_FOO, 1);
        }
    }
    else
    {
        if (std::fabs(Speed) < 5.0f && WheelsOnGround < 2)
            StuckTimer += dt;
        else
            StuckTimer = 0.0f;
        if (StuckTimer > 1.0f && WheelsOnGround < 2 && !GameEventRunning())
            PostGameEvent(GEVENT_RESPAWN, this, 0);
    }

    Throttle = 0.0f;
    BrakeInput = 0.0f;
    SteerInput = 0.0f;
    if (riding)
    {
        if (g_ControlFlags[CTRL_THROTTLE])
            Throttle = 2000.0f;
        if (g_ControlFlags[CTRL_BRAKE])
            BrakeInput = 100.0f;
        if (g_ControlFlags[CTRL_FULL_BRAKE])
            BrakeInput = 100.0f;
        RearBrake = g_ControlFlags[CTRL_FULL_BRAKE] ? 1 : 0;
        if (g_ControlFlags[CTRL_TURN_LEFT])
            SteerInput = -1.0f;
        if (g_ControlFlags[CTRL_TURN_RIGHT])
            SteerInput = 1.0f;
    }

    if (g_RaceRunning && riding)
    {
        UpdateRouteProgress();
        UpdateDistanceLeft();
    }

    // Developer reset: upright again at the placement frame, the rider back on.
    if (g_DebugMode && g_KeyFlags[KEY_SHIFT] && g_KeyFlags[KEY_INSERT])
    {
        SetPosition(nullptr, nullptr, nullptr, CONTROL_KEYBOARD, RacerKind);
        ControlMode = CONTROL_KEYBOARD;
        ConsumeKey(KEY_INSERT);
        if (Rider)
            Rider->SetRagdoll(0);
    }
}

void CVehicleObject::UpdateKicked(float dt)
{
    const bool wasKicked = KickedTimer > 0.0f;
    KickedTimer = std::max(0.0f, KickedTimer - dt);
    // The player hears about it once the kick's effect has worn off, unless
    // another message is already on the screen. Only a player at the keys:
    // the demonstration race behind the menu and the ride home after the
    // finish are the autopilot's, and a hint would hold them.
    if (wasKicked && KickedTimer == 0.0f && this == g_PlayerVehicle && ControlMode == CONTROL_KEYBOARD &&
        !RaceMessageShowing())
        ShowRaceMessage(RACE_MESSAGE_KICKED, 10.0f, 0.375f);
}
