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

void ReadGameIni(const char* fileName);
void ClampSettings();
void WriteGameIni();
void ResetSettings();
int RegisterStart();
