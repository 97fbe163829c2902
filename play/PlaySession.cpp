// The scripted player's session: see PlaySession.h.
#include "play/PlaySession.h"

#include <SDL.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <vector>

#include "app/Game.h"
#include "app/GameEvent.h"
#include "app/WinMain.h"
#include "audio/AudioManager.h"
#include "core/GameClock.h"
#include "core/InputPacing.h"
#include "core/RunFlags.h"
#include "interface/GameHUD.h"
#include "interface/MainMenu.h"
#include "platform/d3d/D3D9Backend.h"
#include "platform/os/Clock.h"
#include "platform/os/Window.h"
#include "render/D3DRender.h"

namespace play
{
namespace
{
const char kPictureStep[] = "PlaySession::Picture";
Session* s_Current = nullptr;   // the session whose picture step runs

Uint32 WindowId()
{
    SDL_Window* window = GetSdlWindow(g_hwnd);
    return window ? SDL_GetWindowID(window) : 0;
}
}   // namespace

bool Session::Start(const std::string& folder, Device device)
{
    End();
    m_Error.clear();
    char home[PATH_MAX];
    if (!getcwd(home, sizeof home))
    {
        m_Error = "no working folder";
        return false;
    }
    m_HomeFolder = home;
    if (chdir(folder.c_str()) != 0)
    {
        m_Error = "no folder " + folder;
        return false;
    }
    // The events the player gives before the window exists wait in SDL's
    // queue; the window layer takes them with its first draining.
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
    {
        m_Error = std::string("no video driver: ") + SDL_GetError();
        chdir(m_HomeFolder.c_str());
        return false;
    }
    m_Device = device;
    D3DSelectBackend(device == Device::Recording ? D3DBackendKind::Recording : D3DBackendKind::OpenGL);
    m_Frames = 0;
    m_ClockMs = 0;
    m_MsPerFrame = 1000.0 / 60.0;
    // The splash sequence runs its own loop at the start, on the real clock:
    // Esc skips it, as a player would.
    ClockUseSystem();
    KeyDown(SDLK_ESCAPE);
    const int failed = StartProgram(nullptr);
    KeyUp(SDLK_ESCAPE);
    // Nobody reads the recording device's calls of the start (the splash
    // frames and the loading): they would stay in memory for the rest of
    // the process, a gigabyte a start.
    if (device == Device::Recording)
        D3DClearRecordedCalls();
    // From here on the frames step the clock, on from where it stands.
    m_BaseMs = timeGetTime();
    ClockSetManual(m_BaseMs);
    m_Started = true;   // what did start is ended by End
    if (failed)
    {
        m_Error = "the program did not start (exit code " + std::to_string(failed) + ")";
        End();
        return false;
    }
    s_Current = this;
    g_Game.drawSteps.push_back({kPictureStep, [] {
                                    Session* s = s_Current;
                                    if (!s || s->m_PicturePath.empty() || !g_Render.device)
                                        return 1;
                                    UINT w = 0, h = 0;
                                    const std::vector<uint8_t> pixels = D3DReadRenderTarget(g_Render.device, &w, &h);
                                    s->m_PictureTaken =
                                        !pixels.empty() && D3DWritePng(s->m_PicturePath, pixels, (int)w, (int)h);
                                    return 1;
                                }});
    return true;
}

void Session::End()
{
    if (!m_Started)
        return;
    m_Started = false;
    if (s_Current == this)
        s_Current = nullptr;
    EndProgram();
    if (g_hwnd)
        DestroyWindow(g_hwnd);
    g_hwnd = nullptr;
    ClockUseSystem();
    // The program's end leaves its menu up; a headless race made after it in
    // this process would otherwise start behind it.
    g_MainMenu.active = 0;
    if (m_Device == Device::Recording)
        D3DClearRecordedCalls();
    D3DSelectBackend(D3DBackendKind::OpenGL);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    chdir(m_HomeFolder.c_str());
}

bool Session::RaceInProgress() const
{
    return GameRunning() && !g_MainMenu.active && !g_GameHUD.resultOpen && !g_GameHUD.careerComplete &&
           !g_GameHUD.overlayOpen;
}

bool Session::Frame()
{
    if (!m_Started || QuitRequested())
        return false;
    ++m_Frames;
    m_ClockMs += m_MsPerFrame;
    ClockSetManual(m_BaseMs + (unsigned)m_ClockMs);
    DrainMessages(nullptr);
    if (m_FastRace && !m_DrawRaces && m_PicturePath.empty() && RaceInProgress())
    {
        // The frame's updates without its drawing.
        g_Clock.Update();
        if (g_Clock.m_GameStep > 0.0f)
            for (const GameStep& s : g_Game.runningUpdateSteps)
                s.run();
        g_AudioManager.Update();
    }
    else
        g_Game.Frame();
    InputFrameDone();
    if (m_Device == Device::Recording)
        D3DClearRecordedCalls();
    return !QuitRequested();
}

void Session::SetFrameRate(double framesPerSecond)
{
    if (framesPerSecond > 0)
        m_MsPerFrame = 1000.0 / framesPerSecond;
}

void Session::Frames(int count)
{
    for (int i = 0; i < count && Frame(); ++i)
    {}
}

bool Session::Until(const std::function<bool()>& done, int maxFrames)
{
    for (int i = 0; i < maxFrames; ++i)
    {
        if (done())
            return true;
        if (!Frame())
            return false;
    }
    return done();
}

void Session::Push(const void* event)
{
    SDL_Event copy;
    std::memcpy(&copy, event, sizeof copy);
    SDL_PushEvent(&copy);
}

void Session::KeyDown(int sdlKey)
{
    Key(sdlKey, true);
}

void Session::KeyUp(int sdlKey)
{
    Key(sdlKey, false);
}

void Session::Key(int sdlKey, bool down)
{
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = WindowId();
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = sdlKey;
    Push(&e);
}

void Session::Tap(int sdlKey)
{
    KeyDown(sdlKey);
    Frame();
    KeyUp(sdlKey);
    Frame();
}

void Session::TypeChar(char c)
{
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_TEXTINPUT;
    e.text.windowID = WindowId();
    e.text.text[0] = c;
    Push(&e);
}

void Session::Type(const std::string& text)
{
    for (char c : text)
    {
        TypeChar(c);
        Frame();
    }
}

void Session::MoveMouse(float x, float y)
{
    // The window procedure divides by the device's scales to reach the
    // virtual screen; the player's mouse moves in window pixels.
    const float sx = g_Render.scaleX > 0.0f ? g_Render.scaleX : 1.0f;
    const float sy = g_Render.scaleY > 0.0f ? g_Render.scaleY : 1.0f;
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = WindowId();
    e.motion.x = (int)(x * sx + 0.5f);
    e.motion.y = (int)(y * sy + 0.5f);
    Push(&e);
}

void Session::MouseButton(bool down, float x, float y)
{
    const float sx = g_Render.scaleX > 0.0f ? g_Render.scaleX : 1.0f;
    const float sy = g_Render.scaleY > 0.0f ? g_Render.scaleY : 1.0f;
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = WindowId();
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.x = (int)(x * sx + 0.5f);
    e.button.y = (int)(y * sy + 0.5f);
    Push(&e);
}

void Session::ClickAt(float x, float y)
{
    MoveMouse(x, y);
    Frame();
    MouseButton(true, x, y);
    Frame();
    MouseButton(false, x, y);
    // A press fires more than 0.1 s after it.
    Frames(9);
}

void Session::Click(const CMenuButton& button)
{
    float l, t, r, b;
    button.TextBox(button.scale, &l, &t, &r, &b);
    ClickAt((l + r) / 2.0f, (t + b) / 2.0f);
}

bool Session::Picture(const std::string& path)
{
    if (m_Device != Device::OpenGL)
        return false;
    m_PicturePath = path;
    m_PictureTaken = false;
    Frame();
    m_PicturePath.clear();
    return m_PictureTaken;
}

}   // namespace play
