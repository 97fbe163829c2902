// The upgrade page: upgrade points spent one at a time on the engine, the
// transmission or the chassis, each up to level 10.
#include "audio/GameSound.h"
#include "core/CareerData.h"
#include "interface/MainMenu.h"
#include "render/Draw2D.h"

#define UPGRADE_MAX_LEVEL 10

void CMainMenu::EnterUpgradePage()
{
    int first = -1;
    for (int i = 0; i < MENU_UPGRADE_SYSTEMS; ++i)
    {
        systemButtons[i].enabled = g_Career.upgradeLevel[i] < UPGRADE_MAX_LEVEL;
        if (systemButtons[i].enabled && first < 0)
            first = i;
    }
    // With every system at the top OK takes the focus and the selection stays.
    if (first >= 0)
        selectedSystem = first;
    CMenuButton* list[] = {&systemButtons[0], &systemButtons[1], &systemButtons[2], &upgradeOkButton};
    SetFocusList(list, 4, first >= 0 ? first : 3);
}

void CMainMenu::BuyUpgrade()
{
    if (soundUpgrade)
        soundUpgrade->Play(0);
    // Nothing is bought past the top level, whatever system is selected.
    const int s = selectedSystem;
    const bool bought = s >= 0 && s < MENU_UPGRADE_SYSTEMS && g_Career.upgradeLevel[s] < UPGRADE_MAX_LEVEL;
    if (bought)
    {
        g_Career.upgradeLevel[s] += 1;
        g_Career.upgradesBought += 1;
        if (g_Career.upgradePoints > 0)
            g_Career.upgradePoints -= 1;
    }
    bool allAtTop = true;
    for (int i = 0; i < MENU_UPGRADE_SYSTEMS; ++i)
        allAtTop = allAtTop && g_Career.upgradeLevel[i] >= UPGRADE_MAX_LEVEL;
    // Points that nothing can be bought with any more are dropped.
    if (allAtTop && g_Career.upgradePoints > 0)
        g_Career.upgradePoints = 0;
    SaveProfile(0);
    SetState(g_Career.upgradePoints <= 0 ? MENU_CAREER : MENU_UPGRADE);
}

void CMainMenu::UpdateUpgradePage()
{
    for (int i = 0; i < MENU_UPGRADE_SYSTEMS; ++i)
        if (systemButtons[i].IsPressed())
            selectedSystem = i;
    if (upgradeOkButton.IsPressed())
        BuyUpgrade();
}

void CMainMenu::DrawUpgradePage()
{
    DrawMotorcycle(230.0f, 200.0f, 610.0f, 500.0f, nullptr, 1);
    for (int i = 0; i < MENU_UPGRADE_SYSTEMS; ++i)
    {
        const DWORD colour = i == selectedSystem ? 0xFFFFFFFF : 0xFF321400;
        // The icon ends just before its button's caption, which starts at
        // x 600: over the bright icon the first letter would be lost.
        const float top = 260.0f + 80.0f * i, left = 524.0f;
        DrawRect(left, top, left + 70.0f, top + 70.0f, colour, upgradeTextures[i]);
        DrawRectOutline(left, top, left + 70.0f, top + 70.0f, colour);
        systemButtons[i].Draw(1);
    }
    upgradeOkButton.Draw(1);
    const char* caption = "SELECT SYSTEM TO UPGRADE:";
    const float w = menuFont.GetTextWidth(caption, 0.6f, 0);
    menuFont.DrawTextGlow(600.0f - w / 2.0f, 220.0f, caption, 0xFFFFC864, 0xFF000000, 0.6f);
}
