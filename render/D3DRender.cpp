#include "render/D3DRender.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/DebugLog.h"
#include "core/FileManager.h"
#include "core/InputState.h"
#include "core/RunFlags.h"
#include "core/Settings.h"
#include "platform/d3d/D3D9Backend.h"
#include "platform/os/Clock.h"
#include "platform/os/Window.h"
#include "render/LightManager.h"
#include "render/MeshContainer.h"

CD3DRender g_Render;
int g_ShadowPass = 0;
int g_ReflectionPass = 0;

namespace
{

// Largest technique or cube file read into memory; a bigger size can only come
// from a damaged pack index.
const int kMaxDataFileBytes = 64 * 1024 * 1024;

const char* const kEnvMapName = "Data/Misc/StaticEnvMap.dds";

// The full-screen quad in clip space: x, y, z, u, v. The texture coordinates
// start half a texel in so the copies of the frame do not pick up the border.
const float kScreenQuad[4][5] = {
    {-1.0f, 1.0f, 0.0f, 0.004f, 0.004f},
    {-1.0f, -1.0f, 0.0f, 0.004f, 1.0f},
    {1.0f, 1.0f, 0.0f, 1.0f, 0.004f},
    {1.0f, -1.0f, 0.0f, 1.0f, 1.0f},
};

const DWORD kBatchFVF = 0x140342;
const UINT kBatchVertexBytes = 5000 * 48;
const UINT kBatchIndexBytes = 7500 * 2;

template <class T>
void SafeRelease(T*& object)
{
    if (object)
    {
        object->Release();
        object = nullptr;
    }
}

DWORD FloatBits(float f)
{
    DWORD bits;
    std::memcpy(&bits, &f, sizeof(bits));
    return bits;
}

void ShowDeviceError(const char* text)
{
    ShowMessage(text, g_AppName, MB_ICONERROR | MB_OK);
}

// Reads a whole data file through the file manager; false when it cannot be
// opened, has an impossible size or comes up short.
bool ReadWholeFile(const char* name, int mode, std::vector<unsigned char>& bytes)
{
    int size = 0;
    int handle = g_FileManager.Open(name, mode, &size);
    if (handle < 0)
        return false;
    bool ok = size > 0 && size <= kMaxDataFileBytes;
    if (ok)
    {
        bytes.resize(size_t(size));
        ok = g_FileManager.Read(bytes.data(), 1, bytes.size(), handle) == bytes.size();
    }
    g_FileManager.Close(handle);
    return ok;
}

// Frame-rate measurement: frames since the last measurement, its time in
// seconds and the rate it gave.
int s_FpsFrames = 0;
double s_FpsLastTime = 0.0;
float s_FpsRate = 0.0f;

}   // namespace

CD3DRender::CD3DRender()
{
    Reset();
}

int IsSoftwareRenderer(const char* description)
{
    if (!description)
        return 0;
    const char* const names[] = {"llvmpipe", "softpipe", "Software Rasterizer", "SwiftShader", "Basic Render Driver"};
    for (const char* name : names)
        if (std::strstr(description, name))
            return 1;
    return 0;
}

void CD3DRender::Reset()
{
    ForgetStates();
    stage0Texture = -1;
    zWrite = zEnable = lighting = srcBlend = destBlend = alphaBlend = fogEnable = 0;
    cullMode = savedCullMode = D3DCULL_CW;
    batchVertices = batchIndices = nullptr;
    batchVB = nullptr;
    batchIB = nullptr;
    batchVertexCount = batchIndexCount = 0;
    textures.Clear();
    std::memset(&presentParams, 0, sizeof(presentParams));
    deviceLost = vs11 = ps14 = sm20 = 0;
    softwareRenderer = 0;
    adapterFormat = D3DFMT_UNKNOWN;
    screenWidth = savedScreenWidth = scaleX = savedScaleX = 0.0f;
    screenHeight = savedScreenHeight = scaleY = savedScaleY = 0.0f;
    std::memset(modes, 0, sizeof(modes));
    modeCount = 0;
    std::memset(&desktopMode, 0, sizeof(desktopMode));
    d3d = nullptr;
    device = nullptr;
    fillMode = D3DFILL_SOLID;
    shadeMode = D3DSHADE_GOURAUD;
    fogStart = fogEnd = 0.0f;
    mainFaces = reflectionFaces = shadowFaces = frameCount = 0;
    keptRenderTarget = keptDepthStencil = nullptr;
    effect = nullptr;
    currentTechnique = nullptr;
    envCubeTexture = nullptr;
    lightMapTexture = blackTexture = whiteTexture = -1;
    reflectionTarget = shadowTarget0 = shadowTarget1 = shadowTarget2 = nullptr;
    shadowDepth = reflectionDepth = nullptr;
    screenQuad = nullptr;
    glowTexture0 = glowTexture1 = blurTexture = nullptr;
    glowReady = blurReady = 0;
    blurAmount = 0.0f;
    menuWorldTarget = nullptr;
    menuWorldDepth = nullptr;
    menuReflectionTarget = nullptr;
    menuReflectionDepth = nullptr;
    menuWorldOpen = menuWorldFrame = 0;
    menuKeptTarget = menuKeptDepth = nullptr;
    std::memset(menuKeptSize, 0, sizeof(menuKeptSize));
}

