#include "scene/Dusts.h"

#include <cmath>
#include <cstring>

#include "common/MathUtil.h"
#include "core/GameClock.h"
#include "platform/os/Rand.h"
#include "render/BatchVertex.h"
#include "render/D3DRender.h"
#include "render/Views.h"

CDusts g_Dusts;

namespace
{
const char kTexturePath[] = "Data/Effects/Dusts/Dusts.dds";
const float kRemoveDistance = 100.0f;
const float kFadeDistance = 75.0f;

// Corner signs and texture coordinates of one quad, in vertex order.
const float kCornerSign[4][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
const float kCornerUV[4][2] = {{0.001f, 0.001f}, {0.001f, 0.999f}, {0.999f, 0.001f}, {0.999f, 0.999f}};
const uint16_t kQuadIndices[6] = {0, 1, 2, 2, 1, 3};

void WriteQuad(BatchVertex* v, const float offsetSize, const float centre[3], const float axis[3], DWORD colour)
{
    for (int c = 0; c < 4; ++c)
    {
        v[c].x = kCornerSign[c][0] * offsetSize;
        v[c].y = kCornerSign[c][1] * offsetSize;
        v[c].z = offsetSize * 0.5f;
        v[c].colour = colour;
        std::memcpy(v[c].centre, centre, sizeof(v[c].centre));
        std::memcpy(v[c].axis, axis, sizeof(v[c].axis));
    }
}
}   // namespace

void CDustParticle::Spawn(const float pos[3], const float vel[3], float sz, float lifeTime, float grow,
                          const float rgba[4])
{
    active = 1;
    for (int k = 0; k < 3; ++k)
    {
        position[k] = pos[k];
        velocity[k] = vel[k];
    }
    size = sz;
    life = lifeTime;
    growth = grow;
    age = 0.0f;

    // The game's own generator, in this order: spin, colour, axis.
    float x = float(GameRand() % 601) * 0.001f - 0.3f;
    spin = x >= 0.0f ? x + 0.2f : x - 0.2f;

    const float j = float(GameRand() % 101) * 0.002f;
    D3DXCOLOR c(rgba[0] + j, rgba[1] + j, rgba[2] + j, rgba[3]);
    const float largest = std::fmax(c.r, std::fmax(c.g, c.b));
    if (largest > 1.0f)
    {
        c.r /= largest;
        c.g /= largest;
        c.b /= largest;
    }
    startColour[0] = colour[0] = c.r;
    startColour[1] = colour[1] = c.g;
    startColour[2] = colour[2] = c.b;
    startColour[3] = colour[3] = rgba[3];

    float ax = 0.0f, ay = 0.0f;
    do
    {
        ax = float(GameRand() % 10001 - 5000);
        ay = float(GameRand() % 10001 - 5000);
    } while (ax == 0.0f && ay == 0.0f);
    const float length = std::sqrt(ax * ax + ay * ay);
    axis[0] = ax / length;
    axis[1] = ay / length;
    axis[2] = 0.0f;
}

CDusts::CDusts()
    : texture(-1), vertexBuffer(nullptr), indexBuffer(nullptr), visibleParticles(), particles(), liveCount(0),
      visibleCount(0)
{}

int CDusts::Create()
{
    texture = g_Render.LoadTexture(kTexturePath, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    IDirect3DDevice9* device = g_Render.device;
    if (device)
    {
        device->CreateVertexBuffer(MAX_PARTICLES * 4 * sizeof(BatchVertex), D3DUSAGE_WRITEONLY, BATCH_FVF,
                                   D3DPOOL_MANAGED, &vertexBuffer, nullptr);
        device->CreateIndexBuffer(MAX_PARTICLES * 6 * sizeof(uint16_t), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                  D3DPOOL_MANAGED, &indexBuffer, nullptr);
    }
    void* data = nullptr;
    if (vertexBuffer && SUCCEEDED(vertexBuffer->Lock(0, 0, &data, 0)) && data)
    {
        BatchVertex* v = static_cast<BatchVertex*>(data);
        const float centre[3] = {0, 0, 0};
        const float up[3] = {0, 1, 0};
        for (int q = 0; q < MAX_PARTICLES; ++q)
        {
            WriteQuad(v + 4 * q, 1.0f, centre, up, 0xFFFFFFFF);
            for (int c = 0; c < 4; ++c)
            {
                v[4 * q + c].u = kCornerUV[c][0];
                v[4 * q + c].v = kCornerUV[c][1];
            }
        }
        vertexBuffer->Unlock();
    }
    data = nullptr;
    if (indexBuffer && SUCCEEDED(indexBuffer->Lock(0, 0, &data, 0)) && data)
    {
        uint16_t* i = static_cast<uint16_t*>(data);
        for (int q = 0; q < MAX_PARTICLES; ++q)
            for (int k = 0; k < 6; ++k)
                i[6 * q + k] = uint16_t(4 * q + kQuadIndices[k]);
        indexBuffer->Unlock();
    }
    liveCount = visibleCount = 0;
    return 1;
}

void CDusts::Emit(const float position[3], const float velocity[3], float size, float life, float growth,
                  const float colour[4])
{
    if (liveCount >= MAX_PARTICLES)
        return;
    particles[liveCount].Spawn(position, velocity, size, life, growth, colour);
    ++liveCount;
}

int CDusts::Advance(CDustParticle& p, float dt)
{
    p.age += dt;
    if (p.age >= p.life)
        return 0;
    for (int k = 0; k < 3; ++k)
        p.position[k] += p.velocity[k] * dt;
    const float drag = std::fmax(0.0f, 1.0f - dt);
    for (int k = 0; k < 3; ++k)
        p.velocity[k] *= drag;
    p.size += p.growth * dt;

    const CCamera* camera = g_Views.Current();
    const D3DXVECTOR3 centre(p.position[0], p.position[1], p.position[2]);
    if (!camera->SphereVisible(&centre, p.size))
        return 1;

    const float half = p.life * 0.5f;
    float fade = p.age < half ? 1.0f : 1.0f - (p.age - half) / half;

    const float d = std::fmax(0.0f, VecDistance(centre, camera->eye) - p.size * 0.5f);
    p.cameraDistance = d;
    if (d > kRemoveDistance)
        return 0;
    if (d > kFadeDistance)
        fade *= 1.0f - (d - kFadeDistance) * 0.04f;
    if (p.size > d)
        fade *= d / p.size;

    for (int k = 0; k < 3; ++k)
        p.colour[k] = p.startColour[k];
    p.colour[3] = p.startColour[3] * fade;
    if (fade == 0.0f)
        return 0;

    // The axis turns about the line to the eye. On that line itself the frame
    // has no side: the axis then stays as it is rather than turn into NaN.
    D3DXMATRIX frame;
    const D3DXVECTOR3 axis(p.axis[0], p.axis[1], p.axis[2]);
    MatrixFromPosTargetUp(frame, centre, camera->eye, axis);
    const D3DXVECTOR3 side(frame._11, frame._12, frame._13), up(frame._21, frame._22, frame._23);
    if (VecLength(side) > 0.5f && VecLength(up) > 0.5f)
    {
        const float theta = p.spin * dt * 5.0f;
        const D3DXVECTOR3 turned = up * std::cos(theta) - side * std::sin(theta);
        p.axis[0] = turned.x;
        p.axis[1] = turned.y;
        p.axis[2] = turned.z;
    }
    visibleParticles[visibleCount++] = &p;
    return 1;
}

void CDusts::Update()
{
    const float dt = g_Clock.m_GameStep;
    visibleCount = 0;
    for (int i = 0; i < liveCount;)
    {
        if (Advance(particles[i], dt))
        {
            ++i;
            continue;
        }
        // The last live particle takes the slot and is advanced in its place.
        --liveCount;
        if (i != liveCount)
            particles[i] = particles[liveCount];
        particles[liveCount].active = 0;
    }
    if (visibleCount > 0)
        WriteSortedQuads();
}

void CDusts::WriteSortedQuads()
{
    void* data = nullptr;
    BatchVertex* v = nullptr;
    if (vertexBuffer && SUCCEEDED(vertexBuffer->Lock(0, 0, &data, D3DLOCK_DISCARD)) && data)
        v = static_cast<BatchVertex*>(data);
    for (int i = 0; i < visibleCount; ++i)
    {
        for (int j = i + 1; j < visibleCount; ++j)
            if (visibleParticles[j]->cameraDistance > visibleParticles[i]->cameraDistance)
            {
                CDustParticle* t = visibleParticles[i];
                visibleParticles[i] = visibleParticles[j];
                visibleParticles[j] = t;
            }
        if (v)
        {
            const CDustParticle& p = *visibleParticles[i];
            WriteQuad(v + 4 * i, p.size, p.position, p.axis,
                      BatchColour(p.colour[0], p.colour[1], p.colour[2], p.colour[3]));
        }
    }
    if (v)
        vertexBuffer->Unlock();
}

void CDusts::Render()
{
    if (!g_Render.vs11 || !g_Render.device)
        return;
    g_Render.SetTechnique("techDirectVertex");
    D3DXMATRIX viewProj;
    g_Views.Current()->GetViewProj(&viewProj);
    if (g_Render.effect)
        g_Render.effect->SetMatrix("matViewProj", &viewProj);
    g_Render.SetZEnable(1);
    g_Render.SetZWrite(0);
    g_Render.SetLighting(0);
    g_Render.SetAlphaBlend(1);
    g_Render.SetBlend(D3DBLEND_ONE, D3DBLEND_ONE);
    g_Render.device->SetFVF(BATCH_FVF);
    g_Render.device->SetIndices(indexBuffer);
    if (visibleCount == 0 || !vertexBuffer || !indexBuffer)
        return;
    g_Render.SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    g_Render.SetEffectTexture("texBaseMap1", g_Render.GetTexture(texture));
    g_Render.device->SetStreamSource(0, vertexBuffer, 0, sizeof(BatchVertex));
    // The technique turns each quad to the eye, but its winding then depends
    // on the axis: both sides are drawn.
    g_Render.SetCullMode(D3DCULL_NONE);
    if (g_Render.effect)
    {
        UINT passes = 0;
        g_Render.effect->Begin(&passes, 0);
        g_Render.effect->BeginPass(0);
        g_Render.device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, UINT(4 * visibleCount), 0,
                                              UINT(2 * visibleCount));
        g_Render.effect->EndPass();
        g_Render.effect->End();
    }
    g_Render.RestoreCullMode();
    g_Render.CountFaces(2 * visibleCount);
}

void CDusts::Reset()
{
    liveCount = visibleCount = 0;
    std::memset(static_cast<void*>(particles), 0, sizeof(particles));
    for (CDustParticle*& p : visibleParticles)
        p = nullptr;
}

void CDusts::Release()
{
    if (texture != -1)
        g_Render.ReleaseTexture(texture);
    texture = -1;
    if (vertexBuffer)
        vertexBuffer->Release();
    if (indexBuffer)
        indexBuffer->Release();
    vertexBuffer = nullptr;
    indexBuffer = nullptr;
    Reset();
}
