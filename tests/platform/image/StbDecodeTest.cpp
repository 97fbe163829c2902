#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/image/ImageDecode.h"
#include "tools/ImageWriter.h"

namespace
{

// 16 x 16: four 8x8 quadrants of distinct colours (big flat areas survive
// JPEG), alpha 128 in the lower right quadrant.
constexpr int kW = 16, kH = 16;

std::vector<uint8_t> Quadrants()
{
    std::vector<uint8_t> img(kW * kH * 4);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
        {
            uint8_t* p = &img[(y * kW + x) * 4];
            const int q = (y / 8) * 2 + x / 8;
            const uint8_t bgr[4][3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}};
            p[0] = bgr[q][0];
            p[1] = bgr[q][1];
            p[2] = bgr[q][2];
            p[3] = q == 3 ? 128 : 255;
        }
    return img;
}

struct StbCase
{
    const char* name;
    std::function<std::vector<uint8_t>(const uint8_t*)> write;
    int tolerance;
    bool keepsAlpha;
};

void PrintTo(const StbCase& c, std::ostream* os)
{
    *os << c.name;
}

}   // namespace

class StbDecode : public ::testing::TestWithParam<StbCase>
{};

TEST_P(StbDecode, GivesBgraWithTopRowFirst)
{
    const StbCase& c = GetParam();
    const auto img = Quadrants();
    const auto file = c.write(img.data());
    ASSERT_FALSE(file.empty());
    DecodedImage out;
    std::string error;
    ASSERT_TRUE(DecodeImage(file.data(), file.size(), out, &error)) << error;
    EXPECT_EQ(out.format, PixelFormat::A8R8G8B8);
    EXPECT_EQ(out.width, kW);
    EXPECT_EQ(out.height, kH);
    EXPECT_EQ(out.levels, 1);
    EXPECT_FALSE(out.cube);
    ASSERT_EQ(out.data.size(), 1u);
    ASSERT_EQ(out.data[0].size(), size_t(kW * kH * 4));
    // Known spots well inside each quadrant: red top left, green top right,
    // blue lower left, white lower right.
    const int spots[][2] = {{3, 2}, {12, 3}, {2, 12}, {13, 13}};
    for (const auto& s : spots)
    {
        const size_t at = (s[1] * kW + s[0]) * 4;
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(out.data[0][at + k], img[at + k], c.tolerance) << s[0] << "," << s[1] << " byte " << k;
        EXPECT_EQ(out.data[0][at + 3], c.keepsAlpha ? img[at + 3] : 255) << s[0] << "," << s[1];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, StbDecode,
    ::testing::Values(StbCase{"Bmp", [](const uint8_t* p) { return WriteBmp24(kW, kH, p); }, 0, false},
                      StbCase{"Png", [](const uint8_t* p) { return WritePng(kW, kH, p); }, 0, true},
                      StbCase{"Tga", [](const uint8_t* p) { return WriteTga32(kW, kH, p); }, 0, true},
                      StbCase{"Jpg", [](const uint8_t* p) { return WriteJpg(kW, kH, p, 95); }, 12, false}),
    [](const ::testing::TestParamInfo<StbCase>& i) { return std::string(i.param.name); });

TEST(StbDecode, OddSizesKeepTheirRows)
{
    // 3 x 5 with one marked pixel: catches row-stride and flip mistakes.
    std::vector<uint8_t> img(3 * 5 * 4, 0);
    for (size_t i = 3; i < img.size(); i += 4)
        img[i] = 255;
    uint8_t* mark = &img[(4 * 3 + 1) * 4];
    mark[0] = 10;
    mark[1] = 20;
    mark[2] = 30;
    for (auto write : {WriteBmp24, WritePng, WriteTga32})
    {
        const auto file = write(3, 5, img.data());
        DecodedImage out;
        ASSERT_TRUE(DecodeImage(file.data(), file.size(), out));
        EXPECT_EQ(out.data[0], img);
    }
}

// An uncompressed 2 x 2, 32-bit TGA stored bottom row first, as most
// painting programs write it.
std::vector<uint8_t> HandMadeTga()
{
    // One list: growing a vector by inserts from small arrays trips a false
    // -Warray-bounds in GCC 12's optimised builds.
    return {
        0, 0, 2, 0,   0,  0,  0,  0,   0, 0, 0, 0, 2, 0, 2, 0, 32, 8,   // header: 2 x 2, 32 bits, bottom row first
        1, 2, 3, 255, 4,  5,  6,  128,                                  // bottom row, B,G,R,A
        7, 8, 9, 255, 10, 11, 12, 0,                                    // top row
    };
}

TEST(StbDecode, UncompressedTgaIsTurnedTopRowFirst)
{
    const auto f = HandMadeTga();
    DecodedImage out;
    std::string error;
    ASSERT_TRUE(DecodeImage(f.data(), f.size(), out, &error)) << error;
    const std::vector<uint8_t> expected = {7, 8, 9, 255, 10, 11, 12, 0, 1, 2, 3, 255, 4, 5, 6, 128};
    EXPECT_EQ(out.data[0], expected);
}

TEST(StbDecode, BadFilesAreRejectedWithAReason)
{
    const auto img = Quadrants();
    auto png = WritePng(kW, kH, img.data());
    auto bmp = WriteBmp24(kW, kH, img.data());

    std::vector<std::pair<const char*, std::vector<uint8_t>>> cases;
    cases.push_back({"garbage", std::vector<uint8_t>(64, 0x5A)});
    cases.push_back({"one byte", std::vector<uint8_t>(1, 'B')});
    cases.push_back({"gif", std::vector<uint8_t>{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0}});
    cases.push_back({"truncated png", std::vector<uint8_t>(png.begin(), png.begin() + 40)});
    cases.push_back({"truncated bmp", std::vector<uint8_t>(bmp.begin(), bmp.begin() + 60)});
    auto shortTga = HandMadeTga();
    shortTga.resize(shortTga.size() - 1);
    cases.push_back({"truncated uncompressed tga", shortTga});
    // Run-length TGA header claiming 8000 x 8000 pixels over a few bytes.
    const std::vector<uint8_t> hugeRleTga = {0,    0,    10, 0, 0,    0, 0, 0, 0, 0,    0, 0, 0x40, 0x1F,
                                             0x40, 0x1F, 32, 8, 0xFF, 1, 2, 3, 4, 0xFF, 1, 2, 3,    4};
    cases.push_back({"rle tga far too short", hugeRleTga});
    // JPEG frame header patched to 8000 x 8000 over a file of a few hundred bytes.
    auto bigJpg = WriteJpg(kW, kH, img.data(), 50);
    for (size_t i = 0; i + 8 < bigJpg.size(); ++i)
        if (bigJpg[i] == 0xFF && bigJpg[i + 1] == 0xC0)
        {
            bigJpg[i + 5] = 0x1F;
            bigJpg[i + 6] = 0x40;   // height
            bigJpg[i + 7] = 0x1F;
            bigJpg[i + 8] = 0x40;   // width
            break;
        }
    cases.push_back({"jpg far too short", bigJpg});
    // PNG width field (big-endian, offset 16) beyond the dimension limit.
    auto widePng = png;
    widePng[16] = 0;
    widePng[17] = 0;
    widePng[18] = 0x20;
    widePng[19] = 0x01;
    cases.push_back({"png too wide", widePng});
    // BMP height (little-endian, offset 22) of a billion rows.
    auto tallBmp = bmp;
    tallBmp[22] = 0;
    tallBmp[23] = 0xCA;
    tallBmp[24] = 0x9A;
    tallBmp[25] = 0x3B;
    cases.push_back({"bmp too tall", tallBmp});

    for (const auto& c : cases)
    {
        DecodedImage out;
        std::string error;
        EXPECT_FALSE(DecodeImage(c.second.data(), c.second.size(), out, &error)) << c.first;
        EXPECT_FALSE(error.empty()) << c.first;
        EXPECT_TRUE(out.data.empty()) << c.first;
        EXPECT_EQ(out.width, 0) << c.first;
    }
    DecodedImage out;
    EXPECT_FALSE(DecodeImage(nullptr, 10, out));
    EXPECT_FALSE(DecodeImage(png.data(), 0, out));
}
