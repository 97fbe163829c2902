// Textures, surfaces and buffers: a CPU copy for locking and read-back, and on
// the OpenGL backend the GL object it is uploaded to.
#include <algorithm>
#include <cstring>

#include "platform/d3d/Internal.h"
#include "platform/image/ImageDecode.h"

namespace d3d
{

// ---------------------------------------------------------------------------
// Formats
// ---------------------------------------------------------------------------
FormatInfo GetFormatInfo(D3DFORMAT format)
{
    FormatInfo f;
    f.supported = true;
    switch (format)
    {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_A8B8G8R8:
    case D3DFMT_X8B8G8R8:
        f.bytesPerPixel = 4;
        break;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_A8L8:
        f.bytesPerPixel = 2;
        break;
    case D3DFMT_A8:
    case D3DFMT_L8:
        f.bytesPerPixel = 1;
        break;
    case D3DFMT_DXT1:
        f.compressed = true;
        f.blockBytes = 8;
        break;
    case D3DFMT_DXT3:
    case D3DFMT_DXT5:
        f.compressed = true;
        f.blockBytes = 16;
        break;
    case D3DFMT_D24S8:
    case D3DFMT_D24X8:
    case D3DFMT_D24X4S4:
    case D3DFMT_D32:
    case D3DFMT_D16:
    case D3DFMT_D16_LOCKABLE:
    case D3DFMT_D15S1:
        f.depth = true;
        f.bytesPerPixel = format == D3DFMT_D16 || format == D3DFMT_D16_LOCKABLE || format == D3DFMT_D15S1 ? 2 : 4;
        break;
    default:
        f.supported = false;
        break;
    }
    return f;
}

UINT LevelPitch(D3DFORMAT format, UINT width)
{
    FormatInfo f = GetFormatInfo(format);
    if (f.compressed)
        return std::max(1u, (width + 3) / 4) * f.blockBytes;
    return width * f.bytesPerPixel;
}

UINT LevelRows(D3DFORMAT format, UINT height)
{
    FormatInfo f = GetFormatInfo(format);
    if (f.compressed)
        return std::max(1u, (height + 3) / 4);
    return height;
}

UINT FullLevelCount(UINT width, UINT height)
{
    UINT size = std::max(width, height), levels = 1;
    while (size > 1)
    {
        size >>= 1;
        ++levels;
    }
    return levels;
}

namespace
{

struct GLFormat
{
    GLenum internal = 0, format = 0, type = 0;
    GLint swizzle[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA};
    bool compressed = false;
    bool expandDxt = false;   // the driver lacks S3TC: decode on the CPU into RGBA8
};

GLFormat GLFormatOf(D3DFORMAT format)
{
    GLFormat g;
    switch (format)
    {
    case D3DFMT_A8R8G8B8:
        g.internal = GL_RGBA8, g.format = GL_BGRA, g.type = GL_UNSIGNED_BYTE;
        break;
    case D3DFMT_X8R8G8B8:
        g.internal = GL_RGBA8, g.format = GL_BGRA, g.type = GL_UNSIGNED_BYTE;
        g.swizzle[3] = GL_ONE;
        break;
    case D3DFMT_A8B8G8R8:
        g.internal = GL_RGBA8, g.format = GL_RGBA, g.type = GL_UNSIGNED_BYTE;
        break;
    case D3DFMT_X8B8G8R8:
        g.internal = GL_RGBA8, g.format = GL_RGBA, g.type = GL_UNSIGNED_BYTE;
        g.swizzle[3] = GL_ONE;
        break;
    case D3DFMT_R5G6B5:
        g.internal = GL_RGB565, g.format = GL_RGB, g.type = GL_UNSIGNED_SHORT_5_6_5;
        break;
    case D3DFMT_A1R5G5B5:
        g.internal = GL_RGB5_A1, g.format = GL_BGRA, g.type = GL_UNSIGNED_SHORT_1_5_5_5_REV;
        break;
    case D3DFMT_X1R5G5B5:
        g.internal = GL_RGB5_A1, g.format = GL_BGRA, g.type = GL_UNSIGNED_SHORT_1_5_5_5_REV;
        g.swizzle[3] = GL_ONE;
        break;
    case D3DFMT_A4R4G4B4:
        g.internal = GL_RGBA4, g.format = GL_BGRA, g.type = GL_UNSIGNED_SHORT_4_4_4_4_REV;
        break;
    case D3DFMT_A8:
        g.internal = GL_R8, g.format = GL_RED, g.type = GL_UNSIGNED_BYTE;
        g.swizzle[0] = g.swizzle[1] = g.swizzle[2] = GL_ZERO;
        g.swizzle[3] = GL_RED;
        break;
    case D3DFMT_L8:
        g.internal = GL_R8, g.format = GL_RED, g.type = GL_UNSIGNED_BYTE;
        g.swizzle[0] = g.swizzle[1] = g.swizzle[2] = GL_RED;
        g.swizzle[3] = GL_ONE;
        break;
    case D3DFMT_A8L8:
        g.internal = GL_RG8, g.format = GL_RG, g.type = GL_UNSIGNED_BYTE;
        g.swizzle[0] = g.swizzle[1] = g.swizzle[2] = GL_RED;
        g.swizzle[3] = GL_GREEN;
        break;
    case D3DFMT_DXT1:
    case D3DFMT_DXT3:
    case D3DFMT_DXT5:
        if (gl.s3tc)
        {
            g.compressed = true;
            g.internal = format == D3DFMT_DXT1   ? GL_COMPRESSED_RGBA_S3TC_DXT1_EXT
                         : format == D3DFMT_DXT3 ? GL_COMPRESSED_RGBA_S3TC_DXT3_EXT
                                                 : GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
        }
        else
        {
            g.expandDxt = true;
            g.internal = GL_RGBA8, g.format = GL_BGRA, g.type = GL_UNSIGNED_BYTE;
        }
        break;
    default:
        break;
    }
    return g;
}

PixelFormat ImageFormatOf(D3DFORMAT format)
{
    return format == D3DFMT_DXT1 ? PixelFormat::DXT1 : format == D3DFMT_DXT3 ? PixelFormat::DXT3 : PixelFormat::DXT5;
}

unsigned g_number = 0;

}   // namespace

unsigned CDevice9::NextNumber()
{
    return ++g_number;
}

// ---------------------------------------------------------------------------
// Flexible vertex formats
// ---------------------------------------------------------------------------
VertexLayout LayoutOfFVF(DWORD fvf)
{
    VertexLayout l;
    UINT offset = 0;
    switch (fvf & D3DFVF_POSITION_MASK)
    {
    case D3DFVF_XYZ:
        l.positionSize = 3, offset = 12;
        break;
    case D3DFVF_XYZRHW:
        l.positionSize = 4, l.rhw = true, offset = 16;
        break;
    case D3DFVF_XYZW:
        l.positionSize = 4, offset = 16;
        break;
    case D3DFVF_XYZB1:
        l.positionSize = 3, offset = 16;
        break;
    case D3DFVF_XYZB2:
        l.positionSize = 3, offset = 20;
        break;
    case D3DFVF_XYZB3:
        l.positionSize = 3, offset = 24;
        break;
    case D3DFVF_XYZB4:
        l.positionSize = 3, offset = 28;
        break;
    case D3DFVF_XYZB5:
        l.positionSize = 3, offset = 32;
        break;
    default:
        break;
    }
    if (fvf & D3DFVF_NORMAL)
        l.normalOffset = (int)offset, offset += 12;
    if (fvf & D3DFVF_PSIZE)
        offset += 4;
    if (fvf & D3DFVF_DIFFUSE)
        l.diffuseOffset = (int)offset, offset += 4;
    if (fvf & D3DFVF_SPECULAR)
        l.specularOffset = (int)offset, offset += 4;
    l.texCount = std::min<int>(8, (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT);
    for (int i = 0; i < l.texCount; ++i)
    {
        DWORD bits = (fvf >> (16 + 2 * i)) & 3;
        int size = bits == D3DFVF_TEXTUREFORMAT1   ? 1
                   : bits == D3DFVF_TEXTUREFORMAT3 ? 3
                   : bits == D3DFVF_TEXTUREFORMAT4 ? 4
                                                   : 2;
        l.texOffset[i] = (int)offset;
        l.texSize[i] = size;
        offset += 4 * size;
    }
    l.stride = offset;
    return l;
}

UINT FVFVertexSize(DWORD fvf)
{
    return LayoutOfFVF(fvf).stride;
}

// ---------------------------------------------------------------------------
// TextureStore
// ---------------------------------------------------------------------------
TextureStore::TextureStore(std::shared_ptr<DeviceLink> link, UINT width, UINT height, UINT levels, int faces,
                           DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : m_Link(std::move(link)), m_Width(width), m_Height(height), m_Levels(levels), m_Faces(faces), m_Usage(usage),
      m_Format(format), m_Pool(pool), m_Number(CDevice9::NextNumber())
{
    m_Data.resize(m_Faces * m_Levels);
    m_LockCount.assign(m_Faces * m_Levels, 0);
    if (HasCpuCopy())
    {
        for (int f = 0; f < m_Faces; ++f)
            for (UINT l = 0; l < m_Levels; ++l)
                m_Data[f * m_Levels + l].assign((size_t)LevelPitch(m_Format, Width(l)) * LevelRows(m_Format, Height(l)),
                                                0);
    }
    if (m_Pool == D3DPOOL_DEFAULT)
        CDevice9::CountDefaultPool(m_Link, +1);
}

TextureStore::~TextureStore()
{
    if (m_Pool == D3DPOOL_DEFAULT)
        CDevice9::CountDefaultPool(m_Link, -1);
    if (m_Tex && m_Link->alive)
    {
        m_Link->device->MakeCurrent();
        // GL unbinds a deleted texture and reuses its name; the device must
        // not keep thinking a unit still holds it.
        m_Link->device->ForgetTexture(m_Tex);
        gl.DeleteTextures(1, &m_Tex);
    }
}

UINT TextureStore::Width(UINT level) const
{
    return std::max(1u, m_Width >> level);
}
UINT TextureStore::Height(UINT level) const
{
    return std::max(1u, m_Height >> level);
}

GLenum TextureStore::GLFaceTarget(int face) const
{
    return m_Faces == 6 ? (GLenum)(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face) : (GLenum)GL_TEXTURE_2D;
}

bool TextureStore::Create()
{
    if (!m_Link->gl)
        return true;
    m_Link->device->MakeCurrent();
    GLFormat g = GLFormatOf(m_Format);
    if (!g.internal)
        return false;
    gl.GenTextures(1, &m_Tex);
    GLenum target = GLTarget();
    // Bound on the scratch unit: binding it on whatever unit is active would
    // replace a stage's texture behind the device's record of it.
    m_Link->device->BindUnit(-1, target, m_Tex);
    gl.TexParameteri(target, GL_TEXTURE_BASE_LEVEL, 0);
    gl.TexParameteri(target, GL_TEXTURE_MAX_LEVEL, (GLint)m_Levels - 1);
    gl.TexParameteriv(target, GL_TEXTURE_SWIZZLE_RGBA, g.swizzle);
    GLenum internal = g.internal;
    for (int f = 0; f < m_Faces; ++f)
    {
        for (UINT l = 0; l < m_Levels; ++l)
        {
            if (g.compressed)
            {
                const std::vector<uint8_t>& d = m_Data[f * m_Levels + l];
                gl.CompressedTexImage2D(GLFaceTarget(f), (GLint)l, internal, (GLsizei)Width(l), (GLsizei)Height(l), 0,
                                        (GLsizei)d.size(), d.data());
            }
            else
            {
                gl.TexImage2D(GLFaceTarget(f), (GLint)l, (GLint)internal, (GLsizei)Width(l), (GLsizei)Height(l), 0,
                              g.format, g.type, nullptr);
            }
        }
    }
    m_Link->device->BindUnit(-1, 0, 0);
    return true;
}

void TextureStore::Describe(UINT level, D3DSURFACE_DESC* desc) const
{
    desc->Format = m_Format;
    desc->Type = D3DRTYPE_SURFACE;
    desc->Usage = m_Usage;
    desc->Pool = m_Pool;
    desc->MultiSampleType = D3DMULTISAMPLE_NONE;
    desc->MultiSampleQuality = 0;
    desc->Width = Width(level);
    desc->Height = Height(level);
}

HRESULT TextureStore::Lock(int face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    if (!locked || level >= m_Levels || face < 0 || face >= m_Faces)
        return D3DERR_INVALIDCALL;
    if (!HasCpuCopy())
        return D3DERR_INVALIDCALL;
    (void)flags;
    int index = face * (int)m_Levels + (int)level;
    std::vector<uint8_t>& d = m_Data[index];
    UINT pitch = LevelPitch(m_Format, Width(level));
    size_t offset = 0;
    if (rect)
    {
        if (rect->left < 0 || rect->top < 0 || rect->right > (LONG)Width(level) || rect->bottom > (LONG)Height(level) ||
            rect->left >= rect->right || rect->top >= rect->bottom)
            return D3DERR_INVALIDCALL;
        FormatInfo fi = GetFormatInfo(m_Format);
        if (fi.compressed)
            offset = (size_t)(rect->top / 4) * pitch + (size_t)(rect->left / 4) * fi.blockBytes;
        else
            offset = (size_t)rect->top * pitch + (size_t)rect->left * fi.bytesPerPixel;
    }
    locked->Pitch = (INT)pitch;
    locked->pBits = d.data() + offset;
    ++m_LockCount[index];
    return D3D_OK;
}

HRESULT TextureStore::Unlock(int face, UINT level)
{
    if (level >= m_Levels || face < 0 || face >= m_Faces)
        return D3DERR_INVALIDCALL;
    int index = face * (int)m_Levels + (int)level;
    if (m_LockCount[index] <= 0)
        return D3DERR_INVALIDCALL;
    if (--m_LockCount[index] == 0)
        Upload(face, level);
    return D3D_OK;
}

void TextureStore::SetLevelData(int face, UINT level, const void* data, size_t size)
{
    if (level >= m_Levels || face < 0 || face >= m_Faces)
        return;
    std::vector<uint8_t>& d = m_Data[face * m_Levels + level];
    std::memcpy(d.data(), data, std::min(size, d.size()));
    Upload(face, level);
}

void TextureStore::Upload(int face, UINT level)
{
    if (!m_Link->gl || !m_Tex || !m_Link->alive)
        return;
    m_Link->device->MakeCurrent();
    GLFormat g = GLFormatOf(m_Format);
    const std::vector<uint8_t>& d = m_Data[face * m_Levels + level];
    GLenum target = GLTarget();
    m_Link->device->BindUnit(-1, target, m_Tex);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (g.compressed)
    {
        gl.CompressedTexImage2D(GLFaceTarget(face), (GLint)level, g.internal, (GLsizei)Width(level),
                                (GLsizei)Height(level), 0, (GLsizei)d.size(), d.data());
    }
    else if (g.expandDxt)
    {
        std::vector<uint8_t> bgra;
        if (DecompressDxt(ImageFormatOf(m_Format), (int)Width(level), (int)Height(level), d.data(), d.size(), bgra))
            gl.TexSubImage2D(GLFaceTarget(face), (GLint)level, 0, 0, (GLsizei)Width(level), (GLsizei)Height(level),
                             GL_BGRA, GL_UNSIGNED_BYTE, bgra.data());
    }
    else
    {
        gl.TexSubImage2D(GLFaceTarget(face), (GLint)level, 0, 0, (GLsizei)Width(level), (GLsizei)Height(level),
                         g.format, g.type, d.data());
    }
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
    m_Link->device->BindUnit(-1, 0, 0);
}

// ---------------------------------------------------------------------------
// Textures
// ---------------------------------------------------------------------------
CTexture9::CTexture9(std::shared_ptr<DeviceLink> link, std::unique_ptr<TextureStore> store)
    : m_Link(std::move(link)), m_Store(std::move(store))
{
    m_Surfaces.assign(m_Store->LevelCount(), nullptr);
}

CTexture9::~CTexture9()
{
    for (CSurface9* s : m_Surfaces)
        delete s;
}

HRESULT CTexture9::GetDevice(IDirect3DDevice9** ppDevice)
{
    if (!ppDevice || !m_Link->alive)
        return D3DERR_INVALIDCALL;
    *ppDevice = m_Link->device;
    m_Link->device->AddRef();
    return D3D_OK;
}

HRESULT CTexture9::GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc)
{
    if (!pDesc || Level >= m_Store->LevelCount())
        return D3DERR_INVALIDCALL;
    m_Store->Describe(Level, pDesc);
    return D3D_OK;
}

HRESULT CTexture9::GetSurfaceLevel(UINT Level, IDirect3DSurface9** ppSurfaceLevel)
{
    if (!ppSurfaceLevel || Level >= m_Store->LevelCount())
        return D3DERR_INVALIDCALL;
    if (!m_Surfaces[Level])
        m_Surfaces[Level] = new CSurface9(m_Link, this, m_Store.get(), 0, Level);
    m_Surfaces[Level]->AddRef();
    *ppSurfaceLevel = m_Surfaces[Level];
    return D3D_OK;
}

HRESULT CTexture9::LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags)
{
    return m_Store->Lock(0, Level, pLockedRect, pRect, Flags);
}

HRESULT CTexture9::UnlockRect(UINT Level)
{
    return m_Store->Unlock(0, Level);
}

CCubeTexture9::CCubeTexture9(std::shared_ptr<DeviceLink> link, std::unique_ptr<TextureStore> store)
    : m_Link(std::move(link)), m_Store(std::move(store))
{
    m_Surfaces.assign(6 * m_Store->LevelCount(), nullptr);
}

CCubeTexture9::~CCubeTexture9()
{
    for (CSurface9* s : m_Surfaces)
        delete s;
}

HRESULT CCubeTexture9::GetDevice(IDirect3DDevice9** ppDevice)
{
    if (!ppDevice || !m_Link->alive)
        return D3DERR_INVALIDCALL;
    *ppDevice = m_Link->device;
    m_Link->device->AddRef();
    return D3D_OK;
}

HRESULT CCubeTexture9::GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc)
{
    if (!pDesc || Level >= m_Store->LevelCount())
        return D3DERR_INVALIDCALL;
    m_Store->Describe(Level, pDesc);
    return D3D_OK;
}

