// The camera's view modes: free flight, on board, the two chase distances, the
// timed scripted move and the fixed look-at eye; then, for the main camera,
// the building and ground clamps, the eye-speed history and the listener.
#include <algorithm>
#include <cmath>

#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/RunFlags.h"
#include "core/Settings.h"
#include "render/Camera.h"
#include "render/CameraHooks.h"
#include "render/D3DRender.h"

CameraHooks g_CameraHooks = {};

namespace
{

const float kPi = 3.14159265358979f;

bool ReadTarget(const CStaticObject* object, CameraTargetState* out)
{
    return object && g_CameraHooks.readTarget && g_CameraHooks.readTarget(object, out);
}

CStaticObject* PlayerVehicle()
{
    return g_CameraHooks.playerVehicle ? g_CameraHooks.playerVehicle() : nullptr;
}

bool PlayerRiderOff()
{
    CameraTargetState player;
    return ReadTarget(PlayerVehicle(), &player) && player.riderOff;
}

bool IsPlayerMode(int mode)
{
    return mode >= VIEWMODE_ONBOARD && mode <= VIEWMODE_CHASE_FAR;
}

// Moves v toward 0 by step without passing it.
float TowardZero(float v, float step)
{
    if (v > 0.0f)
        return std::max(0.0f, v - step);
    return std::min(0.0f, v + step);
}

D3DXVECTOR3 Rotate(const D3DXVECTOR3& v, const D3DXVECTOR3& axis, float angle)
{
    D3DXMATRIX r;
    D3DXMatrixRotationAxis(&r, &axis, angle);
    D3DXVECTOR3 out;
    D3DXVec3TransformNormal(&out, &v, &r);
    return out;
}

D3DXVECTOR3 Row(const D3DXMATRIX& m, int row)
{
    return D3DXVECTOR3(m.m[row][0], m.m[row][1], m.m[row][2]);
}

// The back-view flag at the main camera's last update (one for the program).
int s_LastBackView = 0;

}   // namespace

void CCamera::NextViewMode()
{
    if (IsPlayerMode(viewMode))
        lastPlayerMode = viewMode;
    if (viewMode == VIEWMODE_CHASE_FAR)
        viewMode = VIEWMODE_FREE;
    else if (viewMode == VIEWMODE_FREE)
        viewMode = VIEWMODE_ONBOARD;
    else
        viewMode++;
    if (viewMode == VIEWMODE_FREE && !g_DebugMode)
        viewMode = VIEWMODE_ONBOARD;
    if (IsPlayerMode(viewMode))
        SetTarget(PlayerVehicle());
}

void CCamera::SetMode(int mode, CStaticObject* newTarget)
{
    if (IsPlayerMode(viewMode))
        lastPlayerMode = viewMode;
    viewMode = mode;
    SetTarget(newTarget);
}

void CCamera::SetTarget(CStaticObject* newTarget)
{
    target = newTarget;
    CameraTargetState t;
    if (!ReadTarget(newTarget, &t))
        return;
    chaseEyeOffset = eye - t.centre;
    chaseAtOffset = at - t.centre;
    chaseUp = up;
}

void CCamera::SnapChase()
{
    if (!target)
        return;
    ComputeChase(&chaseEyeOffset, &chaseAtOffset, &chaseUp);
}

void CCamera::Set(const D3DXVECTOR3* newEye, const D3DXVECTOR3* newAt, const D3DXVECTOR3* newUp)
{
    if (newEye)
        eye = *newEye;
    if (newAt)
        at = *newAt;
    if (newUp)
        up = *newUp;
    previousEye = eye;
    UpdateView();
}

void CCamera::MoveTo(const D3DXVECTOR3* newEye, const D3DXVECTOR3* newAt, float duration, const D3DXVECTOR3* axis,
                     float rotationSpeed, int relative)
{
    if (IsPlayerMode(viewMode))
        lastPlayerMode = viewMode;
    moveEye = newEye ? *newEye : eye;
    moveAt = newAt ? *newAt : at;
    moveRelative = relative;
    viewMode = VIEWMODE_SCRIPTED;
    if (axis)
    {
        moveAxis = *axis;
        moveSpeed = rotationSpeed;
        moveRotate = 1;
    }
    else
    {
        moveAxis = D3DXVECTOR3(0, 0, 0);
        moveSpeed = 0.0f;
        moveRotate = 0;
    }
    moveStartMs = (int)g_Clock.RealTimeMs();
    moveDuration = duration;
    moveStartEye = eye;
    moveStartAt = at;
}

