// Generator module: the demo buildings beside the roads, a red barn, a
// plastered cottage and a tall grain silo. Each mesh has the slots the game
// reads for a building: the drawn mesh (0), a plainer one for distance (1),
// a closed occluder (10), a shadow caster (11) and a collision mesh (12);
// each texture is one atlas painted to the building's measures. The cottage
// also has reflective window panes (3), a lamp over its door with its sprite,
// its beam and its light on the wall (point sets 1 and 3, slot 5).
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tools/Canvas.h"
#include "tools/DataTree.h"
#include "tools/DemoObjects.h"
#include "tools/ImageWriter.h"
#include "tools/ShapeBuilder.h"

const DemoObjectKind kDemoBarn = {"Data/Static/Barn/Main.obj", 9.5f, 1, 0};
const DemoObjectKind kDemoCottage = {"Data/Static/Cottage/Main.obj", 7.0f, 1, 1};
const DemoObjectKind kDemoSilo = {"Data/Static/Silo/Main.obj", 5.5f, 1, 0};

std::string DemoLine(const std::string& label, const std::string& value)
{
    std::string s = label;
    s.resize(32, ' ');
    return s + value + "\n";
}

std::string DemoDescription(const std::string& title, const char* objectClass, const char* objectType,
                            const std::string& mesh, const std::string& texture,
                            const std::vector<std::string>& effects, const std::vector<std::string>& after)
{
    std::string s = "// Demo object: " + title + "\n// Generated\n//\n";
    s += DemoLine("Class:", objectClass) + DemoLine("Type:", objectType) + "// Geometry\n";
    s += DemoLine("Mesh:", mesh) + DemoLine("Texture:", texture);
    for (const std::string& effect : effects)
        s += "// Effect\n" + DemoLine("Effect:", effect);
    s += "// End\n" + DemoLine("End:", "//--");
    for (const std::string& line : after)
        s += line;
    return s;
}

namespace
{

const int kAtlas = 512;

// A pixel rectangle of the atlas with its measures in metres, for painting
// doors and windows where the mesh will put them.
struct Region
{
    int x, y, w, h;
    float widthM, heightM;

