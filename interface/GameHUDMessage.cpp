// The message box: the penalty and the one-time hints, each hint shown once
// per profile and never within 20 s of another message; a hint holds the
// race like the pause menu.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/RunFlags.h"
#include "interface/GameHUD.h"
#include "interface/MainMenu.h"
#include "racers/HumanObject.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/Draw2D.h"
#include "render/Views.h"

const char* const g_HudMessages[HUDMSG_COUNT] = {
    "",
    "PENALTY!/DEPARTURE FROM THE COURSE!/   /   ",
    "*HIGH JUMP*/Attention!/You receive points for performing a jump./The higher and further you jump,/the more "
    "points you receive...",
    "*HIGH JUMP*/Hint:/Press 'TAB' before performing a jump./This will help you jump higher...",
    "YOU WAS KICKED!/Adversary just tried to knock out you from track.../You can inflicts the kicks to an "
    "adversarys too!/To kick to the left - press 'Q' key./To kick to the right - press 'W' key.",
};

namespace
{

bool IsHint(int id)
{
    return id >= HUDMSG_HIGH_JUMP && id <= HUDMSG_KICKED;
}

// The built-in messages measure at scale 0, so only their '/' breaks them.
float BuiltInWidth(const char*, void*)
{
    return 0.0f;
}

void EmitLine(char lines[HUD_MESSAGE_LINES][HUD_MESSAGE_LINE_SIZE], int* count, const char* text)
{
    if (*count >= HUD_MESSAGE_LINES)
        return;
    std::snprintf(lines[*count], HUD_MESSAGE_LINE_SIZE, "%s", text);
    ++*count;
}

}   // namespace

int WrapMessageText(const char* text, float maxWidth, float (*widthOf)(const char*, void*), void* context,
                    char lines[HUD_MESSAGE_LINES][HUD_MESSAGE_LINE_SIZE])
{
    int count = 0;
    if (!text)
        return 0;
    char line[HUD_MESSAGE_LINE_SIZE] = {0};
    int length = 0;
    int lastBlank = -1;
    for (const char* p = text; count < HUD_MESSAGE_LINES; ++p)
    {
        const char c = *p;
        if (c == 0 || c == '/')
        {
            EmitLine(lines, &count, line);
            line[0] = 0;
            length = 0;
            lastBlank = -1;
            if (c == 0)
                break;
            continue;
        }
        if (length >= HUD_MESSAGE_LINE_SIZE - 1)
        {
            // A line as long as the box holds goes out whole.
            EmitLine(lines, &count, line);
            length = 0;
            lastBlank = -1;
        }
        line[length++] = c;
        line[length] = 0;
        if (c == ' ')
            lastBlank = length - 1;
        if (lastBlank >= 0 && widthOf && widthOf(line, context) >= maxWidth)
        {
            char rest[HUD_MESSAGE_LINE_SIZE];
            std::strcpy(rest, line + lastBlank + 1);
            line[lastBlank] = 0;
            EmitLine(lines, &count, line);
            std::strcpy(line, rest);
            length = int(std::strlen(line));
            lastBlank = -1;
        }
    }
    return count;
}

