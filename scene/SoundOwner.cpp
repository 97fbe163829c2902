#include "scene/SoundOwner.h"

#include "audio/AudioManager.h"
#include "scene/StaticObject.h"

namespace
{

const float* WorldCentreOf(const CStaticObject* object)
{
    return object->worldCentre;
}

float CameraDistanceOf(const CStaticObject* object)
{
    return object->cameraDistance;
}

const float* LinearVelocityOf(const CStaticObject* object)
{
    return object->linearVelocity;
}

void SetLastImpactSoundTime(CStaticObject* object, uint32_t gameMs)
{
    object->lastImpactSoundTime = gameMs;
}

struct RegisterSoundOwnerAccess
{
    RegisterSoundOwnerAccess()
    {
        g_SoundOwnerAccess.worldCentre = WorldCentreOf;
        g_SoundOwnerAccess.cameraDistance = CameraDistanceOf;
        g_SoundOwnerAccess.linearVelocity = LinearVelocityOf;
        g_SoundOwnerAccess.setLastImpactSoundTime = SetLastImpactSoundTime;
    }
} s_RegisterSoundOwnerAccess;

}   // namespace

void StopOwnedSounds(const CStaticObject* object)
{
    g_AudioManager.StopSoundsOf(object);
}
