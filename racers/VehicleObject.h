#pragma once
// One motorcycle: the player's, a computer racer's or a showroom model. It is
// a world object of class GCLASS_VEHICLE extended by the race statistics, the
// racer's kind and control, the driving values read from its file and raised
// by upgrades, paint and decal, the chassis body with its ray-cast vehicle,
// three attached sub-objects (front assembly, rear assembly, wheels) and the
// per-wheel state. The per-wheel arrays have four entries; a motorcycle uses
// 0 (front) and 1 (rear).
#include <BulletDynamics/Vehicle/btRaycastVehicle.h>

#include "platform/d3d/D3D9.h"
#include "render/TextureManager.h"
#include "scene/StaticObject.h"

class btCompoundShape;
class CHumanObject;
class CGameSound;
class CSkidStrip;

enum DriveState
{
    DRIVE_PLAYER = 0,
    DRIVE_HOLD = 1,
    DRIVE_STOP = 2,
    DRIVE_AUTOPILOT = 3,
    DRIVE_AI = 4,
    DRIVE_UNSTICK = 5,
};

enum ControlMode
{
    CONTROL_COMPUTER = 1,
    CONTROL_KEYBOARD = 2,
};

enum RacerKind
{
    RACER_PLAYER = 0,
    RACER_AI = 1,
    RACER_SHOWROOM = 2,
};

// The wheel points of a motorcycle's body mesh (point set 8): the axles and
// the tops of the two suspensions, in model space.
enum
{
    VEHICLE_POINT_SET_EYE = 0,
    VEHICLE_POINT_SET_WHEELS = 8,
    VEHICLE_POINT_SET_SEAT = 9,
    VEHICLE_WHEEL_SLOTS = 4,
};

// Statistics of the current race, read by the in-race display and the result
// screen.
struct RaceStats
{
    float DistanceLeft;   // world units to the finish
    float RaceTime;       // s
    float TopSpeed;       // km/h
    float AverageSpeed;   // km/h, set at the finish
    int Crashes;          // impact sounds
    int Falls;            // rider thrown off
    float OffRouteTime;   // s
    float AirTime;        // s
    int Kicks;            // kicks the player landed
    int Position;         // place, 0 = first
};

class CVehicleObject : public CStaticObject
{
public:
    CVehicleObject();

    // --- File, paint, upgrades and release -----------------------------------

    // Reads the motorcycle file: the object part, then 26 lines whose values
    // start at column 32. Returns the (closed) handle, or -1 when the object
    // part cannot be read or the file is refused (see Usable).
    int LoadVehicle(const char* file);
    // Paint and decal: a decal number other than -1 takes the two colours as
    // given; none (or -1) draws two random colours, blacks one of them out
    // and lets the list pick a random decal.
    void SetPaint(const int* decalId, const float* colour1, const float* colour2);
    // The current driving values from the base values and UpgradeLevels.
    void ApplyUpgrades(int k);
    // Frees everything the motorcycle owns; the body leaves the world before
    // anything it uses is deleted.
    void Release();
    // 1 once LoadVehicle accepted the file: only then can the motorcycle get
    // a body (CreatePhysics does nothing for a refused one).
    int Usable() const { return Loaded; }

    // --- The frame -----------------------------------------------------------

    // The per-frame step: fade, controller, steering, engine, body sync,
    // wheels, assemblies and lean.
    void Update();
    // The drawing's fade by the main camera's distance: opaque up to 65,
    // gone from 100.
    void UpdateFade();
    // The keyboard (CONTROL_KEYBOARD), then the drive state's controller,
    // the kicked timer and the computer racer's return from a stop.
    void UpdateController();
    // The keyboard's requests and the player's stuck check (the player's
    // motorcycle).
    void UpdatePlayerControl();
    // Counts the kicked time down by dt; when a kick on the player's
    // motorcycle wears off and no other message shows, the in-race display
    // says so.
    void UpdateKicked(float dt);
    // The averaged contact of one touching pair: point on this motorcycle's
    // body (body space), normal pointing away from the partner, and the
    // partner (another object, or null for the landscape).
    // Its sound (when near the camera, hard enough and not a repeat of the
    // same touch within 0.125 s) counts as a crash.
    void OnImpact(const float* contactPoint, const float* normal, CStaticObject* partner);
    // Take-off and landing, air time, the player's turn in the air, the crowd
    // and the jump messages or the jump shot, and the rider's hop.
    void UpdateJump();

    // --- Physics -------------------------------------------------------------

