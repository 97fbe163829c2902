#include "world/RoadBuild.h"

#include <cmath>
#include <cstring>

#include "common/MathUtil.h"
#include "platform/math/D3DXMath.h"
#include "platform/os/Rand.h"

namespace
{

const float kOffsets[5] = {0.6f, 0.4f, 0.0f, -0.4f, -0.6f};
const float kRoadU[5] = {-1.0f, -0.7f, 0.0f, 0.7f, 1.0f};
const float kLift[5] = {0.05f, 0.1f, 0.15f, 0.1f, 0.05f};

const uint8_t kTrailerMagic[4] = {'R', 'D', 'I', 'D'};
const size_t kTrailerBytes = 12;

// The side axis of the frame looking from `from` to `to` (up is +y): the
// first row of the object matrix, pointing to the right of the way driven.
D3DXVECTOR3 SideAxis(const float from[3], const float to[3])
{
    D3DXMATRIX m;
    MatrixFromPosTargetUp(m, D3DXVECTOR3(from[0], from[1], from[2]), D3DXVECTOR3(to[0], to[1], to[2]),
                          D3DXVECTOR3(0, 1, 0));
    return D3DXVECTOR3(m._11, m._12, m._13);
}

uint32_t Diffuse(uint32_t alpha)
{
    return (alpha << 24) | 0x00FFFFFFu;
}

RoadVertex Vertex(const RoadGround& g, float x, float z, float lift, uint32_t alpha, float u, float v)
{
    RoadVertex out;
    out.x = x;
    out.z = z;
    out.y = g.height(g.user, x, z) + lift;
    out.nx = out.ny = out.nz = 0.0f;
    out.diffuse = Diffuse(alpha);
    out.u0 = u;
    out.v0 = v;
    out.u1 = (g.size / 2.0f + x) / g.size;
    out.v1 = 1.0f - (g.size / 2.0f + z) / g.size;
    return out;
}

// Five vertices across the road around `centre`; `alpha` gives each vertex's
// alpha byte (called in vertex order, so random draws keep theirs).
template <class AlphaFn>
void AddSection(const RoadGround& g, const float centre[3], const D3DXVECTOR3& side, float width, bool lifted, float v,
                AlphaFn alpha, std::vector<RoadVertex>* out)
{
    for (int k = 0; k < 5; ++k)
    {
        const float x = centre[0] + side.x * kOffsets[k] * width;
        const float z = centre[2] + side.z * kOffsets[k] * width;
        const uint32_t a = alpha(k);
        out->push_back(Vertex(g, x, z, lifted ? kLift[k] : 0.0f, a, kRoadU[k], v));
    }
}

// FNV-1a over raw bytes.
void Hash(uint64_t* h, const void* data, size_t bytes)
{
    const uint8_t* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < bytes; ++i)
    {
        *h ^= p[i];
        *h *= 1099511628211ull;
    }
}

void PutI32(std::vector<uint8_t>* out, int32_t v)
{
    uint8_t b[4];
    std::memcpy(b, &v, 4);
    out->insert(out->end(), b, b + 4);
}

void AppendPass(const std::vector<RoadBucket>& buckets, std::vector<uint8_t>* out)
{
    for (const RoadBucket& b : buckets)
    {
        PutI32(out, (int32_t)b.vertices.size());
        PutI32(out, (int32_t)b.indices.size());
        if (b.vertices.empty())
            continue;
        const uint8_t* v = reinterpret_cast<const uint8_t*>(b.vertices.data());
        out->insert(out->end(), v, v + b.vertices.size() * sizeof(RoadVertex));
        const uint8_t* i = reinterpret_cast<const uint8_t*>(b.indices.data());
        out->insert(out->end(), i, i + b.indices.size() * sizeof(uint16_t));
    }
}

bool Near(const RoadVertex& a, const RoadVertex& b)
{
    const float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return a.u0 == b.u0 && a.v0 == b.v0 && dx * dx + dy * dy + dz * dz <= 0.01f;
}

}   // namespace

float RoadWidth(float power)
{
    return power * 0.01f * 3.0f + 7.0f;
}

uint32_t RoadMarkAlpha(float power)
{
    if (!(power > 40.0f))
        return 0;
    const float a = 255.0f * (power - 40.0f) / 60.0f;
    // Powers above 100 would carry the byte into the red channel.
    return a >= 255.0f ? 255u : (uint32_t)a;
}

