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

// Race choice, career, motorcycle and upgrade pages.

void CMainMenu::EnterQuickRacePage()
{
    UpdateRaceTexts(1);
}

void CMainMenu::EnterCareerPage()
{
    UpdateRaceTexts(1);
}

void CMainMenu::EnterUpgradePage()
{
    CMenuButton* list[] = {&systemButtons[0], &systemButtons[1], &systemButtons[2], &upgradeOkButton};
    SetFocusList(list, 4, 3);
}

void CMainMenu::UpdateRaceTexts(int) {}

void CMainMenu::CopyRaceOptionsToRow()
{
    const int row = RACE_QUICK_ROW;
    const int laps = g_QuickRaceOptions[2] + 1;
    g_RaceTable.area[row] = g_QuickRaceOptions[0];
    g_RaceTable.season[row] = g_QuickRaceOptions[1];
    g_RaceTable.laps[row] = laps;
    g_RaceTable.reverse[row] = g_QuickRaceOptions[3];
    g_RaceTable.prizes[row][0] = (laps + 4) * 200;
    g_RaceTable.prizes[row][1] = laps * 150 + 400;
    g_RaceTable.prizes[row][2] = (laps + 2) * 100;
    g_RaceTable.difficulty[row] = 2 * g_QuickRaceOptions[4] + 1;
    g_RaceTable.racers[row] = 2 * g_QuickRaceOptions[5] + 8;
}

void CMainMenu::UpdateQuickRacePage()
{
    if (quickStartButton.IsPressed())
        RequestRaceStart(0);
    if (state == MENU_QUICK_RACE && BackFired(&backButton))
        SetState(MENU_MAIN);
}

void CMainMenu::UpdateCareerPage()
{
    if (careerStartButton.IsPressed())
        RequestRaceStart(1);
    careerSchemeButton.IsPressed();
    if (state == MENU_CAREER && BackFired(&backButton))
        SetState(MENU_MAIN);
}

void CMainMenu::UpdateNewCareerPage()
{
    if (yesButton.IsPressed())
        SetState(MENU_MOTORCYCLE);
    if (noButton.IsPressed() || g_KeyFlags[KEY_ESC])
    {
        g_KeyFlags[KEY_ESC] = 0;
        SetState(MENU_MAIN);
    }
}

void CMainMenu::UpdateMotorcyclePage()
{
    prevButton.IsPressed();
    nextButton.IsPressed();
    motorcycleSchemeButton.IsPressed();
    if (motorcycleOkButton.IsPressed())
    {
        SaveProfile(0);
        SetState(MENU_MAIN);
    }
}

void CMainMenu::UpdateUpgradePage()
{
    for (int i = 0; i < MENU_UPGRADE_SYSTEMS; i++)
        if (systemButtons[i].IsPressed())
            selectedSystem = i;
    if (upgradeOkButton.IsPressed())
        SetState(MENU_CAREER);
}

void CMainMenu::DrawQuickRacePage()
{
    menuFont.DrawTextGlow(10.0f, 10.0f, "QUICK RACE mode", 0xFF966400, 0xFFC83200, 0.75f);
    for (CMenuOption& row : raceOptions)
        row.Draw();
    quickStartButton.Draw(1);
    backButton.Draw(1);
}

void CMainMenu::DrawCareerPage()
{
    menuFont.DrawTextGlow(10.0f, 10.0f, "CAREER mode", 0xFF966400, 0xFFC83200, 0.75f);
    for (CMenuOption& row : raceOptions)
        row.DrawReadOnly();
    careerStartButton.Draw(1);
    backButton.Draw(1);
    careerSchemeButton.Draw(1);
}

void CMainMenu::DrawNewCareerPage()
{
    DrawPlainCaption(menuFont, "START NEW CAREER?");
    yesButton.Draw(1);
    noButton.Draw(1);
}

void CMainMenu::DrawMotorcyclePage()
{
    DrawPlainCaption(menuFont, "CHOOSE YOUR MOTORCYCLE:");
    prevButton.Draw(1);
    nextButton.Draw(1);
    motorcycleSchemeButton.Draw(1);
    motorcycleOkButton.Draw(1);
}

void CMainMenu::DrawUpgradePage()
{
    DrawPlainCaption(menuFont, "SELECT SYSTEM TO UPGRADE:");
    for (CMenuButton& system : systemButtons)
        system.Draw(1);
    upgradeOkButton.Draw(1);
}

void CMainMenu::DrawMotorcycle(float, float, float, float, CVehicleObject*, int) {}
