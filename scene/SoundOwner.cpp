#include "scene/SoundOwner.h"

#include "audio/AudioManager.h"
#include "scene/StaticObject.h"

void StopOwnedSounds(const CStaticObject* object)
{
    g_AudioManager.StopSoundsOf(object);
}
