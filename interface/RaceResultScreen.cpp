// The FINAL RESULT screen with its rows animating in, the cup, the upgrade
// progress and the choice; the career step behind CONTINUE; the
// career-complete screen.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "audio/AudioManager.h"
#include "audio/GameSound.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/GameEventPost.h"
#include "core/Records.h"
#include "core/Settings.h"
#include "interface/GameHUD.h"
#include "interface/MainMenu.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/Draw2D.h"

namespace
{

float Rise(float fade, float rate)
{
    return std::min(1.0f, fade + rate * g_Clock.m_RealStep);
}

void DrawCentred(CFont& font, float cx, float y, const char* text, DWORD colour, float scale)
{
    font.DrawTextColor(cx - font.GetTextWidth(text, scale, 0) / 2, y, text, colour, scale, 0);
}

void DrawCentredGlow(CFont& font, float cx, float y, const char* text, DWORD colour, DWORD glow, float scale)
{
    font.DrawTextGlow(cx - font.GetTextWidth(text, scale, 0) / 2, y, text, colour, glow, scale);
}

}   // namespace

void CGameHUD::ShowRaceResult(int show)
{
    if (show == resultOpen)
        return;
    if (!show)
    {
        resultOpen = 0;
        return;
    }
    g_RaceResult = RaceResultPoints{};
    std::memset(&result, 0, sizeof(result));

    const CVehicleObject* player = g_PlayerVehicle;
    RaceStats stats{};
    if (player)
        stats = player->RaceStats;
    const int row = HudRaceRow();
    g_RaceResult = ScoreRace(stats, g_RaceTable.prizes[row]);
    result.place = stats.Position + 1;
    result.raceTime = stats.RaceTime;

    const CVehicleObject* winner = g_RaceOrderCount > 0 ? g_RaceOrder[0] : nullptr;
    float bestTime = winner ? winner->RaceStats.RaceTime : 0.0f;
    char holder[RECORD_NAME_SIZE] = "";
    if (winner)
        std::snprintf(holder, sizeof(holder), "%.20s", winner->Name);
    if (g_CareerMode)
    {
        // The row's record: a winner who beats it, or any winner while the
        // row has none, takes it (and the records file is saved).
        if (winner)
            SetBestTime(row, bestTime, holder);
        bestTime = g_Records.best[row];
        std::snprintf(holder, sizeof(holder), "%.20s", g_Records.holder[row]);
    }
    FillResultRows(stats, g_RaceResult, bestTime, holder);

    resultOpen = 1;
    resultDismissed = 0;
    resultChoice = 0;
    resultAlpha = 0.0f;
    g_AudioManager.PlayCrowd(CupIndexForPlace(result.place) >= 0 ? CROWD_APP : CROWD_FOO, 1);
}

