#pragma once
// The device of a headless run in g_Render: the recording backend for a plain
// run, or the game's own render device on OpenGL on a hidden window
// (SDL_VIDEODRIVER=offscreen) for pictures.
#include <string>

#include "platform/d3d/D3D9.h"

class RaceDevice
{
public:
    RaceDevice() = default;
    RaceDevice(const RaceDevice&) = delete;
    RaceDevice& operator=(const RaceDevice&) = delete;
    ~RaceDevice() { Close(); }

    // False (with the reason in error) when the device cannot be made.
    bool Open(bool pictures, int width = 800, int height = 600);
    void Close();
    const std::string& Error() const { return m_Error; }

private:
    bool OpenRecording();

    bool m_RecordingSelected = false;       // the recording backend was selected
    IDirect3D9* m_D3D = nullptr;            // the recording device's Direct3D object, when open
    IDirect3DDevice9* m_Recording = nullptr;   // the recording device, when open
    HWND m_Window = nullptr;                // the hidden window of the OpenGL device, when open
    bool m_Game = false;                    // the game's render device is open
    std::string m_Error;
};
