// Collision shapes built from the collision slots of a mesh record: the
// compound of boxes and cylinders and its centre, the triangle mesh with its
// reversed winding, the convex hull, the scaled shape of one object, and
// records that cannot give a shape.
#include <btBulletCollisionCommon.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "common/Keywords.h"
#include "render/MeshContainer.h"
#include "render/MeshObject.h"
#include "scene/StaticObjectFixture.h"
#include "tests/support/TestDevice.h"
#include "tools/DataTree.h"
#include "tools/MeshWriter.h"

namespace
{

void Box(MeshSlot& slot, float x0, float y0, float z0, float x1, float y1, float z1)
{
    const float lo[3] = {x0, y0, z0}, hi[3] = {x1, y1, z1};
    MeshPart part = MakeBoxPart(lo, hi);
    if (slot.parts.empty())
        slot.indices = MakeBoxIndices();
    slot.parts.push_back(part);
}

MeshSlot Triangle(float bad = 0.0f)
{
    MeshSlot slot;
    MeshPart part;
    part.vertices = {MeshVertex{{0, 0, 0}, {0, 1, 0}, {0, 0}}, MeshVertex{{1, bad, 0}, {0, 1, 0}, {0, 0}},
                     MeshVertex{{0, 0, 1}, {0, 1, 0}, {0, 0}}};
    ComputePartBounds(part);
    slot.parts.push_back(part);
    slot.indices = {0, 1, 2};
    return slot;
}

DataTree ShapeTree()
{
    DataTree tree;
    // Two boxes and a centre part without point set 8.
    MeshDesc compound;
    Box(compound.slots[0], -1, -1, -1, 1, 1, 1);
    Box(compound.slots[15], 0, 0, 0, 2, 2, 2);
    Box(compound.slots[15], 4, 0, 0, 6, 4, 2);
    Box(compound.slots[14], 2, 6, 2, 4, 8, 4);
    tree.Add("Compound.msh", WriteMesh(compound));
    // A wheel-sized cylinder, and a centre given by point set 8.
    MeshDesc wheel;
    Box(wheel.slots[0], -1, -1, -1, 1, 1, 1);
    Box(wheel.slots[13], -0.1f, 0, -0.3f, 0.1f, 0.6f, 0.3f);
    wheel.points[8] = {MeshPoint{1, 2, 3}};
    tree.Add("Wheel.msh", WriteMesh(wheel));
    MeshDesc triangle;
    Box(triangle.slots[0], -1, -1, -1, 1, 1, 1);
    triangle.slots[12] = Triangle();
    tree.Add("Triangle.msh", WriteMesh(triangle));
    MeshDesc box;
    Box(box.slots[0], -1, -1, -1, 1, 1, 1);
    Box(box.slots[12], -1, 0, -2, 1, 3, 2);
    tree.Add("Box.msh", WriteMesh(box));
    MeshDesc bare;
    Box(bare.slots[0], -1, -1, -1, 1, 1, 1);
    tree.Add("Bare.msh", WriteMesh(bare));
    MeshDesc broken;
    Box(broken.slots[0], -1, -1, -1, 1, 1, 1);
    broken.slots[12] = Triangle(std::numeric_limits<float>::quiet_NaN());
    tree.Add("Broken.msh", WriteMesh(broken));
    MeshDesc centreOnly;
    Box(centreOnly.slots[0], -1, -1, -1, 1, 1, 1);
    Box(centreOnly.slots[14], 0, 0, 0, 1, 1, 1);
    tree.Add("CentreOnly.msh", WriteMesh(centreOnly));
    return tree;
}

class MeshShapesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = new testdata::DataFolder(ShapeTree(), false);
        ASSERT_EQ(device.Open(D3DBackendKind::Recording, 64, 64), D3D_OK);
    }
    void TearDown() override
    {
        g_MeshContainer.Release();
        device.Close();
        delete folder;
    }
    MeshRecord* Load(const char* name)
    {
        MeshRecord* r = g_MeshContainer.Load(name, 0, D3DXMESH_MANAGED, 0);
        EXPECT_NE(r, nullptr) << name;
        return r;
    }

    testdata::DataFolder* folder = nullptr;
    testdevice::TestDevice device;
};

btVector3 ChildOrigin(const btCompoundShape* c, int i)
{
    return c->getChildTransform(i).getOrigin();
}

