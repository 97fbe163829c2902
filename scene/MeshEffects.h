#pragma once
// Effect passes over other slots of an object's own mesh: chrome, reflective
// glass, self-illumination, light maps and the shadow caster. Each is a small
// mesh object owned by one CStaticObject; it shares the owner's mesh record
// without a reference of its own. Here: construction and the reading of their
// description lines; the passes are drawn elsewhere.
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

    float lightColour[4];
};

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
