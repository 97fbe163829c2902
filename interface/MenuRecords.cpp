// The records page: the best time of every career race by season, area and
// half, and the score list with the player's entry highlighted.
#include "interface/MenuRecords.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/Controls.h"
#include "core/Records.h"
#include "interface/GameHUD.h"
#include "interface/MainMenu.h"
#include "render/Draw2D.h"

namespace
{
const char* const kCupNames[] = {"Summer Cup:", "Autumn Cup:", "Winter Cup:"};
const DWORD kGlow = 0xFF000000;
// The longest time the table has room for: 99:59.99.
const float kLongestTime = 5999.99f;
// The score list's names: their size, the smallest they are made to fit
// their room, and the room between the place and "Score:".
const float kNameScale = 0.4f;
const float kSmallestNameScale = 0.3f;
const float kNameRoom = 91.0f;

// A name from the table, never read past its bytes.
void CopyName(char (&out)[RECORD_NAME_SIZE], const char* name)
{
    std::snprintf(out, sizeof(out), "%.*s", RECORD_NAME_SIZE - 1, name);
}

void DrawCentred(CFont& font, float x, float y, const char* text, DWORD colour, DWORD glow, float size)
{
    const float w = font.GetTextWidth(text, size, 0);
    font.DrawTextGlow(x - w / 2.0f, y, text, colour, glow, size);
}

// A text of a narrow column: shrunk to its room when too wide, its line kept
// centred on the line of the full-size texts beside it.
void DrawFitted(CFont& font, float x, float y, const char* text, DWORD colour, DWORD glow, float scale, float room)
{
    const float fitted = FitTextScale(font, text, scale, room);
    const float lower = (font.GetTextHeight(scale) - font.GetTextHeight(fitted)) / 2.0f;
    font.DrawTextGlow(x, y + lower, text, colour, glow, fitted);
}

// A name of a column: every name at the same size, one too wide for its
// room cut short with "..." (names shrunk to fit were unevenly sized).
void DrawName(CFont& font, float x, float y, const char* name, DWORD colour, DWORD glow, float scale, float room)
{
    char shown[RECORD_NAME_SIZE + 4];
    FitNameText(font, name, scale, room, shown, sizeof(shown));
    font.DrawTextGlow(x, y, shown, colour, glow, scale);
}

// One career race of the table: laps, holder and time (or no result).
void DrawResult(CFont& font, int row, int laps, float x, float y0)
{
    char text[32];
    std::snprintf(text, sizeof(text), "Laps: %d", laps);
    font.DrawTextGlow(x - 45.0f, y0 + 2.0f, text, 0xFF966400, 0xFF640000, 0.25f);
    char holder[RECORD_NAME_SIZE];
    char time[32];
    const int result = RecordResultTexts(row, holder, sizeof(holder), time, sizeof(time));
    // The holder's room ends where the next area's "Laps:" begins.
    DrawName(font, x, y0, holder, result ? 0xFF969696 : 0xFF323232, kGlow, 0.35f, 118.0f);
    font.DrawTextGlow(x, y0 + 15.0f, time, result ? 0xFF969600 : 0xFF323200, kGlow, 0.3f);
}
}   // namespace

int FormatRecordTime(float seconds, char* out, size_t size)
{
    if (!(seconds > 0.0f) || !std::isfinite(seconds))
    {
        std::snprintf(out, size, "(-------)");
        return 0;
    }
    const float t = seconds < kLongestTime ? seconds : kLongestTime;
    const int minutes = (int)(t / 60.0f);
    const int whole = (int)(t - 60.0f * (float)minutes);
    const int hundredths = (int)((t - std::floor(t)) * 100.0f);
    std::snprintf(out, size, "(%02d:%02d.%02d)", minutes, whole, hundredths);
    return 1;
}

int RecordResultTexts(int row, char* holder, size_t holderSize, char* time, size_t timeSize)
{
    const float best = row >= 0 && row < RACE_ROWS ? g_Records.best[row] : 0.0f;
    if (!FormatRecordTime(best, time, timeSize))
    {
        std::snprintf(holder, holderSize, "NO RESULT");
        return 0;
    }
    std::snprintf(holder, holderSize, "%.*s", RECORD_NAME_SIZE - 1, g_Records.holder[row]);
    return 1;
}

void FitNameText(CFont& font, const char* name, float scale, float room, char* out, size_t size)
{
    if (!out || size == 0)
        return;
    std::string shown = name ? name : "";
    if (font.GetTextWidth(shown.c_str(), scale, 0) > room)
    {
        // Characters dropped from the end until the rest and "..." fit.
        std::string kept = shown;
        do
        {
            if (!kept.empty())
                kept.pop_back();
            while (!kept.empty() && kept.back() == ' ')
                kept.pop_back();
            shown = kept + "...";
        } while (!kept.empty() && font.GetTextWidth(shown.c_str(), scale, 0) > room);
    }
    std::snprintf(out, size, "%s", shown.c_str());
}

float FitTextScale(CFont& font, const char* text, float scale, float room)
{
    const float width = font.GetTextWidth(text, scale, 0);
    if (!(width > room) || !(room > 0.0f))
        return scale;
    return scale * room / width;
}

