// The run flags, the input state and the settings: plain globals with their
// start values.
#include "core/AppState.h"
#include "core/Settings.h"

int g_AppActive = 0;
int g_Quit = 0;
int g_GameRunning = 0;
HWND g_hwnd = nullptr;
const char* g_AppName = "Trallowmere";

int g_MouseX = 0;
int g_MouseY = 0;
int g_PrevMouseX = 0;
int g_PrevMouseY = 0;
int g_MouseButtons[2] = {0, 0};
int g_TextInput = 0;
unsigned char g_TextChar = 0;

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