float RoadInnerFade(float power)
{
    if (power > 50.0f)
        return 1.0f;
    const float r1 = 0.5f + (GameRand() % 101) * 0.01f;
    if (r1 > 1.0f)
        return 1.0f;
    const float r2 = 0.5f + (GameRand() % 101) * 0.01f;
    return r2 < 1.0f ? r2 : 1.0f;
}

void BuildRoadSections(const RoadGround& g, const float (*pos)[3], const float* power, int m,
                       std::vector<RoadVertex>* vertices, std::vector<uint32_t>* indices)
{
    vertices->clear();
    indices->clear();
    if (m < 2)
        return;
    vertices->reserve((size_t)(m + 1) * 5);
    indices->reserve((size_t)m * 24);

    // Start: one step behind point 0, on the ground, transparent.
    float behind[3];
    for (int k = 0; k < 3; ++k)
        behind[k] = pos[0][k] - (pos[1][k] - pos[0][k]);
    D3DXVECTOR3 side = SideAxis(pos[0], pos[1]);
    float width = RoadWidth(power[0]);
    AddSection(
        g, behind, side, width, false, 0.0f, [](int) { return 0u; }, vertices);

    for (int i = 0; i <= m - 2; ++i)
    {
        side = SideAxis(i == 0 ? behind : pos[i - 1], pos[i + 1]);
        width = RoadWidth(power[i]);
        const float q = power[i];
        AddSection(
            g, pos[i], side, width, true, 0.4f * (float)(i + 1),
            [q](int k) { return (k == 0 || k == 4) ? 0u : (uint32_t)(255.0f * RoadInnerFade(q)); }, vertices);
    }

    // End: on the ground, the inner three opaque.
    AddSection(
        g, pos[m - 1], side, width, false, 0.4f * (float)m, [](int k) { return (k == 0 || k == 4) ? 0u : 255u; },
        vertices);

    for (int s = 0; s < m; ++s)
    {
        const uint32_t b = (uint32_t)(5 * s);
        for (uint32_t j = 0; j < 4; ++j)
        {
            const uint32_t tri[6] = {b + j, b + 5 + j, b + j + 1, b + j + 1, b + 5 + j, b + 6 + j};
            indices->insert(indices->end(), tri, tri + 6);
        }
    }
}

void BuildRoadMarks(const RoadGround& g, const float (*pos)[3], const float* power, int m,
                    std::vector<RoadVertex>* vertices, std::vector<uint32_t>* indices)
{
    vertices->clear();
    indices->clear();
    if (m < 5)
        return;
    static const float kU[6] = {0.05f, 0.45f, 0.05f, 0.45f, 0.55f, 0.95f};
    static const float kLiftM[6] = {0.1f, 0.1f, 0.1f, 0.1f, 0.15f, 0.15f};
    int section = 0;
    for (int i = 1; i <= m - 3; ++i, ++section)
    {
        const D3DXVECTOR3 side = SideAxis(pos[i - 1], pos[i + 1]);
        const float w = RoadWidth(power[i]) * 0.45f;
        const float lateral[6] = {w + 0.15f, w - 0.15f, -(w - 0.15f), -(w + 0.15f), 0.15f, -0.15f};
        const uint32_t alpha = RoadMarkAlpha(power[i]);
        const float v = (float)(section & 1);
        for (int k = 0; k < 6; ++k)
        {
            const float x = pos[i][0] + side.x * lateral[k];
            const float z = pos[i][2] + side.z * lateral[k];
            vertices->push_back(Vertex(g, x, z, kLiftM[k], alpha, kU[k], v));
        }
    }
    for (int k = 0; k + 1 < section; ++k)
    {
        const uint32_t q = (uint32_t)(6 * (k + 1));
        const uint32_t lines[12] = {q - 6, q, q - 5, q - 5, q, q + 1, q - 4, q + 2, q - 3, q - 3, q + 2, q + 3};
        indices->insert(indices->end(), lines, lines + 12);
        if (k & 1)
        {
            const uint32_t dash[6] = {q - 2, q + 4, q - 1, q - 1, q + 4, q + 5};
            indices->insert(indices->end(), dash, dash + 6);
        }
    }
}

