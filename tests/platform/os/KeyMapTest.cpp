#include "platform/os/KeyMap.h"

#include <SDL2/SDL_keyboard.h>
#include <SDL2/SDL_keycode.h>
#include <gtest/gtest.h>

#include "platform/os/WinTypes.h"

namespace
{

TEST(KeyMapTest, SdlKeysGiveTheirVirtualKeys)
{
    const struct
    {
        int sdl;
        int vk;
    } cases[] = {
        {SDLK_a, 'A'},
        {SDLK_z, 'Z'},
        {SDLK_c, 'C'},
        {SDLK_0, '0'},
        {SDLK_9, '9'},
        {SDLK_LSHIFT, VK_SHIFT},
        {SDLK_RSHIFT, VK_SHIFT},
        {SDLK_LCTRL, VK_CONTROL},
        {SDLK_RCTRL, VK_CONTROL},
        {SDLK_UP, VK_UP},
        {SDLK_DOWN, VK_DOWN},
        {SDLK_LEFT, VK_LEFT},
        {SDLK_RIGHT, VK_RIGHT},
        {SDLK_F1, VK_F1},
        {SDLK_F12, VK_F12},
        {SDLK_PAGEUP, VK_PRIOR},
        {SDLK_PAGEDOWN, VK_NEXT},
        {SDLK_INSERT, VK_INSERT},
        {SDLK_DELETE, VK_DELETE},
        {SDLK_PAUSE, VK_PAUSE},
        {SDLK_RETURN, VK_RETURN},
        {SDLK_KP_ENTER, VK_RETURN},
        {SDLK_ESCAPE, VK_ESCAPE},
        {SDLK_TAB, VK_TAB},
        {SDLK_SPACE, VK_SPACE},
        {SDLK_BACKSPACE, VK_BACK},
        {SDLK_HOME, VK_HOME},
        {SDLK_END, VK_END},
        {SDLK_KP_5, VK_NUMPAD0 + 5},
        // Keys the game has no code for.
        {SDLK_UNKNOWN, 0},
        {SDLK_AUDIOPLAY, 0},
        {SDLK_F13, 0},
        {-1, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SdlKeyToVirtualKey(c.sdl), c.vk) << SDL_GetKeyName(c.sdl);
}

}   // namespace
