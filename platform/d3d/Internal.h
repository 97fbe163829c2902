#pragma once
// The implementation classes behind the Direct3D 9 style interfaces. One
// device class serves both backends: it keeps the whole Direct3D state and a
// CPU copy of every lockable resource, and on the OpenGL backend it also
// drives GL; on the recording backend it only writes the call log.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/d3d/D3D9.h"
#include "platform/d3d/EffectParser.h"
#include "platform/d3d/GLFunctions.h"

struct SDL_Window;

namespace d3d
{

class CDevice9;
class CDirect3D9;
class EffectImpl;

// Shared between a device and the resources it made, so that a resource
// released after its device does not touch a GL context that is gone.
struct DeviceLink
{
    CDevice9* device = nullptr;
    bool alive = true;
    bool gl = false;
};

// Recording log helpers.
bool Recording(const std::shared_ptr<DeviceLink>& link);
void Record(const std::string& line);
std::string Fmt(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
const char* RenderStateName(DWORD state);
const char* StageStateName(DWORD state);
const char* SamplerStateName(DWORD state);
const char* PrimitiveName(DWORD type);
const char* TransformName(DWORD type);

// Plain reference count shared by every object.
template <class Interface>
class RefCounted : public Interface
{
public:
    ULONG AddRef() override { return ++m_Refs; }
    ULONG Release() override
    {
        ULONG left = --m_Refs;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    ULONG m_Refs = 1;
};

// Pixel format facts.
struct FormatInfo
{
    bool supported = false;
    bool compressed = false;
    bool depth = false;
    UINT bytesPerPixel = 0;   // uncompressed
    UINT blockBytes = 0;      // compressed (4x4 blocks)
};
FormatInfo GetFormatInfo(D3DFORMAT format);
UINT LevelPitch(D3DFORMAT format, UINT width);
UINT LevelRows(D3DFORMAT format, UINT height);
UINT FullLevelCount(UINT width, UINT height);
UINT FVFVertexSize(DWORD fvf);

// Layout of one vertex of a flexible vertex format.
struct VertexLayout
{
    UINT stride = 0;
    int positionSize = 0;   // 3 (XYZ) or 4 (XYZRHW / XYZW)
    bool rhw = false;
    int normalOffset = -1;
    int diffuseOffset = -1;
    int specularOffset = -1;
    int texCount = 0;
    int texOffset[8] = {};
    int texSize[8] = {};
};
VertexLayout LayoutOfFVF(DWORD fvf);

// ---------------------------------------------------------------------------
// Textures: one implementation for 2D textures (1 face), cube textures (6
// faces) and the colour surfaces that stand alone (render targets, back buffer).
// ---------------------------------------------------------------------------
class CSurface9;

class TextureStore
{
public:
    TextureStore(std::shared_ptr<DeviceLink> link, UINT width, UINT height, UINT levels, int faces, DWORD usage,
                 D3DFORMAT format, D3DPOOL pool);
    ~TextureStore();
    bool Create();   // makes the GL texture (GL backend); false when the format cannot be made

    UINT Width(UINT level) const;
    UINT Height(UINT level) const;
    UINT LevelCount() const { return m_Levels; }
    int Faces() const { return m_Faces; }
    D3DFORMAT Format() const { return m_Format; }
    DWORD Usage() const { return m_Usage; }
    D3DPOOL Pool() const { return m_Pool; }
    bool IsRenderTarget() const { return (m_Usage & D3DUSAGE_RENDERTARGET) != 0; }
    GLuint GLName() const { return m_Tex; }
    GLenum GLTarget() const { return m_Faces == 6 ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D; }
    GLenum GLFaceTarget(int face) const;
    void Describe(UINT level, D3DSURFACE_DESC* desc) const;

    HRESULT Lock(int face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags);
    HRESULT Unlock(int face, UINT level);
    // Writes a whole level (CPU copy and GL); used by the D3DX creators.
    void SetLevelData(int face, UINT level, const void* data, size_t size);
    const std::vector<uint8_t>& LevelData(int face, UINT level) const { return m_Data[face * m_Levels + level]; }
    bool HasCpuCopy() const { return !IsRenderTarget(); }
    unsigned Number() const { return m_Number; }

private:
    void Upload(int face, UINT level);

    std::shared_ptr<DeviceLink> m_Link;
    UINT m_Width, m_Height, m_Levels;
    int m_Faces;
    DWORD m_Usage;
    D3DFORMAT m_Format;
    D3DPOOL m_Pool;
    GLuint m_Tex = 0;
    unsigned m_Number;
    std::vector<std::vector<uint8_t>> m_Data;
    std::vector<int> m_LockCount;
};

class CTexture9 final : public RefCounted<IDirect3DTexture9>
{
public:
    CTexture9(std::shared_ptr<DeviceLink> link, std::unique_ptr<TextureStore> store);
    ~CTexture9() override;
    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return m_Store->LevelCount(); }
    HRESULT GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) override;
    HRESULT GetSurfaceLevel(UINT Level, IDirect3DSurface9** ppSurfaceLevel) override;
    HRESULT LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags) override;
    HRESULT UnlockRect(UINT Level) override;
    TextureStore* Store() { return m_Store.get(); }

private:
    std::shared_ptr<DeviceLink> m_Link;
    std::unique_ptr<TextureStore> m_Store;
    std::vector<CSurface9*> m_Surfaces;
};

