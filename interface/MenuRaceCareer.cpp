// The career page: the next career race shown read-only in the race rows,
// the cups won so far, the overall score and the player's motorcycle.
#include "core/CareerData.h"
#include "core/RaceState.h"
#include "interface/MainMenu.h"
#include "interface/MenuRaceRules.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/Draw2D.h"
#include "world/Landscape.h"

#include <algorithm>
#include <cstdio>

void CMainMenu::EnterCareerPage()
{
    // A quick race leaves raceIndex at 18; the career goes on from the row it
    // had reached, never from the quick race's or a row past the table.
    g_Career.raceIndex = CareerRowInRange(g_Career.raceIndex, g_Career.savedRaceIndex);
    CareerRowToChoices(g_RaceTable, g_Career.raceIndex, g_QuickRaceOptions);
    UpdateRaceTexts(1);

    CVehicleObject* model = g_Vehicles.showroom[std::clamp((int)g_Career.motorcycle, 0, CAREER_MODELS - 1)];
    if (!model)
        return;
    if (g_Career.decalId == 0)
        CareerTakesModelPaint(model);   // the model's own paint becomes the career's
    else
    {
        // A career that asks for a random scheme (-1) gets a new one drawn
        // on every visit; the career itself keeps asking.
        int decal = g_Career.decalId;
        model->SetPaint(&decal, g_Career.colour1, g_Career.colour2);
    }
}

void CMainMenu::UpdateCareerPage()
{
    if (careerStartButton.IsPressed())
        RequestRaceStart(1);
    if (careerSchemeButton.IsPressed())
        ChangeColourScheme();
    if (state == MENU_CAREER && BackFired(&backButton))
        SetState(MENU_MAIN);
}

void CMainMenu::DrawCareerPage()
{
    menuFont.DrawTextGlow(10.0f, 10.0f, "CAREER mode", 0xFF966400, 0xFFC83200, 0.75f);
    DrawRectGradient(0.0f, 50.0f, 400.0f, 60.0f, 0x80826400, 0x80826400, 0x00826400, 0x00826400);
    // Light text on the bar and over the glows: the darker shades of the
    // first layout vanished into the dark page.
    menuFont.DrawTextColor(10.0f, 52.0f, "ACHIEVEMENTS:", 0xFFC89600, 0.4f, 0);
    const char* const cups[3] = {"Summer Cup:", "Autumn Cup:", "Winter Cup:"};
    // The cups start at 100, or past the longest cup name when the font
    // makes it wider than that.
    float cupsLeft = 100.0f;
    for (int s = 0; s < 3; ++s)
    {
        menuFont.DrawTextGlow(10.0f, 75.0f + 45.0f * s, cups[s], 0xFFFFC864, 0xFF9B3200, 0.4f);
        cupsLeft = std::max(cupsLeft, 10.0f + menuFont.GetTextWidth(cups[s], 0.4f, 0) + 6.0f);
    }

    // One cup per career race, in rows by season; a dark silhouette for a
    // race not yet raced or not on the podium.
    int drawn[3] = {0, 0, 0};
    for (int i = 0; i < CAREER_RACES; ++i)
    {
        const int s = std::clamp(g_RaceTable.season[i], 0, 2);
        const int k = drawn[s]++;
        const int place = g_Career.place[i];
        const float x1 = cupsLeft + 40.0f * k, y1 = 65.0f + 45.0f * s;
        if (place >= 1 && place <= 3)
            DrawRect(x1, y1, x1 + 40.0f, y1 + 41.0f, 0xFEFFFFFF, cupTextures[place - 1]);
        else
            DrawRect(x1, y1, x1 + 40.0f, y1 + 41.0f, 0xFE000000, cupTextures[2]);
    }

    // The score at 110, or just past its label when the label is wider.
    menuFont.DrawTextColor(10.0f, 196.0f, "Overall score:", 0xFFC89600, 0.5f, 0);
    const float scoreX = std::max(110.0f, 10.0f + menuFont.GetTextWidth("Overall score:", 0.5f, 0) + 8.0f);
    char score[32];
    std::snprintf(score, sizeof score, "%0.f", g_Career.totalScore);
    menuFont.DrawTextGlow(scoreX, 196.0f, score, 0xFFC89600, 0xFF9B3200, 0.5f);

    DrawRectGradient(310.0f, 220.0f, 700.0f, 500.0f, 0xFFFFFFFF, 0xFFFFFFFF, 0x00FFFFFF, 0x00FFFFFF, trackPicture);
    DrawRectOutlineGradient(310.0f, 220.0f, 700.0f, 500.0f, 0xFFFFFFFF, 0xFFFFFFFF, 0x00FFFFFF, 0x00FFFFFF);
    DrawRect(320.0f, 230.0f, 460.0f, 390.0f, 0xFEFFFFFF, g_Landscape.routeMapTexture);
    for (CMenuOption& row : raceOptions)
        row.DrawReadOnly();
    careerStartButton.Draw(1);
    backButton.Draw(1);

    DrawRectGradient(0.0f, 220.0f, 300.0f, 500.0f, 0x00000000, 0x00000000, 0xC8000000, 0xC8000000);
    DrawRectOutlineGradient(0.0f, 220.0f, 300.0f, 500.0f, 0x00FFFFFF, 0x00FFFFFF, 0xFFFFFFFF, 0xFFFFFFFF);
    DrawMotorcycle(0.0f, 200.0f, 300.0f, 480.0f, nullptr, 1);
    careerSchemeButton.Draw(1);
}
