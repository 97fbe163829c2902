#include "core/Controls.h"

#include "core/GameClock.h"
#include "core/RunFlags.h"
#include "core/Settings.h"

int g_ControlFlags[CTRL_COUNT];
int g_KeyFlags[KEY_COUNT];
int g_KeyRepeated[KEY_COUNT];
ControlHooks g_ControlHooks = {};
int g_ShowStaticObjects = 1;

ControlBinding g_ControlBindings[CTRL_COUNT] = {
    {&g_ControlFlags[CTRL_THROTTLE], VK_UP},      {&g_ControlFlags[CTRL_BRAKE], VK_DOWN},
    {&g_ControlFlags[CTRL_TURN_LEFT], VK_LEFT},   {&g_ControlFlags[CTRL_TURN_RIGHT], VK_RIGHT},
    {&g_ControlFlags[CTRL_FULL_BRAKE], VK_SPACE}, {&g_ControlFlags[CTRL_CHANGE_VIEW], 'C'},
    {&g_ControlFlags[CTRL_BACK_VIEW], 'E'},       {&g_ControlFlags[CTRL_JUMP], VK_TAB},
    {&g_ControlFlags[CTRL_KICK_LEFT], 'Q'},       {&g_ControlFlags[CTRL_KICK_RIGHT], 'W'},
};

namespace
{

struct KeyFlagKey
{
    int vk;
    int flag;
};

const KeyFlagKey kKeyFlagKeys[] = {
    {VK_F1, KEY_F1},
    {VK_ESCAPE, KEY_ESC},
    {VK_SHIFT, KEY_SHIFT},
    {VK_CONTROL, KEY_CTRL},
    {VK_TAB, KEY_TAB},
    {VK_RETURN, KEY_ENTER},
    {VK_SPACE, KEY_SPACE},
    {VK_LEFT, KEY_LEFT},
    {VK_RIGHT, KEY_RIGHT},
    {VK_UP, KEY_UP},
    {VK_DOWN, KEY_DOWN},
    {'A', KEY_A},
    {'Z', KEY_Z},
    {VK_NEXT, KEY_PGDN},
    {VK_PRIOR, KEY_PGUP},
    {VK_INSERT, KEY_INSERT},
    {VK_DELETE, KEY_DELETE},
};

// Action flags change only while the race is driven by the player: with the
// window inactive or the front-end menu up, keys leave them as they are.
bool ControlsLive()
{
    return g_AppActive == 1 && !(g_ControlHooks.menuActive && g_ControlHooks.menuActive());
}

int SetBoundFlag(int key, int value)
{
    if (!ControlsLive())
        return 0;
    for (ControlBinding& b : g_ControlBindings)
    {
        if (b.key == key)
        {
            if (*b.flag != value)
                *b.flag = value;
            return 1;
        }
    }
    return 0;
}

void DebugKeyDown(int vk)
{
    switch (vk)
    {
    case VK_ESCAPE:
        RequestQuit();
        break;
    case VK_PAUSE:
        if (g_AppActive == 1)
        {
            g_AppActive = 0;
            g_Clock.Pause();
        }
        else
        {
            g_AppActive = 1;
            g_Clock.Resume();
        }
        break;
    case 'F':
        if (g_ControlHooks.toggleFillMode)
            g_ControlHooks.toggleFillMode();
        break;
    case 'G':
        if (g_ControlHooks.toggleShadeMode)
            g_ControlHooks.toggleShadeMode();
        break;
    case 'S':
        if (g_KeyFlags[KEY_CTRL])
            g_ShowStaticObjects = !g_ShowStaticObjects;
        break;
    default:
        break;
    }
}

}   // namespace

int KeyFlagIndex(int vk)
{
    for (const KeyFlagKey& k : kKeyFlagKeys)
        if (k.vk == vk)
            return k.flag;
    return -1;
}

int ControlKeyDown(int key)
{
    return SetBoundFlag(key, 1);
}

int ControlKeyUp(int key)
{
    return SetBoundFlag(key, 0);
}

void OnKeyDown(WPARAM vk, int repeat)
{
    int key = (int)vk;
    ControlKeyDown(key);
    int flag = KeyFlagIndex(key);
    if (flag >= 0)
    {
        // A new press not yet taken stays new under the repeats after it.
        g_KeyRepeated[flag] = repeat && (!g_KeyFlags[flag] || g_KeyRepeated[flag]);
        g_KeyFlags[flag] = 1;
    }
    if (g_DebugMode)
        DebugKeyDown(key);
}

void OnKeyUp(WPARAM vk)
{
    int key = (int)vk;
    ControlKeyUp(key);
    int flag = KeyFlagIndex(key);
    if (flag >= 0)
    {
        g_KeyFlags[flag] = 0;
        g_KeyRepeated[flag] = 0;
    }
}

int ConsumeKey(int key)
{
    if (!g_KeyFlags[key])
        return 0;
    g_KeyFlags[key] = 0;
    g_KeyRepeated[key] = 0;
    return 1;
}

int ConsumeControl(int action)
{
    if (!g_ControlFlags[action])
        return 0;
    g_ControlFlags[action] = 0;
    return 1;
}

void PressControl(int action)
{
    g_ControlFlags[action] = 1;
}
