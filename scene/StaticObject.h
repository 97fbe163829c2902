#pragma once
// The world object of the game: a mesh object with an object class and type,
// a number, the frame it was placed with, visibility flags, up to eight
// effect sub-objects and a rigid body. Placed objects, stones, trees, the sky
// dome, riders and motorcycles are all one, or extend one. It has no virtual
// operations: code that needs to tell objects apart reads objectClass and
// objectType.
//
// Every such object is described by a text file read by Create: three free
// lines, class and type keywords, a free line, two more lines for a vehicle
// of type vehicle, the mesh and texture names, then pairs of a free line and
// an effect line up to a "//--" line. Values sit at column 32 of their line.
#include "platform/d3d/D3D9.h"
#include "platform/os/WinTypes.h"
#include "render/MeshObject.h"
#include "scene/ObjectDescription.h"

class btRigidBody;
class CEffectMeshObject;
class CLightMapsObject;
class CLightsEffect;
class CDirectLightsEffect;
class CSpotsEffect;

// Taken and incremented by every construction and never reset, so object
// numbers are unique over a run.
extern int g_ObjectCounter;

// Longest motorcycle name kept from a vehicle description.
#define VEHICLE_NAME_LENGTH 64

class CStaticObject : public CMeshObject
{
public:
    CStaticObject();

    // Reads the description at `path` into the object. Returns the file handle
    // (closed when closeHandle is non-zero, left open at the line after "//--"
    // otherwise, for the extending code's own lines), or -1 when the file
    // cannot be opened; the object is then unchanged apart from `path`.
    // A file that ends before its "//--" line stops the reading there.
    int Create(const char* path, int closeHandle, int vertexType, DWORD meshOptions, int optimize);
    // Construction state, then class GCLASS_STATIC and type 0.
    void InitStatic();
    // Create (path, keep open, 0, D3DXMESH_MANAGED, optimize); then the fence
    // lines for a GTYPE_FENCES object; then the file is closed. An object whose
    // description is missing keeps no mesh record: whoever places objects
    // must skip such an object (it can have no body).
    void LoadDescription(const char* path);
    // Stores the scale (useScale 0 when all three are exactly 1) and scales
    // the bounding sphere.
    void SetScale(float x, float y, float z);
    // Frees corners, body, mesh, textures and every sub-object; pointers null.
    void Release();
    void Free() { Release(); }
    // Takes the body out of the dynamics world (when it is in) and deletes it.
    void RemoveBody();

    // Physics. Place sets the matrix and placement, the world centre (and for
    // buildings the corners and a radius from the box's horizontal diagonal),
    // then builds or re-seats the body.
    void Place(const float pos[3], const float target[3], const float up[3]);
    // Builds the body (out of the world, asleep) or moves an existing one. A
    // mass of -1 means as placed: pos, target and up are overwritten with the
    // placement's frame and the stored mass is used. An object without a
    // mesh record gets no body.
    void InitPhysics(float mass, float pos[3], float target[3], float up[3]);
    // Puts the body into the dynamics world (1) or takes it out (0); nothing
    // without a body or when inWorld already says so.
    void EnablePhysics(int on);
    // A body with mass carries the drawn matrix along.
    void SyncFromBody();

    // Per-frame upkeep and drawing. Update measures the camera distance and
    // moves the body in or out of the world by it.
    void Update();
    // Sets inShadow and visible for the next drawing; returns visible.
    int UpdateVisibility();
    // The main-pass draw with the fades, the far slot of buildings and the
    // received shadow map.
    void Render(int slot);
    void DrawMain(int slot) { Render(slot); }
    void RenderChromeGlass();
    void RenderLightEffects();
    void DrawShadowPart();
    // Occlusion: the planes of this building's occluder mesh for the current
    // eye (1 when any were made), and whether this object is hidden by the
    // current planes.
    int BuildOccluder();
    int IsOccluded();
    // 1 when the segment hits this object's body, with the world hit point in
    // hitOut (when given); the hit is reported to the ray-pick hook.
    int RayTest(const float from[3], const float to[3], float hitOut[3]);

    // Where a vehicle description's name line is copied (a motorcycle's Name);
    // null for every other object, which then skips that line.
    char* vehicleName;

    char path[260];
    int objectClass;
    int objectType;
    int objectNumber;
    D3DMATRIX placement;
    float worldCentre[3];
    float cameraDistance;
    int visible;
    int inShadow;
    int touched;
    int inWorld;
    D3DXVECTOR3* corners;   // eight box corners in world space, buildings only
    CEffectMeshObject* chrome;
    CEffectMeshObject* glass;
    CLightMapsObject* lightMaps;
    CEffectMeshObject* selfIllum;
    CLightsEffect* lights;
    CDirectLightsEffect* directLights;
    CSpotsEffect* spots;
    CEffectMeshObject* shadow;
    btRigidBody* body;
    float mass;
    float massCentreOffset[3];
    float linearVelocity[3];
    float angularVelocity[3];
    uint32_t lastImpactSoundTime;
};

// The fade of a fence at a camera distance: 1 up to 70, 0 from 100 on.
float FenceFade(float distance);
// The fade of a building of the given mesh height: 1, except for a mesh
// taller than 30, which fades from 375 to 425 (0 beyond).
float BuildingFade(float height, float distance);
