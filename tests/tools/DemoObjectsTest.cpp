// The demo buildings and props: solids read as geometry (occluder, shadow,
// collision) are closed and face outward, every mesh has the slots the game
// reads for its kind, and each area places its objects beside the road, off
// the water and the fence, without overlaps, with nature kept off them, and
// lists the buildings first.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "render/MeshFile.h"
#include "tools/AreaGen.h"
#include "tools/DataTree.h"
#include "tools/DemoObjects.h"
#include "tools/ShapeBuilder.h"

namespace
{

// Every edge of the triangles is shared by exactly one other triangle that
// runs it the other way, and the signed volume is positive for faces wound
// as the builder winds them (counter-clockwise seen from outside on screen,
// in the game's left-handed frame).
void ExpectClosedAndOutward(const MeshSlot& slot, const char* what)
{
    SCOPED_TRACE(what);
    ASSERT_EQ(slot.parts.size(), 1u);
    const std::vector<MeshVertex>& v = slot.parts[0].vertices;
    std::map<std::pair<int, int>, int> edges;
    double volume = 0;
    for (size_t t = 0; t + 2 < slot.indices.size(); t += 3)
    {
        const int i[3] = {slot.indices[t], slot.indices[t + 1], slot.indices[t + 2]};
        for (int k = 0; k < 3; ++k)
            ++edges[{i[k], i[(k + 1) % 3]}];
        const float* a = v[size_t(i[0])].pos;
        const float* b = v[size_t(i[1])].pos;
        const float* c = v[size_t(i[2])].pos;
        // a . (b x c): negative for the builder's winding.
        volume -= a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
                  a[2] * (b[0] * c[1] - b[1] * c[0]);
    }
    for (const auto& e : edges)
    {
        EXPECT_EQ(e.second, 1) << e.first.first << "-" << e.first.second;
        const auto back = edges.find({e.first.second, e.first.first});
        EXPECT_TRUE(back != edges.end() && back->second == 1) << e.first.first << "-" << e.first.second;
    }
    EXPECT_GT(volume, 0.0);
}

TEST(ShapeBuilderTest, SolidsAreClosedAndFaceOutward)
{
    ExpectClosedAndOutward(SolidSlot(BoxSolid({-1, 0, -2}, {3, 4, 5})), "box");
    ExpectClosedAndOutward(SolidSlot(GableSolid(5, 7, -1, 5, 9)), "gable");
    ExpectClosedAndOutward(SolidSlot(PrismSolid(1, 2, 0, 30, 3, 8, 0)), "flat prism");
    ExpectClosedAndOutward(SolidSlot(PrismSolid(0, 0, 0, 30, 3, 12, 4.5f)), "pointed prism");
}

TEST(ShapeBuilderTest, DrawnFacesPointTheirNormalsOutward)
{
    // Each face's stored normal agrees with its winding, and points away
    // from the middle of a box and of a cylinder.
    ShapeBuilder b;
    b.Box({-1, -1, -1}, {1, 1, 1}, nullptr, UvRect{0, 0, 1, 1});
    b.Cylinder(5, 0, 0, 2, 1, 1, 12, UvRect{0, 0, 1, 1}, nullptr, nullptr);
    const MeshSlot slot = b.Slot();
    const std::vector<MeshVertex>& v = slot.parts[0].vertices;
    for (size_t t = 0; t + 2 < slot.indices.size(); t += 3)
    {
        const MeshVertex &a = v[slot.indices[t]], &bb = v[slot.indices[t + 1]], &c = v[slot.indices[t + 2]];
        const Vec3f ab = {bb.pos[0] - a.pos[0], bb.pos[1] - a.pos[1], bb.pos[2] - a.pos[2]};
        const Vec3f ac = {c.pos[0] - a.pos[0], c.pos[1] - a.pos[1], c.pos[2] - a.pos[2]};
        // (c - a) x (b - a) is the front normal of the builder's winding.
        const Vec3f n = {ac.y * ab.z - ac.z * ab.y, ac.z * ab.x - ac.x * ab.z, ac.x * ab.y - ac.y * ab.x};
        EXPECT_GT(n.x * a.normal[0] + n.y * a.normal[1] + n.z * a.normal[2], 0.0f) << t;
        const float mx = a.pos[0] > 3 ? 5.0f : 0.0f, my = a.pos[0] > 3 ? 1.0f : 0.0f;
        const float out = (a.pos[0] + bb.pos[0] + c.pos[0]) / 3 - mx;
        const float up = (a.pos[1] + bb.pos[1] + c.pos[1]) / 3 - my;
        const float side = (a.pos[2] + bb.pos[2] + c.pos[2]) / 3;
        EXPECT_GT(out * a.normal[0] + up * a.normal[1] + side * a.normal[2], 0.0f) << t;
    }
}

class DemoObjectsTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        RunAllGenerators(s_Tree);
        for (int i = 0; i < kAreaCount; ++i)
            s_Areas[i] = GenerateArea(i + 1);
    }
    static const std::vector<uint8_t>* File(const std::string& path)
    {
        for (const DataTree::File& f : s_Tree.Files())
            if (f.path == path)
                return &f.bytes;
        return nullptr;
    }
    static std::string Value(const std::string& text, const std::string& label)
    {
        const size_t at = text.find("\n" + label);
        if (at == std::string::npos)
            return "";
        const size_t end = text.find('\n', at + 1);
        return text.substr(at + 1 + 32, end - at - 1 - 32);
    }
    static DataTree s_Tree;
    static AreaData s_Areas[kAreaCount];
};
DataTree DemoObjectsTest::s_Tree;
AreaData DemoObjectsTest::s_Areas[kAreaCount];

