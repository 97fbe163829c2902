#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/image/DdsReader.h"
#include "platform/image/ImageDecode.h"
#include "tools/ImageWriter.h"

namespace
{

// Header fields, as file offsets (after the four magic bytes).
constexpr size_t kSize = 4, kFlags = 8, kHeight = 12, kWidth = 16, kDepth = 24, kMipCount = 28;
constexpr size_t kPfSize = 76, kPfFlags = 80, kFourCC = 84, kBitCount = 88, kCaps2 = 112;

void Put(std::vector<uint8_t>& f, size_t at, uint32_t v)
{
    for (int k = 0; k < 4; ++k)
        f[at + k] = uint8_t(v >> (8 * k));
}

uint32_t Get(const std::vector<uint8_t>& f, size_t at)
{
    return f[at] | (f[at + 1] << 8) | (f[at + 2] << 16) | (uint32_t(f[at + 3]) << 24);
}

std::vector<uint8_t> ValidTexture(PixelFormat fmt, bool mips)
{
    std::vector<uint8_t> img(16 * 16 * 4, 0x80);
    return WriteDds(16, 16, img.data(), fmt, mips);
}

std::vector<uint8_t> ValidCube()
{
    std::vector<uint8_t> img(8 * 8 * 4, 0x40);
    const uint8_t* faces[6] = {img.data(), img.data(), img.data(), img.data(), img.data(), img.data()};
    return WriteDdsCube(8, faces, PixelFormat::DXT1, false);
}

struct CorruptCase
{
    const char* name;
    std::function<std::vector<uint8_t>()> make;
};

void PrintTo(const CorruptCase& c, std::ostream* os)
{
    *os << c.name;
}

}   // namespace

class DdsCorrupt : public ::testing::TestWithParam<CorruptCase>
{};

