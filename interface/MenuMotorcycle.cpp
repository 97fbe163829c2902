// The new-career question and the motorcycle page: one of the four showroom
// models, a paint scheme, and the new career started on them.
#include <algorithm>

#include "core/CareerData.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/Records.h"
#include "interface/MainMenu.h"
#include "platform/os/Clock.h"
#include "platform/os/Rand.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/Draw2D.h"

namespace
{

CVehicleObject* CareerModel()
{
    return g_Vehicles.showroom[std::clamp((int)g_Career.motorcycle, 0, CAREER_MODELS - 1)];
}

void DrawCentred(CFont& font, float y, const char* text, DWORD colour, float scale)
{
    const float w = font.GetTextWidth(text, scale, 0);
    font.DrawTextGlow(600.0f - w / 2.0f, y, text, colour, 0xFF000000, scale);
}

}   // namespace

void CMainMenu::SelectMotorcycle(int step)
{
    const int m = std::clamp((int)g_Career.motorcycle, 0, CAREER_MODELS - 1);
    g_Career.motorcycle = (m + (step < 0 ? CAREER_MODELS - 1 : 1)) % CAREER_MODELS;
    if (CVehicleObject* model = CareerModel())
        std::copy(model->UpgradeLevels, model->UpgradeLevels + CAREER_SYSTEMS, g_Career.upgradeLevel);
}

void CMainMenu::ChangeColourScheme()
{
    CVehicleObject* model = CareerModel();
    if (!model)
        return;
    model->SetPaint(nullptr, nullptr, nullptr);
    g_Career.decalId = model->DecalId;
    std::copy(model->PaintColor1, model->PaintColor1 + 4, g_Career.colour1);
    std::copy(model->PaintColor2, model->PaintColor2 + 4, g_Career.colour2);
    SaveProfile(0);
}

void CMainMenu::StartNewCareer()
{
    // The combinations opened so far, the motorcycle and its paint stay.
    g_Career.totalScore = 0.0f;
    g_Career.savedRaceIndex = 0;
    g_Career.raceIndex = 0;
    std::fill(g_Career.place, g_Career.place + CAREER_ROWS, 0);
    std::fill(g_Career.raceTime, g_Career.raceTime + CAREER_ROWS, 0.0f);
    if (CVehicleObject* model = CareerModel())
        std::copy(model->UpgradeLevels, model->UpgradeLevels + CAREER_SYSTEMS, g_Career.upgradeLevel);
    g_Career.upgradePoints = 0;
    g_Career.upgradesBought = 0;
    GameSrand(timeGetTime());
    g_Career.voicePitch = (GameRand() % 101) * 0.00625f + 0.9f;
    g_Career.voiceIndex = GameRand() % 2;
    SaveProfile(0);
    SetRecordsPlayer();
    SetState(MENU_MAIN);
}

void CMainMenu::UpdateNewCareerPage()
{
    if (yesButton.IsPressed())
        SetState(MENU_MOTORCYCLE);
    if (noButton.IsPressed() || g_KeyFlags[KEY_ESC])
    {
        ConsumeKey(KEY_ESC);
        SetState(MENU_MAIN);
    }
}

void CMainMenu::UpdateMotorcyclePage()
{
    if (prevButton.IsPressed())
        SelectMotorcycle(-1);
    if (nextButton.IsPressed())
        SelectMotorcycle(1);
    if (motorcycleSchemeButton.IsPressed())
        ChangeColourScheme();
    if (motorcycleOkButton.IsPressed())
        StartNewCareer();
}

void CMainMenu::DrawNewCareerPage()
{
    DrawCentred(menuFont, 305.0f, "START NEW CAREER?", 0xFFFFC864, 0.6f);
    const unsigned p = g_Clock.RealTimeMs() % 500u;
    const DWORD warning = 0xFF000000u | ((unsigned)(155 + p * 0.2) << 16) | ((unsigned)(50 + p * 0.1) << 8);
    DrawCentred(menuFont, 340.0f, "Current progress will by lost!", warning, 0.5f);
    yesButton.Draw(1);
    noButton.Draw(1);
}

void CMainMenu::DrawMotorcyclePage()
{
    DrawMotorcycle(410.0f, 200.0f, 790.0f, 500.0f, nullptr, 1);
    prevButton.Draw(1);
    nextButton.Draw(1);
    motorcycleSchemeButton.Draw(1);
    motorcycleOkButton.Draw(1);
    // Above the showroom, which the model fills to its top edge.
    DrawCentred(menuFont, 172.0f, "CHOOSE YOUR MOTORCYCLE:", 0xFFFFC864, 0.6f);
}