void CGameHUD::DrawRaceResult()
{
    if (!resultOpen)
        return;
    resultAlpha = Rise(resultAlpha, 2.5f);
    DrawRect(-1, -1, 801, 601, D3DCOLOR_ARGB(HudAlpha(resultAlpha), 0, 0, 0), g_MainMenu.borderTexture);
    const float h = font.GetTextHeight(0.4f);
    DrawCentredGlow(font, 150 - 300 + 300 * resultAlpha, 40, "FINAL RESULT", 0xFFFAC832u, 0xFF000000u, 0.48f);

    float y = 2 * h + 40;
    for (int r = 0; r < RESULT_ROWS; ++r)
    {
        if (r == RESULT_ROWS - 1)
            y += h;   // the total stands apart
        float* f = result.fade[r];
        f[0] = Rise(f[0], 4.0f);
        const float x = 300 * f[0] - 300;
        DrawRectGradient(x, y + 6, x + 220, y + h, 0xFFB44600u, 0xFFB44600u, 0x00B44600u, 0x00B44600u);
        if (r != RESULT_ROWS - 1)
            DrawRectGradient(x + 220, y + 6, x + 280, y + h, 0x80B44600u, 0x80B44600u, 0x00B44600u, 0x00B44600u);
        if (r == 0 || r == 2 || r >= 5)
            DrawRectGradient(x + 300, y + 6, x + 360, y + h, 0x80A08C00u, 0x80A08C00u, 0x00A08C00u, 0x00A08C00u);
        font.DrawText(x + 10, y, g_ResultRows[r][0], 0xFFFFFF00u, 0xFFC86400u, 0.4f, 0);
        if (!result.rowSoundPlayed[r])
        {
            result.rowSoundPlayed[r] = 1;
            PlaySound(rowSound);
        }
        if (f[0] < 1.0f)
            return;

        f[1] = Rise(f[1], 4.0f);
        font.DrawTextColor(x + 221, y, g_ResultRows[r][1], D3DCOLOR_ARGB(int(255 * f[1]), 0xFA, 0xFA, 0x32),
                           2.0f - 1.6f * f[1], 0);
        if (f[1] < 1.0f)
            return;

        if (!result.pointsSoundPlayed[r])
        {
            result.pointsSoundPlayed[r] = 1;
            PlaySound(pointsSound);
        }
        f[2] = Rise(f[2], 4.0f);
        if (g_ResultRows[r][2][0])
        {
            const float scale = 2.0f - 1.6f * f[2];
            const int alpha = int(255 * f[2]);
            const float end =
                font.DrawTextColor(x + 301, y, g_ResultRows[r][2], D3DCOLOR_ARGB(alpha, 0xFA, 0x80, 0x32), scale, 0);
            if (r != 2)
                font.DrawTextColor(end, y + 0.3f * h, "pt", D3DCOLOR_ARGB(alpha, 0xBE, 0x5A, 0x14), 0.7f * scale, 0);
        }
        if (f[2] < 1.0f)
            return;
        y += h;
    }

    const int cup = CupIndexForPlace(result.place);
    if (cup >= 0)
    {
        result.cupFade = Rise(result.cupFade, 4.0f);
        const float s = 80 - 45 * result.cupFade;
        DrawRect(150 - s, y + 2 * h - s, 150 + s, y + 2 * h + s,
                 D3DCOLOR_ARGB(int(254 * result.cupFade), 0xFF, 0xFF, 0xFF), g_MainMenu.cupTextures[cup]);
        y += 3 * h;
        if (result.cupFade < 1.0f)
            return;
    }

    CareerData& career = g_Career;
    if (g_CareerMode && CareerCanUpgrade(career))
    {
        if (!result.fillSoundStarted && fillSound)
            fillSound->Play(1);
        result.fillSoundStarted = 1;
        DrawRect(0, y + 8, 400, y + 11, 0xFFC8C800u);
        result.progressFade = std::min(1.0f, result.progressFade + 0.5f * g_Clock.m_RealStep);
        const float p = result.progressFade;
        const float k = std::min(1.0f, 4 * p);
        // Light orange with a black glow: the dark red of the first layout
        // was lost over the race behind the screen.
        DrawCentredGlow(font, 150, y + 14, "UPGRADE PROGRESS:", D3DCOLOR_ARGB(int(255 * k), 0xFA, 0x96, 0x32),
                        D3DCOLOR_ARGB(int(255 * k), 0, 0, 0), 0.4f);
        const float y2 = y + 14 + h;
        DrawRect(50, y2, 250, y2 + h - 5, D3DCOLOR_ARGB(int(128 * k), 0, 0, 0));
        DrawRectOutline(50, y2, 250, y2 + h - 5, D3DCOLOR_ARGB(int(255 * k), 0x64, 0x64, 0x00));
        const float progress =
            (float(g_RaceResult.total) * p + career.totalScore - float(career.upgradesBought) * 1000.0f) / 1000.0f;
        const float u = std::max(0.0f, std::min(1.0f, std::isfinite(progress) ? progress : 0.0f));
        DrawRectGradient(53, y2 + 3, 53 + 194 * u, y2 + h - 8, 0xFF3C0000u, 0xFF3C0000u, 0xFFFF3200u, 0xFFFF3200u);
        if (u >= 1.0f)
            result.progressFade = 1.0f;
        if (result.progressFade < 1.0f)
            return;
        if (fillSound && fillSound->IsPlaying())
            fillSound->Stop();
        y = y2 + h;
        if (u >= 1.0f)
        {
            if (!result.upgradeSoundPlayed)
                PlaySound(upgradeSound);
            result.upgradeSoundPlayed = 1;
            const int q = int(g_Clock.RealTimeMs() % 500u);
            DrawCentred(font, 150, y, "NEW UPGRADE AVAILABLE!", D3DCOLOR_ARGB(255, 100 + q / 4, 50 + q / 5, 0), 0.32f);
        }
        y += h;
    }

    // The choice.
    DrawRect(0, y + 8, 400, y + 11, 0xFFC8C800u);
    const float cy = y + 16;
    DrawRectGradient(40, cy, 150, cy + h, 0x00500000u, 0x00500000u, 0xC0500000u, 0xC0500000u);
    DrawRectGradient(150, cy, 260, cy + h, 0xC0500000u, 0xC0500000u, 0x00500000u, 0x00500000u);
    const DWORD chosen = 0xFFFFC800u, chosenGlow = 0xFF9B6400u, other = 0xFF9B6400u, otherGlow = 0xFF370000u;
    font.DrawTextGlow(50, cy, "CONTINUE", resultChoice == 0 ? chosen : other,
                      resultChoice == 0 ? chosenGlow : otherGlow, 0.4f);
    font.DrawTextGlow(250 - font.GetTextWidth("RESTART", 0.4f, 0), cy, "RESTART", resultChoice == 1 ? chosen : other,
                      resultChoice == 1 ? chosenGlow : otherGlow, 0.4f);

    if (ConsumeKey(KEY_RIGHT))
    {
        resultChoice = 1;
        PlaySound(pressSound);
    }
    if (ConsumeKey(KEY_LEFT))
    {
        resultChoice = 0;
        PlaySound(pressSound);
    }
    int confirm = ConsumeKey(KEY_ENTER);
    if (!g_DebugMode && ConsumeKey(KEY_ESC))
    {
        resultChoice = 0;
        confirm = 1;
    }
    if (!confirm)
        return;

    resultDismissed = 1;
    if (resultChoice == 0 && g_CareerMode)
    {
        const CareerStepOutcome step =
            ApplyCareerStep(career, g_RaceResult.total, result.place, result.raceTime, g_RaceTable);
        AddScore(career.totalScore);
        g_MainMenu.SaveProfile(0);
        if (step.advanced)
        {
            g_RaceID = step.raceId;
            WriteGameIni();
            g_MainMenu.SaveProfile(0);
        }
        if (step.completed)
        {
            g_MainMenu.SaveProfile(0);
            careerComplete = 1;
            g_AudioManager.PlayCrowd(CROWD_APP, 1);
            std::memset(result.itemSoundPlayed, 0, sizeof(result.itemSoundPlayed));
            result.cupsShown = 0;
            careerCompleteTime = 0.0f;
        }
        else
            PostGameEvent(GEVENT_RACE_FINISH, g_PlayerVehicle, 0);
    }
    else
        PostGameEvent(GEVENT_RACE_FINISH, g_PlayerVehicle, 0);
    resultOpen = 0;
}