// ---------------------------------------------------------------------------
// Set-up
// ---------------------------------------------------------------------------

int CD3DRender::InitD3D(int windowed)
{
    // Starting over releases what an earlier start made instead of dropping it.
    if (d3d || device)
        FreeD3DRender();
    Reset();
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!d3d)
    {
        // The written text, then what failed in the video system's own words.
        std::string text = "Could not initialize Direct3D!\nYou may want to check that the latest version of\n"
                           "DirectX is correctly installed on your system.\n";
        if (*D3DCreateError())
            text += std::string("\n") + D3DCreateError();
        ShowDeviceError(text.c_str());
        return -1;
    }
    Log("Create Direct3D OK\n");

    d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktopMode);

    const D3DFORMAT candidates[4] = {desktopMode.Format, D3DFMT_X8R8G8B8, D3DFMT_R8G8B8, D3DFMT_R5G6B5};
    bool found = false;
    for (D3DFORMAT format : candidates)
    {
        if (SUCCEEDED(d3d->CheckDeviceType(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, format, format, windowed)))
        {
            adapterFormat = format;
            found = true;
            break;
        }
    }
    if (!found)
    {
        FreeD3DRender();
        ShowDeviceError("Check device type failed!\nCould not find any compatible Direct3D devices.\n"
                        "This application requires functionality that is\n"
                        "not available on your Direct3D hardware accelerator.");
        return -1;
    }
    Log("Check device type OK\n");

    // One entry per resolution: the driver lists every refresh rate of a size
    // next to each other, and the first one listed is kept.
    UINT count = d3d->GetAdapterModeCount(D3DADAPTER_DEFAULT, adapterFormat);
    for (UINT i = 0; i < count && modeCount < MAX_MODES; i++)
    {
        D3DDISPLAYMODE mode;
        if (FAILED(d3d->EnumAdapterModes(D3DADAPTER_DEFAULT, adapterFormat, i, &mode)))
            continue;
        if (modeCount > 0 && mode.Width == modes[modeCount - 1].Width && mode.Height == modes[modeCount - 1].Height)
            continue;
        modes[modeCount++] = mode;
        // "Mode" 100 or more asks for the desktop size: its entry's index.
        if (g_VideoMode >= 100 && mode.Width == desktopMode.Width && mode.Height == desktopMode.Height)
            g_VideoMode = modeCount - 1;
    }

    if (modeCount == 0)
    {
        FreeD3DRender();
        ShowDeviceError("Enum and check video modes failed!\nThis application requires functionality that is\n"
                        "not available on your Direct3D hardware accelerator.");
        return -1;
    }

    // Past the end, a desktop request that found no desktop-sized mode
    // included, is the last mode; with more than 100 modes such a request is
    // an index of its own and stays.
    if (g_VideoMode >= modeCount)
        g_VideoMode = modeCount - 1;
    // A negative index from a hand-edited Game.ini would read before the list.
    if (g_VideoMode < 0)
        g_VideoMode = 0;
    WriteGameIni();
    return 0;
}

