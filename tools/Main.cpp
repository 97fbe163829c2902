// datagen OUTPUT_DIR: makes the demo data, as loose files and as the four packs.
#include <cstdio>

#include "tools/DataTree.h"

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argc > 0 ? argv[0] : "datagen");
        return 2;
    }
    DataTree tree;
    RunAllGenerators(tree);
    if (!tree.WriteAll(argv[1]))
    {
        std::fprintf(stderr, "datagen: writing %s failed\n", argv[1]);
        return 1;
    }
    std::printf("datagen: %zu files written to %s\n", tree.Files().size(), argv[1]);
    return 0;
}
