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
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override
    {
        ULONG left = --refs_;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    ULONG refs_ = 1;
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
    UINT LevelCount() const { return levels_; }
    int Faces() const { return faces_; }
    D3DFORMAT Format() const { return format_; }
    DWORD Usage() const { return usage_; }
    D3DPOOL Pool() const { return pool_; }
    bool IsRenderTarget() const { return (usage_ & D3DUSAGE_RENDERTARGET) != 0; }
    GLuint GLName() const { return tex_; }
    GLenum GLTarget() const { return faces_ == 6 ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D; }
    GLenum GLFaceTarget(int face) const;
    void Describe(UINT level, D3DSURFACE_DESC* desc) const;

    HRESULT Lock(int face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags);
    HRESULT Unlock(int face, UINT level);
    // Writes a whole level (CPU copy and GL); used by the D3DX creators.
    void SetLevelData(int face, UINT level, const void* data, size_t size);
    const std::vector<uint8_t>& LevelData(int face, UINT level) const { return data_[face * levels_ + level]; }
    bool HasCpuCopy() const { return !IsRenderTarget(); }
    unsigned Number() const { return number_; }

private:
    void Upload(int face, UINT level);

    std::shared_ptr<DeviceLink> link_;
    UINT width_, height_, levels_;
    int faces_;
    DWORD usage_;
    D3DFORMAT format_;
    D3DPOOL pool_;
    GLuint tex_ = 0;
    unsigned number_;
    std::vector<std::vector<uint8_t>> data_;
    std::vector<int> lockCount_;
};

class CTexture9 final : public RefCounted<IDirect3DTexture9>
{
public:
    CTexture9(std::shared_ptr<DeviceLink> link, std::unique_ptr<TextureStore> store);
    ~CTexture9() override;
    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return store_->LevelCount(); }
    HRESULT GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) override;
    HRESULT GetSurfaceLevel(UINT Level, IDirect3DSurface9** ppSurfaceLevel) override;
    HRESULT LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags) override;
    HRESULT UnlockRect(UINT Level) override;
    TextureStore* Store() { return store_.get(); }

private:
    std::shared_ptr<DeviceLink> link_;
    std::unique_ptr<TextureStore> store_;
    std::vector<CSurface9*> surfaces_;
};

class CCubeTexture9 final : public RefCounted<IDirect3DCubeTexture9>
{
public:
    CCubeTexture9(std::shared_ptr<DeviceLink> link, std::unique_ptr<TextureStore> store);
    ~CCubeTexture9() override;
    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_CUBETEXTURE; }
    DWORD GetLevelCount() override { return store_->LevelCount(); }
    HRESULT GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) override;
    HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES FaceType, UINT Level, IDirect3DSurface9** ppCubeMapSurface) override;
    HRESULT LockRect(D3DCUBEMAP_FACES FaceType, UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect,
                     DWORD Flags) override;
    HRESULT UnlockRect(D3DCUBEMAP_FACES FaceType, UINT Level) override;
    TextureStore* Store() { return store_.get(); }

private:
    std::shared_ptr<DeviceLink> link_;
    std::unique_ptr<TextureStore> store_;
    std::vector<CSurface9*> surfaces_;
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

    bool IsDepth() const { return depth_; }
    UINT Width() const;
    UINT Height() const;
    D3DFORMAT Format() const;
    TextureStore* Store() const { return store_; }
    int Face() const { return face_; }
    UINT Level() const { return level_; }
    GLuint DepthRenderbuffer() const { return rb_; }
    bool DepthHasStencil() const
    {
        return format_ == D3DFMT_D24S8 || format_ == D3DFMT_D24X4S4 || format_ == D3DFMT_D15S1;
    }
    // Attaches this surface to the bound GL_FRAMEBUFFER target `target`.
    void Attach(GLenum target) const;
    unsigned Number() const { return number_; }
    // Called by a container whose last reference goes.
    void Detach() { container_ = nullptr; }