HRESULT CD3DRender::CreateDevice(HWND hwnd, int windowed, int width, int height)
{
    if (!d3d)
        return -1;

    const D3DFORMAT depthFormats[5] = {D3DFMT_D24S8, D3DFMT_D32, D3DFMT_D24X8, D3DFMT_D24X4S4, D3DFMT_D16};
    D3DFORMAT depthFormat = D3DFMT_UNKNOWN;
    for (D3DFORMAT format : depthFormats)
    {
        if (SUCCEEDED(
                d3d->CheckDepthStencilMatch(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, adapterFormat, adapterFormat, format)))
        {
            depthFormat = format;
            break;
        }
    }
    if (depthFormat == D3DFMT_UNKNOWN)
    {
        FreeD3DRender();
        ShowDeviceError("Check depth buffer match failed!");
        return -1;
    }

    D3DCAPS9 caps;
    std::memset(&caps, 0, sizeof(caps));
    if (FAILED(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps)))
    {
        FreeD3DRender();
        ShowDeviceError("Check shader support failed!");
        return -1;
    }
    if (caps.VertexShaderVersion >= D3DVS_VERSION(1, 1))
    {
        vs11 = 1;
        if (caps.PixelShaderVersion >= D3DPS_VERSION(1, 4))
            ps14 = 1;
    }
    if (caps.VertexShaderVersion >= D3DVS_VERSION(2, 0) && caps.PixelShaderVersion >= D3DPS_VERSION(2, 0))
        sm20 = 1;
    if (!sm20)
    {
        // The glow and motion blur need the 2.0 techniques.
        g_SettingLimits.glow = 0;
        g_SettingLimits.blur = 0;
        ClampSettings();
    }

    UINT backWidth, backHeight;
    if (g_EditorMode)
    {
        backWidth = UINT(width);
        backHeight = UINT(height);
    }
    else
    {
        int mode = (g_VideoMode >= 0 && g_VideoMode < modeCount) ? g_VideoMode : 0;
        backWidth = modes[mode].Width;
        backHeight = modes[mode].Height;
    }

    std::memset(&presentParams, 0, sizeof(presentParams));
    presentParams.BackBufferWidth = backWidth;
    presentParams.BackBufferHeight = backHeight;
    presentParams.BackBufferFormat = adapterFormat;
    presentParams.BackBufferCount = 2;
    presentParams.MultiSampleType = D3DMULTISAMPLE_NONE;
    presentParams.MultiSampleQuality = 0;
    presentParams.SwapEffect = D3DSWAPEFFECT_FLIP;
    presentParams.hDeviceWindow = hwnd;
    presentParams.Windowed = windowed;
    presentParams.EnableAutoDepthStencil = TRUE;
    presentParams.AutoDepthStencilFormat = depthFormat;
    presentParams.Flags = 0;
    presentParams.FullScreen_RefreshRateInHz = 0;
    presentParams.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;

    const DWORD hardware = D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE;
    const DWORD mixed = D3DCREATE_MIXED_VERTEXPROCESSING | D3DCREATE_PUREDEVICE;
    HRESULT hr = d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hwnd, hardware, &presentParams, &device);
    if (FAILED(hr) && presentParams.BackBufferCount != 2)
        hr = d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hwnd, hardware, &presentParams, &device);
    if (FAILED(hr))
        hr = d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hwnd, mixed, &presentParams, &device);
    if (FAILED(hr))
    {
        presentParams.BackBufferCount = 1;
        presentParams.SwapEffect = D3DSWAPEFFECT_COPY;
        hr = d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hwnd, hardware, &presentParams, &device);
        if (FAILED(hr))
            hr = d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hwnd, mixed, &presentParams, &device);
    }
    if (FAILED(hr))
    {
        presentParams.SwapEffect = D3DSWAPEFFECT_DISCARD;
        hr = d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hwnd, hardware, &presentParams, &device);
        if (FAILED(hr))
            hr = d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hwnd, mixed, &presentParams, &device);
    }
    if (FAILED(hr) || !device)
    {
        if (!FAILED(hr))
            hr = E_FAIL;
        device = nullptr;
        char text[256];
        std::snprintf(text, sizeof(text), "Could not create Direct3DDevice9!\n(error: %s)", DXGetErrorString9A(hr));
        FreeD3DRender();
        ShowDeviceError(text);
        return hr;
    }

    device->GetAvailableTextureMem();
    D3DADAPTER_IDENTIFIER9 identifier;
    softwareRenderer = SUCCEEDED(d3d->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &identifier)) &&
                       IsSoftwareRenderer(identifier.Description);

    screenWidth = float(backWidth);
    scaleX = float(backWidth) * 0.00125f;
    screenHeight = float(backHeight);
    scaleY = float(backHeight) * 0.0016666667f;
    if (g_EditorMode)
    {
        // The 2D layer draws unscaled in the editor.
        scaleX = 1.0f;
        scaleY = 1.0f;
    }

    if (FAILED(RestoreDeviceObjects()))
    {
        FreeD3DRender();
        ShowDeviceError("Restore resources failed!");
        return -1;
    }
    SetDefaultStates();
    return 0;
}

HRESULT CD3DRender::LoadRenderTechniques()
{
    const char* name = sm20   ? "Data/Misc/RenderTechniques_20.dat"
                       : ps14 ? "Data/Misc/RenderTechniques_14.dat"
                       : vs11 ? "Data/Misc/RenderTechniques_11.dat"
                              : "Data/Misc/RenderTechniques_00.dat";
    std::vector<unsigned char> text;
    if (!ReadWholeFile(name, FILE_WORLD, text))
        return E_FAIL;

    SafeRelease(effect);
    ID3DXBuffer* errors = nullptr;
    HRESULT hr =
        D3DXCreateEffect(device, text.data(), UINT(text.size()), nullptr, nullptr, 0, nullptr, &effect, &errors);
    if (SUCCEEDED(hr) && effect)
    {
        // A new effect starts on its first technique: whatever was set on the
        // old one has to be set again.
        currentTechnique = nullptr;
        effect->OnResetDevice();
        return 0;
    }
    if (SUCCEEDED(hr))
        hr = E_FAIL;
    effect = nullptr;

    if (errors)
    {
        const char* message = static_cast<const char*>(errors->GetBufferPointer());
        DWORD length = errors->GetBufferSize();
        std::string compilerText = message ? std::string(message, strnlen(message, length)) : std::string();
        std::string shown = "Create render techniques failed!\n" + compilerText;
        ShowDeviceError(shown.c_str());
        errors->Release();
    }
    FreeD3DRender();
    return hr;
}

