// Light sprites on the points of a mesh's point set, a motorcycle's lamps
// with their front glare, brake flare and night beams, and the spot beams
// between pairs of points. Everything is written into the render device's
// dynamic batch; the technique of the batch turns each quad to the eye.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/Keywords.h"
#include "core/Settings.h"
#include "render/BatchVertex.h"
#include "render/D3DRender.h"
#include "render/Views.h"
#include "scene/LightEffects.h"
#include "scene/LightSprite.h"
#include "scene/MeshEffects.h"
#include "scene/StaticObject.h"

LightSpriteInputs g_LightSpriteInputs = {nullptr, nullptr};

namespace
{

// Light sprites are never drawn farther than this, whatever the view distance.
const float kSpriteDistance = 100.0f;
// A motorcycle's spot beams end at this share of the sprite distance.
const float kVehicleSpotShare = 0.3f;
// The most sprites one set builds: more could never pass the batch.
const unsigned kMaxSprites = (BATCH_MAX_VERTICES - 1) / 4;
const unsigned kMaxBeams = (BATCH_MAX_VERTICES - 1) / 3;

// Light-atlas cells: u0, u1, v0, v1.
const float kPointLightCell[4] = {0.501f, 0.999f, 0.501f, 0.999f};
const float kGlareCell[4] = {0.501f, 0.999f, 0.001f, 0.249f};
const float kLampCell[4] = {0.501f, 0.749f, 0.251f, 0.499f};
const float kBrakeCell[4] = {0.749f, 0.999f, 0.251f, 0.499f};
const float kBeamCell[4] = {0.001f, 0.249f, 0.001f, 0.249f};
const float kSpotUv[3][2] = {{0.001f, 0.501f}, {0.255f, 0.999f}, {0.499f, 0.501f}};

// Corner signs of a quad in vertex order.
const float kCornerX[4] = {1, 1, -1, -1};
const float kCornerY[4] = {1, -1, 1, -1};

float SpriteDistance()
{
    return std::min((float)g_ViewDistance, kSpriteDistance);
}

float Fade(const CStaticObject* owner)
{
    return owner->material.Diffuse.a;
}

int PointsIn(const CStaticObject* owner, int set)
{
    if (!owner || !owner->meshRecord || set < 0 || set >= MESH_POINT_SETS || !owner->meshRecord->points[set])
        return 0;
    return std::max(0, owner->meshRecord->pointCount[set]);
}

D3DXVECTOR3 WorldPoint(const CStaticObject* owner, int set, int i)
{
    D3DXVECTOR3 out;
    const D3DXMATRIX m(owner->world);
    D3DXVec3TransformCoord(&out, &owner->meshRecord->points[set][i], &m);
    return out;
}

void PutCentre(BatchVertex& v, const D3DXVECTOR3& c)
{
    v.centre[0] = c.x;
    v.centre[1] = c.y;
    v.centre[2] = c.z;
}

void PutAxis(BatchVertex& v, float x, float y, float z)
{
    v.axis[0] = x;
    v.axis[1] = y;
    v.axis[2] = z;
}

// Four corners of a quad with offsets (x, y, z), the cell's corners and the
// centre; six indices from `base`.
void WriteQuad(BatchVertex* v, unsigned short* index, unsigned short base, const float offsets[3], const float cell[4],
               const D3DXVECTOR3& centre, DWORD colour)
{
    for (int c = 0; c < 4; ++c)
    {
        v[c].x = kCornerX[c] * offsets[0];
        v[c].y = kCornerY[c] * offsets[1];
        v[c].z = offsets[2];
        v[c].colour = colour;
        v[c].u = kCornerX[c] > 0 ? cell[0] : cell[1];
        v[c].v = kCornerY[c] > 0 ? cell[2] : cell[3];
        PutCentre(v[c], centre);
        PutAxis(v[c], 0, 1, 0);
    }
    const unsigned short order[6] = {0, 1, 2, 2, 1, 3};
    for (int k = 0; k < 6; ++k)
        index[k] = (unsigned short)(base + order[k]);
}

void Scale(float out[4], const float in[4], float k)
{
    for (int c = 0; c < 4; ++c)
        out[c] = in[c] * k;
}

}   // namespace