HRESULT CCubeTexture9::GetCubeMapSurface(D3DCUBEMAP_FACES FaceType, UINT Level, IDirect3DSurface9** ppSurface)
{
    if (!ppSurface || Level >= m_Store->LevelCount() || FaceType > D3DCUBEMAP_FACE_NEGATIVE_Z)
        return D3DERR_INVALIDCALL;
    size_t index = FaceType * m_Store->LevelCount() + Level;
    if (!m_Surfaces[index])
        m_Surfaces[index] = new CSurface9(m_Link, this, m_Store.get(), (int)FaceType, Level);
    m_Surfaces[index]->AddRef();
    *ppSurface = m_Surfaces[index];
    return D3D_OK;
}

HRESULT CCubeTexture9::LockRect(D3DCUBEMAP_FACES FaceType, UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect,
                                DWORD Flags)
{
    if (FaceType > D3DCUBEMAP_FACE_NEGATIVE_Z)
        return D3DERR_INVALIDCALL;
    return m_Store->Lock((int)FaceType, Level, pLockedRect, pRect, Flags);
}

HRESULT CCubeTexture9::UnlockRect(D3DCUBEMAP_FACES FaceType, UINT Level)
{
    if (FaceType > D3DCUBEMAP_FACE_NEGATIVE_Z)
        return D3DERR_INVALIDCALL;
    return m_Store->Unlock((int)FaceType, Level);
}

