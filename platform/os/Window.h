#pragma once
// The window and its message queue, in the shape of the Win32 calls the game's
// start-up and main loop are written against. SDL events are turned into the
// messages the window procedure handles:
//   focus lost    -> WM_ACTIVATE (WA_INACTIVE), then WM_KILLFOCUS
//   focus gained  -> WM_ACTIVATE (WA_ACTIVE), then WM_SETFOCUS
//   close / quit  -> WM_CLOSE
//   key down/up   -> WM_KEYDOWN / WM_KEYUP, wParam the virtual-key code
//                    (repeats arrive as further key-downs; keys without a
//                    virtual-key code are dropped)
//   text input    -> WM_CHAR, one per character (wParam the character code)
//   mouse         -> WM_MOUSEMOVE, WM_LBUTTONDOWN/UP, WM_RBUTTONDOWN/UP with
//                    the client position in lParam (MAKELPARAM(x, y))
//
// Test hook: when the environment variable TRALLOWMERE_TEST_CLOSE_AFTER_FRAMES
// holds a number N > 0, the layer posts a window-close event after N message
// drains (a PeekMessageA that finds the queue empty ends one drain, which is
// once per main-loop frame), so a headless run ends by the normal close path.
// A message loop of its own before the main loop (the splash sequence) turns
// the count off for its run with SetDrainCounting(0), so N stays main-loop
// frames, and asks TestRunSkipsIntro() whether to skip itself: a counted
// run skips it unless TRALLOWMERE_TEST_SHOW_INTRO=1, so every headless run
// of the game does not wait 15 s for a picture nobody looks at.
#include "platform/os/WinTypes.h"

struct SDL_Window;
union SDL_Event;

typedef void* HICON;
typedef void* HCURSOR;
typedef void* HBRUSH;
typedef void* HMENU;
typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSA
{
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    const char* lpszMenuName;
    const char* lpszClassName;
};

struct MSG
{
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
};

#define WS_POPUP            0x80000000u
#define WS_VISIBLE          0x10000000u
#define SW_HIDE             0
#define SW_SHOWNORMAL       1
#define SW_SHOW             5
#define PM_NOREMOVE         0x0000
#define PM_REMOVE           0x0001
#define BLACK_BRUSH         4
#define MAKEINTRESOURCEA(i) ((const char*)(uintptr_t)(WORD)(i))
#define IDC_ARROW           MAKEINTRESOURCEA(32512)

// Registers a class (name and procedure are what matter); returns 0 on failure.
WORD RegisterClassA(const WNDCLASSA* wc);

// Initialises SDL video on first use and creates a window with
// SDL_WINDOW_OPENGL, at (x, y) with the given size. WS_VISIBLE shows it at
// once. Returns null (with the SDL error on stderr) on failure.
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
BOOL DestroyWindow(HWND hwnd);
BOOL ShowWindow(HWND hwnd, int showCommand);
BOOL UpdateWindow(HWND hwnd);

HICON LoadIconA(HINSTANCE instance, const char* name);
HCURSOR LoadCursorA(HINSTANCE instance, const char* name);
void* GetStockObject(int object);
// A null cursor hides the system cursor; anything else shows it. Returns the
// previous cursor (null when it was hidden).
HCURSOR SetCursor(HCURSOR cursor);
// Moves the system cursor to a client position of the main window.
BOOL SetCursorPos(int x, int y);

// Message queue. PeekMessageA pulls pending SDL events first; filters are not
// supported (pass 0, 0). Returns TRUE when a message was stored in msg.
BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
// Whether drains count towards TRALLOWMERE_TEST_CLOSE_AFTER_FRAMES (1 at start).
void SetDrainCounting(int on);
int TestRunSkipsIntro();
BOOL TranslateMessage(const MSG* msg);   // WM_CHAR comes from SDL text input already
LRESULT DispatchMessageA(const MSG* msg);
BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The SDL window behind a handle (null for null or unknown handles), and the
// handle of an SDL window. The render device makes its GL context on it.
SDL_Window* GetSdlWindow(HWND hwnd);
HWND GetWindowHandle(SDL_Window* window);

// Turns one SDL event into up to `max` messages for `hwnd`; returns how many.
// Used by PeekMessageA; exposed so the mapping can be tested without a window.
int TranslateSdlEvent(const SDL_Event& event, HWND hwnd, MSG* out, int max);