void CD3DRender::LoadCubeTexture(const char* name, IDirect3DCubeTexture9** slot)
{
    if (!name || !slot)
        return;
    SafeRelease(*slot);
    if (!device)
        return;

    HRESULT hr = D3D_OK;
    bool fromDisk = !g_UseFileManager;
    if (g_UseFileManager)
    {
        int size = 0;
        int handle = g_FileManager.Open(name, FILE_TEXTURES, &size);
        if (handle < 0)
            handle = g_FileManager.Open(name, FILE_BINARY, &size);
        if (handle < 0)
            fromDisk = true;
        else
        {
            std::vector<unsigned char> bytes;
            bool ok = size > 0 && size <= kMaxDataFileBytes;
            if (ok)
            {
                bytes.resize(size_t(size));
                ok = g_FileManager.Read(bytes.data(), 1, bytes.size(), handle) == bytes.size();
            }
            g_FileManager.Close(handle);
            if (!ok)
            {
                ShowDeviceError("Could not load cube texture!");
                return;
            }
            hr = D3DXCreateCubeTextureFromFileInMemoryEx(device, bytes.data(), UINT(bytes.size()), D3DX_DEFAULT,
                                                         D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                                         D3DX_DEFAULT, 0, nullptr, nullptr, slot);
        }
    }
    if (fromDisk)
        hr = D3DXCreateCubeTextureFromFileExA(device, name, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                                              D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, slot);
    if (FAILED(hr))
    {
        *slot = nullptr;
        ShowDeviceError("Could not create cube texture!");
    }
}

HRESULT CD3DRender::RestoreDeviceObjects()
{
    if (FAILED(LoadRenderTechniques()))
        return E_FAIL;

    LoadCubeTexture(kEnvMapName, &envCubeTexture);
    SetEffectTexture("texCubeMap1", envCubeTexture);

    stage0Texture = -1;
    g_LightManager.EnableAll();
    SetDefaultStates();
    CreateDefaultResources();

    // Render targets. Failures are not fatal: the pass that draws into a
    // missing target simply shows nothing useful.
    SafeRelease(reflectionTarget);
    device->CreateTexture(REFLECTION_SIZE, REFLECTION_SIZE, 1, D3DUSAGE_RENDERTARGET, adapterFormat, D3DPOOL_DEFAULT,
                          &reflectionTarget, nullptr);
    // The shadow targets are made whatever the "Shadows" setting is now: the
    // options page can turn shadows on during the run without a restore.
    // They take the back buffer's format: a software rasteriser smooths and
    // reads 32-bit texels faster than 16-bit ones, and the shadow's grey
    // comes out within three levels of the 16-bit one (finer steps).
    SafeRelease(shadowTarget0);
    SafeRelease(shadowTarget1);
    SafeRelease(shadowTarget2);
    SafeRelease(shadowDepth);
    device->CreateTexture(SHADOW_MAP_SIZE, SHADOW_MAP_SIZE, 1, D3DUSAGE_RENDERTARGET, adapterFormat, D3DPOOL_DEFAULT,
                          &shadowTarget0, nullptr);
    device->CreateTexture(512, 512, 1, D3DUSAGE_RENDERTARGET, adapterFormat, D3DPOOL_DEFAULT, &shadowTarget1, nullptr);
    device->CreateTexture(SHADOW_MAP_SIZE, SHADOW_MAP_SIZE, 1, D3DUSAGE_RENDERTARGET, adapterFormat, D3DPOOL_DEFAULT,
                          &shadowTarget2, nullptr);
    device->CreateDepthStencilSurface(SHADOW_MAP_SIZE, SHADOW_MAP_SIZE, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE,
                                      &shadowDepth, nullptr);
    SafeRelease(reflectionDepth);
    device->CreateDepthStencilSurface(REFLECTION_SIZE, REFLECTION_SIZE, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE,
                                      &reflectionDepth, nullptr);

    SafeRelease(screenQuad);
    if (SUCCEEDED(device->CreateVertexBuffer(sizeof(kScreenQuad), D3DUSAGE_WRITEONLY, D3DFVF_XYZ | D3DFVF_TEX1,
                                             D3DPOOL_DEFAULT, &screenQuad, nullptr)) &&
        screenQuad)
    {
        void* data = nullptr;
        if (SUCCEEDED(screenQuad->Lock(0, 0, &data, D3DLOCK_DISCARD)) && data)
        {
            std::memcpy(data, kScreenQuad, sizeof(kScreenQuad));
            screenQuad->Unlock();
        }
    }

    SafeRelease(glowTexture0);
    SafeRelease(glowTexture1);
    device->CreateTexture(256, 256, 1, D3DUSAGE_RENDERTARGET, adapterFormat, D3DPOOL_DEFAULT, &glowTexture0, nullptr);
    device->CreateTexture(256, 256, 1, D3DUSAGE_RENDERTARGET, adapterFormat, D3DPOOL_DEFAULT, &glowTexture1, nullptr);
    glowReady = g_GlowOn > 0 ? 1 : 0;
    SafeRelease(blurTexture);
    blurReady = 0;
    if (g_BlurOn > 0)
    {
        device->CreateTexture(512, 512, 1, D3DUSAGE_RENDERTARGET, adapterFormat, D3DPOOL_DEFAULT, &blurTexture,
                              nullptr);
        blurReady = 1;
    }
    SafeRelease(menuWorldTarget);
    SafeRelease(menuWorldDepth);
    device->CreateTexture(MENU_WORLD_WIDTH, MENU_WORLD_HEIGHT, 1, D3DUSAGE_RENDERTARGET, adapterFormat, D3DPOOL_DEFAULT,
                          &menuWorldTarget, nullptr);
    device->CreateDepthStencilSurface(MENU_WORLD_WIDTH, MENU_WORLD_HEIGHT, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE,
                                      &menuWorldDepth, nullptr);
    SafeRelease(menuReflectionTarget);
    SafeRelease(menuReflectionDepth);
    device->CreateTexture(MENU_REFLECTION_SIZE, MENU_REFLECTION_SIZE, 1, D3DUSAGE_RENDERTARGET, adapterFormat,
                          D3DPOOL_DEFAULT, &menuReflectionTarget, nullptr);
    device->CreateDepthStencilSurface(MENU_REFLECTION_SIZE, MENU_REFLECTION_SIZE, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0,
                                      FALSE, &menuReflectionDepth, nullptr);
    return 0;
}

