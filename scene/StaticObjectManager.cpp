// The placed-object list of the loaded area: reading the area's list file,
// the per-frame upkeep with the building sort, the draw passes by type mask,
// the nearest-object search and the reset of the movable objects.
#include "scene/StaticObjectManager.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/Keywords.h"
#include "core/Controls.h"
#include "core/FileManager.h"
#include "core/GameClock.h"
#include "render/D3DRender.h"
#include "render/LightManager.h"
#include "scene/StaticObject.h"

CStaticObjectManager g_StaticObjects;

namespace
{

// Columns of a position line: the label, x, a separator, y, a separator, z.
const int kXColumn = 32;
const int kYColumn = 41;
const int kZColumn = 50;
const int kNumberWidth = 8;
const int kLastWidth = 99;
// No world reaches this far; a number beyond it comes from a damaged list.
const float kLargestCoordinate = 100000.0f;

const float kUp[3] = {0.0f, 1.0f, 0.0f};

// The number in `width` characters of the line from `column` (0 past the end).
float NumberAt(const char* line, int column, int width)
{
    const int length = (int)std::strlen(line);
    if (column >= length)
        return 0.0f;
    char text[kLastWidth + 1];
    const int n = length - column < width ? length - column : width;
    std::memcpy(text, line + column, (size_t)n);
    text[n] = '\0';
    return (float)std::atof(text);
}

void ReadPoint(const char* line, float out[3])
{
    out[0] = NumberAt(line, kXColumn, kNumberWidth);
    out[1] = NumberAt(line, kYColumn, kNumberWidth);
    out[2] = NumberAt(line, kZColumn, kLastWidth);
}

bool Usable(const float v[3])
{
    for (int k = 0; k < 3; ++k)
        if (!std::isfinite(v[k]) || std::fabs(v[k]) > kLargestCoordinate)
            return false;
    return true;
}

bool Matches(const CStaticObject* o, int classMask, int typeMask)
{
    return (classMask == -1 || (o->objectClass & classMask)) && (o->objectType & typeMask);
}

}   // namespace

int ReadStaticObjectRecord(int handle, StaticObjectRecord* record, int* usable)
{
    char line[DESCRIPTION_LINE_BUFFER];
    *usable = 0;
    // A list that lacks its "////" line ends with the file.
    if (!ReadDescriptionLine(handle, line) || std::strstr(line, "////"))
        return 0;
    std::snprintf(record->path, sizeof(record->path), "%s", DescriptionValue(line));
    if (!ReadDescriptionLine(handle, line))
        return 0;
    ReadPoint(line, record->position);
    if (!ReadDescriptionLine(handle, line))
        return 0;
    ReadPoint(line, record->target);
    ReadDescriptionLine(handle, line);

    const float dx = record->target[0] - record->position[0];
    const float dz = record->target[2] - record->position[2];
    // Straight above or below (or on) its position the target gives no
    // facing about the vertical, and the object's matrix would collapse.
    *usable = Usable(record->position) && Usable(record->target) && dx * dx + dz * dz > 1e-8f;
    return 1;
}

CStaticObjectManager::CStaticObjectManager() : objectCount(0), sortTimer(10.0f), hiddenCount(0)
{
    for (CStaticObject*& o : objects)
        o = nullptr;
}

int CStaticObjectManager::Create()
{
    Clear();
    return 1;
}

CStaticObject* CStaticObjectManager::Keep(CStaticObject* object)
{
    const MeshRecord* record = object->meshRecord;
    if (!record || record->partCount[MESH_SLOT_MAIN] <= 0 || !record->meshes[MESH_SLOT_MAIN][0])
    {
        object->Free();
        delete object;
        return nullptr;
    }
    objects[objectCount++] = object;
    return object;
}

void CStaticObjectManager::LoadStaticObjects(const char* areaPath)
{
    char name[512];
    std::snprintf(name, sizeof(name), "%s/StaticObjects.obj", areaPath ? areaPath : "");
    const int handle = g_FileManager.Open(name, FILE_OBJECTS, nullptr);
    if (handle == -1)
        return;
    char line[DESCRIPTION_LINE_BUFFER];
    for (int i = 0; i < 3; ++i)
        ReadDescriptionLine(handle, line);

    // An entry of the Objects pack opened twice shares one read position,
    // which closing sets back to the start: a list that names itself as a
    // description would be read again from its top for ever. However many
    // objects are left out, the reading stops after this many records.
    int recordsLeft = STATIC_OBJECTS_READ_LIMIT;
    StaticObjectRecord record;
    int usable = 0;
    while (objectCount < STATIC_OBJECTS_MAX && recordsLeft-- > 0 && ReadStaticObjectRecord(handle, &record, &usable))
    {
        if (!usable)
            continue;
        CStaticObject* object = new CStaticObject();
        object->InitStatic();
        object->LoadDescription(record.path);
        // Placed only once it is known to be kept: placing builds its body.
        if (!Keep(object))
            continue;
        object->Place(record.position, record.target, kUp);
        object->objectNumber = (int)objectCount;
    }
    g_FileManager.Close(handle);
}

