#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/image/DdsReader.h"
#include "platform/image/ImageDecode.h"
#include "tools/ImageWriter.h"

namespace
{

// A diagonal ramp along one line in colour space, with alpha falling the
// other way: block compression can follow it closely.
std::vector<uint8_t> Gradient(int w, int h)
{
    std::vector<uint8_t> img(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            uint8_t* p = &img[(static_cast<size_t>(y) * w + x) * 4];
            const double t = (double(x) / w + double(y) / h) / 2;
            p[0] = uint8_t(40 + 60 * t);
            p[1] = uint8_t(60 + 50 * t);
            p[2] = uint8_t(200 - 60 * t);
            p[3] = uint8_t(255 - 90 * t);
        }
    return img;
}

// Turns one decoded level into B,G,R,A for comparison.
std::vector<uint8_t> ToBgra(PixelFormat fmt, int w, int h, const std::vector<uint8_t>& level)
{
    std::vector<uint8_t> out;
    if (IsCompressedFormat(fmt))
    {
        EXPECT_TRUE(DecompressDxt(fmt, w, h, level.data(), level.size(), out));
        return out;
    }
    if (fmt == PixelFormat::R5G6B5)
    {
        for (size_t i = 0; i + 1 < level.size(); i += 2)
        {
            const int c = level[i] | (level[i + 1] << 8);
            const int r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
            out.push_back(uint8_t((b << 3) | (b >> 2)));
            out.push_back(uint8_t((g << 2) | (g >> 4)));
            out.push_back(uint8_t((r << 3) | (r >> 2)));
            out.push_back(255);
        }
        return out;
    }
    return level;
}

struct Tolerance
{
    int colour;
    bool keepsAlpha;
};

Tolerance ToleranceFor(PixelFormat fmt)
{
    switch (fmt)
    {
    case PixelFormat::A8R8G8B8:
        return {0, true};
    case PixelFormat::X8R8G8B8:
        return {0, false};
    case PixelFormat::R5G6B5:
        return {5, false};
    case PixelFormat::DXT1:
        return {14, false};
    default:
        return {14, true};
    }
}

::testing::AssertionResult Close(const std::vector<uint8_t>& got, const std::vector<uint8_t>& want, Tolerance tol)
{
    if (got.size() != want.size())
        return ::testing::AssertionFailure() << "size " << got.size() << " vs " << want.size();
    for (size_t i = 0; i < got.size(); ++i)
    {
        const bool alpha = (i % 4) == 3;
        const int expected = alpha && !tol.keepsAlpha ? 255 : want[i];
        const int limit = alpha && tol.keepsAlpha && tol.colour == 0 ? 0 : tol.colour;
        if (std::abs(int(got[i]) - expected) > limit)
            return ::testing::AssertionFailure() << "byte " << i << ": " << int(got[i]) << " vs " << expected;
    }
    return ::testing::AssertionSuccess();
}

const char* Name(PixelFormat fmt)
{
    switch (fmt)
    {
    case PixelFormat::A8R8G8B8:
        return "A8R8G8B8";
    case PixelFormat::X8R8G8B8:
        return "X8R8G8B8";
    case PixelFormat::R5G6B5:
        return "R5G6B5";
    case PixelFormat::DXT1:
        return "DXT1";
    case PixelFormat::DXT3:
        return "DXT3";
    case PixelFormat::DXT5:
        return "DXT5";
    }
    return "?";
}

}   // namespace

struct RoundTripCase
{
    PixelFormat fmt;
    int w, h;
    bool mips;
};

void PrintTo(const RoundTripCase& c, std::ostream* os)
{
    *os << Name(c.fmt) << " " << c.w << "x" << c.h << (c.mips ? " with mips" : "");
}

class DdsRoundTrip : public ::testing::TestWithParam<RoundTripCase>
{};