void CD3DRender::InvalidateDeviceObjects()
{
    g_LightManager.DisableAll();
    ReleaseDefaultResources();
    SafeRelease(effect);
    SafeRelease(envCubeTexture);
    SafeRelease(reflectionTarget);
    SafeRelease(shadowTarget0);
    SafeRelease(shadowTarget1);
    SafeRelease(shadowTarget2);
    SafeRelease(shadowDepth);
    SafeRelease(reflectionDepth);
    SafeRelease(glowTexture0);
    SafeRelease(glowTexture1);
    SafeRelease(blurTexture);
    EndMenuWorld();
    menuWorldFrame = 0;
    SafeRelease(menuWorldTarget);
    SafeRelease(menuWorldDepth);
    SafeRelease(menuReflectionTarget);
    SafeRelease(menuReflectionDepth);
    SafeRelease(screenQuad);
    // A surface kept between a save and its restore would hold the old
    // device's targets through the reset.
    SafeRelease(keptRenderTarget);
    SafeRelease(keptDepthStencil);
}

void CD3DRender::CreateDefaultResources()
{
    lightMapTexture = LoadTexture("Data/Misc/LightMap.bmp", 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    blackTexture = LoadTexture("Data/Misc/Black.bmp", 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    whiteTexture = LoadTexture("Data/Misc/White.bmp", 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);

    SafeRelease(batchVB);
    SafeRelease(batchIB);
    if (device)
    {
        device->CreateVertexBuffer(kBatchVertexBytes, D3DUSAGE_WRITEONLY, kBatchFVF, D3DPOOL_MANAGED, &batchVB,
                                   nullptr);
        device->CreateIndexBuffer(kBatchIndexBytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &batchIB,
                                  nullptr);
    }
    batchVertices = batchIndices = nullptr;
    batchVertexCount = batchIndexCount = 0;
}

void CD3DRender::ReleaseDefaultResources()
{
    // Each id is given back once: a second call (shutdown runs this twice)
    // must not take references that other holders of the same file own.
    ReleaseTexture(lightMapTexture);
    ReleaseTexture(blackTexture);
    ReleaseTexture(whiteTexture);
    lightMapTexture = blackTexture = whiteTexture = -1;
    SafeRelease(batchVB);
    SafeRelease(batchIB);
    batchVertices = batchIndices = nullptr;
}

int CD3DRender::SetDefaultStates()
{
    if (!device)
        return 0;
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    ForgetStates();

    device->SetRenderState(D3DRS_AMBIENT, 0xFF000000);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    device->SetRenderState(D3DRS_LASTPIXEL, TRUE);
    device->SetRenderState(D3DRS_DITHERENABLE, TRUE);
    device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
    SetColorVertex(FALSE);
    device->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE);
    device->SetRenderState(D3DRS_LOCALVIEWER, TRUE);
    device->SetRenderState(D3DRS_ALPHAREF, vs11 ? 128 : 96);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_FOGCOLOR, 0xFF000000);
    device->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    device->SetRenderState(D3DRS_RANGEFOGENABLE, TRUE);

    SetFog(0);
    // Half of and the whole of the main camera's far distance.
    SetFogRange(250.0f, 500.0f);
    SetCullMode(D3DCULL_CW);
    savedCullMode = D3DCULL_CW;

    for (DWORD stage = 0; stage < 7; stage++)
    {
        SetTexCoordIndex(stage, 0);
        SetStageColorOp(stage, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP, D3DTA_CURRENT);
        SetStageAlphaOp(stage, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP);
        device->SetSamplerState(stage, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        device->SetSamplerState(stage, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        device->SetSamplerState(stage, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
        SetTextureAddress(stage, D3DTADDRESS_WRAP);
        device->SetSamplerState(stage, D3DSAMP_ADDRESSW, D3DTADDRESS_WRAP);
        device->SetSamplerState(stage, D3DSAMP_BORDERCOLOR, 0xFF000000);
        if (stage > 0)
        {
            SetStageColorOp(stage, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP, D3DTA_CURRENT);
            SetStageAlphaOp(stage, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP);
        }
        SetMipLodBias(0, int(stage));
    }

    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_WORLD, &identity);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    D3DMATERIAL9 material;
    std::memset(&material, 0, sizeof(material));
    material.Diffuse = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
    material.Ambient = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
    SetMaterial(&material, 0);
    return 0;
}

// ---------------------------------------------------------------------------
// Frames and shutdown
// ---------------------------------------------------------------------------

HRESULT CD3DRender::PresentFrame()
{
    if (!device)
        return E_FAIL;

    ShowMenuWorld();
    if (deviceLost)
    {
        HRESULT state = device->TestCooperativeLevel();
        if (state == D3DERR_DEVICELOST)
            return 0;
        if (state == D3DERR_DEVICENOTRESET)
        {
            InvalidateDeviceObjects();
            HRESULT hr = device->Reset(&presentParams);
            if (hr == D3DERR_DEVICELOST)
                return 0;
            // A reset that fails, or after which the objects cannot be made
            // again, leaves nothing to draw with: the program ends.
            if (FAILED(hr) || FAILED(RestoreDeviceObjects()))
            {
                ShowDeviceError("D3D device is lost,\nand application can't restore it!\nApplication will now exit...");
                RequestQuit();
                return E_FAIL;
            }
            deviceLost = 0;
            return 0;
        }
    }

    HRESULT hr = device->Present(nullptr, nullptr, nullptr, nullptr);
    if (hr == D3DERR_DEVICELOST)
    {
        deviceLost = 1;
        return 0;
    }
    if (FAILED(hr))
        ShowDeviceError("Present frame failed!");

    frameCount++;
    mainFaces = reflectionFaces = shadowFaces = 0;
    return 0;
}

int CD3DRender::FreeD3DRender()
{
    Log("\nCD3DRender::FreeD3DRender() start...");
    g_MeshContainer.Release();
    ReleaseDefaultResources();
    ReleaseAllTextures();
    InvalidateDeviceObjects();
    SafeRelease(device);
    SafeRelease(d3d);
    Log("CD3DRender::FreeD3DRender() done!\n");
    return 0;
}

// ---------------------------------------------------------------------------
// Texture cache
// ---------------------------------------------------------------------------

TextureId CD3DRender::LoadTexture(const char* name, int mipLevels, int pool, int format)
{
    if (!name)
        return -1;
    TextureId id = textures.Find(name);
    if (id >= 0)
    {
        // The first load of a name decides mips, pool and format for all.
        textures.AddRef(id);
        return id;
    }
    id = textures.Load(device, name, mipLevels, pool, format);
    if (id < 0)
        LogString("Load texture failed: %s", name);
    return id;
}

void CD3DRender::ReleaseAllTextures()
{
    textures.ReleaseAllTextures();
}

void CD3DRender::ReleaseTexture(TextureId id)
{
    textures.Release(id);
}

void CD3DRender::ReleaseTextureByName(const char* name)
{
    textures.ReleaseByName(name);
}

IDirect3DTexture9* CD3DRender::GetTexture(TextureId id) const
{
    return textures.GetTexture(id);
}

// ---------------------------------------------------------------------------
// Render-state cache
// ---------------------------------------------------------------------------

void CD3DRender::SetZWrite(int on)
{
    zWrite = on;
    if (device)
        device->SetRenderState(D3DRS_ZWRITEENABLE, DWORD(on));
}

void CD3DRender::SetZEnable(int on)
{
    zEnable = on;
    if (device)
        device->SetRenderState(D3DRS_ZENABLE, DWORD(on));
}

void CD3DRender::SetLighting(int on)
{
    lighting = on;
    if (device)
        device->SetRenderState(D3DRS_LIGHTING, DWORD(on));
}

void CD3DRender::SetBlend(int src, int dst)
{
    srcBlend = src;
    destBlend = dst;
    if (device)
    {
        device->SetRenderState(D3DRS_SRCBLEND, DWORD(src));
        device->SetRenderState(D3DRS_DESTBLEND, DWORD(dst));
    }
}

void CD3DRender::SetAlphaBlend(int on)
{
    alphaBlend = on;
    if (device)
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, DWORD(on));
}

void CD3DRender::SetFog(int)
{
    // The techniques compute fog themselves from "FogParam".
    fogEnable = 0;
    if (device)
        device->SetRenderState(D3DRS_FOGENABLE, FALSE);
}

void CD3DRender::SetCullMode(int mode)
{
    if (mode == cullMode)
        return;
    cullMode = mode;
    if (device)
        device->SetRenderState(D3DRS_CULLMODE, DWORD(mode));
}

void CD3DRender::SaveCullMode()
{
    savedCullMode = cullMode;
}

void CD3DRender::RestoreCullMode()
{
    cullMode = savedCullMode;
    if (device)
        device->SetRenderState(D3DRS_CULLMODE, DWORD(cullMode));
}

void CD3DRender::SetColorVertex(int on)
{
    if (!device || on == colorVertex)
        return;
    colorVertex = on;
    device->SetRenderState(D3DRS_COLORVERTEX, DWORD(on));
}

void CD3DRender::SetClipPlaneEnable(DWORD planes)
{
    if (!device || int(planes) == clipPlaneEnable)
        return;
    clipPlaneEnable = int(planes);
    device->SetRenderState(D3DRS_CLIPPLANEENABLE, planes);
}

void CD3DRender::SetScissor(const RECT* rect)
{
    if (!device)
        return;
    if (rect)
        device->SetScissorRect(rect);
    const int on = rect ? 1 : 0;
    if (on == scissorTest)
        return;
    scissorTest = on;
    device->SetRenderState(D3DRS_SCISSORTESTENABLE, DWORD(on));
}

// A stage past the records is passed on every time. Without a device nothing
// is recorded: a record always describes the device.
void CD3DRender::SetTextureAddress(DWORD stage, DWORD mode)
{
    if (!device)
        return;
    if (stage < MAX_STAGES)
    {
        if (int(mode) == textureAddress[stage])
            return;
        textureAddress[stage] = int(mode);
    }
    device->SetSamplerState(stage, D3DSAMP_ADDRESSU, mode);
    device->SetSamplerState(stage, D3DSAMP_ADDRESSV, mode);
}

void CD3DRender::SetTexCoordIndex(DWORD stage, DWORD index)
{
    if (!device)
        return;
    if (stage < MAX_STAGES)
    {
        if (int(index) == texCoordIndex[stage])
            return;
        texCoordIndex[stage] = int(index);
    }
    device->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, index);
}

