#pragma once
// The texture cache: every texture loaded by name lives in one of 1024 counted
// slots, and the rest of the game knows it only by the slot index. Loading a
// name already loaded shares its slot; every load is matched by a release.
#include "platform/d3d/D3D9.h"

// Index of a cache slot, 0..1023; -1 is "no texture".
typedef int TextureId;

class CTextureManager
{
public:
    enum
    {
        MAX_TEXTURES = 1024,
        NAME_LENGTH = 255   // bytes per slot name, terminator included
    };

    // First slot in use whose name equals `name` exactly, or -1. Names longer
    // than a slot holds are compared by the part a slot keeps.
    int Find(const char* name) const;
    // Reads and creates the texture and stores it in the first free slot with
    // a reference count of 1; -1 when every slot is taken or the file is
    // missing or cannot be decoded. ".bmp" names load as DXT1, and as the
    // ".jpg" of the same name with "BMP to JPG" on.
    int Load(IDirect3DDevice9* device, const char* name, int mipLevels, int pool, int format);
    IDirect3DTexture9* GetTexture(int id) const;
    // Gives one reference back; the last one frees the slot.
    void Release(int id);
    void ReleaseByName(const char* name);
    // Shutdown sweep: logs each texture still held and gives one reference back.
    void ReleaseAllTextures();
    void Clear();

    // Adds one reference to a slot in use (a repeated load of the same name).
    void AddRef(int id);
    int GetRefCount(int id) const;
    // The name a slot was loaded by ("" for a free slot).
    const char* GetName(int id) const;

    // The file read for a requested name (into 256 bytes, cut to fit) and the
    // format it is created in: ".bmp" pictures carry no alpha and are stored
    // as DXT1, and with "BMP to JPG" on the first ".bmp" is read as ".jpg".
    static void ResolveRequest(const char* name, int format, char* fileName, int* fileFormat);

    // Fills a texture the caller owns with one colour, creating it first as a
    // size x size A8R8G8B8 texture of the managed pool when the slot is empty.
    static void FillColorTexture(IDirect3DTexture9** slot, const D3DXCOLOR& colour, int size);

private:
    char m_Names[MAX_TEXTURES][NAME_LENGTH];
    IDirect3DTexture9* m_Textures[MAX_TEXTURES];
    int m_RefCounts[MAX_TEXTURES];
};