void CCamera::ComputeChase(D3DXVECTOR3* eyeOffset, D3DXVECTOR3* atOffset, D3DXVECTOR3* upOut)
{
    CameraTargetState t;
    if (!ReadTarget(target, &t))
        return;
    const bool riderOff = PlayerRiderOff();
    D3DXVECTOR3 dir = riderOff ? t.position - eye : Row(t.world, 2);
    dir.y = 0.0f;
    const float length = D3DXVec3Length(&dir);
    if (length == 0.0f)
    {
        *eyeOffset = chaseEyeOffset;
        *atOffset = chaseAtOffset;
        *upOut = chaseUp;
        return;
    }
    dir /= length;
    const float distance = riderOff ? 7.0f : viewMode == VIEWMODE_CHASE_FAR ? 5.0f : 3.0f;
    const float speed = std::max(0.0f, t.speed);
    const float back = 1.25f + 0.25f * std::min(1.0f, speed * 0.01f);
    const float height = (distance == 7.0f ? 2.0f : 1.2f) * distance / 2.0f;
    *eyeOffset = D3DXVECTOR3(-distance * back * dir.x, height, -distance * back * dir.z);
    const float c = 0.5f * std::min(1.0f, speed * 0.005f);
    *atOffset = D3DXVECTOR3(dir.x * distance * (1.0f - c), distance * 0.125f, dir.z * distance * (1.0f - c));
    const D3DXVECTOR3 lifted = Row(t.world, 1) + D3DXVECTOR3(0, 1, 0);
    D3DXVec3Normalize(upOut, &lifted);
}

void CCamera::UpdateSpeedBlur()
{
    float amount = 0.0f;
    CameraTargetState player;
    if (IsPlayerMode(viewMode) && ReadTarget(PlayerVehicle(), &player))
        amount = std::min(1.0f, std::max(0.0f, (std::fabs(player.speed) - 120.0f) * 0.025f));
    g_Render.blurAmount = amount;
}

void CCamera::UpdateSpeedMeter(const D3DXVECTOR3& delta)
{
    const float dt = g_Clock.m_GameStep;
    if (dt == 0.0f)
        return;
    const int n = (int)(sizeof(speedHistory) / sizeof(speedHistory[0]));
    for (int i = n - 1; i > 0; --i)
        speedHistory[i] = speedHistory[i - 1];
    speedHistory[0] = D3DXVec3Length(&delta) / dt * 3.6f;
    float sum = 0.0f;
    for (float s : speedHistory)
        sum += s;
    averageSpeed = sum / (float)n;
}

