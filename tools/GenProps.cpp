// Generator module: the demo props beside the roads. Oil barrels, hay bales
// and traffic cones are movable (a motorcycle that hits one pushes it): their
// descriptions name a collision shape and a mass after the "//--" line.
// Chevron signs on posts mark the corners and stand fixed.
#include <string>

#include "tools/Canvas.h"
#include "tools/DataTree.h"
#include "tools/DemoObjects.h"
#include "tools/ImageWriter.h"
#include "tools/ShapeBuilder.h"

const DemoObjectKind kDemoBarrel = {"Data/Static/Barrel/Main.obj", 0.4f, 0, 0};
const DemoObjectKind kDemoHayBale = {"Data/Static/HayBale/Main.obj", 0.9f, 0, 0};
const DemoObjectKind kDemoCone = {"Data/Static/Cone/Main.obj", 0.3f, 0, 0};
const DemoObjectKind kDemoChevronLeft = {"Data/Static/ChevronLeft/Main.obj", 1.2f, 0, 0};
const DemoObjectKind kDemoChevronRight = {"Data/Static/ChevronRight/Main.obj", 1.2f, 0, 0};

namespace
{

const int kSize = 128;

std::vector<uint8_t> Dds(const Canvas& c)
{
    return WriteDds(c.n, c.n, c.pixels.data(), PixelFormat::DXT1, true);
}

// The lines a movable prop reads after "//--": its shape and its mass.
std::vector<std::string> Movable(const char* shapeKind, const char* mass)
{
    return {DemoLine("Shape:", shapeKind), DemoLine("Mass:", mass)};
}

// Barrel: a 200-litre drum, the side region wrapped once around, lids on top
// and bottom. Red or blue, chosen when the object loads.
void Barrel(DataTree& tree)
{
    const Rgb colours[2] = {{176, 44, 36}, {40, 82, 150}};
    for (int variant = 0; variant < 2; ++variant)
    {
        Canvas c(kSize);
        const Rgb paint = colours[variant];
        c.Rect(0, 0, kSize, 96, paint, 6, uint32_t(71 + variant));
        // Rolling hoops, a white band and chipped paint showing rust.
        for (int y : {22, 23, 24, 70, 71, 72})
            c.Tint(0, y, kSize, 1, -50);
        for (int y : {21, 69})
            c.Tint(0, y, kSize, 1, 40);
        c.Rect(0, 40, kSize, 14, {224, 220, 210}, 5, 73);
        for (int i = 0; i < 60; ++i)
        {
            const uint32_t h = CanvasHash(uint32_t(i * 977 + variant));
            c.Rect(int(h % uint32_t(kSize)), int((h >> 8) % 96u), 2 + int((h >> 16) % 3u), 2, {110, 64, 38});
        }
        // Lid: grey with the rim and the bung.
        c.Rect(0, 96, kSize, 32, {140, 142, 140}, 6, 74);
        c.Frame(32, 96, 64, 32, 3, {100, 100, 98});
        c.Rect(70, 104, 8, 8, {70, 70, 70});
        tree.Add("Data/Static/Barrel/Barrel0" + std::to_string(variant + 1) + ".dds", Dds(c));
    }
    const UvRect side = AtlasRect(kSize, 0, 0, kSize, 96), lid = AtlasRect(kSize, 32, 96, 64, 32);
    ShapeBuilder main;
    main.Cylinder(0, 0, 0.0f, 0.88f, 0.29f, 0.29f, 16, side, &lid, &lid);
    MeshDesc mesh;
    mesh.slots[MESHSLOT_MAIN] = main.Slot();
    mesh.slots[MESHSLOT_SHADOW] = SolidSlot(PrismSolid(0, 0, 0, 0.88f, 0.29f, 8, 0));
    mesh.slots[MESHSLOT_COLLISION_MESH] = SolidSlot(PrismSolid(0, 0, 0, 0.88f, 0.29f, 10, 0));
    const float lo[3] = {-0.29f, 0.0f, -0.29f}, hi[3] = {0.29f, 0.88f, 0.29f};
    AddBoxPart(mesh.slots[MESHSLOT_COLLISION_CYLINDERS], lo, hi);
    tree.Add("Data/Static/Barrel/Main.msh", WriteMesh(mesh));
    tree.AddText(kDemoBarrel.description,
                 DemoDescription("oil barrel", "GCLASS_DYNAMIC", "GTYPE_FENCES", "Data/Static/Barrel/Main.msh",
                                 "Data/Static/Barrel/Barrel%2.dds", {"GEFFECT_SHADOW"},
                                 Movable("SHAPE_TYPE_COMPOUND", "25")));
}

// Hay bale: a big square bale of straw tied with twine, 1.6 x 0.8 x 0.9.
void HayBale(DataTree& tree)
{
    Canvas c(kSize);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
        {
            // Straw runs along the bale: streaks by row, a few loose stalks.
            const int streak = int(CanvasHash(uint32_t(y * 131 + x / 9)) % 40u) - 20;
            Rgb p = Shade({206, 176, 96}, streak + int(CanvasHash(uint32_t(x * 7 + y * 911)) % 17u) - 8);
            if (CanvasHash(uint32_t(x * 37 + y)) % 53u == 0)
                p = Shade(p, -60);
            c.Put(x, y, p);
        }
    for (int x : {30, 31, 96, 97})
        c.Rect(x, 0, 1, kSize, {120, 96, 60});
    tree.Add("Data/Static/HayBale/HayBale.dds", Dds(c));
    const UvRect all = AtlasRect(kSize, 0, 0, kSize, kSize);
    const float lo[3] = {-0.8f, 0.0f, -0.45f}, hi[3] = {0.8f, 0.8f, 0.45f};
    ShapeBuilder main;
    main.Box({lo[0], lo[1], lo[2]}, {hi[0], hi[1], hi[2]}, nullptr, all);
    MeshDesc mesh;
    mesh.slots[MESHSLOT_MAIN] = main.Slot();
    mesh.slots[MESHSLOT_SHADOW] = SolidSlot(BoxSolid({lo[0], lo[1], lo[2]}, {hi[0], hi[1], hi[2]}));
    mesh.slots[MESHSLOT_COLLISION_MESH] = SolidSlot(BoxSolid({lo[0], lo[1], lo[2]}, {hi[0], hi[1], hi[2]}));
    AddBoxPart(mesh.slots[MESHSLOT_COLLISION_BOXES], lo, hi);
    tree.Add("Data/Static/HayBale/Main.msh", WriteMesh(mesh));
    tree.AddText(kDemoHayBale.description,
                 DemoDescription("hay bale", "GCLASS_DYNAMIC", "GTYPE_FENCES", "Data/Static/HayBale/Main.msh",
                                 "Data/Static/HayBale/HayBale.dds", {"GEFFECT_SHADOW"},
                                 Movable("SHAPE_TYPE_COMPOUND", "40")));
}

// Traffic cone: orange with a white reflective band, on a square foot.
void Cone(DataTree& tree)
{
    Canvas c(kSize);
    c.Rect(0, 0, kSize, 96, {236, 96, 24}, 6, 81);
    c.Rect(0, 30, kSize, 22, {238, 238, 232}, 4, 82);
    c.Rect(0, 96, kSize, 32, {40, 40, 42}, 5, 83);
    tree.Add("Data/Static/Cone/Cone.dds", Dds(c));
    const UvRect body = AtlasRect(kSize, 0, 0, kSize, 96), foot = AtlasRect(kSize, 0, 96, kSize, 32);
    ShapeBuilder main;
    main.Cylinder(0, 0, 0.04f, 0.72f, 0.16f, 0.025f, 14, body, &body, nullptr);
    main.Box({-0.21f, 0.0f, -0.21f}, {0.21f, 0.04f, 0.21f}, nullptr, foot);
    MeshDesc mesh;
    mesh.slots[MESHSLOT_MAIN] = main.Slot();
    mesh.slots[MESHSLOT_SHADOW] = SolidSlot(PrismSolid(0, 0, 0, 0.04f, 0.2f, 8, 0.68f));
    mesh.slots[MESHSLOT_COLLISION_MESH] = SolidSlot(PrismSolid(0, 0, 0, 0.04f, 0.21f, 8, 0.68f));
    tree.Add("Data/Static/Cone/Main.msh", WriteMesh(mesh));
    tree.AddText(kDemoCone.description, DemoDescription("traffic cone", "GCLASS_DYNAMIC", "GTYPE_FENCES",
                                                        "Data/Static/Cone/Main.msh", "Data/Static/Cone/Cone.dds",
                                                        {"GEFFECT_SHADOW"}, Movable("SHAPE_TYPE_CONVEXHULL", "3")));
}

// Chevron sign: a board of red arrows on white between two posts, fixed in
// the ground. One texture points left, the other right; both share the mesh.
void Chevrons(DataTree& tree)
{
    for (int right = 0; right < 2; ++right)
    {
        Canvas c(kSize);
        // Board face: the upper 64 rows; posts and the board's back below.
        c.Rect(0, 0, kSize, 64, {240, 240, 236}, 3, 91);
        for (int y = 4; y < 60; ++y)
            for (int x = 4; x < kSize - 4; ++x)
            {
                // Three arrows: stripes that bend at the board's middle row.
                const int bend = std::abs(y - 32);
                const int phase = (right ? (x + bend) : (x - bend) + 256) % 42;
                if (phase < 18)
                    c.Put(x, y, Shade({200, 30, 30}, int(CanvasHash(uint32_t(x + y * 128)) % 9u) - 4));
            }
        c.Frame(0, 0, kSize, 64, 3, {60, 60, 60});
        c.Rect(0, 64, kSize, 32, {96, 98, 100}, 8, 92);
        c.Rect(0, 96, kSize, 32, {226, 226, 222}, 4, 93);
        for (int y = 96; y < 128; y += 16)
            c.Rect(0, y, kSize, 8, {200, 30, 30});
        const char* folder = right ? "Data/Static/ChevronRight" : "Data/Static/ChevronLeft";
        tree.Add(std::string(folder) + "/Chevron.dds", Dds(c));
    }
    const UvRect face = AtlasRect(kSize, 0, 0, kSize, 64), back = AtlasRect(kSize, 0, 64, kSize, 32),
                 post = AtlasRect(kSize, 0, 96, kSize, 32);
    // The face looks along +z, towards the road.
    const UvRect boardFaces[6] = {back, back, back, back, face, back};
    ShapeBuilder main;
    main.Box({-1.1f, 0.75f, -0.03f}, {1.1f, 1.55f, 0.03f}, boardFaces, back);
    for (float x : {-0.75f, 0.75f})
        main.Box({x - 0.05f, -0.4f, -0.09f}, {x + 0.05f, 1.5f, 0.01f}, nullptr, post);
    MeshDesc mesh;
    mesh.slots[MESHSLOT_MAIN] = main.Slot();
    mesh.slots[MESHSLOT_SHADOW] = SolidSlot(BoxSolid({-1.1f, 0.75f, -0.05f}, {1.1f, 1.55f, 0.05f}));
    mesh.slots[MESHSLOT_COLLISION_MESH] = SolidSlot(BoxSolid({-1.1f, -0.4f, -0.09f}, {1.1f, 1.55f, 0.05f}));
    tree.Add("Data/Static/Chevron/Main.msh", WriteMesh(mesh));
    for (int right = 0; right < 2; ++right)
    {
        const std::string folder = right ? "Data/Static/ChevronRight" : "Data/Static/ChevronLeft";
        tree.AddText(folder + "/Main.obj",
                     DemoDescription(right ? "chevron sign, right" : "chevron sign, left", "GCLASS_STATIC",
                                     "GTYPE_STATIC", "Data/Static/Chevron/Main.msh", folder + "/Chevron.dds",
                                     {"GEFFECT_SHADOW"}, {}));
    }
}

void GenerateProps(DataTree& tree)
{
    Barrel(tree);
    HayBale(tree);
    Cone(tree);
    Chevrons(tree);
}

}   // namespace

REGISTER_GENERATOR("props", GenerateProps);
