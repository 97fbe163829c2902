// The options pages: the graphics settings edited as pending values until
// ACCEPT or CANCEL, the two volumes changed and written at once, and the
// fixed table of the controls.
#include "interface/MenuOptions.h"

#include <cstdio>

#include "audio/AudioManager.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/Settings.h"
#include "interface/MainMenu.h"
#include "render/D3DRender.h"

namespace
{
// Where the view-distance cycle starts again.
const int kShortestDistance = 100;
const int kDistanceStep = 70;
const DWORD kNoteColour = 0xFF000000;
const DWORD kGlow = 0xFF000000;

const char* const kShadowNames[] = {" Off", " Few", " Average", " All"};
const char* const kSwitchNames[] = {" Off", " On"};

// The controls page is a fixed table; it does not follow the key bindings.
const char* const kControlLabels[] = {"Acceleration :",
                                      "Brake :",
                                      "Turn left :",
                                      "Turn right :",
                                      "Full brake :",
                                      "Jump :",
                                      "Kick to the left :",
                                      "Kick to the right :",
                                      "Back view :",
                                      "Change view :",
                                      "Help :",
                                      "Menu :"};
const char* const kControlKeys[] = {" up arrow", " down arrow", " left arrow", " rigt arrow", " space", " TAB",
                                    " Q",        " W",          " E",          " C",          " F1",    " Esc"};

// Names of a table; an index outside it takes the nearer end.
const char* NameOf(const char* const* names, int count, int index)
{
    if (index < 0)
        index = 0;
    if (index >= count)
        index = count - 1;
    return names[index];
}

// The width and height a mode index shows: a mode outside the device's list
// shows the nearest listed one, as the window is made with, and a device
// without a list the virtual screen.
void ModeSize(int mode, int* width, int* height)
{
    *width = 800;
    *height = 600;
    const int count = g_Render.modeCount;
    if (count <= 0)
        return;
    if (mode >= count)
        mode = count - 1;
    if (mode < 0)
        mode = 0;
    *width = (int)g_Render.modes[mode].Width;
    *height = (int)g_Render.modes[mode].Height;
}

void CopyRunningSettings(CMainMenu& menu)
{
    menu.pendingMode = g_VideoMode;
    menu.pendingDistance = g_ViewDistance;
    menu.pendingShadows = g_ShadowQuality;
    menu.pendingGlow = g_GlowOn;
    menu.pendingBlur = g_BlurOn;
}

// 0 when the value is at its limit (or past it), else one more.
int NextUpTo(int value, int limit)
{
    return value >= limit || value < 0 ? 0 : value + 1;
}

void DrawCentred(CFont& font, float y, const char* text, DWORD colour)
{
    const float w = font.GetTextWidth(text, 0.5f, 0);
    font.DrawTextGlow(600.0f - w / 2.0f, y, text, colour, kGlow, 0.5f);
}
}   // namespace

int NextViewDistance(int distance, int limit)
{
    if (distance >= limit || distance < 0)
        return kShortestDistance;
    return distance + kDistanceStep;
}

const char* ViewDistanceName(int distance)
{
    // Truncating division: 240 still counts as the minimum; 200 and 100 are
    // what the shorter distances read back as from "Game.ini".
    const int step = (distance - 300) / 100;
    if (step <= -2)
        return " Very short";
    if (step == -1)
        return " Short";
    static const char* const kNames[] = {" Minimum", " Average", " Maximum"};
    return NameOf(kNames, 3, step);
}

void CycleVideoOption(CMainMenu& menu, int row)
{
    switch (row)
    {
    case VIDEO_ROW_RESOLUTION:
        menu.pendingMode =
            menu.pendingMode >= g_Render.modeCount - 1 || menu.pendingMode < 0 ? 0 : menu.pendingMode + 1;
        break;
    case VIDEO_ROW_DISTANCE:
        menu.pendingDistance = NextViewDistance(menu.pendingDistance, g_SettingLimits.viewDistance);
        break;
    case VIDEO_ROW_SHADOWS:
        menu.pendingShadows = NextUpTo(menu.pendingShadows, g_SettingLimits.shadowQuality);
        break;
    case VIDEO_ROW_GLOW:
        menu.pendingGlow = NextUpTo(menu.pendingGlow, g_SettingLimits.glow);
        break;
    case VIDEO_ROW_BLUR:
        menu.pendingBlur = NextUpTo(menu.pendingBlur, g_SettingLimits.blur);
        break;
    default:
        return;
    }
    menu.UpdateOptionTexts();
}

void AcceptVideoOptions(CMainMenu& menu)
{
    g_VideoMode = menu.pendingMode;
    g_ViewDistance = menu.pendingDistance;
    g_ShadowQuality = menu.pendingShadows;
    g_GlowOn = menu.pendingGlow;
    g_BlurOn = menu.pendingBlur;
    WriteGameIni();
}

void RestoreVideoOptions(CMainMenu& menu)
{
    CopyRunningSettings(menu);
}

void StepVolume(CMainMenu& menu, int* volume)
{
    *volume = *volume >= 100 || *volume < 0 ? 0 : *volume + 10;
    menu.UpdateOptionTexts();
    WriteGameIni();
    g_AudioManager.ReapplyVolumes();
}

int RestartNoteShown(const CMainMenu& menu)
{
    return menu.pendingMode != g_VideoMode || menu.pendingGlow != g_GlowOn || menu.pendingBlur != g_BlurOn;
}

