// The credits page: the roles of the team and their people, and a closing
// line, all centred under the title.
#include "core/Controls.h"
#include "interface/MainMenu.h"

namespace
{
const DWORD kCaption = 0xFFFF9600;
const DWORD kName = 0xFFFFFFFF;
const DWORD kClosing = 0xFFFF9664;

struct CreditLine
{
    float y;
    const char* text;
    DWORD colour;
};

const CreditLine kCredits[] = {
    {220.0f, "PROGRAMMING, PHYSICS", kCaption},
    {240.0f, "AND GAME DESIGN", kCaption},
    {260.0f, "The Trallowmere Workshop", kName},
    {300.0f, "ART AND TRACKS", kCaption},
    {320.0f, "Valley Road Studio", kName},
    {360.0f, "MUSIC AND SOUND", kCaption},
    {380.0f, "The Hillside Band", kName},
    {400.0f, "and the Test Riders Club", kName},
    {440.0f, "Thank you for riding with us!", kClosing},
};
}   // namespace

void CMainMenu::UpdateCreditsPage()
{
    if (BackFired(&backButton))
        SetState(MENU_MAIN);
}

void CMainMenu::DrawCreditsPage()
{
    for (const CreditLine& line : kCredits)
    {
        const float w = menuFont.GetTextWidth(line.text, 0.5f, 0);
        menuFont.DrawTextGlow(600.0f - w / 2.0f, line.y, line.text, line.colour, 0xFF000000, 0.5f);
    }
    backButton.Draw(1);
}
