// The game asks for ".bmp" pictures and, with [Misc] "BMP to JPG" on (the
// default), reads the ".jpg" of the same name instead: every ".bmp" of the
// demo data has that twin, and it is the same picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/image/ImageDecode.h"
#include "tests/support/Paths.h"

namespace
{

bool Decode(const std::filesystem::path& path, DecodedImage& image)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string error;
    return !bytes.empty() && DecodeImage(bytes.data(), bytes.size(), image, &error);
}

// Mean of all colour channels: a twin of another picture, or a blank one,
// differs plainly.
double Mean(const DecodedImage& image)
{
    double sum = 0;
    const std::vector<uint8_t>& px = image.data[0];
    for (size_t i = 0; i + 3 < px.size(); i += 4)
        sum += px[i] + px[i + 1] + px[i + 2];
    return px.empty() ? 0 : sum / (px.size() / 4 * 3);
}

TEST(JpgTwinsDemoData, EveryBmpHasAJpgOfTheSamePicture)
{
    const std::filesystem::path root = testsupport::DemoDataDir() + "/Data";
    ASSERT_TRUE(std::filesystem::is_directory(root)) << root;
    int bmps = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
    {
        if (entry.path().extension() != ".bmp")
            continue;
        ++bmps;
        std::filesystem::path twin = entry.path();
        twin.replace_extension(".jpg");
        DecodedImage bmp, jpg;
        ASSERT_TRUE(Decode(entry.path(), bmp)) << entry.path();
        ASSERT_TRUE(Decode(twin, jpg)) << "no readable " << twin;
        EXPECT_EQ(jpg.width, bmp.width) << twin;
        EXPECT_EQ(jpg.height, bmp.height) << twin;
        EXPECT_NEAR(Mean(jpg), Mean(bmp), 4.0) << twin;
    }
    EXPECT_GT(bmps, 0);
}

}   // namespace
