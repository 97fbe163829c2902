// Fuzz target for the settings file.
// Input: the bytes of "Game.ini". They are read by ReadGameIni, which must
// leave every setting inside its clamped range; then profile strings are read
// with small buffers, one key is written over in place and one appended, and
// every other key must read as before. Finally the settings are written back
// and must read back unchanged. Any broken rule aborts, so the fuzzer reports
// the input.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

#include "core/Settings.h"
#include "fuzz/FuzzScratch.h"
#include "platform/os/Ini.h"

namespace
{

const char kIni[] = "Game.ini";

struct Key
{
    const char* section;
    const char* key;
};

// The settings keys, a few spellings the matching must treat alike, and the
// keys the target writes.
const Key kKeys[] = {
    {"Game", "Version"},    {"Video", "Mode"},     {"Video", "Distance"}, {"Video", "Shadows"},
    {"Video", "Glow"},      {"Video", "Blur"},     {"Video", "Windowed"}, {"Audio", "Audio"},
    {"Audio", "Master"},    {"Audio", "Music"},    {"Audio", "Effects"},  {"Misc", "File manager"},
    {"Misc", "BMP to JPG"}, {"Misc", "Game menu"}, {"Misc", "Debug out"}, {"Misc", "Editor mode"},
    {"Misc", "Profiles"},   {"Misc", "RaceID"},    {"video", "MODE"},     {"Fuzz", "Added"},
    {"Audio", "Added"},
};

void Check(bool ok, const char* what)
{
    if (!ok)
    {
        std::fprintf(stderr, "broken rule: %s\n", what);
        std::abort();
    }
}

bool InRange(int v, int lo, int hi)
{
    return v >= lo && v <= hi;
}

void CheckClamped()
{
    const SettingLimits& l = g_SettingLimits;
    Check(InRange(g_ViewDistance, 0, l.viewDistance), "view distance clamped");
    Check(InRange(g_ShadowQuality, 0, l.shadowQuality), "shadow quality clamped");
    Check(InRange(g_GlowOn, 0, l.glow), "glow clamped");
    Check(InRange(g_BlurOn, 0, l.blur), "blur clamped");
    Check(InRange(g_MasterVolume, 0, 100), "master volume clamped");
    Check(InRange(g_MusicVolume, 0, 100), "music volume clamped");
    Check(InRange(g_EffectsVolume, 0, 100), "effects volume clamped");
    Check(InRange(g_RaceID, 0, 18), "race row clamped");
    Check(g_VideoMode >= 0, "video mode not negative");
    Check(InRange(g_ProfileCounter, 0, PROFILE_NUMBER_MAX), "profile counter clamped");
}

std::string Value(const Key& k)
{
    char buf[256];
    const DWORD n = GetPrivateProfileStringA(k.section, k.key, "<none>", buf, sizeof(buf), kIni);
    Check(n < sizeof(buf) && buf[n] == 0 && std::strlen(buf) == n, "read length");
    return buf;
}

std::vector<std::string> AllValues()
{
    std::vector<std::string> values;
    for (const Key& k : kKeys)
        values.push_back(Value(k));
    return values;
}

bool SameKey(const Key& a, const Key& b)
{
    return strcasecmp(a.section, b.section) == 0 && strcasecmp(a.key, b.key) == 0;
}

// Writes one key and checks that it reads back and that no other key moved;
// `values` holds every key's value before the write and after it.
void WriteAndCheck(const Key& written, const char* value, std::vector<std::string>& values)
{
    const std::vector<std::string> before = values;
    Check(WritePrivateProfileStringA(written.section, written.key, value, kIni) == TRUE, "write succeeds");
    const std::vector<std::string> after = AllValues();
    for (size_t i = 0; i < sizeof(kKeys) / sizeof(kKeys[0]); ++i)
    {
        if (SameKey(kKeys[i], written))
            Check(after[i] == value, "written key reads back");
        else
            Check(after[i] == before[i], "other keys unchanged by a write");
    }
    values = after;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The scratch folder's own name holds a backslash, as a player's game
    // folder may: the settings must still be read from and written to it.
    if (size > 16 * 1024 || !fuzzscratch::MakeScratch("fuzz\\ini", {}))
        return 0;
    fuzzscratch::InScratch scratch;
    if (!scratch.entered || !fuzzscratch::WriteBytes(kIni, data, size))
        return 0;
    g_SettingLimits = {500, 3, 1, 1};

    ReadGameIni(kIni);
    CheckClamped();

    // Truncating reads: the count is what was copied and the text ends there.
    for (DWORD bufSize : {1u, 2u, 5u})
    {
        char buf[8];
        std::memset(buf, 'x', sizeof(buf));
        const DWORD n = GetPrivateProfileStringA("Video", "Mode", "default", buf, bufSize, kIni);
        Check(n < bufSize && buf[n] == 0 && std::strlen(buf) == n && buf[bufSize] == 'x', "truncated read");
    }

    // In place (when the file has the key) and appended (when it has not).
    std::vector<std::string> values = AllValues();
    WriteAndCheck(kKeys[1], "7", values);
    WriteAndCheck(kKeys[20], "appended value", values);
    WriteAndCheck(kKeys[19], "new section", values);

    // The settings as written back read back unchanged.
    ReadGameIni(kIni);
    CheckClamped();
    const int saved[] = {g_VideoMode,   g_ShadowQuality, g_GlowOn,         g_BlurOn, g_MasterVolume,
                         g_MusicVolume, g_EffectsVolume, g_ProfileCounter, g_RaceID};
    WriteGameIni();
    // Written into the working folder itself, where the relative name finds it.
    char raceId[16];
    GetPrivateProfileStringA("Misc", "RaceID", "", raceId, sizeof(raceId), kIni);
    Check(std::to_string(g_RaceID) == raceId, "settings written to the working folder");
    ReadGameIni(kIni);
    CheckClamped();
    const int loaded[] = {g_VideoMode,   g_ShadowQuality, g_GlowOn,         g_BlurOn, g_MasterVolume,
                          g_MusicVolume, g_EffectsVolume, g_ProfileCounter, g_RaceID};
    Check(std::memcmp(saved, loaded, sizeof(saved)) == 0, "settings round trip");

    std::remove(kIni);
    return 0;
}
