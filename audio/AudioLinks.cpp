#include "audio/AudioLinks.h"

#include "audio/AudioManager.h"
#include "core/GameClock.h"
#include "render/CameraHooks.h"

void ConnectAudioLinks()
{
    g_ClockHooks.pauseSounds = [] { g_AudioManager.PauseAll(); };
    g_ClockHooks.resumeSounds = [] { g_AudioManager.ResumeAll(); };
    g_CameraHooks.placeListener = [](const D3DXVECTOR3& position, const D3DXVECTOR3& front, const D3DXVECTOR3& top,
                                     const D3DXVECTOR3& velocity) {
        g_AudioManager.SetListenerPosition(&position);
        g_AudioManager.SetListenerOrientation(&front, &top);
        g_AudioManager.SetListenerVelocity(&velocity);
    };
    g_CameraHooks.setFadeVolume = [](float percent) { g_AudioManager.SetFadeVolume(percent); };
}