TextureStore* StoreOf(IDirect3DBaseTexture9* texture)
{
    if (!texture)
        return nullptr;
    if (auto* t = dynamic_cast<CTexture9*>(texture))
        return t->Store();
    if (auto* c = dynamic_cast<CCubeTexture9*>(texture))
        return c->Store();
    return nullptr;
}

// ---------------------------------------------------------------------------
// Surfaces
// ---------------------------------------------------------------------------
CSurface9::CSurface9(std::shared_ptr<DeviceLink> link, IUnknown* container, TextureStore* store, int face, UINT level)
    : m_Link(std::move(link)), m_Container(container), m_Store(store), m_Face(face), m_Level(level), m_Refs(0),
      m_Number(store->Number())
{}

CSurface9::CSurface9(std::shared_ptr<DeviceLink> link, std::unique_ptr<TextureStore> ownStore)
    : m_Link(std::move(link)), m_Own(std::move(ownStore)), m_Number(CDevice9::NextNumber())
{
    m_Store = m_Own.get();
}

CSurface9::CSurface9(std::shared_ptr<DeviceLink> link, UINT width, UINT height, D3DFORMAT format)
    : m_Link(std::move(link)), m_Depth(true), m_Width(width), m_Height(height), m_Format(format),
      m_Number(CDevice9::NextNumber())
{
    CDevice9::CountDefaultPool(m_Link, +1);
    if (m_Link->gl)
    {
        m_Link->device->MakeCurrent();
        gl.GenRenderbuffers(1, &m_Rb);
        gl.BindRenderbuffer(GL_RENDERBUFFER, m_Rb);
        GLenum internal = DepthHasStencil()                                         ? GL_DEPTH24_STENCIL8
                          : (format == D3DFMT_D16 || format == D3DFMT_D16_LOCKABLE) ? GL_DEPTH_COMPONENT16
                                                                                    : GL_DEPTH_COMPONENT24;
        gl.RenderbufferStorage(GL_RENDERBUFFER, internal, (GLsizei)width, (GLsizei)height);
        gl.BindRenderbuffer(GL_RENDERBUFFER, 0);
    }
}

