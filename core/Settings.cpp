// "Game.ini": reading, clamping, writing back and the first-start reset.
#include "core/Settings.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "core/AppState.h"
#include "core/ScreenVertex.h"
#include "platform/os/Ini.h"
#include "platform/os/StartCounter.h"

ScreenVertex g_DrawDiscVertices[17];
ScreenVertex g_DrawDiscFineVertices[34];

namespace
{
const char* kIniName = "Game.ini";
const int kLastRaceRow = 18;   // the quick-race row

std::string CurrentDirectory()
{
    char buf[4096];
    if (!getcwd(buf, sizeof(buf)))
        return ".";
    return buf;
}

// atoi, but text beyond the int range saturates instead of being undefined.
long long TextToInt(const char* text)
{
    errno = 0;
    long long v = strtoll(text, nullptr, 10);
    if (v > INT_MAX)
        v = INT_MAX;
    if (v < INT_MIN)
        v = INT_MIN;
    return v;
}

int ReadInt(const char* section, const char* key, const char* def, const char* path)
{
    char buf[128];
    GetPrivateProfileStringA(section, key, def, buf, sizeof(buf), path);
    return (int)TextToInt(buf);
}

void WriteInt(const char* section, const char* key, int value, const char* path)
{
    char buf[32];
    snprintf(buf, sizeof(buf), "%d", value);
    WritePrivateProfileStringA(section, key, buf, path);
}

int Clamp(int v, int lo, int hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

void FillDisc(ScreenVertex* v, int rimPoints, int steps)
{
    v[0] = {0.0f, 0.0f, 0.0f, 1.0f, 0, 0.5f, 0.5f};
    const float step = 2.0f * 3.14159265f / (float)steps;
    for (int k = 0; k < rimPoints; ++k)
    {
        // (1, 0) turned by -k steps about the z axis.
        const float angle = -(float)k * step;
        const float x = cosf(angle);
        const float y = sinf(angle);
        v[k + 1] = {x, y, 0.0f, 1.0f, 0, (x + 1.0f) * 0.5f, (y + 1.0f) * 0.5f};
    }
}
}   // namespace

void ReadGameIni(const char* fileName)
{
    const std::string path = CurrentDirectory() + "/" + (fileName ? fileName : kIniName);
    const char* p = path.c_str();

    char version[10];
    GetPrivateProfileStringA("Game", "Version", "1.0.1", version, sizeof(version), p);

    g_VideoMode = ReadInt("Video", "Mode", "1", p);
    // In 64 bits: a huge "Distance" must not overflow before the clamp.
    long long distance = (long long)ReadInt("Video", "Distance", "2", p) * 100 + 300;
    g_ViewDistance = (int)(distance > INT_MAX ? INT_MAX : (distance < INT_MIN ? INT_MIN : distance));
    g_ShadowQuality = ReadInt("Video", "Shadows", "3", p);
    g_GlowOn = ReadInt("Video", "Glow", "1", p);
    g_BlurOn = ReadInt("Video", "Blur", "1", p);
    g_Windowed = ReadInt("Video", "Windowed", "0", p);
    g_SoundOn = ReadInt("Audio", "Audio", "1", p);
    g_MasterVolume = ReadInt("Audio", "Master", "100", p);
    g_MusicVolume = ReadInt("Audio", "Music", "100", p);
    g_EffectsVolume = ReadInt("Audio", "Effects", "100", p);
    g_UseFileManager = ReadInt("Misc", "File manager", "1", p);
    g_BmpToJpg = ReadInt("Misc", "BMP to JPG", "1", p);
    g_GameMenu = ReadInt("Misc", "Game menu", "1", p);
    g_DebugMode = ReadInt("Misc", "Debug out", "0", p);
    g_DebugLog = g_DebugMode;
    g_EditorMode = ReadInt("Misc", "Editor mode", "0", p);
    g_ProfileCounter = ReadInt("Misc", "Profiles", "0", p);
    g_RaceID = ReadInt("Misc", "RaceID", "0", p);

    ClampSettings();

    FillDisc(g_DrawDiscVertices, 16, 15);
    FillDisc(g_DrawDiscFineVertices, 33, 32);
}

void ClampSettings()
{
    g_ViewDistance = Clamp(g_ViewDistance, 0, g_SettingLimits.viewDistance);
    g_ShadowQuality = Clamp(g_ShadowQuality, 0, g_SettingLimits.shadowQuality);
    g_GlowOn = Clamp(g_GlowOn, 0, g_SettingLimits.glow);
    g_BlurOn = Clamp(g_BlurOn, 0, g_SettingLimits.blur);
    g_MasterVolume = Clamp(g_MasterVolume, 0, 100);
    g_MusicVolume = Clamp(g_MusicVolume, 0, 100);
    g_EffectsVolume = Clamp(g_EffectsVolume, 0, 100);
    // Rows 0..18 only; a row past the table, or a negative one, starts row 0.
    if (g_RaceID > kLastRaceRow || g_RaceID < 0)
        g_RaceID = 0;
    // A negative mode would index before the mode list; 100 and above is the
    // desktop-resolution request, resolved by the render device.
    if (g_VideoMode < 0)
        g_VideoMode = 0;
}

void WriteGameIni()
{
    const std::string path = CurrentDirectory() + "\\" + kIniName;
    const char* p = path.c_str();
    WriteInt("Video", "Mode", g_VideoMode, p);
    // Signed: a distance below 300 units is written as the negative value that
    // reads back to it.
    WriteInt("Video", "Distance", (g_ViewDistance - 300) / 100, p);
    WriteInt("Video", "Shadows", g_ShadowQuality, p);
    WriteInt("Video", "Glow", g_GlowOn, p);
    WriteInt("Video", "Blur", g_BlurOn, p);
    WriteInt("Audio", "Master", g_MasterVolume, p);
    WriteInt("Audio", "Music", g_MusicVolume, p);
    WriteInt("Audio", "Effects", g_EffectsVolume, p);
    WriteInt("Misc", "Profiles", g_ProfileCounter, p);
    WriteInt("Misc", "RaceID", g_RaceID, p);
}

void ResetSettings()
{
    g_ViewDistance = g_SettingLimits.viewDistance;
    g_ShadowQuality = g_SettingLimits.shadowQuality;
    g_GlowOn = g_SettingLimits.glow;
    g_BlurOn = g_SettingLimits.blur;
    g_VideoMode = 100;
    g_MasterVolume = 100;
    g_MusicVolume = 100;
    g_EffectsVolume = 100;
    WriteGameIni();
}

int RegisterStart()
{
    return CountStart(g_AppName);
}