TEST_F(DemoObjectsTest, EveryKindHasItsDescriptionMeshAndSlots)
{
    struct Case
    {
        const DemoObjectKind* kind;
        const char* type;
        const char* shape;   // after "//--", or "" for none
    };
    const Case cases[] = {
        {&kDemoBarn, "GTYPE_BUILDING", ""},
        {&kDemoCottage, "GTYPE_BUILDING", ""},
        {&kDemoSilo, "GTYPE_BUILDING", ""},
        {&kDemoBarrel, "GTYPE_FENCES", "SHAPE_TYPE_COMPOUND"},
        {&kDemoHayBale, "GTYPE_FENCES", "SHAPE_TYPE_COMPOUND"},
        {&kDemoCone, "GTYPE_FENCES", "SHAPE_TYPE_CONVEXHULL"},
        {&kDemoChevronLeft, "GTYPE_STATIC", ""},
        {&kDemoChevronRight, "GTYPE_STATIC", ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.kind->description);
        const std::vector<uint8_t>* bytes = File(c.kind->description);
        ASSERT_NE(bytes, nullptr);
        const std::string text(bytes->begin(), bytes->end());
        EXPECT_EQ(Value(text, "Type:"), c.type);
        EXPECT_EQ(Value(text, "Class:"), std::string(*c.shape ? "GCLASS_DYNAMIC" : "GCLASS_STATIC"));
        EXPECT_EQ(Value(text, "Shape:"), c.shape);
        if (*c.shape)
        {
            EXPECT_GT(std::atof(Value(text, "Mass:").c_str()), 0.0);
        }
        EXPECT_NE(text.find("//--"), std::string::npos);

        // Textures named with a variant count exist in every variant.
        std::string texture = Value(text, "Texture:");
        const size_t percent = texture.find('%');
        if (percent != std::string::npos)
        {
            for (char n = '1'; n <= texture[percent + 1]; ++n)
            {
                std::string name = texture;
                name.replace(percent, 2, std::string("0") + n);
                EXPECT_NE(File(name), nullptr) << name;
            }
        }
        else
        {
            EXPECT_NE(File(texture), nullptr) << texture;
        }

        const std::vector<uint8_t>* mesh = File(Value(text, "Mesh:"));
        ASSERT_NE(mesh, nullptr);
        MeshFileData file;
        ASSERT_EQ(ParseMeshFile(mesh->data(), mesh->size(), file), MESHFILE_OK);
        EXPECT_GT(file.slots[0].partCount, 0);
        EXPECT_GT(file.slots[11].partCount, 0) << "shadow caster";
        EXPECT_GT(file.slots[12].partCount, 0) << "collision mesh";
        if (c.kind->building)
        {
            EXPECT_GT(file.slots[1].partCount, 0) << "far slot";
            EXPECT_GT(file.slots[10].partCount, 0) << "occluder";
            // The plainer far slot really is plainer.
            EXPECT_LT(file.slots[1].faceCount, file.slots[0].faceCount);
        }
        if (std::string(c.shape) == "SHAPE_TYPE_COMPOUND")
        {
            EXPECT_GT(file.slots[13].partCount + file.slots[15].partCount, 0);
        }
    }
}

