// The Direct3D object: adapter modes, desktop mode, capabilities and device
// creation; plus the layer's backend controls and test windows.
#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "platform/d3d/Internal.h"
#include "platform/os/ModulePin.h"
#include "platform/os/Window.h"

namespace d3d
{

namespace
{

struct Overrides
{
    bool modes = false;
    std::vector<D3DDISPLAYMODE> modeList;
    bool desktop = false;
    D3DDISPLAYMODE desktopMode{};
    DWORD vs = 0, ps = 0;
    std::vector<std::pair<DWORD, HRESULT>> createResults;
    bool description = false;
    std::string descriptionText;
};

Overrides& Settings()
{
    static Overrides o;
    return o;
}

D3DBackendKind g_backend = D3DBackendKind::OpenGL;

std::set<SDL_Window*>& HiddenWindows()
{
    static std::set<SDL_Window*> windows;
    return windows;
}

bool DisplayFormat(D3DFORMAT f)
{
    return f == D3DFMT_X8R8G8B8 || f == D3DFMT_R5G6B5;
}

// Common sizes offered when the display lists only a few modes (headless or
// virtual displays list one).
const UINT kCommonSizes[][2] = {{640, 480},   {800, 600},   {1024, 768},  {1152, 864}, {1280, 720},
                                {1280, 960},  {1280, 1024}, {1366, 768},  {1440, 900}, {1600, 900},
                                {1600, 1200}, {1680, 1050}, {1920, 1080}, {1920, 1200}};

}   // namespace

D3DDISPLAYMODE DesktopMode(D3DBackendKind kind)
{
    if (Settings().desktop)
        return Settings().desktopMode;
    D3DDISPLAYMODE mode = {1024, 768, 60, D3DFMT_X8R8G8B8};
    if (kind == D3DBackendKind::OpenGL && SDL_WasInit(SDL_INIT_VIDEO))
    {
        SDL_DisplayMode dm;
        if (SDL_GetDesktopDisplayMode(0, &dm) == 0 && dm.w > 0 && dm.h > 0)
        {
            mode.Width = (UINT)dm.w;
            mode.Height = (UINT)dm.h;
            mode.RefreshRate = dm.refresh_rate > 0 ? (UINT)dm.refresh_rate : 60;
        }
    }
    return mode;
}

void FillCaps(D3DCAPS9* caps)
{
    std::memset(caps, 0, sizeof *caps);
    caps->DeviceType = D3DDEVTYPE_HAL;
    caps->PresentationIntervals = D3DPRESENT_INTERVAL_IMMEDIATE | D3DPRESENT_INTERVAL_ONE;
    caps->MaxTextureWidth = caps->MaxTextureHeight = 8192;
    caps->MaxAnisotropy = 16;
    caps->MaxTextureBlendStages = CDevice9::kStages;
    caps->MaxSimultaneousTextures = CDevice9::kStages;
    caps->MaxActiveLights = CDevice9::kLights;
    caps->MaxUserClipPlanes = 1;
    caps->MaxPrimitiveCount = 0xFFFFFF;
    caps->MaxVertexIndex = 0xFFFFFF;
    caps->MaxStreams = 1;
    caps->MaxStreamStride = 255;
    caps->VertexShaderVersion = Settings().vs ? Settings().vs : D3DVS_VERSION(2, 0);
    caps->PixelShaderVersion = Settings().ps ? Settings().ps : D3DPS_VERSION(2, 0);
    caps->MaxVertexShaderConst = CDevice9::kConstants;
    caps->PixelShader1xMaxValue = 8.0f;
    caps->NumSimultaneousRTs = 1;
}

SDL_Window* ResolveWindow(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    auto* candidate = reinterpret_cast<SDL_Window*>(hwnd);
    if (HiddenWindows().count(candidate))
        return candidate;
    return GetSdlWindow(hwnd);
}

CDirect3D9::CDirect3D9(D3DBackendKind kind) : m_Kind(kind) {}

CDirect3D9::~CDirect3D9()
{
    if (m_SdlVideo)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

std::vector<D3DDISPLAYMODE> CDirect3D9::Modes()
{
    if (Settings().modes)
        return Settings().modeList;
    D3DDISPLAYMODE desktop = DesktopMode(m_Kind);
    std::vector<D3DDISPLAYMODE> modes;
    if (m_Kind == D3DBackendKind::OpenGL && SDL_WasInit(SDL_INIT_VIDEO))
    {
        int n = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < n; ++i)
        {
            SDL_DisplayMode dm;
            if (SDL_GetDisplayMode(0, i, &dm) != 0 || dm.w <= 0 || dm.h <= 0)
                continue;
            modes.push_back(
                {(UINT)dm.w, (UINT)dm.h, dm.refresh_rate > 0 ? (UINT)dm.refresh_rate : 60, D3DFMT_X8R8G8B8});
        }
    }
    if (modes.size() < 5)
    {
        for (const auto& size : kCommonSizes)
            if (size[0] <= desktop.Width && size[1] <= desktop.Height)
                modes.push_back({size[0], size[1], 60, D3DFMT_X8R8G8B8});
        modes.push_back({desktop.Width, desktop.Height, desktop.RefreshRate, D3DFMT_X8R8G8B8});
    }
    // Smallest first, one entry per size and rate.
    std::stable_sort(modes.begin(), modes.end(), [](const D3DDISPLAYMODE& a, const D3DDISPLAYMODE& b) {
        if (a.Width != b.Width)
            return a.Width < b.Width;
        if (a.Height != b.Height)
            return a.Height < b.Height;
        return a.RefreshRate < b.RefreshRate;
    });
    modes.erase(std::unique(modes.begin(), modes.end(),
                            [](const D3DDISPLAYMODE& a, const D3DDISPLAYMODE& b) {
                                return a.Width == b.Width && a.Height == b.Height && a.RefreshRate == b.RefreshRate;
                            }),
                modes.end());
    return modes;
}

UINT CDirect3D9::GetAdapterModeCount(UINT Adapter, D3DFORMAT Format)
{
    if (Adapter != 0 || !DisplayFormat(Format))
        return 0;
    return (UINT)Modes().size();
}

HRESULT CDirect3D9::EnumAdapterModes(UINT Adapter, D3DFORMAT Format, UINT Mode, D3DDISPLAYMODE* pMode)
{
    if (Adapter != 0 || !pMode || !DisplayFormat(Format))
        return D3DERR_INVALIDCALL;
    std::vector<D3DDISPLAYMODE> modes = Modes();
    if (Mode >= modes.size())
        return D3DERR_INVALIDCALL;
    *pMode = modes[Mode];
    pMode->Format = Format;
    return D3D_OK;
}

HRESULT CDirect3D9::GetAdapterDisplayMode(UINT Adapter, D3DDISPLAYMODE* pMode)
{
    if (Adapter != 0 || !pMode)
        return D3DERR_INVALIDCALL;
    *pMode = DesktopMode(m_Kind);
    return D3D_OK;
}

HRESULT CDirect3D9::CheckDeviceType(UINT Adapter, D3DDEVTYPE DevType, D3DFORMAT AdapterFormat,
                                    D3DFORMAT BackBufferFormat, BOOL)
{
    if (Adapter != 0 || DevType != D3DDEVTYPE_HAL)
        return D3DERR_NOTAVAILABLE;
    if (!DisplayFormat(AdapterFormat))
        return D3DERR_NOTAVAILABLE;
    if (BackBufferFormat != AdapterFormat && !(AdapterFormat == D3DFMT_X8R8G8B8 && BackBufferFormat == D3DFMT_A8R8G8B8))
        return D3DERR_NOTAVAILABLE;
    return D3D_OK;
}

HRESULT CDirect3D9::CheckDeviceFormat(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT, DWORD Usage,
                                      D3DRESOURCETYPE RType, D3DFORMAT CheckFormat)
{
    if (Adapter != 0 || DeviceType != D3DDEVTYPE_HAL)
        return D3DERR_NOTAVAILABLE;
    FormatInfo fi = GetFormatInfo(CheckFormat);
    if (!fi.supported)
        return D3DERR_NOTAVAILABLE;
    if ((Usage & D3DUSAGE_DEPTHSTENCIL) != 0 && !fi.depth)
        return D3DERR_NOTAVAILABLE;
    if ((Usage & D3DUSAGE_RENDERTARGET) != 0 && (fi.depth || fi.compressed))
        return D3DERR_NOTAVAILABLE;
    if (fi.depth && RType != D3DRTYPE_SURFACE)
        return D3DERR_NOTAVAILABLE;
    return D3D_OK;
}

HRESULT CDirect3D9::CheckDepthStencilMatch(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT, D3DFORMAT,
                                           D3DFORMAT DepthStencilFormat)
{
    if (Adapter != 0 || DeviceType != D3DDEVTYPE_HAL)
        return D3DERR_NOTAVAILABLE;
    switch (DepthStencilFormat)
    {
    case D3DFMT_D24S8:
    case D3DFMT_D24X8:
    case D3DFMT_D16:
    case D3DFMT_D32:
        return D3D_OK;
    default:
        return D3DERR_NOTAVAILABLE;
    }
}

HRESULT CDirect3D9::GetAdapterIdentifier(UINT Adapter, DWORD, D3DADAPTER_IDENTIFIER9* pIdentifier)
{
    if (Adapter != 0 || !pIdentifier)
        return D3DERR_INVALIDCALL;
    std::memset(pIdentifier, 0, sizeof(*pIdentifier));
    std::string driver = m_Kind == D3DBackendKind::Recording ? "recording" : "OpenGL";
    std::string description = m_Kind == D3DBackendKind::Recording ? "Recording device" : m_Renderer;
    if (description.empty())
        description = "OpenGL";
    if (Settings().description)
        description = Settings().descriptionText;
    std::snprintf(pIdentifier->Driver, sizeof(pIdentifier->Driver), "%s", driver.c_str());
    std::snprintf(pIdentifier->Description, sizeof(pIdentifier->Description), "%s", description.c_str());
    std::snprintf(pIdentifier->DeviceName, sizeof(pIdentifier->DeviceName), "%s", "DISPLAY1");
    return D3D_OK;
}

HRESULT CDirect3D9::GetDeviceCaps(UINT Adapter, D3DDEVTYPE DeviceType, D3DCAPS9* pCaps)
{
    if (Adapter != 0 || DeviceType != D3DDEVTYPE_HAL || !pCaps)
        return D3DERR_INVALIDCALL;
    FillCaps(pCaps);
    return D3D_OK;
}

HRESULT CDirect3D9::CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow, DWORD BehaviorFlags,
                                 D3DPRESENT_PARAMETERS* pp, IDirect3DDevice9** ppDevice)
{
    if (m_Kind == D3DBackendKind::Recording)
        Record(Fmt("CreateDevice(%u, %u, 0x%X, %ux%u)", Adapter, (unsigned)DeviceType, (unsigned)BehaviorFlags,
                   pp ? pp->BackBufferWidth : 0, pp ? pp->BackBufferHeight : 0));
    if (!ppDevice || !pp || Adapter != 0 || DeviceType != D3DDEVTYPE_HAL)
        return D3DERR_INVALIDCALL;
    *ppDevice = nullptr;
    for (const auto& rule : Settings().createResults)
        if (rule.first == 0 || (rule.first & BehaviorFlags) == rule.first)
            return rule.second;
    HWND window = pp->hDeviceWindow ? pp->hDeviceWindow : hFocusWindow;
    auto* device = new CDevice9(this, m_Kind, window, *pp);
    HRESULT hr = device->Init();
    if (FAILED(hr))
    {
        device->Release();
        return hr;
    }
    if (m_Kind == D3DBackendKind::OpenGL && gl.GetString)
    {
        // The device's context is current: the driver names its renderer.
        const char* renderer = reinterpret_cast<const char*>(gl.GetString(GL_RENDERER));
        m_Renderer = renderer ? renderer : "";
    }
    D3DSURFACE_DESC desc;
    IDirect3DSurface9* back = nullptr;
    if (SUCCEEDED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back)))
    {
        back->GetDesc(&desc);
        pp->BackBufferWidth = desc.Width;
        pp->BackBufferHeight = desc.Height;
        back->Release();
    }
    *ppDevice = device;
    return D3D_OK;
}

}   // namespace d3d

