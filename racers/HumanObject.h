#pragma once
// The rider of one motorcycle: a world object of class GCLASS_HUMAN drawn as
// one keyframed mesh whose frame follows the handlebars, standing up on the
// footrests and kicking to either side. A small box body rides along at head
// height so that the contact pass can tell when anything but its own
// motorcycle touches it; then the rider falls off as an eleven-body ragdoll
// (CRagDoll). The rider manager owns every rider.
#include "platform/d3d/D3D9.h"
#include "racers/HumanFile.h"
#include "render/TextureManager.h"
#include "scene/StaticObject.h"

class CRagDoll;
class CVehicleObject;
struct MeshRecord;

class CHumanObject : public CStaticObject
{
public:
    CHumanObject();

    // --- File, look, placement and the frame ------------------------------

    // Reads the rider file. Returns the (closed) handle, or -1 when the
    // object part cannot be read or the file is refused (a message names the
    // fault; the rider then keeps no mesh, draws nothing and never falls).
    int Load(const char* file);
    // New suit colour, suit and decal.
    void RandomizeLook();
    // Places the rider (a null pos re-uses the stored placement frame) with
    // its riding box, in the steering action.
    void SetPosition(const float* pos, const float* target, const float* up);
    // The riding box: made and added to the world once, re-placed after.
    void CreateCollisionBody(const float* pos, const float* target, const float* up);
    // Matrix, position and riding box from the seat (riding) or from the
    // ragdoll's pelvis (fallen).
    void FollowVehicle();
    // The per-frame step: follow, rest check, fade, animation.
    void Update();
    // Frees the ragdoll, the parts mesh, the textures, then the base object.
    void Release();
    // 1 once Load accepted the file.
    int Usable() const { return Loaded; }

    // --- Action machine ---------------------------------------------------

    void UpdateAnimation();
    void AnimateSteering();
    void AnimateStandUp();
    void AnimateKick();
    void ReadPlayerKeys();
    void SetAction(int action);

    // --- Ragdoll and falls ------------------------------------------------

    // The part's box size (the parts mesh's box plus (0.1, 0.2, 0.1)), and
    // the joint pivot in the part's and in its parent's frame.
    D3DXVECTOR3 GetPartSize(int i) const;
    D3DXVECTOR3 GetPivotInPart(int i) const;
    D3DXVECTOR3 GetPivotInParent(int i) const;
    // 1 throws the rider off (with the given start velocity, or the
    // motorcycle's when null), 0 puts it back on; either only when it
    // changes something.
    void SetRagdoll(int fall, const float* velocity = nullptr);
    // A fallen rider whose bodies all sleep leaves the simulation.
    void CheckRagdollRest();
    // Ground dust where a fallen rider hits the landscape.
    void SpawnDust(const float* point);

    // --- Drawing ----------------------------------------------------------

    void Render();
    void RenderShadow();
    // The eleven parts of the ragdoll at its bodies' transforms.
    void RenderRagdollParts();

    // --- Fields -----------------------------------------------------------

    CVehicleObject* Vehicle;
    float Position[3];
    int PartVertices[HUMAN_PARTS][2];
    int PartTriangles[HUMAN_PARTS][2];
    float SuitColour[4];
    TextureId DecalTexture;
    TextureId SuitTexture;
    int ActionFrames[HUMAN_ACTIONS][2];
    float ActionSpeed[HUMAN_ACTIONS];
    int Action;
    int ActionPhase;   // 1 forward, -1 returning, 0 kick already struck
    float AnimFrame;
    float DustTimer;
    int StandUpRequest;
    float StandUpLift;
    int KickLeftRequest;
    int KickRightRequest;
    float Mass;
    CRagDoll* RagDoll;
    MeshRecord* PartsMesh;
    float VoicePitch;
    int VoiceIndex;
    // 1 once Load accepted the file.
    int Loaded;
};

// Where a ragdoll puff of dust goes and how it looks, from the point of
// contact, the rider's velocity, the sun's intensity and the season.
struct RiderDustPuff
{
    float position[3];
    float velocity[3];
    float size;
    float life;
    float growth;
    float colour[4];
};
RiderDustPuff MakeRiderDustPuff(const float* point, const float* riderVelocity, float sunIntensity, int winter);

// The seat point (first point of set 9 of the motorcycle's body mesh) in
// the motorcycle's model space; false when the mesh has none.
bool VehicleSeatPoint(const CVehicleObject* vehicle, D3DXVECTOR3* seat);
