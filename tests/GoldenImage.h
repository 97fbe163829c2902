#pragma once
// Shared helpers for tests that look at pixels.
//
// Golden images: CompareWithGolden("device/lit_mesh", pixels, w, h) compares
// B,G,R,A pixels (rows top to bottom) with tests/golden/device/lit_mesh.png,
// allowing each channel to differ by `tolerance`. With the environment
// variable TRALLOWMERE_UPDATE_GOLDEN=1 the image is written instead (look at
// it before committing it).
//
// Headless device: HeadlessDevice makes a hidden window and an OpenGL device
// of the given back-buffer size (SDL_VIDEODRIVER=offscreen, as CTest sets),
// so a test can draw and read the back buffer back.
#include <gtest/gtest.h>
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "RecordingDeviceFixture.h"
#include "platform/d3d/D3D9.h"

namespace golden
{

// Test programs get the source and build folders compiled in; other users
// (benchmarks) take them from the environment or the working folder.
inline std::string SourceDir()
{
#ifdef TRALLOWMERE_SOURCE_DIR
    return TRALLOWMERE_SOURCE_DIR;
#else
    const char* env = std::getenv("TRALLOWMERE_SOURCE");
    return env ? env : ".";
#endif
}

inline std::string BuildDir()
{
#ifdef TRALLOWMERE_BUILD_DIR
    return TRALLOWMERE_BUILD_DIR;
#else
    const char* env = std::getenv("TRALLOWMERE_BUILD");
    return env ? env : ".";
#endif
}

inline std::string GoldenPath(const std::string& name)
{
    return SourceDir() + "/tests/golden/" + name + ".png";
}

inline bool UpdatingGolden()
{
    const char* env = std::getenv("TRALLOWMERE_UPDATE_GOLDEN");
    return env && std::string(env) == "1";
}

// Writes B,G,R,A pixels as an RGBA PNG.
inline bool WritePng(const std::string& path, const std::vector<uint8_t>& bgra, int width, int height)
{
    std::vector<uint8_t> rgba(bgra.size());
    for (size_t i = 0; i + 3 < bgra.size(); i += 4)
    {
        rgba[i] = bgra[i + 2];
        rgba[i + 1] = bgra[i + 1];
        rgba[i + 2] = bgra[i];
        rgba[i + 3] = bgra[i + 3];
    }
    return stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4) != 0;
}

// Reads a PNG as B,G,R,A pixels.
inline bool ReadPng(const std::string& path, std::vector<uint8_t>& bgra, int& width, int& height)
{
    int channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &width, &height, &channels, 4);
    if (!data)
        return false;
    bgra.assign(data, data + (size_t)width * height * 4);
    stbi_image_free(data);
    for (size_t i = 0; i + 3 < bgra.size(); i += 4)
        std::swap(bgra[i], bgra[i + 2]);
    return true;
}

inline ::testing::AssertionResult CompareWithGolden(const std::string& name, const std::vector<uint8_t>& bgra,
                                                    int width, int height, int tolerance = 6)
{
    std::string path = GoldenPath(name);
    if (UpdatingGolden())
    {
        if (!WritePng(path, bgra, width, height))
            return ::testing::AssertionFailure() << "cannot write " << path;
        return ::testing::AssertionSuccess() << "wrote " << path;
    }
    std::vector<uint8_t> expected;
    int w = 0, h = 0;
    if (!ReadPng(path, expected, w, h))
        return ::testing::AssertionFailure()
               << "no golden image " << path << " (run with TRALLOWMERE_UPDATE_GOLDEN=1 to make it)";
    if (w != width || h != height)
        return ::testing::AssertionFailure() << "size " << width << "x" << height << ", golden " << w << "x" << h;
    int bad = 0, worst = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 4; ++c)
            {
                size_t i = ((size_t)y * width + x) * 4 + c;
                int d = std::abs((int)bgra[i] - (int)expected[i]);
                if (d > worst)
                    worst = d;
                if (d > tolerance)
                {
                    if (bad == 0)
                        firstX = x, firstY = y;
                    ++bad;
                }
            }
    if (bad == 0)
        return ::testing::AssertionSuccess();
    std::string actual = BuildDir() + "/" + name.substr(name.rfind('/') + 1) + ".actual.png";
    WritePng(actual, bgra, width, height);
    return ::testing::AssertionFailure() << name << ": " << bad << " channel values differ by more than " << tolerance
                                         << " (worst " << worst << ", first at " << firstX << "," << firstY
                                         << "); actual image written to " << actual;
}

// Colour of one pixel of B,G,R,A data as 0xAARRGGBB.
inline uint32_t PixelAt(const std::vector<uint8_t>& bgra, int width, int x, int y)
{
    size_t i = ((size_t)y * width + x) * 4;
    return (uint32_t)bgra[i] | ((uint32_t)bgra[i + 1] << 8) | ((uint32_t)bgra[i + 2] << 16) |
           ((uint32_t)bgra[i + 3] << 24);
}

// An OpenGL device on a hidden window.
class HeadlessDevice
{
public:
    HeadlessDevice() = default;
    HeadlessDevice(const HeadlessDevice&) = delete;
    HeadlessDevice& operator=(const HeadlessDevice&) = delete;
    ~HeadlessDevice() { Release(); }

    // Makes the device; false (with the reason in error()) when no GL is available.
    bool Create(UINT width, UINT height, bool depth = true)
    {
        Release();
        D3DSelectBackend(D3DBackendKind::OpenGL);
        window_ = D3DCreateHiddenWindow((int)width, (int)height);
        if (!window_)
            return Fail("no window");
        d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
        if (!d3d_)
            return Fail("Direct3DCreate9 failed");
        D3DPRESENT_PARAMETERS pp = testdevice::WindowedParameters(width, height, window_, depth);
        HRESULT hr = d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_,
                                        D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device_);
        if (FAILED(hr))
            return Fail(std::string("CreateDevice failed: ") + DXGetErrorString9A(hr));
        return true;
    }

    void Release()
    {
        if (device_)
            device_->Release();
        if (d3d_)
            d3d_->Release();
        if (window_)
            D3DDestroyHiddenWindow(window_);
        device_ = nullptr;
        d3d_ = nullptr;
        window_ = nullptr;
    }

    IDirect3DDevice9* operator->() const { return device_; }
    IDirect3DDevice9* get() const { return device_; }
    const std::string& error() const { return error_; }

    // Pixels of the current render target 0.
    std::vector<uint8_t> ReadRenderTarget(UINT* width = nullptr, UINT* height = nullptr)
    {
        std::vector<uint8_t> pixels;
        IDirect3DSurface9* target = nullptr;
        UINT w = 0, h = 0;
        if (SUCCEEDED(device_->GetRenderTarget(0, &target)))
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

private:
    bool Fail(const std::string& why)
    {
        error_ = why;
        Release();
        return false;
    }

    HWND window_ = nullptr;
    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    std::string error_;
};

}   // namespace golden
