#include "racers/RiderTestSupport.h"

namespace ridertest
{

DataTree RiderTree()
{
    DataTree tree;
    for (const char* module : {"humans", "human textures", "vehicles", "vehicle textures"})
        EXPECT_TRUE(RunGenerator(module, tree)) << module;
    return tree;
}

std::string TextOf(const DataTree& tree, const std::string& path)
{
    for (const DataTree::File& f : tree.Files())
        if (f.path == path)
            return std::string(f.bytes.begin(), f.bytes.end());
    ADD_FAILURE() << "no " << path;
    return "";
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

}   // namespace ridertest
