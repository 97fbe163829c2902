#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/image/ImageDecode.h"

namespace
{

// Pixel (x, y) of a decoded B,G,R,A image as 0xAARRGGBB.
uint32_t Pixel(const std::vector<uint8_t>& bgra, int width, int x, int y)
{
    const uint8_t* p = &bgra[(static_cast<size_t>(y) * width + x) * 4];
    return (uint32_t(p[3]) << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
}

// Colour block with index i for pixel i taken from `indices` (row-major).
void PutColourBlock(uint8_t* b, uint16_t c0, uint16_t c1, const int indices[16])
{
    b[0] = uint8_t(c0);
    b[1] = uint8_t(c0 >> 8);
    b[2] = uint8_t(c1);
    b[3] = uint8_t(c1 >> 8);
    uint32_t bits = 0;
    for (int i = 0; i < 16; ++i)
        bits |= uint32_t(indices[i] & 3) << (2 * i);
    for (int k = 0; k < 4; ++k)
        b[4 + k] = uint8_t(bits >> (8 * k));
}

const int kIndexRamp[16] = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3};

}   // namespace

struct Dxt1Case
{
    const char* name;
    uint16_t c0, c1;
    uint32_t expected[4];   // colours for indices 0..3 as 0xAARRGGBB
};

void PrintTo(const Dxt1Case& c, std::ostream* os)
{
    *os << c.name;
}

class Dxt1Block : public ::testing::TestWithParam<Dxt1Case>
{};

TEST_P(Dxt1Block, DecodesPaletteOfEachMode)
{
    const Dxt1Case& c = GetParam();
    uint8_t block[8];
    PutColourBlock(block, c.c0, c.c1, kIndexRamp);
    std::vector<uint8_t> bgra;
    ASSERT_TRUE(DecompressDxt(PixelFormat::DXT1, 4, 4, block, sizeof block, bgra));
    ASSERT_EQ(bgra.size(), 64u);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Pixel(bgra, 4, x, y), c.expected[x]) << "pixel " << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Modes, Dxt1Block,
                         ::testing::Values(
                             // c0 > c1: four opaque colours, thirds between red and blue.
                             Dxt1Case{"FourColour", 0xF800, 0x001F, {0xFFFF0000, 0xFF0000FF, 0xFFAA0055, 0xFF5500AA}},
                             // c0 <= c1: midpoint and a transparent black entry.
                             Dxt1Case{"ThreeColour", 0x001F, 0xF800, {0xFF0000FF, 0xFFFF0000, 0xFF7F007F, 0x00000000}},
                             // Equal colours also select the three-colour mode.
                             Dxt1Case{
                                 "EqualColours", 0x07E0, 0x07E0, {0xFF00FF00, 0xFF00FF00, 0xFF00FF00, 0x00000000}}),
                         [](const ::testing::TestParamInfo<Dxt1Case>& i) { return std::string(i.param.name); });

TEST(DxtDecode, Dxt3UsesExplicitAlphaAndAlwaysFourColours)
{
    uint8_t block[16];
    // Alpha nibbles 0..15 across the block, pixel 0 in the low nibble.
    for (int i = 0; i < 8; ++i)
        block[i] = uint8_t((2 * i) | ((2 * i + 1) << 4));
    // c0 < c1 would be the three-colour mode in DXT1, but not here.
    PutColourBlock(block + 8, 0x001F, 0xF800, kIndexRamp);
    std::vector<uint8_t> bgra;
    ASSERT_TRUE(DecompressDxt(PixelFormat::DXT3, 4, 4, block, sizeof block, bgra));
    for (int i = 0; i < 16; ++i)
    {
        const uint32_t px = Pixel(bgra, 4, i % 4, i / 4);
        EXPECT_EQ(px >> 24, uint32_t(i * 17)) << i;
    }
    EXPECT_EQ(Pixel(bgra, 4, 3, 0) & 0xFFFFFF, 0xAA0055u);   // index 3 = (c0 + 2 c1) / 3, not black
}

TEST(DxtDecode, Dxt5InterpolatesAlphaInBothModes)
{
    struct Case
    {
        uint8_t a0, a1;
        int expected[8];
    };
    const Case cases[] = {
        {255, 0, {255, 0, 218, 182, 145, 109, 72, 36}},   // eight-value mode
        {0, 255, {0, 255, 51, 102, 153, 204, 0, 255}},    // six values plus 0 and 255
    };
    for (const Case& c : cases)
    {
        uint8_t block[16] = {};
        block[0] = c.a0;
        block[1] = c.a1;
        // Pixel i gets alpha index i % 8.
        uint64_t bits = 0;
        for (int i = 0; i < 16; ++i)
            bits |= uint64_t(i % 8) << (3 * i);
        for (int k = 0; k < 6; ++k)
            block[2 + k] = uint8_t(bits >> (8 * k));
        PutColourBlock(block + 8, 0xFFFF, 0x0000, kIndexRamp);
        std::vector<uint8_t> bgra;
        ASSERT_TRUE(DecompressDxt(PixelFormat::DXT5, 4, 4, block, sizeof block, bgra));
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(int(Pixel(bgra, 4, i % 4, i / 4) >> 24), c.expected[i % 8]) << "a0=" << int(c.a0) << " i=" << i;
    }
}

TEST(DxtDecode, SizesNotMultipleOfFourTakeTopLeftOfEdgeBlocks)
{
    // 5 x 3 pixels: two blocks across, one down. Left block all red,
    // right block red in its first column and green elsewhere.
    uint8_t blocks[16];
    const int allZero[16] = {};
    const int firstColumnZero[16] = {0, 1, 1, 1, 0, 1, 1, 1, 0, 1, 1, 1, 0, 1, 1, 1};
    PutColourBlock(blocks, 0xF800, 0x0000, allZero);
    PutColourBlock(blocks + 8, 0xF800, 0x07E0, firstColumnZero);
    std::vector<uint8_t> bgra;
    ASSERT_TRUE(DecompressDxt(PixelFormat::DXT1, 5, 3, blocks, sizeof blocks, bgra));
    ASSERT_EQ(bgra.size(), size_t(5 * 3 * 4));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(Pixel(bgra, 5, x, y), 0xFFFF0000u) << x << "," << y;
}

TEST(DxtDecode, RejectsShortInputAndOtherFormats)
{
    std::vector<uint8_t> blocks(32, 0);
    std::vector<uint8_t> bgra;
    EXPECT_FALSE(DecompressDxt(PixelFormat::DXT1, 8, 8, blocks.data(), 31, bgra));   // needs 4 blocks
    EXPECT_TRUE(DecompressDxt(PixelFormat::DXT1, 8, 8, blocks.data(), 32, bgra));
    EXPECT_FALSE(DecompressDxt(PixelFormat::DXT5, 8, 4, blocks.data(), 31, bgra));
    EXPECT_FALSE(DecompressDxt(PixelFormat::A8R8G8B8, 1, 1, blocks.data(), 32, bgra));
    EXPECT_FALSE(DecompressDxt(PixelFormat::DXT1, 0, 4, blocks.data(), 32, bgra));
    EXPECT_FALSE(DecompressDxt(PixelFormat::DXT1, 4, 4, nullptr, 32, bgra));
}
