#include "platform/os/Window.h"

#include "platform/os/ModulePin.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <strings.h>
#include <vector>

#include "platform/os/KeyMap.h"
#include "platform/os/ModulePin.h"

struct WindowHandle
{
    SDL_Window* window;
    WNDPROC proc;
};

namespace
{
struct WindowClass
{
    std::string name;
    WNDPROC proc;
};

std::vector<WindowClass> s_Classes;
std::vector<WindowHandle*> s_Windows;
std::deque<MSG> s_Queue;
bool s_VideoReady = false;
HCURSOR s_Cursor = nullptr;
int s_DummyObject = 0;   // what LoadIconA, LoadCursorA and GetStockObject hand out

// Test hook: close the window after this many message drains (-1: off).
long s_CloseAfterDrains = -2;   // -2: not read from the environment yet
long s_Drains = 0;
int s_CountDrains = 1;   // 0 while a message loop before the main loop runs

bool EnsureVideo()
{
    if (s_VideoReady)
        return true;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
    {
        fprintf(stderr, "SDL video: %s\n", SDL_GetError());
        return false;
    }
    s_VideoReady = true;
    return true;
}

HWND MainWindow()
{
    return s_Windows.empty() ? nullptr : s_Windows.front();
}

bool Known(HWND hwnd)
{
    for (WindowHandle* w : s_Windows)
        if (w == hwnd)
            return true;
    return false;
}

MSG Make(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD time)
{
    MSG m;
    m.hwnd = hwnd;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = time;
    return m;
}

// Client positions go into 16-bit halves; a drag that leaves the window must
// not wrap to huge values.
WORD ClientCoord(int v)
{
    return (WORD)(v < 0 ? 0 : (v > 0xFFFF ? 0xFFFF : v));
}

// Next code point of UTF-8 text (malformed bytes are taken as one character
// each so nothing is lost or read past the end).
unsigned NextCodePoint(const unsigned char*& p)
{
    unsigned c = *p++;
    int more = 0;
    if (c >= 0xF0 && c < 0xF8)
    {
        c &= 0x07;
        more = 3;
    }
    else if (c >= 0xE0)
    {
        c &= 0x0F;
        more = 2;
    }
    else if (c >= 0xC0)
    {
        c &= 0x1F;
        more = 1;
    }
    else
    {
        return c;
    }
    for (int i = 0; i < more; ++i)
    {
        if ((*p & 0xC0) != 0x80)
            return 0xFFFD;
        c = (c << 6) | (*p++ & 0x3F);
    }
    return c;
}

}   // namespace

void SetDrainCounting(int on)
{
    s_CountDrains = on;
}

int TestRunSkipsIntro()
{
    const char* frames = getenv("TRALLOWMERE_TEST_CLOSE_AFTER_FRAMES");
    const char* show = getenv("TRALLOWMERE_TEST_SHOW_INTRO");
    if (!frames || strtol(frames, nullptr, 10) <= 0)
        return 0;
    return show && show[0] == '1' ? 0 : 1;
}

namespace
{
void CountDrain()
{
    if (s_CloseAfterDrains == -2)
    {
        const char* env = getenv("TRALLOWMERE_TEST_CLOSE_AFTER_FRAMES");
        long n = env ? strtol(env, nullptr, 10) : 0;
        s_CloseAfterDrains = n > 0 ? n : -1;
    }
    if (s_CloseAfterDrains < 0 || !s_CountDrains)
        return;
    if (++s_Drains != s_CloseAfterDrains)
        return;
    HWND main = MainWindow();
    if (s_VideoReady && main)
    {
        // Through SDL, so the close takes the same path as a real one.
        SDL_Event ev;
        memset(&ev, 0, sizeof(ev));
        ev.type = SDL_WINDOWEVENT;
        ev.window.event = SDL_WINDOWEVENT_CLOSE;
        ev.window.windowID = SDL_GetWindowID(main->window);
        SDL_PushEvent(&ev);
    }
    else
    {
        PostMessageA(main, WM_CLOSE, 0, 0);
    }
}
}   // namespace

