// Drawing of the profile list and the name entry page.
#include <cstring>

#include "core/CareerData.h"
#include "core/GameClock.h"
#include "core/Records.h"
#include "interface/MainMenu.h"
#include "render/Draw2D.h"
#include "render/Font.h"

namespace
{
void DrawCentred(CFont& font, const char* text, float cx, float top, float scale, DWORD colour, DWORD glow)
{
    float w = font.GetTextWidth(text, scale, 0);
    font.DrawTextGlow(cx - w / 2.0f, top, text, colour, glow, scale);
}
}   // namespace

void CMainMenu::DrawProfilesPage()
{
    DrawCentred(menuFont, "SELECT PROFILE:", 600.0f, 205.0f, 0.6f, 0xFFFFCC99, 0xFF000000);
    for (int i = 0; i < MENU_PROFILE_SLOTS; ++i)
    {
        CMenuButton& slot = buttons[i];
        slot.Draw(1);
        DWORD bar = !slot.enabled ? 0xFF320000 : (i == g_CurrentProfile ? 0xFF643200 : 0xFF000032);
        // A glow bar under the name, fading out to both sides.
        DrawRectAdditiveGradient(slot.x - 150.0f, slot.y - 10.0f, slot.x, slot.y + 10.0f, 0xFF000000, 0xFF000000, bar,
                                 bar);
        DrawRectAdditiveGradient(slot.x, slot.y - 10.0f, slot.x + 150.0f, slot.y + 10.0f, bar, bar, 0xFF000000,
                                 0xFF000000);
    }
    buttons[BUTTON_PROFILES_DONE].Draw(1);
    buttons[BUTTON_NEW_PROFILE].Draw(1);
    buttons[BUTTON_DELETE_PROFILE].Draw(1);
}

void CMainMenu::DrawNewProfilePage()
{
    DrawCentred(menuFont, "ENTER YOUR NAME:", 600.0f, 295.0f, 0.6f, 0xFFFFCC99, 0xFF000000);
    DrawRect(420.0f, 335.0f, 780.0f, 420.0f, 0x80000000);
    DrawRectOutline(420.0f, 335.0f, 780.0f, 420.0f, 0xFFFF8000);
    char name[PROFILE_NAME_SIZE] = {};
    std::memcpy(name, g_PlayerName, PROFILE_NAME_SIZE - 1);
    DrawCentred(menuFont, name, 600.0f, 360.0f, 0.75f, 0xFFFF8000, 0xFF000000);

    // The caret brightens over half a second and starts again.
    float w = menuFont.GetTextWidth(name, 0.75f, 0);
    unsigned p = g_Clock.RealTimeMs() % 500u;
    DWORD caret = 0xFF000000 | ((unsigned)(55 + p * 0.4f) << 16) | ((unsigned)(55 + p * 0.2f) << 8);
    DrawPanel(600.0f + w / 2.0f + 10.0f, 370.0f, 600.0f + w / 2.0f + 20.0f, 390.0f, caret);

    buttons[BUTTON_NAME_DONE].Draw(1);
    if (profileCount != 0)
        backButton.Draw(1);
}