private:
    std::shared_ptr<DeviceLink> link_;
    IUnknown* container_ = nullptr;
    std::unique_ptr<TextureStore> own_;
    TextureStore* store_ = nullptr;
    int face_ = 0;
    UINT level_ = 0;
    bool depth_ = false;
    UINT width_ = 0, height_ = 0;
    D3DFORMAT format_ = D3DFMT_UNKNOWN;
    GLuint rb_ = 0;
    ULONG refs_ = 1;
    unsigned number_;
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
    GLuint GLName() const { return buffer_; }
    UINT Length() const { return (UINT)data_.size(); }
    const uint8_t* Data() const { return data_.data(); }
    DWORD Usage() const { return usage_; }
    D3DPOOL Pool() const { return pool_; }
    unsigned Number() const { return number_; }

private:
    std::shared_ptr<DeviceLink> link_;
    std::vector<uint8_t> data_;
    DWORD usage_;
    D3DPOOL pool_;
    GLenum target_;
    GLuint buffer_ = 0;
    int locks_ = 0;
    UINT dirtyBegin_ = 0, dirtyEnd_ = 0;
    bool discard_ = false;
    unsigned number_;
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
    BufferStore& Store() { return store_; }

private:
    std::shared_ptr<DeviceLink> link_;
    BufferStore store_;
    DWORD fvf_;
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
    BufferStore& Store() { return store_; }
    D3DFORMAT Format() const { return format_; }

private:
    std::shared_ptr<DeviceLink> link_;
    BufferStore store_;
    D3DFORMAT format_;
};

// ---------------------------------------------------------------------------
// Programs
// ---------------------------------------------------------------------------
// Uniform locations of the layer's own values, present in every program.
struct BuiltinUniforms
{
    GLint clipPlane = -1, pixelOffset = -1, screen = -1, alphaFunc = -1, alphaRef = -1;
    GLint vsConst = -1, psConst = -1;
    // Versions of the device values last uploaded to this program.
    uint64_t clipVersion = 0, viewportVersion = 0, alphaVersion = 0, vsConstVersion = 0, psConstVersion = 0;
};

// Text put around every vertex / fragment program.
std::string VertexPrelude();
std::string VertexEpilogue();
std::string FragmentPrelude();
// The alpha test is compiled in only where it is on, so other draws keep early depth testing.
std::string FragmentEpilogue(bool alphaTest);
// Compiles and links; on failure returns 0 and fills log.
GLuint BuildProgram(const std::string& vertex, const std::string& fragment, std::string* log);
void LocateBuiltins(GLuint program, BuiltinUniforms& u);

// The fixed-function state a generated program depends on.
struct FixedFunctionKey
{
    uint32_t fvf = 0;
    uint8_t lighting = 0, specular = 0, colorVertex = 0, normalize = 0, localViewer = 0, lights = 0;
    uint8_t diffuseSource = 0, ambientSource = 0, specularSource = 0, emissiveSource = 0;
    uint8_t stageCount = 0, alphaTest = 0;
    uint8_t flat = 0, pad[3] = {};   // flat: SHADEMODE FLAT, colours from each triangle's first vertex
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
// The program of the pass to draw with (with or without the alpha test),
// with the effect's changed parameters uploaded; says which device stages it
// reads. Null when the program cannot be made.
EffectPassProgram* UploadEffectPass(EffectPassProgram* pass, bool alphaTest, bool* stagesUsed);

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
    D3DBackendKind Kind() const { return kind_; }
    void MarkVideoOpened() { sdlVideo_ = true; }

private:
    std::vector<D3DDISPLAYMODE> Modes();
    D3DBackendKind kind_;
    bool sdlVideo_ = false;
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

    ULONG AddRef() override { return ++refs_; }
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
    const std::shared_ptr<DeviceLink>& Link() const { return link_; }
    bool IsGL() const { return gl_; }
    void MakeCurrent();
    // The effect pass drawing uses (null: fixed function).
    void SetEffectPass(EffectPassProgram* pass);
    EffectPassProgram* EffectPass() const { return effectPass_; }
    void SimulateLost() { lostState_ = 1; }
    void SimulateResettable() { lostState_ = 2; }
    void SimulateResetResult(HRESULT hr) { resetResult_ = hr; }
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

