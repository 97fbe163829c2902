#pragma once
// Builds one mesh part of the demo objects from quads, triangles, boxes,
// cylinders and cones, with texture coordinates taken from regions of a
// texture atlas. Front faces are wound so the game's clockwise culling keeps
// them: seen from outside a quad is given as its bottom-left corner, its
// right edge and its up edge.
#include <cstdint>
#include <vector>

#include "tools/MeshWriter.h"

struct Vec3f
{
    float x, y, z;
};

inline Vec3f operator+(Vec3f a, Vec3f b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3f operator-(Vec3f a, Vec3f b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3f operator*(Vec3f a, float s)
{
    return {a.x * s, a.y * s, a.z * s};
}

// A rectangle of the atlas in texture coordinates (0..1, v down).
struct UvRect
{
    float u0, v0, u1, v1;
};

// The rectangle of pixels (x, y, w, h) of an atlas of the given size.
UvRect AtlasRect(int atlasSize, int x, int y, int w, int h);

class ShapeBuilder
{
public:
    // A quad seen from outside: bottom-left corner, right and up edges; the
    // region's top-left corner lands on the quad's top-left.
    void Quad(Vec3f origin, Vec3f right, Vec3f up, const UvRect& uv);
    // A triangle wound a, b, c as seen from outside (a and c across the top
    // for a quad's upper half), with its own texture coordinates.
    void Triangle(Vec3f a, Vec3f b, Vec3f c, const float uvA[2], const float uvB[2], const float uvC[2]);
    // An axis-aligned box; each face takes the whole region (null: every
    // face the same region). Faces: +x, -x, +y, -y, +z, -z.
    void Box(Vec3f lo, Vec3f hi, const UvRect* faces, const UvRect& all);
    // A closed vertical cylinder (or cone when topRadius differs) around
    // (cx, cz) from y0 to y1 with smooth sides; the side wraps the region once
    // around, the caps take their own regions (null: no cap).
    void Cylinder(float cx, float cz, float y0, float y1, float bottomRadius, float topRadius, int sides,
                  const UvRect& side, const UvRect* top, const UvRect* bottom);

    // The geometry as the one part of a slot; bounds filled.
    MeshSlot Slot() const;
    bool Empty() const { return m_Vertices.empty(); }

private:
    uint16_t Put(Vec3f p, Vec3f n, float u, float v);

    std::vector<MeshVertex> m_Vertices;
    std::vector<uint16_t> m_Indices;
};

// A closed solid with shared corners (no seams), for slots read as geometry
// rather than drawn: the occluder, whose outline is found from the edges two
// faces share, and the collision mesh. Faces are lists of corner indices in
// the builder's winding (counter-clockwise seen from outside on screen).
struct SolidDesc
{
    std::vector<Vec3f> corners;
    std::vector<std::vector<uint16_t>> faces;
};
MeshSlot SolidSlot(const SolidDesc& solid);
// An axis-aligned box as a solid of 8 corners and 6 faces.
SolidDesc BoxSolid(Vec3f lo, Vec3f hi);
// A house body with a gable roof along z: walls from y0 to eaves, the ridge
// at ridgeY, the gable ends facing +z and -z.
SolidDesc GableSolid(float halfX, float halfZ, float y0, float eaves, float ridgeY);
// A vertical prism of `sides` corners around (cx, cz), optionally with a
// point on top (apexY above y1; 0: flat top).
SolidDesc PrismSolid(float cx, float cz, float y0, float y1, float radius, int sides, float apexY);
