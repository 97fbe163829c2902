#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/image/ImageDecode.h"

TEST(ImageSizes, LevelSizeAndPitchPerFormat)
{
    struct Case
    {
        PixelFormat fmt;
        int w, h;
        size_t pitch, size;
    };
    const Case cases[] = {
        {PixelFormat::A8R8G8B8, 3, 2, 12, 24}, {PixelFormat::X8R8G8B8, 1, 1, 4, 4}, {PixelFormat::R5G6B5, 3, 3, 6, 18},
        {PixelFormat::DXT1, 5, 5, 16, 32},   // 2 x 2 blocks of 8 bytes
        {PixelFormat::DXT1, 1, 1, 8, 8},     // a 1x1 level still takes a block
        {PixelFormat::DXT3, 4, 8, 16, 32},     {PixelFormat::DXT5, 2, 1, 16, 16},   {PixelFormat::DXT5, 0, 4, 0, 0},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(RowPitch(c.fmt, c.w), c.pitch) << c.w << "x" << c.h;
        EXPECT_EQ(LevelSize(c.fmt, c.w, c.h), c.size) << c.w << "x" << c.h;
    }
}

TEST(ImageSizes, MipCountsAndDimensions)
{
    EXPECT_EQ(FullMipCount(1, 1), 1);
    EXPECT_EQ(FullMipCount(256, 256), 9);
    EXPECT_EQ(FullMipCount(256, 16), 9);
    EXPECT_EQ(FullMipCount(5, 3), 3);   // 5x3, 2x1, 1x1
    EXPECT_EQ(MipDimension(256, 3), 32);
    EXPECT_EQ(MipDimension(5, 1), 2);
    EXPECT_EQ(MipDimension(16, 8), 1);   // never below 1
    EXPECT_EQ(MipDimension(8192, 40), 1);
}

TEST(MipChain, BoxFilterAveragesAndFoldsOddEdges)
{
    // 3 x 1 row: the odd column folds into the one output pixel.
    const uint8_t row[] = {0, 30, 90, 255, 30, 60, 90, 255, 60, 90, 90, 0};
    auto half = DownsampleBgra(3, 1, row);
    ASSERT_EQ(half.size(), 4u);
    EXPECT_EQ(half[0], 30);
    EXPECT_EQ(half[1], 60);
    EXPECT_EQ(half[2], 90);
    EXPECT_EQ(half[3], 170);

    // 2 x 2 block averages with rounding.
    const uint8_t quad[] = {0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    auto one = DownsampleBgra(2, 2, quad);
    ASSERT_EQ(one.size(), 4u);
    EXPECT_EQ(one[0], 1);   // 3 / 4 rounds to 1
}

TEST(MipChain, FullChainDownToOnePixelKeepsMeanColour)
{
    const int w = 8, h = 2;
    std::vector<uint8_t> img(w * h * 4);
    for (int i = 0; i < w * h; ++i)
    {
        img[i * 4 + 0] = uint8_t(i % 2 ? 200 : 100);
        img[i * 4 + 1] = 50;
        img[i * 4 + 2] = uint8_t(i * 10);
        img[i * 4 + 3] = 255;
    }
    auto chain = GenerateMipChainBgra(w, h, img.data());
    ASSERT_EQ(chain.size(), 4u);   // 8x2, 4x1, 2x1, 1x1
    EXPECT_EQ(chain[0], img);
    EXPECT_EQ(chain[1].size(), 4u * 4);
    EXPECT_EQ(chain[2].size(), 2u * 4);
    ASSERT_EQ(chain[3].size(), 4u);
    EXPECT_EQ(chain[3][0], 150);
    EXPECT_EQ(chain[3][1], 50);
    EXPECT_NEAR(chain[3][2], 75, 1);
    EXPECT_EQ(chain[3][3], 255);
}
