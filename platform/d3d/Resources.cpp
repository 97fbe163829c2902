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
    : link_(std::move(link)), width_(width), height_(height), levels_(levels), faces_(faces), usage_(usage),
      format_(format), pool_(pool), number_(CDevice9::NextNumber())
{
    data_.resize(faces_ * levels_);
    lockCount_.assign(faces_ * levels_, 0);
    if (HasCpuCopy())
    {
        for (int f = 0; f < faces_; ++f)
            for (UINT l = 0; l < levels_; ++l)
                data_[f * levels_ + l].assign((size_t)LevelPitch(format_, Width(l)) * LevelRows(format_, Height(l)), 0);
    }
    if (pool_ == D3DPOOL_DEFAULT)
        CDevice9::CountDefaultPool(link_, +1);
}

TextureStore::~TextureStore()
{
    if (pool_ == D3DPOOL_DEFAULT)
        CDevice9::CountDefaultPool(link_, -1);
    if (tex_ && link_->alive)
    {
        link_->device->MakeCurrent();
        // GL unbinds a deleted texture and reuses its name; the device must
        // not keep thinking a unit still holds it.
        link_->device->ForgetTexture(tex_);
        gl.DeleteTextures(1, &tex_);
    }
}

UINT TextureStore::Width(UINT level) const
{
    return std::max(1u, width_ >> level);
}
UINT TextureStore::Height(UINT level) const
{
    return std::max(1u, height_ >> level);
}

GLenum TextureStore::GLFaceTarget(int face) const
{
    return faces_ == 6 ? (GLenum)(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face) : (GLenum)GL_TEXTURE_2D;
}

