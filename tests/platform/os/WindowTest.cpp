#include "platform/os/Window.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace
{
HWND const kWindow = reinterpret_cast<HWND>(0x42);

SDL_Event WindowEvent(Uint8 kind)
{
    SDL_Event e;
    memset(&e, 0, sizeof(e));
    e.type = SDL_WINDOWEVENT;
    e.window.event = kind;
    return e;
}

SDL_Event KeyEvent(Uint32 type, SDL_Keycode sym, Uint8 repeat = 0)
{
    SDL_Event e;
    memset(&e, 0, sizeof(e));
    e.type = type;
    e.key.keysym.sym = sym;
    e.key.repeat = repeat;
    return e;
}

SDL_Event MouseButton(Uint32 type, Uint8 button, int x, int y)
{
    SDL_Event e;
    memset(&e, 0, sizeof(e));
    e.type = type;
    e.button.button = button;
    e.button.x = x;
    e.button.y = y;
    return e;
}

std::vector<MSG> Translate(const SDL_Event& e)
{
    MSG out[8];
    int n = TranslateSdlEvent(e, kWindow, out, 8);
    return std::vector<MSG>(out, out + n);
}

struct Expected
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

void ExpectMessages(const SDL_Event& e, std::vector<Expected> expected, const char* what)
{
    std::vector<MSG> got = Translate(e);
    ASSERT_EQ(got.size(), expected.size()) << what;
    for (size_t i = 0; i < got.size(); ++i)
    {
        EXPECT_EQ(got[i].hwnd, kWindow) << what;
        EXPECT_EQ(got[i].message, expected[i].message) << what << " #" << i;
        EXPECT_EQ(got[i].wParam, expected[i].wParam) << what << " #" << i;
        if (expected[i].lParam != -1)
        {
            EXPECT_EQ(got[i].lParam, expected[i].lParam) << what << " #" << i;
        }
    }
}

TEST(WindowTest, SdlEventsBecomeWindowMessages)
{
    SDL_Event motion;
    memset(&motion, 0, sizeof(motion));
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 640;
    motion.motion.y = 360;
    SDL_Event offLeft = motion;   // a drag that left the window
    offLeft.motion.x = -20;
    offLeft.motion.y = 70000;
    SDL_Event quit;
    memset(&quit, 0, sizeof(quit));
    quit.type = SDL_QUIT;

    ExpectMessages(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST), {{WM_ACTIVATE, WA_INACTIVE, 0}, {WM_KILLFOCUS, 0, 0}},
                   "focus lost");
    ExpectMessages(WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED), {{WM_ACTIVATE, WA_ACTIVE, 0}, {WM_SETFOCUS, 0, 0}},
                   "focus gained");
    ExpectMessages(WindowEvent(SDL_WINDOWEVENT_CLOSE), {{WM_CLOSE, 0, 0}}, "close");
    ExpectMessages(quit, {{WM_CLOSE, 0, 0}}, "quit");
    ExpectMessages(WindowEvent(SDL_WINDOWEVENT_RESIZED), {}, "resize is not a message");
    ExpectMessages(motion, {{WM_MOUSEMOVE, 0, MAKELPARAM(640, 360)}}, "move");
    ExpectMessages(offLeft, {{WM_MOUSEMOVE, 0, MAKELPARAM(0, 0xFFFF)}}, "move outside");
    ExpectMessages(MouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 5, 6), {{WM_LBUTTONDOWN, 0, MAKELPARAM(5, 6)}},
                   "left down");
    ExpectMessages(MouseButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 5, 6), {{WM_LBUTTONUP, 0, MAKELPARAM(5, 6)}},
                   "left up");
    ExpectMessages(MouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 7, 8), {{WM_RBUTTONDOWN, 0, MAKELPARAM(7, 8)}},
                   "right down");
    ExpectMessages(MouseButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 7, 8), {{WM_RBUTTONUP, 0, MAKELPARAM(7, 8)}},
                   "right up");
    ExpectMessages(MouseButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 7, 8), {}, "middle");
}