    int Px(float u) const { return x + int(u / widthM * float(w)); }
    // Metres above the region's bottom edge.
    int Py(float v) const { return y + h - int(v / heightM * float(h)); }
    UvRect Uv() const { return AtlasRect(kAtlas, x, y, w, h); }
};

// A window painted at (u, v) metres (left, bottom) of the region.
void PaintWindow(Canvas& c, const Region& r, float u, float v, float w, float h, Rgb frame)
{
    c.Window(r.Px(u), r.Py(v + h), r.Px(u + w) - r.Px(u), r.Py(v) - r.Py(v + h), frame);
}

struct Gable
{
    float halfX, halfZ, base, wall, ridge, overhang;
};

struct GableAtlas
{
    UvRect front, back, right, left, roof, plinth, under;
};

// Walls, gable ends and roof of a house whose ridge runs along z; with
// `detail` also the plinth and the roof's underside.
void GableHouse(ShapeBuilder& b, const Gable& g, const GableAtlas& t, bool detail)
{
    const float hx = g.halfX, hz = g.halfZ, y0 = g.base;
    auto gableEnd = [&](float z, const UvRect& uv, bool front) {
        // Seen from the front (+z) screen right is -x; from the back, +x.
        const float side = front ? 1.0f : -1.0f;
        auto at = [&](float x, float y, float out[2]) {
            out[0] = uv.u0 + (uv.u1 - uv.u0) * (hx - side * x) / (2 * hx);
            out[1] = uv.v0 + (uv.v1 - uv.v0) * (g.ridge - y) / (g.ridge - y0);
        };
        float tl[2], tr[2], bl[2], br[2], apex[2];
        at(side * hx, g.wall, tl);
        at(-side * hx, g.wall, tr);
        at(side * hx, y0, bl);
        at(-side * hx, y0, br);
        at(0, g.ridge, apex);
        const UvRect lower = {tl[0], tl[1], br[0], br[1]};
        b.Quad({side * hx, y0, z}, {-side * 2 * hx, 0, 0}, {0, g.wall - y0, 0}, lower);
        b.Triangle({0, g.ridge, z}, {side * hx, g.wall, z}, {-side * hx, g.wall, z}, apex, tl, tr);
    };
    gableEnd(hz, t.front, true);
    gableEnd(-hz, t.back, false);
    b.Quad({hx, y0, -hz}, {0, 0, 2 * hz}, {0, g.wall - y0, 0}, t.right);
    b.Quad({-hx, y0, hz}, {0, 0, -2 * hz}, {0, g.wall - y0, 0}, t.left);

    const float slope = (g.ridge - g.wall) / hx;
    const float lift = 0.08f;
    const float ex = hx + g.overhang, ez = hz + g.overhang;
    const float eaveY = g.wall - slope * g.overhang + lift, ridgeY = g.ridge + lift;
    b.Quad({ex, eaveY, -ez}, {0, 0, 2 * ez}, {-ex, ridgeY - eaveY, 0}, t.roof);
    b.Quad({-ex, eaveY, ez}, {0, 0, -2 * ez}, {ex, ridgeY - eaveY, 0}, t.roof);
    if (!detail)
        return;
    const float thick = 0.12f;
    b.Quad({ex, eaveY - thick, ez}, {0, 0, -2 * ez}, {-ex, ridgeY - eaveY, 0}, t.under);
    b.Quad({-ex, eaveY - thick, -ez}, {0, 0, 2 * ez}, {ex, ridgeY - eaveY, 0}, t.under);
    // Barge boards along the gable edges, so the roof has a visible edge.
    for (float z : {ez, -ez})
    {
        const float s = z > 0 ? 1.0f : -1.0f;
        for (float x : {ex, -ex})
        {
            const Vec3f eave = {x, eaveY - thick, z}, ridge = {0, ridgeY - thick, z};
            const bool leftHalf = (x > 0) == (s > 0);
            if (leftHalf)
                b.Quad(eave, ridge - eave, {0, thick, 0}, t.under);
            else
                b.Quad(ridge, eave - ridge, {0, thick, 0}, t.under);
        }
    }
    b.Box({-hx - 0.25f, -1.6f, -hz - 0.25f}, {hx + 0.25f, y0, hz + 0.25f}, nullptr, t.plinth);
}

MeshSlot SlotOf(const ShapeBuilder& b)
{
    return b.Slot();
}

void AddBuilding(DataTree& tree, const std::string& folder, const std::string& title, MeshDesc& mesh,
                 const Canvas& atlas, const std::vector<std::string>& effects = {"GEFFECT_SHADOW"})
{
    const std::string meshName = folder + "/Main.msh";
    const std::string textureName = folder + "/Main.dds";
    tree.Add(meshName, WriteMesh(mesh));
    tree.Add(textureName, WriteDds(atlas.n, atlas.n, atlas.pixels.data(), PixelFormat::DXT1, true));
    tree.AddText(folder + "/Main.obj",
                 DemoDescription(title, "GCLASS_STATIC", "GTYPE_BUILDING", meshName, textureName, effects, {}));
}

// An effect keyword followed by the lines its reader takes; DemoDescription
// ends the last of them.
std::string EffectWithLines(const char* keyword, const std::vector<std::string>& lines)
{
    std::string s = keyword;
    for (std::string line : lines)
    {
        while (!line.empty() && line.back() == '\n')
            line.pop_back();
        s += "\n" + line;
    }
    return s;
}

// A wall of a building as the mesh lays it: bottom-left corner, the unit
// vectors along and up the wall, and its outward normal.
struct Wall
{
    Vec3f origin, right, up, normal;
};

// The four panes of a window painted by Canvas::Window at (u, v) metres of
// the wall, sized w x h, as quads standing `out` in front of the wall: the
// frame and the cross bars between them stay the painted ones.
void WindowPanes(ShapeBuilder& b, const Wall& wall, float u, float v, float w, float h, float out)
{
    const float t = w / 10.0f;
    const float us[2][2] = {{u + t, u + w / 2 - t / 2}, {u + w / 2 + t / 2, u + w - t}};
    const float vs[2][2] = {{v + t, v + h / 2 - t / 2}, {v + h / 2 + t / 2, v + h - t}};
    for (const auto& uu : us)
        for (const auto& vv : vs)
        {
            const Vec3f corner = wall.origin + wall.right * uu[0] + wall.up * vv[0] + wall.normal * out;
            b.Quad(corner, wall.right * (uu[1] - uu[0]), wall.up * (vv[1] - vv[0]), UvRect{0, 0, 1, 1});
        }
}

// The pane picture of the reflective glass: dark glass, lighter towards the
// top, with pale curtains drawn aside at both edges. The glass pass adds it
// to the reflection, so dark means "mostly reflection".
std::vector<uint8_t> GlassPicture(int n)
{
    Canvas c(n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
        {
            Rgb p = Mix({58, 70, 84}, {22, 28, 36}, float(y) / float(n));
            const int edge = std::min(x, n - 1 - x);
            if (edge < n / 6)
                p = Mix({150, 136, 112}, p, float(edge) / float(n / 6));
            c.Put(x, y, p);
        }
    return WriteDds(n, n, c.pixels.data(), PixelFormat::DXT1, true);
}

// The lamp's light thrown on the wall under it: a warm pool, brightest just
// under the lamp near the top of the picture, black (adds nothing) at the
// edges.
std::vector<uint8_t> LampPoolPicture(int n)
{
    Canvas c(n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
        {
            const float dx = (float(x) + 0.5f) / float(n) - 0.5f;
            const float dy = (float(y) + 0.5f) / float(n) - 0.25f;
            // Wider than tall, spreading more below the lamp than above it.
            const float d = std::sqrt(dx * dx * 3.0f + dy * dy * (dy < 0 ? 9.0f : 1.6f));
            const float k = std::max(0.0f, 1.0f - d / 0.62f);
            const int v = int(150.0f * k * k);
            c.Put(x, y, {v, v, v});
        }
    return WriteDds(n, n, c.pixels.data(), PixelFormat::DXT1, true);
}

// ---------------------------------------------------------------------------
// Barn: 10 x 14 on a stone plinth, red boards, gable end with the big doors
// towards the road, grey corrugated roof.

void Barn(DataTree& tree)
{
    const Gable g = {5.0f, 7.0f, 0.3f, 5.0f, 9.0f, 0.4f};
    const Region front = {0, 0, 256, 224, 10.0f, 8.7f}, back = {256, 0, 256, 224, 10.0f, 8.7f};
    const Region side = {0, 224, 512, 96, 14.0f, 4.7f};
    const Region roof = {0, 320, 512, 128, 14.8f, 6.9f};
    const Region plinth = {0, 448, 256, 64, 10.0f, 2.0f}, under = {256, 448, 256, 64, 10.0f, 2.0f};

    const Rgb red = {148, 40, 32}, white = {226, 222, 210}, darkRed = {112, 30, 26};
    Canvas c(kAtlas);
    c.Boards(0, 0, 512, 320, 9, red, 11);
    // Big double door with white frames and braces, the loft door above.
    const int dx0 = front.Px(3.0f), dx1 = front.Px(7.0f), dy0 = front.Py(3.9f), dy1 = front.Py(0.0f);
    c.Boards(dx0, dy0, dx1 - dx0, dy1 - dy0, 8, darkRed, 12);
    const int mid = (dx0 + dx1) / 2;
    for (int leaf = 0; leaf < 2; ++leaf)
    {
        const int lx0 = leaf ? mid : dx0, lx1 = leaf ? dx1 : mid;
        c.Frame(lx0, dy0, lx1 - lx0, dy1 - dy0, 5, white);
        c.Line(float(lx0 + 3), float(dy0 + 3), float(lx1 - 3), float(dy1 - 3), 4, white);
        c.Line(float(lx1 - 3), float(dy0 + 3), float(lx0 + 3), float(dy1 - 3), 4, white);
    }
    const int lx0 = front.Px(4.2f), lx1 = front.Px(5.8f), ly0 = front.Py(7.1f), ly1 = front.Py(5.6f);
    c.Boards(lx0, ly0, lx1 - lx0, ly1 - ly0, 8, darkRed, 13);
    c.Frame(lx0, ly0, lx1 - lx0, ly1 - ly0, 4, white);
    // White trim along both gable edges and the corners.
    for (const Region* r : {&front, &back})
    {
        c.Line(float(r->x), float(r->Py(4.7f)), float(r->x + r->w / 2), float(r->y + 2), 6, white);
        c.Line(float(r->x + r->w / 2), float(r->y + 2), float(r->x + r->w - 1), float(r->Py(4.7f)), 6, white);
        c.Rect(r->x, r->Py(4.7f), 6, r->Py(0.0f) - r->Py(4.7f), white);
        c.Rect(r->x + r->w - 6, r->Py(4.7f), 6, r->Py(0.0f) - r->Py(4.7f), white);
    }
    const int bx0 = back.Px(6.6f), bx1 = back.Px(8.2f), by0 = back.Py(2.3f), by1 = back.Py(0.0f);
    c.Boards(bx0, by0, bx1 - bx0, by1 - by0, 8, darkRed, 14);
    c.Frame(bx0, by0, bx1 - bx0, by1 - by0, 4, white);
    PaintWindow(c, back, 2.0f, 1.4f, 1.4f, 1.2f, white);
    c.Rect(0, side.y, 512, 5, white);
    c.Rect(0, side.y + side.h - 5, 512, 5, white);
    c.Rect(0, side.y, 6, side.h, white);
    c.Rect(side.x + side.w - 6, side.y, 6, side.h, white);
    for (float z : {2.5f, 6.3f, 10.1f})
        PaintWindow(c, side, z, 2.0f, 1.3f, 1.4f, white);
    // Corrugated metal: ribs across, seams where the sheets overlap, rust
    // creeping up from the eaves.
    for (int y = roof.y; y < roof.y + roof.h; ++y)
        for (int x = roof.x; x < roof.x + roof.w; ++x)
        {
            const float rib = std::sin(float(x) * 0.55f);
            Rgb p = Shade({118, 122, 126}, int(rib * 16.0f) + int(CanvasHash(uint32_t(x * 13 + y * 7)) % 7u) - 3);
            if ((y - roof.y) % 42 == 0)
                p = Shade(p, -28);
            const float rust = float(y - roof.y) / float(roof.h);
            const float streak = float(CanvasHash(uint32_t(x / 5) * 7u) % 100u) / 100.0f;
            if (rust * rust * streak > 0.25f)
                p = Mix(p, {128, 72, 40}, 0.5f);
            c.Put(x, y, p);
        }
    c.Courses(plinth.x, plinth.y, plinth.w, plinth.h, 22, 11, {128, 122, 112}, {86, 82, 76}, 16, 21);
    c.Boards(under.x, under.y, under.w, under.h, 10, {70, 52, 40}, 15);

    const GableAtlas t = {front.Uv(), back.Uv(), side.Uv(), side.Uv(), roof.Uv(), plinth.Uv(), under.Uv()};
    ShapeBuilder main, far;
    GableHouse(main, g, t, true);
    GableHouse(far, g, t, false);
    MeshDesc mesh;
    mesh.slots[MESHSLOT_MAIN] = SlotOf(main);
    mesh.slots[MESHSLOT_SECOND] = SlotOf(far);
    mesh.slots[MESHSLOT_OCCLUDER] = SolidSlot(BoxSolid({-5, 0, -7}, {5, 5, 7}));
    mesh.slots[MESHSLOT_SHADOW] = SolidSlot(GableSolid(5.4f, 7.4f, -0.5f, 4.8f, 9.1f));
    mesh.slots[MESHSLOT_COLLISION_MESH] = SolidSlot(GableSolid(5.2f, 7.2f, -1.6f, 5.0f, 9.1f));
    AddBuilding(tree, "Data/Static/Barn", "red barn", mesh, c);
}

// ---------------------------------------------------------------------------
// Cottage: 7 x 10, cream plaster with green shutters, the long side with the
// door towards the road, red tiled roof and a brick chimney.

void Cottage(DataTree& tree)
{
    const Gable g = {3.5f, 5.0f, 0.4f, 3.6f, 6.6f, 0.45f};
    const Region front = {0, 0, 256, 224, 7.0f, 6.2f}, back = {256, 0, 256, 224, 7.0f, 6.2f};
    const Region right = {0, 224, 512, 96, 10.0f, 3.2f}, left = {0, 320, 512, 96, 10.0f, 3.2f};
    const Region roof = {0, 416, 512, 64, 10.9f, 4.6f};
    const Region plinth = {0, 480, 256, 32, 10.0f, 2.0f}, brick = {256, 480, 256, 32, 4.0f, 1.0f};

    const Rgb plaster = {222, 208, 176}, frame = {240, 238, 230}, shutter = {52, 98, 64};
    Canvas c(kAtlas);
    c.Rect(0, 0, 512, 416, plaster, 7, 31);
    // Weathering: darker towards the ground.
    for (int y = 0; y < 416; ++y)
    {
        const int inRow = y < 224 ? y : (y - 224) % 96;
        const int h = y < 224 ? 224 : 96;
        if (inRow > h * 3 / 4)
            c.Tint(0, y, 512, 1, -(inRow - h * 3 / 4) * 24 / (h / 4));
    }
    auto shuttered = [&](const Region& r, float u, float v, float w, float h) {
        const int sw = r.Px(u + w * 0.45f) - r.Px(u);
        const int y0 = r.Py(v + h), y1 = r.Py(v);
        c.Boards(r.Px(u) - sw, y0, sw, y1 - y0, 4, shutter, 41);
        c.Boards(r.Px(u + w), y0, sw, y1 - y0, 4, shutter, 42);
        PaintWindow(c, r, u, v, w, h, frame);
    };
    shuttered(front, 2.8f, 1.2f, 1.4f, 1.5f);
    PaintWindow(c, front, 3.1f, 3.8f, 0.8f, 0.9f, frame);
    shuttered(back, 1.2f, 1.2f, 1.2f, 1.4f);
    shuttered(back, 4.6f, 1.2f, 1.2f, 1.4f);
    // The road side: a door between two windows.
    const int doorX0 = right.Px(4.3f), doorX1 = right.Px(5.7f), doorY0 = right.Py(2.5f), doorY1 = right.Py(0.0f);
    c.Boards(doorX0, doorY0, doorX1 - doorX0, doorY1 - doorY0, 7, {96, 58, 36}, 43);
    c.Frame(doorX0 - 3, doorY0 - 3, doorX1 - doorX0 + 6, doorY1 - doorY0 + 3, 3, frame);
    c.Rect(doorX1 - 9, (doorY0 + doorY1) / 2, 4, 4, {200, 180, 90});
    shuttered(right, 1.4f, 1.0f, 1.2f, 1.4f);
    shuttered(right, 7.4f, 1.0f, 1.2f, 1.4f);
    shuttered(left, 2.0f, 1.0f, 1.2f, 1.4f);
    shuttered(left, 6.8f, 1.0f, 1.2f, 1.4f);
    // Clay tiles in courses, each tile rounded darker at its lower edge.
    for (int y = roof.y; y < roof.y + roof.h; ++y)
        for (int x = roof.x; x < roof.x + roof.w; ++x)
        {
            const int row = (y - roof.y) / 7, inRow = (y - roof.y) % 7;
            const int col = (x + (row & 1) * 6) / 12, inCol = (x + (row & 1) * 6) % 12;
            Rgb p = Shade({170, 74, 48}, int(CanvasHash(uint32_t(row * 97 + col)) % 25u) - 12);
            p = Shade(p, -std::abs(inCol - 6) * 3 - (inRow >= 5 ? 30 : 0));
            c.Put(x, y, p);
        }
    c.Courses(plinth.x, plinth.y, plinth.w, plinth.h, 20, 10, {118, 114, 106}, {80, 78, 72}, 14, 51);
    c.Courses(brick.x, brick.y, brick.w, brick.h, 14, 6, {150, 70, 50}, {190, 180, 160}, 12, 52);

    const GableAtlas t = {front.Uv(), back.Uv(), right.Uv(), left.Uv(), roof.Uv(), plinth.Uv(), brick.Uv()};
    ShapeBuilder main, far;
    GableHouse(main, g, t, true);
    GableHouse(far, g, t, false);
    // The chimney stands through the roof's far half.
    main.Box({-2.2f, 4.4f, -3.4f}, {-1.3f, 7.6f, -2.5f}, nullptr, brick.Uv());
    far.Box({-2.2f, 4.4f, -3.4f}, {-1.3f, 7.6f, -2.5f}, nullptr, brick.Uv());
    // A lamp on a bracket over the door of the road side.
    const float hx = g.halfX, hz = g.halfZ;
    main.Box({hx, 3.05f, -0.04f}, {hx + 0.36f, 3.12f, 0.04f}, nullptr, plinth.Uv());
    main.Box({hx + 0.24f, 2.96f, -0.11f}, {hx + 0.44f, 3.2f, 0.11f}, nullptr, plinth.Uv());

    // Reflective panes in every window, 2 cm in front of the painted glass.
    ShapeBuilder glass;
    const Wall frontWall = {{hx, g.base, hz}, {-1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const Wall backWall = {{-hx, g.base, -hz}, {1, 0, 0}, {0, 1, 0}, {0, 0, -1}};
    const Wall rightWall = {{hx, g.base, -hz}, {0, 0, 1}, {0, 1, 0}, {1, 0, 0}};
    const Wall leftWall = {{-hx, g.base, hz}, {0, 0, -1}, {0, 1, 0}, {-1, 0, 0}};
    const float out = 0.02f;
    WindowPanes(glass, frontWall, 2.8f, 1.2f, 1.4f, 1.5f, out);
    WindowPanes(glass, frontWall, 3.1f, 3.8f, 0.8f, 0.9f, out);
    WindowPanes(glass, backWall, 1.2f, 1.2f, 1.2f, 1.4f, out);
    WindowPanes(glass, backWall, 4.6f, 1.2f, 1.2f, 1.4f, out);
    WindowPanes(glass, rightWall, 1.4f, 1.0f, 1.2f, 1.4f, out);
    WindowPanes(glass, rightWall, 7.4f, 1.0f, 1.2f, 1.4f, out);
    WindowPanes(glass, leftWall, 2.0f, 1.0f, 1.2f, 1.4f, out);
    WindowPanes(glass, leftWall, 6.8f, 1.0f, 1.2f, 1.4f, out);

    // The lamp's light on the wall round the door, added on top.
    ShapeBuilder pool;
    pool.Quad({hx + 0.03f, 1.2f, -1.8f}, {0, 0, 3.6f}, {0, 2.4f, 0}, UvRect{0, 0, 1, 1});

    MeshDesc mesh;
    mesh.slots[MESHSLOT_MAIN] = SlotOf(main);
    mesh.slots[MESHSLOT_SECOND] = SlotOf(far);
    mesh.slots[MESHSLOT_GLASS] = SlotOf(glass);
    mesh.slots[MESHSLOT_LIGHTMAP] = SlotOf(pool);
    mesh.slots[MESHSLOT_OCCLUDER] = SolidSlot(BoxSolid({-3.5f, 0, -5}, {3.5f, 3.6f, 5}));
    mesh.slots[MESHSLOT_SHADOW] = SolidSlot(GableSolid(3.95f, 5.45f, -0.5f, 3.5f, 6.7f));
    mesh.slots[MESHSLOT_COLLISION_MESH] = SolidSlot(GableSolid(3.7f, 5.2f, -1.6f, 3.6f, 6.7f));
    // The lamp's sprite (point set 1) and its beam down to the doorstep
    // (point set 3, one pair: lamp, then the lit ground).
    mesh.points[1] = {{hx + 0.34f, 2.98f, 0.0f}};
    mesh.points[3] = {{hx + 0.34f, 2.94f, 0.0f}, {hx + 1.5f, 0.45f, 0.0f}};

    const std::string folder = "Data/Static/Cottage";
    tree.Add(folder + "/Glass.dds", GlassPicture(64));
    tree.Add(folder + "/LampPool.dds", LampPoolPicture(128));
    AddBuilding(
        tree, folder, "cottage", mesh, c,
        {"GEFFECT_SHADOW", EffectWithLines("GEFFECT_RGLASS", {DemoLine("Glass:", folder + "/Glass.dds")}),
         EffectWithLines("GEFFECT_LIGHTMAPS", {DemoLine("Count:", "1"), DemoLine("Map:", folder + "/LampPool.dds"),
                                               DemoLine("Colour:", "255 196 120")}),
         // Size, colour, then three numbers the reader skips.
         EffectWithLines("GEFFECT_LIGHTS",
                         {DemoLine("Size:", "0.35"), DemoLine("Colour:", "255 214 150"), DemoLine("Reserved:", "0"),
                          DemoLine("Reserved:", "0"), DemoLine("Reserved:", "0")}),
         EffectWithLines("GEFFECT_SPOTS", {DemoLine("Colour:", "140 112 070")})});
}

// ---------------------------------------------------------------------------
// Silo: a galvanised grain silo 35 units tall and 9 across on a concrete ring, with a
// ladder up its side and a conical roof; seen from far across the area.

void Silo(DataTree& tree)
{
    const int n = 256;
    Canvas c(n);
    const int sideH = 192;
    for (int y = 0; y < sideH; ++y)
        for (int x = 0; x < n; ++x)
        {
            const float rib = std::sin(float(x) * 1.6f);
            Rgb p = Shade({176, 180, 184}, int(rib * 10.0f) + int(CanvasHash(uint32_t(x * 31 + y * 17)) % 5u) - 2);
            if (y % 16 == 0)
                p = Shade(p, -30);
            // Bolt rows beside every seam.
            if (y % 16 == 2 && x % 6 == 0)
                p = Shade(p, -45);
            const float low = float(y) / float(sideH);
            if (low > 0.8f && CanvasHash(uint32_t(x * 7 + y * 3)) % 100u < uint32_t((low - 0.8f) * 180.0f))
                p = Mix(p, {120, 96, 70}, 0.4f);
            c.Put(x, y, p);
        }
    // The ladder faces the road: the start of the wrap (u 0) is the
    // object's +z side.
    for (int rail : {6, 16})
        c.Rect(rail, 0, 2, sideH, {60, 62, 66});
    for (int y = 3; y < sideH; y += 5)
        c.Rect(6, y, 12, 1, {70, 72, 76});
    // Roof ribs run up to the tip.
    for (int y = sideH; y < n; ++y)
        for (int x = 0; x < 128; ++x)
            c.Put(x, y, Shade({196, 198, 200}, (x % 8 < 2 ? -26 : 0) + int(CanvasHash(uint32_t(x + y * 131)) % 7u)));
    c.Rect(128, sideH, 128, 64, {156, 152, 144}, 10, 61);

    const UvRect side = AtlasRect(n, 0, 0, n, sideH), roof = AtlasRect(n, 0, sideH, 128, 64),
                 base = AtlasRect(n, 128, sideH, 128, 64);
    auto build = [&](ShapeBuilder& b, int sides) {
        b.Cylinder(0, 0, -1.4f, 0.7f, 5.1f, 5.1f, sides, base, &base, nullptr);
        b.Cylinder(0, 0, 0.7f, 28.0f, 4.6f, 4.6f, sides, side, nullptr, nullptr);
        b.Cylinder(0, 0, 28.0f, 33.4f, 4.9f, 0.45f, sides, roof, &roof, &roof);
        b.Cylinder(0, 0, 33.4f, 34.2f, 0.45f, 0.45f, sides / 2, base, &base, nullptr);
    };
    ShapeBuilder main, far;
    build(main, 24);
    build(far, 8);
    MeshDesc mesh;
    mesh.slots[MESHSLOT_MAIN] = SlotOf(main);
    mesh.slots[MESHSLOT_SECOND] = SlotOf(far);
    mesh.slots[MESHSLOT_OCCLUDER] = SolidSlot(PrismSolid(0, 0, 0, 28, 4.3f, 8, 0));
    mesh.slots[MESHSLOT_SHADOW] = SolidSlot(PrismSolid(0, 0, -0.5f, 28, 4.8f, 12, 5.4f));
    mesh.slots[MESHSLOT_COLLISION_MESH] = SolidSlot(PrismSolid(0, 0, -1.4f, 28, 4.8f, 12, 5.4f));
    AddBuilding(tree, "Data/Static/Silo", "grain silo", mesh, c);
}

void GenerateBuildings(DataTree& tree)
{
    Barn(tree);
    Cottage(tree);
    Silo(tree);
}

}   // namespace

REGISTER_GENERATOR("buildings", GenerateBuildings);