bool TextureStore::Create()
{
    if (!link_->gl)
        return true;
    link_->device->MakeCurrent();
    GLFormat g = GLFormatOf(format_);
    if (!g.internal)
        return false;
    gl.GenTextures(1, &tex_);
    GLenum target = GLTarget();
    // Bound on the scratch unit: binding it on whatever unit is active would
    // replace a stage's texture behind the device's record of it.
    link_->device->BindUnit(-1, target, tex_);
    gl.TexParameteri(target, GL_TEXTURE_BASE_LEVEL, 0);
    gl.TexParameteri(target, GL_TEXTURE_MAX_LEVEL, (GLint)levels_ - 1);
    gl.TexParameteriv(target, GL_TEXTURE_SWIZZLE_RGBA, g.swizzle);
    GLenum internal = g.internal;
    for (int f = 0; f < faces_; ++f)
    {
        for (UINT l = 0; l < levels_; ++l)
        {
            if (g.compressed)
            {
                const std::vector<uint8_t>& d = data_[f * levels_ + l];
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
    link_->device->BindUnit(-1, 0, 0);
    return true;
}

void TextureStore::Describe(UINT level, D3DSURFACE_DESC* desc) const
{
    desc->Format = format_;
    desc->Type = D3DRTYPE_SURFACE;
    desc->Usage = usage_;
    desc->Pool = pool_;
    desc->MultiSampleType = D3DMULTISAMPLE_NONE;
    desc->MultiSampleQuality = 0;
    desc->Width = Width(level);
    desc->Height = Height(level);
}

HRESULT TextureStore::Lock(int face, UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    if (!locked || level >= levels_ || face < 0 || face >= faces_)
        return D3DERR_INVALIDCALL;
    if (!HasCpuCopy())
        return D3DERR_INVALIDCALL;
    (void)flags;
    int index = face * (int)levels_ + (int)level;
    std::vector<uint8_t>& d = data_[index];
    UINT pitch = LevelPitch(format_, Width(level));
    size_t offset = 0;
    if (rect)
    {
        if (rect->left < 0 || rect->top < 0 || rect->right > (LONG)Width(level) || rect->bottom > (LONG)Height(level) ||
            rect->left >= rect->right || rect->top >= rect->bottom)
            return D3DERR_INVALIDCALL;
        FormatInfo fi = GetFormatInfo(format_);
        if (fi.compressed)
            offset = (size_t)(rect->top / 4) * pitch + (size_t)(rect->left / 4) * fi.blockBytes;
        else
            offset = (size_t)rect->top * pitch + (size_t)rect->left * fi.bytesPerPixel;
    }
    locked->Pitch = (INT)pitch;
    locked->pBits = d.data() + offset;
    ++lockCount_[index];
    return D3D_OK;
}

HRESULT TextureStore::Unlock(int face, UINT level)
{
    if (level >= levels_ || face < 0 || face >= faces_)
        return D3DERR_INVALIDCALL;
    int index = face * (int)levels_ + (int)level;
    if (lockCount_[index] <= 0)
        return D3DERR_INVALIDCALL;
    if (--lockCount_[index] == 0)
        Upload(face, level);
    return D3D_OK;
}

void TextureStore::SetLevelData(int face, UINT level, const void* data, size_t size)
{
    if (level >= levels_ || face < 0 || face >= faces_)
        return;
    std::vector<uint8_t>& d = data_[face * levels_ + level];
    std::memcpy(d.data(), data, std::min(size, d.size()));
    Upload(face, level);
}

void TextureStore::Upload(int face, UINT level)
{
    if (!link_->gl || !tex_ || !link_->alive)
        return;
    link_->device->MakeCurrent();
    GLFormat g = GLFormatOf(format_);
    const std::vector<uint8_t>& d = data_[face * levels_ + level];
    GLenum target = GLTarget();
    link_->device->BindUnit(-1, target, tex_);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (g.compressed)
    {
        gl.CompressedTexImage2D(GLFaceTarget(face), (GLint)level, g.internal, (GLsizei)Width(level),
                                (GLsizei)Height(level), 0, (GLsizei)d.size(), d.data());
    }
    else if (g.expandDxt)
    {
        std::vector<uint8_t> bgra;
        if (DecompressDxt(ImageFormatOf(format_), (int)Width(level), (int)Height(level), d.data(), d.size(), bgra))
            gl.TexSubImage2D(GLFaceTarget(face), (GLint)level, 0, 0, (GLsizei)Width(level), (GLsizei)Height(level),
                             GL_BGRA, GL_UNSIGNED_BYTE, bgra.data());
    }
    else
    {
        gl.TexSubImage2D(GLFaceTarget(face), (GLint)level, 0, 0, (GLsizei)Width(level), (GLsizei)Height(level),
                         g.format, g.type, d.data());
    }
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
    link_->device->BindUnit(-1, 0, 0);
}

// ---------------------------------------------------------------------------
// Textures
// ---------------------------------------------------------------------------
CTexture9::CTexture9(std::shared_ptr<DeviceLink> link, std::unique_ptr<TextureStore> store)
    : link_(std::move(link)), store_(std::move(store))
{
    surfaces_.assign(store_->LevelCount(), nullptr);
}

CTexture9::~CTexture9()
{
    for (CSurface9* s : surfaces_)
        delete s;
}

HRESULT CTexture9::GetDevice(IDirect3DDevice9** ppDevice)
{
    if (!ppDevice || !link_->alive)
        return D3DERR_INVALIDCALL;
    *ppDevice = link_->device;
    link_->device->AddRef();
    return D3D_OK;
}

HRESULT CTexture9::GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc)
{
    if (!pDesc || Level >= store_->LevelCount())
        return D3DERR_INVALIDCALL;
    store_->Describe(Level, pDesc);
    return D3D_OK;
}

HRESULT CTexture9::GetSurfaceLevel(UINT Level, IDirect3DSurface9** ppSurfaceLevel)
{
    if (!ppSurfaceLevel || Level >= store_->LevelCount())
        return D3DERR_INVALIDCALL;
    if (!surfaces_[Level])
        surfaces_[Level] = new CSurface9(link_, this, store_.get(), 0, Level);
    surfaces_[Level]->AddRef();
    *ppSurfaceLevel = surfaces_[Level];
    return D3D_OK;
}

HRESULT CTexture9::LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags)
{
    return store_->Lock(0, Level, pLockedRect, pRect, Flags);
}

HRESULT CTexture9::UnlockRect(UINT Level)
{
    return store_->Unlock(0, Level);
}

CCubeTexture9::CCubeTexture9(std::shared_ptr<DeviceLink> link, std::unique_ptr<TextureStore> store)
    : link_(std::move(link)), store_(std::move(store))
{
    surfaces_.assign(6 * store_->LevelCount(), nullptr);
}

CCubeTexture9::~CCubeTexture9()
{
    for (CSurface9* s : surfaces_)
        delete s;
}

HRESULT CCubeTexture9::GetDevice(IDirect3DDevice9** ppDevice)
{
    if (!ppDevice || !link_->alive)
        return D3DERR_INVALIDCALL;
    *ppDevice = link_->device;
    link_->device->AddRef();
    return D3D_OK;
}

HRESULT CCubeTexture9::GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc)
{
    if (!pDesc || Level >= store_->LevelCount())
        return D3DERR_INVALIDCALL;
    store_->Describe(Level, pDesc);
    return D3D_OK;
}