WORD RegisterClassA(const WNDCLASSA* wc)
{
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc)
        return 0;
    for (WindowClass& c : s_Classes)
        if (strcasecmp(c.name.c_str(), wc->lpszClassName) == 0)
            return 0;   // already registered, as on Windows
    s_Classes.push_back({wc->lpszClassName, wc->lpfnWndProc});
    return (WORD)s_Classes.size();
}

HWND CreateWindowExA(DWORD, const char* className, const char* title, DWORD style, int x, int y, int width, int height,
                     HWND, HMENU, HINSTANCE, void*)
{
    WNDPROC proc = nullptr;
    for (WindowClass& c : s_Classes)
        if (className && strcasecmp(c.name.c_str(), className) == 0)
            proc = c.proc;
    if (!proc || width <= 0 || height <= 0 || !EnsureVideo())
        return nullptr;

    // The render device makes an OpenGL 3.3 core context on this window; the
    // pixel format has to be chosen before the window exists.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);

    Uint32 flags = SDL_WINDOW_OPENGL;
    flags |= (style & WS_VISIBLE) ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
    if (style & WS_POPUP)
        flags |= SDL_WINDOW_BORDERLESS;
    SDL_Window* window = SDL_CreateWindow(title ? title : "", x, y, width, height, flags);
    if (!window)
    {
        fprintf(stderr, "SDL window: %s\n", SDL_GetError());
        return nullptr;
    }
    PinLoadedModules();   // the GL driver came in with the window
    WindowHandle* handle = new WindowHandle{window, proc};
    s_Windows.push_back(handle);
    SDL_StartTextInput();
    return handle;
}

BOOL DestroyWindow(HWND hwnd)
{
    for (size_t i = 0; i < s_Windows.size(); ++i)
    {
        if (s_Windows[i] != hwnd)
            continue;
        SDL_DestroyWindow(hwnd->window);
        delete hwnd;
        s_Windows.erase(s_Windows.begin() + i);
        // Messages still queued for it would reach a freed handle.
        for (auto it = s_Queue.begin(); it != s_Queue.end();)
            it = it->hwnd == hwnd ? s_Queue.erase(it) : it + 1;
        return TRUE;
    }
    return FALSE;
}

BOOL ShowWindow(HWND hwnd, int showCommand)
{
    if (!Known(hwnd))
        return FALSE;
    const bool wasVisible = (SDL_GetWindowFlags(hwnd->window) & SDL_WINDOW_SHOWN) != 0;
    if (showCommand == SW_HIDE)
        SDL_HideWindow(hwnd->window);
    else
        SDL_ShowWindow(hwnd->window);
    return wasVisible ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND hwnd)
{
    return Known(hwnd) ? TRUE : FALSE;
}

HICON LoadIconA(HINSTANCE, const char*)
{
    return &s_DummyObject;
}

HCURSOR LoadCursorA(HINSTANCE, const char*)
{
    return &s_DummyObject;
}

void* GetStockObject(int)
{
    return &s_DummyObject;
}

HCURSOR SetCursor(HCURSOR cursor)
{
    HCURSOR previous = s_Cursor;
    s_Cursor = cursor;
    if (s_VideoReady)
        SDL_ShowCursor(cursor ? SDL_ENABLE : SDL_DISABLE);
    return previous;
}

BOOL SetCursorPos(int x, int y)
{
    HWND main = MainWindow();
    if (!s_VideoReady || !main)
        return FALSE;
    SDL_WarpMouseInWindow(main->window, x, y);
    return TRUE;
}

