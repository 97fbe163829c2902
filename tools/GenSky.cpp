// Generator module: the sky object with its mesh, the sun, the horizon
// backgrounds of every area and season and the nine cloud skies.
#include <cstdio>

#include "tools/AreaGen.h"
#include "tools/DataTree.h"
#include "tools/ImageWriter.h"
#include "tools/SkyGen.h"

namespace
{

// A picture under its ".bmp" name and, for the texture cache's "BMP to JPG"
// switch, under the ".jpg" name as well.
void AddBmpAndJpg(DataTree& tree, const std::string& bmpPath, const SkyPicture& pic)
{
    tree.Add(bmpPath, WriteBmp24(pic.w, pic.h, pic.bgra.data()));
    tree.Add(bmpPath.substr(0, bmpPath.size() - 4) + ".jpg", WriteJpg(pic.w, pic.h, pic.bgra.data(), 92));
}

void GenerateSky(DataTree& tree)
{
    tree.Add(kSkyMeshPath, WriteMesh(SkyDomeMesh()));
    tree.AddText(kSkyDescriptionPath, SkyDescriptionText());
    AddBmpAndJpg(tree, "Data/Sky/Sun.bmp", SkySunPicture());
    for (int area = 1; area <= kAreaCount; ++area)
        for (int season = 0; season < kSeasonCount; ++season)
        {
            char name[64];
            std::snprintf(name, sizeof name, "Data/Sky/Background%d_%02d.dds", area, season + 1);
            const SkyPicture pic = SkyBackgroundPicture(area, season);
            tree.Add(name, WriteDds(pic.w, pic.h, pic.bgra.data(), PixelFormat::DXT5, false));
        }
    for (int number = 1; number <= 9; ++number)
    {
        char name[64];
        std::snprintf(name, sizeof name, "Data/Sky/Clouds%02d.bmp", number);
        AddBmpAndJpg(tree, name, SkyCloudsPicture(number));
    }
}

}   // namespace

REGISTER_GENERATOR("sky", GenerateSky);
