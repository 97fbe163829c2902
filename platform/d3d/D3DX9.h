#pragma once
// The D3DX 9 style helpers built on the device: effects (technique files),
// meshes, buffers and the texture creators.
#include "platform/d3d/D3D9Interfaces.h"

// Names of techniques and parameters; a handle returned by GetTechniqueByName /
// GetParameterByName may be used in place of the name.
typedef const char* D3DXHANDLE;

struct D3DXMACRO
{
    LPCSTR Name;
    LPCSTR Definition;
};
struct ID3DXInclude;      // not supported: pass null
struct ID3DXEffectPool;   // not supported: pass null
typedef ID3DXInclude* LPD3DXINCLUDE;
typedef ID3DXEffectPool* LPD3DXEFFECTPOOL;

#define D3DX_DEFAULT         ((UINT)-1)
#define D3DX_DEFAULT_NONPOW2 ((UINT)-2)
#define D3DX_FROM_FILE       ((UINT)-3)

#define D3DX_FILTER_NONE     (1u << 0)
#define D3DX_FILTER_POINT    (2u << 0)
#define D3DX_FILTER_LINEAR   (3u << 0)
#define D3DX_FILTER_TRIANGLE (4u << 0)
#define D3DX_FILTER_BOX      (5u << 0)

// Effect Begin flags.
#define D3DXFX_DONOTSAVESTATE        (1u << 0)
#define D3DXFX_DONOTSAVESHADERSTATE  (1u << 1)
#define D3DXFX_DONOTSAVESAMPLERSTATE (1u << 2)

// Mesh creation options.
#define D3DXMESH_32BIT                 0x001u
#define D3DXMESH_DONOTCLIP             0x002u
#define D3DXMESH_POINTS                0x004u
#define D3DXMESH_RTPATCHES             0x008u
#define D3DXMESH_NPATCHES              0x4000u
#define D3DXMESH_VB_SYSTEMMEM          0x010u
#define D3DXMESH_VB_MANAGED            0x020u
#define D3DXMESH_VB_WRITEONLY          0x040u
#define D3DXMESH_VB_DYNAMIC            0x080u
#define D3DXMESH_VB_SOFTWAREPROCESSING 0x8000u
#define D3DXMESH_IB_SYSTEMMEM          0x100u
#define D3DXMESH_IB_MANAGED            0x200u
#define D3DXMESH_IB_WRITEONLY          0x400u
#define D3DXMESH_IB_DYNAMIC            0x800u
#define D3DXMESH_IB_SOFTWAREPROCESSING 0x10000u
#define D3DXMESH_VB_SHARE              0x1000u
#define D3DXMESH_USEHWONLY             0x2000u
#define D3DXMESH_SYSTEMMEM             0x110u
#define D3DXMESH_MANAGED               0x220u
#define D3DXMESH_WRITEONLY             0x440u
#define D3DXMESH_DYNAMIC               0x880u
#define D3DXMESH_SOFTWAREPROCESSING    0x18000u

// Mesh optimisation flags.
#define D3DXMESHOPT_DEVICEINDEPENDENT 0x00400000u
#define D3DXMESHOPT_COMPACT           0x01000000u
#define D3DXMESHOPT_ATTRSORT          0x02000000u
#define D3DXMESHOPT_VERTEXCACHE       0x04000000u
#define D3DXMESHOPT_STRIPREORDER      0x08000000u
#define D3DXMESHOPT_IGNOREVERTS       0x10000000u
#define D3DXMESHOPT_DONOTSPLIT        0x20000000u

enum D3DXIMAGE_FILEFORMAT : uint32_t
{
    D3DXIFF_BMP = 0,
    D3DXIFF_JPG = 1,
    D3DXIFF_TGA = 2,
    D3DXIFF_PNG = 3,
    D3DXIFF_DDS = 4,
    D3DXIFF_PPM = 5,
    D3DXIFF_DIB = 6,
    D3DXIFF_HDR = 7,
    D3DXIFF_PFM = 8
};

struct D3DXIMAGE_INFO
{
    UINT Width;
    UINT Height;
    UINT Depth;
    UINT MipLevels;
    D3DFORMAT Format;
    D3DRESOURCETYPE ResourceType;
    D3DXIMAGE_FILEFORMAT ImageFileFormat;
};