using namespace d3d;

namespace
{
std::string s_CreateError;
}   // namespace

IDirect3D9* Direct3DCreate9(UINT SDKVersion)
{
    s_CreateError.clear();
    if (SDKVersion != D3D_SDK_VERSION)
    {
        s_CreateError = "The program was built for another version of the graphics layer.";
        return nullptr;
    }
    auto* d3d = new CDirect3D9(g_backend);
    if (g_backend == D3DBackendKind::OpenGL)
    {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        {
            s_CreateError = std::string("The video system did not start: ") + SDL_GetError();
            d3d->Release();
            return nullptr;
        }
        d3d->MarkVideoOpened();
    }
    return d3d;
}

const char* D3DCreateError()
{
    return s_CreateError.c_str();
}

void D3DSelectBackend(D3DBackendKind kind)
{
    g_backend = kind;
}
D3DBackendKind D3DGetSelectedBackend()
{
    return g_backend;
}

void D3DOverrideAdapterModes(const std::vector<D3DDISPLAYMODE>& modes)
{
    Settings().modes = true;
    Settings().modeList = modes;
}

void D3DOverrideDesktopMode(const D3DDISPLAYMODE& mode)
{
    Settings().desktop = true;
    Settings().desktopMode = mode;
}

void D3DOverrideShaderVersions(DWORD vertexShaderVersion, DWORD pixelShaderVersion)
{
    Settings().vs = vertexShaderVersion;
    Settings().ps = pixelShaderVersion;
}

