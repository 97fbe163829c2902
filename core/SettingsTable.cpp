// The settings globals, their limits and the one table that describes them.
#include "core/SettingsTable.h"

#include <iterator>

#include "core/Settings.h"

// The values a missing "Game.ini" gives.
int g_VideoMode = 1;
int g_ViewDistance = 500;
int g_ShadowQuality = 3;
int g_GlowOn = 1;
int g_BlurOn = 1;
int g_Windowed = 0;
int g_SoundOn = 1;
int g_MasterVolume = 100;
int g_MusicVolume = 100;
int g_EffectsVolume = 100;
int g_UseFileManager = 1;
int g_BmpToJpg = 1;
int g_GameMenu = 1;
int g_DebugMode = 0;
int g_DebugLog = 0;
int g_EditorMode = 0;
int g_ProfileCounter = 0;
int g_RaceID = 0;

SettingLimits g_SettingLimits = {500, 3, 1, 1};
const SettingLimits g_SoftwareFirstStart = {500, 0, 1, 1};

namespace
{
const int kLastRaceRow = 18;    // the quick-race row
const int kDesktopMode = 100;   // a mode of 100 or more asks for the desktop resolution

// Plain settings are read and kept as they are; everything else is said per row.
constexpr SettingEntry Setting(const char* section, const char* key, const char* fileDefault, int* value)
{
    return SettingEntry{section, key, fileDefault, value};
}

constexpr SettingEntry kSettings[] = {
    // A negative mode would index before the mode list; 100 and above is left
    // to the render device, which resolves it to the desktop resolution.
    Setting("Video", "Mode", "1", &g_VideoMode).AtLeast(0).Written().ResetTo(kDesktopMode),
    // Stored in world units (0, 1, 2 give 300, 400, 500) and held to 0..limit,
    // so a distance below 300 units is written as the negative number that
    // reads back to it.
    Setting("Video", "Distance", "2", &g_ViewDistance)
        .Scaled(100, 300)
        .UpToLimit(&g_SettingLimits.viewDistance)
        .Written()
        .ResetToLimit(),
    Setting("Video", "Shadows", "3", &g_ShadowQuality)
        .UpToLimit(&g_SettingLimits.shadowQuality)
        .Written()
        .ResetToLimit(),
    Setting("Video", "Glow", "1", &g_GlowOn).UpToLimit(&g_SettingLimits.glow).Written().ResetToLimit(),
    Setting("Video", "Blur", "1", &g_BlurOn).UpToLimit(&g_SettingLimits.blur).Written().ResetToLimit(),
    Setting("Video", "Windowed", "0", &g_Windowed),
    Setting("Audio", "Audio", "1", &g_SoundOn),
    Setting("Audio", "Master", "100", &g_MasterVolume).Between(0, 100).Written().ResetTo(100),
    Setting("Audio", "Music", "100", &g_MusicVolume).Between(0, 100).Written().ResetTo(100),
    Setting("Audio", "Effects", "100", &g_EffectsVolume).Between(0, 100).Written().ResetTo(100),
    Setting("Misc", "File manager", "1", &g_UseFileManager),
    Setting("Misc", "BMP to JPG", "1", &g_BmpToJpg),
    Setting("Misc", "Game menu", "1", &g_GameMenu),
    // One switch for the debug keys and the log file.
    Setting("Misc", "Debug out", "0", &g_DebugMode).AlsoSets(&g_DebugLog),
    Setting("Misc", "Editor mode", "0", &g_EditorMode),
    // The last profile number used: a number past the highest file number,
    // or a negative one, is held to the range.
    Setting("Misc", "Profiles", "0", &g_ProfileCounter).Between(0, PROFILE_NUMBER_MAX).Written(),
    // Only the race table's rows exist; a row past it, or a negative one,
    // starts row 0 rather than the nearest row.
    Setting("Misc", "RaceID", "0", &g_RaceID).Between(0, kLastRaceRow).OutsideGives(0).Written(),
};
}   // namespace

SettingsTableView SettingsTable()
{
    return {kSettings, std::size(kSettings)};
}