HRESULT CCubeTexture9::GetCubeMapSurface(D3DCUBEMAP_FACES FaceType, UINT Level, IDirect3DSurface9** ppSurface)
{
    if (!ppSurface || Level >= store_->LevelCount() || FaceType > D3DCUBEMAP_FACE_NEGATIVE_Z)
        return D3DERR_INVALIDCALL;
    size_t index = FaceType * store_->LevelCount() + Level;
    if (!surfaces_[index])
        surfaces_[index] = new CSurface9(link_, this, store_.get(), (int)FaceType, Level);
    surfaces_[index]->AddRef();
    *ppSurface = surfaces_[index];
    return D3D_OK;
}

HRESULT CCubeTexture9::LockRect(D3DCUBEMAP_FACES FaceType, UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect,
                                DWORD Flags)
{
    if (FaceType > D3DCUBEMAP_FACE_NEGATIVE_Z)
        return D3DERR_INVALIDCALL;
    return store_->Lock((int)FaceType, Level, pLockedRect, pRect, Flags);
}

HRESULT CCubeTexture9::UnlockRect(D3DCUBEMAP_FACES FaceType, UINT Level)
{
    if (FaceType > D3DCUBEMAP_FACE_NEGATIVE_Z)
        return D3DERR_INVALIDCALL;
    return store_->Unlock((int)FaceType, Level);
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
    : link_(std::move(link)), container_(container), store_(store), face_(face), level_(level), refs_(0),
      number_(store->Number())
{}

CSurface9::CSurface9(std::shared_ptr<DeviceLink> link, std::unique_ptr<TextureStore> ownStore)
    : link_(std::move(link)), own_(std::move(ownStore)), number_(CDevice9::NextNumber())
{
    store_ = own_.get();
}

CSurface9::CSurface9(std::shared_ptr<DeviceLink> link, UINT width, UINT height, D3DFORMAT format)
    : link_(std::move(link)), depth_(true), width_(width), height_(height), format_(format),
      number_(CDevice9::NextNumber())
{
    CDevice9::CountDefaultPool(link_, +1);
    if (link_->gl)
    {
        link_->device->MakeCurrent();
        gl.GenRenderbuffers(1, &rb_);
        gl.BindRenderbuffer(GL_RENDERBUFFER, rb_);
        GLenum internal = DepthHasStencil()                                         ? GL_DEPTH24_STENCIL8
                          : (format == D3DFMT_D16 || format == D3DFMT_D16_LOCKABLE) ? GL_DEPTH_COMPONENT16
                                                                                    : GL_DEPTH_COMPONENT24;
        gl.RenderbufferStorage(GL_RENDERBUFFER, internal, (GLsizei)width, (GLsizei)height);
        gl.BindRenderbuffer(GL_RENDERBUFFER, 0);
    }
}

CSurface9::~CSurface9()
{
    if (depth_)
    {
        CDevice9::CountDefaultPool(link_, -1);
        if (rb_ && link_->alive)
        {
            link_->device->MakeCurrent();
            gl.DeleteRenderbuffers(1, &rb_);
        }
    }
}

ULONG CSurface9::AddRef()
{
    if (container_)
        return container_->AddRef();
    return ++refs_;
}

ULONG CSurface9::Release()
{
    if (container_)
        return container_->Release();
    ULONG left = --refs_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT CSurface9::GetDevice(IDirect3DDevice9** ppDevice)
{
    if (!ppDevice || !link_->alive)
        return D3DERR_INVALIDCALL;
    *ppDevice = link_->device;
    link_->device->AddRef();
    return D3D_OK;
}

UINT CSurface9::Width() const
{
    return depth_ ? width_ : store_->Width(level_);
}
UINT CSurface9::Height() const
{
    return depth_ ? height_ : store_->Height(level_);
}
D3DFORMAT CSurface9::Format() const
{
    return depth_ ? format_ : store_->Format();
}

HRESULT CSurface9::GetDesc(D3DSURFACE_DESC* pDesc)
{
    if (!pDesc)
        return D3DERR_INVALIDCALL;
    if (depth_)
    {
        pDesc->Format = format_;
        pDesc->Type = D3DRTYPE_SURFACE;
        pDesc->Usage = D3DUSAGE_DEPTHSTENCIL;
        pDesc->Pool = D3DPOOL_DEFAULT;
        pDesc->MultiSampleType = D3DMULTISAMPLE_NONE;
        pDesc->MultiSampleQuality = 0;
        pDesc->Width = width_;
        pDesc->Height = height_;
        return D3D_OK;
    }
    store_->Describe(level_, pDesc);
    return D3D_OK;
}

HRESULT CSurface9::LockRect(D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags)
{
    if (depth_)
        return D3DERR_INVALIDCALL;
    return store_->Lock(face_, level_, pLockedRect, pRect, Flags);
}

HRESULT CSurface9::UnlockRect()
{
    if (depth_)
        return D3DERR_INVALIDCALL;
    return store_->Unlock(face_, level_);
}

void CSurface9::Attach(GLenum target) const
{
    if (depth_)
    {
        if (DepthHasStencil())
        {
            gl.FramebufferRenderbuffer(target, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, rb_);
        }
        else
        {
            gl.FramebufferRenderbuffer(target, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
            gl.FramebufferRenderbuffer(target, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, rb_);
        }
    }
    else
    {
        gl.FramebufferTexture2D(target, GL_COLOR_ATTACHMENT0, store_->GLFaceTarget(face_), store_->GLName(),
                                (GLint)level_);
    }
}

// ---------------------------------------------------------------------------
// Buffers
// ---------------------------------------------------------------------------
BufferStore::BufferStore(std::shared_ptr<DeviceLink> link, UINT length, DWORD usage, D3DPOOL pool, GLenum target)
    : link_(std::move(link)), data_(length, 0), usage_(usage), pool_(pool), target_(target),
      number_(CDevice9::NextNumber())
{
    if (pool_ == D3DPOOL_DEFAULT)
        CDevice9::CountDefaultPool(link_, +1);
    if (link_->gl)
    {
        link_->device->MakeCurrent();
        gl.GenBuffers(1, &buffer_);
        // Filled through the copy target, which no vertex array state refers to.
        gl.BindBuffer(GL_COPY_WRITE_BUFFER, buffer_);
        gl.BufferData(GL_COPY_WRITE_BUFFER, length, nullptr,
                      (usage & D3DUSAGE_DYNAMIC) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
        gl.BindBuffer(GL_COPY_WRITE_BUFFER, 0);
    }
}

BufferStore::~BufferStore()
{
    if (pool_ == D3DPOOL_DEFAULT)
        CDevice9::CountDefaultPool(link_, -1);
    if (buffer_ && link_->alive)
    {
        link_->device->MakeCurrent();
        gl.DeleteBuffers(1, &buffer_);
    }
}

HRESULT BufferStore::Lock(UINT offset, UINT size, void** data, DWORD flags)
{
    if (!data)
        return D3DERR_INVALIDCALL;
    if (size == 0)
    {
        if (offset > data_.size())
            return D3DERR_INVALIDCALL;
        size = (UINT)data_.size() - offset;
    }
    if ((uint64_t)offset + size > data_.size())
        return D3DERR_INVALIDCALL;
    if (locks_ == 0)
    {
        dirtyBegin_ = offset;
        dirtyEnd_ = offset + size;
        discard_ = false;
    }
    else
    {
        dirtyBegin_ = std::min(dirtyBegin_, offset);
        dirtyEnd_ = std::max(dirtyEnd_, offset + size);
    }
    if (flags & D3DLOCK_DISCARD)
        discard_ = true;
    if (flags & D3DLOCK_READONLY)
    {
        if (locks_ == 0)
            dirtyEnd_ = dirtyBegin_;
    }
    ++locks_;
    *data = data_.data() + offset;
    return D3D_OK;
}

HRESULT BufferStore::Unlock()
{
    if (locks_ <= 0)
        return D3DERR_INVALIDCALL;
    if (--locks_ > 0)
        return D3D_OK;
    if (buffer_ && link_->alive && dirtyEnd_ > dirtyBegin_)
    {
        link_->device->MakeCurrent();
        gl.BindBuffer(GL_COPY_WRITE_BUFFER, buffer_);
        if (discard_)
        {
            // A fresh store lets the driver keep drawing from the old contents.
            gl.BufferData(GL_COPY_WRITE_BUFFER, (GLsizeiptr)data_.size(), data_.data(),
                          (usage_ & D3DUSAGE_DYNAMIC) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
        }
        else
        {
            gl.BufferSubData(GL_COPY_WRITE_BUFFER, dirtyBegin_, dirtyEnd_ - dirtyBegin_, data_.data() + dirtyBegin_);
        }
        gl.BindBuffer(GL_COPY_WRITE_BUFFER, 0);
    }
    return D3D_OK;
}

CVertexBuffer9::CVertexBuffer9(std::shared_ptr<DeviceLink> link, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : link_(link), store_(link, length, usage, pool, GL_ARRAY_BUFFER), fvf_(fvf)
{}
CVertexBuffer9::~CVertexBuffer9() = default;

HRESULT CVertexBuffer9::GetDevice(IDirect3DDevice9** ppDevice)
{
    if (!ppDevice || !link_->alive)
        return D3DERR_INVALIDCALL;
    *ppDevice = link_->device;
    link_->device->AddRef();
    return D3D_OK;
}
HRESULT CVertexBuffer9::Lock(UINT OffsetToLock, UINT SizeToLock, void** ppbData, DWORD Flags)
{
    return store_.Lock(OffsetToLock, SizeToLock, ppbData, Flags);
}
HRESULT CVertexBuffer9::Unlock()
{
    return store_.Unlock();
}
HRESULT CVertexBuffer9::GetDesc(D3DVERTEXBUFFER_DESC* pDesc)
{
    if (!pDesc)
        return D3DERR_INVALIDCALL;
    pDesc->Format = (D3DFORMAT)1;   // D3DFMT_VERTEXDATA
    pDesc->Type = D3DRTYPE_VERTEXBUFFER;
    pDesc->Usage = store_.Usage();
    pDesc->Pool = store_.Pool();
    pDesc->Size = store_.Length();
    pDesc->FVF = fvf_;
    return D3D_OK;
}

CIndexBuffer9::CIndexBuffer9(std::shared_ptr<DeviceLink> link, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : link_(link), store_(link, length, usage, pool, GL_ELEMENT_ARRAY_BUFFER), format_(format)
{}
CIndexBuffer9::~CIndexBuffer9() = default;

HRESULT CIndexBuffer9::GetDevice(IDirect3DDevice9** ppDevice)
{
    if (!ppDevice || !link_->alive)
        return D3DERR_INVALIDCALL;
    *ppDevice = link_->device;
    link_->device->AddRef();
    return D3D_OK;
}
HRESULT CIndexBuffer9::Lock(UINT OffsetToLock, UINT SizeToLock, void** ppbData, DWORD Flags)
{
    return store_.Lock(OffsetToLock, SizeToLock, ppbData, Flags);
}
HRESULT CIndexBuffer9::Unlock()
{
    return store_.Unlock();
}
HRESULT CIndexBuffer9::GetDesc(D3DINDEXBUFFER_DESC* pDesc)
{
    if (!pDesc)
        return D3DERR_INVALIDCALL;
    pDesc->Format = format_;
    pDesc->Type = D3DRTYPE_INDEXBUFFER;
    pDesc->Usage = store_.Usage();
    pDesc->Pool = store_.Pool();
    pDesc->Size = store_.Length();
    return D3D_OK;
}

}   // namespace d3d