    // Places the motorcycle and (re)creates its physics. A null position
    // re-places it at its stored placement frame and keeps RacerKind.
    void SetPosition(const float* pos, const float* target, const float* up, int controlMode, int racerKind);
    // A new body with its ray-cast vehicle, or the existing one re-placed.
    void CreatePhysics(float mass, const float* pos, const float* target, const float* up);
    // ChassisShape from the body mesh's cylinders and boxes, built once.
    void CreateCollisionShape(const float* offset);
    // Matrix, position and velocities from the body (and the rider's fall).
    void SyncFromBody();
    // Wheel matrices, compression, ground contact, sliding and the grip ramp.
    void UpdateWheels();
    // Opens, extends or ends wheel i's skid strip and raises its dust puffs.
    void LeaveWheelMarks(int i, const struct WheelMarks& marks, const D3DXVECTOR3& hub);
    // The driving values the racer kind calls for before the physics are
    // (re)created: the player's and a computer racer's upgrade levels.
    void ApplyRacerTuning();

    // --- Drive states and controllers ----------------------------------------

    // PreviousDriveState takes the current state; a different state starts
    // with its stuck and kicked timers at 0 and a random negative kick timer.
    void SetState(int state);
    void SetControlMode(int mode) { ControlMode = mode; }
    // Standing still under computer control, braked, in DRIVE_STOP; the race
    // statistics are kept.
    void ResetDriving();
    // Pinned to the placement's x and z, braked.
    void DriveHold();
    void DriveStop();
    // Backing up with the steering turned away from the target, for a second.
    void DriveUnstick();
    // Along the race path with look-ahead and lanes: the autopilot rides 120
    // km/h at most and wraps at the end of the path; the computer racer rides
    // its top speed, counts its distance left, finishes, is rubber-banded to
    // the player and kicks.
    void DriveAutopilot();
    void DriveAiRacer();
    // The scheme the autopilot and the computer racer share (racer 1 for the
    // computer racer): path point, lane, target, speed, steering and the
    // stuck check.
    void DrivePath(int racer, float dt);
    // LaneOffset moved away from the racers in the way to path point
    // targetIndex; *found is the last racer that counted (null when none).
    void AvoidRacers(CVehicleObject** found, int targetIndex);
    // EnginePower against the lead over the player in path points: 300 less
    // more than 4 ahead, 400 more more than 4 behind, the base in between.
    void ApplyRubberBand(int lead);
    // Every 0.25 s: a racer beside this one within kicking reach. Returns -1
    // to kick to the left, 1 to the right, 0 for none.
    int AiKickCheck();
    // The foot strikes: every racer in reach on that side (side[0] < 0 the
    // left, > 0 the right) is pushed away and steers back over a second.
    void Kick(const float* side);

    // --- Route ---------------------------------------------------------------

    // The player's progress along the race path: the next point once it is
    // passed, a rejoin less than 10 points away, otherwise off the course
    // (the penalty message from 1 s, the respawn after 4 s); the finish at
    // the last point.
    void UpdateRouteProgress();

    // The nearest race-path point among PathPoint .. count - 2 (the first of
    // equals); -1 when PathPoint is already at the last point.
    int FindNearestPathPoint(const float* point) const;
    // Distance to the finish along the path, 0 at the last point, never
    // above the path's length.
    void UpdateDistanceLeft();
    // Back on the path five points behind (further back past racers standing
    // there while a race runs), at rest.
    void Respawn();

    // --- Engine and handling -------------------------------------------------

    void UpdateSteering();
    void UpdateEngine();
    void UpdateParts();
    // The lean follows the steering and the speed, once per frame.
    void UpdateLean();
    // Turns the body towards that lean; run before every fixed physics step
    // of `step` seconds (at 60 frames a second once a frame, as the frame's
    // own correction would be). Applied once per frame with the frame's
    // step, the correction overshoots at 20 frames a second and a heavy
    // motorcycle rocks itself over.
    void CorrectLean(float step);
    // The engine's positional sound near the camera while no menu is up: its
    // pitch follows the speed's ratio of the sound's own frequency.
    void UpdateEngineSound(float pitchRatio);
    // The tyres' pooled screech while a wheel marks a well-driven road.
    void UpdateTyreSound();

    // --- The rider -----------------------------------------------------------

    // A new rider from the rider manager on the seat, riding and steering.
    // None when the body mesh has no seat point or 64 riders exist.
    void CreateRider();

    // --- Drawing -------------------------------------------------------------
    // Each draws nothing unless VehicleDrawAllowed; the motorcycle list sets
    // the states and texture stages of its passes around them.

    // The painted body (paint, decal, reflection, shadow layer) and the
    // assemblies' main meshes.
    void RenderBody();
    // The body's and the assemblies' second meshes, and the wheels.
    void RenderParts();
    void RenderChrome();
    void RenderSelfIllum();
    // The wheels' first slot, blended.
    void RenderWheelsBlended();
    // Body and wheels into the shadow map (its own test: near, in the
    // shadow camera's view, not faded out).
    void RenderShadow();

    // --- Fields --------------------------------------------------------------