void CD3DRender::SetTextureTransformFlags(DWORD stage, DWORD flags)
{
    if (!device)
        return;
    if (stage < MAX_STAGES)
    {
        if (int(flags) == textureTransformFlags[stage])
            return;
        textureTransformFlags[stage] = int(flags);
    }
    device->SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, flags);
}

void CD3DRender::ForgetStates()
{
    stage0Texture = -1;
    zWrite = zEnable = lighting = srcBlend = destBlend = alphaBlend = fogEnable = -1;
    cullMode = savedCullMode = -1;
    colorVertex = clipPlaneEnable = scissorTest = -1;
    for (int stage = 0; stage < MAX_STAGES; stage++)
        textureAddress[stage] = texCoordIndex[stage] = textureTransformFlags[stage] = -1;
}

void CD3DRender::SetStageColorOp(DWORD stage, DWORD op, DWORD arg1, DWORD arg2, DWORD arg0, DWORD result)
{
    if (!device)
        return;
    device->SetTextureStageState(stage, D3DTSS_COLOROP, op);
    device->SetTextureStageState(stage, D3DTSS_COLORARG0, arg0);
    device->SetTextureStageState(stage, D3DTSS_COLORARG1, arg1);
    device->SetTextureStageState(stage, D3DTSS_COLORARG2, arg2);
    device->SetTextureStageState(stage, D3DTSS_RESULTARG, result);
}

