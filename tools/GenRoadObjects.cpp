// Generator module: the road barriers the fence maps place and the start
// gate. Fence runs (a red and white concrete barrier and a banner fence on
// posts) are one piece per chain point, 2 units long along +z from the
// object's origin so that the game's stretch to the next point closes the
// run; they are fixed (mass 0: a moving concave body would fall through the
// ground). Tyre walls, tyre stacks, bollards and the water-filled hazard
// barrels are fixed too.
#include <cmath>
#include <string>

#include "tools/Canvas.h"
#include "tools/DataTree.h"
#include "tools/DemoObjects.h"
#include "tools/ImageWriter.h"
#include "tools/ShapeBuilder.h"

namespace
{

const int kSize = 128;

std::vector<uint8_t> Dds(const Canvas& c)
{
    return WriteDds(c.n, c.n, c.pixels.data(), PixelFormat::DXT1, true);
}

std::vector<std::string> Body(const char* shape, const char* mass)
{
    return {DemoLine("Shape:", shape), DemoLine("Mass:", mass)};
}

// Two solids as one (corners of the second renumbered).
SolidDesc Join(SolidDesc a, const SolidDesc& b)
{
    const uint16_t base = uint16_t(a.corners.size());
    a.corners.insert(a.corners.end(), b.corners.begin(), b.corners.end());
    for (std::vector<uint16_t> face : b.faces)
    {
        for (uint16_t& k : face)
            k = uint16_t(k + base);
        a.faces.push_back(face);
    }
    return a;
}

void AddObject(DataTree& tree, const std::string& folder, const std::string& name, const std::string& title,
               const char* objectClass, const MeshDesc& mesh, const std::string& texture,
               const std::vector<std::string>& after)
{
    const std::string meshName = folder + "/" + name + ".msh";
    tree.Add(meshName, WriteMesh(mesh));
    tree.AddText(folder + "/" + name + ".obj",
                 DemoDescription(title, objectClass, "GTYPE_FENCES", meshName, texture, {"GEFFECT_SHADOW"}, after));
}

// Concrete barrier in red and white blocks, 0.5 wide and 0.8 high.
void ConcreteBarrier(DataTree& tree)
{
    Canvas c(kSize);
    for (int x = 0; x < kSize; ++x)
    {
        const Rgb paint = (x / 32) % 2 ? Rgb{236, 234, 228} : Rgb{196, 36, 30};
        c.Rect(x, 0, 1, 96, paint, 7, 11);
    }
    // Scuffs from wheels low down, the top rounded lighter.
    for (int i = 0; i < 50; ++i)
    {
        const uint32_t h = CanvasHash(uint32_t(i * 313 + 5));
        c.Rect(int(h % uint32_t(kSize)), 70 + int((h >> 8) % 24u), 3 + int((h >> 16) % 6u), 2, {60, 58, 56});
    }
    c.Tint(0, 0, kSize, 6, 25);
    c.Rect(0, 96, kSize, 32, {150, 148, 142}, 8, 12);
    tree.Add("Data/Static/Fences/Fence/Barrier.dds", Dds(c));
    const UvRect side = AtlasRect(kSize, 0, 0, kSize, 96), top = AtlasRect(kSize, 0, 96, kSize, 32);
    const UvRect faces[6] = {side, side, top, top, top, top};
    ShapeBuilder main;
    main.Box({-0.25f, 0.0f, 0.0f}, {0.25f, 0.8f, 2.0f}, faces, side);
    // A foot a little wider than the wall.
    main.Box({-0.33f, -0.3f, 0.0f}, {0.33f, 0.18f, 2.0f}, faces, side);
    MeshDesc mesh;
    mesh.slots[MESHSLOT_MAIN] = main.Slot();
    mesh.slots[MESHSLOT_SHADOW] = SolidSlot(BoxSolid({-0.25f, 0.0f, 0.0f}, {0.25f, 0.8f, 2.0f}));
    mesh.slots[MESHSLOT_COLLISION_MESH] = SolidSlot(BoxSolid({-0.33f, -0.3f, 0.0f}, {0.33f, 0.8f, 2.0f}));
    AddObject(tree, "Data/Static/Fences/Fence", "Main01", "concrete barrier", "GCLASS_STATIC", mesh,
              "Data/Static/Fences/Fence/Barrier.dds", Body("SHAPE_TYPE_TRIMESH", "0"));
}

// Banner fence: a sponsor banner stretched between posts, 1.2 high.
void BannerFence(DataTree& tree)
{
    Canvas c(kSize);
    c.Rect(0, 0, kSize, 64, {28, 70, 150}, 4, 21);
    // Blocky lettering and a chequer at each end, white on blue.
    for (int k = 0; k < 5; ++k)
    {
        const int x0 = 22 + k * 17;
        c.Rect(x0, 20, 12, 4, {240, 240, 236});
        c.Rect(x0 + (k % 2) * 8, 24, 4, 10, {240, 240, 236});
        c.Rect(x0, 34, 12, 4, {250, 200, 40});
    }
    for (int y = 8; y < 56; y += 8)
        for (int x = 0; x < 16; x += 8)
            if (((x + y) / 8) % 2 == 0)
            {
                c.Rect(2 + x, y, 8, 8, {240, 240, 236});
                c.Rect(kSize - 18 + x, y, 8, 8, {240, 240, 236});
            }
    c.Frame(0, 0, kSize, 64, 3, {230, 230, 226});
    c.Rect(0, 64, kSize, 64, {88, 90, 96}, 6, 22);
    tree.Add("Data/Static/Fences/Fence/Banner.dds", Dds(c));
    const UvRect banner = AtlasRect(kSize, 0, 0, kSize, 64), metal = AtlasRect(kSize, 0, 64, kSize, 64);
    const UvRect faces[6] = {banner, banner, metal, metal, metal, metal};
    ShapeBuilder main;
    main.Box({-0.02f, 0.35f, 0.0f}, {0.02f, 1.2f, 2.0f}, faces, banner);
    main.Box({-0.05f, -0.3f, -0.05f}, {0.05f, 1.3f, 0.05f}, nullptr, metal);
    MeshDesc mesh;
    mesh.slots[MESHSLOT_MAIN] = main.Slot();
    mesh.slots[MESHSLOT_SHADOW] = SolidSlot(BoxSolid({-0.03f, 0.35f, 0.0f}, {0.03f, 1.2f, 2.0f}));
    mesh.slots[MESHSLOT_COLLISION_MESH] = SolidSlot(BoxSolid({-0.06f, -0.3f, 0.0f}, {0.06f, 1.3f, 2.0f}));
    AddObject(tree, "Data/Static/Fences/Fence", "Main02", "banner fence", "GCLASS_STATIC", mesh,
              "Data/Static/Fences/Fence/Banner.dds", Body("SHAPE_TYPE_TRIMESH", "0"));
}

// Tyre texture: tread on the outside, sidewall rings, the inside dark.
Canvas TyreAtlas(Rgb band)
{
    Canvas c(kSize);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < kSize; ++x)
        {
            const bool groove = (x + (y / 8) * 3) % 10 < 3 || y % 16 < 2;
            c.Put(x, y, Shade({34, 34, 36}, (groove ? -14 : 6) + int(CanvasHash(uint32_t(x * 13 + y * 71)) % 7u)));
        }
    for (int y = 64; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
        {
            const float dx = x - 64.0f, dy = (y - 96.0f) * 2.0f, r = std::sqrt(dx * dx + dy * dy);
            Rgb p = r < 26 ? Rgb{12, 12, 12} : Shade({40, 40, 42}, int(std::sin(r * 0.9f) * 6.0f));
            if (r > 44 && r < 50)
                p = band;
            c.Put(x, y, p);
        }
    return c;
}

// Tyre wall piece: two rows of three tyres bolted together along z.
void TyreWall(DataTree& tree)
{
    Canvas c = TyreAtlas({226, 226, 220});
    tree.Add("Data/Static/Fences/Wheels/Tyre01.dds", Dds(c));
    const UvRect tread = AtlasRect(kSize, 0, 0, kSize, 64), wall = AtlasRect(kSize, 0, 64, kSize, 64);
    ShapeBuilder main;
    for (int level = 0; level < 3; ++level)
        for (float z : {-0.66f, 0.0f, 0.66f})
            main.Cylinder(0.0f, z, -0.25f + level * 0.32f, -0.25f + (level + 1) * 0.32f, 0.34f, 0.34f, 14, tread, &wall,
                          nullptr);
    const float lo[3] = {-0.34f, -0.25f, -1.0f}, hi[3] = {0.34f, 0.71f, 1.0f};
    MeshDesc mesh;
    mesh.slots[MESHSLOT_MAIN] = main.Slot();
    mesh.slots[MESHSLOT_SHADOW] = SolidSlot(BoxSolid({lo[0], lo[1], lo[2]}, {hi[0], hi[1], hi[2]}));
    mesh.slots[MESHSLOT_COLLISION_MESH] = SolidSlot(BoxSolid({lo[0], lo[1], lo[2]}, {hi[0], hi[1], hi[2]}));
    AddBoxPart(mesh.slots[MESHSLOT_COLLISION_BOXES], lo, hi);
    AddObject(tree, "Data/Static/Fences/Wheels", "Main01", "tyre wall", "GCLASS_STATIC", mesh,
              "Data/Static/Fences/Wheels/Tyre01.dds", Body("SHAPE_TYPE_COMPOUND", "0"));
}

// One tyre of a stack, centred on its origin; its collision cylinder (slot
// 13) gives the stacking height.
void TyreStack(DataTree& tree)
{
    Canvas c = TyreAtlas({230, 190, 30});
    tree.Add("Data/Static/Fences/Wheels/Tyre02.dds", Dds(c));
    const UvRect tread = AtlasRect(kSize, 0, 0, kSize, 64), wall = AtlasRect(kSize, 0, 64, kSize, 64);
    ShapeBuilder main;
    main.Cylinder(0.0f, 0.0f, -0.15f, 0.15f, 0.4f, 0.4f, 16, tread, &wall, &wall);
    const float lo[3] = {-0.4f, -0.15f, -0.4f}, hi[3] = {0.4f, 0.15f, 0.4f};
    MeshDesc mesh;
    mesh.slots[MESHSLOT_MAIN] = main.Slot();
    mesh.slots[MESHSLOT_SHADOW] = SolidSlot(PrismSolid(0, 0, -0.15f, 0.15f, 0.4f, 10, 0));
    mesh.slots[MESHSLOT_COLLISION_MESH] = SolidSlot(PrismSolid(0, 0, -0.15f, 0.15f, 0.4f, 10, 0));
    AddBoxPart(mesh.slots[MESHSLOT_COLLISION_CYLINDERS], lo, hi);
    AddObject(tree, "Data/Static/Fences/Wheels", "Main02", "tyre stack", "GCLASS_STATIC", mesh,
              "Data/Static/Fences/Wheels/Tyre02.dds", Body("SHAPE_TYPE_COMPOUND", "0"));
}

// Bollard: a white post with red bands and a reflector.
void Bollard(DataTree& tree)
{
    Canvas c(kSize);
    c.Rect(0, 0, kSize, 96, {236, 236, 230}, 4, 31);
    for (int y : {10, 40})
        c.Rect(0, y, kSize, 14, {200, 30, 28}, 4, 32);
    c.Rect(56, 12, 16, 10, {250, 170, 20});
    c.Rect(0, 96, kSize, 32, {60, 60, 62}, 6, 33);
    tree.Add("Data/Static/Fences/Cylinder/Bollard.dds", Dds(c));
    const UvRect side = AtlasRect(kSize, 0, 0, kSize, 96), cap = AtlasRect(kSize, 0, 96, kSize, 32);
    ShapeBuilder main;
    main.Cylinder(0, 0, -0.2f, 1.0f, 0.1f, 0.1f, 12, side, &cap, nullptr);
    main.Cylinder(0, 0, 1.0f, 1.06f, 0.1f, 0.06f, 12, cap, &cap, nullptr);
    const float lo[3] = {-0.1f, -0.2f, -0.1f}, hi[3] = {0.1f, 1.06f, 0.1f};
    MeshDesc mesh;
    mesh.slots[MESHSLOT_MAIN] = main.Slot();
    mesh.slots[MESHSLOT_SHADOW] = SolidSlot(PrismSolid(0, 0, 0.0f, 1.0f, 0.1f, 6, 0));
    mesh.slots[MESHSLOT_COLLISION_MESH] = SolidSlot(PrismSolid(0, 0, -0.2f, 1.06f, 0.1f, 8, 0));
    AddBoxPart(mesh.slots[MESHSLOT_COLLISION_CYLINDERS], lo, hi);
    AddObject(tree, "Data/Static/Fences/Cylinder", "Main01", "bollard", "GCLASS_STATIC", mesh,
              "Data/Static/Fences/Cylinder/Bollard.dds", Body("SHAPE_TYPE_COMPOUND", "0"));
}

// Hazard barrels, filled with water: red and white, or yellow and black.
void Barrels(DataTree& tree)
{
    const Rgb paint[2][2] = {{{206, 40, 32}, {238, 236, 230}}, {{240, 190, 30}, {30, 30, 32}}};
    for (int k = 0; k < 2; ++k)
    {
        Canvas c(kSize);
        for (int y = 0; y < 96; ++y)
            c.Rect(0, y, kSize, 1, (y / 16) % 2 ? paint[k][1] : paint[k][0], 5, uint32_t(41 + k));
        c.Tint(0, 0, kSize, 3, -40);
        c.Tint(0, 93, kSize, 3, -40);
        c.Rect(0, 96, kSize, 32, {90, 92, 94}, 6, 43);
        c.Frame(32, 96, 64, 32, 3, {60, 60, 62});
        const std::string number = std::to_string(k + 1);
        tree.Add("Data/Static/Fences/Barrels/Barrel0" + number + ".dds", Dds(c));
        const UvRect side = AtlasRect(kSize, 0, 0, kSize, 96), lid = AtlasRect(kSize, 32, 96, 64, 32);
        ShapeBuilder main;
        main.Cylinder(0, 0, 0.0f, 0.9f, 0.3f, 0.3f, 16, side, &lid, &lid);
        const float lo[3] = {-0.3f, 0.0f, -0.3f}, hi[3] = {0.3f, 0.9f, 0.3f};
        MeshDesc mesh;
        mesh.slots[MESHSLOT_MAIN] = main.Slot();
        mesh.slots[MESHSLOT_SHADOW] = SolidSlot(PrismSolid(0, 0, 0, 0.9f, 0.3f, 8, 0));
        mesh.slots[MESHSLOT_COLLISION_MESH] = SolidSlot(PrismSolid(0, 0, 0, 0.9f, 0.3f, 10, 0));
        AddBoxPart(mesh.slots[MESHSLOT_COLLISION_CYLINDERS], lo, hi);
        AddObject(tree, "Data/Static/Fences/Barrels", "Main0" + number, "hazard barrel", "GCLASS_STATIC", mesh,
                  "Data/Static/Fences/Barrels/Barrel0" + number + ".dds", Body("SHAPE_TYPE_COMPOUND", "0"));
    }
}

// Blocky capitals for the gate's banner: 5 x 7 cells per letter.
const char* const kLetters[5][7] = {
    {"01111", "10000", "10000", "01110", "00001", "00001", "11110"},   // S
    {"11111", "00100", "00100", "00100", "00100", "00100", "00100"},   // T
    {"01110", "10001", "10001", "11111", "10001", "10001", "10001"},   // A
    {"11110", "10001", "10001", "11110", "10100", "10010", "10001"},   // R
    {"11111", "00100", "00100", "00100", "00100", "00100", "00100"},   // T
};

// Start gate: two pillars either side of the road and a banner across it
// reading START between chequered borders, and a chequered line on the road.
void StartPlace(DataTree& tree)
{
    const int n = 256;
    Canvas c(n);
    // Banner face: rows 0..95.
    c.Rect(0, 0, n, 96, {200, 28, 28}, 4, 51);
    for (int y = 0; y < 96; y += 8)
        for (int x = 0; x < n; x += 8)
            if ((y < 16 || y >= 80) && ((x + y) / 8) % 2 == 0)
                c.Rect(x, y, 8, 8, {20, 20, 22});
            else if (y < 16 || y >= 80)
                c.Rect(x, y, 8, 8, {240, 240, 236});
    for (int k = 0; k < 5; ++k)
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col)
                if (kLetters[k][row][col] == '1')
                    c.Rect(38 + k * 38 + col * 7, 24 + row * 7, 7, 7, {248, 246, 240});
    // Pillar paint: rows 96..191; the chequer of the line: rows 192..255.
    c.Rect(0, 96, n, 96, {226, 226, 220}, 5, 52);
    for (int y = 96; y < 192; y += 24)
        c.Rect(0, y, n, 12, {30, 30, 34}, 3, 53);
    for (int y = 192; y < 256; y += 16)
        for (int x = 0; x < n; x += 16)
            c.Rect(x, y, 16, 16, ((x + y) / 16) % 2 ? Rgb{236, 236, 232} : Rgb{24, 24, 26});
    tree.Add("Data/Static/StartPlace/Main.dds", Dds(c));

