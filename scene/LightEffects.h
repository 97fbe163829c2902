#pragma once
// Effects that draw light without geometry of their own: light sprites on a
// point set of the owner's mesh, a motorcycle's direct lights and spot beams.
// Here: construction and the reading of their description lines; the sprites,
// beams and their drawing are in LightSprite.cpp. None of them draws itself:
// each writes camera-facing quads or triangles into the render device's
// dynamic batch, drawn additively with one call after the scene.
#include "render/BatchVertex.h"

class CStaticObject;

class CLightsEffect
{
public:
    CLightsEffect();

    // Size line, colour line (short form), then either a line starting with
    // ">>>>" (only its first four characters are read here) or three number
    // lines whose values are not used. A black colour becomes the owner's
    // light-map colour normalised, or a random normalised colour.
    void Load(int handle, CStaticObject* owner);
    // Frees the arrays built for the sprites.
    void Free();
    // Builds the sprites once, one on every point of the owner's point set,
    // with the given corner offsets (or the stored size) and the light-atlas
    // cell (u0, u1, v0, v1; or the point-light cell). Nothing when the set is
    // empty or the sprites exist.
    void BuildSprites(int set, const float offsets[3], const float cell[4]);
    // Writes the sprites into the batch, larger on a far motorcycle.
    void Render();

    CStaticObject* owner;
    int pointSet;
    unsigned int spriteCount;
    float spriteSize[3];
    float (*pointSizes)[3];
    float colour[4];
    BatchVertex* vertices;
    unsigned short* indices;
};

class CDirectLightsEffect
{
public:
    CDirectLightsEffect();

    // Three pairs of a colour line (long form) and a size line; then the
    // four sprite sets and the two beams are built.
    void Load(int handle, CStaticObject* owner);
    void Free();
    // Builds the four sprite sets (front glare, lamps, brake lamps, a third
    // set) and the two beams of ten quads.
    void Build();
    // Per-frame colours by the moon, the brake flare and the drawing of the
    // four sets (the glare only when seen from the front).
    void Update();
    // The two night beams of a motorcycle's lamps.
    void RenderBeams();

    CStaticObject* owner;
    CLightsEffect sets[4];
    float colours[3][4];
    float sizes[3];
    BatchVertex beamVertices[80];   // two beams of ten quads
    unsigned short beamIndices[120];
};

class CSpotsEffect
{
public:
    CSpotsEffect();

    // Colour line (short form). A black colour becomes the owner's light-map
    // colour, else its lights' colour, else a random normalised colour.
    void Load(int handle, CStaticObject* owner);
    void Free();
    // One tapering triangle from each pair of points of point set 3, built
    // once; an odd last point is left out.
    void BuildBeams();
    // Writes the beams into the batch (they follow a motorcycle owner).
    void Render();

    CStaticObject* owner;
    unsigned int beamCount;
    float beamWidth;
    float colour[4];
    BatchVertex* vertices;
    unsigned short* indices;
};