void CD3DRender::SetStageAlphaOp(DWORD stage, DWORD op, DWORD arg1, DWORD arg2, DWORD arg0)
{
    if (!device)
        return;
    device->SetTextureStageState(stage, D3DTSS_ALPHAOP, op);
    device->SetTextureStageState(stage, D3DTSS_ALPHAARG0, arg0);
    device->SetTextureStageState(stage, D3DTSS_ALPHAARG1, arg1);
    device->SetTextureStageState(stage, D3DTSS_ALPHAARG2, arg2);
}

void CD3DRender::SetMipLodBias(DWORD bias, int stage)
{
    if (!device)
        return;
    if (stage == -1)
    {
        device->SetSamplerState(0, D3DSAMP_MIPMAPLODBIAS, bias);
        device->SetSamplerState(1, D3DSAMP_MIPMAPLODBIAS, bias);
    }
    else
        device->SetSamplerState(DWORD(stage), D3DSAMP_MIPMAPLODBIAS, bias);
}

void CD3DRender::SetFogRange(float start, float end)
{
    fogStart = start;
    fogEnd = end;
    if (device)
    {
        device->SetRenderState(D3DRS_FOGSTART, FloatBits(start));
        device->SetRenderState(D3DRS_FOGEND, FloatBits(end));
    }
    if (effect)
    {
        D3DXVECTOR4 param(start, end, 0.0f, 1.0f);
        effect->SetVector("FogParam", &param);
    }
}

