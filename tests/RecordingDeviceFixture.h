#pragma once
// A device of the graphics layer for tests and benchmarks: the recording
// backend (or the OpenGL one on a window the caller made), windowed, an
// X8R8G8B8 back buffer and a D24S8 depth buffer. Free of the test framework,
// so that the benchmarks can use it as well.
#include "platform/d3d/D3D9.h"
#include "render/D3DRender.h"

namespace testdevice
{

// Present parameters of a windowed back buffer of width x height.
inline D3DPRESENT_PARAMETERS WindowedParameters(UINT width, UINT height, HWND window = nullptr, bool depth = true)
{
    D3DPRESENT_PARAMETERS pp = {};
    pp.BackBufferWidth = width;
    pp.BackBufferHeight = height;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = window;
    pp.Windowed = TRUE;
    pp.EnableAutoDepthStencil = depth ? TRUE : FALSE;
    pp.AutoDepthStencilFormat = D3DFMT_D24S8;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return pp;
}

class TestDevice
{
public:
    TestDevice() = default;
    TestDevice(const TestDevice&) = delete;
    TestDevice& operator=(const TestDevice&) = delete;
    ~TestDevice() { Close(); }

    // Selects the backend and makes the device; with `install` it becomes
    // g_Render's device. The result of CreateDevice, or E_FAIL without a
    // Direct3D object.
    HRESULT Open(D3DBackendKind kind, UINT width, UINT height, bool install = true, HWND window = nullptr,
                 bool depth = true)
    {
        Close();
        D3DSelectBackend(kind);
        selected = true;
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        if (!d3d)
            return E_FAIL;
        D3DPRESENT_PARAMETERS pp = WindowedParameters(width, height, window, depth);
        const HRESULT hr = d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                             D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device);
        if (install)
        {
            g_Render.device = device;
            g_Render.d3d = d3d;
            // The new device holds its own defaults, not what the render
            // device recorded for the one before.
            g_Render.ForgetStates();
        }
        return hr;
    }

    // Releases the device and the Direct3D object (taking them out of
    // g_Render when they are installed there) and selects the OpenGL backend
    // again, the one the program uses.
    void Close()
    {
        if (!selected)
            return;
        if (device)
        {
            if (g_Render.device == device)
                g_Render.device = nullptr;
            device->Release();
            device = nullptr;
        }
        if (d3d)
        {
            if (g_Render.d3d == d3d)
                g_Render.d3d = nullptr;
            d3d->Release();
            d3d = nullptr;
        }
        D3DSelectBackend(D3DBackendKind::OpenGL);
        selected = false;
    }

    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;

private:
    bool selected = false;
};

}   // namespace testdevice
