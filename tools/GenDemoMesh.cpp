// A wooden crate: the first placed-object mesh of the demo data, with its
// texture and object description.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/DataTree.h"
#include "tools/ImageWriter.h"
#include "tools/MeshWriter.h"

namespace
{

const char* const kCrateDescription = "Data/Static/Crate/Main.obj";
const char* const kCrateMesh = "Data/Static/Crate/Main.msh";
const char* const kCrateTexture = "Data/Static/Crate/Crate.dds";
const int kTextureSize = 128;

// Small deterministic noise for the wood grain (the generator's output must
// not depend on the random generator's state).
uint32_t Hash(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

// Planks with a darker frame and one diagonal brace on every face.
std::vector<uint8_t> CrateTexture()
{
    const int n = kTextureSize;
    const int frame = 14;
    std::vector<uint8_t> bgra(size_t(n) * n * 4);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
        {
            bool onFrame = x < frame || y < frame || x >= n - frame || y >= n - frame;
            bool onBrace = !onFrame && (x - y) > -frame / 2 && (x - y) < frame / 2;
            int plank = y / 25;
            // Grain runs along the plank: noise mostly by row, a little by column.
            int grain = int(Hash(uint32_t(y * 7 + plank * 131)) % 24) + int(Hash(uint32_t(x / 9 + y * 1000)) % 8);
            int r = 168 + grain - 16, g = 118 + grain / 2 - 8, b = 64;
            if (onFrame || onBrace)
            {
                r -= 40;
                g -= 32;
                b -= 22;
            }
            bool seam =
                (!onFrame && y % 25 == 0) || x == frame || y == frame || x == n - frame - 1 || y == n - frame - 1;
            if (seam)
            {
                r /= 2;
                g /= 2;
                b /= 2;
            }
            uint8_t* p = &bgra[(size_t(y) * n + x) * 4];
            p[0] = uint8_t(b);
            p[1] = uint8_t(g);
            p[2] = uint8_t(r);
            p[3] = 0xFF;
        }
    return bgra;
}

// A one-metre crate standing on its origin.
MeshDesc CrateMesh()
{
    const float lo[3] = {-0.5f, 0.0f, -0.5f};
    const float hi[3] = {0.5f, 1.0f, 0.5f};
    MeshDesc mesh;
    AddBoxPart(mesh.slots[MESHSLOT_MAIN], lo, hi);
    AddBoxPart(mesh.slots[MESHSLOT_SHADOW], lo, hi);
    AddBoxPart(mesh.slots[MESHSLOT_COLLISION_MESH], lo, hi);
    AddBoxPart(mesh.slots[MESHSLOT_COLLISION_BOXES], lo, hi);
    return mesh;
}

// A value line: the label padded to 32 columns, then the value.
std::string Line(const std::string& label, const std::string& value)
{
    std::string s = label;
    s.resize(32, ' ');
    return s + value + "\n";
}

std::string CrateDescription()
{
    return std::string("// Demo object: wooden crate\n") + "// One metre cube standing on its origin\n" + "//\n" +
           Line("Class:", "GCLASS_STATIC") + Line("Type:", "GTYPE_STATIC") + "// Geometry\n" +
           Line("Mesh:", kCrateMesh) + Line("Texture:", kCrateTexture) + "// Effects\n" + Line("End:", "//--");
}

void GenerateDemoMesh(DataTree& tree)
{
    tree.Add(kCrateMesh, WriteMesh(CrateMesh()));
    std::vector<uint8_t> pixels = CrateTexture();
    tree.Add(kCrateTexture, WriteDds(kTextureSize, kTextureSize, pixels.data(), PixelFormat::DXT1, true));
    tree.AddText(kCrateDescription, CrateDescription());
}

}   // namespace

REGISTER_GENERATOR("demo mesh", GenerateDemoMesh);
