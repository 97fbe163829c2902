// The devices of the tests, the part of the graphics layer alone: see TestDevice.h.
#include "tests/support/TestDevice.h"

namespace testdevice
{

D3DPRESENT_PARAMETERS WindowedParameters(UINT width, UINT height, HWND window, bool depth)
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

bool HiddenWindow::Open(int width, int height)
{
    Close();
    D3DSelectBackend(D3DBackendKind::OpenGL);
    m_Window = D3DCreateHiddenWindow(width, height);
    return m_Window != nullptr;
}

void HiddenWindow::Close()
{
    if (m_Window)
        D3DDestroyHiddenWindow(m_Window);
    m_Window = nullptr;
}

HRESULT Device::Open(D3DBackendKind kind, UINT width, UINT height, HWND window, bool depth)
{
    Close();
    m_Error.clear();
    if (kind == D3DBackendKind::OpenGL && !window)
    {
        if (!m_OwnWindow.Open((int)width, (int)height))
            return Fail(E_FAIL, "no video driver for a hidden window");
        window = m_OwnWindow.get();
    }
    m_Window = window;
    D3DSelectBackend(kind);
    m_Selected = true;
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!d3d)
        return Fail(E_FAIL, "Direct3DCreate9 failed");
    D3DPRESENT_PARAMETERS pp = WindowedParameters(width, height, window, depth);
    const HRESULT hr = d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                         D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device);
    if (FAILED(hr))
        return Fail(hr, std::string("CreateDevice failed: ") + DXGetErrorString9A(hr));
    return hr;
}

HRESULT Device::Fail(HRESULT hr, const std::string& why)
{
    m_Error = why;
    return hr;
}

void Device::Close()
{
    if (device)
    {
        device->Release();
        device = nullptr;
    }
    if (d3d)
    {
        d3d->Release();
        d3d = nullptr;
    }
    m_OwnWindow.Close();
    m_Window = nullptr;
    if (m_Selected)
        D3DSelectBackend(D3DBackendKind::OpenGL);
    m_Selected = false;
}

std::vector<uint8_t> ReadRenderTargetOf(IDirect3DDevice9* device, UINT* width, UINT* height)
{
    return D3DReadRenderTarget(device, width, height);
}

std::vector<uint8_t> Device::ReadRenderTarget(UINT* width, UINT* height) const
{
    return ReadRenderTargetOf(device, width, height);
}

}   // namespace testdevice
