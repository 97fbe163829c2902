#pragma once
// The audio manager's entry points the program start and the window procedure
// call. Minimal for now: the sound devices and sounds arrive with their own work.
#include "platform/os/WinTypes.h"

class CAudioManager
{
public:
    int Create(HWND hwnd);   // 0 or above on success, negative on failure
    void Release();
    void PauseAll();   // every sound but the music
    void ResumeAll();
    void Compact();
    void PlayMusic(int on, const char* file, int loop, int volume);
    void Update();
};

extern CAudioManager g_AudioManager;