void D3DOverrideCreateDeviceResult(DWORD behaviorFlags, HRESULT result)
{
    auto& rules = Settings().createResults;
    rules.erase(std::remove_if(rules.begin(), rules.end(),
                               [&](const std::pair<DWORD, HRESULT>& r) { return r.first == behaviorFlags; }),
                rules.end());
    if (FAILED(result))
        rules.emplace_back(behaviorFlags, result);
}

void D3DOverrideAdapterDescription(const std::string& description)
{
    Settings().description = true;
    Settings().descriptionText = description;
}

void D3DClearOverrides()
{
    Settings() = Overrides();
}

void D3DSimulateDeviceLost(IDirect3DDevice9* device)
{
    if (CDevice9* d = DeviceOf(device))
        d->SimulateLost();
}

void D3DSimulateDeviceResettable(IDirect3DDevice9* device)
{
    if (CDevice9* d = DeviceOf(device))
        d->SimulateResettable();
}

void D3DSimulateResetResult(IDirect3DDevice9* device, HRESULT result)
{
    if (CDevice9* d = DeviceOf(device))
        d->SimulateResetResult(result);
}

HWND D3DCreateHiddenWindow(int width, int height)
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return nullptr;
    SDL_Window* window = SDL_CreateWindow("Trallowmere", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
                                          height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window)
    {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    PinLoadedModules();   // the GL driver came in with the window
    HiddenWindows().insert(window);
    return reinterpret_cast<HWND>(window);
}

