#include "scene/LightEffects.h"

#include <cstdlib>
#include <cstring>

#include "common/MathUtil.h"
#include "core/FileManager.h"
#include "scene/MeshEffects.h"
#include "scene/ObjectDescription.h"
#include "scene/StaticObject.h"

namespace
{

int IsBlack(const float c[4])
{
    return (c[0] + c[1] + c[2]) / 3.0f == 0.0f;
}

void CopyColour(float out[4], const float in[4])
{
    for (int k = 0; k < 4; ++k)
        out[k] = in[k];
}

}   // namespace

CLightsEffect::CLightsEffect()
    : owner(nullptr), pointSet(0), spriteCount(0), pointSizes(nullptr), vertices(nullptr), indices(nullptr)
{
    spriteSize[0] = spriteSize[1] = spriteSize[2] = 0.0f;
    colour[0] = colour[1] = colour[2] = colour[3] = 1.0f;
}

void CLightsEffect::Load(int handle, CStaticObject* o)
{
    owner = o;
    char line[DESCRIPTION_LINE_BUFFER];
    ReadDescriptionLine(handle, line);
    const float s = (float)std::atof(DescriptionValue(line));
    spriteSize[0] = s;
    spriteSize[1] = s;
    spriteSize[2] = s / 4.0f;

    ReadColorLine(handle, colour, 0);
    colour[3] = 1.0f;
    if (IsBlack(colour))
    {
        if (o && o->lightMaps)
        {
            D3DXCOLOR c(o->lightMaps->lightColour), n;
            ColorNormalize(n, c);
            colour[0] = n.r;
            colour[1] = n.g;
            colour[2] = n.b;
            colour[3] = 1.0f;
        }
        else
        {
            RandomLightColour(colour);
        }
    }

    // Either a ">>>>" line, whose rest the description reader takes as the
    // free line of the next pair, or three number lines (not used) whose first
    // label starts with the four characters just read.
    char head[8];
    if (!g_FileManager.ReadLine(head, 5, handle))
        return;
    if (std::strstr(head, ">>>>"))
        return;
    const int headLength = (int)std::strlen(head);
    if (headLength == 4)
        ReadDescriptionLine(handle, line);   // the rest of the first number line
    ReadDescriptionLine(handle, line);
    ReadDescriptionLine(handle, line);
}

void CLightsEffect::Free()
{
    delete[] pointSizes;
    pointSizes = nullptr;
    delete[] vertices;
    vertices = nullptr;
    delete[] indices;
    indices = nullptr;
    spriteCount = 0;
}

// ---------------------------------------------------------------------------

CDirectLightsEffect::CDirectLightsEffect() : owner(nullptr)
{
    for (int i = 0; i < 3; ++i)
    {
        colours[i][0] = colours[i][1] = colours[i][2] = colours[i][3] = 1.0f;
        sizes[i] = 0.0f;
    }
    std::memset(beamVertices, 0, sizeof(beamVertices));
    std::memset(beamIndices, 0, sizeof(beamIndices));
}

void CDirectLightsEffect::Load(int handle, CStaticObject* o)
{
    owner = o;
    char line[DESCRIPTION_LINE_BUFFER];
    for (int i = 0; i < 3; ++i)
    {
        ReadColorLine(handle, colours[i], 1);
        colours[i][3] = 1.0f;
        ReadDescriptionLine(handle, line);
        sizes[i] = (float)std::atof(DescriptionValue(line));
    }
    for (int i = 0; i < 4; ++i)
    {
        sets[i].owner = o;
        sets[i].colour[0] = sets[i].colour[1] = sets[i].colour[2] = sets[i].colour[3] = 0.0f;
    }
    Build();
}

void CDirectLightsEffect::Free()
{
    for (int i = 0; i < 4; ++i)
        sets[i].Free();
}

// ---------------------------------------------------------------------------

CSpotsEffect::CSpotsEffect() : owner(nullptr), beamCount(0), beamWidth(0.0f), vertices(nullptr), indices(nullptr)
{
    colour[0] = colour[1] = colour[2] = colour[3] = 1.0f;
}

void CSpotsEffect::Load(int handle, CStaticObject* o)
{
    owner = o;
    ReadColorLine(handle, colour, 0);
    colour[3] = 1.0f;
    if (IsBlack(colour))
    {
        if (o && o->lightMaps)
            CopyColour(colour, o->lightMaps->lightColour);
        else if (o && o->lights)
            CopyColour(colour, o->lights->colour);
        else
            RandomLightColour(colour);
    }
}

void CSpotsEffect::Free()
{
    delete[] vertices;
    vertices = nullptr;
    delete[] indices;
    indices = nullptr;
    beamCount = 0;
}
