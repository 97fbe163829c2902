#pragma once
// Controls of the graphics layer that Direct3D does not have: which backend
// Direct3DCreate9 opens, the recording log, simulated device loss and the
// adapter description tests may impose. None of these are needed by the game
// itself, which only calls Direct3DCreate9.
#include <string>
#include <vector>

#include "platform/d3d/D3D9Interfaces.h"

enum class D3DBackendKind
{
    OpenGL,      // draws through OpenGL 3.3 core on the device window (the default)
    Recording,   // draws nothing and logs every device call; needs no window
};

// Chooses what the next Direct3DCreate9 opens. Objects already made keep their backend.
void D3DSelectBackend(D3DBackendKind kind);
D3DBackendKind D3DGetSelectedBackend();

// ---------------------------------------------------------------------------
// Recording log. Every call on a device of the recording backend appends one
// line: the method name and its arguments, render/stage/sampler states by
// their short names and values in decimal, e.g.
//   "SetRenderState(CULLMODE, 2)"
//   "SetTextureStageState(0, COLOROP, 4)"
//   "SetSamplerState(1, ADDRESSU, 4)"
//   "SetTexture(0, tex3)"            (textures and buffers by creation number, "null" for none)
//   "DrawIndexedPrimitive(TRIANGLELIST, 0, 0, 24, 0, 12)"
// Effect calls are logged too: "Effect.SetTechnique(techName)", "Effect.Begin",
// "Effect.BeginPass(0)", "Effect.SetMatrix(matViewProj)", ...
// ---------------------------------------------------------------------------
const std::vector<std::string>& D3DRecordedCalls();
void D3DClearRecordedCalls();

// Why the last Direct3DCreate9 gave null (the video system's own words), or
// "" when it did not.
const char* D3DCreateError();

// ---------------------------------------------------------------------------
// Adapter description. By default it comes from the backend (the recording
// backend reports a 1024 x 768 desktop and the common mode sizes). Tests may
// impose their own mode list, desktop mode and shader versions; the settings
// apply to IDirect3D9 objects and devices made afterwards as well as to those
// already open.
// ---------------------------------------------------------------------------
void D3DOverrideAdapterModes(const std::vector<D3DDISPLAYMODE>& modes);
void D3DOverrideDesktopMode(const D3DDISPLAYMODE& mode);
// Shader versions as D3DVS_VERSION / D3DPS_VERSION words; the default is 2.0 / 2.0.
void D3DOverrideShaderVersions(DWORD vertexShaderVersion, DWORD pixelShaderVersion);
// The adapter description GetAdapterIdentifier reports (by default the
// OpenGL renderer string, or "Recording device" on the recording backend).
void D3DOverrideAdapterDescription(const std::string& description);
// Makes IDirect3D9::CreateDevice fail with `result` for the given behaviour
// flags (all flags when behaviorFlags is 0); D3D_OK clears the rule.
void D3DOverrideCreateDeviceResult(DWORD behaviorFlags, HRESULT result);
// Back to the backend's own description.
void D3DClearOverrides();

// ---------------------------------------------------------------------------
// Device loss (never happens on OpenGL by itself).
// After D3DSimulateDeviceLost, Present and TestCooperativeLevel report
// D3DERR_DEVICELOST; after D3DSimulateDeviceResettable, TestCooperativeLevel
// reports D3DERR_DEVICENOTRESET and Reset restores the device (or fails with
// the result given to D3DSimulateResetResult).
// ---------------------------------------------------------------------------
void D3DSimulateDeviceLost(IDirect3DDevice9* device);
void D3DSimulateDeviceResettable(IDirect3DDevice9* device);
void D3DSimulateResetResult(IDirect3DDevice9* device, HRESULT result);

// ---------------------------------------------------------------------------
// Windows for tests and tools: a hidden SDL window made with SDL_WINDOW_OPENGL,
// returned as the HWND the device is created on (an HWND is the SDL_Window*
// behind it). Null when no video driver is available.
// ---------------------------------------------------------------------------
HWND D3DCreateHiddenWindow(int width, int height);
void D3DDestroyHiddenWindow(HWND window);

// Reads back the pixels of a surface (render target, texture level, or the
// back buffer from GetBackBuffer) as B,G,R,A bytes, rows top to bottom.
// Lockable textures give what was written to them (DXT and R5G6B5 expanded)
// on both backends; render targets give what was drawn on OpenGL and zeros
// on the recording backend.
bool D3DReadSurfacePixels(IDirect3DSurface9* surface, std::vector<uint8_t>& bgra, UINT& width, UINT& height);

// The pixels of a device's render target 0 as above, and its size; empty
// (0 x 0) when there is none or it cannot be read.
std::vector<uint8_t> D3DReadRenderTarget(IDirect3DDevice9* device, UINT* width = nullptr, UINT* height = nullptr);

// Writes B,G,R,A pixels (rows top to bottom) as an RGBA PNG file; false when
// it cannot be written.
bool D3DWritePng(const std::string& path, const std::vector<uint8_t>& bgra, int width, int height);

// Draw calls and triangles the OpenGL device has drawn since the last call
// (the counts start again at zero). Draws skipped or refused are not counted.
struct D3DDrawStats
{
    unsigned long long drawCalls = 0;
    unsigned long long triangles = 0;
};
D3DDrawStats D3DTakeDrawStats();