int TranslateSdlEvent(const SDL_Event& event, HWND hwnd, MSG* out, int max)
{
    int n = 0;
    auto put = [&](UINT message, WPARAM wParam, LPARAM lParam) {
        if (n < max)
            out[n++] = Make(hwnd, message, wParam, lParam, event.common.timestamp);
    };
    switch (event.type)
    {
    case SDL_QUIT:
        put(WM_CLOSE, 0, 0);
        break;
    case SDL_WINDOWEVENT:
        switch (event.window.event)
        {
        case SDL_WINDOWEVENT_CLOSE:
            put(WM_CLOSE, 0, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            put(WM_ACTIVATE, WA_INACTIVE, 0);
            put(WM_KILLFOCUS, 0, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            put(WM_ACTIVATE, WA_ACTIVE, 0);
            put(WM_SETFOCUS, 0, 0);
            break;
        default:
            break;
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    {
        const int vk = SdlKeyToVirtualKey(event.key.keysym.sym);
        if (vk == 0)
            break;
        // Repeat count 1, scan code in bits 16-23, previous state in bit 30
        // (set for repeats and releases), transition in bit 31 (releases).
        LPARAM lParam = 1 | ((LPARAM)(event.key.keysym.scancode & 0xFF) << 16);
        if (event.type == SDL_KEYUP)
            lParam |= (LPARAM)0xC0000000u;
        else if (event.key.repeat)
            lParam |= (LPARAM)0x40000000;
        put(event.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP, (WPARAM)vk, lParam);
        break;
    }
    case SDL_TEXTINPUT:
    {
        const unsigned char* p = (const unsigned char*)event.text.text;
        const unsigned char* end = p + strnlen(event.text.text, sizeof(event.text.text));
        while (p < end && *p)
        {
            const unsigned cp = NextCodePoint(p);
            if (cp < 0x100)   // the game keeps one byte per character
                put(WM_CHAR, (WPARAM)cp, 1);
        }
        break;
    }
    case SDL_MOUSEMOTION:
        put(WM_MOUSEMOVE, 0, MAKELPARAM(ClientCoord(event.motion.x), ClientCoord(event.motion.y)));
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    {
        const bool down = event.type == SDL_MOUSEBUTTONDOWN;
        const LPARAM pos = MAKELPARAM(ClientCoord(event.button.x), ClientCoord(event.button.y));
        if (event.button.button == SDL_BUTTON_LEFT)
            put(down ? WM_LBUTTONDOWN : WM_LBUTTONUP, 0, pos);
        else if (event.button.button == SDL_BUTTON_RIGHT)
            put(down ? WM_RBUTTONDOWN : WM_RBUTTONUP, 0, pos);
        break;
    }
    default:
        break;
    }
    return n;
}

BOOL PeekMessageA(MSG* msg, HWND, UINT, UINT, UINT removeFlags)
{
    if (!msg)
        return FALSE;
    if (s_VideoReady)
    {
        SDL_Event ev;
        while (SDL_PollEvent(&ev))
        {
            HWND target = MainWindow();
            if (ev.type == SDL_WINDOWEVENT || ev.type == SDL_KEYDOWN || ev.type == SDL_KEYUP ||
                ev.type == SDL_TEXTINPUT || ev.type == SDL_MOUSEMOTION || ev.type == SDL_MOUSEBUTTONDOWN ||
                ev.type == SDL_MOUSEBUTTONUP)
            {
                // All of these carry the window id at the same place.
                if (HWND w = GetWindowHandle(SDL_GetWindowFromID(ev.window.windowID)))
                    target = w;
            }
            MSG translated[16];
            const int n = TranslateSdlEvent(ev, target, translated, 16);
            for (int i = 0; i < n; ++i)
                s_Queue.push_back(translated[i]);
        }
    }
    if (s_Queue.empty())
    {
        CountDrain();
        return FALSE;
    }
    *msg = s_Queue.front();
    if (removeFlags & PM_REMOVE)
        s_Queue.pop_front();
    return TRUE;
}

BOOL TranslateMessage(const MSG*)
{
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* msg)
{
    if (!msg || !Known(msg->hwnd))
        return 0;
    return msg->hwnd->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (hwnd && !Known(hwnd))
        return FALSE;
    s_Queue.push_back(Make(hwnd, message, wParam, lParam, 0));
    return TRUE;
}

void PostQuitMessage(int exitCode)
{
    s_Queue.push_back(Make(nullptr, WM_QUIT, (WPARAM)(intptr_t)exitCode, 0, 0));
}

LRESULT DefWindowProcA(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

SDL_Window* GetSdlWindow(HWND hwnd)
{
    return Known(hwnd) ? hwnd->window : nullptr;
}

HWND GetWindowHandle(SDL_Window* window)
{
    if (!window)
        return nullptr;
    for (WindowHandle* w : s_Windows)
        if (w->window == window)
            return w;
    return nullptr;
}
