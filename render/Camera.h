#pragma once
// The one camera class: eye, look-at point and up vector, projection, view
// and inverse view, the six frustum planes and a viewport. The game object
// keeps the main, reflection, auxiliary and shadow cameras; the menu keeps a
// fifth for its showroom. Screen positions are in virtual 800 x 600 units.
//
// The whole camera is plain data (no virtual operations, no owning members
// besides the overlay font pointer), so the reflection pass can refresh its
// camera with a byte copy of the main one. Such a copy shares the main
// camera's font and must never be released.
#include <type_traits>

#include "platform/math/D3DXMath.h"

class CFont;
class CStaticObject;

enum CameraKind
{
    CAMERA_MAIN = 0,     // perspective; clamps, speed meter, sound listener, view-mode key
    CAMERA_SHADOW = 1,   // orthographic light camera of the shadow map
    CAMERA_AUX = 2,
    CAMERA_SHOWROOM = 3,   // perspective, none of the main camera's extras
};

enum CameraViewMode
{
    VIEWMODE_FREE = 0,         // free flight by keys (developer camera)
    VIEWMODE_ONBOARD = 1,      // eye on the target motorcycle
    VIEWMODE_CHASE_NEAR = 2,   // chase at distance 3
    VIEWMODE_CHASE_FAR = 3,    // chase at distance 5
    VIEWMODE_SCRIPTED = 4,     // timed move
    VIEWMODE_LOOKAT = 5,       // eye fixed, looking at the target's centre
};

// The program's near and far distances.
const float CAMERA_NEAR_PLANE = 0.2f;
// The main camera's eye stays at least this high above the ground (on board
// at least CAMERA_ONBOARD_CLEARANCE).
const float CAMERA_GROUND_CLEARANCE = 2.0f;
const float CAMERA_ONBOARD_CLEARANCE = 0.5f;
const float CAMERA_FAR_PLANE = 500.0f;

class CCamera
{
public:
    CCamera();

    // Motion state cleared: rates, chase offsets, speed history, scripted move.
    void ResetMotion();
    void Init(const D3DXVECTOR3* eye, const D3DXVECTOR3* at, float fov, float aspect, float nearPlane, float farPlane,
              int viewMode, int kind);
    // Gives back the overlay font. Never call it on a byte copy of another camera.
    void Release();
    void SetProjection(float fov, float aspect, float nearPlane, float farPlane, int kind);
    // View from eye, at and up; sets the device transforms, the effect's
    // matrices and the frustum.
    void UpdateView();
    void SetShaderMatrices();
    void UpdateFrustum();

    D3DXMATRIX* GetViewProj(D3DXMATRIX* out) const;
    D3DXMATRIX* MulView(D3DXMATRIX* out, const D3DXMATRIX* m) const;
    D3DXMATRIX* MulViewProj(D3DXMATRIX* out, const D3DXMATRIX* m) const;

    // visible 0 with the index of the first plane the sphere is outside of
    // (by more than nine tenths of its radius), else visible 1 and plane 6.
    int SphereVisible(const D3DXVECTOR3* centre, float radius, int* plane = nullptr) const;
    // 0 when all eight corners lie behind one plane.
    int BoxVisible(const D3DXVECTOR3 corners[8]) const;

    // Virtual-screen position of a world point; 1 when it is in front of the
    // eye and inside the back buffer.
    int ProjectToScreen(float* x, float* y, const D3DXVECTOR3* point, float* depth) const;
    // The far-plane point under a virtual-screen position.
    void Unproject(float x, float y, D3DXVECTOR3* out, const D3DXMATRIX* world) const;
    // Viewport from virtual-screen units, stored and set on the device.
    void SetViewport(float x1, float y1, float x2, float y2);

    // --- View modes (CameraModes.cpp) --------------------------------------

