#pragma once
// The drawable base of every world object: a world matrix, up to eight
// textures, a material, one shared mesh record with its bounding sphere, an
// optional per-object collision shape, a scale and the part of each slot to
// draw (the animation frame). It draws one mesh slot at a time; which slots,
// textures and states is up to the code that extends it.
#include "platform/d3d/D3D9.h"
#include "render/D3DRender.h"
#include "render/MeshContainer.h"

class btCollisionShape;

class CMeshObject
{
public:
    enum
    {
        MAX_TEXTURES = 8,
        TEXTURE_NAME_LENGTH = 255,
    };

    CMeshObject();

    // Takes one reference to the record of (name, vertexType); bounds from it
    // and a plain white material. On failure the object keeps no record.
    void SetMesh(const char* name, int vertexType, DWORD meshOptions, int optimize);
    // Gives the record back and deletes the per-object shape.
    void FreeMesh();
    // The object's own shape: the record's triangle mesh at the object's
    // scale. Nothing without a record, with a shape already held, or when the
    // record has no collision mesh.
    void BuildScaledShape();
    // Loads into textureIds[entry] (stores -1 on failure); -1 for a null or
    // empty name, which changes nothing. An entry outside 0..7 loads nothing.
    TextureId LoadTexture(int entry, const char* name, int mipLevels);
    // Gives back every texture the object holds.
    void ReleaseTextures();
    // Draws part currentPart of the slot with the given matrix (or the
    // object's own, scaled when useScale is set) and material (or its own).
    // Binds no texture and sets no render state besides the transform,
    // material, vertex format, stream and indices.
    void RenderSlot(int slot, const D3DMATRIX* world = nullptr, const D3DMATERIAL9* material = nullptr);
    void SetOrientation(const D3DXVECTOR3& position, const D3DXVECTOR3& target, const D3DXVECTOR3& up);
    // The point relative to the object's origin, in the object's axes.
    void WorldToLocal(D3DXVECTOR3* out, const D3DXVECTOR3* point) const;

    D3DMATRIX world;
    char textureNames[MAX_TEXTURES][TEXTURE_NAME_LENGTH];
    TextureId textureIds[MAX_TEXTURES];
    int textureCount;
    float textureFrame;
    D3DMATERIAL9 material;
    MeshRecord* meshRecord;
    float boundCentre[3];
    float boundRadius;
    btCollisionShape* shape;
    float scale[3];
    int useScale;
    int currentPart;
};