TEST_P(DdsCorrupt, IsRejectedWithAReason)
{
    const auto file = GetParam().make();
    DecodedImage out;
    out.width = 99;   // must be cleared on failure
    std::string error;
    EXPECT_FALSE(DecodeImage(file.data(), file.size(), out, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(out.width, 0);
    EXPECT_EQ(out.levels, 0);
    EXPECT_TRUE(out.data.empty());
}

INSTANTIATE_TEST_SUITE_P(Files, DdsCorrupt,
                         ::testing::Values(CorruptCase{"MagicOnly",
                                                       [] {
                                                           return std::vector<uint8_t>{'D', 'D', 'S', ' '};
                                                       }},
                                           CorruptCase{"ShortHeader",
                                                       [] {
                                                           auto f = ValidTexture(PixelFormat::DXT1, false);
                                                           f.resize(100);
                                                           return f;
                                                       }},
                                           CorruptCase{"WrongMagic",
                                                       [] {
                                                           auto f = ValidTexture(PixelFormat::DXT1, false);
                                                           f[3] = 'X';
                                                           return f;
                                                       }},
                                           CorruptCase{"WrongHeaderSize",
                                                       [] {
                                                           auto f = ValidTexture(PixelFormat::DXT1, false);
                                                           Put(f, kSize, 128);
                                                           return f;
                                                       }},
                                           CorruptCase{"WrongPixelFormatSize",
                                                       [] {
                                                           auto f = ValidTexture(PixelFormat::DXT1, false);
                                                           Put(f, kPfSize, 0);
                                                           return f;
                                                       }},
                                           CorruptCase{"TopLevelPastEnd",
                                                       [] {
                                                           auto f = ValidTexture(PixelFormat::A8R8G8B8, false);
                                                           f.pop_back();
                                                           return f;
                                                       }},
                                           CorruptCase{"LastMipPastEnd",
                                                       [] {
                                                           auto f = ValidTexture(PixelFormat::DXT5, true);
                                                           f.resize(f.size() - 1);
                                                           return f;
                                                       }},
                                           CorruptCase{"HeaderOnly",
                                                       [] {
                                                           auto f = ValidTexture(PixelFormat::DXT1, false);
                                                           f.resize(128);
                                                           return f;
                                                       }},
                                           CorruptCase{"WidthPastEnd",
                                                       [] {
                                                           auto f = ValidTexture(PixelFormat::A8R8G8B8, false);
                                                           Put(f, kWidth, 17);
                                                           return f;
                                                       }},
                                           CorruptCase{"AbsurdWidth",
                                                       [] {
                                                           auto f = ValidTexture(PixelFormat::DXT1, false);
                                                           Put(f, kWidth, 0x40000000);
                                                           return f;
                                                       }},
                                           CorruptCase{"AbsurdHeight",
                                                       [] {
                                                           auto f = ValidTexture(PixelFormat::DXT1, false);
                                                           Put(f, kHeight, 0xFFFFFFFF);
                                                           return f;
                                                       }},
                                           CorruptCase{"JustOverLimit",
                                                       [] {
                                                           auto f = ValidTexture(PixelFormat::DXT1, false);
                                                           Put(f, kWidth, 8193);
                                                           return f;
                                                       }},
                                           CorruptCase{"ZeroWidth",
                                                       [] {
                                                           auto f = ValidTexture(PixelFormat::DXT1, false);
                                                           Put(f, kWidth, 0);
                                                           return f;
                                                       }},
                                           CorruptCase{"MipCountBeyondDimensions",
                                                       [] {
                                                           auto f = ValidTexture(PixelFormat::DXT1, true);
                                                           Put(f, kMipCount, 6);
                                                           return f;
                                                       }},
                                           CorruptCase{"MipCountHuge",
                                                       [] {
                                                           auto f = ValidTexture(PixelFormat::DXT1, true);
                                                           Put(f, kMipCount, 0xFFFFFFFF);
                                                           return f;
                                                       }},
                                           CorruptCase{"CubeMissingFace",
                                                       [] {
                                                           auto f = ValidCube();
                                                           Put(f, kCaps2, Get(f, kCaps2) & ~0x8000u);
                                                           return f;
                                                       }},
                                           CorruptCase{"CubeFacesMissingData",
                                                       [] {
                                                           auto f = ValidCube();
                                                           f.resize(f.size() - 8);
                                                           return f;
                                                       }},
                                           CorruptCase{"CubeNotSquare",
                                                       [] {
                                                           auto f = ValidCube();
                                                           Put(f, kHeight, 4);
                                                           return f;
                                                       }},
                                           CorruptCase{"VolumeTexture",
                                                       [] {
                                                           auto f = ValidTexture(PixelFormat::DXT1, false);
                                                           Put(f, kFlags, Get(f, kFlags) | 0x800000);
                                                           Put(f, kDepth, 4);
                                                           return f;
                                                       }},
                                           CorruptCase{"UnknownFourCC",
                                                       [] {
                                                           auto f = ValidTexture(PixelFormat::DXT1, false);
                                                           f[kFourCC + 3] = '2';
                                                           return f;
                                                       }},
                                           CorruptCase{"TwentyFourBitRgb",
                                                       [] {
                                                           auto f = ValidTexture(PixelFormat::A8R8G8B8, false);
                                                           Put(f, kBitCount, 24);
                                                           return f;
                                                       }},
                                           CorruptCase{"NoPixelFormatFlags",
                                                       [] {
                                                           auto f = ValidTexture(PixelFormat::A8R8G8B8, false);
                                                           Put(f, kPfFlags, 0);
                                                           return f;
                                                       }}),
                         [](const ::testing::TestParamInfo<CorruptCase>& i) { return std::string(i.param.name); });

TEST(DdsReader, ZeroMipCountReadsAsOneLevel)
{
    auto f = ValidTexture(PixelFormat::DXT1, false);
    Put(f, kMipCount, 0);
    DecodedImage out;
    std::string error;
    ASSERT_TRUE(ReadDds(f.data(), f.size(), out, &error)) << error;
    EXPECT_EQ(out.levels, 1);
    ASSERT_EQ(out.data.size(), 1u);
    EXPECT_EQ(out.data[0].size(), LevelSize(PixelFormat::DXT1, 16, 16));
}

TEST(DdsReader, FewerMipsThanFullChainAndTrailingBytesAreFine)
{
    auto f = ValidTexture(PixelFormat::A8R8G8B8, true);
    Put(f, kMipCount, 2);   // the rest of the chain becomes trailing bytes
    DecodedImage out;
    ASSERT_TRUE(ReadDds(f.data(), f.size(), out));
    EXPECT_EQ(out.levels, 2);
    EXPECT_EQ(out.data[1].size(), 8u * 8 * 4);
}

TEST(DdsReader, FormatNumberInFourCCIsAccepted)
{
    auto f = ValidTexture(PixelFormat::R5G6B5, false);
    Put(f, kPfFlags, 0x4);
    Put(f, kFourCC, 23);   // the Direct3D number of R5G6B5
    DecodedImage out;
    ASSERT_TRUE(ReadDds(f.data(), f.size(), out));
    EXPECT_EQ(out.format, PixelFormat::R5G6B5);
}

TEST(DdsReader, X8TexelsComeBackOpaque)
{
    auto f = ValidTexture(PixelFormat::X8R8G8B8, false);
    for (size_t i = 128 + 3; i < f.size(); i += 4)
        f[i] = 0;   // a writer that leaves the unused byte at zero
    DecodedImage out;
    ASSERT_TRUE(ReadDds(f.data(), f.size(), out));
    for (size_t i = 3; i < out.data[0].size(); i += 4)
        ASSERT_EQ(out.data[0][i], 255) << i;
}