int CGameHUD::ShowMessage(int id, float duration, const D3DXCOLOR* colour, float scale)
{
    // Only the four messages of the table exist.
    if (id < 0 || id >= HUDMSG_COUNT)
        return 0;
    if (IsHint(id))
    {
        if (g_Clock.m_GameClock - float(lastHintTime) < float(HUD_HINT_SPACING_MS) || hintCount[id] != 0)
            return 0;
    }
    if (id == HUDMSG_NONE && IsHint(messageId))
    {
        EndOrbit();
        ReleaseGame();
    }
    if (id == messageId)
        return 0;   // the same message is not restarted

    messageId = id;
    if (id == HUDMSG_NONE)
    {
        lineCount = 0;
        return 1;
    }
    lastHintTime = int(g_Clock.GameTimeMs());
    // The counts come from the profile file, which may hold any count: one
    // already at the largest stays there (any count above 0 means "shown").
    if (hintCount[id] < INT_MAX)
        ++hintCount[id];
    messageDuration = duration;
    messageElapsed = 0.0f;

    // Line styles: the table's ids have their own; a caller's colour and
    // scale would apply to any other.
    for (int i = 0; i < HUD_MESSAGE_LINES; ++i)
    {
        lineColours[i] = colour ? *colour : D3DXCOLOR(1.0f, 1.0f, 1.0f, 1.0f);
        lineScales[i] = colour ? scale : 0.4f;
    }
    if (id == HUDMSG_PENALTY)
    {
        lineColours[0] = D3DXCOLOR(1.0f, 0.4f, 0.2f, 1.0f);
        lineScales[0] = 0.6f;
        lineColours[1] = D3DXCOLOR(1.0f, 0.7f, 1.5f, 1.0f);
        for (int i = 1; i < 4; ++i)
            lineScales[i] = 0.4f;
    }
    else
    {
        lineColours[0] = D3DXCOLOR(1.0f, 0.6f, 0.4f, 1.0f);
        lineScales[0] = 0.6f;
        lineColours[1] = D3DXCOLOR(1.0f, 0.9f, 0.5f, 1.0f);
        for (int i = 1; i < 11; ++i)
            lineScales[i] = 0.4f;
        for (int i = 2; i < 11; ++i)
            lineColours[i] = D3DXCOLOR(1.0f, 0.7f, 0.0f, 1.0f);
        if (id == HUDMSG_KICKED)
            lineColours[3] = lineColours[4] = D3DXCOLOR(0.5f, 0.4f, 0.4f, 1.0f);
        HoldRace(D3DXVECTOR3(6.0f, 2.0f, 0.0f), VIEWMODE_CHASE_NEAR);
    }

    std::memset(messageLines, 0, sizeof(messageLines));
    lineCount = WrapMessageText(g_HudMessages[id], HUD_MESSAGE_WIDTH, BuiltInWidth, nullptr, messageLines);
    return 1;
}

void CGameHUD::CloseMessage()
{
    ShowMessage(HUDMSG_NONE, 0.0f, nullptr, 0.0f);
    messageId = 0;
    lineCount = 0;
}

void CGameHUD::DrawMessage()
{
    messageAlpha = HudFade(messageAlpha, messageId != 0, g_Clock.m_RealStep);
    if (messageAlpha <= 0.0f)
        return;
    const int a = HudAlpha(messageAlpha);
    DrawRect(-1, -1, 801, 601, D3DCOLOR_ARGB(a, 0, 0, 0), g_MainMenu.borderTexture);
    DrawRect(160, 20, 640, 180, D3DCOLOR_ARGB(a / 2, 60, 20, 0));

    const CVehicleObject* player = g_PlayerVehicle;
    if (messageId)
    {
        messageElapsed += g_Clock.m_RealStep;
        if (messageElapsed > messageDuration)
            CloseMessage();
        else if (messageId == HUDMSG_PENALTY && player &&
                 ((player->Rider && player->Rider->RagDoll) || player->OffRouteTimer < 0.25f))
            CloseMessage();
    }
    if (IsHint(messageId))
        g_Render.blurAmount = std::min(1.0f, g_Render.blurAmount + messageAlpha);

    float total = 0.0f;
    for (int i = 0; i < lineCount; ++i)
        total += font.GetTextHeight(lineScales[i]);
    float y = (160.0f - total) / 2.0f + 20.0f;
    const int textAlpha = int(messageAlpha * 255.0f);
    for (int i = 0; i < lineCount; ++i)
    {
        const float h = font.GetTextHeight(lineScales[i]);
        if (messageLines[i][0] != ' ')
        {
            const D3DXCOLOR c = lineColours[i];
            const D3DXCOLOR glow(c.r * 0.65f, c.g * 0.65f, c.b * 0.65f, 1.0f);
            DrawFlatDisc(400, y + h / 2, 170, HudColour(glow, 255), 0xFF000000u, 1.0f, 0.05f);
        }
        const float w = font.GetTextWidth(messageLines[i], lineScales[i], 0);
        font.DrawTextColor(400 - w / 2, y, messageLines[i], HudColour(lineColours[i], textAlpha), lineScales[i], 0);
        if (messageId == HUDMSG_PENALTY && i == 3 && player)
        {
            const float timer = std::isfinite(player->OffRouteTimer) ? player->OffRouteTimer : 0.0f;
            const float fill = std::max(0.0f, std::min(1.0f, timer));
            DrawFrame(220, y, 580, y + 18, D3DCOLOR_ARGB(a / 2, 200, 170, 50));
            DrawPanel(223, y + 3, 223 + 354 * fill, y + 15, D3DCOLOR_ARGB(a / 2, 255, 0, 0));
        }
        y += h;
    }

    if (messageId && (g_KeyFlags[KEY_ENTER] || g_KeyFlags[KEY_ESC]))
    {
        ConsumeKey(KEY_ENTER);
        ConsumeKey(KEY_ESC);
        CloseMessage();
    }
}
