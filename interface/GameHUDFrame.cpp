// The in-race display's frame: create and release, the panels in their
// order, and the pause and help overlays with their keys.
#include <algorithm>
#include <cstring>

#include "audio/AudioManager.h"
#include "audio/GameSound.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/GameEventPost.h"
#include "core/RunFlags.h"
#include "core/Settings.h"
#include "interface/GameHUD.h"
#include "interface/MainMenu.h"
#include "racers/VehicleManager.h"
#include "render/D3DRender.h"
#include "render/Draw2D.h"

namespace
{

const char* const kIconsFile = "Data/Interface/HUD/Icons/Icons.dds";
const char* const kSoundFiles[6] = {
    "Data/Audio/Bt/RRS1.wav",     "Data/Audio/Bt/RRS2.wav",  "Data/Audio/Bt/NewUpgr1.wav",
    "Data/Audio/Bt/NewUpgr2.wav", "Data/Audio/Bt/Bt_In.wav", "Data/Audio/Bt/Bt_Pr.wav",
};

// An icon of the sheet on a quad: texels x0.. x0 + width, y0.. y0 + height.
void SetUpIcon(CScreenQuad& quad, TextureId sheet, int x0, int y0, int width, int height)
{
    quad.texture = sheet;
    quad.width = width;
    quad.height = height;
    quad.textureSize = 128;
    quad.SetIcon(x0, y0);
}

}   // namespace

int CGameHUD::Create()
{
    font.Create("Data/Interface/Fonts/Game 01");
    font.UpdateMetrics();
    font.spacing *= -1.25f;

    iconsTexture = g_Render.LoadTexture(kIconsFile, 1, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    SetUpIcon(arrowQuad, iconsTexture, 0, 0, 31, 31);
    SetUpIcon(gaugeQuad, iconsTexture, 0, 32, 127, 95);

    menuMode = previousMenuMode = HUDMENU_CLOSED;
    overlayOpen = cameraOrbit = pauseItem = 0;
    overlayAlpha = minimapAlpha = speedometerAlpha = raceInfoAlpha = 0.0f;
    messageAlpha = messageElapsed = messageDuration = 0.0f;
    messageId = lineCount = 0;
    std::memset(messageLines, 0, sizeof(messageLines));
    hintCount = g_HintCount;
    std::memset(g_HintCount, 0, sizeof(g_HintCount));
    lastHintTime = 0;
    resultChoice = resultOpen = resultDismissed = careerComplete = 0;
    resultAlpha = careerCompleteTime = 0.0f;
    std::memset(&result, 0, sizeof(result));

    racerNames = g_RacerNames;
    LoadRacerNames();

    CGameSound** sounds[6] = {&rowSound, &pointsSound, &fillSound, &upgradeSound, &moveSound, &pressSound};
    for (int i = 0; i < 6; ++i)
        *sounds[i] = g_AudioManager.LoadSound(kSoundFiles[i], SOUND_TYPE_2D, 1.0f, 10.0f);
    if (cursor.texture == -1)
        cursor.Create();

    cursor.visible = 0;
    return 1;
}

void CGameHUD::Release()
{
    font.Release();
    if (iconsTexture >= 0)
        g_Render.ReleaseTexture(iconsTexture);
    iconsTexture = arrowQuad.texture = gaugeQuad.texture = -1;
    cursor.Release();
    CGameSound** sounds[6] = {&rowSound, &pointsSound, &fillSound, &upgradeSound, &moveSound, &pressSound};
    for (CGameSound** s : sounds)
        if (*s)
            g_AudioManager.ReleaseSound(s);
}

void CGameHUD::Render()
{
    IDirect3DDevice9* device = g_Render.device;
    if (!device)
        return;
    g_Render.SetFog(0);
    g_Render.SetLighting(0);
    g_Render.SetZEnable(0);
    g_Render.SetZWrite(0);
    g_Render.SetAlphaBlend(1);
    g_Render.SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    device->SetFVF(SCREENVERTEX_FVF);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_WORLD, &identity);

    if (!overlayOpen)
    {
        DrawCareerComplete();
        DrawMiniMap();
        DrawSpeedometer();
        DrawRaceInfo();
        DrawMessage();
        DrawRaceResult();
    }

    HandleMenuKeys();

    overlayAlpha = HudFade(overlayAlpha, overlayOpen, g_Clock.m_RealStep);
    if (!overlayOpen && overlayAlpha <= 0.0f)
        return;
    g_Render.blurAmount = std::min(1.0f, g_Render.blurAmount + overlayAlpha);
    DrawOverlay();
    if (overlayAlpha >= 1.0f)
        HandleOverlayKeys();
}

