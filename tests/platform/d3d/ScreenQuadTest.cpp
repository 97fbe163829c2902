// Pre-transformed (screen-space) vertices land on the pixels Direct3D puts
// them on: origin at the top left, pixel centres at whole coordinates.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/GoldenImage.h"
#include "tests/support/Skip.h"
#include "tests/support/TestDevice.h"

namespace
{

struct ScreenVertex
{
    float x, y, z, rhw;
    DWORD color;
    float u, v;
};
const DWORD kScreenFVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

void Quad(ScreenVertex* v, float x1, float y1, float x2, float y2, DWORD color)
{
    v[0] = {x1, y1, 0, 1, color, 0, 0};
    v[1] = {x2, y1, 0, 1, color, 1, 0};
    v[2] = {x1, y2, 0, 1, color, 0, 1};
    v[3] = {x2, y2, 0, 1, color, 1, 1};
}

struct ScreenSize
{
    UINT width, height;
};

class ScreenQuadTest : public ::testing::TestWithParam<ScreenSize>
{};

TEST_P(ScreenQuadTest, QuadsCoverExactlyTheirPixels)
{
    const ScreenSize size = GetParam();
    testdevice::Device device;
    if (!device.OpenHeadless(size.width, size.height))
        SKIP_OR_FAIL_IN_CI() << device.error();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    device->SetFVF(kScreenFVF);
    ScreenVertex v[4];
    // A quad near the top-left corner and one ending at the bottom-right corner.
    Quad(v, 10, 20, 30, 50, 0xFFFF0000);
    ASSERT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(ScreenVertex)));
    float w = (float)size.width, h = (float)size.height;
    Quad(v, w - 5, h - 7, w, h, 0xFF00FF00);
    ASSERT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(ScreenVertex)));

    UINT rw = 0, rh = 0;
    std::vector<uint8_t> pixels = device.ReadRenderTarget(&rw, &rh);
    ASSERT_EQ(size.width, rw);
    ASSERT_EQ(size.height, rh);
    auto at = [&](int x, int y) { return golden::PixelAt(pixels, (int)rw, x, y) & 0xFFFFFF; };
    EXPECT_EQ(0xFF0000u, at(10, 20));
    EXPECT_EQ(0xFF0000u, at(29, 49));
    EXPECT_EQ(0u, at(9, 20));
    EXPECT_EQ(0u, at(30, 20));
    EXPECT_EQ(0u, at(10, 19));
    EXPECT_EQ(0u, at(10, 50));
    int W = (int)size.width, H = (int)size.height;
    EXPECT_EQ(0x00FF00u, at(W - 5, H - 7));
    EXPECT_EQ(0x00FF00u, at(W - 1, H - 1));
    EXPECT_EQ(0u, at(W - 6, H - 1));
    EXPECT_EQ(0u, at(W - 1, H - 8));
}

TEST_P(ScreenQuadTest, ClearStaysInsideTheViewport)
{
    const ScreenSize size = GetParam();
    testdevice::Device device;
    if (!device.OpenHeadless(size.width, size.height))
        SKIP_OR_FAIL_IN_CI() << device.error();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    D3DVIEWPORT9 vp = {100, 50, 200, 150, 0.0f, 1.0f};
    device->SetViewport(&vp);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
    std::vector<uint8_t> pixels = device.ReadRenderTarget();
    int w = (int)size.width;
    EXPECT_EQ(0xFFFFFFu, golden::PixelAt(pixels, w, 100, 50) & 0xFFFFFF);
    EXPECT_EQ(0xFFFFFFu, golden::PixelAt(pixels, w, 299, 199) & 0xFFFFFF);
    EXPECT_EQ(0x0000FFu, golden::PixelAt(pixels, w, 99, 50) & 0xFFFFFF);
    EXPECT_EQ(0x0000FFu, golden::PixelAt(pixels, w, 300, 199) & 0xFFFFFF);
    EXPECT_EQ(0x0000FFu, golden::PixelAt(pixels, w, 100, 200) & 0xFFFFFF);
}

TEST_P(ScreenQuadTest, LinesAndFansLandOnTheirRows)
{
    const ScreenSize size = GetParam();
    testdevice::Device device;
    if (!device.OpenHeadless(size.width, size.height))
        SKIP_OR_FAIL_IN_CI() << device.error();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    device->SetFVF(kScreenFVF);
    ScreenVertex line[3] = {
        {5, 10, 0, 1, 0xFFFF0000, 0, 0}, {40, 10, 0, 1, 0xFFFF0000, 0, 0}, {40, 30, 0, 1, 0xFFFF0000, 0, 0}};
    ASSERT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_LINESTRIP, 2, line, sizeof(ScreenVertex)));
    // A fan of four triangles around (100, 100) fills the square 80..120.
    ScreenVertex fan[6] = {{100, 100, 0, 1, 0xFF00FF00, 0, 0}, {80, 80, 0, 1, 0xFF00FF00, 0, 0},
                           {120, 80, 0, 1, 0xFF00FF00, 0, 0},  {120, 120, 0, 1, 0xFF00FF00, 0, 0},
                           {80, 120, 0, 1, 0xFF00FF00, 0, 0},  {80, 80, 0, 1, 0xFF00FF00, 0, 0}};
    ASSERT_EQ(D3D_OK, device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 4, fan, sizeof(ScreenVertex)));
    std::vector<uint8_t> pixels = device.ReadRenderTarget();
    int w = (int)size.width;
    EXPECT_EQ(0xFF0000u, golden::PixelAt(pixels, w, 20, 10) & 0xFFFFFF);
    EXPECT_EQ(0u, golden::PixelAt(pixels, w, 20, 12) & 0xFFFFFF);
    EXPECT_EQ(0u, golden::PixelAt(pixels, w, 20, 8) & 0xFFFFFF);
    EXPECT_EQ(0xFF0000u, golden::PixelAt(pixels, w, 40, 20) & 0xFFFFFF);
    EXPECT_EQ(0x00FF00u, golden::PixelAt(pixels, w, 81, 118) & 0xFFFFFF);
    EXPECT_EQ(0x00FF00u, golden::PixelAt(pixels, w, 118, 81) & 0xFFFFFF);
    EXPECT_EQ(0u, golden::PixelAt(pixels, w, 121, 100) & 0xFFFFFF);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ScreenQuadTest, ::testing::Values(ScreenSize{800, 600}, ScreenSize{1024, 768}),
                         [](const ::testing::TestParamInfo<ScreenSize>& i) {
                             return std::to_string(i.param.width) + "x" + std::to_string(i.param.height);
                         });

}   // namespace