int LightSpriteAllowed(const CStaticObject* owner)
{
    if (!owner || !owner->visible || !(owner->cameraDistance <= SpriteDistance()))
        return 0;
    if (Fade(owner) == 0.0f)
        return 0;
    if (owner->objectType == GTYPE_VEHICLE && IsOnboardTarget(owner))
        return 0;
    return 1;
}

float LightSpriteScale(const CStaticObject* owner)
{
    if (!owner || owner->objectType != GTYPE_VEHICLE || !(owner->cameraDistance > 10.0f))
        return 1.0f;
    return 1.0f + (owner->cameraDistance - 10.0f) * 2.0f / 90.0f;
}

float FrontGlareStrength(float eyeX, float eyeZ)
{
    if (!(eyeZ > 0.0f))
        return 0.0f;
    return std::max(0.0f, 1.0f - 1.1f * std::fabs(eyeX));
}

float BeamQuadSize(int k)
{
    float s = 0.2f;
    for (int i = 1; i <= k; ++i)
        s += 0.04f * (float)std::min(i, 4);
    return s;
}

float LightMoonIntensity()
{
    const float* m = g_MeshEffectInputs.moonIntensity;
    return m && std::isfinite(*m) ? *m : 0.0f;
}

// ---------------------------------------------------------------------------

void CLightsEffect::BuildSprites(int set, const float offsets[3], const float cell[4])
{
    const int points = PointsIn(owner, set);
    if (points <= 0 || spriteCount > 0)
        return;
    pointSet = set;
    spriteCount = std::min((unsigned)points, kMaxSprites);
    vertices = new BatchVertex[4 * spriteCount]();
    indices = new unsigned short[6 * spriteCount]();
    pointSizes = new float[spriteCount][3];
    if (offsets)
        std::memcpy(spriteSize, offsets, sizeof(spriteSize));
    if (!cell)
        cell = kPointLightCell;
    const DWORD c = BatchColour(colour[0], colour[1], colour[2], 1.0f);
    for (unsigned i = 0; i < spriteCount; ++i)
    {
        std::memcpy(pointSizes[i], spriteSize, sizeof(spriteSize));
        WriteQuad(vertices + 4 * i, indices + 6 * i, (unsigned short)(4 * i), spriteSize, cell,
                  WorldPoint(owner, set, (int)i), c);
    }
}

void CLightsEffect::Render()
{
    if (!LightSpriteAllowed(owner))
        return;
    if (spriteCount == 0)
        BuildSprites(1, nullptr, nullptr);
    if (spriteCount == 0)
        return;
    const float k = LightSpriteScale(owner);
    const bool vehicle = owner->objectType == GTYPE_VEHICLE;
    // A motorcycle whose mesh lost points since the build keeps its centres.
    const bool follow = vehicle && PointsIn(owner, pointSet) >= (int)spriteCount;
    const float f = Fade(owner);
    const DWORD c = BatchColour(colour[0] * f, colour[1] * f, colour[2] * f, 1.0f);
    for (unsigned i = 0; i < spriteCount; ++i)
    {
        BatchVertex* v = vertices + 4 * i;
        D3DXVECTOR3 centre;
        if (follow)
            centre = WorldPoint(owner, pointSet, (int)i);
        for (int n = 0; n < 4; ++n)
        {
            v[n].x = kCornerX[n] * pointSizes[i][0] * k;
            v[n].y = kCornerY[n] * pointSizes[i][1] * k;
            v[n].z = pointSizes[i][2] * k;
            v[n].colour = c;
            if (follow)
                PutCentre(v[n], centre);
        }
    }
    g_Render.AddToBatch(vertices, indices, 4 * spriteCount, 6 * spriteCount);
}

// ---------------------------------------------------------------------------

void CDirectLightsEffect::Build()
{
    const float w1 = sizes[0], w2 = sizes[1], w3 = sizes[2];
    const float offsets[4][3] = {{2 * w1, w1 / 2, w1 / 2}, {w1, w1, w1 / 2}, {w2, w2, w2 / 2}, {w3, w3, w3 / 2}};
    const int pointSets[4] = {1, 1, 2, 3};
    const float* cells[4] = {kGlareCell, kLampCell, kBrakeCell, kBrakeCell};
    for (int i = 0; i < 4; ++i)
    {
        sets[i].owner = owner;
        sets[i].BuildSprites(pointSets[i], offsets[i], cells[i]);
    }
    if (PointsIn(owner, 1) <= 0)
        return;
    for (int b = 0; b < 2; ++b)
        for (int k = 0; k < 10; ++k)
        {
            const float s = BeamQuadSize(k);
            const float quad[3] = {s, s, 0};
            WriteQuad(beamVertices + 40 * b + 4 * k, beamIndices + 60 * b + 6 * k, (unsigned short)(4 * k), quad,
                      kBeamCell, D3DXVECTOR3(0, 0, 0), 0);
        }
}