CSurface9::~CSurface9()
{
    if (m_Depth)
    {
        CDevice9::CountDefaultPool(m_Link, -1);
        if (m_Rb && m_Link->alive)
        {
            m_Link->device->MakeCurrent();
            gl.DeleteRenderbuffers(1, &m_Rb);
        }
    }
}

ULONG CSurface9::AddRef()
{
    if (m_Container)
        return m_Container->AddRef();
    return ++m_Refs;
}

ULONG CSurface9::Release()
{
    if (m_Container)
        return m_Container->Release();
    ULONG left = --m_Refs;
    if (left == 0)
        delete this;
    return left;
}

HRESULT CSurface9::GetDevice(IDirect3DDevice9** ppDevice)
{
    if (!ppDevice || !m_Link->alive)
        return D3DERR_INVALIDCALL;
    *ppDevice = m_Link->device;
    m_Link->device->AddRef();
    return D3D_OK;
}

UINT CSurface9::Width() const
{
    return m_Depth ? m_Width : m_Store->Width(m_Level);
}
UINT CSurface9::Height() const
{
    return m_Depth ? m_Height : m_Store->Height(m_Level);
}
D3DFORMAT CSurface9::Format() const
{
    return m_Depth ? m_Format : m_Store->Format();
}

HRESULT CSurface9::GetDesc(D3DSURFACE_DESC* pDesc)
{
    if (!pDesc)
        return D3DERR_INVALIDCALL;
    if (m_Depth)
    {
        pDesc->Format = m_Format;
        pDesc->Type = D3DRTYPE_SURFACE;
        pDesc->Usage = D3DUSAGE_DEPTHSTENCIL;
        pDesc->Pool = D3DPOOL_DEFAULT;
        pDesc->MultiSampleType = D3DMULTISAMPLE_NONE;
        pDesc->MultiSampleQuality = 0;
        pDesc->Width = m_Width;
        pDesc->Height = m_Height;
        return D3D_OK;
    }
    m_Store->Describe(m_Level, pDesc);
    return D3D_OK;
}