TEST_F(MeshShapesTest, CompoundOfTwoBoxesIsCentredOnTheMeanOfAllThreeParts)
{
    MeshRecord* r = Load("Compound.msh");
    ASSERT_NE(r, nullptr);
    r->BuildCompoundShape(nullptr, 0);
    ASSERT_NE(r->compoundShape, nullptr);
    EXPECT_EQ(r->shapeKind, SHAPE_TYPE_COMPOUND);
    // Box centres (1, 1, 1), (5, 2, 1) and the centre part's (3, 7, 3).
    EXPECT_NEAR(r->compoundCentre[0], 3, 1e-5f);
    EXPECT_NEAR(r->compoundCentre[1], 10.0f / 3.0f, 1e-5f);
    EXPECT_NEAR(r->compoundCentre[2], 5.0f / 3.0f, 1e-5f);
    const btCompoundShape* c = static_cast<const btCompoundShape*>(r->compoundShape);
    ASSERT_EQ(c->getNumChildShapes(), 2);
    EXPECT_NEAR(ChildOrigin(c, 0).x(), -2, 1e-5f);
    EXPECT_NEAR(ChildOrigin(c, 1).x(), 2, 1e-5f);
    EXPECT_NEAR(ChildOrigin(c, 1).y(), 2 - 10.0f / 3.0f, 1e-5f);
    const btBoxShape* second = static_cast<const btBoxShape*>(c->getChildShape(1));
    EXPECT_EQ(second->getShapeType(), BOX_SHAPE_PROXYTYPE);
    EXPECT_NEAR(second->getHalfExtentsWithMargin().y(), 2, 1e-5f);

    // Asked again with another centre, the first shape stays.
    const btCollisionShape* first = r->compoundShape;
    const float elsewhere[3] = {9, 9, 9};
    r->BuildCompoundShape(elsewhere, 1);
    EXPECT_EQ(r->compoundShape, first);
    EXPECT_NEAR(r->compoundCentre[0], 3, 1e-5f);
}

TEST_F(MeshShapesTest, CylindersFollowTheAxisAskedForAndPointSetEightGivesTheCentre)
{
    MeshRecord* r = Load("Wheel.msh");
    ASSERT_NE(r, nullptr);
    r->BuildCompoundShape(nullptr, 1);
    ASSERT_NE(r->compoundShape, nullptr);
    EXPECT_FLOAT_EQ(r->compoundCentre[0], 1);
    EXPECT_FLOAT_EQ(r->compoundCentre[1], 2);
    EXPECT_FLOAT_EQ(r->compoundCentre[2], 3);
    const btCompoundShape* c = static_cast<const btCompoundShape*>(r->compoundShape);
    ASSERT_EQ(c->getNumChildShapes(), 1);
    const btCylinderShape* wheel = static_cast<const btCylinderShape*>(c->getChildShape(0));
    EXPECT_EQ(wheel->getShapeType(), CYLINDER_SHAPE_PROXYTYPE);
    EXPECT_EQ(wheel->getUpAxis(), 0);
    EXPECT_NEAR(ChildOrigin(c, 0).y(), 0.3f - 2, 1e-5f);
}

TEST_F(MeshShapesTest, TriangleMeshTurnsTheWindingRound)
{
    MeshRecord* r = Load("Triangle.msh");
    ASSERT_NE(r, nullptr);
    r->BuildTriangleShape();
    ASSERT_NE(r->triangleShape, nullptr);
    EXPECT_EQ(r->shapeKind, SHAPE_TYPE_TRIMESH);
    EXPECT_NEAR(r->triangleShape->getMargin(), 0.05f, 1e-6f);
    const unsigned char *vertices = nullptr, *indices = nullptr;
    int vertexCount = 0, vertexStride = 0, indexStride = 0, faces = 0;
    PHY_ScalarType vertexType, indexType;
    r->triangleData->getLockedReadOnlyVertexIndexBase(&vertices, vertexCount, vertexType, vertexStride, &indices,
                                                      indexStride, faces, indexType, 0);
    ASSERT_EQ(faces, 1);
    EXPECT_EQ(vertexStride, 16);
    EXPECT_EQ(indexStride, 12);
    const int* tri = reinterpret_cast<const int*>(indices);
    EXPECT_EQ(tri[0], 2);
    EXPECT_EQ(tri[1], 1);
    EXPECT_EQ(tri[2], 0);
    const float* v1 = reinterpret_cast<const float*>(vertices + 16);
    EXPECT_FLOAT_EQ(v1[0], 1);
    EXPECT_FLOAT_EQ(v1[3], 0);
    r->triangleData->unLockReadOnlyVertexBase(0);
}