int ScoreToInt(float score)
{
    if (!std::isfinite(score))
        return 0;
    if (score >= 2147483520.0f)   // the largest float below 2^31
        return INT_MAX;
    if (score <= (float)INT_MIN)
        return INT_MIN;
    return (int)score;
}

void CMainMenu::UpdateRecordsPage()
{
    if (recordsOkButton.IsPressed() || g_KeyFlags[KEY_ESC])
    {
        ConsumeKey(KEY_ESC);
        SetState(MENU_MAIN);
    }
}

void CMainMenu::DrawRecordsTable()
{
    // The season panels are written in the in-race display's font; the menu
    // font stands in while that one is not loaded.
    CFont& raceFont = g_GameHUD.font.charCount > 0 ? g_GameHUD.font : menuFont;

    // Headings and cup names in light text over a darker glow: the first
    // layout's dark text on a brighter glow could hardly be read.
    DrawCentred(menuFont, 125.0f, 217.0f, "BEST RACERS:", 0xFFFFC864, 0xFF963200, 0.6f);
    DrawCentred(menuFont, 505.0f, 217.0f, "BEST TRACK TIME:", 0xFFFFC864, 0xFF963200, 0.6f);

    for (int season = 0; season < 3; ++season)
    {
        const float a = 100.0f * (float)season;
        DrawRect(250.0f, 250.0f + a, 765.0f, 340.0f + a, 0x80000000);
        DrawRectOutline(250.0f, 250.0f + a, 765.0f, 340.0f + a, 0xFF505050);
        // The line runs on from the end of the cup name instead of through it.
        const float lineLeft = std::max(275.0f, 265.0f + raceFont.GetTextWidth(kCupNames[season], 0.35f, 0) + 6.0f);
        DrawRectGradient(lineLeft, 258.0f + a, 760.0f, 262.0f + a, 0xFFC8C800, 0xFFC8C800, 0x00C8C800, 0x00C8C800);
        raceFont.DrawTextGlow(265.0f, 250.0f + a, kCupNames[season], 0xFFFAC800, 0xFF643200, 0.35f);
        for (int area = 0; area < 3; ++area)
        {
            const float d = 170.0f * (float)area;
            DrawRectGradient(320.0f + d, 270.0f + a, 420.0f + d, 335.0f + a, 0x00FFFFFF, 0x00FFFFFF, 0xFFFFFFFF,
                             0xFFFFFFFF, trackTextures[area * 3 + season]);
            const int row = 3 * season + area;
            DrawResult(raceFont, row, season + 1, 300.0f + d, 273.0f + a);
            DrawResult(raceFont, row + 9, season + 2, 300.0f + d, 304.0f + a);
        }
    }

    DrawRect(30.0f, 250.0f, 240.0f, 540.0f, 0x80000000);
    DrawRectOutline(30.0f, 250.0f, 240.0f, 540.0f, 0xFF505050);
    const int player = ScorePlayerEntry();
    // Every name of the list at one size: the largest up to the list's 0.4
    // at which the widest name fits, but no smaller than 0.3; a name still
    // too wide then is cut short.
    float nameScale = kNameScale;
    for (int i = 0; i < SCORE_ENTRIES; ++i)
    {
        char name[RECORD_NAME_SIZE];
        CopyName(name, g_Records.name[i]);
        nameScale = std::min(nameScale, FitTextScale(menuFont, name, kNameScale, kNameRoom));
    }
    nameScale = std::max(nameScale, kSmallestNameScale);
    const float nameLower = (menuFont.GetTextHeight(kNameScale) - menuFont.GetTextHeight(nameScale)) / 2.0f;
    for (int i = 0; i < SCORE_ENTRIES; ++i)
    {
        const float y = 255.0f + 17.5f * (float)i;
        if (i == player)
            DrawRectGradient(40.0f, 260.0f + 17.5f * (float)i, 235.0f, 270.0f + 17.5f * (float)i, 0x80FAC864,
                             0x80FAC864, 0x00FAC864, 0x00FAC864);
        char text[32];
        std::snprintf(text, sizeof(text), "%d", i + 1);
        // Each column keeps to its room: the place before the name, the name
        // before "Score:", "Score:" before the score, the score inside the
        // panel.
        DrawFitted(menuFont, 35.0f, y, text, 0xFF966400, 0xFF960000, 0.4f, 18.0f);
        char name[RECORD_NAME_SIZE];
        CopyName(name, g_Records.name[i]);
        DrawName(menuFont, 55.0f, y + nameLower, name, 0xFFFAC800, 0xFFFA6400, nameScale, kNameRoom);
        const float caption = FitTextScale(menuFont, "Score:", 0.4f, 38.0f);
        menuFont.DrawTextColor(150.0f, y + (menuFont.GetTextHeight(0.4f) - menuFont.GetTextHeight(caption)) / 2.0f,
                               "Score:", 0xFF966400, caption, 0);
        std::snprintf(text, sizeof(text), "%d", ScoreToInt(g_Records.score[i]));
        DrawFitted(menuFont, 190.0f, y, text, 0xFFC86400, 0xFF960000, 0.4f, 46.0f);
    }

    recordsOkButton.Draw(1);
}
