#include "world/NatureManager.h"

#include <cstring>

#include "core/DebugLog.h"
#include "core/GameClock.h"
#include "core/RaceState.h"
#include "render/D3DRender.h"
#include "world/LandPart.h"

CNatureManager g_Nature;
float g_NatureTimer = 0.0f;

namespace
{

template <class T>
void ReleaseBuffer(T*& buffer)
{
    if (buffer)
        buffer->Release();
    buffer = nullptr;
}

// Appends `count` items of `from` at `to` + `at`; nothing to copy for an
// object that has none (its array may be null).
template <class T>
void Append(T* to, int at, const T* from, int count)
{
    if (count > 0 && from)
        std::memcpy(to + at, from, sizeof(T) * (size_t)count);
}

template <class T>
void FreeArray(T*& array)
{
    delete[] array;
    array = nullptr;
}

D3DCOLORVALUE Colour(float r, float g, float b, float a)
{
    D3DCOLORVALUE c;
    c.r = r;
    c.g = g;
    c.b = b;
    c.a = a;
    return c;
}

IDirect3DIndexBuffer9* MakeIndexBuffer(const uint16_t* indices, int count)
{
    IDirect3DDevice9* device = g_Render.device;
    IDirect3DIndexBuffer9* buffer = nullptr;
    if (!device || count <= 0)
        return nullptr;
    const UINT bytes = (UINT)count * sizeof(uint16_t);
    if (FAILED(
            device->CreateIndexBuffer(bytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &buffer, nullptr)) ||
        !buffer)
        return nullptr;
    void* data = nullptr;
    if (SUCCEEDED(buffer->Lock(0, 0, &data, 0)) && data)
    {
        std::memcpy(data, indices, bytes);
        buffer->Unlock();
    }
    return buffer;
}

IDirect3DVertexBuffer9* MakeVertexBuffer(const void* vertices, int count, int stride, DWORD fvf)
{
    IDirect3DDevice9* device = g_Render.device;
    IDirect3DVertexBuffer9* buffer = nullptr;
    if (!device || count <= 0)
        return nullptr;
    const UINT bytes = (UINT)count * (UINT)stride;
    if (FAILED(device->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, fvf, D3DPOOL_MANAGED, &buffer, nullptr)) ||
        !buffer)
        return nullptr;
    void* data = nullptr;
    if (SUCCEEDED(buffer->Lock(0, 0, &data, 0)) && data)
    {
        std::memcpy(data, vertices, bytes);
        buffer->Unlock();
    }
    return buffer;
}

// Removes entry `index` of a list of `count`, keeping the order.
template <class T>
void CloseGap(T** list, int& count, int index)
{
    for (int i = index; i + 1 < count; ++i)
        list[i] = list[i + 1];
    --count;
    list[count] = nullptr;
}

// Frees the objects of a stone or tree field; a grass field holds none (its
// clumps go when the geometry is packed).
template <class Field>
void FreeObjects(Field* f)
{
    for (int i = 0; i < f->objectCount; ++i)
    {
        f->objects[i]->FreeGeometry();
        f->objects[i]->Release();
        delete f->objects[i];
    }
    delete[] f->objects;
    f->objects = nullptr;
    f->objectCount = 0;
}

void FreeObjects(GrassField*) {}

// Frees the fields of `part` in a list (all of them without a part) with
// their objects, forgetting the open field if it is one of them.
template <class Field>
void FreeFields(Field** list, int& count, Field*& open, const CLandPart* part)
{
    for (int i = count - 1; i >= 0; --i)
    {
        if (part && list[i]->part != part)
            continue;
        if (open == list[i])
            open = nullptr;
        FreeObjects(list[i]);
        delete list[i];
        CloseGap(list, count, i);
    }
}

// A closed field's object list cut from the most a field holds to the
// objects it got.
template <class Object>
void ShrinkObjects(Object**& objects, int count)
{
    Object** shrunk = new Object*[count];
    std::memcpy(shrunk, objects, sizeof(*shrunk) * (size_t)count);
    delete[] objects;
    objects = shrunk;
}

// A field leaving the active list takes its objects out of the physics world.
template <class Field>
void StopPhysics(Field* f)
{
    for (int i = 0; f && i < f->objectCount; ++i)
        f->objects[i]->EnablePhysics(0);
}

