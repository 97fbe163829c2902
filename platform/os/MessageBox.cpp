#include "platform/os/MessageBox.h"

#include <SDL.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/os/Window.h"

namespace
{
MessageBoxHook s_Hook = nullptr;

// A box can be seen (and closed) only with a real video driver and a display.
bool CanShowBox()
{
    const char* driver = getenv("SDL_VIDEODRIVER");
    if (driver && (strcmp(driver, "offscreen") == 0 || strcmp(driver, "dummy") == 0))
        return false;
    const char* x11 = getenv("DISPLAY");
    const char* wayland = getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}
// While a box is up the game's loop does not run, so the quit that SDL's
// signal handlers post for SIGINT and SIGTERM would wait for the box to be
// closed: a kill signal ends the program at once instead, as it would without
// SDL. The handlers come back when the box goes.
class KillSignalsEndTheProgram
{
public:
    KillSignalsEndTheProgram()
    {
        struct sigaction ends = {};
        ends.sa_handler = SIG_DFL;
        sigemptyset(&ends.sa_mask);
        sigaction(SIGINT, &ends, &m_Int);
        sigaction(SIGTERM, &ends, &m_Term);
    }
    ~KillSignalsEndTheProgram()
    {
        sigaction(SIGINT, &m_Int, nullptr);
        sigaction(SIGTERM, &m_Term, nullptr);
    }
    KillSignalsEndTheProgram(const KillSignalsEndTheProgram&) = delete;
    KillSignalsEndTheProgram& operator=(const KillSignalsEndTheProgram&) = delete;

private:
    struct sigaction m_Int = {};
    struct sigaction m_Term = {};
};
}   // namespace

void SetMessageBoxHook(MessageBoxHook hook)
{
    s_Hook = hook;
}

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type)
{
    const char* t = text ? text : "";
    const char* c = caption ? caption : "";
    fprintf(stderr, "%s: %s\n", c, t);
    fflush(stderr);
    if (!s_Hook && !CanShowBox())
        return IDOK;
    const KillSignalsEndTheProgram guard;
    if (s_Hook)
        return s_Hook(owner, t, c, type);

    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    if ((type & 0xF0) == MB_ICONERROR)
        flags = SDL_MESSAGEBOX_ERROR;
    else if ((type & 0xF0) == MB_ICONWARNING)
        flags = SDL_MESSAGEBOX_WARNING;
    // The game hides the system cursor; the box needs it.
    int shown = SDL_ShowCursor(SDL_QUERY);
    SDL_ShowCursor(SDL_ENABLE);
    SDL_ShowSimpleMessageBox(flags, c, t, GetSdlWindow(owner));
    SDL_ShowCursor(shown);
    return IDOK;
}
