// D3DX helpers: meshes, vertex sizes and the texture creators (decoding is
// platform/image's work; mip chains are made here when a file has none).
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/d3d/Internal.h"
#include "platform/image/ImageDecode.h"
#include "platform/os/FileOpen.h"

namespace d3d
{

namespace
{

// ---------------------------------------------------------------------------
// Mesh
// ---------------------------------------------------------------------------
class CMesh final : public RefCounted<ID3DXMesh>
{
public:
    CMesh(IDirect3DDevice9* device, DWORD faces, DWORD vertices, DWORD options, DWORD fvf, IDirect3DVertexBuffer9* vb,
          IDirect3DIndexBuffer9* ib)
        : m_Device(device), m_Faces(faces), m_Vertices(vertices), m_Options(options), m_Fvf(fvf), m_Vb(vb), m_Ib(ib),
          m_Attributes(faces, 0)
    {
        m_Device->AddRef();
        BuildTable();
    }
    ~CMesh() override
    {
        m_Vb->Release();
        m_Ib->Release();
        m_Device->Release();
    }

    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override
    {
        if (!ppDevice)
            return D3DERR_INVALIDCALL;
        m_Device->AddRef();
        *ppDevice = m_Device;
        return D3D_OK;
    }
    DWORD GetNumFaces() override { return m_Faces; }
    DWORD GetNumVertices() override { return m_Vertices; }
    DWORD GetFVF() override { return m_Fvf; }
    DWORD GetNumBytesPerVertex() override { return FVFVertexSize(m_Fvf); }
    DWORD GetOptions() override { return m_Options; }
    HRESULT GetVertexBuffer(IDirect3DVertexBuffer9** ppVB) override
    {
        if (!ppVB)
            return D3DERR_INVALIDCALL;
        m_Vb->AddRef();
        *ppVB = m_Vb;
        return D3D_OK;
    }
    HRESULT GetIndexBuffer(IDirect3DIndexBuffer9** ppIB) override
    {
        if (!ppIB)
            return D3DERR_INVALIDCALL;
        m_Ib->AddRef();
        *ppIB = m_Ib;
        return D3D_OK;
    }
    HRESULT LockVertexBuffer(DWORD Flags, LPVOID* ppData) override { return m_Vb->Lock(0, 0, ppData, Flags); }
    HRESULT UnlockVertexBuffer() override { return m_Vb->Unlock(); }
    HRESULT LockIndexBuffer(DWORD Flags, LPVOID* ppData) override { return m_Ib->Lock(0, 0, ppData, Flags); }
    HRESULT UnlockIndexBuffer() override { return m_Ib->Unlock(); }
    HRESULT LockAttributeBuffer(DWORD, DWORD** ppData) override
    {
        if (!ppData)
            return D3DERR_INVALIDCALL;
        ++m_AttributeLocks;
        *ppData = m_Attributes.data();
        return D3D_OK;
    }
    HRESULT UnlockAttributeBuffer() override
    {
        if (m_AttributeLocks <= 0)
            return D3DERR_INVALIDCALL;
        if (--m_AttributeLocks == 0)
            BuildTable();
        return D3D_OK;
    }
    HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* pAttribTable, DWORD* pAttribTableSize) override
    {
        if (!pAttribTableSize)
            return D3DERR_INVALIDCALL;
        if (pAttribTable)
            std::copy(m_Table.begin(), m_Table.end(), pAttribTable);
        *pAttribTableSize = (DWORD)m_Table.size();
        return D3D_OK;
    }
    HRESULT DrawSubset(DWORD AttribId) override
    {
        m_Device->SetFVF(m_Fvf);
        m_Device->SetStreamSource(0, m_Vb, 0, FVFVertexSize(m_Fvf));
        m_Device->SetIndices(m_Ib);
        for (const D3DXATTRIBUTERANGE& r : m_Table)
        {
            if (r.AttribId != AttribId)
                continue;
            HRESULT hr =
                m_Device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, m_Vertices, r.FaceStart * 3, r.FaceCount);
            if (FAILED(hr))
                return hr;
        }
        return D3D_OK;
    }
    // The faces keep their order: the driver's vertex cache makes a reorder
    // worth little here, and callers read the buffers back unchanged.
    HRESULT OptimizeInplace(DWORD, const DWORD* pAdjacencyIn, DWORD* pAdjacencyOut, DWORD* pFaceRemap,
                            ID3DXBuffer** ppVertexRemap) override
    {
        if (pFaceRemap)
            for (DWORD i = 0; i < m_Faces; ++i)
                pFaceRemap[i] = i;
        if (pAdjacencyOut)
        {
            if (pAdjacencyIn)
                std::memcpy(pAdjacencyOut, pAdjacencyIn, m_Faces * 3 * sizeof(DWORD));
            else
                std::fill(pAdjacencyOut, pAdjacencyOut + m_Faces * 3, 0xFFFFFFFFu);
        }
        if (ppVertexRemap)
        {
            D3DXCreateBuffer(m_Vertices * sizeof(DWORD), ppVertexRemap);
            auto* remap = static_cast<DWORD*>((*ppVertexRemap)->GetBufferPointer());
            for (DWORD i = 0; i < m_Vertices; ++i)
                remap[i] = i;
        }
        return D3D_OK;
    }

private:
    // Runs of consecutive faces with one attribute id.
    void BuildTable()
    {
        m_Table.clear();
        for (DWORD f = 0; f < m_Faces; ++f)
        {
            if (!m_Table.empty() && m_Table.back().AttribId == m_Attributes[f] &&
                m_Table.back().FaceStart + m_Table.back().FaceCount == f)
            {
                ++m_Table.back().FaceCount;
                continue;
            }
            m_Table.push_back({m_Attributes[f], f, 1, 0, m_Vertices});
        }
    }