class CCubeTexture9 final : public RefCounted<IDirect3DCubeTexture9>
{
public:
    CCubeTexture9(std::shared_ptr<DeviceLink> link, std::unique_ptr<TextureStore> store);
    ~CCubeTexture9() override;
    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_CUBETEXTURE; }
    DWORD GetLevelCount() override { return m_Store->LevelCount(); }
    HRESULT GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) override;
    HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES FaceType, UINT Level, IDirect3DSurface9** ppCubeMapSurface) override;
    HRESULT LockRect(D3DCUBEMAP_FACES FaceType, UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect,
                     DWORD Flags) override;
    HRESULT UnlockRect(D3DCUBEMAP_FACES FaceType, UINT Level) override;
    TextureStore* Store() { return m_Store.get(); }

private:
    std::shared_ptr<DeviceLink> m_Link;
    std::unique_ptr<TextureStore> m_Store;
    std::vector<CSurface9*> m_Surfaces;
};

// The texture store behind a base texture of this layer (null for anything else).
TextureStore* StoreOf(IDirect3DBaseTexture9* texture);

// A surface: a level (and face) of a texture, a stand-alone colour surface
// (render target, back buffer) or a depth-stencil surface.
class CSurface9 final : public IDirect3DSurface9
{
public:
    // Level of a texture; reference counting goes to the container.
    CSurface9(std::shared_ptr<DeviceLink> link, IUnknown* container, TextureStore* store, int face, UINT level);
    // Stand-alone colour surface owning its store.
    CSurface9(std::shared_ptr<DeviceLink> link, std::unique_ptr<TextureStore> ownStore);
    // Depth-stencil surface.
    CSurface9(std::shared_ptr<DeviceLink> link, UINT width, UINT height, D3DFORMAT format);
    ~CSurface9() override;

    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }
    HRESULT GetDesc(D3DSURFACE_DESC* pDesc) override;
    HRESULT LockRect(D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags) override;
    HRESULT UnlockRect() override;

    bool IsDepth() const { return m_Depth; }
    UINT Width() const;
    UINT Height() const;
    D3DFORMAT Format() const;
    TextureStore* Store() const { return m_Store; }
    int Face() const { return m_Face; }
    UINT Level() const { return m_Level; }
    GLuint DepthRenderbuffer() const { return m_Rb; }
    bool DepthHasStencil() const
    {
        return m_Format == D3DFMT_D24S8 || m_Format == D3DFMT_D24X4S4 || m_Format == D3DFMT_D15S1;
    }
    // Attaches this surface to the bound GL_FRAMEBUFFER target `target`.
    void Attach(GLenum target) const;
    unsigned Number() const { return m_Number; }
    // Called by a container whose last reference goes.
    void Detach() { m_Container = nullptr; }

