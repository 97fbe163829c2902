// The device of a headless run: see RaceDevice.h.
#include "play/RaceDevice.h"

#include "platform/d3d/D3D9.h"
#include "platform/d3d/D3D9Backend.h"
#include "render/D3DRender.h"

namespace
{

// The recording device's size: it draws nothing, any size will do.
const UINT kRecordingWidth = 320, kRecordingHeight = 240;

}   // namespace

bool RaceDevice::OpenRecording()
{
    D3DSelectBackend(D3DBackendKind::Recording);
    m_RecordingSelected = true;
    m_D3D = Direct3DCreate9(D3D_SDK_VERSION);
    if (!m_D3D)
    {
        m_Error = "no recording device: Direct3DCreate9 failed";
        return false;
    }
    D3DPRESENT_PARAMETERS pp = {};
    pp.BackBufferWidth = kRecordingWidth;
    pp.BackBufferHeight = kRecordingHeight;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.Windowed = TRUE;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D24S8;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    const HRESULT hr = m_D3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr,
                                           D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &m_Recording);
    if (FAILED(hr))
    {
        m_Error = std::string("no recording device: CreateDevice failed: ") + DXGetErrorString9A(hr);
        return false;
    }
    g_Render.device = m_Recording;
    g_Render.d3d = m_D3D;
    // The new device holds its own defaults, not what the render device
    // recorded for the one before.
    g_Render.ForgetStates();
    return true;
}

bool RaceDevice::Open(bool pictures, int width, int height)
{
    Close();
    if (!pictures)
    {
        if (!OpenRecording())
        {
            Close();
            return false;
        }
        return true;
    }
    D3DSelectBackend(D3DBackendKind::OpenGL);
    m_Window = D3DCreateHiddenWindow(width, height);
    if (!m_Window)
    {
        m_Error = "no window (set SDL_VIDEODRIVER=offscreen)";
        Close();
        return false;
    }
    D3DOverrideAdapterModes({D3DDISPLAYMODE{(UINT)width, (UINT)height, 60, D3DFMT_X8R8G8B8}});
    g_Render = CD3DRender();
    m_Game = true;
    if (g_Render.InitD3D(1) != 0 || FAILED(g_Render.CreateDevice(m_Window, 1, 0, 0)))
    {
        m_Error = "the render device could not be made";
        Close();
        return false;
    }
    return true;
}

void RaceDevice::Close()
{
    if (m_Recording)
    {
        if (g_Render.device == m_Recording)
            g_Render.device = nullptr;
        m_Recording->Release();
        m_Recording = nullptr;
    }
    if (m_D3D)
    {
        if (g_Render.d3d == m_D3D)
            g_Render.d3d = nullptr;
        m_D3D->Release();
        m_D3D = nullptr;
    }
    if (m_RecordingSelected)
    {
        // The backend the program uses.
        D3DSelectBackend(D3DBackendKind::OpenGL);
        m_RecordingSelected = false;
    }
    if (m_Game)
    {
        g_Render.FreeD3DRender();
        m_Game = false;
    }
    if (m_Window)
    {
        D3DDestroyHiddenWindow(m_Window);
        m_Window = nullptr;
        D3DClearOverrides();
    }
}