CStaticObject* CStaticObjectManager::AddObject(const char* path, const float pos[3], const float target[3],
                                               const float up[3], const float scale[3])
{
    if (objectCount >= STATIC_OBJECTS_MAX)
        return nullptr;
    CStaticObject* object = new CStaticObject();
    object->InitStatic();
    object->LoadDescription(path);
    if (scale)
        object->SetScale(scale[0], scale[1], scale[2]);
    if (!Keep(object))
        return nullptr;
    object->Place(pos, target, up);
    return object;
}

void CStaticObjectManager::Update()
{
    for (unsigned int i = 0; i < objectCount; ++i)
        objects[i]->Update();
    SortBuildings();
}

void CStaticObjectManager::SortBuildings()
{
    sortTimer += g_Clock.m_GameStep;
    if (sortTimer < STATIC_OBJECTS_SORT_PERIOD)
        return;
    sortTimer = 0.0f;
    for (unsigned int i = 0; i < objectCount; ++i)
    {
        if (objects[i]->objectType != GTYPE_BUILDING)
            continue;
        for (unsigned int j = i + 1; j < objectCount; ++j)
        {
            if (objects[j]->objectType == GTYPE_BUILDING && objects[i]->cameraDistance > objects[j]->cameraDistance)
            {
                CStaticObject* nearer = objects[j];
                objects[j] = objects[i];
                objects[i] = nearer;
            }
        }
    }
}

void CStaticObjectManager::UpdateVisibility()
{
    for (unsigned int i = 0; i < objectCount; ++i)
        objects[i]->UpdateVisibility();
}

void CStaticObjectManager::Draw(int typeMask)
{
    if (!g_ShowStaticObjects)
        return;
    for (unsigned int i = 0; i < objectCount; ++i)
        if (objects[i]->objectType & typeMask)
            objects[i]->DrawMain(0);
}

void CStaticObjectManager::DrawChromeGlass(int typeMask)
{
    if (!g_ShowStaticObjects)
        return;
    for (unsigned int i = 0; i < objectCount; ++i)
        if (objects[i]->objectType & typeMask)
            objects[i]->RenderChromeGlass();
}

void CStaticObjectManager::DrawLightEffects(int typeMask)
{
    if (!g_ShowStaticObjects)
        return;
    g_Render.SetFog(0);
    for (unsigned int i = 0; i < objectCount; ++i)
        if (objects[i]->objectType & typeMask)
            objects[i]->RenderLightEffects();
    // The light-map pass changes the fog colour.
    g_LightManager.ResetFogColor();
}

void CStaticObjectManager::DrawShadows(int typeMask)
{
    if (!g_ShowStaticObjects)
        return;
    g_Render.SetFog(0);
    g_Render.SetLighting(0);
    g_Render.SetZEnable(1);
    g_Render.SetZWrite(0);
    g_Render.SetAlphaBlend(0);
    g_Render.SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
    g_Render.SetStageColorOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(0, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    for (unsigned int i = 0; i < objectCount; ++i)
        if (objects[i]->objectType & typeMask)
            objects[i]->DrawShadowPart();
}

CStaticObject* CStaticObjectManager::FindNearest(int classMask, int typeMask, const float point[3],
                                                 float maxDistance) const
{
    CStaticObject* nearest = nullptr;
    float best = maxDistance;
    for (unsigned int i = 0; i < objectCount; ++i)
    {
        CStaticObject* o = objects[i];
        if (!Matches(o, classMask, typeMask))
            continue;
        const float dx = o->worldCentre[0] - point[0], dy = o->worldCentre[1] - point[1],
                    dz = o->worldCentre[2] - point[2];
        const float distance = std::sqrt(dx * dx + dy * dy + dz * dz) - o->boundRadius;
        if (distance < best)
        {
            best = distance;
            nearest = o;
        }
    }
    return nearest;
}

void CStaticObjectManager::ResetDynamic()
{
    for (unsigned int i = 0; i < objectCount; ++i)
    {
        if (objects[i]->objectClass != GCLASS_DYNAMIC)
            continue;
        float pos[3], target[3], up[3];
        objects[i]->InitPhysics(-1.0f, pos, target, up);
    }
}

void CStaticObjectManager::Clear()
{
    for (unsigned int i = 0; i < STATIC_OBJECTS_MAX; ++i)
    {
        if (!objects[i])
            continue;
        objects[i]->Free();
        delete objects[i];
        objects[i] = nullptr;
    }
    objectCount = 0;
    sortTimer = 10.0f;
    hiddenCount = 0;
}

void CStaticObjectManager::Release()
{
    Clear();
}
