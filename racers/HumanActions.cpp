// The rider's action machine. Steering is the rest state: its frame follows
// the handlebars. Standing up and the two kicks start only from steering and
// always come back to it. dt is the game step.
#include <btBulletDynamicsCommon.h>

#include <algorithm>
#include <cmath>

#include "common/Keywords.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "platform/os/Rand.h"
#include "racers/HumanObject.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"

namespace
{

const float kPi = 3.14159265358979f;
const float kMaxHandlebar = 0.465f;
// The foot strikes on the ninth frame of a kick.
const int kStrikeFrame = 8;

int MiddleFrame(const int range[2])
{
    return (int)((float)range[0] + (float)(range[1] - range[0]) * 0.5f);
}

bool IsKick(int action)
{
    return action == ACTION_KICK_LEFT || action == ACTION_KICK_RIGHT;
}

}   // namespace

void CHumanObject::SetAction(int action)
{
    if (action == Action || action < 0 || action >= HUMAN_ACTIONS)
        return;
    Action = action;
    ActionPhase = 1;
    DustTimer = 0.0f;
    StandUpLift = 0.0f;
    const int frame = action <= ACTION_STEERING ? MiddleFrame(ActionFrames[ACTION_STEERING]) : ActionFrames[action][0];
    currentPart = frame;
    AnimFrame = (float)frame;
}

void CHumanObject::UpdateAnimation()
{
    // A fallen rider is its ragdoll; a refused one has nothing to play.
    if (RagDoll || !Loaded)
        return;
    if (currentPart == 0 || AnimFrame < 1.0f)
    {
        if (Action != ACTION_STEERING)
            SetAction(ACTION_STEERING);
        currentPart = MiddleFrame(ActionFrames[ACTION_STEERING]);
        AnimFrame = (float)currentPart;
    }
    if (Vehicle && Vehicle == g_PlayerVehicle && Vehicle->ControlMode == CONTROL_KEYBOARD)
        ReadPlayerKeys();

    switch (Action)
    {
    case ACTION_STEERING:
        AnimateSteering();
        break;
    case ACTION_STANDUP:
        AnimateStandUp();
        break;
    case ACTION_KICK_LEFT:
    case ACTION_KICK_RIGHT:
        AnimateKick();
        break;
    default:
        break;
    }

    if (Action == ACTION_STEERING && StandUpRequest)
        SetAction(ACTION_STANDUP);
    if (Action == ACTION_STEERING && KickLeftRequest)
        SetAction(ACTION_KICK_LEFT);
    if (Action == ACTION_STEERING && KickRightRequest)
        SetAction(ACTION_KICK_RIGHT);
}

void CHumanObject::ReadPlayerKeys()
{
    StandUpRequest = (g_ControlFlags[CTRL_JUMP] && !IsKick(Action)) ? 1 : 0;
    const bool straight = Vehicle && std::fabs(Vehicle->Steer) < 0.2f;
    KickLeftRequest = (g_ControlFlags[CTRL_KICK_LEFT] && Action == ACTION_STEERING && straight) ? 1 : 0;
    KickRightRequest = (g_ControlFlags[CTRL_KICK_RIGHT] && Action == ACTION_STEERING && straight) ? 1 : 0;
}

void CHumanObject::AnimateSteering()
{
    const int* range = ActionFrames[ACTION_STEERING];
    const float handlebar = Vehicle ? Vehicle->HandlebarAngle : 0.0f;
    const float b = std::min(1.0f, std::max(0.0f, (handlebar + kMaxHandlebar) / (2.0f * kMaxHandlebar)));
    const float target = (float)range[0] + (float)(range[1] - range[0]) * b;
    const float step = ActionSpeed[Action] * g_Clock.m_GameStep * 5.0f;
    if (AnimFrame < target)
        AnimFrame = std::min(target, AnimFrame + step);
    else if (AnimFrame > target)
        AnimFrame = std::max(target, AnimFrame - step);
    const int* own = ActionFrames[Action];
    AnimFrame = std::min((float)own[1], std::max((float)own[0], AnimFrame));
    currentPart = std::max(1, (int)AnimFrame);
}

void CHumanObject::AnimateStandUp()
{
    const int first = ActionFrames[ACTION_STANDUP][0], last = ActionFrames[ACTION_STANDUP][1];
    const float speed = ActionSpeed[ACTION_STANDUP];
    // A new random pace every frame, 0.75 to 1.25 times the step.
    const float s = g_Clock.m_GameStep * ((float)(GameRand() % 101) * 0.005f + 0.75f);
    if (ActionPhase == 1)
    {
        if (!StandUpRequest)
            ActionPhase = -1;
        else
        {
            if (AnimFrame < (float)first)
                AnimFrame = (float)first;
            else
                AnimFrame += speed * s * 8.0f;
            StandUpLift = AnimFrame < (float)(last + 1)
                              ? 1.0f - std::cos((AnimFrame - (float)first) / (float)(last - first) * kPi * 0.5f)
                              : 0.0f;
            // Pressing the motorcycle into its springs before the hop.
            if (Vehicle && Vehicle->body && Vehicle->WheelsOnGround >= 2 && StandUpLift <= 0.8f &&
                AnimFrame < (float)(last - 4))
            {
                const btVector3 up(Vehicle->world._21, Vehicle->world._22, Vehicle->world._23);
                Vehicle->body->applyCentralImpulse(up * ((0.8f - StandUpLift) * s * -10000.0f));
            }
        }
    }
    else
    {
        if (AnimFrame > (float)last)
            AnimFrame = (float)last;
        else
            AnimFrame -= speed * s * 4.0f;
        StandUpLift = 0.0f;
    }
    currentPart = std::min(last, std::max(first, std::max(1, (int)AnimFrame)));
    if (AnimFrame <= (float)(first - 1))
        SetAction(ACTION_STEERING);
}

void CHumanObject::AnimateKick()
{
    const int first = ActionFrames[Action][0], last = ActionFrames[Action][1];
    AnimFrame += ActionSpeed[Action] * g_Clock.m_GameStep;
    currentPart = std::min(last, std::max(1, (int)AnimFrame));
    // The foot strikes once, on the frame that reaches or passes the strike
    // frame: at a low frame rate the animation may step over it.
    const int strike = std::min(first + kStrikeFrame, last);
    if (ActionPhase == 1 && (int)AnimFrame >= strike)
    {
        if (Vehicle && !(Vehicle->KickedTimer > 0.0f))
        {
            const float side[3] = {Action == ACTION_KICK_LEFT ? -1.0f : 1.0f, 0.0f, 0.0f};
            Vehicle->Kick(side);
        }
        ActionPhase = 0;
    }
    if (AnimFrame >= (float)(last + 1))
    {
        SetAction(ACTION_STEERING);
        KickLeftRequest = KickRightRequest = 0;
    }
}