private:
    std::shared_ptr<DeviceLink> m_Link;
    IUnknown* m_Container = nullptr;
    std::unique_ptr<TextureStore> m_Own;
    TextureStore* m_Store = nullptr;
    int m_Face = 0;
    UINT m_Level = 0;
    bool m_Depth = false;
    UINT m_Width = 0, m_Height = 0;
    D3DFORMAT m_Format = D3DFMT_UNKNOWN;
    GLuint m_Rb = 0;
    ULONG m_Refs = 1;
    unsigned m_Number;
};

// ---------------------------------------------------------------------------
// Buffers: a CPU copy plus, on GL, a buffer object updated at Unlock.
// ---------------------------------------------------------------------------
class BufferStore
{
public:
    BufferStore(std::shared_ptr<DeviceLink> link, UINT length, DWORD usage, D3DPOOL pool, GLenum target);
    ~BufferStore();
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags);
    HRESULT Unlock();
    GLuint GLName() const { return m_Buffer; }
    UINT Length() const { return (UINT)m_Data.size(); }
    const uint8_t* Data() const { return m_Data.data(); }
    DWORD Usage() const { return m_Usage; }
    D3DPOOL Pool() const { return m_Pool; }
    unsigned Number() const { return m_Number; }

private:
    std::shared_ptr<DeviceLink> m_Link;
    std::vector<uint8_t> m_Data;
    DWORD m_Usage;
    D3DPOOL m_Pool;
    GLenum m_Target;
    GLuint m_Buffer = 0;
    int m_Locks = 0;
    UINT m_DirtyBegin = 0, m_DirtyEnd = 0;
    bool m_Discard = false;
    unsigned m_Number;
};

class CVertexBuffer9 final : public RefCounted<IDirect3DVertexBuffer9>
{
public:
    CVertexBuffer9(std::shared_ptr<DeviceLink> link, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
    ~CVertexBuffer9() override;
    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT OffsetToLock, UINT SizeToLock, void** ppbData, DWORD Flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* pDesc) override;
    BufferStore& Store() { return m_Store; }

private:
    std::shared_ptr<DeviceLink> m_Link;
    BufferStore m_Store;
    DWORD m_Fvf;
};

class CIndexBuffer9 final : public RefCounted<IDirect3DIndexBuffer9>
{
public:
    CIndexBuffer9(std::shared_ptr<DeviceLink> link, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    ~CIndexBuffer9() override;
    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT OffsetToLock, UINT SizeToLock, void** ppbData, DWORD Flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* pDesc) override;
    BufferStore& Store() { return m_Store; }
    D3DFORMAT Format() const { return m_Format; }

private:
    std::shared_ptr<DeviceLink> m_Link;
    BufferStore m_Store;
    D3DFORMAT m_Format;
};

// ---------------------------------------------------------------------------
// Programs
// ---------------------------------------------------------------------------
// Uniform locations of the layer's own values, present in every program.
struct BuiltinUniforms
{
    GLint clipPlane = -1, pixelOffset = -1, screen = -1, alphaRef = -1;
    GLint vsConst = -1, psConst = -1;
    // Versions of the device values last uploaded to this program.
    uint64_t clipVersion = 0, viewportVersion = 0, alphaVersion = 0, vsConstVersion = 0, psConstVersion = 0;
};

// Text put around every vertex / fragment program.
std::string VertexPrelude();
std::string VertexEpilogue();
std::string FragmentPrelude();
// The alpha test a draw needs: its comparison function (D3DCMP_NEVER to
// D3DCMP_GREATEREQUAL), or 0 when it is off or keeps every fragment.
DWORD AlphaTestOf(DWORD enabled, DWORD func);
// The alpha test is compiled in only where it is on, so other draws keep
// early depth testing; its function is compiled in too (0: no test).
std::string FragmentEpilogue(DWORD alphaTest);
// Compiles and links; on failure returns 0 and fills log.
GLuint BuildProgram(const std::string& vertex, const std::string& fragment, std::string* log);
void LocateBuiltins(GLuint program, BuiltinUniforms& u);