TEST(WindowTest, KeysBecomeVirtualKeyMessagesWithRepeats)
{
    std::vector<MSG> down = Translate(KeyEvent(SDL_KEYDOWN, SDLK_c));
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(down[0].message, (UINT)WM_KEYDOWN);
    EXPECT_EQ(down[0].wParam, (WPARAM)'C');
    EXPECT_EQ(down[0].lParam & 0x40000000, 0);

    // A held key repeats as further key-downs, marked as already down.
    std::vector<MSG> repeat = Translate(KeyEvent(SDL_KEYDOWN, SDLK_c, 1));
    ASSERT_EQ(repeat.size(), 1u);
    EXPECT_EQ(repeat[0].message, (UINT)WM_KEYDOWN);
    EXPECT_NE(repeat[0].lParam & 0x40000000, 0);

    std::vector<MSG> up = Translate(KeyEvent(SDL_KEYUP, SDLK_RETURN));
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].message, (UINT)WM_KEYUP);
    EXPECT_EQ(up[0].wParam, (WPARAM)VK_RETURN);

    EXPECT_TRUE(Translate(KeyEvent(SDL_KEYDOWN, SDLK_UNKNOWN)).empty());
}

TEST(WindowTest, TextInputGivesOneCharPerCharacter)
{
    SDL_Event e;
    memset(&e, 0, sizeof(e));
    e.type = SDL_TEXTINPUT;
    // 'a', e-acute (fits a byte), the euro sign (does not), a broken sequence.
    strcpy(e.text.text, "a\xC3\xA9\xE2\x82\xAC\xC3");
    std::vector<MSG> got = Translate(e);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].message, (UINT)WM_CHAR);
    EXPECT_EQ(got[0].wParam, (WPARAM)'a');
    EXPECT_EQ(got[1].wParam, (WPARAM)0xE9);

    // Never more than the caller has room for.
    strcpy(e.text.text, "abcdef");
    MSG two[2];
    EXPECT_EQ(TranslateSdlEvent(e, kWindow, two, 2), 2);
}

// A real (offscreen) window: class procedure, queue order, quit message.
std::vector<UINT> s_Seen;
LRESULT RecordingProc(HWND, UINT message, WPARAM, LPARAM)
{
    s_Seen.push_back(message);
    return 0;
}

TEST(WindowTest, QueueDispatchesToTheClassProcedure)
{
    // Classes stay registered for the life of the program: each run of the
    // test registers a name of its own.
    static int s_Run = 0;
    const std::string name = "WindowTestClass" + std::to_string(++s_Run);
    std::string lower = name;
    for (char& c : lower)
        c = (char)std::tolower((unsigned char)c);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = name.c_str();
    ASSERT_NE(RegisterClassA(&wc), 0);
    EXPECT_EQ(RegisterClassA(&wc), 0);   // a class name is registered once
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "t", WS_POPUP, 0, 0, 64, 48, nullptr, nullptr, nullptr, nullptr),
              nullptr);

    HWND hwnd = CreateWindowExA(0, lower.c_str(), "Test", WS_POPUP, 0, 0, 320, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr) << SDL_GetError();
    SDL_Window* sdl = GetSdlWindow(hwnd);
    ASSERT_NE(sdl, nullptr);
    EXPECT_NE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_OPENGL, 0u);
    EXPECT_EQ(GetWindowHandle(sdl), hwnd);
    int w = 0, h = 0;
    SDL_GetWindowSize(sdl, &w, &h);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 200);

    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);   // whatever SDL had pending
    s_Seen.clear();

    ASSERT_TRUE(PostMessageA(hwnd, WM_LBUTTONDOWN, 0, MAKELPARAM(1, 2)));
    PostQuitMessage(5);
    ASSERT_TRUE(PostMessageA(hwnd, WM_CLOSE, 0, 0));

    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_LBUTTONDOWN);   // peeking leaves it queued
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    DispatchMessageA(&msg);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, (UINT)WM_QUIT);
    EXPECT_EQ(msg.wParam, (WPARAM)5);
    EXPECT_EQ(DispatchMessageA(&msg), 0);   // no window: goes nowhere
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    DispatchMessageA(&msg);
    EXPECT_EQ(s_Seen, (std::vector<UINT>{WM_LBUTTONDOWN, WM_CLOSE}));

    // Messages still queued for a destroyed window are dropped with it.
    PostMessageA(hwnd, WM_MOUSEMOVE, 0, 0);
    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_EQ(GetSdlWindow(hwnd), nullptr);
    bool stale = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        stale = stale || msg.hwnd == hwnd;
    EXPECT_FALSE(stale);
}
}   // namespace
