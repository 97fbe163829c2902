#pragma once
// What the camera reads from and does to the subsystems above it. The
// camera follows a motorcycle, stays above the ground and outside buildings,
// places the sound listener and fades the sound, but those all live in
// higher layers. Four layers answer, each in its own connect function:
// ConnectAudioLinks placeListener and setFadeVolume; ConnectWorldLinks
// groundHeight, buildingHit and worldCounters; ConnectRacersLinks readTarget,
// playerVehicle and playerStatistics; ConnectAppLinks updateVisibility. An
// unset entry reads as "nothing there" and does nothing.
#include "platform/math/D3DXMath.h"

class CStaticObject;

// The followed motorcycle as the camera sees it.
struct CameraTargetState
{
    D3DXMATRIX world;       // rows side, up, forward, position
    D3DXVECTOR3 centre;     // world centre
    D3DXVECTOR3 position;   // the motorcycle's origin
    float boundRadius;
    D3DXVECTOR3 eyePoint;   // the on-board eye point, model space
    float speed;            // km/h, negative backwards
    int airborne;
    int hasRider;              // a rider exists (riding or fallen)
    int riderOff;              // the rider has fallen off
    D3DXVECTOR3 riderCentre;   // world centre of the rider
    D3DXVECTOR3 linearVelocity;
    int keyboard;   // under the player's keys
};

// The player's motorcycle values of the statistics overlay.
struct CameraPlayerStatistics
{
    int wheelsOnGround;
    float engineForce;
    float brakingForce;
    float speed;   // km/h
    float jumpPower;
    float angularVelocityY;
};

// The world counters of the statistics overlay.
struct CameraWorldCounters
{
    int landParts, visibleLandParts;
    int innerGrassFields, visibleGrassFields;
    int innerTreeFields, visibleTreeFields;
    int collisionObjects;
    int activeObjects;
};

struct CameraHooks
{
    // 0 when the object cannot be read as a motorcycle.
    int (*readTarget)(const CStaticObject* target, CameraTargetState* out);
    // The player's motorcycle, or null.
    CStaticObject* (*playerVehicle)();
    // The ground height under a point.
    float (*groundHeight)(const D3DXVECTOR3& point);
    // The nearest building within `reach` of `near`, tested against the
    // segment from..to alone: 1 with the hit point.
    int (*buildingHit)(const D3DXVECTOR3& near, float reach, const D3DXVECTOR3& from, const D3DXVECTOR3& to,
                       D3DXVECTOR3* hit);
    // The game object's visibility pass (lookBehind 1 after the back-view
    // key changed).
    void (*updateVisibility)(int lookBehind);
    void (*placeListener)(const D3DXVECTOR3& position, const D3DXVECTOR3& front, const D3DXVECTOR3& top,
                          const D3DXVECTOR3& velocity);
    // The sound's share of a fade, 0..100; the stored master volume setting
    // is never touched by it.
    void (*setFadeVolume)(float percent);
    int (*playerStatistics)(CameraPlayerStatistics* out);
    void (*worldCounters)(CameraWorldCounters* out);
};
extern CameraHooks g_CameraHooks;