HRESULT CSurface9::LockRect(D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags)
{
    if (m_Depth)
        return D3DERR_INVALIDCALL;
    return m_Store->Lock(m_Face, m_Level, pLockedRect, pRect, Flags);
}

HRESULT CSurface9::UnlockRect()
{
    if (m_Depth)
        return D3DERR_INVALIDCALL;
    return m_Store->Unlock(m_Face, m_Level);
}

void CSurface9::Attach(GLenum target) const
{
    if (m_Depth)
    {
        if (DepthHasStencil())
        {
            gl.FramebufferRenderbuffer(target, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, m_Rb);
        }
        else
        {
            gl.FramebufferRenderbuffer(target, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
            gl.FramebufferRenderbuffer(target, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, m_Rb);
        }
    }
    else
    {
        gl.FramebufferTexture2D(target, GL_COLOR_ATTACHMENT0, m_Store->GLFaceTarget(m_Face), m_Store->GLName(),
                                (GLint)m_Level);
    }
}

// ---------------------------------------------------------------------------
// Buffers
// ---------------------------------------------------------------------------
BufferStore::BufferStore(std::shared_ptr<DeviceLink> link, UINT length, DWORD usage, D3DPOOL pool, GLenum target)
    : m_Link(std::move(link)), m_Data(length, 0), m_Usage(usage), m_Pool(pool), m_Target(target),
      m_Number(CDevice9::NextNumber())
{
    if (m_Pool == D3DPOOL_DEFAULT)
        CDevice9::CountDefaultPool(m_Link, +1);
    if (m_Link->gl)
    {
        m_Link->device->MakeCurrent();
        gl.GenBuffers(1, &m_Buffer);
        // Filled through the copy target, which no vertex array state refers to.
        gl.BindBuffer(GL_COPY_WRITE_BUFFER, m_Buffer);
        gl.BufferData(GL_COPY_WRITE_BUFFER, length, nullptr,
                      (usage & D3DUSAGE_DYNAMIC) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
        gl.BindBuffer(GL_COPY_WRITE_BUFFER, 0);
    }
}

BufferStore::~BufferStore()
{
    if (m_Pool == D3DPOOL_DEFAULT)
        CDevice9::CountDefaultPool(m_Link, -1);
    if (m_Buffer && m_Link->alive)
    {
        m_Link->device->MakeCurrent();
        gl.DeleteBuffers(1, &m_Buffer);
    }
}

HRESULT BufferStore::Lock(UINT offset, UINT size, void** data, DWORD flags)
{
    if (!data)
        return D3DERR_INVALIDCALL;
    if (size == 0)
    {
        if (offset > m_Data.size())
            return D3DERR_INVALIDCALL;
        size = (UINT)m_Data.size() - offset;
    }
    if ((uint64_t)offset + size > m_Data.size())
        return D3DERR_INVALIDCALL;
    if (m_Locks == 0)
    {
        m_DirtyBegin = offset;
        m_DirtyEnd = offset + size;
        m_Discard = false;
    }
    else
    {
        m_DirtyBegin = std::min(m_DirtyBegin, offset);
        m_DirtyEnd = std::max(m_DirtyEnd, offset + size);
    }
    if (flags & D3DLOCK_DISCARD)
        m_Discard = true;
    if (flags & D3DLOCK_READONLY)
    {
        if (m_Locks == 0)
            m_DirtyEnd = m_DirtyBegin;
    }
    ++m_Locks;
    *data = m_Data.data() + offset;
    return D3D_OK;
}

HRESULT BufferStore::Unlock()
{
    if (m_Locks <= 0)
        return D3DERR_INVALIDCALL;
    if (--m_Locks > 0)
        return D3D_OK;
    if (m_Buffer && m_Link->alive && m_DirtyEnd > m_DirtyBegin)
    {
        m_Link->device->MakeCurrent();
        gl.BindBuffer(GL_COPY_WRITE_BUFFER, m_Buffer);
        if (m_Discard)
        {
            // A fresh store lets the driver keep drawing from the old contents.
            gl.BufferData(GL_COPY_WRITE_BUFFER, (GLsizeiptr)m_Data.size(), m_Data.data(),
                          (m_Usage & D3DUSAGE_DYNAMIC) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
        }
        else
        {
            gl.BufferSubData(GL_COPY_WRITE_BUFFER, m_DirtyBegin, m_DirtyEnd - m_DirtyBegin,
                             m_Data.data() + m_DirtyBegin);
        }
        gl.BindBuffer(GL_COPY_WRITE_BUFFER, 0);
    }
    return D3D_OK;
}

CVertexBuffer9::CVertexBuffer9(std::shared_ptr<DeviceLink> link, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : m_Link(link), m_Store(link, length, usage, pool, GL_ARRAY_BUFFER), m_Fvf(fvf)
{}
CVertexBuffer9::~CVertexBuffer9() = default;

HRESULT CVertexBuffer9::GetDevice(IDirect3DDevice9** ppDevice)
{
    if (!ppDevice || !m_Link->alive)
        return D3DERR_INVALIDCALL;
    *ppDevice = m_Link->device;
    m_Link->device->AddRef();
    return D3D_OK;
}
HRESULT CVertexBuffer9::Lock(UINT OffsetToLock, UINT SizeToLock, void** ppbData, DWORD Flags)
{
    return m_Store.Lock(OffsetToLock, SizeToLock, ppbData, Flags);
}
HRESULT CVertexBuffer9::Unlock()
{
    return m_Store.Unlock();
}
HRESULT CVertexBuffer9::GetDesc(D3DVERTEXBUFFER_DESC* pDesc)
{
    if (!pDesc)
        return D3DERR_INVALIDCALL;
    pDesc->Format = (D3DFORMAT)1;   // D3DFMT_VERTEXDATA
    pDesc->Type = D3DRTYPE_VERTEXBUFFER;
    pDesc->Usage = m_Store.Usage();
    pDesc->Pool = m_Store.Pool();
    pDesc->Size = m_Store.Length();
    pDesc->FVF = m_Fvf;
    return D3D_OK;
}

CIndexBuffer9::CIndexBuffer9(std::shared_ptr<DeviceLink> link, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : m_Link(link), m_Store(link, length, usage, pool, GL_ELEMENT_ARRAY_BUFFER), m_Format(format)
{}
CIndexBuffer9::~CIndexBuffer9() = default;

HRESULT CIndexBuffer9::GetDevice(IDirect3DDevice9** ppDevice)
{
    if (!ppDevice || !m_Link->alive)
        return D3DERR_INVALIDCALL;
    *ppDevice = m_Link->device;
    m_Link->device->AddRef();
    return D3D_OK;
}
HRESULT CIndexBuffer9::Lock(UINT OffsetToLock, UINT SizeToLock, void** ppbData, DWORD Flags)
{
    return m_Store.Lock(OffsetToLock, SizeToLock, ppbData, Flags);
}
HRESULT CIndexBuffer9::Unlock()
{
    return m_Store.Unlock();
}
HRESULT CIndexBuffer9::GetDesc(D3DINDEXBUFFER_DESC* pDesc)
{
    if (!pDesc)
        return D3DERR_INVALIDCALL;
    pDesc->Format = m_Format;
    pDesc->Type = D3DRTYPE_INDEXBUFFER;
    pDesc->Usage = m_Store.Usage();
    pDesc->Pool = m_Store.Pool();
    pDesc->Size = m_Store.Length();
    return D3D_OK;
}

}   // namespace d3d