    IDirect3DDevice9* m_Device;
    DWORD m_Faces, m_Vertices, m_Options, m_Fvf;
    IDirect3DVertexBuffer9* m_Vb;
    IDirect3DIndexBuffer9* m_Ib;
    std::vector<DWORD> m_Attributes;
    std::vector<D3DXATTRIBUTERANGE> m_Table;
    int m_AttributeLocks = 0;
};

D3DPOOL PoolOf(DWORD options, bool index)
{
    DWORD bits = index ? (options >> 4) : options;
    if (bits & D3DXMESH_VB_SYSTEMMEM)
        return D3DPOOL_SYSTEMMEM;
    if (bits & D3DXMESH_VB_MANAGED)
        return D3DPOOL_MANAGED;
    return D3DPOOL_DEFAULT;
}

DWORD UsageOf(DWORD options, bool index)
{
    DWORD bits = index ? (options >> 4) : options;
    DWORD usage = 0;
    if (bits & D3DXMESH_VB_WRITEONLY)
        usage |= D3DUSAGE_WRITEONLY;
    if (bits & D3DXMESH_VB_DYNAMIC)
        usage |= D3DUSAGE_DYNAMIC;
    return usage;
}

// ---------------------------------------------------------------------------
// Texture creation from decoded images
// ---------------------------------------------------------------------------
D3DFORMAT FormatOf(PixelFormat f)
{
    switch (f)
    {
    case PixelFormat::A8R8G8B8:
        return D3DFMT_A8R8G8B8;
    case PixelFormat::X8R8G8B8:
        return D3DFMT_X8R8G8B8;
    case PixelFormat::R5G6B5:
        return D3DFMT_R5G6B5;
    case PixelFormat::DXT1:
        return D3DFMT_DXT1;
    case PixelFormat::DXT3:
        return D3DFMT_DXT3;
    default:
        return D3DFMT_DXT5;
    }
}

D3DXIMAGE_FILEFORMAT FileFormatOf(const uint8_t* b, size_t n)
{
    if (n >= 4 && std::memcmp(b, "DDS ", 4) == 0)
        return D3DXIFF_DDS;
    if (n >= 2 && b[0] == 'B' && b[1] == 'M')
        return D3DXIFF_BMP;
    if (n >= 3 && b[0] == 0xFF && b[1] == 0xD8)
        return D3DXIFF_JPG;
    if (n >= 8 && b[0] == 0x89 && b[1] == 'P')
        return D3DXIFF_PNG;
    return D3DXIFF_TGA;
}