// Updates the objects of the active fields on visible parts within `range`.
template <class Field>
void UpdateFields(Field* const* list, int count, float range)
{
    for (int i = 0; i < count; ++i)
    {
        const Field* f = list[i];
        if (!f->part || !f->part->visible || !(f->part->distance < range))
            continue;
        for (int k = 0; k < f->objectCount; ++k)
            f->objects[k]->Update();
    }
}

}   // namespace

int NatureStoneSize(int value)
{
    float t = (float)(value - 100) * 0.011111111f;
    if (t > 0.99f)
        t = 0.99f;
    return (int)(t * 4.0f);
}

NaturePlace NaturePlaceOf(int v)
{
    NaturePlace p = {0, 0, 0, 0, 0};
    if (v >= 1 && v <= 31)
    {
        p.clumps = 1 + 12 * v / 31;
        if (p.clumps > 12)
            p.clumps = 12;
    }
    else if (v >= 32 && v <= 249)
    {
        p.stone = 1;
        p.stoneSize = NatureStoneSize(v);
    }
    else if (v == 250)
        p.tree = 1;
    else if (v >= 251 && v <= 254)
    {
        p.clumps = 12;
        p.tree = 1;
        p.treeCode = v - 250;
    }
    else if (v == 255)
        p.clumps = 12;
    return p;
}

CNatureManager::CNatureManager()
{
    // Plain data apart from the materials: all zero, then the markers.
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
    grassTexture = stemTexture = leafTexture = stoneTexture = -1;
    loadedSeason = -1;
}

int CNatureManager::Create()
{
    FillGrassAtlas();
    for (int level = 0; level < 3; ++level)
    {
        ReleaseBuffer(grassIndices[level]);
        const int count = kGrassListIndices[level] * GRASS_FIELD_CLUMPS;
        uint16_t* indices = new uint16_t[count];
        BuildGrassIndices(level, indices);
        grassIndices[level] = MakeIndexBuffer(indices, count);
        delete[] indices;
    }
    for (int list = 0; list < 2; ++list)
    {
        ReleaseBuffer(leafIndices[list]);
        const int quads = list == 0 ? NATURE_LEAF_QUADS : NATURE_LEAF_QUADS / 2;
        uint16_t* indices = new uint16_t[quads * 6];
        for (int k = 0; k < quads; ++k)
        {
            const int V = 4 * (list == 0 ? k : 2 * k);
            const int quad[6] = {V, V + 1, V + 2, V + 3, V + 1, V + 2};
            for (int i = 0; i < 6; ++i)
                indices[6 * k + i] = (uint16_t)quad[i];
        }
        leafIndices[list] = MakeIndexBuffer(indices, quads * 6);
        delete[] indices;
    }
    std::memset(&grassMaterial, 0, sizeof(grassMaterial));
    grassMaterial.Diffuse = Colour(5, 5, 5, 1);
    grassMaterial.Ambient = Colour(2, 2, 2, 1);
    std::memset(&treeMaterial, 0, sizeof(treeMaterial));
    treeMaterial.Diffuse = Colour(1, 1, 1, 1);
    treeMaterial.Ambient = Colour(1, 1, 1, 1);
    return 1;
}

void CNatureManager::Reset()
{
    Clear();
    FreeArray(clumps);
    FreeArray(stones);
    FreeArray(trees);
    clumps = new CGrassObject*[NATURE_MAX_CLUMPS];
    stones = new CStoneObject*[NATURE_MAX_STONES];
    trees = new CTreeObject*[NATURE_MAX_TREES];
    clumpCount = grassVertexCount = 0;
    stoneCount = stoneVertexCount = stoneIndexCount = 0;
    treeCount = stemVertexCount = lowStemVertexCount = stemIndexCount = lowStemIndexCount = leafVertexCount = 0;
    openGrass = nullptr;
    openStones = nullptr;
    openTrees = nullptr;
    leftOutLogged[0] = leftOutLogged[1] = leftOutLogged[2] = 0;
}

void CNatureManager::SetFlag(int type, CLandPart* part, int value, int active)
{
    if (!part || type < 0 || type > 2)
        return;
    if (active)
    {
        int* flags[3] = {&part->grassActive, &part->stonesActive, &part->treesActive};
        *flags[type] = value;
    }
    else
    {
        // The part's entries run grass, trees, stones.
        static const int kFlagOf[3] = {0, 2, 1};
        part->natureFlags[kFlagOf[type]] = value;
    }
}