void CGameHUD::HandleMenuKeys()
{
    // The front-end menu reads its own keys while it is up.
    if (g_MainMenu.active || GameEventRunning())
        return;
    if (ConsumeKey(KEY_ESC))
        SetMenuMode(menuMode == HUDMENU_CLOSED ? HUDMENU_PAUSE : HUDMENU_CLOSED);
    if (ConsumeKey(KEY_F1))
    {
        if (menuMode == HUDMENU_CLOSED)
            SetMenuMode(HUDMENU_HELP);
        else if (menuMode == HUDMENU_HELP)
            SetMenuMode(HUDMENU_CLOSED);
    }
}

void CGameHUD::SetMenuMode(int mode)
{
    if (mode == menuMode)
        return;
    if (mode == HUDMENU_PAUSE || mode == HUDMENU_HELP)
    {
        overlayOpen = 1;
        HoldRace(D3DXVECTOR3(5.0f, 5.0f, 5.0f), VIEWMODE_CHASE_FAR);
    }
    else
    {
        overlayOpen = 0;
        EndOrbit();
        if (menuMode == HUDMENU_PAUSE || menuMode == HUDMENU_HELP)
        {
            ReleaseGame();
        }
    }
    previousMenuMode = menuMode;
    menuMode = mode;
    pauseItem = 0;
}

void CGameHUD::DrawOverlay()
{
    const int a = HudAlpha(overlayAlpha);
    DrawRect(-1, -1, 801, 601, D3DCOLOR_ARGB(a, 0, 0, 0), g_MainMenu.borderTexture);
    DrawRect(225, 20, 575, 160, D3DCOLOR_ARGB(a / 2, 60, 20, 0));

    if (menuMode == HUDMENU_PAUSE || previousMenuMode == HUDMENU_PAUSE)
    {
        const float h = font.GetTextHeight(0.6f);
        const float top = (140.0f - 3.0f * h) / 2.0f + 20.0f;
        for (int i = 0; i < 3; ++i)
        {
            const float y = top + h * float(i);
            if (i == pauseItem)
                DrawFlatDisc(400, y + h / 2, 175, D3DCOLOR_ARGB(255, a / 2, a / 4, 0), 0xFF000000u, 1.0f, 0.075f);
            const DWORD c = i == pauseItem ? D3DCOLOR_ARGB(a, 0xFF, 0x9B, 0x00) : D3DCOLOR_ARGB(a, 0xC8, 0x64, 0x00);
            const float w = font.GetTextWidth(g_PauseItems[i], 0.6f, 0);
            g_Render.SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
            font.DrawTextColor(400 - w / 2, y, g_PauseItems[i], c, 0.6f, 0);
        }
    }
    if (menuMode == HUDMENU_HELP || previousMenuMode == HUDMENU_HELP)
    {
        const float h = font.GetTextHeight(0.4f);
        const float top = (140.0f - 8.0f * h) / 2.0f + 20.0f;
        for (int i = 0; i < 10; ++i)
        {
            const float y = top + 0.8f * h * float(i);
            DrawFlatDisc(400, y + 10, 160, D3DCOLOR_ARGB(255, a / 3, a / 6, 0), 0xFF000000u, 1.0f, 0.05f);
            g_Render.SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
            const float w = font.GetTextWidth(g_HelpRows[i][0], 0.4f, 0);
            font.DrawTextColor(400 - w, y, g_HelpRows[i][0], D3DCOLOR_ARGB(a, 0x64, 0xC8, 0xFF), 0.4f, 0);
            font.DrawTextColor(400, y, g_HelpRows[i][1], D3DCOLOR_ARGB(a, 0xFF, 0x9B, 0x32), 0.4f, 0);
        }
    }
}

void CGameHUD::HandleOverlayKeys()
{
    if (menuMode == HUDMENU_HELP)
    {
        const int enter = ConsumeKey(KEY_ENTER);
        if (enter | ConsumeKey(KEY_ESC))
        {
            PlaySound(pressSound);
            SetMenuMode(HUDMENU_CLOSED);
        }
        return;
    }
    if (menuMode != HUDMENU_PAUSE)
        return;
    const int previous = pauseItem;
    if (ConsumeKey(KEY_UP) && pauseItem > 0)
        --pauseItem;
    if (ConsumeKey(KEY_DOWN) && pauseItem < 2)
        ++pauseItem;
    if (pauseItem != previous)
        PlaySound(moveSound);

    if (ConsumeKey(KEY_ESC))
    {
        PlaySound(pressSound);
        SetMenuMode(HUDMENU_CLOSED);
        return;
    }
    if (!ConsumeKey(KEY_ENTER))
        return;
    PlaySound(pressSound);
    if (pauseItem == 2)
    {
        SetMenuMode(HUDMENU_CLOSED);
        return;
    }
    if (pauseItem == 0)
    {
        if (g_GameMenu)
            PostGameEvent(GEVENT_TO_MENU, g_PlayerVehicle, 0);
        else
            RequestQuit();
    }
    else
        PostGameEvent(GEVENT_RESTART, g_PlayerVehicle, 0);
    // The event takes over the pause and the camera.
    previousMenuMode = menuMode;
    menuMode = HUDMENU_CLOSED;
    cameraOrbit = 0;
    overlayOpen = 0;
}
