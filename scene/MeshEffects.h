#pragma once
// Effect passes over other slots of an object's own mesh: chrome, reflective
// glass, self-illumination, light maps and the shadow caster. Each is a small
// mesh object owned by one CStaticObject; it shares the owner's mesh record
// without a reference of its own. Here: construction and the reading of their
// description lines; their passes are drawn in MeshEffectsDraw.cpp.
#include "render/MeshObject.h"

class CStaticObject;

// Most light-map textures one object holds (its texture entries).
#define MAX_LIGHT_MAPS 8

class CEffectMeshObject : public CMeshObject
{
public:
    CEffectMeshObject();

    // Set-up from the description (handle open at the line after the effect
    // line). Chrome reads nothing; glass reads a texture line with the
    // random-variant rule; self-illumination a texture line without it.
    void InitChrome(int handle, CStaticObject* owner);
    void InitGlass(int handle, CStaticObject* owner);
    void InitSelfIllum(int handle, CStaticObject* owner);
    // The shadow caster only records its owner (it uses the owner's record).
    void InitShadow(CStaticObject* owner);
    // Detaches the shared record and gives back the object's own textures.
    void Release();

    // Passes (MeshEffectsDraw.cpp), each drawn after its owner. Chrome: slot
    // 4 with the environment cube looked up by the reflection vector in world
    // axes. Glass: slot 3, the reflection plus the glass texture. Self-
    // illumination: slot 2 at full brightness. Each copies the owner's matrix
    // and fade and draws nothing unless EffectPassAllowed.
    void RenderChrome();
    void RenderGlass();
    void RenderSelfIllum();
    // The shadow caster: slot 11 of the owner (part currentPart, scaled as
    // the owner) into the shadow map, with the states the caller has set.
    // 1 when drawn; 0 without slot-11 parts, outside the shadow camera's
    // view, or for a motorcycle farther than 80.
    int RenderShadow();

    CStaticObject* owner;
};

class CLightMapsObject : public CEffectMeshObject
{
public:
    CLightMapsObject();

    // Count line, name line, colour line (short form). With a count of 1 the
    // name is the file; otherwise the one integer i + 1 is put in place of the
    // name's "%d" (or "%0Nd") for texture entry i. Counts are kept to 0..8.
    // A black colour is replaced by a random one scaled so its largest
    // channel is 1.
    void Load(int handle, CStaticObject* owner);
    // Adds slot 5 in the light colour (times the owner's fade) on top of
    // what is drawn, with texture entry textureFrame.
    void Render();

    float lightColour[4];
};

// What the effect passes read from the world drawn around them, which lives
// in a layer above this one: the moon's intensity (0 by day to 1 at night),
// which brightens chrome and glass reflections. The sky connects it; a null
// pointer reads as day.
struct MeshEffectInputs
{
    const float* moonIntensity;
};
extern MeshEffectInputs g_MeshEffectInputs;

// The gate of the chrome, glass, self-illumination and light-map passes: the
// owner is visible, no farther than the view distance (chrome: nor than
// 100), has a fade above 0, and, for a motorcycle, is not the on-board
// camera's own and is no farther than 0.3 x the view distance.
int EffectPassAllowed(const CStaticObject* owner, int chrome);
// The texture factor of chrome and glass: an opaque grey of
// (0.4 + 0.6 x moon intensity) x 255 in each channel.
DWORD ReflectionTint(float moonIntensity);

// Formats a light-map name: the first printf integer conversion of `pattern`
// ("%d", "%2d", "%02d", "%i") is replaced by `number`; every other character
// is copied as it stands ("%%" gives '%'). Never reads a printf argument, so
// a name from a file cannot make it read or write anything else.
void FormatNumberedName(char* out, int outSize, const char* pattern, int number);

// A random light colour for a black colour line: red, green and blue each one
// of 0.33, 0.66, 0.99 (three GameRand values, in that order), then scaled so
// the largest channel is 1; alpha 1.
void RandomLightColour(float colour[4]);

// A lit white material (diffuse and ambient 1) with a grey highlight of
// `specular` and power 16; everything else 0.
void SetShinyMaterial(D3DMATERIAL9* material, float specular);