void CD3DRender::SetMaterial(const D3DMATERIAL9* material, int toEffect)
{
    if (!material)
        return;
    if (device)
    {
        BOOL specular = material->Specular.r != 0.0f || material->Specular.g != 0.0f || material->Specular.b != 0.0f;
        device->SetRenderState(D3DRS_SPECULARENABLE, specular);
        device->SetMaterial(material);
    }
    if (toEffect && effect)
    {
        const D3DCOLORVALUE* colours[4] = {&material->Diffuse, &material->Ambient, &material->Specular,
                                           &material->Emissive};
        const char* names[4] = {"MatDiffuse", "MatAmbient", "MatSpecular", "MatEmissive"};
        for (int i = 0; i < 4; i++)
        {
            D3DXVECTOR4 v(colours[i]->r, colours[i]->g, colours[i]->b, colours[i]->a);
            effect->SetVector(names[i], &v);
        }
        effect->SetFloat("MatSpecularPow", material->Power);
    }
}

void CD3DRender::SetTechnique(const char* name, int force)
{
    // Callers pass the same string constant each time, so the pointer tells.
    if (name == currentTechnique && !force)
        return;
    currentTechnique = name;
    if (effect && name)
        effect->SetTechnique(name);
}

void CD3DRender::BindTexture(TextureId id, int alpha, int stage, int force)
{
    if (!device)
        return;
    if (fillMode == D3DFILL_WIREFRAME)
    {
        device->SetTexture(DWORD(stage), nullptr);
        stage0Texture = -1;
        SetAlphaBlend(FALSE);
        return;
    }
    if (id == -1)
        device->SetTexture(DWORD(stage), nullptr);
    else if (stage != 0 || id != stage0Texture || force)
        device->SetTexture(DWORD(stage), textures.GetTexture(id));
    // Another stage's texture says nothing about what stage 0 holds.
    if (stage == 0)
        stage0Texture = id;
    SetAlphaBlend(alpha);
    if (alpha)
        SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    else
        SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
}

void CD3DRender::BindTextureObject(IDirect3DBaseTexture9* texture, int alpha, int stage)
{
    stage0Texture = -1;
    if (!device)
        return;
    if (fillMode == D3DFILL_WIREFRAME)
    {
        device->SetTexture(0, nullptr);
        SetAlphaBlend(FALSE);
        return;
    }
    device->SetTexture(DWORD(stage), texture);
    SetAlphaBlend(alpha);
    if (alpha)
        SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    else
        SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
}

void CD3DRender::SetEffectTexture(const char* parameter, IDirect3DBaseTexture9* texture)
{
    stage0Texture = -1;
    if (fillMode == D3DFILL_WIREFRAME)
    {
        if (effect)
            effect->SetTexture(parameter, nullptr);
        SetAlphaBlend(FALSE);
        return;
    }
    if (effect)
        effect->SetTexture(parameter, texture);
}

void CD3DRender::SaveRenderTarget()
{
    SafeRelease(keptRenderTarget);
    if (device)
        device->GetRenderTarget(0, &keptRenderTarget);
}

void CD3DRender::RestoreRenderTarget()
{
    if (!keptRenderTarget)
        return;
    if (device)
        device->SetRenderTarget(0, keptRenderTarget);
    SafeRelease(keptRenderTarget);
}

void CD3DRender::SaveDepthStencil()
{
    SafeRelease(keptDepthStencil);
    if (device)
        device->GetDepthStencilSurface(&keptDepthStencil);
}

void CD3DRender::RestoreDepthStencil()
{
    if (!keptDepthStencil)
        return;
    if (device)
        device->SetDepthStencilSurface(keptDepthStencil);
    SafeRelease(keptDepthStencil);
}

void CD3DRender::CountFaces(int n)
{
    if (g_ReflectionPass)
        reflectionFaces += n;
    else if (g_ShadowPass)
        shadowFaces += n;
    else
        mainFaces += n;
}

void CD3DRender::ToggleFillMode()
{
    fillMode = fillMode == D3DFILL_SOLID ? D3DFILL_WIREFRAME : D3DFILL_SOLID;
    if (device)
        device->SetRenderState(D3DRS_FILLMODE, fillMode);
}

void CD3DRender::ToggleShadeMode()
{
    shadeMode = shadeMode == D3DSHADE_GOURAUD ? D3DSHADE_FLAT : D3DSHADE_GOURAUD;
    if (device)
        device->SetRenderState(D3DRS_SHADEMODE, shadeMode);
}

float CD3DRender::GetFPS()
{
    s_FpsFrames++;
    double now = double(timeGetTime()) * 0.001;
    // The millisecond clock wraps after 49 days: start measuring afresh
    // rather than waiting for it to come round again.
    if (now < s_FpsLastTime)
    {
        s_FpsLastTime = now;
        s_FpsFrames = 0;
    }
    if (now - s_FpsLastTime > 1.0)
    {
        s_FpsRate = float(double(s_FpsFrames) / (now - s_FpsLastTime));
        s_FpsFrames = 0;
        s_FpsLastTime = now;
    }
    return s_FpsRate;
}

void CD3DRender::SetCursor(float x, float y)
{
    SetCursorPos(int(x * scaleX), int(y * scaleY));
    g_MouseX = g_PrevMouseX = int(x);
    g_MouseY = g_PrevMouseY = int(y);
}
