#pragma once
// Dust puffs: camera-facing textured quads that drift, slow down, grow, turn
// slowly about the view direction and fade out. Wheels and falling riders
// emit them; the game updates them once per frame and draws them late in the
// main pass, sorted from far to near, with one draw.
#include "platform/d3d/D3D9.h"
#include "render/TextureManager.h"

struct BatchVertex;

class CDustParticle
{
public:
    void Spawn(const float position[3], const float velocity[3], float size, float life, float growth,
               const float colour[4]);

    int active;
    float position[3];
    float velocity[3];   // units per second
    float axis[3];       // unit up axis of the quad in the world
    float spin;          // turn rate of the axis
    float life;
    float age;
    float size;     // half size of the quad
    float growth;   // size added per second
    float cameraDistance;
    float startColour[4];
    float colour[4];   // as drawn this frame
};

class CDusts
{
public:
    enum
    {
        MAX_PARTICLES = 512
    };

    CDusts();
    int Create();
    void Emit(const float position[3], const float velocity[3], float size, float life, float growth,
              const float colour[4]);
    void Update();
    void Render();
    void Reset();
    void Release();

    TextureId texture;
    IDirect3DVertexBuffer9* vertexBuffer;   // four corners per particle
    IDirect3DIndexBuffer9* indexBuffer;     // six indices per particle
    CDustParticle* visibleParticles[MAX_PARTICLES];
    CDustParticle particles[MAX_PARTICLES];
    int liveCount;
    int visibleCount;

private:
    // 0 when the particle died (and nothing more was done to it).
    int Advance(CDustParticle& p, float dt);
    void WriteSortedQuads();
};

extern CDusts g_Dusts;