void CCamera::Update()
{
    const float dt = g_Clock.m_RealStep;
    if (dt == 0.0f)
    {
        UpdateView();
        return;
    }
    previousEye = eye;
    const bool main = kind == CAMERA_MAIN;
    if (main && viewMode <= VIEWMODE_CHASE_FAR && ConsumeControl(CTRL_CHANGE_VIEW))
        NextViewMode();

    CameraTargetState t;
    switch (viewMode)
    {
    case VIEWMODE_FREE:
        UpdateFree(dt);
        break;
    case VIEWMODE_ONBOARD:
        if (!target)
            SetTarget(PlayerVehicle());
        if (!ReadTarget(target, &t))
            return;
        {
            D3DXVECTOR3 onboard;
            D3DXVec3TransformCoord(&onboard, &t.eyePoint, &t.world);
            eye = onboard;
            const D3DXVECTOR3 ahead = Row(t.world, 2) * (2.0f * t.boundRadius);
            at = g_ControlFlags[CTRL_BACK_VIEW] ? eye - ahead : eye + ahead;
            up = Row(t.world, 1);
        }
        break;
    case VIEWMODE_CHASE_NEAR:
    case VIEWMODE_CHASE_FAR:
        if (!target)
            SetTarget(PlayerVehicle());
        if (!ReadTarget(target, &t))
            return;
        UpdateChase(t, dt);
        break;
    case VIEWMODE_SCRIPTED:
        UpdateScripted(dt);
        break;
    case VIEWMODE_LOOKAT:
        if (ReadTarget(target, &t))
            at = t.centre;
        break;
    default:
        break;
    }

    if (main && target && viewMode != VIEWMODE_FREE && viewMode != VIEWMODE_ONBOARD && g_CameraHooks.buildingHit &&
        ReadTarget(target, &t))
    {
        // Never inside a building: the eye comes forward to just before the
        // wall between it and the motorcycle.
        D3DXVECTOR3 away = eye - t.centre;
        const float distance = D3DXVec3Length(&away);
        if (distance > 0.0f)
        {
            const D3DXVECTOR3 beyond = eye + away * (2.0f / distance);
            D3DXVECTOR3 hit;
            if (g_CameraHooks.buildingHit(eye, 10.0f, t.centre, beyond, &hit))
            {
                const D3DXVECTOR3 toHit = hit - t.centre;
                const float hitDistance = D3DXVec3Length(&toHit);
                if (distance > hitDistance - 0.75f && hitDistance > 0.0f)
                    eye = hit - toHit * (0.75f / hitDistance);
            }
        }
    }
    if (main && !g_DebugMode && g_CameraHooks.groundHeight)
    {
        const float h = g_CameraHooks.groundHeight(eye);
        const float lowest = h + (viewMode == VIEWMODE_ONBOARD ? CAMERA_ONBOARD_CLEARANCE : CAMERA_GROUND_CLEARANCE);
        eye.y = std::min(std::max(eye.y, lowest), h + 12.0f);
    }
    UpdateView();
    if (!main)
        return;

    const int backView = g_ControlFlags[CTRL_BACK_VIEW] ? 1 : 0;
    CameraTargetState player;
    const bool havePlayer = ReadTarget(PlayerVehicle(), &player);
    if (backView != s_LastBackView && havePlayer && player.keyboard && g_CameraHooks.updateVisibility)
        g_CameraHooks.updateVisibility(1);
    s_LastBackView = backView;

    UpdateSpeedMeter(eye - previousEye);

    if (g_CameraHooks.placeListener)
    {
        D3DXVECTOR3 front = at - eye;
        if (D3DXVec3Length(&front) > 0.0f)
            D3DXVec3Normalize(&front, &front);
        const D3DXVECTOR3 velocity =
            havePlayer && IsPlayerMode(viewMode) ? player.linearVelocity : D3DXVECTOR3(0, 0, 0);
        g_CameraHooks.placeListener(eye, front, up, velocity);
    }
}

void CCamera::UpdateFree(float dt)
{
    D3DXVECTOR3 accel(0, 0, 0);
    if (g_KeyFlags[KEY_A])
        accel.z += 200.0f;
    if (g_KeyFlags[KEY_Z])
        accel.z -= 200.0f;
    if (g_KeyFlags[KEY_SHIFT])
    {
        if (g_KeyFlags[KEY_LEFT])
            accel.x -= 200.0f;
        if (g_KeyFlags[KEY_RIGHT])
            accel.x += 200.0f;
        if (g_KeyFlags[KEY_UP])
            accel.y += 200.0f;
        if (g_KeyFlags[KEY_DOWN])
            accel.y -= 200.0f;
    }
    else if (!g_KeyFlags[KEY_CTRL])
    {
        if (g_KeyFlags[KEY_LEFT])
            yawRate -= 5.0f * dt;
        if (g_KeyFlags[KEY_RIGHT])
            yawRate += 5.0f * dt;
        if (g_KeyFlags[KEY_UP])
            pitchRate -= 5.0f * dt;
        if (g_KeyFlags[KEY_DOWN])
            pitchRate += 5.0f * dt;
    }
    freeVelocity += accel * dt;
    freeVelocity.x = TowardZero(freeVelocity.x, 100.0f * dt);
    freeVelocity.y = TowardZero(freeVelocity.y, 100.0f * dt);
    freeVelocity.z = TowardZero(freeVelocity.z, 100.0f * dt);
    const float speed = D3DXVec3Length(&freeVelocity);
    if (speed > 100.0f)
        freeVelocity *= 100.0f / speed;
    pitchRate = TowardZero(pitchRate, 2.5f * dt);
    yawRate = TowardZero(yawRate, 2.5f * dt);
    const float rate = std::sqrt(pitchRate * pitchRate + yawRate * yawRate);
    if (rate > 2.0f)
    {
        pitchRate *= 2.0f / rate;
        yawRate *= 2.0f / rate;
    }
    up = D3DXVECTOR3(0, 1, 0);
    if (pitchRate != 0.0f || yawRate != 0.0f)
    {
        D3DXVECTOR3 look = at - eye;
        look = Rotate(look, Row(inverseView, 0), pitchRate * dt);
        look = Rotate(look, D3DXVECTOR3(0, 1, 0), yawRate * dt);
        at = eye + look;
    }
    D3DXVECTOR3 move;
    D3DXVec3TransformNormal(&move, &freeVelocity, &inverseView);
    eye += move * dt;
    at += move * dt;
}