// The fixed-function state a generated program depends on.
struct FixedFunctionKey
{
    uint32_t fvf = 0;
    uint8_t lighting = 0, specular = 0, colorVertex = 0, normalize = 0, localViewer = 0, lights = 0;
    uint8_t diffuseSource = 0, ambientSource = 0, specularSource = 0, emissiveSource = 0;
    uint8_t stageCount = 0, alphaTest = 0;   // alphaTest: AlphaTestOf the states
    uint8_t flat = 0, pad[3] = {};           // flat: SHADEMODE FLAT, colours from each triangle's first vertex
    struct Stage
    {
        uint8_t colorOp, colorArg0, colorArg1, colorArg2;
        uint8_t alphaOp, alphaArg0, alphaArg1, alphaArg2;
        uint8_t result, texture;   // texture: 0 none, 1 2D, 2 cube
        uint16_t transformFlags;
        uint32_t coordIndex;
    } stages[8] = {};
};
bool StageUsesTexture(const FixedFunctionKey::Stage& stage);
std::string FixedFunctionVertexSource(const FixedFunctionKey& key);
std::string FixedFunctionFragmentSource(const FixedFunctionKey& key);

struct FixedFunctionProgram
{
    GLuint program = 0;
    BuiltinUniforms builtins;
    GLint worldView = -1, proj = -1, texMatrix[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    int lightCount = 0;
    GLint litBase = -1, ambientSum = -1, matDiffuse = -1, matAmbient = -1, matSpecular = -1, matEmissive = -1;
    GLint matPower = -1, lightDir = -1, lightDiffuse = -1, lightSpecular = -1, lightDiffuseMat = -1;
    GLint lightSpecularMat = -1;
    GLint tfactor = -1;
    uint64_t transformVersion = 0, projVersion = 0, texMatrixVersion = 0, lightingVersion = 0, tfactorVersion = 0;
    bool stageUsed[8] = {};
};

// An effect pass made ready to draw.
struct EffectPassProgram
{
    GLuint program = 0;
    BuiltinUniforms builtins;
    EffectImpl* effect = nullptr;
    int technique = 0, pass = 0;
};
// The program of the pass to draw with (with the alpha test of AlphaTestOf),
// with the effect's changed parameters uploaded; says which device stages it
// reads. Null when the program cannot be made.
EffectPassProgram* UploadEffectPass(EffectPassProgram* pass, DWORD alphaTest, bool* stagesUsed);

// ---------------------------------------------------------------------------
// The Direct3D object
// ---------------------------------------------------------------------------
class CDirect3D9 final : public RefCounted<IDirect3D9>
{
public:
    explicit CDirect3D9(D3DBackendKind kind);
    ~CDirect3D9() override;
    UINT GetAdapterCount() override { return 1; }
    UINT GetAdapterModeCount(UINT Adapter, D3DFORMAT Format) override;
    HRESULT EnumAdapterModes(UINT Adapter, D3DFORMAT Format, UINT Mode, D3DDISPLAYMODE* pMode) override;
    HRESULT GetAdapterDisplayMode(UINT Adapter, D3DDISPLAYMODE* pMode) override;
    HRESULT GetAdapterIdentifier(UINT Adapter, DWORD Flags, D3DADAPTER_IDENTIFIER9* pIdentifier) override;
    HRESULT CheckDeviceType(UINT Adapter, D3DDEVTYPE DevType, D3DFORMAT AdapterFormat, D3DFORMAT BackBufferFormat,
                            BOOL bWindowed) override;
    HRESULT CheckDeviceFormat(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT AdapterFormat, DWORD Usage,
                              D3DRESOURCETYPE RType, D3DFORMAT CheckFormat) override;
    HRESULT CheckDepthStencilMatch(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT AdapterFormat,
                                   D3DFORMAT RenderTargetFormat, D3DFORMAT DepthStencilFormat) override;
    HRESULT GetDeviceCaps(UINT Adapter, D3DDEVTYPE DeviceType, D3DCAPS9* pCaps) override;
    HRESULT CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow, DWORD BehaviorFlags,
                         D3DPRESENT_PARAMETERS* pPresentationParameters,
                         IDirect3DDevice9** ppReturnedDeviceInterface) override;
    D3DBackendKind Kind() const { return m_Kind; }
    void MarkVideoOpened() { m_SdlVideo = true; }

private:
    std::vector<D3DDISPLAYMODE> Modes();
    D3DBackendKind m_Kind;
    bool m_SdlVideo = false;
    std::string m_Renderer;   // the OpenGL renderer string, once a device has a context
};

