#pragma once
// The dynamics world as the world objects and the terrain see it: adding and
// taking out bodies, with their broadphase pairs cleaned on the way out.
class btRigidBody;

// Adds the body to the game's dynamics world; nothing without a world.
void AddBodyToWorld(btRigidBody* body);
// Removes the body's pairs from the broadphase pair cache, then the body from
// the world (when it is in one). Nothing for a null body.
void RemoveBodyFromWorld(btRigidBody* body);
// Removes the body's pairs from the broadphase pair cache (nothing for a
// body outside the world), so a moved body starts its contacts afresh.
void RemoveBodyPairs(btRigidBody* body);
// RemoveBodyFromWorld, then deletes the body and its motion state.
void DestroyBody(btRigidBody* body);

// The contact and sleep settings every racer body shares (motorcycle, rider
// on it, ragdoll parts): the given friction and damping, no bounce, a whole
// step's hit fraction, the activation state forced, and the sleep timing.
// Velocities are the caller's.
void SetRacerBodyResponse(btRigidBody* body, float friction, float linearDamping, float angularDamping,
                          int activationState);