    // Once per frame: the motion of the view mode, then for a main camera the
    // building and ground clamps, the look-behind visibility, the eye-speed
    // history and the sound listener.
    void Update();
    // The view key: 1 -> 2 -> 3 -> 0 -> 1 (0 only with "Debug out"); the
    // player's motorcycle becomes the target of modes 1 to 3.
    void NextViewMode();
    void SetMode(int mode, CStaticObject* newTarget);
    // The chase goes on from wherever the camera is now.
    void SetTarget(CStaticObject* newTarget);
    // The wanted chase pose taken at once, without smoothing.
    void SnapChase();
    void Set(const D3DXVECTOR3* newEye, const D3DXVECTOR3* newAt, const D3DXVECTOR3* newUp);
    // A timed move (mode 4) from the current eye and look-at point to the
    // given ones (null keeps the current one), eased over `duration` seconds
    // of real time; with an axis the goal turns about it at `rotationSpeed`
    // rad/s, and with `relative` the eye goal is an offset from the target.
    void MoveTo(const D3DXVECTOR3* newEye, const D3DXVECTOR3* newAt, float duration, const D3DXVECTOR3* axis,
                float rotationSpeed, int relative);
    // The wanted chase offsets from the target's centre and up vector; the
    // current ones when there is no target or no horizontal direction.
    void ComputeChase(D3DXVECTOR3* eyeOffset, D3DXVECTOR3* atOffset, D3DXVECTOR3* upOut);
    // The render device's motion-blur amount from the player's speed.
    void UpdateSpeedBlur();
    // The eye's speed over the last 40 game frames, from this frame's move.
    void UpdateSpeedMeter(const D3DXVECTOR3& delta);
    void UpdateFree(float dt);
    void UpdateChase(const struct CameraTargetState& t, float dt);
    void UpdateScripted(float dt);

    // --- Fades and statistics (CameraFade.cpp) -----------------------------

    void FadeOut(float duration, int withSound, D3DXCOLOR colour);
    // Back from the colour of the last fade out.
    void FadeIn(float duration, int withSound);
    void DrawFade();
    void DrawDebugInfo();

    D3DXPLANE frustum[6];
    int kind;
    float fov;
    float aspect;
    float farPlane;
    float nearPlane;
    D3DXVECTOR3 eye;
    D3DXVECTOR3 at;
    D3DXVECTOR3 up;
    D3DXMATRIX view;
    D3DXMATRIX inverseView;
    D3DXMATRIX projection;
    D3DVIEWPORT9 viewport;
    CFont* font;   // overlay font, owned by the camera that loaded it

    int viewMode;
    int lastPlayerMode;         // the last of modes 1-3 left; scripted shots return to it
    D3DXVECTOR3 freeVelocity;   // free flight, camera axes
    float pitchRate;
    float yawRate;
    // The motorcycle the camera follows, or null. Drawing reads it to hide
    // the motorcycle (and its rider) that an on-board camera rides on.
    CStaticObject* target;
    D3DXVECTOR3 chaseEyeOffset;   // from the target's centre
    D3DXVECTOR3 chaseAtOffset;
    D3DXVECTOR3 chaseUp;
    float speedHistory[40];   // km/h, newest first
    float averageSpeed;
    int moveRelative;
    int moveRotate;
    int moveStartMs;   // real clock
    float moveDuration;
    D3DXVECTOR3 moveEye;
    D3DXVECTOR3 moveAt;
    D3DXVECTOR3 moveAxis;
    float moveSpeed;   // rad/s
    D3DXVECTOR3 moveStartEye;
    D3DXVECTOR3 moveStartAt;
    D3DXVECTOR3 previousEye;

    int fadeState;        // -1 none, 0 fading out to the colour, 1 fading in from it
    float fadeDuration;   // s
    float fadeElapsed;    // s of real time
    int fadeWithSound;
    D3DXCOLOR fadeColour;
};

static_assert(std::is_trivially_copyable<CCamera>::value,
              "the reflection camera is refreshed by a byte copy of the main camera");