void CalcRoadNormals(RoadVertex* vertices, const uint32_t* indices, int vertexCount, int indexCount)
{
    for (int i = 0; i < vertexCount; ++i)
        vertices[i].nx = vertices[i].ny = vertices[i].nz = 0.0f;
    for (int t = 0; t + 2 < indexCount; t += 3)
    {
        if (indices[t] >= (uint32_t)vertexCount || indices[t + 1] >= (uint32_t)vertexCount ||
            indices[t + 2] >= (uint32_t)vertexCount)
            continue;
        RoadVertex& p = vertices[indices[t]];
        RoadVertex& q = vertices[indices[t + 1]];
        RoadVertex& r = vertices[indices[t + 2]];
        const float ax = r.x - p.x, ay = r.y - p.y, az = r.z - p.z;
        const float bx = q.x - p.x, by = q.y - p.y, bz = q.z - p.z;
        float nx = ay * bz - az * by, ny = az * bx - ax * bz, nz = ax * by - ay * bx;
        const float len = std::sqrt(nx * nx + ny * ny + nz * nz);
        if (len > 0.0f)
        {
            nx /= len;
            ny /= len;
            nz /= len;
        }
        for (RoadVertex* v : {&p, &q, &r})
        {
            v->nx += nx;
            v->ny += ny;
            v->nz += nz;
        }
    }
    for (int i = 0; i < vertexCount; ++i)
    {
        RoadVertex& v = vertices[i];
        const float len = std::sqrt(v.nx * v.nx + v.ny * v.ny + v.nz * v.nz);
        if (len > 0.0f)
        {
            v.nx /= len;
            v.ny /= len;
            v.nz /= len;
        }
    }
}

int AddRoadTriangle(RoadBucket* bucket, const RoadVertex* vertices, const uint32_t* indices, int first)
{
    std::vector<RoadVertex>& own = bucket->vertices;
    if (own.empty())
    {
        for (int k = 0; k < 3; ++k)
        {
            own.push_back(vertices[indices[first + k]]);
            bucket->indices.push_back((uint16_t)k);
        }
        return 1;
    }
    int found[3];
    size_t added = 0;
    for (int k = 0; k < 3; ++k)
    {
        const RoadVertex& corner = vertices[indices[first + k]];
        found[k] = -1;
        for (size_t j = 0; j < own.size(); ++j)
            if (Near(own[j], corner))
            {
                found[k] = (int)j;
                break;
            }
        if (found[k] < 0)
            ++added;
    }
    if (own.size() + added > ROAD_BUCKET_MAX_VERTICES)
        return 0;
    for (int k = 0; k < 3; ++k)
    {
        if (found[k] < 0)
        {
            // A corner appended earlier in this triangle may match a later one.
            const RoadVertex& corner = vertices[indices[first + k]];
            for (size_t j = 0; j < own.size() && found[k] < 0; ++j)
                if (Near(own[j], corner))
                    found[k] = (int)j;
            if (found[k] < 0)
            {
                own.push_back(corner);
                found[k] = (int)own.size() - 1;
            }
        }
        bucket->indices.push_back((uint16_t)found[k]);
    }
    return 1;
}

int RoadTrianglePart(const RoadGround& g, const RoadVertex* vertices, const uint32_t* indices, int first)
{
    const RoadVertex& a = vertices[indices[first]];
    const RoadVertex& b = vertices[indices[first + 1]];
    const RoadVertex& c = vertices[indices[first + 2]];
    const float cx = (a.x + b.x + c.x) / 3.0f, cz = (a.z + b.z + c.z) / 3.0f;
    if (!(g.cellSize > 0.0f) || g.partCells < 1)
        return -1;
    const double gx = ((double)g.size / 2.0 + cx) / g.cellSize;
    const double gz = ((double)cz - g.size / 2.0) / g.cellSize;
    // Checked before any conversion: a centroid off the grid has no part.
    if (!(gx >= 0.0 && gx < g.gridSize) || !(gz <= 0.0 && gz > -(double)g.gridSize))
        return -1;
    const int col = (int)gx / g.partCells;
    const int row = -((int)gz / g.partCells);
    if (col < 0 || row < 0 || col >= g.partsPerSide || row >= g.partsPerSide)
        return -1;
    return row * g.partsPerSide + col;
}

void BucketRoad(const RoadGround& g, const std::vector<RoadVertex>& vertices, const std::vector<uint32_t>& indices,
                std::vector<RoadBucket>* buckets)
{
    const int parts = g.partsPerSide > 0 ? g.partsPerSide * g.partsPerSide : 0;
    buckets->assign((size_t)parts, RoadBucket());
    for (size_t t = 0; t + 2 < indices.size(); t += 3)
    {
        if (indices[t] >= vertices.size() || indices[t + 1] >= vertices.size() || indices[t + 2] >= vertices.size())
            continue;
        const int part = RoadTrianglePart(g, vertices.data(), indices.data(), (int)t);
        if (part >= 0)
            AddRoadTriangle(&(*buckets)[(size_t)part], vertices.data(), indices.data(), (int)t);
    }
}