TEST_F(MeshShapesTest, HullTakesEveryVertexOfTheCollisionMesh)
{
    MeshRecord* r = Load("Box.msh");
    ASSERT_NE(r, nullptr);
    r->BuildConvexHull();
    ASSERT_NE(r->hullShape, nullptr);
    EXPECT_EQ(r->shapeKind, SHAPE_TYPE_CONVEXHULL);
    const btConvexHullShape* hull = static_cast<const btConvexHullShape*>(r->hullShape);
    EXPECT_EQ(hull->getNumPoints(), 24);
    btVector3 lo, hi;
    btTransform identity;
    identity.setIdentity();
    hull->getAabb(identity, lo, hi);
    EXPECT_NEAR(hi.y(), 3.07f, 0.03f);
    EXPECT_NEAR(lo.z(), -2.07f, 0.03f);
}

TEST_F(MeshShapesTest, RecordsThatCannotGiveAShapeGetNone)
{
    // No collision slot: no triangle mesh, no hull, and no scaled shape for
    // an object drawn at a scale.
    MeshRecord* bare = Load("Bare.msh");
    ASSERT_NE(bare, nullptr);
    bare->BuildTriangleShape();
    bare->BuildConvexHull();
    bare->BuildCompoundShape(nullptr, 0);
    EXPECT_EQ(bare->triangleShape, nullptr);
    EXPECT_EQ(bare->hullShape, nullptr);
    EXPECT_EQ(bare->compoundShape, nullptr);
    EXPECT_EQ(bare->shapeKind, SHAPE_TYPE_NONE);
    CMeshObject object;
    object.SetMesh("Bare.msh", 0, D3DXMESH_MANAGED, 0);
    object.scale[0] = 2;
    object.useScale = 1;
    object.BuildScaledShape();
    EXPECT_EQ(object.shape, nullptr);
    object.FreeMesh();

    // A position that is not a number cannot go into the tree.
    MeshRecord* broken = Load("Broken.msh");
    ASSERT_NE(broken, nullptr);
    broken->BuildTriangleShape();
    broken->BuildConvexHull();
    EXPECT_EQ(broken->triangleShape, nullptr);
    EXPECT_EQ(broken->hullShape, nullptr);

    // Centre parts alone would make a compound without children.
    MeshRecord* centreOnly = Load("CentreOnly.msh");
    ASSERT_NE(centreOnly, nullptr);
    centreOnly->BuildCompoundShape(nullptr, 0);
    EXPECT_EQ(centreOnly->compoundShape, nullptr);
}

TEST_F(MeshShapesTest, ScaledShapeIsTheObjectsOwnOverTheSharedMesh)
{
    CMeshObject a, b;
    a.SetMesh("Box.msh", 0, D3DXMESH_MANAGED, 0);
    b.SetMesh("Box.msh", 0, D3DXMESH_MANAGED, 0);
    a.scale[0] = 3;
    a.scale[1] = 1;
    a.scale[2] = 0.5f;
    a.BuildScaledShape();
    b.BuildScaledShape();
    ASSERT_NE(a.shape, nullptr);
    ASSERT_NE(b.shape, nullptr);
    EXPECT_NE(a.shape, b.shape);
    EXPECT_EQ(a.meshRecord->triangleShape, b.meshRecord->triangleShape);
    const btScaledBvhTriangleMeshShape* scaled = static_cast<const btScaledBvhTriangleMeshShape*>(a.shape);
    EXPECT_EQ(scaled->getChildShape(), a.meshRecord->triangleShape);
    EXPECT_FLOAT_EQ(scaled->getLocalScaling().x(), 3);
    EXPECT_FLOAT_EQ(scaled->getLocalScaling().z(), 0.5f);
    // Built once per object.
    btCollisionShape* first = a.shape;
    a.BuildScaledShape();
    EXPECT_EQ(a.shape, first);
    a.FreeMesh();
    b.FreeMesh();
}

}   // namespace
