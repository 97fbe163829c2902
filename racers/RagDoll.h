#pragma once
// The fallen rider: eleven box bodies (pelvis, chest, head, two thighs and
// shins, two upper arms and forearms) joined by five hinges and five
// cone-twist joints, started in the rider's place. The part shapes are shared
// by all riders (g_HumanPartShapes, made by the rider manager); a ragdoll
// owns only its bodies, their motion states and its joints. Every body's user
// pointer is the rider, so the parts never collide with one another.
#include "racers/HumanFile.h"

class btBoxShape;
class btRigidBody;
class btTransform;
class btTypedConstraint;
class CStaticObject;
struct MeshRecord;

#define RAGDOLL_JOINTS    10
// The mass of every part, whatever the rider file says.
#define RAGDOLL_PART_MASS 10.0f

extern btBoxShape* g_HumanPartShapes[HUMAN_PARTS];

// A part's box size (its mesh size plus (0.1, 0.2, 0.1)), and its pivot seen
// from the part's own centre and from its parent's centre. Parts outside the
// rider mesh give a small box and zero offsets.
D3DXVECTOR3 RagdollPartSize(const MeshRecord* parts, int i);
D3DXVECTOR3 RagdollPivotInPart(const MeshRecord* parts, int i);
D3DXVECTOR3 RagdollPivotInParent(const MeshRecord* parts, int i);

class CRagDoll
{
public:
    // Builds the bodies at start x (each part's place in the ragdoll pose,
    // from the rider's part boxes and pivots) with the given velocity, and the
    // joints, all added to the world. Every body's user pointer is the owner.
    CRagDoll(const MeshRecord* parts, CStaticObject* owner, const btTransform& start, const float* velocity);
    // Joints, then bodies, out of the world and deleted; shapes stay.
    ~CRagDoll();
    CRagDoll(const CRagDoll&) = delete;
    CRagDoll& operator=(const CRagDoll&) = delete;

    btRigidBody* CreateBody(float mass, const btTransform& transform, btBoxShape* shape, CStaticObject* owner);
    // Joints, then bodies, out of the world; the ragdoll stays for drawing.
    void RemoveFromWorld();

    btBoxShape* shapes[HUMAN_PARTS];
    btRigidBody* bodies[HUMAN_PARTS];
    btTypedConstraint* joints[RAGDOLL_JOINTS];
    // True while the bodies and joints are in the world.
    bool inWorld;
};