    const UvRect banner = AtlasRect(n, 0, 0, n, 96), pillar = AtlasRect(n, 0, 96, n, 96),
                 chequer = AtlasRect(n, 0, 192, n, 64);
    const UvRect bannerFaces[6] = {pillar, pillar, pillar, pillar, banner, banner};
    const float span = 7.2f, height = 6.6f;
    ShapeBuilder main;
    for (float x : {-span, span})
        main.Box({x - 0.45f, -0.5f, -0.45f}, {x + 0.45f, height, 0.45f}, nullptr, pillar);
    main.Box({-span - 0.6f, height - 1.7f, -0.3f}, {span + 0.6f, height, 0.3f}, bannerFaces, banner);
    // The line across the road, just above the road surface.
    main.Quad({-5.6f, 0.22f, 0.45f}, {11.2f, 0.0f, 0.0f}, {0.0f, 0.0f, -0.9f}, chequer);
    MeshDesc mesh;
    mesh.slots[MESHSLOT_MAIN] = main.Slot();
    const SolidDesc left = BoxSolid({-span - 0.45f, -0.5f, -0.45f}, {-span + 0.45f, height, 0.45f});
    const SolidDesc right = BoxSolid({span - 0.45f, -0.5f, -0.45f}, {span + 0.45f, height, 0.45f});
    const SolidDesc beam = BoxSolid({-span - 0.6f, height - 1.7f, -0.3f}, {span + 0.6f, height, 0.3f});
    mesh.slots[MESHSLOT_SHADOW] = SolidSlot(Join(Join(left, right), beam));
    mesh.slots[MESHSLOT_COLLISION_MESH] = SolidSlot(Join(Join(left, right), beam));
    tree.Add("Data/Static/StartPlace/Main.msh", WriteMesh(mesh));
    tree.AddText("Data/Static/StartPlace/Main.obj",
                 DemoDescription("start gate", "GCLASS_STATIC", "GTYPE_STATIC", "Data/Static/StartPlace/Main.msh",
                                 "Data/Static/StartPlace/Main.dds", {"GEFFECT_SHADOW"}, {}));
}

void GenerateRoadObjects(DataTree& tree)
{
    ConcreteBarrier(tree);
    BannerFence(tree);
    TyreWall(tree);
    TyreStack(tree);
    Bollard(tree);
    Barrels(tree);
    StartPlace(tree);
}

}   // namespace

REGISTER_GENERATOR("roadobjects", GenerateRoadObjects);