void D3DDestroyHiddenWindow(HWND window)
{
    auto* w = reinterpret_cast<SDL_Window*>(window);
    if (!w || !HiddenWindows().count(w))
        return;
    HiddenWindows().erase(w);
    SDL_DestroyWindow(w);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool D3DReadSurfacePixels(IDirect3DSurface9* surface, std::vector<uint8_t>& bgra, UINT& width, UINT& height)
{
    auto* s = dynamic_cast<CSurface9*>(surface);
    if (!s || s->IsDepth())
        return false;
    IDirect3DDevice9* device = nullptr;
    if (FAILED(s->GetDevice(&device)))
        return false;
    CDevice9* d = DeviceOf(device);
    bool ok = d && d->ReadSurface(s, bgra);
    device->Release();
    width = s->Width();
    height = s->Height();
    return ok;
}

std::vector<uint8_t> D3DReadRenderTarget(IDirect3DDevice9* device, UINT* width, UINT* height)
{
    std::vector<uint8_t> pixels;
    IDirect3DSurface9* target = nullptr;
    UINT w = 0, h = 0;
    if (device && SUCCEEDED(device->GetRenderTarget(0, &target)) && target)
    {
        D3DReadSurfacePixels(target, pixels, w, h);
        target->Release();
    }
    if (width)
        *width = w;
    if (height)
        *height = h;
    return pixels;
}