// One face's level as B,G,R,A (false for a level that cannot be expanded).
bool ToBgra(const DecodedImage& image, const std::vector<uint8_t>& level, int w, int h, std::vector<uint8_t>& out)
{
    switch (image.format)
    {
    case PixelFormat::A8R8G8B8:
    case PixelFormat::X8R8G8B8:
        if (level.size() < (size_t)w * h * 4)
            return false;
        out.assign(level.begin(), level.begin() + (size_t)w * h * 4);
        if (image.format == PixelFormat::X8R8G8B8)
            for (size_t i = 3; i < out.size(); i += 4)
                out[i] = 0xFF;
        return true;
    case PixelFormat::R5G6B5:
        if (level.size() < (size_t)w * h * 2)
            return false;
        out.resize((size_t)w * h * 4);
        for (size_t i = 0; i < (size_t)w * h; ++i)
        {
            uint16_t v = (uint16_t)(level[2 * i] | (level[2 * i + 1] << 8));
            uint8_t r = (uint8_t)((v >> 11) & 31), g = (uint8_t)((v >> 5) & 63), b = (uint8_t)(v & 31);
            out[4 * i + 0] = (uint8_t)((b << 3) | (b >> 2));
            out[4 * i + 1] = (uint8_t)((g << 2) | (g >> 4));
            out[4 * i + 2] = (uint8_t)((r << 3) | (r >> 2));
            out[4 * i + 3] = 0xFF;
        }
        return true;
    default:
        return DecompressDxt(image.format, w, h, level.data(), level.size(), out);
    }
}

// Works out the format and levels to create and the data of every face and
// level (face-major), from the decoded file and the caller's request.
HRESULT Prepare(const DecodedImage& image, UINT mipLevels, D3DFORMAT requested, D3DCOLOR colorKey, D3DFORMAT& format,
                UINT& levels, std::vector<std::vector<uint8_t>>& data)
{
    int faces = image.cube ? 6 : 1;
    int fileLevels = std::max(1, image.levels);
    if (image.width <= 0 || image.height <= 0 || (int)image.data.size() < faces * fileLevels)
        return D3DXERR_INVALIDDATA;
    UINT full = FullLevelCount((UINT)image.width, (UINT)image.height);
    if (mipLevels == D3DX_FROM_FILE)
        levels = (UINT)fileLevels;
    else if (mipLevels == 0 || mipLevels == D3DX_DEFAULT)
        levels = full;
    else
        levels = std::min(mipLevels, full);
    D3DFORMAT fileFormat = FormatOf(image.format);
    // A compressed or 16-bit request keeps the file's own data: the demo
    // textures look the same either way. A 32-bit request gets 32-bit data.
    bool wantBgra = requested == D3DFMT_A8R8G8B8 || requested == D3DFMT_X8R8G8B8;
    bool generate = levels > (UINT)fileLevels;
    if (colorKey != 0)
        wantBgra = true;
    if (wantBgra || generate)
    {
        format = wantBgra
                     ? requested
                     : (image.format == PixelFormat::X8R8G8B8 || image.format == PixelFormat::R5G6B5 ? D3DFMT_X8R8G8B8
                                                                                                     : D3DFMT_A8R8G8B8);
        data.assign((size_t)faces * levels, {});
        for (int f = 0; f < faces; ++f)
        {
            UINT have = std::min(levels, (UINT)fileLevels);
            for (UINT l = 0; l < have; ++l)
            {
                int w = std::max(1, image.width >> l), h = std::max(1, image.height >> l);
                if (!ToBgra(image, image.data[f * fileLevels + l], w, h, data[f * levels + l]))
                    return D3DXERR_INVALIDDATA;
                if (colorKey != 0)
                {
                    auto& px = data[f * levels + l];
                    for (size_t i = 0; i + 3 < px.size(); i += 4)
                    {
                        D3DCOLOR c = (D3DCOLOR)px[i] | ((D3DCOLOR)px[i + 1] << 8) | ((D3DCOLOR)px[i + 2] << 16) |
                                     ((D3DCOLOR)px[i + 3] << 24);
                        if (c == colorKey)
                            px[i] = px[i + 1] = px[i + 2] = px[i + 3] = 0;
                    }
                }
            }
            for (UINT l = have; l < levels; ++l)
            {
                int w = std::max(1, image.width >> (l - 1)), h = std::max(1, image.height >> (l - 1));
                data[f * levels + l] = DownsampleBgra(w, h, data[f * levels + l - 1].data());
            }
        }
        return D3D_OK;
    }
    format = fileFormat;
    data.assign((size_t)faces * levels, {});
    for (int f = 0; f < faces; ++f)
        for (UINT l = 0; l < levels; ++l)
            data[f * levels + l] = image.data[f * fileLevels + l];
    return D3D_OK;
}

