// Stand-in audio manager: silent, and every call succeeds.
#include "audio/AudioManager.h"

CAudioManager g_AudioManager;

int CAudioManager::Create(HWND)
{
    return 0;
}

void CAudioManager::Release() {}
void CAudioManager::PauseAll() {}
void CAudioManager::ResumeAll() {}
void CAudioManager::Compact() {}
void CAudioManager::PlayMusic(int, const char*, int, int) {}
void CAudioManager::Update() {}
