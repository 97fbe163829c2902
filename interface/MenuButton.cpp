// Menu buttons: the hit test, the press latch that fires a little later, and
// the drawing with its shades, pressed size and focus disc.
#include "interface/MenuButton.h"

#include <cstdio>
#include <cstring>

#include "audio/GameSound.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/InputState.h"
#include "core/TextTable.h"
#include "interface/MenuFocus.h"
#include "render/Draw2D.h"
#include "render/Font.h"

namespace
{
void PlayIfLoaded(CGameSound* sound)
{
    if (sound)
        sound->Play(0);
}

// A press fires only after this much real time, so the shrunken button shows.
const float kPressDelay = 0.1f;
// Presses kept behind a latch: a quick player's clicks and taps. A held key's
// repeats are never kept.
const int kMostWaitingPresses = 3;
}   // namespace

unsigned ColourByte(float c)
{
    if (!(c > 0.0f))
        return 0;
    if (c >= 1.0f)
        return 255;
    return (unsigned)(c * 255.0f);
}

void CMenuButton::Set(const char* caption, float ax, float ay, float s, int al, int en, float r, float g, float b,
                      int translate)
{
    SetText(translate ? g_TextTable.GetText(caption) : caption);
    x = ax;
    y = ay;
    scale = s;
    align = al;
    enabled = en;
    colour[0] = r;
    colour[1] = g;
    colour[2] = b;
    colour[3] = 1.0f;
}

void CMenuButton::SetText(const char* caption)
{
    std::snprintf(text, sizeof(text), "%s", caption ? caption : "");
}

void CMenuButton::TextBox(float s, float* left, float* top, float* right, float* bottom) const
{
    float w = font ? font->GetTextWidth(text, s, 0) : 0.0f;
    float h = font ? font->GetTextHeight(s) : 0.0f;
    float l = x;
    if (align == ALIGN_RIGHT)
        l = x - w;
    else if (align == ALIGN_CENTER)
        l = x - w / 2.0f;
    *left = l;
    *top = y - h / 2.0f;
    *right = l + w;
    *bottom = y + h / 2.0f;
}

int CMenuButton::IsMouseOver()
{
    float left, top, right, bottom;
    TextBox(scale, &left, &top, &right, &bottom);
    // The lowest 5 units of the line do not count, so stacked lines do not
    // share the mouse.
    float mx = (float)g_MouseX, my = (float)g_MouseY;
    if (mx < left || mx > right || my < top || my > bottom - 5.0f)
        return 0;
    if (!hovered && menu)
        PlayIfLoaded(menu->soundIn);
    return 1;
}

int CMenuButton::Latch(int keep)
{
    if (!pressed)
    {
        pressTime = g_Clock.RealTimeMs();
        pressed = 1;
    }
    else if (keep && pressWaiting < kMostWaitingPresses)
    {
        // At a few frames a second the latch takes several frames to fire,
        // and the next presses come before it has: they wait their turn
        // instead of being lost.
        ++pressWaiting;
    }
    else
        return 0;
    if (menu)
        PlayIfLoaded(menu->soundPress);
    return 1;
}

int CMenuButton::CheckClick()
{
    if (!g_MouseButtons[0] || !enabled || !hovered || pressWaiting >= kMostWaitingPresses)
        return 0;
    ConsumeClick();   // one click presses at most one button
    return Latch(1);
}

void CMenuButton::Press(int repeat)
{
    if (!enabled || !menu || menu->focused != this)
        return;
    Latch(!repeat);
}

int CMenuButton::IsPressed()
{
    if (pressed && g_Clock.RealSecondsSince(pressTime) > kPressDelay)
    {
        // A waiting press is latched now and fires as long after this one
        // as a press after its click.
        pressed = pressWaiting > 0 ? 1 : 0;
        if (pressWaiting > 0)
        {
            --pressWaiting;
            pressTime = g_Clock.RealTimeMs();
        }
        return 1;
    }
    return 0;
}

void CMenuButton::Draw(int interactive)
{
    if (interactive)
    {
        hovered = IsMouseOver();
        CheckClick();
    }
    else
        hovered = 0;

    float shade = !enabled ? 0.35f : (hovered ? 1.0f : 0.65f);
    unsigned alpha = ColourByte(colour[3]);
    DWORD argb = (alpha << 24) | (ColourByte(colour[0] * shade) << 16) | (ColourByte(colour[1] * shade) << 8) |
                 ColourByte(colour[2] * shade);

    if (enabled && hovered && menu)
        menu->SetFocus(this);

    if (!font)
        return;
    float d = scale * (1.0f - 0.1f * (float)pressed);
    float left, top, right, bottom;
    TextBox(d, &left, &top, &right, &bottom);
    font->DrawTextGlow(left, top, text, argb, alpha << 24, d);

    if (menu && menu->focused == this)
    {
        // A flat disc pulsing every 400 ms of game time under the focused text.
        float t = (float)(g_Clock.GameTimeMs() % 400u) * 0.0025f;
        if (t > 0.5f)
            t = 1.0f - t;
        float w = right - left;
        float h = bottom - top;
        float r = w * 0.75f * (1.0f + t / 2.0f);
        if (r <= 0.0f)
            return;
        float cx = x;
        if (align == ALIGN_RIGHT)
            cx = x - w / 2.0f;
        else if (align == ALIGN_LEFT)
            cx = x + w / 2.0f;
        DrawFlatDisc(cx, top + h / 2.0f, r, 0xFFCC6600, 0xFF000000, 1.0f, 0.3f * h / r);
    }
}