void FillInfo(const DecodedImage& image, const void* bytes, size_t size, D3DXIMAGE_INFO* info)
{
    if (!info)
        return;
    info->Width = (UINT)image.width;
    info->Height = (UINT)image.height;
    info->Depth = 1;
    info->MipLevels = (UINT)std::max(1, image.levels);
    info->Format = FormatOf(image.format);
    info->ResourceType = image.cube ? D3DRTYPE_CUBETEXTURE : D3DRTYPE_TEXTURE;
    info->ImageFileFormat = FileFormatOf(static_cast<const uint8_t*>(bytes), size);
}

bool ReadFile(const char* path, std::vector<uint8_t>& bytes)
{
    if (!path)
        return false;
    FILE* f = OpenFileForReading(path);
    if (!f)
        return false;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    long size = ok ? std::ftell(f) : -1;
    // Texture files are a few megabytes; anything huge is not one.
    ok = ok && size >= 0 && size <= (256L << 20) && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok)
    {
        bytes.resize((size_t)size);
        ok = size == 0 || std::fread(bytes.data(), 1, (size_t)size, f) == (size_t)size;
    }
    std::fclose(f);
    return ok;
}

}   // namespace

}   // namespace d3d

using namespace d3d;

UINT D3DXGetFVFVertexSize(DWORD FVF)
{
    return FVFVertexSize(FVF);
}

HRESULT D3DXCreateMeshFVF(DWORD NumFaces, DWORD NumVertices, DWORD Options, DWORD FVF, LPDIRECT3DDEVICE9 pD3DDevice,
                          LPD3DXMESH* ppMesh)
{
    if (!ppMesh)
        return D3DERR_INVALIDCALL;
    *ppMesh = nullptr;
    UINT stride = FVFVertexSize(FVF);
    bool wide = (Options & D3DXMESH_32BIT) != 0;
    if (!pD3DDevice || NumFaces == 0 || NumVertices == 0 || stride == 0 || (!wide && NumVertices > 65535) ||
        NumFaces > (1u << 24) || NumVertices > (1u << 24))
        return D3DERR_INVALIDCALL;
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    HRESULT hr = pD3DDevice->CreateVertexBuffer(NumVertices * stride, UsageOf(Options, false), FVF,
                                                PoolOf(Options, false), &vb, nullptr);
    if (FAILED(hr))
        return hr;
    hr = pD3DDevice->CreateIndexBuffer(NumFaces * 3 * (wide ? 4 : 2), UsageOf(Options, true),
                                       wide ? D3DFMT_INDEX32 : D3DFMT_INDEX16, PoolOf(Options, true), &ib, nullptr);
    if (FAILED(hr))
    {
        vb->Release();
        return hr;
    }
    *ppMesh = new CMesh(pD3DDevice, NumFaces, NumVertices, Options, FVF, vb, ib);
    return D3D_OK;
}

HRESULT D3DXCreateTexture(LPDIRECT3DDEVICE9 pDevice, UINT Width, UINT Height, UINT MipLevels, DWORD Usage,
                          D3DFORMAT Format, D3DPOOL Pool, LPDIRECT3DTEXTURE9* ppTexture)
{
    if (!pDevice || !ppTexture)
        return D3DERR_INVALIDCALL;
    if (Width == 0 || Width == D3DX_DEFAULT)
        Width = 256;
    if (Height == 0 || Height == D3DX_DEFAULT)
        Height = 256;
    if (MipLevels == D3DX_DEFAULT)
        MipLevels = 0;
    if (Format == D3DFMT_UNKNOWN)
        Format = D3DFMT_A8R8G8B8;
    return pDevice->CreateTexture(Width, Height, MipLevels, Usage, Format, Pool, ppTexture, nullptr);
}

