#include "scene/MeshEffects.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/MathUtil.h"
#include "core/DebugLog.h"
#include "core/Settings.h"
#include "platform/os/Rand.h"
#include "scene/ObjectDescription.h"
#include "scene/StaticObject.h"

// A random light colour: each channel one of 0.33, 0.66, 0.99 (drawn red,
// green, blue), scaled so the largest is 1.
void RandomLightColour(float colour[4])
{
    D3DXCOLOR c;
    c.r = (float)(1 + GameRand() % 3) * 0.33f;
    c.g = (float)(1 + GameRand() % 3) * 0.33f;
    c.b = (float)(1 + GameRand() % 3) * 0.33f;
    c.a = 1.0f;
    D3DXCOLOR n;
    ColorNormalize(n, c);
    colour[0] = n.r;
    colour[1] = n.g;
    colour[2] = n.b;
    colour[3] = 1.0f;
}

void FormatNumberedName(char* out, int outSize, const char* pattern, int number)
{
    if (!out || outSize <= 0)
        return;
    int n = 0;
    int substituted = 0;
    auto put = [&](char c) {
        if (n < outSize - 1)
            out[n++] = c;
    };
    for (const char* p = pattern ? pattern : ""; *p; ++p)
    {
        if (*p != '%')
        {
            put(*p);
            continue;
        }
        if (p[1] == '%')
        {
            put('%');
            ++p;
            continue;
        }
        // A conversion: flags '0', a width of at most two digits, 'd' or 'i'.
        const char* q = p + 1;
        int zeroPad = 0;
        if (*q == '0')
        {
            zeroPad = 1;
            ++q;
        }
        int width = 0;
        int digits = 0;
        while (*q >= '0' && *q <= '9' && digits < 2)
        {
            width = width * 10 + (*q - '0');
            ++q;
            ++digits;
        }
        if (!substituted && (*q == 'd' || *q == 'i'))
        {
            char text[32];
            std::snprintf(text, sizeof(text), zeroPad ? "%0*d" : "%*d", width, number);
            for (const char* t = text; *t; ++t)
                put(*t);
            substituted = 1;
            p = q;
            continue;
        }
        put('%');   // anything else is copied as written
    }
    out[n] = '\0';
}

void SetShinyMaterial(D3DMATERIAL9* material, float specular)
{
    std::memset(material, 0, sizeof(*material));
    material->Diffuse = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
    material->Ambient = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
    material->Specular = D3DCOLORVALUE{specular, specular, specular, 1.0f};
    material->Power = 16.0f;
}

// ---------------------------------------------------------------------------

CEffectMeshObject::CEffectMeshObject() : owner(nullptr) {}

void CEffectMeshObject::InitChrome(int, CStaticObject* o)
{
    owner = o;
    meshRecord = o ? o->meshRecord : nullptr;
    SetShinyMaterial(&material, 1.0f - 0.5f * (float)g_GlowOn);
}

void CEffectMeshObject::InitGlass(int handle, CStaticObject* o)
{
    owner = o;
    meshRecord = o ? o->meshRecord : nullptr;
    char line[DESCRIPTION_LINE_BUFFER];
    if (ReadDescriptionLine(handle, line) && DescriptionValue(line)[0])
    {
        ApplyTextureVariant(line);
        LoadTexture(0, DescriptionValue(line), 0);
    }
    SetShinyMaterial(&material, 0.5f - 0.25f * (float)g_GlowOn);
}

void CEffectMeshObject::InitSelfIllum(int handle, CStaticObject* o)
{
    owner = o;
    meshRecord = o ? o->meshRecord : nullptr;
    char line[DESCRIPTION_LINE_BUFFER];
    if (ReadDescriptionLine(handle, line) && DescriptionValue(line)[0])
        LoadTexture(0, DescriptionValue(line), 0);
    std::memset(&material, 0, sizeof(material));
    material.Diffuse = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
    material.Emissive = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
}

void CEffectMeshObject::InitShadow(CStaticObject* o)
{
    owner = o;
}

void CEffectMeshObject::Release()
{
    // The record is the owner's: detach it so that nothing gives it back twice.
    meshRecord = nullptr;
    ReleaseTextures();
}

// ---------------------------------------------------------------------------

CLightMapsObject::CLightMapsObject()
{
    lightColour[0] = lightColour[1] = lightColour[2] = lightColour[3] = 1.0f;
}

void CLightMapsObject::Load(int handle, CStaticObject* o)
{
    owner = o;
    meshRecord = o ? o->meshRecord : nullptr;
    char line[DESCRIPTION_LINE_BUFFER];
    ReadDescriptionLine(handle, line);
    int count = std::atoi(DescriptionValue(line));
    if (count > MAX_LIGHT_MAPS)
    {
        Log("Light maps: %d named, the first 8 kept", &count);
        count = MAX_LIGHT_MAPS;
    }
    if (count < 0)
        count = 0;
    ReadDescriptionLine(handle, line);
    char name[DESCRIPTION_LINE_BUFFER];
    std::snprintf(name, sizeof(name), "%s", DescriptionValue(line));
    for (int i = 0; i < count; ++i)
    {
        if (count == 1)
        {
            LoadTexture(i, name, 0);
        }
        else
        {
            char numbered[DESCRIPTION_LINE_BUFFER];
            FormatNumberedName(numbered, sizeof(numbered), name, i + 1);
            LoadTexture(i, numbered, 0);
        }
    }
    ReadColorLine(handle, lightColour, 0);
    lightColour[3] = 1.0f;
    if ((lightColour[0] + lightColour[1] + lightColour[2]) / 3.0f == 0.0f)
        RandomLightColour(lightColour);
    std::memset(&material, 0, sizeof(material));
    material.Emissive = D3DCOLORVALUE{lightColour[0], lightColour[1], lightColour[2], lightColour[3]};
}