void FillCaps(D3DCAPS9* caps);
D3DDISPLAYMODE DesktopMode(D3DBackendKind kind);
SDL_Window* ResolveWindow(HWND hwnd);

// ---------------------------------------------------------------------------
// The device
// ---------------------------------------------------------------------------
class CDevice9 final : public IDirect3DDevice9
{
public:
    CDevice9(CDirect3D9* d3d, D3DBackendKind kind, HWND window, const D3DPRESENT_PARAMETERS& pp);
    ~CDevice9() override;
    // Second half of creation; false when GL cannot be started.
    HRESULT Init();

    ULONG AddRef() override { return ++m_Refs; }
    ULONG Release() override;

    HRESULT TestCooperativeLevel() override;
    UINT GetAvailableTextureMem() override;
    HRESULT GetDirect3D(IDirect3D9** ppD3D9) override;
    HRESULT GetDeviceCaps(D3DCAPS9* pCaps) override;
    HRESULT GetDisplayMode(UINT iSwapChain, D3DDISPLAYMODE* pMode) override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* pPresentationParameters) override;
    HRESULT Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride,
                    const void* pDirtyRegion) override;
    HRESULT GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE Type,
                          IDirect3DSurface9** ppBackBuffer) override;
    HRESULT CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                          IDirect3DTexture9** ppTexture, HANDLE* pSharedHandle) override;
    HRESULT CreateCubeTexture(UINT EdgeLength, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                              IDirect3DCubeTexture9** ppCubeTexture, HANDLE* pSharedHandle) override;
    HRESULT CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                               IDirect3DVertexBuffer9** ppVertexBuffer, HANDLE* pSharedHandle) override;
    HRESULT CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                              IDirect3DIndexBuffer9** ppIndexBuffer, HANDLE* pSharedHandle) override;
    HRESULT CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample,
                               DWORD MultisampleQuality, BOOL Lockable, IDirect3DSurface9** ppSurface,
                               HANDLE* pSharedHandle) override;
    HRESULT CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample,
                                      DWORD MultisampleQuality, BOOL Discard, IDirect3DSurface9** ppSurface,
                                      HANDLE* pSharedHandle) override;
    HRESULT StretchRect(IDirect3DSurface9* pSourceSurface, const RECT* pSourceRect, IDirect3DSurface9* pDestSurface,
                        const RECT* pDestRect, D3DTEXTUREFILTERTYPE Filter) override;
    HRESULT ColorFill(IDirect3DSurface9* pSurface, const RECT* pRect, D3DCOLOR color) override;
    HRESULT SetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9* pRenderTarget) override;
    HRESULT GetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9** ppRenderTarget) override;
    HRESULT SetDepthStencilSurface(IDirect3DSurface9* pNewZStencil) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface9** ppZStencilSurface) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z, DWORD Stencil) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) override;
    HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) override;
    HRESULT SetViewport(const D3DVIEWPORT9* pViewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* pViewport) override;
    HRESULT SetScissorRect(const RECT* pRect) override;
    HRESULT GetScissorRect(RECT* pRect) override;
    HRESULT SetMaterial(const D3DMATERIAL9* pMaterial) override;
    HRESULT GetMaterial(D3DMATERIAL9* pMaterial) override;
    HRESULT SetLight(DWORD Index, const D3DLIGHT9* pLight) override;
    HRESULT GetLight(DWORD Index, D3DLIGHT9* pLight) override;
    HRESULT LightEnable(DWORD Index, BOOL Enable) override;
    HRESULT GetLightEnable(DWORD Index, BOOL* pEnable) override;
    HRESULT SetClipPlane(DWORD Index, const float* pPlane) override;
    HRESULT GetClipPlane(DWORD Index, float* pPlane) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) override;
    HRESULT GetTexture(DWORD Stage, IDirect3DBaseTexture9** ppTexture) override;
    HRESULT SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture) override;
    HRESULT GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue) override;
    HRESULT SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) override;
    HRESULT GetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD* pValue) override;
    HRESULT SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD Value) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex, UINT PrimitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, INT BaseVertexIndex, UINT MinVertexIndex,
                                 UINT NumVertices, UINT startIndex, UINT primCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount, const void* pVertexStreamZeroData,
                            UINT VertexStreamZeroStride) override;
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT MinVertexIndex, UINT NumVertices,
                                   UINT PrimitiveCount, const void* pIndexData, D3DFORMAT IndexDataFormat,
                                   const void* pVertexStreamZeroData, UINT VertexStreamZeroStride) override;
    HRESULT SetFVF(DWORD FVF) override;
    HRESULT GetFVF(DWORD* pFVF) override;
    HRESULT SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9* pStreamData, UINT OffsetInBytes,
                            UINT Stride) override;
    HRESULT GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9** ppStreamData, UINT* pOffsetInBytes,
                            UINT* pStride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* pIndexData) override;
    HRESULT GetIndices(IDirect3DIndexBuffer9** ppIndexData) override;
    HRESULT SetVertexShaderConstantF(UINT StartRegister, const float* pConstantData, UINT Vector4fCount) override;
    HRESULT GetVertexShaderConstantF(UINT StartRegister, float* pConstantData, UINT Vector4fCount) override;
    HRESULT SetPixelShaderConstantF(UINT StartRegister, const float* pConstantData, UINT Vector4fCount) override;
    HRESULT GetPixelShaderConstantF(UINT StartRegister, float* pConstantData, UINT Vector4fCount) override;

    // Layer internals.
    const std::shared_ptr<DeviceLink>& Link() const { return m_Link; }
    bool IsGL() const { return m_Gl; }
    void MakeCurrent();
    // The effect pass drawing uses (null: fixed function).
    void SetEffectPass(EffectPassProgram* pass);
    EffectPassProgram* EffectPass() const { return m_EffectPass; }
    void SimulateLost() { m_LostState = 1; }
    void SimulateResettable() { m_LostState = 2; }
    void SimulateResetResult(HRESULT hr) { m_ResetResult = hr; }
    // Live resources of the default pool (Reset fails while any remain).
    static void CountDefaultPool(const std::shared_ptr<DeviceLink>& link, int delta);
    int defaultPoolCount = 0;
    bool ReadSurface(CSurface9* surface, std::vector<uint8_t>& bgra);

    static constexpr int kStages = 8;
    static constexpr int kSamplers = 16;
    static constexpr int kLights = 8;
    static constexpr int kConstants = 32;

