// "Game.ini": reading, clamping, writing back and the first-start reset.
#include "core/Settings.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "core/RunFlags.h"
#include "core/ScreenVertex.h"
#include "core/SettingsTable.h"
#include "platform/os/Ini.h"
#include "platform/os/StartCounter.h"

ScreenVertex g_DrawDiscVertices[17];
ScreenVertex g_DrawDiscFineVertices[34];

namespace
{
const char* kIniName = "Game.ini";

std::string CurrentDirectory()
{
    char buf[4096];
    if (!getcwd(buf, sizeof(buf)))
        return ".";
    return buf;
}

int Saturate(long long v)
{
    return (int)(v > INT_MAX ? INT_MAX : (v < INT_MIN ? INT_MIN : v));
}

// atoi, but text beyond the int range saturates instead of being undefined.
int TextToInt(const char* text)
{
    errno = 0;
    return Saturate(strtoll(text, nullptr, 10));
}

int ReadInt(const char* section, const char* key, const char* def, const char* path)
{
    char buf[128];
    GetPrivateProfileStringA(section, key, def, buf, sizeof(buf), path);
    return TextToInt(buf);
}

void WriteInt(const char* section, const char* key, int value, const char* path)
{
    char buf[32];
    snprintf(buf, sizeof(buf), "%d", value);
    WritePrivateProfileStringA(section, key, buf, path);
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

    // Read and not used.
    char version[10];
    GetPrivateProfileStringA("Game", "Version", "1.0.1", version, sizeof(version), p);

    for (const SettingEntry& e : SettingsTable())
    {
        // In 64 bits: a huge scaled value must not overflow before the clamp.
        const int v = Saturate((long long)ReadInt(e.section, e.key, e.fileDefault, p) * e.scale + e.offset);
        *e.value = v;
        if (e.alsoSets)
            *e.alsoSets = v;
    }

    ClampSettings();

    FillDisc(g_DrawDiscVertices, 16, 15);
    FillDisc(g_DrawDiscFineVertices, 33, 32);
}

void ClampSettings()
{
    for (const SettingEntry& e : SettingsTable())
    {
        int& v = *e.value;
        const int hi = e.Max();
        if (v < e.min || v > hi)
            v = e.replaceOutside ? e.outsideValue : (v < e.min ? e.min : hi);
    }
}

void WriteGameIni()
{
    const std::string path = CurrentDirectory() + "\\" + kIniName;
    const char* p = path.c_str();
    for (const SettingEntry& e : SettingsTable())
    {
        // Signed division, in 64 bits so that no stored value overflows.
        if (e.written)
            WriteInt(e.section, e.key, Saturate(((long long)*e.value - e.offset) / e.scale), p);
    }
}

void ResetSettings()
{
    for (const SettingEntry& e : SettingsTable())
    {
        if (e.reset == SettingEntry::ToMax)
            *e.value = e.Max();
        else if (e.reset == SettingEntry::ToValue)
            *e.value = e.resetValue;
    }
    WriteGameIni();
}

void LowerSettingsForSoftwareRenderer()
{
    int* const values[4] = {&g_ViewDistance, &g_ShadowQuality, &g_GlowOn, &g_BlurOn};
    const int lowered[4] = {g_SoftwareFirstStart.viewDistance, g_SoftwareFirstStart.shadowQuality,
                            g_SoftwareFirstStart.glow, g_SoftwareFirstStart.blur};
    for (int i = 0; i < 4; ++i)
        if (*values[i] > lowered[i])
            *values[i] = lowered[i];
    WriteGameIni();
}

int RegisterStart()
{
    return CountStart(g_AppName);
}