HRESULT D3DXCreateTextureFromFileInMemoryEx(LPDIRECT3DDEVICE9 pDevice, LPCVOID pSrcData, UINT SrcDataSize, UINT, UINT,
                                            UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD, DWORD,
                                            D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY*,
                                            LPDIRECT3DTEXTURE9* ppTexture)
{
    if (ppTexture)
        *ppTexture = nullptr;
    if (!pDevice || !pSrcData || SrcDataSize == 0 || !ppTexture)
        return D3DERR_INVALIDCALL;
    DecodedImage image;
    if (!DecodeImage(pSrcData, SrcDataSize, image, nullptr) || image.cube)
        return D3DXERR_INVALIDDATA;
    D3DFORMAT format;
    UINT levels;
    std::vector<std::vector<uint8_t>> data;
    HRESULT hr = Prepare(image, MipLevels, Format, ColorKey, format, levels, data);
    if (FAILED(hr))
        return hr;
    IDirect3DTexture9* texture = nullptr;
    hr = pDevice->CreateTexture((UINT)image.width, (UINT)image.height, levels, Usage, format, Pool, &texture, nullptr);
    if (FAILED(hr))
        return hr;
    TextureStore* store = StoreOf(texture);
    for (UINT l = 0; l < store->LevelCount() && l < data.size(); ++l)
        store->SetLevelData(0, l, data[l].data(), data[l].size());
    FillInfo(image, pSrcData, SrcDataSize, pSrcInfo);
    *ppTexture = texture;
    return D3D_OK;
}

HRESULT D3DXCreateTextureFromFileExA(LPDIRECT3DDEVICE9 pDevice, LPCSTR pSrcFile, UINT Width, UINT Height,
                                     UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter,
                                     DWORD MipFilter, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                     PALETTEENTRY* pPalette, LPDIRECT3DTEXTURE9* ppTexture)
{
    if (ppTexture)
        *ppTexture = nullptr;
    std::vector<uint8_t> bytes;
    if (!ReadFile(pSrcFile, bytes))
        return D3DERR_NOTAVAILABLE;
    return D3DXCreateTextureFromFileInMemoryEx(pDevice, bytes.data(), (UINT)bytes.size(), Width, Height, MipLevels,
                                               Usage, Format, Pool, Filter, MipFilter, ColorKey, pSrcInfo, pPalette,
                                               ppTexture);
}

HRESULT D3DXCreateCubeTextureFromFileInMemoryEx(LPDIRECT3DDEVICE9 pDevice, LPCVOID pSrcData, UINT SrcDataSize, UINT,
                                                UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD,
                                                DWORD, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY*,
                                                LPDIRECT3DCUBETEXTURE9* ppCubeTexture)
{
    if (ppCubeTexture)
        *ppCubeTexture = nullptr;
    if (!pDevice || !pSrcData || SrcDataSize == 0 || !ppCubeTexture)
        return D3DERR_INVALIDCALL;
    DecodedImage image;
    if (!DecodeImage(pSrcData, SrcDataSize, image, nullptr) || !image.cube || image.width != image.height)
        return D3DXERR_INVALIDDATA;
    D3DFORMAT format;
    UINT levels;
    std::vector<std::vector<uint8_t>> data;
    HRESULT hr = Prepare(image, MipLevels, Format, ColorKey, format, levels, data);
    if (FAILED(hr))
        return hr;
    IDirect3DCubeTexture9* texture = nullptr;
    hr = pDevice->CreateCubeTexture((UINT)image.width, levels, Usage, format, Pool, &texture, nullptr);
    if (FAILED(hr))
        return hr;
    TextureStore* store = StoreOf(texture);
    for (int f = 0; f < 6; ++f)
        for (UINT l = 0; l < store->LevelCount() && l < levels; ++l)
            store->SetLevelData(f, l, data[f * levels + l].data(), data[f * levels + l].size());
    FillInfo(image, pSrcData, SrcDataSize, pSrcInfo);
    *ppCubeTexture = texture;
    return D3D_OK;
}

HRESULT D3DXCreateCubeTextureFromFileExA(LPDIRECT3DDEVICE9 pDevice, LPCSTR pSrcFile, UINT Size, UINT MipLevels,
                                         DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                         D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                         LPDIRECT3DCUBETEXTURE9* ppCubeTexture)
{
    if (ppCubeTexture)
        *ppCubeTexture = nullptr;
    std::vector<uint8_t> bytes;
    if (!ReadFile(pSrcFile, bytes))
        return D3DERR_NOTAVAILABLE;
    return D3DXCreateCubeTextureFromFileInMemoryEx(pDevice, bytes.data(), (UINT)bytes.size(), Size, MipLevels, Usage,
                                                   Format, Pool, Filter, MipFilter, ColorKey, pSrcInfo, pPalette,
                                                   ppCubeTexture);
}