    char Name[VEHICLE_NAME_LENGTH];
    ::RaceStats RaceStats;   // statistics of the current race
    int RacerKind;
    CHumanObject* Rider;
    D3DMATERIAL9 BodyMaterial;
    D3DMATERIAL9 PartsMaterial;
    D3DMATERIAL9 WheelsMaterial;
    float PaintColor1[4];
    float PaintColor2[4];
    int DecalId;
    TextureId DecalTexture;
    IDirect3DTexture9* PaintTexture;
    int ControlMode;
    int DriveState;
    int PreviousDriveState;
    float Position[3];
    float TargetPoint[3];
    float StuckTimer;
    int UnstickTries;   // backing-up manoeuvres since the last path point gained
    float KickTimer;
    float KickedTimer;
    int LastImpactTime;
    CStaticObject* LastImpactPartner;
    int PathPoint;
    float TargetDirection[3];
    float LaneOffset;
    float OffRouteTimer;
    float Mass;
    float LeanMass;
    float Speed;      // km/h, negative when rolling backwards
    float MaxSpeed;   // km/h
    float Transmission;
    float BaseTransmission;
    float EngineForce;
    float EnginePower;
    float BaseEnginePower;
    float Throttle;     // 0..2000
    float BrakeRamp;    // 0..100
    float BrakeInput;   // 0..100
    int RearBrake;
    float Steer;        // -0.6..0.6
    float SteerInput;   // -1..1 from keys, -2..2 from the computer driver
    float Chassis;
    float BaseChassis;
    float CentreOfMassHeight;
    float HandlebarAngle;
    int Airborne;
    float FrontFrictionSlip;
    float BaseFrontFrictionSlip;
    float RearFrictionSlip;
    float BaseRearFrictionSlip;
    float FrontRollInfluence;
    float RearRollInfluence;
    float SuspensionStiffness;
    float SuspensionCompression;
    float SuspensionDamping;
    int UpgradeLevels[3];   // engine, transmission, chassis, 0..10
    int RubberBand;
    float PreviousVelocity[3];
    float PreviousAngularVelocity[3];
    int EngineSoundNumber;
    CGameSound* EngineSound;
    CGameSound* TyreSound;
    float EngineVolume;
    float EnginePitch;
    int Gear;
    btCompoundShape* ChassisShape;
    btRaycastVehicle* Vehicle;
    btRaycastVehicle::btVehicleTuning Tuning;
    float RestLength;
    float Lean;
    CStaticObject* FrontAssembly;
    CStaticObject* RearAssembly;
    CStaticObject* Wheels;
    float WheelCompression[VEHICLE_WHEEL_SLOTS];
    D3DMATRIX WheelMatrix[VEHICLE_WHEEL_SLOTS];
    float WheelRadius[VEHICLE_WHEEL_SLOTS];
    float WheelContact[VEHICLE_WHEEL_SLOTS];
    int WheelsOnGround;
    float DustTimer[VEHICLE_WHEEL_SLOTS];
    float SkidTimer[VEHICLE_WHEEL_SLOTS];
    CSkidStrip* SkidTrail[VEHICLE_WHEEL_SLOTS];
    // Whether each wheel counts as sliding for its marks, and how long the
    // tyre has read otherwise (-1: it reads the same); see SettleSlide.
    int WheelSliding[VEHICLE_WHEEL_SLOTS];
    float SlideChange[VEHICLE_WHEEL_SLOTS];

    // The file's own values, kept so that a racer's levels and factors are
    // applied once from them and never compound over respawns and restarts.
    float FileEnginePower;
    float FileTransmission;
    int FileUpgradeLevels[3];
    // A computer racer's power and transmission factors (0.75..0.85), drawn
    // at its first CreatePhysics; 0 until then.
    float PowerFactor;
    float TransmissionFactor;
    // 1 once LoadVehicle accepted the file.
    int Loaded;
};

// Look-ahead on the race path: how many points past the next one the
// controller aims at, one more per 25 km/h, at most 6 for the autopilot and 7
// for the computer racer.
int LookAheadPoints(float speed, int racer);
// The speed the controller asks for toward a target in the motorcycle's own
// axes (x right, z ahead, normalised): at most 120 km/h for the autopilot and
// maxSpeed for the computer racer, less the more the target lies to the side,
// never below 20; 20 when the target is not ahead.
float PathTargetSpeed(const float direction[3], float maxSpeed, int racer);
// Whether `other` is within kicking reach of `kicker`: each one's origin in
// the other's axes lies within 1.25 ahead or behind, 0.5 up or down and from
// minSide to 1.25 to the side. *side gets other's x in the kicker's axes.
int KickReach(const CVehicleObject& kicker, const CVehicleObject& other, float minSide, float* side);

// The rider's fall from a sudden stop: d = the horizontal velocity lost
// since the last frame (previous - current, y 0). Above 10 the rider is
// thrown with v = 0.8 d raised along `up` by a quarter of its length;
// returns 1 and fills `throwVelocity`, else 0.
int RiderThrowVelocity(const float previous[3], const float current[3], const float up[3], float throwVelocity[3]);
