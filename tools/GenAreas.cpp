// Generator module: the three demo race areas with their grids, description
// files and pictures, and the landscape pictures they share.
#include "tools/AreaGen.h"
#include "tools/DataTree.h"

void AddAreaFiles(DataTree& tree)
{
    for (int number = 1; number <= kAreaCount; ++number)
        for (AreaFile& file : AreaFiles(GenerateArea(number)))
            tree.Add(file.path, std::move(file.bytes));
    for (AreaFile& file : SharedLandscapeFiles())
        tree.Add(file.path, std::move(file.bytes));
}

REGISTER_GENERATOR("areas", AddAreaFiles);