void CNatureManager::BeginField(int type, CLandPart* part)
{
    RemoveFields(type, part);
    if (type == NATURE_GRASS)
    {
        openGrass = nullptr;
        if (grassFieldCount[0] >= NATURE_MAX_FIELDS)
            return;
        GrassField* f = new GrassField();
        f->firstVertex = clumpCount * 16;
        f->part = part;
        grassFields[0][grassFieldCount[0]++] = f;
        openGrass = f;
    }
    else if (type == NATURE_STONES)
    {
        openStones = nullptr;
        if (stoneFieldCount[0] >= NATURE_MAX_FIELDS)
            return;
        StoneField* f = new StoneField();
        f->firstVertex = stoneVertexCount;
        f->firstIndex = stoneIndexCount;
        f->objects = new CStoneObject*[NATURE_FIELD_OBJECTS]();
        f->part = part;
        stoneFields[0][stoneFieldCount[0]++] = f;
        openStones = f;
    }
    else if (type == NATURE_TREES)
    {
        openTrees = nullptr;
        if (treeFieldCount[0] >= NATURE_MAX_FIELDS)
            return;
        TreeField* f = new TreeField();
        f->firstStemVertex = stemVertexCount;
        f->firstLowStemVertex = lowStemVertexCount;
        f->firstStemIndex = stemIndexCount;
        f->firstLowStemIndex = lowStemIndexCount;
        f->firstLeafVertex = leafVertexCount;
        f->objects = new CTreeObject*[NATURE_FIELD_OBJECTS]();
        f->part = part;
        treeFields[0][treeFieldCount[0]++] = f;
        openTrees = f;
    }
}

void CNatureManager::AddObject(int type, const float* position, int value)
{
    if (type == NATURE_GRASS)
    {
        GrassField* f = openGrass;
        if (clumpCount >= NATURE_MAX_CLUMPS)
            LeftOut(type);
        // A field draws from shared index lists of a fixed number of clumps.
        if (!f || !clumps || clumpCount >= NATURE_MAX_CLUMPS || f->vertexCount / 16 >= GRASS_FIELD_CLUMPS)
            return;
        CGrassObject* clump = new CGrassObject();
        clump->Create(position, value);
        clumps[clumpCount++] = clump;
        f->vertexCount += 16;
    }
    else if (type == NATURE_STONES)
    {
        StoneField* f = openStones;
        if (stoneCount >= NATURE_MAX_STONES)
            LeftOut(type);
        if (!f || !stones || stoneCount >= NATURE_MAX_STONES || f->objectCount >= NATURE_FIELD_OBJECTS)
            return;
        CStoneObject* stone = new CStoneObject();
        f->objects[f->objectCount] = stone;
        if (!stone->Create(position, value, stoneVertexCount - f->firstVertex))
        {
            delete stone;
            f->objects[f->objectCount] = nullptr;
            return;
        }
        stones[stoneCount++] = stone;
        stoneVertexCount += stone->vertexCount;
        stoneIndexCount += stone->indexCount;
        ++f->objectCount;
    }
    else if (type == NATURE_TREES)
    {
        TreeField* f = openTrees;
        if (treeCount >= NATURE_MAX_TREES)
            LeftOut(type);
        if (!f || !trees || treeCount >= NATURE_MAX_TREES || f->objectCount >= NATURE_FIELD_OBJECTS)
            return;
        CTreeObject* tree = new CTreeObject();
        f->objects[f->objectCount] = tree;
        if (!tree->Create(position, value, stemVertexCount - f->firstStemVertex,
                          lowStemVertexCount - f->firstLowStemVertex, leafVertexCount - f->firstLeafVertex))
        {
            delete tree;
            f->objects[f->objectCount] = nullptr;
            return;
        }
        trees[treeCount++] = tree;
        stemVertexCount += tree->stemVertexCount;
        lowStemVertexCount += tree->lowStemVertexCount;
        stemIndexCount += tree->stemIndexCount;
        lowStemIndexCount += tree->lowStemIndexCount;
        leafVertexCount += tree->leafVertexCount;
        ++f->objectCount;
    }
}

