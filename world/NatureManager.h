#pragma once
// Grass, stones and trees of the loaded area. The place map says what grows
// in each terrain cell; every land part places its nature from its own seed
// (so a reload gives the same scenery) into one field per nature type. When
// the area is complete all geometry is packed into one set of buffers per
// kind, so a field draws with one call. Fields move between an active and a
// parked list as their land parts come near or go far; a timed update keeps
// the visibility and bodies of near stones and trees current.
#include "platform/d3d/D3D9.h"
#include "render/TextureManager.h"
#include "world/GrassObject.h"
#include "world/StoneObject.h"
#include "world/TreeObject.h"

class CLandPart;

enum
{
    NATURE_GRASS = 0,
    NATURE_STONES = 1,
    NATURE_TREES = 2,
};

// Limits of the lists. The grass and trees of an area are held well below
// what a place map can ask for (every cell of 360 x 360 full would be 1.5
// million clumps and 40000 trees, gigabytes of geometry): the demo areas use
// under 80000 clumps and 4000 trees; a map asking for more gets the first
// ones in land-part order and the rest is left out, with a line in the log.
#define NATURE_MAX_FIELDS    400
#define NATURE_FIELD_OBJECTS 100
#define NATURE_MAX_CLUMPS    200000
#define NATURE_MAX_STONES    40000
#define NATURE_MAX_TREES     8000
#define NATURE_LEAF_QUADS    8000

// Distances (from a land part) of the field switches and draw passes.
#define GRASS_FIELD_RANGE      150.0f
#define STONE_FIELD_RANGE      200.0f
#define TREE_FIELD_RANGE       350.0f
#define GRASS_DRAW_DISTANCE    112.5f
#define GRASS_FULL_DISTANCE    15.0f
#define GRASS_HALF_DISTANCE    60.0f
// The grass shadow fades out between 16 and 24 units from the eye (its
// technique's fade, "AlphaFactor" 32 to 48, runs over twice the distance):
// fields further than 24, with 2 to spare for the eye's move since the part
// distances were taken, would draw nothing but transparent texels.
#define GRASS_SHADOW_DISTANCE  26.0f
#define STEM_DRAW_DISTANCE     140.0f
#define STEM_FADE_START        105.00001f
#define STEM_DETAIL_DISTANCE   35.0f
#define LEAF_DRAW_DISTANCE     262.5f
#define LEAF_FULL_DISTANCE     70.0f
#define TREE_SHADOW_DISTANCE   150.0f
#define NATURE_UPDATE_INTERVAL 0.125f

// What one place-map value grows in its cell.
struct NaturePlace
{
    int clumps;      // grass clumps, 0..12
    int stone;       // 1 for a stone
    int stoneSize;   // its size class (-3..3); only classes 0..3 have stone files
    int tree;        // 1 for a tree
    int treeCode;    // 0..4
};
NaturePlace NaturePlaceOf(int value);
// The stone size class of a place-map value 32..249, in 32-bit floats.
int NatureStoneSize(int value);

struct GrassField
{
    int firstVertex;
    int vertexCount;
    CLandPart* part;
};

struct StoneField
{
    int firstVertex, vertexCount, firstIndex, indexCount;
    CStoneObject** objects;
    int objectCount;
    CLandPart* part;
};

struct TreeField
{
    int firstStemVertex, stemVertexCount, firstLowStemVertex, lowStemVertexCount;
    int firstStemIndex, stemIndexCount, firstLowStemIndex, lowStemIndexCount;
    int firstLeafVertex, leafVertexCount;
    CTreeObject** objects;
    int objectCount;
    CLandPart* part;
};

class CNatureManager
{
public:
    CNatureManager();

    int Create();
    void Reset();
    void BeginField(int type, CLandPart* part);
    void AddObject(int type, const float* position, int value);
    void EndField(int type, CLandPart* part);
    void PackGeometry();
    void CreateBuffers();
    void SetFieldActive(int type, int active, CLandPart* part);
    void RemoveFields(int type, CLandPart* part);
    void Update();
    void LoadTextures();
    void Clear();
    void Release();
    void ReleaseBuffers();
    void ReleaseTextures();

    void DrawGrass();
    void DrawGrassShadow();
    void DrawTreeStems();
    void DrawTreeLeafs();
    void DrawTreeLeafsShadow();
    // Stones of the near visible parts, lit and textured (main pass).
    void DrawStones();

    // Number of fields of the type in list 0 (active) or 1 (parked), and
    // whether the part has a field of the type in that list.
    int FieldCount(int type, int list) const;
    int HasField(int type, int list, const CLandPart* part) const;

    IDirect3DIndexBuffer9* grassIndices[3];
    IDirect3DIndexBuffer9* leafIndices[2];
    GrassVertex* grassVertices;
    IDirect3DVertexBuffer9* grassVB;
    int grassVertexCount;
    CGrassObject** clumps;
    int clumpCount;
    GrassField* grassFields[2][NATURE_MAX_FIELDS];
    int grassFieldCount[2];
    int visibleGrassFields;
    TextureId grassTexture;

    LitVertex* stoneVertices;
    IDirect3DVertexBuffer9* stoneVB;
    uint16_t* stoneIndices;
    IDirect3DIndexBuffer9* stoneIB;
    int stoneVertexCount, stoneIndexCount;
    CStoneObject** stones;
    int stoneCount;
    StoneField* stoneFields[2][NATURE_MAX_FIELDS];
    int stoneFieldCount[2];
    TextureId stoneTexture;
    int visibleStoneFields;

    LitVertex* stemVertices;
    LitVertex* lowStemVertices;
    IDirect3DVertexBuffer9* stemVB;
    IDirect3DVertexBuffer9* lowStemVB;
    uint16_t* stemIndices;
    uint16_t* lowStemIndices;
    IDirect3DIndexBuffer9* stemIB;
    IDirect3DIndexBuffer9* lowStemIB;
    LeafVertex* leafVertices;
    IDirect3DVertexBuffer9* leafVB;
    int stemVertexCount, lowStemVertexCount, stemIndexCount, lowStemIndexCount, leafVertexCount;
    CTreeObject** trees;
    int treeCount;
    TreeField* treeFields[2][NATURE_MAX_FIELDS];
    int treeFieldCount[2];
    int visibleTreeFields;
    TextureId stemTexture, leafTexture;
    int loadedSeason;
    D3DMATERIAL9 grassMaterial;
    D3DMATERIAL9 treeMaterial;

private:
    // The field that BeginField opened for each type (null when none is open:
    // its list was full), into which AddObject places.
    GrassField* openGrass;
    StoneField* openStones;
    TreeField* openTrees;
    // Whether this area's load has logged that grass, stones or trees were
    // left out (by type).
    int leftOutLogged[3];

    // Logs once per area load that the place map asks for more of `type`
    // than an area holds.
    void LeftOut(int type);
    // Frees the fields of `type` in list 0 (active) or 1 (parked) that
    // belong to `part`, or all of them without a part.
    void DropFields(int type, int list, CLandPart* part);
    void SetFlag(int type, CLandPart* part, int value, int active);
};

// Seconds of game time until the next stone and tree update.
extern float g_NatureTimer;
extern CNatureManager g_Nature;

// The stem fade of a field at a land-part distance: 0 up to 105, rising to 1
// at 140.
float NatureStemFade(float distance);
// The grass index list of a field at a land-part distance: 0 (all blades)
// up to 15, 1 up to 60, 2 beyond.
int NatureGrassLevel(float distance);