uint64_t RoadCacheIdentity(const RoadGround& g, const float* heights, int stride, const float (*pos)[3],
                           const float* power, int count)
{
    uint64_t h = 14695981039346656037ull;
    const int ints[3] = {g.gridSize, g.partsPerSide, g.partCells};
    Hash(&h, ints, sizeof(ints));
    Hash(&h, &g.cellSize, sizeof(float));
    for (int r = 0; r < g.gridSize; ++r)
        Hash(&h, heights + (size_t)r * stride, (size_t)g.gridSize * sizeof(float));
    Hash(&h, &count, sizeof(count));
    if (count > 0)
    {
        Hash(&h, pos, (size_t)count * 3 * sizeof(float));
        Hash(&h, power, (size_t)count * sizeof(float));
    }
    return h;
}

std::vector<uint8_t> BuildRoadCache(const RoadGround& g, const float (*pos)[3], const float* power, int count,
                                    uint64_t identity)
{
    std::vector<uint8_t> out;
    std::vector<RoadVertex> vertices;
    std::vector<uint32_t> indices;
    std::vector<RoadBucket> buckets;
    for (int pass = 0; pass < 2; ++pass)
    {
        if (pass == 0)
            BuildRoadSections(g, pos, power, count, &vertices, &indices);
        else
            BuildRoadMarks(g, pos, power, count, &vertices, &indices);
        CalcRoadNormals(vertices.data(), indices.data(), (int)vertices.size(), (int)indices.size());
        BucketRoad(g, vertices, indices, &buckets);
        AppendPass(buckets, &out);
    }
    out.insert(out.end(), kTrailerMagic, kTrailerMagic + 4);
    uint8_t id[8];
    std::memcpy(id, &identity, 8);
    out.insert(out.end(), id, id + 8);
    return out;
}

namespace
{

int ParseRoadCacheInto(const uint8_t* data, size_t size, int partCount, uint64_t identity,
                       std::vector<RoadPieceView>* pieces)
{
    if (partCount < 0 || (!data && size))
        return ROAD_CACHE_BAD_COUNT;
    size_t at = 0;
    for (int k = 0; k < 2 * partCount; ++k)
    {
        if (size - at < 8)
            return ROAD_CACHE_TRUNCATED;
        int32_t v, n;
        std::memcpy(&v, data + at, 4);
        std::memcpy(&n, data + at + 4, 4);
        at += 8;
        RoadPieceView piece{v, n, nullptr, nullptr};
        if (v == 0 && n == 0)
        {
            pieces->push_back(piece);
            continue;
        }
        // A piece has whole triangles over at most 65535 vertices.
        if (v <= 0 || v > ROAD_BUCKET_MAX_VERTICES || n <= 0 || n % 3 != 0)
            return ROAD_CACHE_BAD_COUNT;
        const size_t vertexBytes = (size_t)v * sizeof(RoadVertex), indexBytes = (size_t)n * 2;
        if (size - at < vertexBytes || size - at - vertexBytes < indexBytes)
            return ROAD_CACHE_TRUNCATED;
        piece.vertices = data + at;
        piece.indices = data + at + vertexBytes;
        for (int i = 0; i < v; ++i)
        {
            float f[11];
            std::memcpy(f, piece.vertices + (size_t)i * sizeof(RoadVertex), sizeof(f));
            for (int j = 0; j < 11; ++j)
                if (j != 6 && !std::isfinite(f[j]))
                    return ROAD_CACHE_BAD_VALUE;
        }
        for (int i = 0; i < n; ++i)
        {
            uint16_t index;
            std::memcpy(&index, piece.indices + (size_t)i * 2, 2);
            if (index >= v)
                return ROAD_CACHE_BAD_INDEX;
        }
        at += vertexBytes + indexBytes;
        pieces->push_back(piece);
    }
    if (size - at != kTrailerBytes || std::memcmp(data + at, kTrailerMagic, 4) != 0)
        return ROAD_CACHE_NO_IDENTITY;
    uint64_t stored;
    std::memcpy(&stored, data + at + 4, 8);
    return stored == identity ? ROAD_CACHE_OK : ROAD_CACHE_STALE;
}

}   // namespace

int ParseRoadCache(const uint8_t* data, size_t size, int partCount, uint64_t identity,
                   std::vector<RoadPieceView>* pieces)
{
    pieces->clear();
    const int result = ParseRoadCacheInto(data, size, partCount, identity, pieces);
    if (result != ROAD_CACHE_OK)
        pieces->clear();
    return result;
}