private:
    HRESULT CreateSwapChainSurfaces();
    void SetDefaultState();
    void ResetBindings();
    bool PrepareDraw(D3DPRIMITIVETYPE type, UINT vertexCount);
    void ApplyFramebuffer();
    void ApplyGLState();
    void ApplySamplers();
    void ApplyFixedFunctionUniforms(FixedFunctionProgram& p);
    void ApplyBuiltins(BuiltinUniforms& u);
    void BindTextures(const bool* used, int count);
    void SetupVertexArrays(GLuint buffer, UINT offset, UINT stride, UINT baseVertex);
    FixedFunctionProgram* FixedFunction();
    FixedFunctionKey BuildKey() const;
    void RecordCall(const std::string& line) const;
    void UpdateClipPlane();

    ULONG m_Refs = 1;
    CDirect3D9* m_D3d;
    D3DBackendKind m_Kind;
    bool m_Gl;
    HWND m_Window;
    SDL_Window* m_SdlWindow = nullptr;
    void* m_Context = nullptr;
    D3DPRESENT_PARAMETERS m_Pp;
    std::shared_ptr<DeviceLink> m_Link;

    int m_LostState = 0;   // 0 fine, 1 lost, 2 can be reset
    HRESULT m_ResetResult = D3D_OK;
    bool m_InScene = false;

    // Direct3D state.
    DWORD m_Rs[D3DRS_MAX];
    DWORD m_Tss[kStages][D3DTSS_MAX];
    DWORD m_Ss[kSamplers][D3DSAMP_MAX];
    D3DMATRIX m_World, m_View, m_Proj, m_TexMatrix[kStages];
    D3DMATERIAL9 m_Material;
    D3DLIGHT9 m_Lights[kLights];
    bool m_LightOn[kLights];
    float m_ClipPlane[4];
    D3DVIEWPORT9 m_Viewport;
    RECT m_Scissor = {0, 0, 0, 0};
    DWORD m_Fvf = 0;
    IDirect3DVertexBuffer9* m_Stream = nullptr;
    UINT m_StreamOffset = 0, m_StreamStride = 0;
    IDirect3DIndexBuffer9* m_Indices = nullptr;
    IDirect3DBaseTexture9* m_Textures[kSamplers] = {};
    float m_VsConst[kConstants][4];
    float m_PsConst[kConstants][4];
    CSurface9* m_BackBuffer = nullptr;
    CSurface9* m_AutoDepth = nullptr;
    CSurface9* m_RenderTarget = nullptr;
    CSurface9* m_DepthStencil = nullptr;
    EffectPassProgram* m_EffectPass = nullptr;

    // Versions of uniform groups, bumped when the Direct3D values change.
    uint64_t m_TransformVersion = 1, m_ProjVersion = 1, m_TexMatrixVersion = 1, m_LightingVersion = 1,
             m_TfactorVersion = 1;
    uint64_t m_ClipVersion = 1, m_ViewportVersion = 1, m_AlphaVersion = 1, m_VsConstVersion = 1, m_PsConstVersion = 1;
    float m_ClipPlaneClip[4] = {0, 0, 0, 1};

    // GL side.
    bool m_FixedDirty = true;
    FixedFunctionProgram* m_Fixed = nullptr;
    std::map<std::string, std::unique_ptr<FixedFunctionProgram>> m_FixedCache;
    bool m_GlStateDirty = true;
    bool m_FramebufferDirty = true;
    bool m_SamplerDirty[kSamplers];
    GLuint m_Samplers[kSamplers] = {};
    GLuint m_Fbo = 0, m_BlitRead = 0, m_BlitDraw = 0, m_Vao = 0, m_UpVertices = 0, m_UpIndices = 0;
    GLuint m_CurrentProgram = 0;
    GLuint m_BoundTex[kSamplers + 16] = {};
    GLenum m_BoundTarget[kSamplers + 16] = {};
    struct
    {
        GLuint buffer = ~0u;
        UINT offset = 0, stride = 0;
        DWORD fvf = ~0u;
    } m_Arrays;
    UINT m_FbWidth = 0, m_FbHeight = 0;
    friend class EffectImpl;

public:
    // Texture units above the stages, used by effect texture parameters.
    void BindUnit(int unit, GLenum target, GLuint texture);
    // A texture is being deleted: units recorded as holding it hold nothing.
    void ForgetTexture(GLuint texture);
    // The GL program in use was changed behind the device's back.
    void ForgetProgram() { m_CurrentProgram = 0; }
    // Other GL code ran on this context: forget every binding and state the
    // device believes is set.
    void ForgetGLState();
    void UseProgram(GLuint program)
    {
        if (m_CurrentProgram != program)
        {
            gl.UseProgram(program);
            m_CurrentProgram = program;
        }
    }
    // Number of a new resource for the recording log.
    static unsigned NextNumber();
};

// Writes the back buffer to the file TRALLOWMERE_TEST_SCREENSHOT names, when
// it is set (a test hook of the program's headless runs).
void WriteTestScreenshot(CDevice9& device, CSurface9* backBuffer);

CDevice9* DeviceOf(IDirect3DDevice9* device);
// Direct3D sampler states (indexed by D3DSAMP_*) into a GL sampler object.
void ApplySamplerState(GLuint sampler, const DWORD* states);

}   // namespace d3d