void CNatureManager::LeftOut(int type)
{
    if (type < 0 || type > 2 || leftOutLogged[type])
        return;
    leftOutLogged[type] = 1;
    static const char* const kWhat[3] = {"grass clumps", "stones", "trees"};
    const int most[3] = {NATURE_MAX_CLUMPS, NATURE_MAX_STONES, NATURE_MAX_TREES};
    LogString("The place map asks for more %s than an area holds (%d): the rest is left out.", kWhat[type],
              most[type]);
}

void CNatureManager::EndField(int type, CLandPart* part)
{
    if (type == NATURE_GRASS)
    {
        if (openGrass && openGrass->vertexCount == 0)
            RemoveFields(type, part);
        openGrass = nullptr;
    }
    else if (type == NATURE_STONES)
    {
        StoneField* f = openStones;
        if (f && f->objectCount == 0)
            RemoveFields(type, part);
        else if (f)
        {
            ShrinkObjects(f->objects, f->objectCount);
            f->vertexCount = stoneVertexCount - f->firstVertex;
            f->indexCount = stoneIndexCount - f->firstIndex;
        }
        openStones = nullptr;
    }
    else if (type == NATURE_TREES)
    {
        TreeField* f = openTrees;
        if (f && f->objectCount == 0)
            RemoveFields(type, part);
        else if (f)
        {
            ShrinkObjects(f->objects, f->objectCount);
            f->stemVertexCount = stemVertexCount - f->firstStemVertex;
            f->lowStemVertexCount = lowStemVertexCount - f->firstLowStemVertex;
            f->stemIndexCount = stemIndexCount - f->firstStemIndex;
            f->lowStemIndexCount = lowStemIndexCount - f->firstLowStemIndex;
            f->leafVertexCount = leafVertexCount - f->firstLeafVertex;
        }
        openTrees = nullptr;
    }
    SetFlag(type, part, 1, 0);
}

namespace
{

// Moves the entry of `part` from list `from` to the other list; returns the
// entry moved (null when there was none or the other list is full).
template <class Field>
Field* MoveField(Field* (&lists)[2][NATURE_MAX_FIELDS], int (&counts)[2], int from, CLandPart* part)
{
    const int to = 1 - from;
    for (int i = 0; i < counts[from]; ++i)
    {
        if (lists[from][i]->part != part)
            continue;
        if (counts[to] >= NATURE_MAX_FIELDS)
            return nullptr;
        Field* f = lists[from][i];
        lists[to][counts[to]++] = f;
        CloseGap(lists[from], counts[from], i);
        return f;
    }
    return nullptr;
}

}   // namespace

void CNatureManager::SetFieldActive(int type, int active, CLandPart* part)
{
    if (part)
        SetFlag(type, part, active, 1);
    const int from = active ? 1 : 0;
    if (type == NATURE_GRASS)
        MoveField(grassFields, grassFieldCount, from, part);
    else if (type == NATURE_STONES)
    {
        StoneField* f = MoveField(stoneFields, stoneFieldCount, from, part);
        if (!active)
            StopPhysics(f);
    }
    else if (type == NATURE_TREES)
    {
        TreeField* f = MoveField(treeFields, treeFieldCount, from, part);
        if (!active)
            StopPhysics(f);
    }
}

void CNatureManager::DropFields(int type, int list, CLandPart* part)
{
    if (type == NATURE_GRASS)
        FreeFields(grassFields[list], grassFieldCount[list], openGrass, part);
    else if (type == NATURE_STONES)
        FreeFields(stoneFields[list], stoneFieldCount[list], openStones, part);
    else if (type == NATURE_TREES)
        FreeFields(treeFields[list], treeFieldCount[list], openTrees, part);
}

void CNatureManager::RemoveFields(int type, CLandPart* part)
{
    if (part)
    {
        SetFieldActive(type, 0, part);
        // With a full parked list the field could not be parked: it is freed
        // from the active list instead, so that nothing is left pointing at a
        // part that goes away.
        DropFields(type, 0, part);
    }
    DropFields(type, 1, part);
    if (part)
        SetFlag(type, part, 0, 0);
}

