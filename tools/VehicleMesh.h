#pragma once
// Building blocks for the demo motorcycles' meshes: a part builder with
// boxes, tubes, tori, discs and lofted hulls, each triangle wound the way the
// game draws front faces (counter-clockwise seen from outside). Parts of one
// slot must be built with the same calls in the same order, so that they
// share one triangle list (suspension frames, front and rear wheel).
#include <cstdint>
#include <functional>
#include <vector>

#include "tools/MeshWriter.h"

struct V3
{
    float x, y, z;
};
inline V3 operator+(V3 a, V3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline V3 operator-(V3 a, V3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline V3 operator*(V3 a, float s)
{
    return {a.x * s, a.y * s, a.z * s};
}

// A rectangle of a texture atlas, in texture coordinates.
struct UvRect
{
    float u0, v0, u1, v1;
};

// One cross-section of a lofted hull: at z, half width w, from y0 up to y1.
struct HullSection
{
    float z, w, y0, y1;
};

class PartBuilder
{
public:
    // When set, every vertex takes its texture coordinates from this mapping
    // of its position instead of the primitive's own (the painted body maps
    // its sides as one picture, so the decal runs over the whole motorcycle).
    std::function<void(const V3& p, float* u, float* v)> projection;

    void Box(V3 lo, V3 hi, UvRect uv);
    // A closed tube from a to b with radii ra and rb.
    void Tube(V3 a, V3 b, float ra, float rb, int sides, UvRect uv);
    // A ring around the x axis (a tyre): major radius to the tube's centre.
    void Torus(V3 centre, float major, float minor, int around, int tube, UvRect uv);
    // A flat cylinder along the x axis: the faces map `face` as a picture
    // centred on the axis, the rim maps `edge`.
    void DiscX(V3 centre, float radius, float halfWidth, int sides, UvRect face, UvRect edge);
    // A hull through the sections (in increasing z), each an octagon-like
    // rounded box; the ends are closed.
    void Hull(const std::vector<HullSection>& sections, UvRect uv);

    // The part with its bounds, and its triangle list.
    MeshPart Part() const;
    const std::vector<uint16_t>& Indices() const { return m_Indices; }

private:
    uint16_t Vertex(V3 p, V3 n, float u, float v);
    // Adds the triangle, turned when needed so that it faces along its
    // vertices' normals.
    void Triangle(uint16_t a, uint16_t b, uint16_t c);

    std::vector<MeshVertex> m_Vertices;
    std::vector<uint16_t> m_Indices;
};

// Adds the builder's part to the slot; false when the slot's earlier parts
// have another triangle list.
bool AddBuiltPart(MeshSlot& slot, const PartBuilder& part);
