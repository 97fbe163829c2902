// The generated data the render device loads: the four technique files hold
// every technique and parameter the device names, and the default pictures
// are what the light sprites and reflections expect.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/d3d/EffectParser.h"
#include "platform/image/ImageDecode.h"
#include "tests/support/Files.h"
#include "tests/support/Paths.h"

namespace
{

using testsupport::ReadFileBytes;

std::string DataDir()
{
    return testsupport::DemoDataDir() + "/Data/Misc/";
}

DecodedImage Decode(const std::string& name)
{
    std::vector<uint8_t> bytes = ReadFileBytes(DataDir() + name);
    DecodedImage image;
    std::string error;
    EXPECT_TRUE(DecodeImage(bytes.data(), bytes.size(), image, &error)) << name << ": " << error;
    return image;
}

TEST(RenderDemoData, EveryTechniqueFileDeclaresTheNamesTheDeviceUses)
{
    const char* const techniques[] = {"techDirectVertex", "techGlowScreen", "techSmoothSurface", "techMotionBlur",
                                      "techMenuScreen"};
    const char* const parameters[] = {"texBaseMap1",    "texCubeMap1",   "matViewProj",   "matView",
                                      "matViewInverse", "matProj",       "EyePos",        "FogParam",
                                      "MatDiffuse",     "MatAmbient",    "MatSpecular",   "MatEmissive",
                                      "MatSpecularPow", "DirLight_Diff", "DirLight_Spec", "DirLight_Dir",
                                      "DirLight_Pos",   "GlobalAmbient", "FogColor"};
    for (const char* level : {"20", "14", "11", "00"})
    {
        const std::string name = std::string("RenderTechniques_") + level + ".dat";
        std::vector<uint8_t> text = ReadFileBytes(DataDir() + name);
        ASSERT_FALSE(text.empty()) << name;
        d3d::EffectSource source;
        std::string error;
        ASSERT_TRUE(d3d::ParseEffect(reinterpret_cast<const char*>(text.data()), text.size(), source, &error))
            << name << ": " << error;
        for (const char* technique : techniques)
        {
            auto it = std::find_if(source.techniques.begin(), source.techniques.end(),
                                   [&](const d3d::EffectTechniqueSource& t) { return t.name == technique; });
            ASSERT_NE(it, source.techniques.end()) << name << " lacks " << technique;
            ASSERT_EQ(it->passes.size(), 1u) << name << " " << technique;
            EXPECT_FALSE(it->passes[0].vertex.empty());
            EXPECT_FALSE(it->passes[0].fragment.empty());
        }
        for (const char* parameter : parameters)
            EXPECT_TRUE(std::any_of(source.params.begin(), source.params.end(),
                                    [&](const d3d::EffectParamSource& p) { return p.name == parameter; }))
                << name << " lacks " << parameter;
    }
}

// Brightness (the largest channel) of the texel at (u, v) of a B,G,R,A picture.
int Brightness(const DecodedImage& image, float u, float v)
{
    int x = std::min(image.width - 1, int(u * image.width));
    int y = std::min(image.height - 1, int(v * image.height));
    const uint8_t* p = &image.data[0][(size_t(y) * image.width + x) * 4];
    return std::max({p[0], p[1], p[2]});
}

TEST(RenderDemoData, LightMapCellsAreLitWhereTheSpritesReadThem)
{
    for (const char* name : {"LightMap.bmp", "LightMap.jpg"})
    {
        DecodedImage map = Decode(name);
        ASSERT_EQ(map.width, 256) << name;
        ASSERT_EQ(map.height, 256) << name;
        // Bright at the middle of every cell the sprites, glares, lamps and
        // beams use, dark at their corners (they are drawn additively).
        struct Cell
        {
            float u0, v0, u1, v1;
        };
        const Cell cells[] = {{0.5f, 0.5f, 1, 1},
                              {0.5f, 0, 1, 0.25f},
                              {0.5f, 0.25f, 0.75f, 0.5f},
                              {0.75f, 0.25f, 1, 0.5f},
                              {0, 0, 0.25f, 0.25f}};
        for (const Cell& c : cells)
        {
            EXPECT_GT(Brightness(map, (c.u0 + c.u1) / 2, (c.v0 + c.v1) / 2), 150) << name << " " << c.u0 << "," << c.v0;
            EXPECT_LT(Brightness(map, c.u0 + 0.003f, c.v0 + 0.003f), 24) << name << " " << c.u0 << "," << c.v0;
        }
        // The spot cone: bright at its source (bottom middle of its cell),
        // dark at the far corners.
        EXPECT_GT(Brightness(map, 0.25f, 0.97f), 150) << name;
        EXPECT_LT(Brightness(map, 0.01f, 0.51f), 24) << name;
        // The quarter nothing reads stays black.
        EXPECT_LT(Brightness(map, 0.375f, 0.25f), 24) << name;
    }
}

TEST(RenderDemoData, PlainTexturesAndTheEnvironmentCube)
{
    for (const char* name : {"Black.bmp", "Black.jpg", "White.bmp", "White.jpg"})
    {
        DecodedImage image = Decode(name);
        ASSERT_GE(image.width, 4) << name;
        const int expected = name[0] == 'B' ? 0 : 255;
        EXPECT_NEAR(Brightness(image, 0.5f, 0.5f), expected, 2) << name;
    }

    DecodedImage cube = Decode("StaticEnvMap.dds");
    EXPECT_TRUE(cube.cube);
    EXPECT_EQ(cube.width, cube.height);
    EXPECT_EQ(cube.levels, FullMipCount(cube.width, cube.height));
    ASSERT_EQ(cube.data.size(), size_t(6 * cube.levels));
    // Sky above (+Y, face 2) is bluer than the ground below (-Y, face 3).
    auto blueMinusRed = [&](int face) {
        const std::vector<uint8_t>& px = cube.data[face * cube.levels];
        long sum = 0;
        for (size_t i = 0; i < px.size(); i += 4)
            sum += int(px[i]) - int(px[i + 2]);
        return sum / long(px.size() / 4);
    };
    EXPECT_GT(blueMinusRed(2), 40);
    EXPECT_LT(blueMinusRed(3), 0);
}

}   // namespace
