#pragma once
// Settings read from "Game.ini" at start; SettingsTable.cpp gives each one its
// key, default, range and what writing back and resetting do with it.

extern int g_VideoMode;
extern int g_ViewDistance;   // world units: ini value x 100 + 300
extern int g_ShadowQuality;
extern int g_GlowOn;
extern int g_BlurOn;
extern int g_Windowed;
extern int g_SoundOn;
extern int g_MasterVolume;
extern int g_MusicVolume;
extern int g_EffectsVolume;
extern int g_UseFileManager;
extern int g_BmpToJpg;
extern int g_GameMenu;
extern int g_DebugMode;
extern int g_DebugLog;
extern int g_EditorMode;
extern int g_ProfileCounter;   // 0..PROFILE_NUMBER_MAX
extern int g_RaceID;

// The highest profile file number; "Profiles" is held to 0..this as it is
// read, so the next number never overflows.
#define PROFILE_NUMBER_MAX 99999

// Upper limits of view distance, shadow quality, glow and blur; the render
// device lowers glow and blur when it cannot run the post effects.
struct SettingLimits
{
    int viewDistance;
    int shadowQuality;
    int glow;
    int blur;
};
extern SettingLimits g_SettingLimits;

// The view distance (world units), shadows, glow and blur a first start
// gives on a software renderer (one that draws on the processor): the
// options at which its race runs at real speed on two cores. The limits
// stay as they are, so the options page can still raise them.
extern const SettingLimits g_SoftwareFirstStart;

void ReadGameIni(const char* fileName);
void ClampSettings();
void WriteGameIni();
void ResetSettings();
// After a first start's ResetSettings, on a software renderer: lowers the
// view distance, shadows, glow and blur to g_SoftwareFirstStart (none is
// raised) and writes "Game.ini".
void LowerSettingsForSoftwareRenderer();
int RegisterStart();
