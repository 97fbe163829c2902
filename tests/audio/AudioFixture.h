#pragma once
// The audio manager on the recording sound device, in a fresh working folder
// with loose files and an SD pack written by the test, the clocks by hand and
// message boxes captured.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "audio/AudioManager.h"
#include "core/Controls.h"
#include "core/FileManager.h"
#include "core/GameClock.h"
#include "core/Settings.h"
#include "platform/audio/DSoundBackend.h"
#include "platform/os/Clock.h"
#include "platform/os/MessageBox.h"
#include "tests/support/TempFolder.h"
#include "tools/PackWriter.h"
#include "tools/SoundSynth.h"

namespace audiotest
{

inline std::vector<std::string>& Messages()
{
    static std::vector<std::string> messages;
    return messages;
}

inline int CaptureBox(HWND, const char* text, const char* caption, UINT)
{
    Messages().push_back(std::string(caption) + ": " + text);
    return IDOK;
}

// A mono (or stereo) 16-bit tone of `frames` frames.
inline std::vector<uint8_t> Tone(int rate, int frames, int channels = 1, float hz = 440.0f)
{
    std::vector<float> s((size_t)frames * channels);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            s[(size_t)i * channels + c] =
                0.5f * std::sin(2.0f * 3.14159265f * hz * (float)i / (float)rate) * (c == 0 ? 1.0f : 0.25f);
    return synth::WaveFile(s, channels, rate);
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos)
        std::filesystem::create_directories(path.substr(0, slash));
    std::ofstream(path, std::ios::binary).write((const char*)bytes.data(), (std::streamsize)bytes.size());
}

// Every effect and crowd file the manager loads at Create, as short tones.
inline std::map<std::string, std::vector<uint8_t>> EffectFiles()
{
    std::map<std::string, std::vector<uint8_t>> files;
    char name[64];
    auto add = [&](const char* format, int n) {
        std::snprintf(name, sizeof(name), format, n);
        files[name] = Tone(22050, 2205);
    };
    for (int i = 1; i <= 5; ++i)
    {
        add("Data/Audio/MS%02d.wav", i);
        add("Data/Audio/FS%02d.wav", i);
        add("Data/Audio/App%02d.wav", i);
        add("Data/Audio/Foo%02d.wav", i);
        add("Data/Audio/Yea%02d.wav", i);
    }
    for (int i = 1; i <= 16; ++i)
        add("Data/Audio/Imp%02d.wav", i);
    for (int i = 1; i <= 14; ++i)
        add("Data/Audio/WhS%02d.wav", i);
    for (int i = 1; i <= 6; ++i)
        add("Data/Audio/En%02d.wav", i);
    return files;
}

class AudioFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Folder.MakeAndEnter("audiotest"));
        Messages().clear();
        SetMessageBoxHook(CaptureBox);
        DSoundSelectBackend(DSoundBackendKind::Recording);
        DSoundClearOverrides();
        DSoundClearRecordedCalls();
        g_SoundOn = 1;
        g_MasterVolume = g_MusicVolume = g_EffectsVolume = 100;
        g_DebugMode = 0;
        g_DebugLog = 0;
        ClockSetManual(500000);
        g_Clock.Init();
        g_Clock.m_GameStep = 0.016f;
        g_ControlHooks.menuActive = nullptr;
    }

    void TearDown() override
    {
        g_SoundOn = 1;
        g_AudioManager.Release();
        g_FileManager.Release();
        g_UseFileManager = 1;
        g_ControlHooks = m_SavedControlHooks;
        DSoundClearOverrides();
        DSoundSelectBackend(DSoundBackendKind::OpenAL);
        SetMessageBoxHook(nullptr);
        ClockUseSystem();
        EXPECT_TRUE(m_Folder.Remove());
    }

    // Loose files and SD-pack entries, then the file manager (pack mode) and
    // the audio manager; the effect files are loose unless `withEffects` is false.
    void Start(const std::map<std::string, std::vector<uint8_t>>& loose,
               const std::map<std::string, std::vector<uint8_t>>& packed = {}, bool withEffects = true)
    {
        std::map<std::string, std::vector<uint8_t>> all = loose;
        if (withEffects)
            for (auto& f : EffectFiles())
                all.insert(f);
        for (const auto& f : all)
            WriteFile(f.first, f.second);
        PackWriter sd(false);
        for (const auto& f : packed)
            ASSERT_TRUE(sd.Add(f.first, f.second));
        std::filesystem::create_directories("Data");
        ASSERT_TRUE(sd.Write("Data/SD"));
        g_UseFileManager = 1;
        g_FileManager.Create();
        ASSERT_EQ(g_AudioManager.Create(nullptr), 0);
    }

    // Advances the clock the sounds' start grace is measured on.
    void AdvanceRealMs(float ms) { g_Clock.m_RealClock += ms; }

    LONG VolumeOf(CGameSound* s)
    {
        LONG v = 1;
        EXPECT_EQ(s->buffer->GetVolume(&v), DS_OK);
        return v;
    }
    DWORD PositionOf(CGameSound* s)
    {
        DWORD p = 0;
        s->buffer->GetCurrentPosition(&p, nullptr);
        return p;
    }
    bool DevicePlaying(CGameSound* s)
    {
        DWORD status = 0;
        s->buffer->GetStatus(&status);
        return (status & DSBSTATUS_PLAYING) != 0;
    }

    TempFolder m_Folder;
    // The hooks as the game object wired them, put back after the test.
    ControlHooks m_SavedControlHooks = g_ControlHooks;
};

}   // namespace audiotest