struct D3DXATTRIBUTERANGE
{
    DWORD AttribId;
    DWORD FaceStart;
    DWORD FaceCount;
    DWORD VertexStart;
    DWORD VertexCount;
};

struct ID3DXBuffer : IUnknown
{
    virtual void* GetBufferPointer() = 0;
    virtual DWORD GetBufferSize() = 0;
};

// An effect: the techniques of one technique file, their passes and the named
// parameters the passes read. Names that the file does not declare are
// ignored by the setters (they return D3DERR_INVALIDCALL and change nothing).
struct ID3DXEffect : IUnknown
{
    virtual HRESULT GetDevice(IDirect3DDevice9** ppDevice) = 0;
    virtual D3DXHANDLE GetTechniqueByName(LPCSTR pName) = 0;
    virtual D3DXHANDLE GetParameterByName(D3DXHANDLE hParent, LPCSTR pName) = 0;
    virtual HRESULT SetTechnique(D3DXHANDLE hTechnique) = 0;
    virtual D3DXHANDLE GetCurrentTechnique() = 0;
    virtual HRESULT ValidateTechnique(D3DXHANDLE hTechnique) = 0;

    virtual HRESULT Begin(UINT* pPasses, DWORD Flags) = 0;
    virtual HRESULT BeginPass(UINT Pass) = 0;
    virtual HRESULT CommitChanges() = 0;
    virtual HRESULT EndPass() = 0;
    virtual HRESULT End() = 0;

    virtual HRESULT SetValue(D3DXHANDLE hParameter, LPCVOID pData, UINT Bytes) = 0;
    virtual HRESULT GetValue(D3DXHANDLE hParameter, LPVOID pData, UINT Bytes) = 0;
    virtual HRESULT SetBool(D3DXHANDLE hParameter, BOOL b) = 0;
    virtual HRESULT SetInt(D3DXHANDLE hParameter, INT n) = 0;
    virtual HRESULT GetInt(D3DXHANDLE hParameter, INT* pn) = 0;
    virtual HRESULT SetFloat(D3DXHANDLE hParameter, FLOAT f) = 0;
    virtual HRESULT GetFloat(D3DXHANDLE hParameter, FLOAT* pf) = 0;
    virtual HRESULT SetFloatArray(D3DXHANDLE hParameter, const FLOAT* pf, UINT Count) = 0;
    virtual HRESULT SetVector(D3DXHANDLE hParameter, const D3DXVECTOR4* pVector) = 0;
    virtual HRESULT GetVector(D3DXHANDLE hParameter, D3DXVECTOR4* pVector) = 0;
    virtual HRESULT SetVectorArray(D3DXHANDLE hParameter, const D3DXVECTOR4* pVector, UINT Count) = 0;
    virtual HRESULT SetMatrix(D3DXHANDLE hParameter, const D3DXMATRIX* pMatrix) = 0;
    virtual HRESULT GetMatrix(D3DXHANDLE hParameter, D3DXMATRIX* pMatrix) = 0;
    virtual HRESULT SetMatrixArray(D3DXHANDLE hParameter, const D3DXMATRIX* pMatrix, UINT Count) = 0;
    virtual HRESULT SetTexture(D3DXHANDLE hParameter, IDirect3DBaseTexture9* pTexture) = 0;
    virtual HRESULT GetTexture(D3DXHANDLE hParameter, IDirect3DBaseTexture9** ppTexture) = 0;

    virtual HRESULT OnLostDevice() = 0;
    virtual HRESULT OnResetDevice() = 0;
};

