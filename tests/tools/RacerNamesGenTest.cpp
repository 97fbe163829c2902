// The generated rival names: the layout the game reads, every line non-empty
// and short enough, no name twice, and read back whole by the game's reader.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/RacerNames.h"
#include "scene/StaticObjectFixture.h"
#include "tools/DataTree.h"

namespace
{

const char kFile[] = "Data/Misc/RacersName.obj";

std::vector<std::string> Lines(const DataTree& tree)
{
    for (const DataTree::File& f : tree.Files())
        if (f.path == kFile)
        {
            std::vector<std::string> lines;
            std::istringstream in(std::string(f.bytes.begin(), f.bytes.end()));
            for (std::string line; std::getline(in, line);)
                lines.push_back(line);
            return lines;
        }
    return {};
}

TEST(RacerNamesGenerator, TwoBlocksOfShortNamesEachOnce)
{
    DataTree tree;
    ASSERT_TRUE(RunGenerator("racer names", tree));
    const std::vector<std::string> lines = Lines(tree);
    ASSERT_EQ(lines.size(), 2u * (3 + 2 * 64));
    std::set<std::string> names;
    for (size_t i = 0; i < lines.size(); ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_FALSE(lines[i].empty());
        EXPECT_LE(lines[i].size(), 15u);
        EXPECT_EQ(lines[i].find_first_of("\r\t"), std::string::npos);
        EXPECT_NE(lines[i].back(), ' ');
        const size_t inBlock = i % (3 + 2 * 64);
        if (inBlock >= 3 && (inBlock - 3) % 2 == 0)
        {
            EXPECT_TRUE(names.insert(lines[i]).second) << lines[i];
            EXPECT_NE(lines[i].find(' '), std::string::npos) << "a first and a family name: " << lines[i];
        }
    }
    EXPECT_EQ(names.size(), 128u);

    // The game reads every one of them back.
    testdata::DataFolder folder(tree, true);
    EXPECT_EQ(LoadRacerNames(), 128);
    EXPECT_EQ(names.count(g_RacerNames[0][0]), 1u);
    EXPECT_EQ(names.count(g_RacerNames[1][63]), 1u);
}

}   // namespace