int CNatureManager::FieldCount(int type, int list) const
{
    const int* counts = type == NATURE_GRASS    ? grassFieldCount
                        : type == NATURE_STONES ? stoneFieldCount
                                                : treeFieldCount;
    return counts[list & 1];
}

int CNatureManager::HasField(int type, int list, const CLandPart* part) const
{
    list &= 1;
    for (int i = 0; i < FieldCount(type, list); ++i)
    {
        const CLandPart* p = type == NATURE_GRASS    ? grassFields[list][i]->part
                             : type == NATURE_STONES ? stoneFields[list][i]->part
                                                     : treeFields[list][i]->part;
        if (p == part)
            return 1;
    }
    return 0;
}

void CNatureManager::PackGeometry()
{
    // Grass: the clumps' vertices in creation order.
    grassVertexCount = clumpCount * 16;
    FreeArray(grassVertices);
    if (grassVertexCount > 0)
        grassVertices = new GrassVertex[grassVertexCount];
    for (int i = 0; i < clumpCount; ++i)
    {
        Append(grassVertices, 16 * i, clumps[i]->vertices, 16);
        delete clumps[i];
    }
    FreeArray(clumps);

    // Stones.
    FreeArray(stoneVertices);
    FreeArray(stoneIndices);
    stoneVertices = new LitVertex[stoneVertexCount > 0 ? stoneVertexCount : 1];
    stoneIndices = new uint16_t[stoneIndexCount > 0 ? stoneIndexCount : 1];
    stoneVertexCount = stoneIndexCount = 0;
    for (int i = 0; i < stoneCount; ++i)
    {
        CStoneObject* s = stones[i];
        Append(stoneVertices, stoneVertexCount, s->vertices, s->vertexCount);
        Append(stoneIndices, stoneIndexCount, s->indices, s->indexCount);
        stoneVertexCount += s->vertexCount;
        stoneIndexCount += s->indexCount;
        s->FreeGeometry();
    }
    FreeArray(stones);

    // Trees.
    FreeArray(stemVertices);
    FreeArray(lowStemVertices);
    FreeArray(stemIndices);
    FreeArray(lowStemIndices);
    FreeArray(leafVertices);
    stemVertices = new LitVertex[stemVertexCount > 0 ? stemVertexCount : 1];
    lowStemVertices = new LitVertex[lowStemVertexCount > 0 ? lowStemVertexCount : 1];
    stemIndices = new uint16_t[stemIndexCount > 0 ? stemIndexCount : 1];
    lowStemIndices = new uint16_t[lowStemIndexCount > 0 ? lowStemIndexCount : 1];
    leafVertices = new LeafVertex[leafVertexCount > 0 ? leafVertexCount : 1];
    stemVertexCount = lowStemVertexCount = stemIndexCount = lowStemIndexCount = leafVertexCount = 0;
    for (int i = 0; i < treeCount; ++i)
    {
        CTreeObject* t = trees[i];
        Append(stemVertices, stemVertexCount, t->stemVertices, t->stemVertexCount);
        Append(lowStemVertices, lowStemVertexCount, t->lowStemVertices, t->lowStemVertexCount);
        Append(stemIndices, stemIndexCount, t->stemIndices, t->stemIndexCount);
        Append(lowStemIndices, lowStemIndexCount, t->lowStemIndices, t->lowStemIndexCount);
        Append(leafVertices, leafVertexCount, t->leafVertices, t->leafVertexCount);
        stemVertexCount += t->stemVertexCount;
        lowStemVertexCount += t->lowStemVertexCount;
        stemIndexCount += t->stemIndexCount;
        lowStemIndexCount += t->lowStemIndexCount;
        leafVertexCount += t->leafVertexCount;
        t->FreeGeometry();
    }
    FreeArray(trees);
    CreateBuffers();
}

