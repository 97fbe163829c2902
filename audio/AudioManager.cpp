#include "audio/AudioManager.h"

#include <cmath>
#include <cstring>

#include "common/MathUtil.h"
#include "core/DebugLog.h"
#include "core/FileManager.h"
#include "core/GameClock.h"
#include "core/Settings.h"

CAudioManager g_AudioManager;

namespace
{

// Reads an open file whole into a free block; 0 on failure (nothing kept).
int ReadIntoBlock(SoundMemoryBlock* block, int handle, int size)
{
    if (size <= 0 || (uint32_t)size > WAVE_FILE_LIMIT)
        return 0;
    uint8_t* data = new uint8_t[(size_t)size];
    if (g_FileManager.Read(data, 1, (size_t)size, handle) != (size_t)size)
    {
        delete[] data;
        return 0;
    }
    block->data = data;
    block->size = (uint32_t)size;
    block->referenceCount = 0;
    return 1;
}
}   // namespace

CAudioManager::CAudioManager()
{
    directSound = nullptr;
    listener = nullptr;
    musicOn = 0;
    currentMusic = nullptr;
}

void CAudioManager::Compact()
{
    if (!g_SoundOn || !directSound)
        return;
    directSound->Compact();
}

SoundMemoryBlock* CAudioManager::AllocMemoryBlock()
{
    for (SoundMemoryBlock& b : memoryBlocks)
        if (!b.data)
        {
            b.size = 0;
            b.referenceCount = 0;
            b.buffers[0] = b.buffers[1] = nullptr;
            return &b;
        }
    return nullptr;
}

void CAudioManager::AppendSound(CGameSound* sound)
{
    sounds[soundCount++] = sound;
}

CGameSound* CAudioManager::LoadSound(const char* name, int type, float minDistance, float maxDistance)
{
    if (!g_SoundOn || !directSound || !name || soundCount >= MAX_SOUNDS)
        return nullptr;

    if (type == SOUND_TYPE_2D)
        for (int i = 0; i < soundCount; ++i)
            if (sounds[i]->type == SOUND_TYPE_2D && StrEqual(sounds[i]->name, name))
            {
                sounds[i]->referenceCount++;
                return sounds[i];
            }

    SoundMemoryBlock* block = nullptr;
    if (type == SOUND_TYPE_3D)
        for (int i = 0; i < soundCount && !block; ++i)
        {
            CGameSound* s = sounds[i];
            if (!StrEqual(s->name, name))
                continue;
            if (s->memoryBlock && s->memoryBlock->data)
                block = s->memoryBlock;
            else if (s->reader)
            {
                CGameSound* copy = new CGameSound(name, nullptr, SOUND_TYPE_3D, minDistance, maxDistance);
                // A copy without a buffer would be a silent sound that
                // claims to be loaded.
                if (copy->Duplicate(s) != S_OK)
                {
                    copy->Release();
                    delete copy;
                    return nullptr;
                }
                AppendSound(copy);
                return copy;
            }
        }

    bool readNow = false;
    if (!block)
    {
        int size = 0;
        int handle = g_FileManager.Open(name, FILE_BINARY, &size);
        if (handle == -1)
            handle = g_FileManager.Open(name, FILE_SD, &size);
        if (handle == -1)
        {
            if (g_DebugMode)
                ShowMessage(name, "Couldn't load sound file! (1)", MB_OK);
            return nullptr;
        }
        block = AllocMemoryBlock();
        const int read = block ? ReadIntoBlock(block, handle, size) : 0;
        g_FileManager.Close(handle);
        if (!read)
        {
            if (g_DebugMode && block)
                ShowMessage(name, "Couldn't load sound file! (2)", MB_OK);
            return nullptr;
        }
        readNow = true;
    }

    if (!GetBlockBuffer(block, type))
    {
        if (readNow)
            ReleaseBlock(block);   // the data just read goes again
        if (g_DebugMode)
            ShowMessage(name, "Couldn't load sound file! (2)", MB_OK);
        return nullptr;
    }
    CGameSound* sound = new CGameSound(name, block, type, minDistance, maxDistance);
    if (!sound->buffer)
    {
        sound->Release();   // gives the block back (and frees it when it was new)
        delete sound;
        return nullptr;
    }
    AppendSound(sound);
    return sound;
}

void CAudioManager::ReleaseSound(CGameSound** slot)
{
    if (!slot || !*slot)
        return;
    CGameSound* sound = *slot;
    *slot = nullptr;
    int index = -1;
    for (int i = 0; i < soundCount; ++i)
        if (sounds[i] == sound)
        {
            index = i;
            break;
        }
    if (index < 0)
        return;
    sound->Release();
    if (sound->referenceCount > 0)
        return;
    delete sound;
    for (int i = index; i + 1 < soundCount; ++i)
        sounds[i] = sounds[i + 1];
    sounds[--soundCount] = nullptr;
}

void CAudioManager::PauseAll()
{
    if (!g_SoundOn || paused)
        return;
    for (int i = 0; i < soundCount; ++i)
        if (sounds[i]->type != SOUND_TYPE_MUSIC)
            sounds[i]->Pause();
    paused = 1;
}

void CAudioManager::ResumeAll()
{
    if (!g_SoundOn || !paused)
        return;
    for (int i = 0; i < soundCount; ++i)
        if (sounds[i]->type != SOUND_TYPE_MUSIC)
            sounds[i]->Resume();
    paused = 0;
}

void CAudioManager::SetMasterVolume(float percent)
{
    // Checked before it becomes an integer: the setting stays within 0..100.
    if (!std::isfinite(percent))
        percent = 0.0f;
    g_MasterVolume = (int)std::fmax(0.0f, std::fmin(100.0f, percent));
    ReapplyVolumes();
}

void CAudioManager::SetFadeVolume(float percent)
{
    if (!std::isfinite(percent))
        percent = 100.0f;
    g_FadeVolume = std::fmax(0.0f, std::fmin(100.0f, percent));
    ReapplyVolumes();
}

void CAudioManager::ReapplyVolumes()
{
    if (!g_SoundOn)
        return;
    for (int i = 0; i < soundCount; ++i)
        sounds[i]->ReapplyVolume();
}

void CAudioManager::SetListenerPosition(const D3DXVECTOR3* position)
{
    if (!g_SoundOn || paused || !listener || !position)
        return;
    listenerPosition = *position;
    listener->SetPosition(position->x, position->y, position->z, DS3D_IMMEDIATE);
}

void CAudioManager::SetListenerOrientation(const D3DXVECTOR3* front, const D3DXVECTOR3* top)
{
    if (!g_SoundOn || paused || !listener || !front || !top)
        return;
    listener->SetOrientation(front->x, front->y, front->z, top->x, top->y, top->z, DS3D_IMMEDIATE);
}

void CAudioManager::SetListenerVelocity(const D3DXVECTOR3* velocity)
{
    if (!g_SoundOn || paused || !listener || !velocity)
        return;
    listener->SetVelocity(velocity->x, velocity->y, velocity->z, DS3D_IMMEDIATE);
}
