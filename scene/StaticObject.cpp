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

int g_ObjectCounter = 0;

namespace
{

// Descriptions written on the original development machine name their files
// with its absolute folder; only the part from "Data\" on is meaningful.
const char kDevelopmentFolder[] = "E:\\Projects\\Game\\Trallowmere\\Main Files\\Debug";

}   // namespace

// ---------------------------------------------------------------------------
// Line reading

const char* DescriptionValue(const char* line)
{
    if (!line || std::strlen(line) <= DESCRIPTION_LABEL_COLUMN)
        return "";
    return line + DESCRIPTION_LABEL_COLUMN;
}

int ReadDescriptionLine(int handle, char* buffer)
{
    return g_FileManager.ReadLine(buffer, DESCRIPTION_LINE_LIMIT, handle);
}

void ApplyTextureVariant(char* line)
{
    char* percent = line ? std::strchr(line, '%') : nullptr;
    if (!percent)
        return;
    // One random number per variant line, whatever follows the sign, so the
    // sequence of later draws does not depend on how the line is written.
    const int r = GameRand();
    const char digit = percent[1];
    if (digit < '1' || digit > '9')
        return;
    const int count = digit - '0';
    percent[0] = '0';
    percent[1] = (char)('1' + r % count);
}

int ReadColorLine(int handle, float colour[4], int longForm)
{
    // Fixed columns: label, then three components each followed by one
    // separator. A piece that comes back shorter than asked met the end of
    // the line, which ends the colour there (missing components stay 0).
    static const int kPieces[6] = {32, 3, 1, 3, 1, 3};
    char piece[DESCRIPTION_LINE_BUFFER];
    float components[3] = {0.0f, 0.0f, 0.0f};
    int lineEnded = 0;
    for (int i = 0; i < 6 && !lineEnded; ++i)
    {
        if (!g_FileManager.ReadLine(piece, kPieces[i] + 1, handle))
            return 0;
        if ((int)std::strlen(piece) < kPieces[i])
            lineEnded = 1;
        if (i == 1 || i == 3 || i == 5)
            components[i / 2] = (float)std::atof(piece) / 255.0f;
    }
    if (!lineEnded)
    {
        // Short form: the one separator after the third component (normally
        // the line break itself); long form: the rest of the line.
        g_FileManager.ReadLine(piece, longForm ? DESCRIPTION_LINE_LIMIT : 2, handle);
    }
    colour[0] = components[0];
    colour[1] = components[1];
    colour[2] = components[2];
    colour[3] = 1.0f;
    return 1;
}

// ---------------------------------------------------------------------------
// CStaticObject

CStaticObject::CStaticObject()
    : vehicleName(nullptr), objectClass(0), objectType(0), objectNumber(g_ObjectCounter++), cameraDistance(0.0f),
      visible(0), inShadow(0), touched(0), inWorld(0), corners(nullptr), chrome(nullptr), glass(nullptr),
      lightMaps(nullptr), selfIllum(nullptr), lights(nullptr), directLights(nullptr), spots(nullptr), shadow(nullptr),
      body(nullptr), mass(0.0f), lastImpactSoundTime(0)
{
    path[0] = '\0';
    std::memset(&placement, 0, sizeof(placement));
    placement._11 = placement._22 = placement._33 = placement._44 = 1.0f;
    for (int k = 0; k < 3; ++k)
    {
        worldCentre[k] = 0.0f;
        massCentreOffset[k] = 0.0f;
        linearVelocity[k] = 0.0f;
        angularVelocity[k] = 0.0f;
    }
}

void CStaticObject::InitStatic()
{
    objectClass = GCLASS_STATIC;
    objectType = 0;
}

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

void CStaticObject::SetScale(float x, float y, float z)
{
    scale[0] = x;
    scale[1] = y;
    scale[2] = z;
    useScale = (x == 1.0f && y == 1.0f && z == 1.0f) ? 0 : 1;
    boundCentre[0] *= x;
    boundCentre[1] *= y;
    boundCentre[2] *= z;
    float largest = x;
    if (y > largest)
        largest = y;
    if (z > largest)
        largest = z;
    boundRadius *= largest;
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

void CStaticObject::RemoveBody()
{
    if (!body)
        return;
    DestroyBody(body);
    body = nullptr;
    inWorld = 0;
}
