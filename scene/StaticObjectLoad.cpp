// Making an object from its description: mesh, textures, sounds, physics and
// effects; and giving it all back.
#include "scene/StaticObject.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/Keywords.h"
#include "core/DebugLog.h"
#include "core/FileManager.h"
#include "core/Settings.h"
#include "platform/os/Rand.h"
#include "scene/LightEffects.h"
#include "scene/MeshEffects.h"
#include "scene/ObjectPhysics.h"
#include "scene/RayPick.h"
#include "scene/SoundOwner.h"

namespace
{

// Descriptions written on the original development machine name their files
// with its absolute folder; only the part from "Data\" on is meaningful.
const char kDevelopmentFolder[] = "E:\\Projects\\Game\\Trallowmere\\Main Files\\Debug";

}   // namespace

int CStaticObject::Create(const char* name, int closeHandle, int vertexType, DWORD meshOptions, int optimize)
{
    if (!name)
        name = "";
    const char* start = name;
    if (std::strstr(name, kDevelopmentFolder))
    {
        const char* data = std::strstr(name, "Data\\");
        if (data)
            start = data;
    }
    std::strncpy(path, start, sizeof(path) - 1);
    path[sizeof(path) - 1] = '\0';
    for (char* p = path; *p; ++p)
        if (*p == '\\')
            *p = '/';

    const int handle = g_FileManager.Open(path, FILE_OBJECTS, nullptr);
    if (handle == -1)
    {
        ShowMessage("Create static object error!", "CStaticObject error!", MB_OK);
        return -1;
    }

    char line[DESCRIPTION_LINE_BUFFER];
    for (int i = 0; i < 3; ++i)
        ReadDescriptionLine(handle, line);
    ReadDescriptionLine(handle, line);
    objectClass = GetClassValue(DescriptionValue(line));
    ReadDescriptionLine(handle, line);
    objectType = GetTypeValue(DescriptionValue(line));
    ReadDescriptionLine(handle, line);

    if (objectClass == GCLASS_VEHICLE && objectType == GTYPE_VEHICLE)
    {
        ReadDescriptionLine(handle, line);
        if (vehicleName)
        {
            std::snprintf(vehicleName, VEHICLE_NAME_LENGTH, "%.63s", DescriptionValue(line));
        }
        ReadDescriptionLine(handle, line);
    }

    // Mesh, then texture with its random variant.
    if (ReadDescriptionLine(handle, line) && DescriptionValue(line)[0])
        SetMesh(DescriptionValue(line), vertexType, meshOptions, optimize);
    if (ReadDescriptionLine(handle, line) && DescriptionValue(line)[0])
    {
        ApplyTextureVariant(line);
        LoadTexture(0, DescriptionValue(line), 0);
    }

    // Effect pairs up to the "//--" line, or to the end of the file when a
    // description lacks it.
    for (;;)
    {
        if (!ReadDescriptionLine(handle, line))
            break;
        if (!ReadDescriptionLine(handle, line) || std::strstr(line, "//--"))
            break;
        switch (GetEffectValue(DescriptionValue(line)))
        {
        case GEFFECT_CHROME:
            if (chrome)
                chrome->Release();
            delete chrome;
            chrome = new CEffectMeshObject();
            chrome->InitChrome(handle, this);
            break;
        case GEFFECT_RGLASS:
            if (glass)
                glass->Release();
            delete glass;
            glass = new CEffectMeshObject();
            glass->InitGlass(handle, this);
            break;
        case GEFFECT_LIGHTMAPS:
            if (lightMaps)
                lightMaps->Release();
            delete lightMaps;
            lightMaps = new CLightMapsObject();
            lightMaps->Load(handle, this);
            break;
        case GEFFECT_SELFILLUM:
            if (selfIllum)
                selfIllum->Release();
            delete selfIllum;
            selfIllum = new CEffectMeshObject();
            selfIllum->InitSelfIllum(handle, this);
            break;
        case GEFFECT_LIGHTS:
            if (lights)
                lights->Free();
            delete lights;
            lights = new CLightsEffect();
            lights->Load(handle, this);
            break;
        case GEFFECT_DIRECTLIGHTS:
            if (directLights)
                directLights->Free();
            delete directLights;
            directLights = new CDirectLightsEffect();
            directLights->Load(handle, this);
            break;
        case GEFFECT_SPOTS:
            if (spots)
                spots->Free();
            delete spots;
            spots = new CSpotsEffect();
            spots->Load(handle, this);
            break;
        case GEFFECT_SHADOW:
            if (shadow)
                shadow->Release();
            delete shadow;
            shadow = new CEffectMeshObject();
            shadow->InitShadow(this);
            break;
        default:
            break;   // flames and unknown words make nothing and read nothing
        }
    }

    std::memset(&material, 0, sizeof(material));
    switch (objectType)
    {
    case GTYPE_STATIC:
    case GTYPE_FENCES:
    case GTYPE_STONE:
    case GTYPE_TREE:
    case GTYPE_BUILDING:
    case GTYPE_WHEEL:
    case GTYPE_HUMAN:
        material.Diffuse = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
        material.Ambient = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
        break;
    case GTYPE_VEHICLE:
        SetShinyMaterial(&material, 0.5f - 0.25f * (float)g_GlowOn);
        break;
    default:
        break;   // the extending code sets the fade of effect objects itself
    }

    if (closeHandle)
        g_FileManager.Close(handle);
    return handle;
}

void CStaticObject::LoadDescription(const char* name)
{
    const int handle = Create(name, 0, 0, 0x220, 1);
    if (handle == -1)
        return;
    if (objectType == GTYPE_FENCES)
    {
        char line[DESCRIPTION_LINE_BUFFER];
        if (ReadDescriptionLine(handle, line) && meshRecord)
            meshRecord->shapeKind = GetShapeTypeValue(DescriptionValue(line));
        if (ReadDescriptionLine(handle, line))
            mass = (float)std::atof(DescriptionValue(line));
    }
    g_FileManager.Close(handle);
}

void CStaticObject::Release()
{
    // A pooled sound must not go on following an object that is gone, nor
    // the picked-object record go on naming it.
    StopOwnedSounds(this);
    if (g_RayPickHooks.objectReleased)
        g_RayPickHooks.objectReleased(this);
    delete[] corners;
    corners = nullptr;
    RemoveBody();
    FreeMesh();
    ReleaseTextures();
    if (chrome)
    {
        chrome->Release();
        delete chrome;
        chrome = nullptr;
    }
    if (glass)
    {
        glass->Release();
        delete glass;
        glass = nullptr;
    }
    if (lightMaps)
    {
        lightMaps->Release();
        delete lightMaps;
        lightMaps = nullptr;
    }
    if (selfIllum)
    {
        selfIllum->Release();
        delete selfIllum;
        selfIllum = nullptr;
    }
    if (lights)
    {
        lights->Free();
        delete lights;
        lights = nullptr;
    }
    if (directLights)
    {
        directLights->Free();
        delete directLights;
        directLights = nullptr;
    }
    if (spots)
    {
        spots->Free();
        delete spots;
        spots = nullptr;
    }
    if (shadow)
    {
        shadow->Release();
        delete shadow;
        shadow = nullptr;
    }
}