void CCamera::UpdateChase(const CameraTargetState& t, float dt)
{
    const float offsetLength = D3DXVec3Length(&chaseEyeOffset);
    if (offsetLength > 0.0f && offsetLength < t.boundRadius)
        chaseEyeOffset *= t.boundRadius / offsetLength;
    if (!t.airborne)
    {
        D3DXVECTOR3 wantedEye, wantedAt, wantedUp;
        ComputeChase(&wantedEye, &wantedAt, &wantedUp);
        D3DXVECTOR3 dEye = wantedEye - chaseEyeOffset, dAt = wantedAt - chaseAtOffset, dUp = wantedUp - chaseUp;
        const float k = (1.0f + 0.1f * std::max(0.0f, t.speed)) * dt;
        if (k > 1.0f)
        {
            dEye /= k;
            dAt /= k;
            dUp /= k;
        }
        // Sideways the chase lags more than in height, so turns show the
        // motorcycle's flank for a moment.
        chaseEyeOffset.x += dEye.x * k * 0.25f;
        chaseEyeOffset.y += dEye.y * k;
        chaseEyeOffset.z += dEye.z * k * 0.25f;
        chaseAtOffset += dAt * k;
        chaseUp += dUp * k;
    }
    const D3DXVECTOR3 base = t.hasRider ? t.riderCentre : t.centre;
    if (g_ControlFlags[CTRL_BACK_VIEW] && !t.riderOff)
    {
        eye = t.centre + Rotate(chaseEyeOffset, chaseUp, kPi);
        at = t.centre + Rotate(chaseAtOffset, chaseUp, kPi);
    }
    else
    {
        eye.x = base.x + chaseEyeOffset.x;
        eye.z = base.z + chaseEyeOffset.z;
        // A long frame takes the whole way at most instead of overshooting.
        eye.y += (base.y + chaseEyeOffset.y - eye.y) * std::min(1.0f, 2.0f * dt);
        at = base + chaseAtOffset;
    }
    up = chaseUp;
}

void CCamera::UpdateScripted(float dt)
{
    D3DXVECTOR3 eyeGoal = moveEye, atGoal = moveAt;
    CameraTargetState t;
    const bool haveTarget = ReadTarget(target, &t);
    const bool relative = haveTarget && moveRelative;
    if (relative)
    {
        eyeGoal = t.centre + moveEye;
        atGoal = t.centre;
    }
    if (moveRotate && D3DXVec3Length(&moveAxis) > 0.0f)
    {
        const D3DXVECTOR3 offset = Rotate(eyeGoal - atGoal, moveAxis, moveSpeed * dt);
        up = Rotate(up, moveAxis, moveSpeed * dt);
        moveEye = relative ? offset : atGoal + offset;
        eyeGoal = atGoal + offset;
    }
    if (moveDuration != 0.0f)
    {
        const float s = g_Clock.RealSecondsSince((DWORD)moveStartMs);
        if (s >= moveDuration)
        {
            eye = eyeGoal;
            moveDuration = 0.0f;
        }
        else
        {
            const float w = (1.0f - std::cos(kPi * s / moveDuration)) / 2.0f;
            eye = moveStartEye + (eyeGoal - moveStartEye) * w;
            at = haveTarget ? t.centre : moveStartAt + (atGoal - moveStartAt) * w;
        }
    }
    if (moveDuration == 0.0f)
    {
        eye = eyeGoal;
        at = atGoal;
    }
    // Behind an overlay the game's own visibility pass does not run.
    if (!GameRunning() && g_CameraHooks.updateVisibility)
        g_CameraHooks.updateVisibility(0);
}