void CDirectLightsEffect::Update()
{
    if (!LightSpriteAllowed(owner) || g_ShadowPass)
        return;
    const float m = LightMoonIntensity();
    const float f = Fade(owner);
    // The colours pass 1 at night; the batch's conversion clamps them.
    Scale(sets[1].colour, colours[0], std::max(m + 0.5f, 0.0f) * f);
    Scale(sets[2].colour, colours[1], std::min(m + 0.5f, 1.0f) * f);
    Scale(sets[3].colour, colours[2], std::min(m + 0.5f, 1.0f) * f);

    const float brake = g_LightSpriteInputs.brakeRamp ? g_LightSpriteInputs.brakeRamp(owner) : -1.0f;
    if (brake > 20.0f)
    {
        const float r = colours[1][0];
        sets[2].colour[0] = (r + (1.0f - r) * 0.01f * brake) * f;
        const float g = 1.0f + 0.002f * brake;
        for (unsigned i = 0; i < sets[2].spriteCount; ++i)
        {
            float* size = sets[2].pointSizes[i];
            if (size[0] != 0.0f || size[1] != 0.0f || size[2] != 0.0f)
            {
                size[0] = size[1] = sizes[1] * g;
                size[2] = sizes[1] * g / 2.0f;
            }
        }
    }
    for (int i = 1; i < 4; ++i)
        sets[i].Render();

    // The glare of the lamps faces forwards.
    const D3DXVECTOR3 eye = g_Views.Current()->eye;
    D3DXVECTOR3 e;
    owner->WorldToLocal(&e, &eye);
    const float length = D3DXVec3Length(&e);
    if (!(length > 0.0f))
        return;
    e /= length;
    if (!(e.z > 0.0f))
        return;
    Scale(sets[0].colour, colours[0], f * FrontGlareStrength(e.x, e.z) * (m + 0.5f));
    sets[0].Render();
}

void CDirectLightsEffect::RenderBeams()
{
    if (!owner || !(owner->cameraDistance <= SpriteDistance()))
        return;
    const float m = LightMoonIntensity();
    const float f = Fade(owner);
    if (!(m > 0.5f) || f == 0.0f)
        return;
    const float L = g_LightSpriteInputs.cellSize && std::isfinite(*g_LightSpriteInputs.cellSize)
                        ? *g_LightSpriteInputs.cellSize
                        : 1.0f;
    const D3DXVECTOR3 forward(owner->world._31, owner->world._32, owner->world._33);
    const D3DXVECTOR3 ahead =
        D3DXVECTOR3(owner->worldCentre[0], owner->worldCentre[1], owner->worldCentre[2]) + forward * (2.0f * L);
    if (!g_Views.Current()->SphereVisible(&ahead, 2.0f * L))
        return;
    const int lamps = PointsIn(owner, 1);
    if (lamps <= 0)
        return;

    D3DXVECTOR3 reach(0.0f, -0.1f, 1.0f);
    D3DXVec3Normalize(&reach, &reach);
    reach *= 2.0f * L;
    const D3DXMATRIX world(owner->world);
    const float base[3] = {colours[0][0] * (m - 0.5f) * f, colours[0][1] * (m - 0.5f) * f,
                           colours[0][2] * (m - 0.5f) * f};
    // One beam per lamp point, at most two: a single lamp gives one beam.
    const int beams = std::min(std::min(lamps, 2), (int)sets[0].spriteCount);
    for (int b = 0; b < beams; ++b)
    {
        const float* size = sets[0].pointSizes[b];
        if (size[0] == 0.0f && size[1] == 0.0f && size[2] == 0.0f)
            continue;
        const D3DXVECTOR3& local = owner->meshRecord->points[1][b];
        const D3DXVECTOR3 localEnd = local + reach;
        D3DXVECTOR3 S, E;
        D3DXVec3TransformCoord(&S, &local, &world);
        D3DXVec3TransformCoord(&E, &localEnd, &world);
        const D3DXVECTOR3 t = (E - S) / 20.0f;
        const D3DXVECTOR3 c0 = S + t / 2.0f;
        const D3DXVECTOR3 a = t / 10.0f;
        const D3DXVECTOR3 c = (E - c0) * 0.005f;
        BatchVertex* quads = beamVertices + 40 * b;
        for (int k = 0; k < 10; ++k)
        {
            const D3DXVECTOR3 centre = c0 + (a + c * (float)k) * (float)k;
            const float dim = 1.0f - 0.1f * (float)k;
            const DWORD colour = BatchColour(base[0] * dim, base[1] * dim, base[2] * dim, 1.0f);
            for (int n = 0; n < 4; ++n)
            {
                PutCentre(quads[4 * k + n], centre);
                quads[4 * k + n].colour = colour;
            }
        }
        g_Render.AddToBatch(quads, beamIndices + 60 * b, 40, 60);
    }
}