void CNatureManager::CreateBuffers()
{
    ReleaseBuffers();
    if (grassVertexCount)
        grassVB = MakeVertexBuffer(grassVertices, grassVertexCount, sizeof(GrassVertex), GRASSVERTEX_FVF);
    if (stoneVertexCount)
    {
        stoneVB = MakeVertexBuffer(stoneVertices, stoneVertexCount, sizeof(LitVertex), LITVERTEX_FVF);
        stoneIB = MakeIndexBuffer(stoneIndices, stoneIndexCount);
    }
    if (stemVertexCount)
    {
        stemVB = MakeVertexBuffer(stemVertices, stemVertexCount, sizeof(LitVertex), LITVERTEX_FVF);
        lowStemVB = MakeVertexBuffer(lowStemVertices, lowStemVertexCount, sizeof(LitVertex), LITVERTEX_FVF);
        stemIB = MakeIndexBuffer(stemIndices, stemIndexCount);
        lowStemIB = MakeIndexBuffer(lowStemIndices, lowStemIndexCount);
        if (leafVertexCount)
            leafVB = MakeVertexBuffer(leafVertices, leafVertexCount, sizeof(LeafVertex), LEAFVERTEX_FVF);
    }
}

void CNatureManager::Update()
{
    g_NatureTimer -= g_Clock.m_GameStep;
    if (g_NatureTimer > 0.0f)
        return;
    g_NatureTimer += NATURE_UPDATE_INTERVAL;
    UpdateFields(stoneFields[0], stoneFieldCount[0], STONE_FIELD_RANGE);
    UpdateFields(treeFields[0], treeFieldCount[0], TREE_FIELD_RANGE);
}

void CNatureManager::LoadTextures()
{
    int season = 0;
    if (g_CurrentRace >= 0 && g_CurrentRace < RACE_ROWS)
        season = g_RaceTable.season[g_CurrentRace];
    if (season < 0 || season > 98)
        season = 0;
    if (season == loadedSeason)
        return;
    ReleaseTextures();
    char name[128];
    std::snprintf(name, sizeof(name), "Data/Static/Nature/Grass/Grass%02d.dds", season + 1);
    grassTexture = g_Render.LoadTexture(name, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    std::snprintf(name, sizeof(name), "Data/Static/Nature/Trees/Leafs%02d.dds", season + 1);
    leafTexture = g_Render.LoadTexture(name, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    std::snprintf(name, sizeof(name), "Data/Static/Nature/Trees/Stems%02d.bmp", season + 1);
    stemTexture = g_Render.LoadTexture(name, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    std::snprintf(name, sizeof(name), "Data/Static/Nature/Stones/Stones%02d.bmp", season + 1);
    stoneTexture = g_Render.LoadTexture(name, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    loadedSeason = season;
}

void CNatureManager::ReleaseTextures()
{
    for (TextureId* id : {&grassTexture, &leafTexture, &stemTexture, &stoneTexture})
    {
        if (*id != -1)
            g_Render.ReleaseTexture(*id);
        *id = -1;
    }
    loadedSeason = -1;
}

void CNatureManager::ReleaseBuffers()
{
    ReleaseBuffer(grassVB);
    ReleaseBuffer(stoneVB);
    ReleaseBuffer(stoneIB);
    ReleaseBuffer(stemVB);
    ReleaseBuffer(stemIB);
    ReleaseBuffer(lowStemVB);
    ReleaseBuffer(lowStemIB);
    ReleaseBuffer(leafVB);
}

void CNatureManager::Clear()
{
    ReleaseBuffers();
    FreeArray(grassVertices);
    FreeArray(stoneVertices);
    FreeArray(stoneIndices);
    FreeArray(stemVertices);
    FreeArray(lowStemVertices);
    FreeArray(stemIndices);
    FreeArray(lowStemIndices);
    FreeArray(leafVertices);
    // Clumps and objects not packed yet (an area load that stopped half-way).
    if (clumps)
        for (int i = 0; i < clumpCount; ++i)
            delete clumps[i];
    FreeArray(clumps);
    FreeArray(stones);
    FreeArray(trees);
    clumpCount = grassVertexCount = stoneCount = stoneVertexCount = stoneIndexCount = 0;
    stemVertexCount = lowStemVertexCount = stemIndexCount = lowStemIndexCount = treeCount = 0;
    DropFields(NATURE_GRASS, 1, nullptr);
    DropFields(NATURE_TREES, 1, nullptr);
    DropFields(NATURE_STONES, 1, nullptr);
}

void CNatureManager::Release()
{
    Clear();
    for (IDirect3DIndexBuffer9*& b : grassIndices)
        ReleaseBuffer(b);
    for (IDirect3DIndexBuffer9*& b : leafIndices)
        ReleaseBuffer(b);
    ReleaseTextures();
}