    ULONG refs_ = 1;
    CDirect3D9* d3d_;
    D3DBackendKind kind_;
    bool gl_;
    HWND window_;
    SDL_Window* sdlWindow_ = nullptr;
    void* context_ = nullptr;
    D3DPRESENT_PARAMETERS pp_;
    std::shared_ptr<DeviceLink> link_;

    int lostState_ = 0;   // 0 fine, 1 lost, 2 can be reset
    HRESULT resetResult_ = D3D_OK;
    bool inScene_ = false;

    // Direct3D state.
    DWORD rs_[D3DRS_MAX];
    DWORD tss_[kStages][D3DTSS_MAX];
    DWORD ss_[kSamplers][D3DSAMP_MAX];
    D3DMATRIX world_, view_, proj_, texMatrix_[kStages];
    D3DMATERIAL9 material_;
    D3DLIGHT9 lights_[kLights];
    bool lightOn_[kLights];
    float clipPlane_[4];
    D3DVIEWPORT9 viewport_;
    DWORD fvf_ = 0;
    IDirect3DVertexBuffer9* stream_ = nullptr;
    UINT streamOffset_ = 0, streamStride_ = 0;
    IDirect3DIndexBuffer9* indices_ = nullptr;
    IDirect3DBaseTexture9* textures_[kSamplers] = {};
    float vsConst_[kConstants][4];
    float psConst_[kConstants][4];
    CSurface9* backBuffer_ = nullptr;
    CSurface9* autoDepth_ = nullptr;
    CSurface9* renderTarget_ = nullptr;
    CSurface9* depthStencil_ = nullptr;
    EffectPassProgram* effectPass_ = nullptr;

    // Versions of uniform groups, bumped when the Direct3D values change.
    uint64_t transformVersion_ = 1, projVersion_ = 1, texMatrixVersion_ = 1, lightingVersion_ = 1, tfactorVersion_ = 1;
    uint64_t clipVersion_ = 1, viewportVersion_ = 1, alphaVersion_ = 1, vsConstVersion_ = 1, psConstVersion_ = 1;
    float clipPlaneClip_[4] = {0, 0, 0, 1};

    // GL side.
    bool fixedDirty_ = true;
    FixedFunctionProgram* fixed_ = nullptr;
    std::map<std::string, std::unique_ptr<FixedFunctionProgram>> fixedCache_;
    bool glStateDirty_ = true;
    bool framebufferDirty_ = true;
    bool samplerDirty_[kSamplers];
    GLuint samplers_[kSamplers] = {};
    GLuint fbo_ = 0, blitRead_ = 0, blitDraw_ = 0, vao_ = 0, upVertices_ = 0, upIndices_ = 0;
    GLuint currentProgram_ = 0;
    GLuint boundTex_[kSamplers + 16] = {};
    GLenum boundTarget_[kSamplers + 16] = {};
    struct
    {
        GLuint buffer = ~0u;
        UINT offset = 0, stride = 0;
        DWORD fvf = ~0u;
    } arrays_;
    UINT fbWidth_ = 0, fbHeight_ = 0;
    friend class EffectImpl;

public:
    // Texture units above the stages, used by effect texture parameters.
    void BindUnit(int unit, GLenum target, GLuint texture);
    // A texture is being deleted: units recorded as holding it hold nothing.
    void ForgetTexture(GLuint texture);
    // The GL program in use was changed behind the device's back.
    void ForgetProgram() { currentProgram_ = 0; }
    // Other GL code ran on this context: forget every binding and state the
    // device believes is set.
    void ForgetGLState();
    void UseProgram(GLuint program)
    {
        if (currentProgram_ != program)
        {
            gl.UseProgram(program);
            currentProgram_ = program;
        }
    }
    // Number of a new resource for the recording log.
    static unsigned NextNumber();
};

CDevice9* DeviceOf(IDirect3DDevice9* device);
// Direct3D sampler states (indexed by D3DSAMP_*) into a GL sampler object.
void ApplySamplerState(GLuint sampler, const DWORD* states);

}   // namespace d3d
