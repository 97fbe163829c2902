#include "platform/os/KeyMap.h"

#include <SDL2/SDL_keycode.h>

#include "platform/os/WinTypes.h"

namespace
{

struct KeyPair
{
    int sdl;
    int vk;
};

// Keys whose SDL keycode is not simply the character they type.
const KeyPair kKeys[] = {
    {SDLK_BACKSPACE, VK_BACK},
    {SDLK_TAB, VK_TAB},
    {SDLK_RETURN, VK_RETURN},
    {SDLK_KP_ENTER, VK_RETURN},
    {SDLK_LSHIFT, VK_SHIFT},
    {SDLK_RSHIFT, VK_SHIFT},
    {SDLK_LCTRL, VK_CONTROL},
    {SDLK_RCTRL, VK_CONTROL},
    {SDLK_LALT, VK_MENU},
    {SDLK_RALT, VK_MENU},
    {SDLK_PAUSE, VK_PAUSE},
    {SDLK_CAPSLOCK, VK_CAPITAL},
    {SDLK_ESCAPE, VK_ESCAPE},
    {SDLK_SPACE, VK_SPACE},
    {SDLK_PAGEUP, VK_PRIOR},
    {SDLK_PAGEDOWN, VK_NEXT},
    {SDLK_END, VK_END},
    {SDLK_HOME, VK_HOME},
    {SDLK_LEFT, VK_LEFT},
    {SDLK_UP, VK_UP},
    {SDLK_RIGHT, VK_RIGHT},
    {SDLK_DOWN, VK_DOWN},
    {SDLK_INSERT, VK_INSERT},
    {SDLK_DELETE, VK_DELETE},
    {SDLK_KP_0, VK_NUMPAD0},
    {SDLK_KP_1, VK_NUMPAD0 + 1},
    {SDLK_KP_2, VK_NUMPAD0 + 2},
    {SDLK_KP_3, VK_NUMPAD0 + 3},
    {SDLK_KP_4, VK_NUMPAD0 + 4},
    {SDLK_KP_5, VK_NUMPAD0 + 5},
    {SDLK_KP_6, VK_NUMPAD0 + 6},
    {SDLK_KP_7, VK_NUMPAD0 + 7},
    {SDLK_KP_8, VK_NUMPAD0 + 8},
    {SDLK_KP_9, VK_NUMPAD0 + 9},
    {SDLK_KP_MULTIPLY, VK_MULTIPLY},
    {SDLK_KP_PLUS, VK_ADD},
    {SDLK_KP_MINUS, VK_SUBTRACT},
    {SDLK_KP_PERIOD, VK_DECIMAL},
    {SDLK_KP_DIVIDE, VK_DIVIDE},
    {SDLK_F1, VK_F1},
    {SDLK_F2, VK_F2},
    {SDLK_F3, VK_F3},
    {SDLK_F4, VK_F4},
    {SDLK_F5, VK_F5},
    {SDLK_F6, VK_F6},
    {SDLK_F7, VK_F7},
    {SDLK_F8, VK_F8},
    {SDLK_F9, VK_F9},
    {SDLK_F10, VK_F10},
    {SDLK_F11, VK_F11},
    {SDLK_F12, VK_F12},
    {SDLK_SEMICOLON, VK_OEM_1},
    {SDLK_EQUALS, VK_OEM_PLUS},
    {SDLK_COMMA, VK_OEM_COMMA},
    {SDLK_MINUS, VK_OEM_MINUS},
    {SDLK_PERIOD, VK_OEM_PERIOD},
    {SDLK_SLASH, VK_OEM_2},
    {SDLK_BACKQUOTE, VK_OEM_3},
    {SDLK_LEFTBRACKET, VK_OEM_4},
    {SDLK_BACKSLASH, VK_OEM_5},
    {SDLK_RIGHTBRACKET, VK_OEM_6},
    {SDLK_QUOTE, VK_OEM_7},
};

}   // namespace

int SdlKeyToVirtualKey(int sdlKeycode)
{
    // SDL gives letters as their lower-case character; virtual keys are upper case.
    if (sdlKeycode >= SDLK_a && sdlKeycode <= SDLK_z)
        return 'A' + (sdlKeycode - SDLK_a);
    if (sdlKeycode >= SDLK_0 && sdlKeycode <= SDLK_9)
        return '0' + (sdlKeycode - SDLK_0);
    for (const KeyPair& k : kKeys)
        if (k.sdl == sdlKeycode)
            return k.vk;
    return 0;
}
