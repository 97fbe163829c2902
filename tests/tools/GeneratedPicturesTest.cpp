// Every picture the generator writes under a ".bmp" name is also written
// under the ".jpg" name, which the texture cache reads instead while
// "BMP to JPG" is on (the default): a picture made only as ".bmp" is missing
// from the running game.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/image/ImageDecode.h"
#include "tools/DataTree.h"

namespace
{

bool EndsWith(const std::string& s, const char* tail)
{
    const std::string t(tail);
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

TEST(GeneratedPictures, EveryBmpHasAJpgOfTheSameSize)
{
    DataTree tree;
    RunAllGenerators(tree);
    std::map<std::string, const std::vector<uint8_t>*> files;
    for (const DataTree::File& f : tree.Files())
        files[f.path] = &f.bytes;

    int bmpCount = 0;
    for (const auto& entry : files)
    {
        if (!EndsWith(entry.first, ".bmp"))
            continue;
        ++bmpCount;
        SCOPED_TRACE(entry.first);
        const std::string jpg = entry.first.substr(0, entry.first.size() - 4) + ".jpg";
        const auto found = files.find(jpg);
        ASSERT_TRUE(found != files.end()) << "no " << jpg;
        DecodedImage bmpImage, jpgImage;
        std::string error;
        ASSERT_TRUE(DecodeImage(entry.second->data(), entry.second->size(), bmpImage, &error)) << error;
        ASSERT_TRUE(DecodeImage(found->second->data(), found->second->size(), jpgImage, &error)) << error;
        EXPECT_EQ(jpgImage.width, bmpImage.width);
        EXPECT_EQ(jpgImage.height, bmpImage.height);
    }
    // The check means nothing if the generator made no ".bmp" at all.
    EXPECT_GT(bmpCount, 0);
}

}   // namespace
