#pragma once
// The texture cache: every texture loaded by name lives in one of 1024 counted
// slots, and the rest of the game knows it only by the slot index.
#include "platform/WinTypes.h"

struct IDirect3DDevice9;
struct IDirect3DTexture9;

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

    // First slot in use whose name equals `name` exactly, or -1.
    int Find(const char* name) const;
    // Reads and creates the texture and stores it in the first free slot with
    // a reference count of 1; -1 when the file is missing or cannot be decoded
    // or when every slot is taken.
    int Load(IDirect3DDevice9* device, const char* name, int mipLevels, int pool, int format);
    IDirect3DTexture9* GetTexture(int id) const;
    void Release(int id);
    void ReleaseByName(const char* name);
    void ReleaseAllTextures();
    void Clear();

    // Adds one reference to a slot in use (a repeated load of the same name).
    void AddRef(int id);
    int GetRefCount(int id) const;
    const char* GetName(int id) const;

    // Fills a caller-owned texture with one colour (r, g, b, a in 0..1),
    // creating it as size x size A8R8G8B8 first when the slot is empty.
    static void FillColorTexture(IDirect3DTexture9** slot, const float* rgba, int size);

private:
    char m_Names[MAX_TEXTURES][NAME_LENGTH];
    IDirect3DTexture9* m_Textures[MAX_TEXTURES];
    int m_RefCounts[MAX_TEXTURES];
};
