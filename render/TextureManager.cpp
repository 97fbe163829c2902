#include "render/TextureManager.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "common/MathUtil.h"
#include "core/DebugLog.h"
#include "core/FileManager.h"
#include "core/Settings.h"
#include "render/D3DRender.h"

namespace
{

// Largest texture file read into memory; anything bigger is a damaged pack
// entry, not a picture.
const int kMaxTextureFileBytes = 64 * 1024 * 1024;

void LogSlot(const char* format, int id, int refs, const char* name)
{
    char line[LOG_LINE_MAX + 1];
    std::snprintf(line, sizeof(line), format, id, refs, name);
    Log(line);
}

// Reads a whole file through the file manager; false when it cannot be opened,
// has an impossible size or comes up short.
bool ReadWholeFile(const char* name, std::vector<unsigned char>& bytes)
{
    int size = 0;
    int handle = g_FileManager.Open(name, FILE_TEXTURES, &size);
    if (handle < 0)
        handle = g_FileManager.Open(name, FILE_BINARY, &size);
    if (handle < 0)
        return false;
    bool ok = size > 0 && size <= kMaxTextureFileBytes;
    if (ok)
    {
        bytes.resize(size_t(size));
        ok = g_FileManager.Read(bytes.data(), 1, bytes.size(), handle) == bytes.size();
    }
    g_FileManager.Close(handle);
    return ok;
}

}   // namespace

int CTextureManager::Find(const char* name) const
{
    if (!name)
        return -1;
    for (int i = 0; i < MAX_TEXTURES; i++)
        if (m_Textures[i] && std::strncmp(m_Names[i], name, NAME_LENGTH - 1) == 0)
            return i;
    return -1;
}

int CTextureManager::Load(IDirect3DDevice9* device, const char* name, int mipLevels, int pool, int format)
{
    if (!name || !device)
        return -1;

    // A full cache refuses before anything is read, so no texture is made
    // that no slot could hold.
    int slot = -1;
    for (int i = 0; i < MAX_TEXTURES && slot < 0; i++)
        if (!m_Textures[i])
            slot = i;
    if (slot < 0)
        return -1;

    char work[256];
    ResolveRequest(name, format, work, &format);

    IDirect3DTexture9* texture = nullptr;
    HRESULT hr;
    if (g_UseFileManager)
    {
        std::vector<unsigned char> bytes;
        if (!ReadWholeFile(work, bytes))
            return -1;
        hr = D3DXCreateTextureFromFileInMemoryEx(device, bytes.data(), UINT(bytes.size()), D3DX_DEFAULT, D3DX_DEFAULT,
                                                 UINT(mipLevels), 0, D3DFORMAT(format), D3DPOOL(pool), D3DX_DEFAULT,
                                                 D3DX_DEFAULT, 0, nullptr, nullptr, &texture);
    }
    else
    {
        hr = D3DXCreateTextureFromFileExA(device, work, D3DX_DEFAULT, D3DX_DEFAULT, UINT(mipLevels), 0,
                                          D3DFORMAT(format), D3DPOOL(pool), D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                          nullptr, &texture);
    }
    if (FAILED(hr) || !texture)
        return -1;

    // The slot keeps the name the caller asked for (cut to what it holds).
    std::snprintf(m_Names[slot], NAME_LENGTH, "%s", name);
    m_Textures[slot] = texture;
    m_RefCounts[slot] = 1;
    return slot;
}

void CTextureManager::ResolveRequest(const char* name, int format, char* fileName, int* fileFormat)
{
    std::snprintf(fileName, 256, "%s", name ? name : "");
    char* bmp = std::strstr(fileName, ".bmp");
    if (bmp)
    {
        format = D3DFMT_DXT1;
        if (g_BmpToJpg)
            std::memcpy(bmp, ".jpg", 4);
    }
    *fileFormat = format;
}

