#include "scene/ObjectPhysics.h"

#include <btBulletDynamicsCommon.h>

#include "core/Physics.h"
#include "scene/StaticObject.h"

void AddBodyToWorld(btRigidBody* body)
{
    if (body && g_PhysicsWorld.dynamicsWorld)
        g_PhysicsWorld.dynamicsWorld->addRigidBody(body);
}

void RemoveBodyPairs(btRigidBody* body)
{
    if (body && body->getBroadphaseHandle() && g_PhysicsWorld.broadphase)
        g_PhysicsWorld.broadphase->getOverlappingPairCache()->cleanProxyFromPairs(body->getBroadphaseHandle(),
                                                                                  g_PhysicsWorld.dispatcher);
}

void RemoveBodyFromWorld(btRigidBody* body)
{
    if (!body || !g_PhysicsWorld.dynamicsWorld)
        return;
    RemoveBodyPairs(body);
    g_PhysicsWorld.dynamicsWorld->removeRigidBody(body);
}

void DestroyBody(btRigidBody* body)
{
    if (!body)
        return;
    RemoveBodyFromWorld(body);
    delete body->getMotionState();
    delete body;
}

void SetRacerBodyResponse(btRigidBody* body, float friction, float linearDamping, float angularDamping,
                          int activationState)
{
    body->setFriction(friction);
    body->setDamping(linearDamping, angularDamping);
    body->setRestitution(0.0f);
    body->setHitFraction(1.0f);
    body->setActivationState(activationState);
    body->forceActivationState(activationState);
    body->setDeactivationTime(0.8f);
    body->setSleepingThresholds(1.6f, 2.5f);
}
