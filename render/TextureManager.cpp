#include "render/TextureManager.h"

#include <cstring>

int CTextureManager::Find(const char* name) const
{
    if (!name)
        return -1;
    for (int i = 0; i < MAX_TEXTURES; i++)
        if (m_Textures[i] && std::strcmp(m_Names[i], name) == 0)
            return i;
    return -1;
}

int CTextureManager::Load(IDirect3DDevice9*, const char*, int, int, int) { return -1; }

IDirect3DTexture9* CTextureManager::GetTexture(int id) const
{
    if (id < 0 || id >= MAX_TEXTURES)
        return nullptr;
    return m_Textures[id];
}

void CTextureManager::Release(int) {}
void CTextureManager::ReleaseByName(const char*) {}
void CTextureManager::ReleaseAllTextures() {}

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

void CTextureManager::FillColorTexture(IDirect3DTexture9**, const D3DXCOLOR&, int) {}