TEST_P(DdsRoundTrip, WriterOutputReadsBackLevelByLevel)
{
    const RoundTripCase& c = GetParam();
    const auto img = Gradient(c.w, c.h);
    const auto file = WriteDds(c.w, c.h, img.data(), c.fmt, c.mips);
    ASSERT_FALSE(file.empty());

    DecodedImage out;
    std::string error;
    ASSERT_TRUE(DecodeImage(file.data(), file.size(), out, &error)) << error;
    EXPECT_EQ(out.format, c.fmt);
    EXPECT_EQ(out.width, c.w);
    EXPECT_EQ(out.height, c.h);
    EXPECT_FALSE(out.cube);
    const int levels = c.mips ? FullMipCount(c.w, c.h) : 1;
    ASSERT_EQ(out.levels, levels);
    ASSERT_EQ(out.data.size(), size_t(levels));

    const auto chain = GenerateMipChainBgra(c.w, c.h, img.data());
    for (int level = 0; level < levels; ++level)
    {
        const int lw = MipDimension(c.w, level), lh = MipDimension(c.h, level);
        ASSERT_EQ(out.data[level].size(), LevelSize(c.fmt, lw, lh)) << "level " << level;
        EXPECT_TRUE(Close(ToBgra(c.fmt, lw, lh, out.data[level]), chain[level], ToleranceFor(c.fmt)))
            << "level " << level;
    }
    // The whole file is accounted for: header plus every level, nothing more.
    size_t total = 128;
    for (const auto& level : out.data)
        total += level.size();
    EXPECT_EQ(total, file.size());
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DdsRoundTrip,
    ::testing::Values(RoundTripCase{PixelFormat::A8R8G8B8, 16, 8, false},
                      RoundTripCase{PixelFormat::A8R8G8B8, 16, 8, true},
                      RoundTripCase{PixelFormat::X8R8G8B8, 12, 12, true},
                      RoundTripCase{PixelFormat::R5G6B5, 7, 5, false}, RoundTripCase{PixelFormat::R5G6B5, 32, 16, true},
                      RoundTripCase{PixelFormat::DXT1, 16, 16, false}, RoundTripCase{PixelFormat::DXT1, 20, 12, true},
                      RoundTripCase{PixelFormat::DXT1, 6, 3, true}, RoundTripCase{PixelFormat::DXT5, 16, 8, false},
                      RoundTripCase{PixelFormat::DXT5, 13, 9, true}),
    [](const ::testing::TestParamInfo<RoundTripCase>& i) {
        return std::string(Name(i.param.fmt)) + "_" + std::to_string(i.param.w) + "x" + std::to_string(i.param.h) +
               (i.param.mips ? "_mips" : "");
    });

TEST(DdsCubeRoundTrip, SixFacesKeepTheirOrderAndLevels)
{
    const int size = 8;
    // A distinct solid colour per face, +X, -X, +Y, -Y, +Z, -Z.
    const uint8_t colours[6][4] = {
        {0, 0, 255, 255},   {0, 255, 255, 255}, {0, 255, 0, 255},
        {255, 255, 0, 255}, {255, 0, 0, 255},   {255, 0, 255, 255},
    };
    std::vector<uint8_t> pixels[6];
    const uint8_t* faces[6];
    for (int f = 0; f < 6; ++f)
    {
        for (int i = 0; i < size * size; ++i)
            pixels[f].insert(pixels[f].end(), colours[f], colours[f] + 4);
        faces[f] = pixels[f].data();
    }
    for (PixelFormat fmt : {PixelFormat::A8R8G8B8, PixelFormat::R5G6B5, PixelFormat::DXT1, PixelFormat::DXT5})
    {
        SCOPED_TRACE(Name(fmt));
        const auto file = WriteDdsCube(size, faces, fmt, true);
        DecodedImage out;
        std::string error;
        ASSERT_TRUE(DecodeImage(file.data(), file.size(), out, &error)) << error;
        EXPECT_TRUE(out.cube);
        EXPECT_EQ(out.width, size);
        EXPECT_EQ(out.height, size);
        ASSERT_EQ(out.levels, 4);
        ASSERT_EQ(out.data.size(), 24u);
        for (int f = 0; f < 6; ++f)
            for (int level = 0; level < out.levels; ++level)
            {
                const int d = MipDimension(size, level);
                const auto bgra = ToBgra(fmt, d, d, out.data[f * out.levels + level]);
                ASSERT_EQ(bgra.size(), size_t(d * d * 4));
                for (int k = 0; k < 3; ++k)
                    EXPECT_EQ(bgra[k], colours[f][k]) << "face " << f << " level " << level;
            }
    }
}

TEST(DdsWriter, RejectsWhatItCannotWrite)
{
    const auto img = Gradient(4, 4);
    EXPECT_TRUE(WriteDds(4, 4, img.data(), PixelFormat::DXT3, false).empty());
    EXPECT_TRUE(WriteDds(0, 4, img.data(), PixelFormat::DXT1, false).empty());
    EXPECT_TRUE(WriteDds(4, 4, nullptr, PixelFormat::DXT1, false).empty());
    const uint8_t* faces[6] = {img.data(), img.data(), img.data(), img.data(), img.data(), nullptr};
    EXPECT_TRUE(WriteDdsCube(4, faces, PixelFormat::A8R8G8B8, false).empty());
}
