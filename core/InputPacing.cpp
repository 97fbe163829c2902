// Input paced to the frames: see InputPacing.h.
#include "core/InputPacing.h"

#include <cstring>
#include <deque>

#include "core/InputState.h"

namespace
{
// Far more than a player can give in a few frames; past it messages go
// through at once rather than pile up.
const size_t kMostWaiting = 512;

// What a message belongs to: one key, the mouse, the text entry (an Enter,
// Backspace or Esc of the text entry belongs to its key and to the text).
struct Channels
{
    int key = -1;
    bool mouse = false;
    bool text = false;

    bool Any() const { return key >= 0 || mouse || text; }
    bool Shares(const Channels& o) const
    {
        return (key >= 0 && key == o.key) || (mouse && o.mouse) || (text && o.text);
    }
};

struct Waiting
{
    WNDPROC proc;
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    Channels channels;
};

std::deque<Waiting> s_Waiting;
// Pressed since the last frame: a release of these waits for a frame.
bool s_KeyFresh[256];
bool s_ButtonFresh[2];

bool TextEntryOn()
{
    return g_TextInput != 0;
}

// The text entry holds something no frame has taken yet: a character, or an
// Enter, Backspace or Esc.
bool TextEntryBusy()
{
    return g_TextInput != 1 || g_TextChar != 0;
}

Channels ChannelsOf(UINT message, WPARAM wParam)
{
    Channels c;
    switch (message)
    {
    case WM_KEYDOWN:
    case WM_KEYUP:
    {
        c.key = (int)(wParam & 0xFF);
        const bool textKey = wParam == VK_RETURN || wParam == VK_ESCAPE || wParam == VK_BACK;
        c.text = message == WM_KEYDOWN && textKey && TextEntryOn();
        break;
    }
    case WM_CHAR:
        c.text = TextEntryOn();
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        c.mouse = true;
        break;
    default:
        break;
    }
    return c;
}

// A message that must wait for a frame even with nothing waiting before it.
bool MustWait(UINT message, WPARAM wParam, const Channels& c)
{
    if (c.text && TextEntryBusy())
        return true;
    switch (message)
    {
    case WM_KEYUP:
        return s_KeyFresh[wParam & 0xFF];
    case WM_LBUTTONUP:
        return s_ButtonFresh[0];
    case WM_RBUTTONUP:
        return s_ButtonFresh[1];
    default:
        return false;
    }
}

bool BehindWaiting(const Channels& c)
{
    for (const Waiting& w : s_Waiting)
        if (w.channels.Shares(c))
            return true;
    return false;
}

void Delivered(UINT message, WPARAM wParam)
{
    if (message == WM_KEYDOWN)
        s_KeyFresh[wParam & 0xFF] = true;
    else if (message == WM_LBUTTONDOWN)
        s_ButtonFresh[0] = true;
    else if (message == WM_RBUTTONDOWN)
        s_ButtonFresh[1] = true;
}
}   // namespace

int HoldBackInput(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const Channels c = ChannelsOf(message, wParam);
    if (!c.Any())
        return 0;
    if (proc && s_Waiting.size() < kMostWaiting && (BehindWaiting(c) || MustWait(message, wParam, c)))
    {
        // Only where the mouse ends up matters between two waiting clicks.
        if (message == WM_MOUSEMOVE && !s_Waiting.empty() && s_Waiting.back().message == WM_MOUSEMOVE)
            s_Waiting.back().lParam = lParam;
        else
            s_Waiting.push_back(Waiting{proc, hwnd, message, wParam, lParam, c});
        return 1;
    }
    Delivered(message, wParam);
    return 0;
}

void InputFrameDone()
{
    std::memset(s_KeyFresh, 0, sizeof(s_KeyFresh));
    std::memset(s_ButtonFresh, 0, sizeof(s_ButtonFresh));
    if (s_Waiting.empty())   // nearly every frame: no message was held
        return;
    std::deque<Waiting> again;
    again.swap(s_Waiting);
    // Each goes to its procedure as if it had just come; the procedure asks
    // again, so the next press of a key waits behind its release.
    for (const Waiting& w : again)
        w.proc(w.hwnd, w.message, w.wParam, w.lParam);
}

void ResetInputPacing()
{
    s_Waiting.clear();
    std::memset(s_KeyFresh, 0, sizeof(s_KeyFresh));
    std::memset(s_ButtonFresh, 0, sizeof(s_ButtonFresh));
}

int InputMessagesWaiting()
{
    return (int)s_Waiting.size();
}
