#pragma once
// The placed objects of the loaded area (buildings, walls, signs, fences and
// the like), at most 2048, in list order: read from the area's
// "StaticObjects.obj" and added by the road fences, kept up every frame with
// the buildings sorted nearest first among themselves, and drawn in passes by
// type mask. The list owns its objects.
//
// "StaticObjects.obj": three free lines, then records of four lines each: the
// description path at column 32 (a line holding "////" ends the list), the
// position and the target (a 32-character label, x in 8 characters, one
// separator, y in 8, one separator, z in the rest of the line), a free line.
class CStaticObject;

#define STATIC_OBJECTS_MAX         2048
// Most records read from one list, kept or left out.
#define STATIC_OBJECTS_READ_LIMIT  (4 * STATIC_OBJECTS_MAX)
// Game seconds between two sorts of the buildings by camera distance.
#define STATIC_OBJECTS_SORT_PERIOD 0.1f

// One record of the list file.
struct StaticObjectRecord
{
    char path[260];
    float position[3];
    float target[3];
};

// Reads the next record from the open list (after its three free lines).
// 1: a record was read; 0: the list ended ("////" or the end of the file).
// A record whose numbers are not finite, reach beyond any world or give the
// object no facing (target on its position or straight above or below it)
// is read and marked unusable (usable 0).
int ReadStaticObjectRecord(int handle, StaticObjectRecord* record, int* usable);

class CStaticObjectManager
{
public:
    CStaticObjectManager();

    // Once, from CGame::Create: the empty list; 1.
    int Create();
    // Reads "<areaPath>/StaticObjects.obj" (Objects pack) into the list. A
    // missing file leaves it empty without a message. Objects are numbered 1,
    // 2, 3 ... in list order; at most STATIC_OBJECTS_READ_LIMIT records are
    // read. A record whose description or mesh cannot be
    // had, or whose mesh has no main slot (or no device to make it on), is
    // left out: such an object has nothing to draw and no shape for a body.
    void LoadStaticObjects(const char* areaPath);
    // A new object read from its description, scaled when a scale is given,
    // placed and appended; null when the list is full or the object has
    // nothing to draw (see above).
    CStaticObject* AddObject(const char* path, const float pos[3], const float target[3], const float up[3],
                             const float scale[3]);
    // CStaticObject::Update of every object, then SortBuildings.
    void Update();
    // Every 0.1 s of game time: the buildings, nearest first, in the entries
    // the buildings hold; every other entry stays where it is.
    void SortBuildings();
    void UpdateVisibility();
    // Hides what buildings cover, after the visibility pass.
    void CheckOcclusion();
    // Draw passes: the objects whose type shares a bit with the mask, in list
    // order; nothing while g_ShowStaticObjects is 0.
    void Draw(int typeMask);
    void DrawChromeGlass(int typeMask);
    void DrawLightEffects(int typeMask);
    // Into the shadow map, with the shadow-map states set first.
    void DrawShadows(int typeMask);
    // The object nearest to `point` by the surface of its sphere, below
    // maxDistance, among the classes of classMask (-1: every class) and the
    // types of typeMask; null when none. Ties keep the earlier object.
    CStaticObject* FindNearest(int classMask, int typeMask, const float point[3], float maxDistance) const;
    // Every GCLASS_DYNAMIC object back at its placement, at rest.
    void ResetDynamic();
    // Frees and deletes every object.
    void Clear();
    void Release();

    CStaticObject* objects[STATIC_OBJECTS_MAX];
    unsigned int objectCount;
    float sortTimer;
    // Objects of the list that the last occlusion pass hid.
    unsigned int hiddenCount;

private:
    // Takes a new object into the list, or frees and deletes it when it has
    // nothing to draw; the object when kept.
    CStaticObject* Keep(CStaticObject* object);
};

extern CStaticObjectManager g_StaticObjects;