IDirect3DTexture9* CTextureManager::GetTexture(int id) const
{
    if (id < 0 || id >= MAX_TEXTURES)
        return nullptr;
    return m_Textures[id];
}

void CTextureManager::Release(int id)
{
    if (!GetTexture(id))
        return;
    if (m_RefCounts[id] <= 0)
    {
        LogSlot("Texture reference counter in use! (ID: %d; REF: %d; Name: %s", id, 0, m_Names[id]);
        return;
    }
    if (--m_RefCounts[id] == 0)
    {
        m_Textures[id]->Release();
        m_Textures[id] = nullptr;
        m_Names[id][0] = 0;
    }
}

void CTextureManager::ReleaseByName(const char* name)
{
    if (!name)
        return;
    for (int i = 0; i < MAX_TEXTURES; i++)
    {
        if (!m_Textures[i] || std::strncmp(m_Names[i], name, NAME_LENGTH - 1) != 0)
            continue;
        if (m_RefCounts[i] <= 0)
        {
            LogSlot("Texture reference counter in use! (ID: %d; REF: %d; Name: %s", i, 0, m_Names[i]);
            return;
        }
        if (--m_RefCounts[i] == 0)
        {
            m_Textures[i]->Release();
            m_Textures[i] = nullptr;
            m_Names[i][0] = 0;
            return;
        }
    }
}

void CTextureManager::ReleaseAllTextures()
{
    Log("\tCTextureManager::ReleaseAllTextures() start...");
    for (int i = 0; i < MAX_TEXTURES; i++)
    {
        if (!m_Textures[i])
            continue;
        LogSlot("\t\tTexture lost! (ID: %d; REF: %d; Name: %s", i, m_RefCounts[i], m_Names[i]);
        Release(i);
    }
    Log("\tCTextureManager::ReleaseAllTextures() done!");
}

void CTextureManager::Clear()
{
    std::memset(m_Names, 0, sizeof(m_Names));
    std::memset(m_Textures, 0, sizeof(m_Textures));
    std::memset(m_RefCounts, 0, sizeof(m_RefCounts));
}

void CTextureManager::AddRef(int id)
{
    if (GetTexture(id))
        m_RefCounts[id]++;
}

int CTextureManager::GetRefCount(int id) const
{
    return GetTexture(id) ? m_RefCounts[id] : 0;
}

const char* CTextureManager::GetName(int id) const
{
    return GetTexture(id) ? m_Names[id] : "";
}

void CTextureManager::FillColorTexture(IDirect3DTexture9** slot, const D3DXCOLOR& colour, int size)
{
    if (!slot || size <= 0)
        return;
    if (!*slot && FAILED(D3DXCreateTexture(g_Render.device, UINT(size), UINT(size), 1, 0, D3DFMT_A8R8G8B8,
                                           D3DPOOL_MANAGED, slot)))
        return;
    if (!*slot)
        return;

    IDirect3DSurface9* surface = nullptr;
    if (FAILED((*slot)->GetSurfaceLevel(0, &surface)) || !surface)
        return;
    D3DSURFACE_DESC desc;
    D3DLOCKED_RECT locked;
    if (SUCCEEDED(surface->GetDesc(&desc)) && desc.Format == D3DFMT_A8R8G8B8 &&
        SUCCEEDED(surface->LockRect(&locked, nullptr, 0)))
    {
        const unsigned char texel[4] = {ColorChannelByte(colour.b), ColorChannelByte(colour.g),
                                        ColorChannelByte(colour.r), ColorChannelByte(colour.a)};
        for (UINT y = 0; y < desc.Height; y++)
        {
            unsigned char* row = static_cast<unsigned char*>(locked.pBits) + size_t(y) * locked.Pitch;
            for (UINT x = 0; x < desc.Width; x++)
                std::memcpy(row + x * 4, texel, 4);
        }
        surface->UnlockRect();
    }
    surface->Release();
}
