#pragma once
// Skid marks: textured ribbons laid on the ground behind a skidding wheel,
// brown on earth, grey in winter, dark on the road, fading out 4 to 8 seconds
// after they were started. A motorcycle opens a strip for a wheel, keeps it in
// its trail entry for that wheel, adds points while the wheel skids and ends
// it; the game ages the strips every frame and draws them after the terrain.
#include "platform/d3d/D3D9.h"
#include "render/TextureManager.h"

class CVehicleObject;
class CSkidStrip;

// What the marks need from the ground and from the motorcycles, which live in
// higher layers: ConnectWorldLinks (ground, road) and ConnectRacersLinks
// (owners). Unset, the ground is flat at height 0 with no road, and owners
// have no side or trail.
struct SkidHooks
{
    float (*groundHeight)(const float position[3]) = nullptr;
    float (*routePower)(const float position[3]) = nullptr;   // 0..100
    // Row 0 of the owner's matrix.
    void (*ownerSide)(const CVehicleObject* owner, float side[3]) = nullptr;
    // Clears the owner's trail entry that points at `strip`, if any.
    void (*releaseOwner)(CVehicleObject* owner, const CSkidStrip* strip) = nullptr;
};
extern SkidHooks g_SkidHooks;

struct SkidVertex
{
    float x, y, z;
    DWORD colour;   // ARGB
    float u, v;
};

class CSkidStrip
{
public:
    enum
    {
        MAX_POINTS = 128
    };

    // 1 when a pair was added, 0 when refused.
    int AddPoint(const float point[3], float intensity);
    void End();
    void Clear();

    int used;
    CVehicleObject* owner;                     // null once ended
    float age;                                 // seconds since the strip was opened
    float length;                              // path length so far
    SkidVertex skidVertices[2 * MAX_POINTS];   // left, right of each point
    int intensities[MAX_POINTS];               // alpha byte of each point
    int pointCount;
};

// What became of the strips since the skid marks were created: a race's
// figures for the headless runs and the benchmarks.
struct SkidStats
{
    int opened = 0;              // strips handed to a wheel
    int refused = 0;             // requests refused because every strip was in use
    int retired = 0;             // strips freed again (expired or cleared)
    int shown = 0;               // of those, strips that had a point to show between their ends
    float longestStrip = 0.0f;   // the longest strip freed, along its points
};

class CWheelSkids
{
public:
    enum
    {
        MAX_STRIPS = 128
    };

    CWheelSkids();
    int Create();
    // The first free strip, opened for `owner`; null when all are in use.
    CSkidStrip* NewStrip(CVehicleObject* owner);
    void Update();
    void Render();
    void Reset();
    void Release();

    CSkidStrip strips[MAX_STRIPS];
    TextureId texture;
    SkidStats stats;

private:
    // Frees a strip, counting it when it was in use.
    void Retire(CSkidStrip& strip);
};

extern CWheelSkids g_Skids;
