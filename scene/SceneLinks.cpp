#include "scene/SceneLinks.h"

#include "audio/AudioManager.h"
#include "core/Physics.h"
#include "scene/StaticObject.h"

void ConnectSceneLinks()
{
    // The contact pass reads class, type and touched flags through these.
    g_PhysicsObjectAccess.objectClass = [](const CStaticObject* object) { return object ? object->objectClass : 0; };
    g_PhysicsObjectAccess.objectType = [](const CStaticObject* object) { return object ? object->objectType : 0; };
    g_PhysicsObjectAccess.setTouched = [](CStaticObject* object) {
        if (object)
            object->touched = 1;
    };
    // The effect sounds place and time themselves by their owner.
    g_SoundOwnerAccess.worldCentre = [](const CStaticObject* object) -> const float* { return object->worldCentre; };
    g_SoundOwnerAccess.cameraDistance = [](const CStaticObject* object) { return object->cameraDistance; };
    g_SoundOwnerAccess.linearVelocity = [](const CStaticObject* object) -> const float* {
        return object->linearVelocity;
    };
    g_SoundOwnerAccess.setLastImpactSoundTime = [](CStaticObject* object, uint32_t gameMs) {
        object->lastImpactSoundTime = gameMs;
    };
}