void CGameHUD::DrawCareerComplete()
{
    if (!careerComplete)
        return;
    careerCompleteTime += g_Clock.m_GameStep;
    const float t = careerCompleteTime;
    auto once = [this](int item) {
        if (!result.itemSoundPlayed[item])
            PlaySound(pointsSound);
        result.itemSoundPlayed[item] = 1;
    };

    DrawRect(-1, -1, 801, 601, D3DCOLOR_ARGB(int(std::min(1.0f, t / 2) * 254), 0, 0, 0), g_MainMenu.borderTexture);
    const float cupY = -210 + 200 * std::min(1.0f, t);
    DrawRect(300, cupY, 500, cupY + 200, 0xFEFFFFFFu, g_MainMenu.cupTextures[3]);

    if (t >= 2)
    {
        DrawCentredGlow(g_MainMenu.menuFont, 400, 180, "CONGRATULATIONS!", 0xFFFFC837u, 0xFF000000u, 0.8f);
        if (t < 15)
            DrawCentred(g_MainMenu.menuFont, 400, 220, "You have successfully completed the career mode!", 0xFFFFFF37u,
                        0.5f);
        once(0);
    }
    if (t >= 4 && t < 15)
    {
        DrawCentred(g_MainMenu.menuFont, 400, 270, "Your achievements:", 0xFFFFC837u, 0.6f);
        const CareerData& career = g_Career;
        const int count = int(std::min(1.0f, (t - 4) / 4) * RESULT_CAREER_RACES);
        for (int i = 0; i < count; ++i)
        {
            const int cup = CupIndexForPlace(career.place[i]);
            if (cup >= 0)
                DrawRect(30 + 40 * i, 300, 90 + 40 * i, 370, 0xFEFFFFFFu, g_MainMenu.cupTextures[cup]);
        }
        if (count > result.cupsShown)
        {
            result.cupsShown = count;
            PlaySound(pointsSound);
        }
    }
    if (t >= 9 && t < 15)
    {
        DrawCentred(g_MainMenu.menuFont, 400, 485, "You may now either compete in a 'quick race',", 0xFFFFFF37u, 0.5f);
        once(1);
        if (t >= 10)
        {
            DrawCentred(g_MainMenu.menuFont, 400, 510, "or restart your career and set new records!", 0xFFFFFF37u,
                        0.5f);
            once(2);
        }
    }
    if (t >= 12)
    {
        DrawCentred(g_MainMenu.menuFont, 400, 577, "Press any key for the main menu...", 0xFFFF6437u, 0.4f);
        once(3);
    }
    if (t >= 15)
    {
        g_MainMenu.DrawRecordsTable();
        once(4);
    }

    const int enter = ConsumeKey(KEY_ENTER);
    const int space = ConsumeKey(KEY_SPACE);
    const int esc = ConsumeKey(KEY_ESC);
    if ((enter | space | esc) && t > 12)
        PostGameEvent(GEVENT_CAREER_RESET, nullptr, 0);
}
