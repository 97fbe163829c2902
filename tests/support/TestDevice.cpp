// The test device installed in g_Render: see TestDevice.h.
#include "tests/support/TestDevice.h"

#include "render/D3DRender.h"

namespace testdevice
{

HRESULT TestDevice::Open(D3DBackendKind kind, UINT width, UINT height, bool install, HWND window, bool depth)
{
    Close();
    const HRESULT hr = Device::Open(kind, width, height, window, depth);
    if (FAILED(hr) || !install)
        return hr;
    g_Render.device = device;
    g_Render.d3d = d3d;
    // The new device holds its own defaults, not what the render device
    // recorded for the one before.
    g_Render.ForgetStates();
    return hr;
}

void TestDevice::Close()
{
    if (device && g_Render.device == device)
        g_Render.device = nullptr;
    if (d3d && g_Render.d3d == d3d)
        g_Render.d3d = nullptr;
    Device::Close();
}

}   // namespace testdevice