// A mesh: a vertex buffer of one FVF, a 16-bit (or 32-bit with D3DXMESH_32BIT)
// triangle-list index buffer and one attribute id per face. Buffers keep a
// CPU copy, so they can be locked and read back whatever the pool.
struct ID3DXMesh : IUnknown
{
    virtual HRESULT GetDevice(IDirect3DDevice9** ppDevice) = 0;
    virtual DWORD GetNumFaces() = 0;
    virtual DWORD GetNumVertices() = 0;
    virtual DWORD GetFVF() = 0;
    virtual DWORD GetNumBytesPerVertex() = 0;
    virtual DWORD GetOptions() = 0;
    virtual HRESULT GetVertexBuffer(IDirect3DVertexBuffer9** ppVB) = 0;
    virtual HRESULT GetIndexBuffer(IDirect3DIndexBuffer9** ppIB) = 0;
    virtual HRESULT LockVertexBuffer(DWORD Flags, LPVOID* ppData) = 0;
    virtual HRESULT UnlockVertexBuffer() = 0;
    virtual HRESULT LockIndexBuffer(DWORD Flags, LPVOID* ppData) = 0;
    virtual HRESULT UnlockIndexBuffer() = 0;
    virtual HRESULT LockAttributeBuffer(DWORD Flags, DWORD** ppData) = 0;
    virtual HRESULT UnlockAttributeBuffer() = 0;
    virtual HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* pAttribTable, DWORD* pAttribTableSize) = 0;
    virtual HRESULT DrawSubset(DWORD AttribId) = 0;
    virtual HRESULT OptimizeInplace(DWORD Flags, const DWORD* pAdjacencyIn, DWORD* pAdjacencyOut, DWORD* pFaceRemap,
                                    ID3DXBuffer** ppVertexRemap) = 0;
};

typedef ID3DXBuffer* LPD3DXBUFFER;
typedef ID3DXEffect* LPD3DXEFFECT;
typedef ID3DXMesh* LPD3DXMESH;

// Compiles a technique file (the text format is described in
// platform/d3d/EffectParser.h). On a compile error the result is
// D3DXERR_INVALIDDATA and *ppCompilationErrors (when given) receives the text
// of the errors as a zero-terminated string.
HRESULT D3DXCreateEffect(LPDIRECT3DDEVICE9 pDevice, LPCVOID pSrcData, UINT SrcDataLen, const D3DXMACRO* pDefines,
                         LPD3DXINCLUDE pInclude, DWORD Flags, LPD3DXEFFECTPOOL pPool, LPD3DXEFFECT* ppEffect,
                         LPD3DXBUFFER* ppCompilationErrors);

HRESULT D3DXCreateBuffer(DWORD NumBytes, LPD3DXBUFFER* ppBuffer);

HRESULT D3DXCreateMeshFVF(DWORD NumFaces, DWORD NumVertices, DWORD Options, DWORD FVF, LPDIRECT3DDEVICE9 pD3DDevice,
                          LPD3DXMESH* ppMesh);

// Bytes per vertex of a flexible vertex format.
UINT D3DXGetFVFVertexSize(DWORD FVF);

HRESULT D3DXCreateTexture(LPDIRECT3DDEVICE9 pDevice, UINT Width, UINT Height, UINT MipLevels, DWORD Usage,
                          D3DFORMAT Format, D3DPOOL Pool, LPDIRECT3DTEXTURE9* ppTexture);

// Texture creators from image files (DDS, BMP, JPG, PNG, TGA). Width and
// Height D3DX_DEFAULT (or 0) take the file's size; MipLevels 0 or D3DX_DEFAULT
// a full chain (made here when the file has none), D3DX_FROM_FILE the file's
// levels; Format D3DFMT_UNKNOWN or D3DFMT_FROM_FILE the file's format.
HRESULT D3DXCreateTextureFromFileInMemoryEx(LPDIRECT3DDEVICE9 pDevice, LPCVOID pSrcData, UINT SrcDataSize, UINT Width,
                                            UINT Height, UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                            DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                            PALETTEENTRY* pPalette, LPDIRECT3DTEXTURE9* ppTexture);
HRESULT D3DXCreateTextureFromFileExA(LPDIRECT3DDEVICE9 pDevice, LPCSTR pSrcFile, UINT Width, UINT Height,
                                     UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter,
                                     DWORD MipFilter, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                     PALETTEENTRY* pPalette, LPDIRECT3DTEXTURE9* ppTexture);
HRESULT D3DXCreateCubeTextureFromFileInMemoryEx(LPDIRECT3DDEVICE9 pDevice, LPCVOID pSrcData, UINT SrcDataSize,
                                                UINT Size, UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                                DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                                D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                LPDIRECT3DCUBETEXTURE9* ppCubeTexture);
HRESULT D3DXCreateCubeTextureFromFileExA(LPDIRECT3DDEVICE9 pDevice, LPCSTR pSrcFile, UINT Size, UINT MipLevels,
                                         DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                         D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                         LPDIRECT3DCUBETEXTURE9* ppCubeTexture);
