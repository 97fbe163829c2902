// The quick-race page: six choices among the combinations the career has
// opened, the value texts of the race rows, and race-table row 18 made from
// the choices when a race starts from the menu.
#include <cstdio>

#include "core/CareerData.h"
#include "core/GameClock.h"
#include "core/RaceState.h"
#include "interface/MainMenu.h"
#include "interface/MenuRaceRules.h"
#include "render/D3DRender.h"
#include "render/Draw2D.h"
#include "world/Landscape.h"

namespace
{

const char* const kTrackNames[3] = {" 'Lakes valley'", " 'Rocky bluff'", " 'Last border'"};
const char* const kSeasonNames[3] = {" Summer Cup", " Autumn Cup", " Winter Cup"};
const char* const kReverseNames[2] = {" Off", " On"};
const char* const kDifficultyNames[3] = {" Easy", " Medium", " Hard"};

const char* Pick(const char* const* names, int count, int value)
{
    return value >= 0 && value < count ? names[value] : "";
}

// Whether the chosen track and season are open for a quick race.
int ChosenCombinationOpen()
{
    const int track = g_QuickRaceOptions[CHOICE_TRACK], season = g_QuickRaceOptions[CHOICE_SEASON];
    if (track < 0 || track > 2 || season < 0 || season > 2)
        return 0;
    return g_Career.unlocked[track * 3 + season] != 0;
}

}   // namespace

void CMainMenu::UpdateRaceTexts(int withPictures)
{
    const int* o = g_QuickRaceOptions;
    if (withPictures)
    {
        char name[96];
        std::snprintf(name, sizeof name, "Data/Interface/Menu_Main/Tracks/Track%d_%02d.bmp", o[CHOICE_TRACK] + 1,
                      o[CHOICE_SEASON] + 1);
        if (trackPicture != -1)
            g_Render.ReleaseTexture(trackPicture);
        trackPicture = g_Render.LoadTexture(name, 1, 1, 0);
        g_Landscape.LoadRouteMap(o[CHOICE_TRACK]);
    }
    std::snprintf(raceOptions[CHOICE_TRACK].value, sizeof raceOptions[0].value, "%s",
                  Pick(kTrackNames, 3, o[CHOICE_TRACK]));
    std::snprintf(raceOptions[CHOICE_SEASON].value, sizeof raceOptions[0].value, "%s",
                  Pick(kSeasonNames, 3, o[CHOICE_SEASON]));
    std::snprintf(raceOptions[CHOICE_LAPS].value, sizeof raceOptions[0].value, " %d", o[CHOICE_LAPS] + 1);
    std::snprintf(raceOptions[CHOICE_REVERSE].value, sizeof raceOptions[0].value, "%s",
                  Pick(kReverseNames, 2, o[CHOICE_REVERSE]));
    std::snprintf(raceOptions[CHOICE_DIFFICULTY].value, sizeof raceOptions[0].value, "%s",
                  Pick(kDifficultyNames, 3, o[CHOICE_DIFFICULTY]));
    std::snprintf(raceOptions[CHOICE_RACERS].value, sizeof raceOptions[0].value, " %d", 2 * o[CHOICE_RACERS] + 8);
}

void CMainMenu::EnterQuickRacePage()
{
    UpdateRaceTexts(1);
    quickStartButton.enabled = ChosenCombinationOpen();
}

void CMainMenu::CopyRaceOptionsToRow()
{
    ChoicesToRaceRow(g_QuickRaceOptions, g_RaceTable, RACE_QUICK_ROW);
}

void CMainMenu::UpdateQuickRacePage()
{
    for (int i = 0; i < MENU_RACE_OPTIONS; ++i)
    {
        if (!raceOptions[i].label.IsPressed())
            continue;
        g_QuickRaceOptions[i] = NextRaceChoice(i, g_QuickRaceOptions[i]);
        if (i == CHOICE_TRACK || i == CHOICE_SEASON)
        {
            UpdateRaceTexts(1);
            quickStartButton.enabled = ChosenCombinationOpen();
        }
        else
            UpdateRaceTexts(0);
    }
    if (quickStartButton.IsPressed())
        RequestRaceStart(0);
    if (state == MENU_QUICK_RACE && BackFired(&backButton))
        SetState(MENU_MAIN);
}

void CMainMenu::DrawQuickRacePage()
{
    menuFont.DrawTextGlow(10.0f, 10.0f, "QUICK RACE mode", 0xFF966400, 0xFFC83200, 0.75f);
    // The track picture fades out to the right, the route map over its corner.
    DrawRectGradient(100.0f, 220.0f, 700.0f, 500.0f, 0xFEFFFFFF, 0xFEFFFFFF, 0x00FFFFFF, 0x00FFFFFF, trackPicture);
    DrawRectOutlineGradient(100.0f, 220.0f, 700.0f, 500.0f, 0xFEFFFFFF, 0xFEFFFFFF, 0x00FFFFFF, 0x00FFFFFF);
    DrawRect(110.0f, 230.0f, 250.0f, 390.0f, 0xFEFFFFFF, g_Landscape.routeMapTexture);
    if (ChosenCombinationOpen())
        quickStartButton.Draw(1);
    else
    {
        // A red pulse every half second.
        const unsigned p = g_Clock.RealTimeMs() % 500u;
        const DWORD colour = 0xFF000000u | ((unsigned)(55 + p * 0.4) << 16) | ((unsigned)(p * 0.1) << 8);
        const char* text = "NOT AVAILABLE!";
        const float w = menuFont.GetTextWidth(text, 0.6f, 0);
        menuFont.DrawTextGlow(600.0f - w / 2.0f, 436.0f, text, colour, 0xFF000000, 0.6f);
    }
    for (CMenuOption& row : raceOptions)
        row.Draw();
    backButton.Draw(1);
}
