// Plain bodies of the pages that still wait for their own work: each draws its
// page caption and buttons and follows the page flow, nothing more. Whoever
// builds a page removes its functions from here.
#include "core/Controls.h"
#include "core/RaceState.h"
#include "interface/MainMenu.h"
#include "render/D3DRender.h"
#include "render/Draw2D.h"

namespace
{
void DrawPlainCaption(CFont& font, const char* caption)
{
    float w = font.GetTextWidth(caption, 0.6f, 0);
    font.DrawTextGlow(600.0f - w / 2.0f, 205.0f, caption, 0xFFFFCC99, 0xFF000000, 0.6f);
}
}   // namespace

// Options pages.

void CMainMenu::EnterOptionsPage()
{
    UpdateOptionTexts();
}

void CMainMenu::UpdateOptionTexts() {}

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
    for (CMenuOption& row : videoOptions)
        row.label.IsPressed();
    if (acceptButton.IsPressed())
        SetState(MENU_OPTIONS);
    if (cancelButton.IsPressed() || g_KeyFlags[KEY_ESC])
    {
        g_KeyFlags[KEY_ESC] = 0;
        SetState(MENU_OPTIONS);
    }
}

void CMainMenu::UpdateAudioPage()
{
    musicOption.label.IsPressed();
    effectsOption.label.IsPressed();
    if (BackFired(&backButton))
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
    DrawPlainCaption(menuFont, "CONTROLS");
    backButton.Draw(1);
}

// Records and credits pages, loading screen.

void CMainMenu::UpdateCreditsPage()
{
    if (BackFired(&backButton))
        SetState(MENU_MAIN);
}

void CMainMenu::UpdateRecordsPage()
{
    if (recordsOkButton.IsPressed() || g_KeyFlags[KEY_ESC])
    {
        g_KeyFlags[KEY_ESC] = 0;
        SetState(MENU_MAIN);
    }
}

void CMainMenu::DrawCreditsPage()
{
    DrawPlainCaption(menuFont, "CREDITS");
    backButton.Draw(1);
}

void CMainMenu::DrawRecordsTable()
{
    DrawPlainCaption(menuFont, "BEST RACERS:");
    recordsOkButton.Draw(1);
}

void CMainMenu::DrawLoadingScreen(int present)
{
    // The program start's own presented frames wait for the loading screen's work.
    if (present)
        return;
    if (loadingTexture == -1)
        loadingTexture = g_Render.LoadTexture("Data/Interface/Menu_Main/LoadingScreen.bmp", 1, 1, 0);
    DrawRect(-1.0f, -1.0f, 801.0f, 601.0f, 0xFF808080, loadingTexture);
    float w = menuFont.GetTextWidth("LOADING...", 0.8f, 0);
    menuFont.DrawTextGlow(410.0f - w / 2.0f, 550.0f, "LOADING...", 0xFFFF9664, 0xFF000000, 0.8f);
    DrawTitle();
}