void CMainMenu::EnterOptionsPage()
{
    UpdateOptionTexts();
}

void CMainMenu::UpdateOptionTexts()
{
    // The settings' own clamp holds the pending values to the same limits:
    // the running values step aside for it and come back unchanged.
    const int running[5] = {g_VideoMode, g_ViewDistance, g_ShadowQuality, g_GlowOn, g_BlurOn};
    g_VideoMode = pendingMode;
    g_ViewDistance = pendingDistance;
    g_ShadowQuality = pendingShadows;
    g_GlowOn = pendingGlow;
    g_BlurOn = pendingBlur;
    ClampSettings();
    CopyRunningSettings(*this);
    g_VideoMode = running[0];
    g_ViewDistance = running[1];
    g_ShadowQuality = running[2];
    g_GlowOn = running[3];
    g_BlurOn = running[4];

    int width = 0, height = 0;
    ModeSize(pendingMode, &width, &height);
    std::snprintf(videoOptions[VIDEO_ROW_RESOLUTION].value, sizeof(videoOptions[0].value), " %dX%d", width, height);
    std::snprintf(videoOptions[VIDEO_ROW_DISTANCE].value, sizeof(videoOptions[0].value), "%s",
                  ViewDistanceName(pendingDistance));
    std::snprintf(videoOptions[VIDEO_ROW_SHADOWS].value, sizeof(videoOptions[0].value), "%s",
                  NameOf(kShadowNames, 4, pendingShadows));
    std::snprintf(videoOptions[VIDEO_ROW_GLOW].value, sizeof(videoOptions[0].value), "%s",
                  NameOf(kSwitchNames, 2, pendingGlow));
    std::snprintf(videoOptions[VIDEO_ROW_BLUR].value, sizeof(videoOptions[0].value), "%s",
                  NameOf(kSwitchNames, 2, pendingBlur));
    std::snprintf(musicOption.value, sizeof(musicOption.value), " %d%%", g_MusicVolume);
    std::snprintf(effectsOption.value, sizeof(effectsOption.value), " %d%%", g_EffectsVolume);

    g_AudioManager.ReapplyVolumes();
}

void CMainMenu::UpdateOptionsPage()
{
    if (graphicsButton.IsPressed())
        SetState(MENU_GRAPHICS);
    if (audioButton.IsPressed())
        SetState(MENU_AUDIO);
    if (controlsButton.IsPressed())
        SetState(MENU_CONTROLS);
    if (state == MENU_OPTIONS && BackFired(&backButton))
        SetState(MENU_MAIN);
}

void CMainMenu::UpdateGraphicsPage()
{
    for (int row = 0; row < MENU_VIDEO_OPTIONS; ++row)
        if (videoOptions[row].label.IsPressed())
            CycleVideoOption(*this, row);
    if (acceptButton.IsPressed())
    {
        AcceptVideoOptions(*this);
        SetState(MENU_OPTIONS);
    }
    if (cancelButton.IsPressed() || g_KeyFlags[KEY_ESC])
    {
        RestoreVideoOptions(*this);
        ConsumeKey(KEY_ESC);
        SetState(MENU_OPTIONS);
    }
}

void CMainMenu::UpdateAudioPage()
{
    if (musicOption.label.IsPressed())
        StepVolume(*this, &g_MusicVolume);
    if (effectsOption.label.IsPressed())
        StepVolume(*this, &g_EffectsVolume);
    if (state == MENU_AUDIO && BackFired(&backButton))
        SetState(MENU_OPTIONS);
}

void CMainMenu::UpdateControlsPage()
{
    if (BackFired(&backButton))
        SetState(MENU_OPTIONS);
}

void CMainMenu::DrawOptionsPage()
{
    graphicsButton.Draw(1);
    audioButton.Draw(1);
    controlsButton.Draw(1);
    backButton.Draw(1);
}

void CMainMenu::DrawGraphicsPage()
{
    if (RestartNoteShown(*this))
    {
        // A red-orange pulse every half second of the game's real clock, in
        // step with the other pages' pulses.
        const unsigned p = g_Clock.RealTimeMs() % 500u;
        const DWORD colour =
            kNoteColour | (DWORD)(155 + (unsigned)(p * 0.2f)) << 16 | (DWORD)(50 + (unsigned)(p * 0.1f)) << 8;
        DrawCentred(menuFont, 200.0f, "CHANGES WILL TAKES EFFECT", colour);
        DrawCentred(menuFont, 220.0f, "AFTER RESTART GAME!", colour);
    }
    for (CMenuOption& row : videoOptions)
        row.Draw();
    acceptButton.Draw(1);
    cancelButton.Draw(1);
}

void CMainMenu::DrawAudioPage()
{
    musicOption.Draw();
    effectsOption.Draw();
    backButton.Draw(1);
}

void CMainMenu::DrawControlsPage()
{
    for (int i = 0; i < 12; ++i)
    {
        const float y = 236.0f + 22.0f * (float)i;
        const float w = menuFont.GetTextWidth(kControlLabels[i], 0.5f, 0);
        menuFont.DrawTextGlow(605.0f - w, y, kControlLabels[i], 0xFFFFB2B2, kGlow, 0.5f);
        menuFont.DrawTextGlow(605.0f, y, kControlKeys[i], 0xFFFF7F00, kGlow, 0.5f);
    }
    backButton.Draw(1);
}
