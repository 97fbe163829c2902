// The generated menu pictures: every track picture, cup and upgrade picture
// the menu loads is there and decodes at its size; the cups stand on a
// transparent ground with a solid body (the career page draws one as a
// silhouette); the seasons of one area look different. The pictures are also
// written out as PNG files under the build folder to be looked at.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "platform/image/ImageDecode.h"
#include "tests/support/GoldenImage.h"
#include "tests/support/Paths.h"
#include "tools/DataTree.h"

namespace
{

std::map<std::string, DecodedImage> Decode(const char* module)
{
    DataTree tree;
    EXPECT_TRUE(RunGenerator(module, tree)) << module;
    std::map<std::string, DecodedImage> images;
    const std::string folder = testsupport::BuildDir() + "/pictures/menu";
    std::filesystem::create_directories(folder);
    for (const DataTree::File& f : tree.Files())
    {
        if (f.path.size() > 4 && f.path.substr(f.path.size() - 4) == ".jpg")
            continue;
        DecodedImage image;
        std::string error;
        EXPECT_TRUE(DecodeImage(f.bytes.data(), f.bytes.size(), image, &error)) << f.path << ": " << error;
        EXPECT_EQ(image.format, PixelFormat::A8R8G8B8) << f.path;
        const std::string name = std::filesystem::path(f.path).stem().string();
        golden::WritePng(folder + "/" + name + ".png", image.data[0], image.width, image.height);
        images[f.path] = image;
    }
    return images;
}

const uint8_t* Pixel(const DecodedImage& image, int x, int y)
{
    return &image.data[0][((size_t)y * image.width + x) * 4];
}

TEST(MenuPicturesGenerator, TrackPicturesForEveryAreaAndSeasonDiffer)
{
    const std::map<std::string, DecodedImage> images = Decode("track pictures");
    for (int area = 1; area <= 3; ++area)
    {
        const DecodedImage* seasons[3] = {};
        for (int season = 1; season <= 3; ++season)
        {
            char name[96];
            std::snprintf(name, sizeof name, "Data/Interface/Menu_Main/Tracks/Track%d_%02d.bmp", area, season);
            auto it = images.find(name);
            ASSERT_NE(it, images.end()) << name;
            EXPECT_EQ(it->second.width, 512);
            EXPECT_EQ(it->second.height, 256);
            seasons[season - 1] = &it->second;
        }
        for (int a = 0; a < 3; ++a)
            for (int b = a + 1; b < 3; ++b)
            {
                long long diff = 0;
                for (size_t i = 0; i < seasons[a]->data[0].size(); ++i)
                    diff += std::abs((int)seasons[a]->data[0][i] - (int)seasons[b]->data[0][i]);
                EXPECT_GT(diff / (long long)seasons[a]->data[0].size(), 8) << "area " << area;
            }
    }
}

TEST(MenuPicturesGenerator, CupsStandOnATransparentGroundWithASolidBody)
{
    const std::map<std::string, DecodedImage> images = Decode("cups");
    for (const char* name : {"Cup1", "Cup2", "Cup3", "GoldenCup"})
    {
        auto it = images.find(std::string("Data/Interface/Cups/") + name + ".dds");
        ASSERT_NE(it, images.end()) << name;
        const DecodedImage& cup = it->second;
        EXPECT_GT(cup.levels, 1) << name;   // drawn small on the career page
        EXPECT_EQ(Pixel(cup, 0, 0)[3], 0) << name;
        EXPECT_EQ(Pixel(cup, cup.width - 1, 0)[3], 0) << name;
        EXPECT_EQ(Pixel(cup, cup.width / 2, cup.height / 2)[3], 255) << name;       // the bowl
        EXPECT_EQ(Pixel(cup, cup.width / 2, cup.height * 7 / 8)[3], 255) << name;   // the plinth
    }
}

TEST(MenuPicturesGenerator, ThreeUpgradePictures)
{
    const std::map<std::string, DecodedImage> images = Decode("upgrade icons");
    for (int i = 0; i < 3; ++i)
    {
        auto it = images.find("Data/Interface/Menu_Main/UpgradeSys/UpgrSys" + std::to_string(i) + ".bmp");
        ASSERT_NE(it, images.end()) << i;
        EXPECT_EQ(it->second.width, 128);
    }
}

}   // namespace