TEST_F(DemoObjectsTest, TheSiloIsTallEnoughToFadeAndTheOthersAreNot)
{
    for (const DemoObjectKind* kind : {&kDemoBarn, &kDemoCottage, &kDemoSilo})
    {
        const std::string text(File(kind->description)->begin(), File(kind->description)->end());
        const std::vector<uint8_t>* mesh = File(Value(text, "Mesh:"));
        MeshFileData file;
        ASSERT_EQ(ParseMeshFile(mesh->data(), mesh->size(), file), MESHFILE_OK);
        const float height = file.slots[0].boxes[4] - file.slots[0].boxes[1];
        EXPECT_EQ(height > 30.0f, kind == &kDemoSilo) << kind->description << " " << height;
    }
}

TEST_F(DemoObjectsTest, EachAreaPlacesItsObjectsBesideTheRoad)
{
    const int N = kAreaGridSize;
    for (const AreaData& a : s_Areas)
    {
        SCOPED_TRACE(a.folder);
        int buildings = 0, movable = 0, signs = 0;
        bool propListed = false;
        std::set<std::string> kinds;
        for (size_t i = 0; i < a.objects.size(); ++i)
        {
            const AreaData::Placed& o = a.objects[i];
            ASSERT_NE(File(o.description), nullptr) << o.description;
            kinds.insert(o.description);
            const bool building = o.description.find("Barn") != std::string::npos ||
                                  o.description.find("Cottage") != std::string::npos ||
                                  o.description.find("Silo") != std::string::npos;
            const bool sign = o.description.find("Chevron") != std::string::npos;
            buildings += building;
            signs += sign;
            movable += !building && !sign;
            // The buildings come first: the game's occlusion pass lets a
            // building hide only what the list puts after it.
            EXPECT_FALSE(building && propListed) << o.description << " listed after a prop";
            propListed = propListed || !building;
            // Grid cell of the object; its distance to the road in cells.
            const float col = (o.position[0] + N * kAreaCellSize * 0.5f) / kAreaCellSize;
            const float row = (N * kAreaCellSize * 0.5f - o.position[2]) / kAreaCellSize;
            ASSERT_TRUE(col > 4 && row > 4 && col < N - 4 && row < N - 4);
            float road = 1e9f;
            for (int cell : a.route)
                road = std::min(road, std::hypot(cell % N + 0.5f - col, cell / N + 0.5f - row));
            // Off the road, but close enough to be seen while racing.
            EXPECT_GT(road, building ? 10.0f : 5.0f) << o.description;
            EXPECT_LT(road, 40.0f) << o.description;
            EXPECT_GT(o.position[1], AreaWaterAltitude());
            EXPECT_EQ(a.fences[size_t(row) * N + size_t(col)], 0);
            // No nature grows where the object stands.
            EXPECT_EQ(a.placeMap[size_t(row) * N + size_t(col)], 0);
            // Facing: the target is level with the position, 10 units away.
            EXPECT_NEAR(std::hypot(o.target[0] - o.position[0], o.target[2] - o.position[2]), 10.0f, 1e-3f);
            for (size_t j = 0; j < i; ++j)
            {
                const float d =
                    std::hypot(a.objects[j].position[0] - o.position[0], a.objects[j].position[2] - o.position[2]);
                EXPECT_GT(d, 0.5f) << "objects " << j << " and " << i << " stand in one another";
            }
        }
        EXPECT_GE(buildings, 4);
        EXPECT_GE(signs, 3);
        EXPECT_GE(movable, 8);
        EXPECT_GE(kinds.size(), 5u);
    }
}

}   // namespace