// ---------------------------------------------------------------------------

void CSpotsEffect::BuildBeams()
{
    const int points = PointsIn(owner, 3);
    if (points < 2 || beamCount > 0)
        return;   // a single point makes no pair
    beamCount = std::min((unsigned)points / 2, kMaxBeams);
    const D3DXVECTOR3* p = owner->meshRecord->points[3];
    const D3DXVECTOR3 first = p[1] - p[0];
    beamWidth = D3DXVec3Length(&first) * 0.3333f;
    vertices = new BatchVertex[3 * beamCount]();
    indices = new unsigned short[3 * beamCount]();
    for (unsigned i = 0; i < beamCount; ++i)
    {
        const D3DXVECTOR3 A = WorldPoint(owner, 3, 2 * (int)i), B = WorldPoint(owner, 3, 2 * (int)i + 1);
        BatchVertex* v = vertices + 3 * i;
        const float offsets[3] = {beamWidth, 0.0f, -beamWidth};
        // A level beam on a building turns about the depth axis instead.
        const bool level = owner->objectType == GTYPE_BUILDING && std::fabs(A.y - B.y) < 1.0f;
        for (int n = 0; n < 3; ++n)
        {
            v[n].x = offsets[n];
            v[n].u = kSpotUv[n][0];
            v[n].v = kSpotUv[n][1];
            PutCentre(v[n], n == 1 ? A : B);
            if (level)
                PutAxis(v[n], 0, 0, 1);
            else
                PutAxis(v[n], 0, 1, 0);
            indices[3 * i + n] = (unsigned short)(3 * i + n);
        }
    }
}

void CSpotsEffect::Render()
{
    if (!owner)
        return;
    const D3DXVECTOR3 centre(owner->worldCentre[0], owner->worldCentre[1], owner->worldCentre[2]);
    if (!g_Views.Current()->SphereVisible(&centre, 2.0f * owner->boundRadius))
        return;
    float limit = SpriteDistance();
    const bool vehicle = owner->objectType == GTYPE_VEHICLE;
    if (vehicle)
        limit *= kVehicleSpotShare;
    if (!(owner->cameraDistance <= limit))
        return;
    BuildBeams();
    if (beamCount == 0)
        return;
    const float f = Fade(owner);
    if (f == 0.0f)
        return;
    const bool follow = vehicle && PointsIn(owner, 3) >= (int)(2 * beamCount);
    const DWORD c = BatchColour(colour[0] * f, colour[1] * f, colour[2] * f, 1.0f);
    for (unsigned i = 0; i < beamCount; ++i)
    {
        BatchVertex* v = vertices + 3 * i;
        if (follow)
        {
            const D3DXVECTOR3 A = WorldPoint(owner, 3, 2 * (int)i), B = WorldPoint(owner, 3, 2 * (int)i + 1);
            PutCentre(v[0], B);
            PutCentre(v[1], A);
            PutCentre(v[2], B);
        }
        v[0].colour = v[1].colour = v[2].colour = c;
    }
    g_Render.AddToBatch(vertices, indices, 3 * beamCount, 3 * beamCount);
}
