#pragma once
// The real program driven by a scripted player. Start runs the program's own
// start (StartProgram: settings, window, devices, splash, game, first race)
// in a folder that holds Data/, and every Frame is one pass of its main loop
// (messages drained, CGame::Frame) on a manual clock of 60 frames a second
// (or the rate SetFrameRate asks for, as slow as the game really runs on a
// software renderer), so the game time does not depend on how fast the
// machine draws.
// The player's keys, typed text and mouse go in as SDL events, the way the
// window layer receives them from a real keyboard and mouse, and reach the
// game through its message queue and window procedure.
//
// The device is the game's own render device, made on the recording backend
// (the whole frame runs, its calls are dropped every frame) or on OpenGL
// (pictures can be taken; slow on a software renderer). The frames of a race
// in progress (no menu, result screen, pause menu or hint box up) leave out
// the drawing unless DrawRaces asks for it: the updates are the same, and
// every frame with something to answer is drawn whole.
#include <functional>
#include <string>

class CMenuButton;

namespace play
{

enum class Device
{
    Recording,
    OpenGL,
};

class Session
{
public:
    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session() { End(); }

    // Enters `folder` and starts the program there; false with the reason in
    // error() when it did not start (the folder is left again).
    bool Start(const std::string& folder, Device device);
    // The program's end (EndProgram), its window closed; back to the folder
    // the session started in. Nothing when not started.
    void End();
    bool Started() const { return m_Started; }

    // One pass of the main loop; false once the game has asked to quit.
    bool Frame();
    void Frames(int count);
    // Frames until `done` holds (checked before each frame); false when
    // `maxFrames` went by first or the game quit.
    bool Until(const std::function<bool()>& done, int maxFrames);
    long FrameCount() const { return m_Frames; }
    // Seconds of the clock since the start.
    double GameSeconds() const { return m_ClockMs / 1000.0; }
    // Frames a second of the clock from the next frame on (60 at start).
    void SetFrameRate(double framesPerSecond);
    // Milliseconds of the clock since the start, where the next frame begins.
    double ClockMs() const { return m_ClockMs; }

    // A key pressed (SDL key code) for one frame, then released and one more
    // frame run.
    void Tap(int sdlKey);
    void KeyDown(int sdlKey);
    void KeyUp(int sdlKey);
    // Characters typed into the focused window, one frame each.
    void Type(const std::string& text);
    // One character typed, without a frame.
    void TypeChar(char c);
    // The left button pressed or released at a point of the virtual
    // screen, without a frame.
    void MouseButton(bool down, float x, float y);
    // The mouse moved to a point of the virtual 800 x 600 screen.
    void MoveMouse(float x, float y);
    // The left button clicked at a point of the virtual screen: moved, down
    // for a frame, up, then frames until the button's press has fired.
    void ClickAt(float x, float y);
    // A click on the middle of a menu button's text.
    void Click(const CMenuButton& button);

    // Set by the player while a race is ridden: its frames may leave out
    // the drawing (see above).
    void SetFastRace(bool fast) { m_FastRace = fast; }
    // Every race frame drawn whole.
    void DrawRaces(bool draw) { m_DrawRaces = draw; }
    // The next drawn frame written to `path` as PNG (OpenGL only); false
    // when nothing could be read back.
    bool Picture(const std::string& path);

    const std::string& Error() const { return m_Error; }

private:
    void Push(const void* event);
    void Key(int sdlKey, bool down);
    bool RaceInProgress() const;

    bool m_Started = false;
    Device m_Device = Device::Recording;
    bool m_FastRace = false;
    bool m_DrawRaces = false;
    long m_Frames = 0;
    double m_ClockMs = 0;
    double m_MsPerFrame = 1000.0 / 60.0;
    unsigned m_BaseMs = 0;   // the clock at the first frame
    std::string m_Error;
    std::string m_HomeFolder;
    std::string m_PicturePath;
    bool m_PictureTaken = false;
};

}   // namespace play
