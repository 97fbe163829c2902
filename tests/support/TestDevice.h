#pragma once
// A device of the graphics layer for tests and benchmarks: the recording
// backend, or the OpenGL one on a hidden window (headless with
// SDL_VIDEODRIVER=offscreen), windowed, an X8R8G8B8 back buffer and a D24S8
// depth buffer. Free of the test framework, so that the benchmarks can use it
// as well.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3d/D3D9.h"
#include "platform/d3d/D3D9Backend.h"

namespace testdevice
{

// Present parameters of a windowed back buffer of width x height.
D3DPRESENT_PARAMETERS WindowedParameters(UINT width, UINT height, HWND window = nullptr, bool depth = true);

// A hidden window for the OpenGL backend, for a device the game itself makes
// on it (CD3DRender::CreateDevice). Opening selects the OpenGL backend.
class HiddenWindow
{
public:
    HiddenWindow() = default;
    HiddenWindow(const HiddenWindow&) = delete;
    HiddenWindow& operator=(const HiddenWindow&) = delete;
    ~HiddenWindow() { Close(); }

    // False when there is no video driver to make it with.
    bool Open(int width, int height);
    void Close();
    HWND get() const { return m_Window; }

private:
    HWND m_Window = nullptr;
};

// Pixels (B,G,R,A, rows top to bottom) of the device's render target 0, and
// its size; empty (0 x 0) when it cannot be read.
std::vector<uint8_t> ReadRenderTargetOf(IDirect3DDevice9* device, UINT* width = nullptr, UINT* height = nullptr);

// A device of the graphics layer alone, installed nowhere: what the tests of
// the platform layer use (their program links nothing above it).
class Device
{
public:
    Device() = default;
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;
    ~Device() { Close(); }

    // Selects the backend and makes the device. The OpenGL backend without a
    // window gets a hidden window of the back buffer's size. The result of
    // CreateDevice, or E_FAIL (with the reason in error()) when there is no
    // window or Direct3D object.
    HRESULT Open(D3DBackendKind kind, UINT width, UINT height, HWND window = nullptr, bool depth = true);

    // An OpenGL device on a hidden window of its own; false (with the reason
    // in error()) when no GL is available.
    bool OpenHeadless(UINT width, UINT height, bool depth = true)
    {
        return Open(D3DBackendKind::OpenGL, width, height, nullptr, depth) == D3D_OK;
    }

    // Releases the device and the Direct3D object and the window it made,
    // and selects the OpenGL backend again, the one the program uses.
    void Close();

    IDirect3DDevice9* operator->() const { return device; }
    IDirect3DDevice9* get() const { return device; }
    // The window the device draws on (null on the recording backend).
    HWND window() const { return m_Window; }
    const std::string& error() const { return m_Error; }

    // Pixels (B,G,R,A, rows top to bottom) of the current render target 0.
    std::vector<uint8_t> ReadRenderTarget(UINT* width = nullptr, UINT* height = nullptr) const;

    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;

private:
    HRESULT Fail(HRESULT hr, const std::string& why);

    bool m_Selected = false;
    HiddenWindow m_OwnWindow;
    HWND m_Window = nullptr;
    std::string m_Error;
};

// The same device for the tests of the render layer and above: with
// `install` it becomes g_Render's device (the render device's recorded
// states forgotten), and it is taken out of g_Render again when closed.
class TestDevice : public Device
{
public:
    TestDevice() = default;
    ~TestDevice() { Close(); }

    // As Device::Open, installed in g_Render with `install`. OpenHeadless
    // does not install.
    HRESULT Open(D3DBackendKind kind, UINT width, UINT height, bool install = true, HWND window = nullptr,
                 bool depth = true);
    void Close();
};

}   // namespace testdevice
