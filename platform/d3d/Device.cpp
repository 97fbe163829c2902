// The device: Direct3D 9 state kept as Direct3D has it, turned into OpenGL
// state, programs and draws at draw time (or only logged on the recording
// backend).
#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/d3d/D3D9Backend.h"
#include "platform/d3d/Internal.h"
#include "platform/image/ImageDecode.h"

// The log line is only built on the recording backend.
#define RECORD(...)                                                                                                    \
    do                                                                                                                 \
    {                                                                                                                  \
        if (!m_Gl)                                                                                                     \
            RecordCall(__VA_ARGS__);                                                                                   \
    } while (0)

namespace d3d
{

namespace
{

CDevice9* g_current = nullptr;   // device whose GL context is current

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

void Identity(D3DMATRIX& m)
{
    std::memcpy(m.m, kIdentity, sizeof kIdentity);
}

D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b)
{
    D3DMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    return r;
}

bool Inverse(const D3DMATRIX& in, D3DMATRIX& out)
{
    const float* m = &in.m[0][0];
    float inv[16];
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
             m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] - m[8] * m[7] * m[14] -
             m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
             m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] - m[8] * m[6] * m[13] -
              m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] - m[9] * m[3] * m[14] -
             m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
             m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
             m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
              m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
             m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
             m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
              m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
              m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
             m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
             m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
              m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] + m[8] * m[1] * m[6] -
              m[8] * m[2] * m[5];
    float det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    if (det == 0.0f)
        return false;
    float* o = &out.m[0][0];
    for (int i = 0; i < 16; ++i)
        o[i] = inv[i] / det;
    return true;
}

void ColorToFloats(D3DCOLOR c, float* out)
{
    out[0] = ((c >> 16) & 0xFF) / 255.0f;
    out[1] = ((c >> 8) & 0xFF) / 255.0f;
    out[2] = (c & 0xFF) / 255.0f;
    out[3] = ((c >> 24) & 0xFF) / 255.0f;
}

float DwordToFloat(DWORD d)
{
    float f;
    std::memcpy(&f, &d, 4);
    return f;
}

DWORD FloatToDword(float f)
{
    DWORD d;
    std::memcpy(&d, &f, 4);
    return d;
}

GLenum BlendFactor(DWORD b, bool source)
{
    switch (b)
    {
    case D3DBLEND_ZERO:
        return GL_ZERO;
    case D3DBLEND_ONE:
        return GL_ONE;
    case D3DBLEND_SRCCOLOR:
        return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
        return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
        return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
        return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
        return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
        return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
        return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
        return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT:
        return GL_SRC_ALPHA_SATURATE;
    case D3DBLEND_BOTHSRCALPHA:
        return source ? GL_SRC_ALPHA : GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_BOTHINVSRCALPHA:
        return source ? GL_ONE_MINUS_SRC_ALPHA : GL_SRC_ALPHA;
    case D3DBLEND_BLENDFACTOR:
        return GL_CONSTANT_COLOR;
    case D3DBLEND_INVBLENDFACTOR:
        return GL_ONE_MINUS_CONSTANT_COLOR;
    default:
        return GL_ONE;
    }
}

GLenum BlendOp(DWORD op)
{
    switch (op)
    {
    case D3DBLENDOP_SUBTRACT:
        return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT:
        return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN:
        return GL_MIN;
    case D3DBLENDOP_MAX:
        return GL_MAX;
    default:
        return GL_FUNC_ADD;
    }
}

GLenum CompareFunc(DWORD f)
{
    switch (f)
    {
    case D3DCMP_NEVER:
        return GL_NEVER;
    case D3DCMP_LESS:
        return GL_LESS;
    case D3DCMP_EQUAL:
        return GL_EQUAL;
    case D3DCMP_LESSEQUAL:
        return GL_LEQUAL;
    case D3DCMP_GREATER:
        return GL_GREATER;
    case D3DCMP_NOTEQUAL:
        return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL:
        return GL_GEQUAL;
    default:
        return GL_ALWAYS;
    }
}

GLenum StencilOp(DWORD op)
{
    switch (op)
    {
    case D3DSTENCILOP_ZERO:
        return GL_ZERO;
    case D3DSTENCILOP_REPLACE:
        return GL_REPLACE;
    case D3DSTENCILOP_INCRSAT:
        return GL_INCR;
    case D3DSTENCILOP_DECRSAT:
        return GL_DECR;
    case D3DSTENCILOP_INVERT:
        return GL_INVERT;
    case D3DSTENCILOP_INCR:
        return GL_INCR_WRAP;
    case D3DSTENCILOP_DECR:
        return GL_DECR_WRAP;
    default:
        return GL_KEEP;
    }
}

GLenum AddressMode(DWORD a)
{
    switch (a)
    {
    case D3DTADDRESS_MIRROR:
        return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP:
        return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER:
        return GL_CLAMP_TO_BORDER;
    case D3DTADDRESS_MIRRORONCE:
        return GL_MIRRORED_REPEAT;
    default:
        return GL_REPEAT;
    }
}

GLenum PrimitiveMode(D3DPRIMITIVETYPE type)
{
    switch (type)
    {
    case D3DPT_POINTLIST:
        return GL_POINTS;
    case D3DPT_LINELIST:
        return GL_LINES;
    case D3DPT_LINESTRIP:
        return GL_LINE_STRIP;
    case D3DPT_TRIANGLESTRIP:
        return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN:
        return GL_TRIANGLE_FAN;
    default:
        return GL_TRIANGLES;
    }
}

UINT VertexCountOf(D3DPRIMITIVETYPE type, UINT primitives)
{
    switch (type)
    {
    case D3DPT_POINTLIST:
        return primitives;
    case D3DPT_LINELIST:
        return primitives * 2;
    case D3DPT_LINESTRIP:
        return primitives + 1;
    case D3DPT_TRIANGLELIST:
        return primitives * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        return primitives + 2;
    default:
        return 0;
    }
}

// Draw calls and triangles sent to OpenGL since the last reset, for the
// frame benchmarks.
D3DDrawStats g_DrawStats;

void CountDraw(D3DPRIMITIVETYPE type, UINT primitives)
{
    ++g_DrawStats.drawCalls;
    if (type == D3DPT_TRIANGLELIST || type == D3DPT_TRIANGLESTRIP || type == D3DPT_TRIANGLEFAN)
        g_DrawStats.triangles += primitives;
}

}   // namespace

void ApplySamplerState(GLuint sampler, const DWORD* ss)
{
    gl.SamplerParameteri(sampler, GL_TEXTURE_WRAP_S, (GLint)AddressMode(ss[D3DSAMP_ADDRESSU]));
    gl.SamplerParameteri(sampler, GL_TEXTURE_WRAP_T, (GLint)AddressMode(ss[D3DSAMP_ADDRESSV]));
    gl.SamplerParameteri(sampler, GL_TEXTURE_WRAP_R, (GLint)AddressMode(ss[D3DSAMP_ADDRESSW]));
    float border[4];
    ColorToFloats(ss[D3DSAMP_BORDERCOLOR], border);
    gl.SamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, border);
    bool magLinear = ss[D3DSAMP_MAGFILTER] >= D3DTEXF_LINEAR;
    bool minLinear = ss[D3DSAMP_MINFILTER] >= D3DTEXF_LINEAR;
    DWORD mip = ss[D3DSAMP_MIPFILTER];
    GLenum minFilter;
    if (mip == D3DTEXF_NONE)
        minFilter = minLinear ? GL_LINEAR : GL_NEAREST;
    else if (mip == D3DTEXF_POINT)
        minFilter = minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    else
        minFilter = minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    gl.SamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, magLinear ? GL_LINEAR : GL_NEAREST);
    gl.SamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, (GLint)minFilter);
    gl.SamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, DwordToFloat(ss[D3DSAMP_MIPMAPLODBIAS]));
    gl.SamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, (float)ss[D3DSAMP_MAXMIPLEVEL]);
    if (gl.anisotropic)
    {
        float aniso = (ss[D3DSAMP_MINFILTER] == D3DTEXF_ANISOTROPIC)
                          ? (float)std::max<DWORD>(1, ss[D3DSAMP_MAXANISOTROPY])
                          : 1.0f;
        gl.SamplerParameterf(sampler, 0x84FE /* GL_TEXTURE_MAX_ANISOTROPY */, aniso);
    }
}

namespace
{

std::string Pointer(const char* kind, unsigned number, bool present)
{
    return present ? Fmt("%s%u", kind, number) : std::string("null");
}

std::string TextureName(IDirect3DBaseTexture9* t)
{
    TextureStore* s = StoreOf(t);
    if (!t)
        return "null";
    return s ? Fmt("tex%u", s->Number()) : std::string("tex?");
}

std::string SurfaceName(IDirect3DSurface9* s)
{
    auto* c = dynamic_cast<CSurface9*>(s);
    if (!s)
        return "null";
    return c ? Fmt("surf%u", c->Number()) : std::string("surf?");
}

}   // namespace

CDevice9* DeviceOf(IDirect3DDevice9* device)
{
    return dynamic_cast<CDevice9*>(device);
}

void CDevice9::CountDefaultPool(const std::shared_ptr<DeviceLink>& link, int delta)
{
    if (link && link->alive && link->device)
        link->device->defaultPoolCount += delta;
}

// ---------------------------------------------------------------------------
// Creation and destruction
// ---------------------------------------------------------------------------
CDevice9::CDevice9(CDirect3D9* d3d, D3DBackendKind kind, HWND window, const D3DPRESENT_PARAMETERS& pp)
    : m_D3d(d3d), m_Kind(kind), m_Gl(kind == D3DBackendKind::OpenGL), m_Window(window), m_Pp(pp)
{
    m_D3d->AddRef();
    m_Link = std::make_shared<DeviceLink>();
    m_Link->device = this;
    m_Link->gl = m_Gl;
    for (bool& d : m_SamplerDirty)
        d = true;
}

HRESULT CDevice9::Init()
{
    if (m_Gl)
    {
        m_SdlWindow = ResolveWindow(m_Window);
        if (!m_SdlWindow)
            return D3DERR_INVALIDCALL;
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        m_Context = SDL_GL_CreateContext(m_SdlWindow);
        if (!m_Context)
            return D3DERR_NOTAVAILABLE;
        g_current = nullptr;
        MakeCurrent();
        if (!gl.Load())
            return D3DERR_NOTAVAILABLE;
        SDL_GL_SetSwapInterval(m_Pp.PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE ? 0 : 1);
        gl.GenFramebuffers(1, &m_Fbo);
        gl.GenFramebuffers(1, &m_BlitRead);
        gl.GenFramebuffers(1, &m_BlitDraw);
        gl.GenVertexArrays(1, &m_Vao);
        gl.GenBuffers(1, &m_UpVertices);
        gl.GenBuffers(1, &m_UpIndices);
        gl.GenSamplers(kSamplers, m_Samplers);
        for (int i = 0; i < kSamplers; ++i)
            gl.BindSampler((GLuint)i, m_Samplers[i]);
        gl.BindVertexArray(m_Vao);
        gl.Enable(GL_PROGRAM_POINT_SIZE);
        // Flat shading takes each triangle's first vertex, as Direct3D does.
        gl.ProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
        // Always on: a disabled clip plane is a plane every visible vertex passes.
        gl.Enable(GL_CLIP_DISTANCE0);
    }
    HRESULT hr = CreateSwapChainSurfaces();
    if (FAILED(hr))
        return hr;
    SetDefaultState();
    return D3D_OK;
}

HRESULT CDevice9::CreateSwapChainSurfaces()
{
    if (m_Pp.BackBufferWidth == 0 || m_Pp.BackBufferHeight == 0)
    {
        int w = 0, h = 0;
        if (m_SdlWindow)
            SDL_GL_GetDrawableSize(m_SdlWindow, &w, &h);
        if (w <= 0 || h <= 0)
            w = 640, h = 480;
        if (m_Pp.BackBufferWidth == 0)
            m_Pp.BackBufferWidth = (UINT)w;
        if (m_Pp.BackBufferHeight == 0)
            m_Pp.BackBufferHeight = (UINT)h;
    }
    if (m_Pp.BackBufferFormat == D3DFMT_UNKNOWN)
        m_Pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    if (m_Pp.BackBufferCount == 0)
        m_Pp.BackBufferCount = 1;
    D3DFORMAT format = m_Pp.BackBufferFormat;
    if (!GetFormatInfo(format).supported || GetFormatInfo(format).compressed)
        return D3DERR_INVALIDCALL;
    auto store = std::make_unique<TextureStore>(m_Link, m_Pp.BackBufferWidth, m_Pp.BackBufferHeight, 1, 1,
                                                D3DUSAGE_RENDERTARGET, format, D3DPOOL_MANAGED);
    if (!store->Create())
        return D3DERR_NOTAVAILABLE;
    m_BackBuffer = new CSurface9(m_Link, std::move(store));
    if (m_Pp.EnableAutoDepthStencil)
    {
        m_AutoDepth = new CSurface9(m_Link, m_Pp.BackBufferWidth, m_Pp.BackBufferHeight, m_Pp.AutoDepthStencilFormat);
        // The automatic surface is the swap chain's own, not the application's.
        defaultPoolCount -= 1;
    }
    m_RenderTarget = m_BackBuffer;
    m_RenderTarget->AddRef();
    m_DepthStencil = m_AutoDepth;
    if (m_DepthStencil)
        m_DepthStencil->AddRef();
    m_FramebufferDirty = true;
    return D3D_OK;
}

void CDevice9::SetDefaultState()
{
    std::memset(m_Rs, 0, sizeof m_Rs);
    m_Rs[D3DRS_ZENABLE] = m_Pp.EnableAutoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
    m_Rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
    m_Rs[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
    m_Rs[D3DRS_ZWRITEENABLE] = TRUE;
    m_Rs[D3DRS_LASTPIXEL] = TRUE;
    m_Rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    m_Rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    m_Rs[D3DRS_CULLMODE] = D3DCULL_CCW;
    m_Rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    m_Rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    m_Rs[D3DRS_FOGEND] = FloatToDword(1.0f);
    m_Rs[D3DRS_FOGDENSITY] = FloatToDword(1.0f);
    m_Rs[D3DRS_STENCILFAIL] = D3DSTENCILOP_KEEP;
    m_Rs[D3DRS_STENCILZFAIL] = D3DSTENCILOP_KEEP;
    m_Rs[D3DRS_STENCILPASS] = D3DSTENCILOP_KEEP;
    m_Rs[D3DRS_STENCILFUNC] = D3DCMP_ALWAYS;
    m_Rs[D3DRS_STENCILMASK] = 0xFFFFFFFFu;
    m_Rs[D3DRS_STENCILWRITEMASK] = 0xFFFFFFFFu;
    m_Rs[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFFu;
    m_Rs[D3DRS_CLIPPING] = TRUE;
    m_Rs[D3DRS_LIGHTING] = TRUE;
    m_Rs[D3DRS_COLORVERTEX] = TRUE;
    m_Rs[D3DRS_LOCALVIEWER] = TRUE;
    m_Rs[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    m_Rs[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    m_Rs[D3DRS_POINTSIZE] = FloatToDword(1.0f);
    m_Rs[D3DRS_POINTSIZE_MAX] = FloatToDword(64.0f);
    m_Rs[D3DRS_MULTISAMPLEANTIALIAS] = TRUE;
    m_Rs[D3DRS_MULTISAMPLEMASK] = 0xFFFFFFFFu;
    m_Rs[D3DRS_COLORWRITEENABLE] = 0xF;
    m_Rs[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
    m_Rs[D3DRS_BLENDFACTOR] = 0xFFFFFFFFu;
    m_Rs[D3DRS_SRCBLENDALPHA] = D3DBLEND_ONE;
    m_Rs[D3DRS_DESTBLENDALPHA] = D3DBLEND_ZERO;
    m_Rs[D3DRS_BLENDOPALPHA] = D3DBLENDOP_ADD;
    for (int s = 0; s < kStages; ++s)
    {
        std::memset(m_Tss[s], 0, sizeof m_Tss[s]);
        m_Tss[s][D3DTSS_COLOROP] = s == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        m_Tss[s][D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        m_Tss[s][D3DTSS_COLORARG2] = D3DTA_CURRENT;
        m_Tss[s][D3DTSS_ALPHAOP] = s == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        m_Tss[s][D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        m_Tss[s][D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        m_Tss[s][D3DTSS_TEXCOORDINDEX] = (DWORD)s;
        m_Tss[s][D3DTSS_COLORARG0] = D3DTA_CURRENT;
        m_Tss[s][D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
        m_Tss[s][D3DTSS_RESULTARG] = D3DTA_CURRENT;
        Identity(m_TexMatrix[s]);
    }
    for (int s = 0; s < kSamplers; ++s)
    {
        std::memset(m_Ss[s], 0, sizeof m_Ss[s]);
        m_Ss[s][D3DSAMP_ADDRESSU] = m_Ss[s][D3DSAMP_ADDRESSV] = m_Ss[s][D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
        m_Ss[s][D3DSAMP_MAGFILTER] = m_Ss[s][D3DSAMP_MINFILTER] = D3DTEXF_POINT;
        m_Ss[s][D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
        m_Ss[s][D3DSAMP_MAXANISOTROPY] = 1;
        m_SamplerDirty[s] = true;
    }
    Identity(m_World);
    Identity(m_View);
    Identity(m_Proj);
    std::memset(&m_Material, 0, sizeof m_Material);
    std::memset(m_Lights, 0, sizeof m_Lights);
    for (int i = 0; i < kLights; ++i)
    {
        m_Lights[i].Type = D3DLIGHT_DIRECTIONAL;
        m_Lights[i].Diffuse = {1, 1, 1, 0};
        m_Lights[i].Direction = {0, 0, 1};
        m_LightOn[i] = false;
    }
    std::memset(m_ClipPlane, 0, sizeof m_ClipPlane);
    std::memset(m_VsConst, 0, sizeof m_VsConst);
    std::memset(m_PsConst, 0, sizeof m_PsConst);
    m_Viewport = {
        0, 0, m_RenderTarget ? m_RenderTarget->Width() : 0, m_RenderTarget ? m_RenderTarget->Height() : 0, 0.0f, 1.0f};
    m_Scissor = {0, 0, (LONG)m_Viewport.Width, (LONG)m_Viewport.Height};
    m_Fvf = 0;
    m_FixedDirty = m_GlStateDirty = true;
    ++m_TransformVersion, ++m_ProjVersion, ++m_TexMatrixVersion, ++m_LightingVersion, ++m_TfactorVersion;
    ++m_ClipVersion, ++m_ViewportVersion, ++m_AlphaVersion, ++m_VsConstVersion, ++m_PsConstVersion;
    UpdateClipPlane();
}

void CDevice9::ResetBindings()
{
    for (auto& t : m_Textures)
    {
        if (t)
            t->Release();
        t = nullptr;
    }
    if (m_Stream)
        m_Stream->Release();
    m_Stream = nullptr;
    if (m_Indices)
        m_Indices->Release();
    m_Indices = nullptr;
    if (m_RenderTarget)
        m_RenderTarget->Release();
    m_RenderTarget = nullptr;
    if (m_DepthStencil)
        m_DepthStencil->Release();
    m_DepthStencil = nullptr;
}

CDevice9::~CDevice9()
{
    ResetBindings();
    if (m_BackBuffer)
        m_BackBuffer->Release();
    if (m_AutoDepth)
    {
        defaultPoolCount += 1;
        m_AutoDepth->Release();
    }
    if (m_Gl && m_Context)
    {
        MakeCurrent();
        for (auto& entry : m_FixedCache)
            gl.DeleteProgram(entry.second->program);
        gl.DeleteFramebuffers(1, &m_Fbo);
        gl.DeleteFramebuffers(1, &m_BlitRead);
        gl.DeleteFramebuffers(1, &m_BlitDraw);
        gl.DeleteVertexArrays(1, &m_Vao);
        gl.DeleteBuffers(1, &m_UpVertices);
        gl.DeleteBuffers(1, &m_UpIndices);
        gl.DeleteSamplers(kSamplers, m_Samplers);
        SDL_GL_MakeCurrent(m_SdlWindow, nullptr);
        SDL_GL_DeleteContext(m_Context);
    }
    if (g_current == this)
        g_current = nullptr;
    m_Link->alive = false;
    m_Link->device = nullptr;
    m_D3d->Release();
}

ULONG CDevice9::Release()
{
    ULONG left = --m_Refs;
    if (left == 0)
    {
        RECORD("Device.Release");
        delete this;
    }
    return left;
}

void CDevice9::MakeCurrent()
{
    if (!m_Gl || g_current == this)
        return;
    SDL_GL_MakeCurrent(m_SdlWindow, m_Context);
    g_current = this;
}

void CDevice9::RecordCall(const std::string& line) const
{
    Record(line);
}

void CDevice9::BindUnit(int unit, GLenum target, GLuint texture)
{
    if (!m_Gl)
        return;
    if (unit < 0)
    {
        // Scratch unit for uploads, outside the units draws use.
        const int scratch = kSamplers + 16;
        gl.ActiveTexture(GL_TEXTURE0 + scratch);
        if (target)
            gl.BindTexture(target, texture);
        return;
    }
    if (m_BoundTex[unit] == texture && m_BoundTarget[unit] == target)
        return;
    gl.ActiveTexture(GL_TEXTURE0 + unit);
    if (m_BoundTarget[unit] && m_BoundTarget[unit] != target)
        gl.BindTexture(m_BoundTarget[unit], 0);
    if (target)
        gl.BindTexture(target, texture);
    m_BoundTex[unit] = texture;
    m_BoundTarget[unit] = target;
}

void CDevice9::ForgetTexture(GLuint texture)
{
    for (size_t unit = 0; unit < sizeof(m_BoundTex) / sizeof(m_BoundTex[0]); ++unit)
    {
        if (m_BoundTex[unit] == texture)
        {
            m_BoundTex[unit] = 0;
            m_BoundTarget[unit] = 0;
        }
    }
}

// ---------------------------------------------------------------------------
// Device state, presentation
// ---------------------------------------------------------------------------
HRESULT CDevice9::TestCooperativeLevel()
{
    RECORD("TestCooperativeLevel");
    if (m_LostState == 1)
        return D3DERR_DEVICELOST;
    if (m_LostState == 2)
        return D3DERR_DEVICENOTRESET;
    return D3D_OK;
}

UINT CDevice9::GetAvailableTextureMem()
{
    return 512u * 1024u * 1024u;
}

HRESULT CDevice9::GetDirect3D(IDirect3D9** ppD3D9)
{
    if (!ppD3D9)
        return D3DERR_INVALIDCALL;
    m_D3d->AddRef();
    *ppD3D9 = m_D3d;
    return D3D_OK;
}

HRESULT CDevice9::GetDeviceCaps(D3DCAPS9* pCaps)
{
    if (!pCaps)
        return D3DERR_INVALIDCALL;
    FillCaps(pCaps);
    return D3D_OK;
}

HRESULT CDevice9::GetDisplayMode(UINT, D3DDISPLAYMODE* pMode)
{
    if (!pMode)
        return D3DERR_INVALIDCALL;
    if (m_Pp.Windowed)
    {
        *pMode = DesktopMode(m_Kind);
    }
    else
    {
        pMode->Width = m_Pp.BackBufferWidth;
        pMode->Height = m_Pp.BackBufferHeight;
        pMode->RefreshRate = 60;
        pMode->Format = m_Pp.BackBufferFormat;
    }
    return D3D_OK;
}

HRESULT CDevice9::Reset(D3DPRESENT_PARAMETERS* pp)
{
    RECORD("Reset");
    if (!pp)
        return D3DERR_INVALIDCALL;
    if (m_LostState == 1)
        return D3DERR_DEVICELOST;
    if (FAILED(m_ResetResult))
        return m_ResetResult;
    // As Direct3D: every resource of the default pool must be gone first.
    if (defaultPoolCount > 0)
        return D3DERR_INVALIDCALL;
    MakeCurrent();
    SetEffectPass(nullptr);
    ResetBindings();
    if (m_BackBuffer)
        m_BackBuffer->Release();
    m_BackBuffer = nullptr;
    if (m_AutoDepth)
    {
        defaultPoolCount += 1;
        m_AutoDepth->Release();
    }
    m_AutoDepth = nullptr;
    m_Pp = *pp;
    HRESULT hr = CreateSwapChainSurfaces();
    if (FAILED(hr))
        return hr;
    *pp = m_Pp;
    SetDefaultState();
    m_LostState = 0;
    return D3D_OK;
}

HRESULT CDevice9::Present(const RECT*, const RECT*, HWND, const void*)
{
    RECORD("Present");
    if (m_LostState)
        return D3DERR_DEVICELOST;
    if (!m_Gl)
        return D3D_OK;
    MakeCurrent();
    WriteTestScreenshot(*this, m_BackBuffer);
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(m_SdlWindow, &w, &h);
    gl.BindFramebuffer(GL_READ_FRAMEBUFFER, m_BlitRead);
    m_BackBuffer->Attach(GL_READ_FRAMEBUFFER);
    gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    gl.Disable(GL_SCISSOR_TEST);
    // Row 0 of the back buffer is its top row; the window's row 0 is its bottom.
    gl.BlitFramebuffer(0, 0, (GLint)m_BackBuffer->Width(), (GLint)m_BackBuffer->Height(), 0, h, w, 0,
                       GL_COLOR_BUFFER_BIT, GL_LINEAR);
    SDL_GL_SwapWindow(m_SdlWindow);
    m_FramebufferDirty = true;
    m_GlStateDirty = true;
    return D3D_OK;
}

HRESULT CDevice9::GetBackBuffer(UINT, UINT, D3DBACKBUFFER_TYPE, IDirect3DSurface9** ppBackBuffer)
{
    if (!ppBackBuffer || !m_BackBuffer)
        return D3DERR_INVALIDCALL;
    m_BackBuffer->AddRef();
    *ppBackBuffer = m_BackBuffer;
    return D3D_OK;
}

// ---------------------------------------------------------------------------
// Resources
// ---------------------------------------------------------------------------
HRESULT CDevice9::CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                IDirect3DTexture9** ppTexture, HANDLE*)
{
    if (!ppTexture)
        return D3DERR_INVALIDCALL;
    *ppTexture = nullptr;
    FormatInfo fi = GetFormatInfo(Format);
    if (Width == 0 || Height == 0 || Width > 8192 || Height > 8192 || !fi.supported || fi.depth)
        return D3DERR_INVALIDCALL;
    if ((Usage & D3DUSAGE_RENDERTARGET) && (fi.compressed || Pool != D3DPOOL_DEFAULT))
        return D3DERR_INVALIDCALL;
    UINT full = FullLevelCount(Width, Height);
    if (Levels == 0 || Levels > full)
        Levels = full;
    auto store = std::make_unique<TextureStore>(m_Link, Width, Height, Levels, 1, Usage, Format, Pool);
    if (!store->Create())
        return D3DERR_NOTAVAILABLE;
    auto* texture = new CTexture9(m_Link, std::move(store));
    RECORD(Fmt("CreateTexture(%u, %u, %u, %u, %u, %u) -> tex%u", Width, Height, Levels, (unsigned)Usage,
               (unsigned)Format, (unsigned)Pool, texture->Store()->Number()));
    *ppTexture = texture;
    return D3D_OK;
}

HRESULT CDevice9::CreateCubeTexture(UINT EdgeLength, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                    IDirect3DCubeTexture9** ppCubeTexture, HANDLE*)
{
    if (!ppCubeTexture)
        return D3DERR_INVALIDCALL;
    *ppCubeTexture = nullptr;
    FormatInfo fi = GetFormatInfo(Format);
    if (EdgeLength == 0 || EdgeLength > 8192 || !fi.supported || fi.depth)
        return D3DERR_INVALIDCALL;
    UINT full = FullLevelCount(EdgeLength, EdgeLength);
    if (Levels == 0 || Levels > full)
        Levels = full;
    auto store = std::make_unique<TextureStore>(m_Link, EdgeLength, EdgeLength, Levels, 6, Usage, Format, Pool);
    if (!store->Create())
        return D3DERR_NOTAVAILABLE;
    auto* texture = new CCubeTexture9(m_Link, std::move(store));
    RECORD(Fmt("CreateCubeTexture(%u, %u, %u, %u, %u) -> tex%u", EdgeLength, Levels, (unsigned)Usage, (unsigned)Format,
               (unsigned)Pool, texture->Store()->Number()));
    *ppCubeTexture = texture;
    return D3D_OK;
}

HRESULT CDevice9::CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                                     IDirect3DVertexBuffer9** ppVertexBuffer, HANDLE*)
{
    if (!ppVertexBuffer)
        return D3DERR_INVALIDCALL;
    *ppVertexBuffer = nullptr;
    if (Length == 0 || Length > (256u << 20))
        return D3DERR_INVALIDCALL;
    MakeCurrent();
    auto* vb = new CVertexBuffer9(m_Link, Length, Usage, FVF, Pool);
    RECORD(Fmt("CreateVertexBuffer(%u, %u, 0x%X, %u) -> vb%u", Length, (unsigned)Usage, (unsigned)FVF, (unsigned)Pool,
               vb->Store().Number()));
    *ppVertexBuffer = vb;
    return D3D_OK;
}

HRESULT CDevice9::CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                    IDirect3DIndexBuffer9** ppIndexBuffer, HANDLE*)
{
    if (!ppIndexBuffer)
        return D3DERR_INVALIDCALL;
    *ppIndexBuffer = nullptr;
    if (Length == 0 || Length > (256u << 20) || (Format != D3DFMT_INDEX16 && Format != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    MakeCurrent();
    auto* ib = new CIndexBuffer9(m_Link, Length, Usage, Format, Pool);
    RECORD(Fmt("CreateIndexBuffer(%u, %u, %u, %u) -> ib%u", Length, (unsigned)Usage, (unsigned)Format, (unsigned)Pool,
               ib->Store().Number()));
    *ppIndexBuffer = ib;
    return D3D_OK;
}

HRESULT CDevice9::CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE, DWORD, BOOL,
                                     IDirect3DSurface9** ppSurface, HANDLE*)
{
    if (!ppSurface)
        return D3DERR_INVALIDCALL;
    *ppSurface = nullptr;
    FormatInfo fi = GetFormatInfo(Format);
    if (Width == 0 || Height == 0 || Width > 8192 || Height > 8192 || !fi.supported || fi.depth || fi.compressed)
        return D3DERR_INVALIDCALL;
    auto store =
        std::make_unique<TextureStore>(m_Link, Width, Height, 1, 1, D3DUSAGE_RENDERTARGET, Format, D3DPOOL_DEFAULT);
    if (!store->Create())
        return D3DERR_NOTAVAILABLE;
    auto* surface = new CSurface9(m_Link, std::move(store));
    RECORD(Fmt("CreateRenderTarget(%u, %u, %u) -> surf%u", Width, Height, (unsigned)Format, surface->Number()));
    *ppSurface = surface;
    return D3D_OK;
}

HRESULT CDevice9::CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE, DWORD, BOOL,
                                            IDirect3DSurface9** ppSurface, HANDLE*)
{
    if (!ppSurface)
        return D3DERR_INVALIDCALL;
    *ppSurface = nullptr;
    if (Width == 0 || Height == 0 || Width > 8192 || Height > 8192 || !GetFormatInfo(Format).depth)
        return D3DERR_INVALIDCALL;
    MakeCurrent();
    auto* surface = new CSurface9(m_Link, Width, Height, Format);
    RECORD(Fmt("CreateDepthStencilSurface(%u, %u, %u) -> surf%u", Width, Height, (unsigned)Format, surface->Number()));
    *ppSurface = surface;
    return D3D_OK;
}

HRESULT CDevice9::StretchRect(IDirect3DSurface9* pSourceSurface, const RECT* pSourceRect,
                              IDirect3DSurface9* pDestSurface, const RECT* pDestRect, D3DTEXTUREFILTERTYPE Filter)
{
    RECORD(Fmt("StretchRect(%s, %s, %u)", SurfaceName(pSourceSurface).c_str(), SurfaceName(pDestSurface).c_str(),
               (unsigned)Filter));
    auto* src = dynamic_cast<CSurface9*>(pSourceSurface);
    auto* dst = dynamic_cast<CSurface9*>(pDestSurface);
    if (!src || !dst || src == dst || src->IsDepth() != dst->IsDepth())
        return D3DERR_INVALIDCALL;
    RECT s = pSourceRect ? *pSourceRect : RECT{0, 0, (LONG)src->Width(), (LONG)src->Height()};
    RECT d = pDestRect ? *pDestRect : RECT{0, 0, (LONG)dst->Width(), (LONG)dst->Height()};
    if (s.left < 0 || s.top < 0 || s.right > (LONG)src->Width() || s.bottom > (LONG)src->Height() ||
        s.left >= s.right || s.top >= s.bottom)
        return D3DERR_INVALIDCALL;
    if (d.left < 0 || d.top < 0 || d.right > (LONG)dst->Width() || d.bottom > (LONG)dst->Height() ||
        d.left >= d.right || d.top >= d.bottom)
        return D3DERR_INVALIDCALL;
    if (!m_Gl)
    {
        // Keep the CPU copies in step where both sides have one (plain copies only).
        if (!src->IsDepth() && src->Store()->HasCpuCopy() && dst->Store()->HasCpuCopy() &&
            src->Format() == dst->Format() && s.right - s.left == d.right - d.left &&
            s.bottom - s.top == d.bottom - d.top && !GetFormatInfo(src->Format()).compressed)
        {
            UINT bpp = GetFormatInfo(src->Format()).bytesPerPixel;
            const auto& from = src->Store()->LevelData(src->Face(), src->Level());
            std::vector<uint8_t> to = dst->Store()->LevelData(dst->Face(), dst->Level());
            UINT sp = LevelPitch(src->Format(), src->Width()), dp = LevelPitch(dst->Format(), dst->Width());
            for (LONG y = 0; y < s.bottom - s.top; ++y)
                std::memcpy(&to[(d.top + y) * dp + d.left * bpp], &from[(s.top + y) * sp + s.left * bpp],
                            (s.right - s.left) * bpp);
            dst->Store()->SetLevelData(dst->Face(), dst->Level(), to.data(), to.size());
        }
        return D3D_OK;
    }
    MakeCurrent();
    // A copy of the same size between colour textures of one format is a
    // plain copy of texels: the driver makes it without drawing (a software
    // rasteriser would otherwise shade every texel of the target).
    if (gl.CopyImageSubData && !src->IsDepth() && src->Store() && dst->Store() && src->Format() == dst->Format() &&
        s.right - s.left == d.right - d.left && s.bottom - s.top == d.bottom - d.top)
    {
        gl.CopyImageSubData(src->Store()->GLName(), src->Store()->GLTarget(), (GLint)src->Level(), s.left, s.top,
                            src->Face(), dst->Store()->GLName(), dst->Store()->GLTarget(), (GLint)dst->Level(), d.left,
                            d.top, dst->Face(), s.right - s.left, s.bottom - s.top, 1);
        return D3D_OK;
    }
    gl.BindFramebuffer(GL_READ_FRAMEBUFFER, m_BlitRead);
    src->Attach(GL_READ_FRAMEBUFFER);
    gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, m_BlitDraw);
    dst->Attach(GL_DRAW_FRAMEBUFFER);
    gl.Disable(GL_SCISSOR_TEST);
    GLbitfield mask = src->IsDepth() ? GL_DEPTH_BUFFER_BIT : GL_COLOR_BUFFER_BIT;
    if (!src->IsDepth())
        gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    GLenum filter = (Filter >= D3DTEXF_LINEAR && !src->IsDepth()) ? GL_LINEAR : GL_NEAREST;
    // Both sides keep row 0 at the top, so rectangles copy straight across.
    gl.BlitFramebuffer(s.left, s.top, s.right, s.bottom, d.left, d.top, d.right, d.bottom, mask, filter);
    if (src->IsDepth())
    {
        gl.FramebufferRenderbuffer(GL_READ_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
        gl.FramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
        gl.FramebufferRenderbuffer(GL_READ_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, 0);
        gl.FramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, 0);
    }
    m_FramebufferDirty = true;
    m_GlStateDirty = true;
    return D3D_OK;
}

HRESULT CDevice9::ColorFill(IDirect3DSurface9* pSurface, const RECT* pRect, D3DCOLOR color)
{
    RECORD(Fmt("ColorFill(%s, 0x%08X)", SurfaceName(pSurface).c_str(), (unsigned)color));
    auto* surface = dynamic_cast<CSurface9*>(pSurface);
    if (!surface || surface->IsDepth())
        return D3DERR_INVALIDCALL;
    RECT r = pRect ? *pRect : RECT{0, 0, (LONG)surface->Width(), (LONG)surface->Height()};
    if (!m_Gl)
        return D3D_OK;
    MakeCurrent();
    gl.BindFramebuffer(GL_DRAW_FRAMEBUFFER, m_BlitDraw);
    surface->Attach(GL_DRAW_FRAMEBUFFER);
    gl.Enable(GL_SCISSOR_TEST);
    gl.Scissor(r.left, r.top, r.right - r.left, r.bottom - r.top);
    gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    float c[4];
    ColorToFloats(color, c);
    gl.ClearColor(c[0], c[1], c[2], c[3]);
    gl.Clear(GL_COLOR_BUFFER_BIT);
    gl.Disable(GL_SCISSOR_TEST);
    m_FramebufferDirty = true;
    m_GlStateDirty = true;
    return D3D_OK;
}

// ---------------------------------------------------------------------------
// Targets
// ---------------------------------------------------------------------------
HRESULT CDevice9::SetRenderTarget(DWORD index, IDirect3DSurface9* pRenderTarget)
{
    RECORD(Fmt("SetRenderTarget(%u, %s)", (unsigned)index, SurfaceName(pRenderTarget).c_str()));
    auto* surface = dynamic_cast<CSurface9*>(pRenderTarget);
    if (index != 0 || !surface || surface->IsDepth() || !surface->Store()->IsRenderTarget())
        return D3DERR_INVALIDCALL;
    surface->AddRef();
    if (m_RenderTarget)
        m_RenderTarget->Release();
    m_RenderTarget = surface;
    // As Direct3D: a new target gets a viewport over all of it.
    m_Viewport = {0, 0, surface->Width(), surface->Height(), 0.0f, 1.0f};
    m_Scissor = {0, 0, (LONG)surface->Width(), (LONG)surface->Height()};
    ++m_ViewportVersion;
    m_FramebufferDirty = m_GlStateDirty = true;
    return D3D_OK;
}

HRESULT CDevice9::GetRenderTarget(DWORD index, IDirect3DSurface9** ppRenderTarget)
{
    if (!ppRenderTarget || index != 0)
        return D3DERR_INVALIDCALL;
    *ppRenderTarget = m_RenderTarget;
    if (!m_RenderTarget)
        return D3DERR_NOTFOUND;
    m_RenderTarget->AddRef();
    return D3D_OK;
}

HRESULT CDevice9::SetDepthStencilSurface(IDirect3DSurface9* pNewZStencil)
{
    RECORD(Fmt("SetDepthStencilSurface(%s)", SurfaceName(pNewZStencil).c_str()));
    auto* surface = dynamic_cast<CSurface9*>(pNewZStencil);
    if (pNewZStencil && (!surface || !surface->IsDepth()))
        return D3DERR_INVALIDCALL;
    if (surface)
        surface->AddRef();
    if (m_DepthStencil)
        m_DepthStencil->Release();
    m_DepthStencil = surface;
    m_FramebufferDirty = m_GlStateDirty = true;
    return D3D_OK;
}

HRESULT CDevice9::GetDepthStencilSurface(IDirect3DSurface9** ppZStencilSurface)
{
    if (!ppZStencilSurface)
        return D3DERR_INVALIDCALL;
    *ppZStencilSurface = m_DepthStencil;
    if (!m_DepthStencil)
        return D3DERR_NOTFOUND;
    m_DepthStencil->AddRef();
    return D3D_OK;
}

// ---------------------------------------------------------------------------
// Frame
// ---------------------------------------------------------------------------
HRESULT CDevice9::BeginScene()
{
    RECORD("BeginScene");
    if (m_InScene)
        return D3DERR_INVALIDCALL;
    m_InScene = true;
    return D3D_OK;
}

HRESULT CDevice9::EndScene()
{
    RECORD("EndScene");
    if (!m_InScene)
        return D3DERR_INVALIDCALL;
    m_InScene = false;
    return D3D_OK;
}

HRESULT CDevice9::Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z, DWORD Stencil)
{
    RECORD(
        Fmt("Clear(%u, %u, 0x%08X, %g, %u)", (unsigned)Count, (unsigned)Flags, (unsigned)Color, Z, (unsigned)Stencil));
    if ((Flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !m_DepthStencil)
        return D3DERR_INVALIDCALL;
    if (!m_Gl)
        return D3D_OK;
    MakeCurrent();
    ApplyFramebuffer();
    GLbitfield mask = 0;
    if (Flags & D3DCLEAR_TARGET)
        mask |= GL_COLOR_BUFFER_BIT;
    if (Flags & D3DCLEAR_ZBUFFER)
        mask |= GL_DEPTH_BUFFER_BIT;
    if ((Flags & D3DCLEAR_STENCIL) && m_DepthStencil && m_DepthStencil->DepthHasStencil())
        mask |= GL_STENCIL_BUFFER_BIT;
    if (!mask)
        return D3D_OK;
    float c[4];
    ColorToFloats(Color, c);
    gl.ClearColor(c[0], c[1], c[2], c[3]);
    gl.ClearDepth(std::min(1.0f, std::max(0.0f, Z)));
    gl.ClearStencil((GLint)Stencil);
    gl.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    gl.DepthMask(GL_TRUE);
    gl.StencilMask(0xFFFFFFFFu);
    // Direct3D clears only inside the viewport (and the rectangles, when given).
    LONG vx0 = (LONG)m_Viewport.X, vy0 = (LONG)m_Viewport.Y;
    LONG vx1 = vx0 + (LONG)m_Viewport.Width, vy1 = vy0 + (LONG)m_Viewport.Height;
    // ... and, as in Direct3D 9, inside the scissor rectangle while it is on.
    if (m_Rs[D3DRS_SCISSORTESTENABLE])
    {
        vx0 = std::max(vx0, m_Scissor.left), vy0 = std::max(vy0, m_Scissor.top);
        vx1 = std::max(vx0, std::min(vx1, m_Scissor.right)), vy1 = std::max(vy0, std::min(vy1, m_Scissor.bottom));
    }
    bool whole = vx0 <= 0 && vy0 <= 0 && vx1 >= (LONG)m_FbWidth && vy1 >= (LONG)m_FbHeight;
    if ((Count == 0 || !pRects) && whole)
    {
        // The whole target: an unscissored clear is much cheaper.
        gl.Disable(GL_SCISSOR_TEST);
        gl.Clear(mask);
    }
    else if (Count == 0 || !pRects)
    {
        gl.Enable(GL_SCISSOR_TEST);
        gl.Scissor(vx0, vy0, vx1 - vx0, vy1 - vy0);
        gl.Clear(mask);
    }
    else
    {
        gl.Enable(GL_SCISSOR_TEST);
        for (DWORD i = 0; i < Count; ++i)
        {
            LONG x0 = std::max(vx0, pRects[i].x1), y0 = std::max(vy0, pRects[i].y1);
            LONG x1 = std::min(vx1, pRects[i].x2), y1 = std::min(vy1, pRects[i].y2);
            if (x0 >= x1 || y0 >= y1)
                continue;
            gl.Scissor(x0, y0, x1 - x0, y1 - y0);
            gl.Clear(mask);
        }
    }
    gl.Disable(GL_SCISSOR_TEST);
    m_GlStateDirty = true;
    return D3D_OK;
}

// ---------------------------------------------------------------------------
// Fixed-function state
// ---------------------------------------------------------------------------
HRESULT CDevice9::SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix)
{
    if (!pMatrix)
        return D3DERR_INVALIDCALL;
    if (!m_Gl)
    {
        const float* m = &pMatrix->m[0][0];
        RECORD(Fmt("SetTransform(%s, [%g %g %g %g | %g %g %g %g | %g %g %g %g | %g %g %g %g])", TransformName(State),
                   m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8], m[9], m[10], m[11], m[12], m[13], m[14],
                   m[15]));
    }
    switch ((DWORD)State)
    {
    case 256:
        m_World = *pMatrix;
        ++m_TransformVersion;
        break;
    case D3DTS_VIEW:
        m_View = *pMatrix;
        ++m_TransformVersion;
        ++m_LightingVersion;
        UpdateClipPlane();
        break;
    case D3DTS_PROJECTION:
        m_Proj = *pMatrix;
        ++m_ProjVersion;
        UpdateClipPlane();
        break;
    default:
        if (State >= D3DTS_TEXTURE0 && State <= D3DTS_TEXTURE7)
        {
            m_TexMatrix[State - D3DTS_TEXTURE0] = *pMatrix;
            ++m_TexMatrixVersion;
            break;
        }
        return D3DERR_INVALIDCALL;
    }
    return D3D_OK;
}

HRESULT CDevice9::GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix)
{
    if (!pMatrix)
        return D3DERR_INVALIDCALL;
    switch ((DWORD)State)
    {
    case 256:
        *pMatrix = m_World;
        return D3D_OK;
    case D3DTS_VIEW:
        *pMatrix = m_View;
        return D3D_OK;
    case D3DTS_PROJECTION:
        *pMatrix = m_Proj;
        return D3D_OK;
    default:
        if (State >= D3DTS_TEXTURE0 && State <= D3DTS_TEXTURE7)
        {
            *pMatrix = m_TexMatrix[State - D3DTS_TEXTURE0];
            return D3D_OK;
        }
        return D3DERR_INVALIDCALL;
    }
}

HRESULT CDevice9::MultiplyTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix)
{
    D3DMATRIX current;
    if (!pMatrix || FAILED(GetTransform(State, &current)))
        return D3DERR_INVALIDCALL;
    D3DMATRIX result = Multiply(*pMatrix, current);
    return SetTransform(State, &result);
}

HRESULT CDevice9::SetViewport(const D3DVIEWPORT9* pViewport)
{
    if (!pViewport)
        return D3DERR_INVALIDCALL;
    RECORD(Fmt("SetViewport(%u, %u, %u, %u, %g, %g)", (unsigned)pViewport->X, (unsigned)pViewport->Y,
               (unsigned)pViewport->Width, (unsigned)pViewport->Height, pViewport->MinZ, pViewport->MaxZ));
    if (pViewport->Width == 0 || pViewport->Height == 0)
        return D3DERR_INVALIDCALL;
    m_Viewport = *pViewport;
    ++m_ViewportVersion;
    m_GlStateDirty = true;
    return D3D_OK;
}

HRESULT CDevice9::GetViewport(D3DVIEWPORT9* pViewport)
{
    if (!pViewport)
        return D3DERR_INVALIDCALL;
    *pViewport = m_Viewport;
    return D3D_OK;
}

HRESULT CDevice9::SetScissorRect(const RECT* pRect)
{
    if (!pRect)
        return D3DERR_INVALIDCALL;
    RECORD(Fmt("SetScissorRect(%d, %d, %d, %d)", (int)pRect->left, (int)pRect->top, (int)pRect->right,
               (int)pRect->bottom));
    if (pRect->right < pRect->left || pRect->bottom < pRect->top)
        return D3DERR_INVALIDCALL;
    m_Scissor = *pRect;
    m_GlStateDirty = true;
    return D3D_OK;
}

HRESULT CDevice9::GetScissorRect(RECT* pRect)
{
    if (!pRect)
        return D3DERR_INVALIDCALL;
    *pRect = m_Scissor;
    return D3D_OK;
}

HRESULT CDevice9::SetMaterial(const D3DMATERIAL9* m)
{
    if (!m)
        return D3DERR_INVALIDCALL;
    RECORD(Fmt("SetMaterial(D %g %g %g %g, A %g %g %g %g, S %g %g %g %g, E %g %g %g %g, P %g)", m->Diffuse.r,
               m->Diffuse.g, m->Diffuse.b, m->Diffuse.a, m->Ambient.r, m->Ambient.g, m->Ambient.b, m->Ambient.a,
               m->Specular.r, m->Specular.g, m->Specular.b, m->Specular.a, m->Emissive.r, m->Emissive.g, m->Emissive.b,
               m->Emissive.a, m->Power));
    m_Material = *m;
    ++m_LightingVersion;
    return D3D_OK;
}

HRESULT CDevice9::GetMaterial(D3DMATERIAL9* pMaterial)
{
    if (!pMaterial)
        return D3DERR_INVALIDCALL;
    *pMaterial = m_Material;
    return D3D_OK;
}

HRESULT CDevice9::SetLight(DWORD Index, const D3DLIGHT9* pLight)
{
    if (!pLight || Index >= (DWORD)kLights)
        return D3DERR_INVALIDCALL;
    RECORD(Fmt("SetLight(%u, type %u, D %g %g %g, dir %g %g %g)", (unsigned)Index, (unsigned)pLight->Type,
               pLight->Diffuse.r, pLight->Diffuse.g, pLight->Diffuse.b, pLight->Direction.x, pLight->Direction.y,
               pLight->Direction.z));
    m_Lights[Index] = *pLight;
    ++m_LightingVersion;
    m_FixedDirty = true;
    return D3D_OK;
}

HRESULT CDevice9::GetLight(DWORD Index, D3DLIGHT9* pLight)
{
    if (!pLight || Index >= (DWORD)kLights)
        return D3DERR_INVALIDCALL;
    *pLight = m_Lights[Index];
    return D3D_OK;
}

HRESULT CDevice9::LightEnable(DWORD Index, BOOL Enable)
{
    RECORD(Fmt("LightEnable(%u, %d)", (unsigned)Index, Enable ? 1 : 0));
    if (Index >= (DWORD)kLights)
        return D3DERR_INVALIDCALL;
    m_LightOn[Index] = Enable != 0;
    ++m_LightingVersion;
    m_FixedDirty = true;
    return D3D_OK;
}

HRESULT CDevice9::GetLightEnable(DWORD Index, BOOL* pEnable)
{
    if (!pEnable || Index >= (DWORD)kLights)
        return D3DERR_INVALIDCALL;
    *pEnable = m_LightOn[Index] ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT CDevice9::SetClipPlane(DWORD Index, const float* pPlane)
{
    if (!pPlane)
        return D3DERR_INVALIDCALL;
    RECORD(Fmt("SetClipPlane(%u, %g, %g, %g, %g)", (unsigned)Index, pPlane[0], pPlane[1], pPlane[2], pPlane[3]));
    if (Index != 0)
        return D3DERR_INVALIDCALL;
    std::memcpy(m_ClipPlane, pPlane, sizeof m_ClipPlane);
    UpdateClipPlane();
    return D3D_OK;
}

HRESULT CDevice9::GetClipPlane(DWORD Index, float* pPlane)
{
    if (!pPlane || Index != 0)
        return D3DERR_INVALIDCALL;
    std::memcpy(pPlane, m_ClipPlane, sizeof m_ClipPlane);
    return D3D_OK;
}

// The world-space plane expressed in Direct3D clip space, so that the same
// test serves fixed-function and effect programs.
void CDevice9::UpdateClipPlane()
{
    D3DMATRIX vp = Multiply(m_View, m_Proj), inv;
    if (!Inverse(vp, inv))
    {
        m_ClipPlaneClip[0] = m_ClipPlaneClip[1] = m_ClipPlaneClip[2] = 0;
        m_ClipPlaneClip[3] = 1;
    }
    else
    {
        for (int i = 0; i < 4; ++i)
            m_ClipPlaneClip[i] = inv.m[i][0] * m_ClipPlane[0] + inv.m[i][1] * m_ClipPlane[1] +
                                 inv.m[i][2] * m_ClipPlane[2] + inv.m[i][3] * m_ClipPlane[3];
    }
    ++m_ClipVersion;
}

HRESULT CDevice9::SetRenderState(D3DRENDERSTATETYPE State, DWORD Value)
{
    RECORD(Fmt("SetRenderState(%s, %u)", RenderStateName(State), (unsigned)Value));
    if ((DWORD)State >= (DWORD)D3DRS_MAX)
        return D3DERR_INVALIDCALL;
    if (m_Rs[State] == Value)
        return D3D_OK;
    m_Rs[State] = Value;
    switch (State)
    {
    case D3DRS_SHADEMODE:
    case D3DRS_LIGHTING:
    case D3DRS_SPECULARENABLE:
    case D3DRS_COLORVERTEX:
    case D3DRS_NORMALIZENORMALS:
    case D3DRS_LOCALVIEWER:
    case D3DRS_DIFFUSEMATERIALSOURCE:
    case D3DRS_AMBIENTMATERIALSOURCE:
    case D3DRS_SPECULARMATERIALSOURCE:
    case D3DRS_EMISSIVEMATERIALSOURCE:
        m_FixedDirty = true;
        break;
    case D3DRS_AMBIENT:
        ++m_LightingVersion;
        break;
    case D3DRS_CLIPPLANEENABLE:
        ++m_ClipVersion;
        break;
    case D3DRS_TEXTUREFACTOR:
        ++m_TfactorVersion;
        break;
    case D3DRS_ALPHATESTENABLE:
    case D3DRS_ALPHAFUNC:
        m_FixedDirty = true;
        break;
    case D3DRS_ALPHAREF:
        ++m_AlphaVersion;
        break;
    default:
        m_GlStateDirty = true;
        break;
    }
    return D3D_OK;
}

HRESULT CDevice9::GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue)
{
    if (!pValue || (DWORD)State >= (DWORD)D3DRS_MAX)
        return D3DERR_INVALIDCALL;
    *pValue = m_Rs[State];
    return D3D_OK;
}

HRESULT CDevice9::GetTexture(DWORD Stage, IDirect3DBaseTexture9** ppTexture)
{
    if (!ppTexture || Stage >= (DWORD)kSamplers)
        return D3DERR_INVALIDCALL;
    *ppTexture = m_Textures[Stage];
    if (m_Textures[Stage])
        m_Textures[Stage]->AddRef();
    return D3D_OK;
}

HRESULT CDevice9::SetTexture(DWORD Stage, IDirect3DBaseTexture9* pTexture)
{
    RECORD(Fmt("SetTexture(%u, %s)", (unsigned)Stage, TextureName(pTexture).c_str()));
    if (Stage >= (DWORD)kSamplers)
        return D3DERR_INVALIDCALL;
    if (m_Textures[Stage] == pTexture)
        return D3D_OK;
    if (pTexture)
        pTexture->AddRef();
    IDirect3DBaseTexture9* old = m_Textures[Stage];
    m_Textures[Stage] = pTexture;
    if (old)
    {
        bool sameKind = pTexture && old->GetType() == pTexture->GetType();
        if (!sameKind)
            m_FixedDirty = true;
        old->Release();
    }
    else
    {
        m_FixedDirty = true;
    }
    return D3D_OK;
}

HRESULT CDevice9::GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue)
{
    if (!pValue || Stage >= (DWORD)kStages || (DWORD)Type >= (DWORD)D3DTSS_MAX)
        return D3DERR_INVALIDCALL;
    *pValue = m_Tss[Stage][Type];
    return D3D_OK;
}

HRESULT CDevice9::SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value)
{
    RECORD(Fmt("SetTextureStageState(%u, %s, %u)", (unsigned)Stage, StageStateName(Type), (unsigned)Value));
    if (Stage >= (DWORD)kStages || (DWORD)Type >= (DWORD)D3DTSS_MAX)
        return D3DERR_INVALIDCALL;
    if (m_Tss[Stage][Type] != Value)
    {
        m_Tss[Stage][Type] = Value;
        m_FixedDirty = true;
    }
    return D3D_OK;
}

HRESULT CDevice9::GetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD* pValue)
{
    if (!pValue || Sampler >= (DWORD)kSamplers || (DWORD)Type >= (DWORD)D3DSAMP_MAX)
        return D3DERR_INVALIDCALL;
    *pValue = m_Ss[Sampler][Type];
    return D3D_OK;
}

HRESULT CDevice9::SetSamplerState(DWORD Sampler, D3DSAMPLERSTATETYPE Type, DWORD Value)
{
    RECORD(Fmt("SetSamplerState(%u, %s, %u)", (unsigned)Sampler, SamplerStateName(Type), (unsigned)Value));
    if (Sampler >= (DWORD)kSamplers || (DWORD)Type >= (DWORD)D3DSAMP_MAX)
        return D3DERR_INVALIDCALL;
    if (m_Ss[Sampler][Type] != Value)
    {
        m_Ss[Sampler][Type] = Value;
        m_SamplerDirty[Sampler] = true;
    }
    return D3D_OK;
}

// ---------------------------------------------------------------------------
// Streams and constants
// ---------------------------------------------------------------------------
HRESULT CDevice9::SetFVF(DWORD FVF)
{
    RECORD(Fmt("SetFVF(0x%X)", (unsigned)FVF));
    if (m_Fvf != FVF)
    {
        m_Fvf = FVF;
        m_FixedDirty = true;
    }
    return D3D_OK;
}

HRESULT CDevice9::GetFVF(DWORD* pFVF)
{
    if (!pFVF)
        return D3DERR_INVALIDCALL;
    *pFVF = m_Fvf;
    return D3D_OK;
}

HRESULT CDevice9::SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9* pStreamData, UINT OffsetInBytes,
                                  UINT Stride)
{
    auto* vb = dynamic_cast<CVertexBuffer9*>(pStreamData);
    RECORD(Fmt("SetStreamSource(%u, %s, %u, %u)", StreamNumber,
               Pointer("vb", vb ? vb->Store().Number() : 0, pStreamData != nullptr).c_str(), OffsetInBytes, Stride));
    if (StreamNumber != 0 || (pStreamData && !vb))
        return D3DERR_INVALIDCALL;
    if (pStreamData)
        pStreamData->AddRef();
    if (m_Stream)
        m_Stream->Release();
    m_Stream = pStreamData;
    m_StreamOffset = OffsetInBytes;
    m_StreamStride = Stride;
    return D3D_OK;
}

HRESULT CDevice9::GetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer9** ppStreamData, UINT* pOffsetInBytes,
                                  UINT* pStride)
{
    if (StreamNumber != 0 || !ppStreamData)
        return D3DERR_INVALIDCALL;
    *ppStreamData = m_Stream;
    if (m_Stream)
        m_Stream->AddRef();
    if (pOffsetInBytes)
        *pOffsetInBytes = m_StreamOffset;
    if (pStride)
        *pStride = m_StreamStride;
    return D3D_OK;
}

HRESULT CDevice9::SetIndices(IDirect3DIndexBuffer9* pIndexData)
{
    auto* ib = dynamic_cast<CIndexBuffer9*>(pIndexData);
    RECORD(Fmt("SetIndices(%s)", Pointer("ib", ib ? ib->Store().Number() : 0, pIndexData != nullptr).c_str()));
    if (pIndexData && !ib)
        return D3DERR_INVALIDCALL;
    if (pIndexData)
        pIndexData->AddRef();
    if (m_Indices)
        m_Indices->Release();
    m_Indices = pIndexData;
    return D3D_OK;
}

HRESULT CDevice9::GetIndices(IDirect3DIndexBuffer9** ppIndexData)
{
    if (!ppIndexData)
        return D3DERR_INVALIDCALL;
    *ppIndexData = m_Indices;
    if (m_Indices)
        m_Indices->AddRef();
    return D3D_OK;
}

HRESULT CDevice9::SetVertexShaderConstantF(UINT StartRegister, const float* pConstantData, UINT Vector4fCount)
{
    if (!pConstantData || StartRegister + Vector4fCount > (UINT)kConstants)
        return D3DERR_INVALIDCALL;
    if (!m_Gl)
    {
        for (UINT i = 0; i < Vector4fCount; ++i)
        {
            const float* v = pConstantData + 4 * i;
            RECORD(Fmt("SetVertexShaderConstantF(%u, %g, %g, %g, %g)", StartRegister + i, v[0], v[1], v[2], v[3]));
        }
    }
    std::memcpy(m_VsConst[StartRegister], pConstantData, Vector4fCount * 16);
    ++m_VsConstVersion;
    return D3D_OK;
}

HRESULT CDevice9::GetVertexShaderConstantF(UINT StartRegister, float* pConstantData, UINT Vector4fCount)
{
    if (!pConstantData || StartRegister + Vector4fCount > (UINT)kConstants)
        return D3DERR_INVALIDCALL;
    std::memcpy(pConstantData, m_VsConst[StartRegister], Vector4fCount * 16);
    return D3D_OK;
}

HRESULT CDevice9::SetPixelShaderConstantF(UINT StartRegister, const float* pConstantData, UINT Vector4fCount)
{
    if (!pConstantData || StartRegister + Vector4fCount > (UINT)kConstants)
        return D3DERR_INVALIDCALL;
    if (!m_Gl)
    {
        for (UINT i = 0; i < Vector4fCount; ++i)
        {
            const float* v = pConstantData + 4 * i;
            RECORD(Fmt("SetPixelShaderConstantF(%u, %g, %g, %g, %g)", StartRegister + i, v[0], v[1], v[2], v[3]));
        }
    }
    std::memcpy(m_PsConst[StartRegister], pConstantData, Vector4fCount * 16);
    ++m_PsConstVersion;
    return D3D_OK;
}

HRESULT CDevice9::GetPixelShaderConstantF(UINT StartRegister, float* pConstantData, UINT Vector4fCount)
{
    if (!pConstantData || StartRegister + Vector4fCount > (UINT)kConstants)
        return D3DERR_INVALIDCALL;
    std::memcpy(pConstantData, m_PsConst[StartRegister], Vector4fCount * 16);
    return D3D_OK;
}

void CDevice9::SetEffectPass(EffectPassProgram* pass)
{
    m_EffectPass = pass;
}

void CDevice9::ForgetGLState()
{
    m_CurrentProgram = 0;
    for (GLuint& t : m_BoundTex)
        t = 0;
    for (GLenum& t : m_BoundTarget)
        t = 0;
    for (bool& d : m_SamplerDirty)
        d = true;
    m_Arrays.buffer = ~0u;
    m_GlStateDirty = m_FramebufferDirty = true;
    if (m_Gl)
    {
        MakeCurrent();
        for (int i = 0; i < kSamplers; ++i)
            gl.BindSampler((GLuint)i, m_Samplers[i]);
        gl.Enable(GL_CLIP_DISTANCE0);
        gl.BindVertexArray(m_Vao);
    }
}

// ---------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------
void CDevice9::ApplyFramebuffer()
{
    // Every path that binds another framebuffer marks this one dirty, so a
    // clean flag means it is still bound (rebinding costs the driver a flush).
    if (!m_FramebufferDirty)
        return;
    gl.BindFramebuffer(GL_FRAMEBUFFER, m_Fbo);
    if (m_RenderTarget)
    {
        m_RenderTarget->Attach(GL_FRAMEBUFFER);
        m_FbWidth = m_RenderTarget->Width();
        m_FbHeight = m_RenderTarget->Height();
    }
    gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
    if (m_DepthStencil)
        m_DepthStencil->Attach(GL_FRAMEBUFFER);
    gl.DrawBuffer(GL_COLOR_ATTACHMENT0);
    m_FramebufferDirty = false;
}

void CDevice9::ApplyGLState()
{
    if (!m_GlStateDirty)
        return;
    m_GlStateDirty = false;
    gl.Viewport((GLint)m_Viewport.X, (GLint)m_Viewport.Y, (GLsizei)m_Viewport.Width, (GLsizei)m_Viewport.Height);
    gl.DepthRange(m_Viewport.MinZ, m_Viewport.MaxZ);
    bool depth = m_DepthStencil && m_Rs[D3DRS_ZENABLE] != D3DZB_FALSE;
    if (depth)
    {
        gl.Enable(GL_DEPTH_TEST);
        gl.DepthFunc(CompareFunc(m_Rs[D3DRS_ZFUNC]));
        gl.DepthMask(m_Rs[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);
    }
    else
    {
        gl.Disable(GL_DEPTH_TEST);
    }
    if (m_Rs[D3DRS_ALPHABLENDENABLE])
    {
        gl.Enable(GL_BLEND);
        GLenum src = BlendFactor(m_Rs[D3DRS_SRCBLEND], true), dst = BlendFactor(m_Rs[D3DRS_DESTBLEND], false);
        if (m_Rs[D3DRS_DESTBLEND] == D3DBLEND_ONE && m_Rs[D3DRS_SRCBLEND] == D3DBLEND_BOTHSRCALPHA)
            dst = GL_ONE;
        if (m_Rs[D3DRS_SEPARATEALPHABLENDENABLE])
        {
            gl.BlendFuncSeparate(src, dst, BlendFactor(m_Rs[D3DRS_SRCBLENDALPHA], true),
                                 BlendFactor(m_Rs[D3DRS_DESTBLENDALPHA], false));
            gl.BlendEquationSeparate(BlendOp(m_Rs[D3DRS_BLENDOP]), BlendOp(m_Rs[D3DRS_BLENDOPALPHA]));
        }
        else
        {
            gl.BlendFuncSeparate(src, dst, src, dst);
            gl.BlendEquationSeparate(BlendOp(m_Rs[D3DRS_BLENDOP]), BlendOp(m_Rs[D3DRS_BLENDOP]));
        }
        float f[4];
        ColorToFloats(m_Rs[D3DRS_BLENDFACTOR], f);
        gl.BlendColor(f[0], f[1], f[2], f[3]);
    }
    else
    {
        gl.Disable(GL_BLEND);
    }
    // Rows are stored top first, so GL's window winding is Direct3D's screen
    // winding with clockwise and counter-clockwise swapped in name.
    switch (m_Rs[D3DRS_CULLMODE])
    {
    case D3DCULL_NONE:
        gl.Disable(GL_CULL_FACE);
        break;
    case D3DCULL_CW:
        gl.Enable(GL_CULL_FACE);
        gl.FrontFace(GL_CW);
        gl.CullFace(GL_BACK);
        break;
    default:
        gl.Enable(GL_CULL_FACE);
        gl.FrontFace(GL_CCW);
        gl.CullFace(GL_BACK);
        break;
    }
    // Rows are stored top first, so the rectangle's top is GL's row y as it is.
    if (m_Rs[D3DRS_SCISSORTESTENABLE])
    {
        gl.Enable(GL_SCISSOR_TEST);
        gl.Scissor((GLint)m_Scissor.left, (GLint)m_Scissor.top, (GLsizei)(m_Scissor.right - m_Scissor.left),
                   (GLsizei)(m_Scissor.bottom - m_Scissor.top));
    }
    else
    {
        gl.Disable(GL_SCISSOR_TEST);
    }
    gl.PolygonMode(GL_FRONT_AND_BACK, m_Rs[D3DRS_FILLMODE] == D3DFILL_WIREFRAME ? GL_LINE
                                      : m_Rs[D3DRS_FILLMODE] == D3DFILL_POINT   ? GL_POINT
                                                                                : GL_FILL);
    DWORD cw = m_Rs[D3DRS_COLORWRITEENABLE];
    gl.ColorMask((cw & 1) != 0, (cw & 2) != 0, (cw & 4) != 0, (cw & 8) != 0);
    if (m_Rs[D3DRS_STENCILENABLE] && m_DepthStencil && m_DepthStencil->DepthHasStencil())
    {
        gl.Enable(GL_STENCIL_TEST);
        gl.StencilFunc(CompareFunc(m_Rs[D3DRS_STENCILFUNC]), (GLint)m_Rs[D3DRS_STENCILREF], m_Rs[D3DRS_STENCILMASK]);
        gl.StencilOp(StencilOp(m_Rs[D3DRS_STENCILFAIL]), StencilOp(m_Rs[D3DRS_STENCILZFAIL]),
                     StencilOp(m_Rs[D3DRS_STENCILPASS]));
        gl.StencilMask(m_Rs[D3DRS_STENCILWRITEMASK]);
    }
    else
    {
        gl.Disable(GL_STENCIL_TEST);
    }
    float slope = DwordToFloat(m_Rs[D3DRS_SLOPESCALEDEPTHBIAS]), bias = DwordToFloat(m_Rs[D3DRS_DEPTHBIAS]);
    if (slope != 0.0f || bias != 0.0f)
    {
        gl.Enable(GL_POLYGON_OFFSET_FILL);
        gl.PolygonOffset(slope, bias * 16777216.0f);
    }
    else
    {
        gl.Disable(GL_POLYGON_OFFSET_FILL);
    }
}

FixedFunctionKey CDevice9::BuildKey() const
{
    FixedFunctionKey key;
    std::memset(static_cast<void*>(&key), 0, sizeof key);
    key.fvf = m_Fvf;
    key.lighting = m_Rs[D3DRS_LIGHTING] ? 1 : 0;
    key.specular = m_Rs[D3DRS_SPECULARENABLE] ? 1 : 0;
    key.colorVertex = m_Rs[D3DRS_COLORVERTEX] ? 1 : 0;
    key.normalize = m_Rs[D3DRS_NORMALIZENORMALS] ? 1 : 0;
    key.localViewer = m_Rs[D3DRS_LOCALVIEWER] ? 1 : 0;
    key.alphaTest = (uint8_t)AlphaTestOf(m_Rs[D3DRS_ALPHATESTENABLE], m_Rs[D3DRS_ALPHAFUNC]);
    key.flat = m_Rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT ? 1 : 0;
    if (key.lighting)
    {
        int n = 0;
        for (int i = 0; i < kLights; ++i)
            if (m_LightOn[i] && m_Lights[i].Type == D3DLIGHT_DIRECTIONAL)
                ++n;
        key.lights = (uint8_t)n;
        key.diffuseSource = (uint8_t)m_Rs[D3DRS_DIFFUSEMATERIALSOURCE];
        key.ambientSource = (uint8_t)m_Rs[D3DRS_AMBIENTMATERIALSOURCE];
        key.specularSource = (uint8_t)m_Rs[D3DRS_SPECULARMATERIALSOURCE];
        key.emissiveSource = (uint8_t)m_Rs[D3DRS_EMISSIVEMATERIALSOURCE];
    }
    else
    {
        key.colorVertex = 0;
        key.normalize = 0;
        key.localViewer = 0;
    }
    int count = 0;
    for (; count < kStages; ++count)
    {
        const DWORD* t = m_Tss[count];
        if (t[D3DTSS_COLOROP] == D3DTOP_DISABLE)
            break;
        FixedFunctionKey::Stage& st = key.stages[count];
        st.colorOp = (uint8_t)t[D3DTSS_COLOROP];
        st.colorArg0 = (uint8_t)t[D3DTSS_COLORARG0];
        st.colorArg1 = (uint8_t)t[D3DTSS_COLORARG1];
        st.colorArg2 = (uint8_t)t[D3DTSS_COLORARG2];
        st.alphaOp = (uint8_t)t[D3DTSS_ALPHAOP];
        st.alphaArg0 = (uint8_t)t[D3DTSS_ALPHAARG0];
        st.alphaArg1 = (uint8_t)t[D3DTSS_ALPHAARG1];
        st.alphaArg2 = (uint8_t)t[D3DTSS_ALPHAARG2];
        st.result = (uint8_t)t[D3DTSS_RESULTARG];
        if (m_Textures[count] && StageUsesTexture(st))
        {
            st.texture = m_Textures[count]->GetType() == D3DRTYPE_CUBETEXTURE ? 2 : 1;
            st.transformFlags = (uint16_t)t[D3DTSS_TEXTURETRANSFORMFLAGS];
            st.coordIndex = t[D3DTSS_TEXCOORDINDEX];
        }
    }
    key.stageCount = (uint8_t)count;
    return key;
}

FixedFunctionProgram* CDevice9::FixedFunction()
{
    if (!m_FixedDirty && m_Fixed)
        return m_Fixed;
    FixedFunctionKey key = BuildKey();
    std::string id(reinterpret_cast<const char*>(&key), sizeof key);
    auto it = m_FixedCache.find(id);
    if (it == m_FixedCache.end())
    {
        auto p = std::make_unique<FixedFunctionProgram>();
        std::string log;
        p->program =
            BuildProgram(VertexPrelude() + FixedFunctionVertexSource(key) + VertexEpilogue(),
                         FragmentPrelude() + FixedFunctionFragmentSource(key) + FragmentEpilogue(key.alphaTest), &log);
        for (int i = 0; i < key.stageCount; ++i)
            p->stageUsed[i] = key.stages[i].texture != 0;
        if (p->program)
        {
            GLuint prog = p->program;
            LocateBuiltins(prog, p->builtins);
            p->worldView = gl.GetUniformLocation(prog, "d3d_Transform");
            p->proj = gl.GetUniformLocation(prog, "d3d_Proj");
            for (int i = 0; i < kStages; ++i)
                p->texMatrix[i] = gl.GetUniformLocation(prog, ("d3d_TexMatrix" + std::to_string(i)).c_str());
            p->lightCount = key.lights;
            p->litBase = gl.GetUniformLocation(prog, "d3d_LitBase");
            p->ambientSum = gl.GetUniformLocation(prog, "d3d_AmbientSum");
            p->lightDiffuseMat = gl.GetUniformLocation(prog, "d3d_LightDiffuseMat");
            p->lightSpecularMat = gl.GetUniformLocation(prog, "d3d_LightSpecularMat");
            p->matDiffuse = gl.GetUniformLocation(prog, "d3d_MatDiffuse");
            p->matAmbient = gl.GetUniformLocation(prog, "d3d_MatAmbient");
            p->matSpecular = gl.GetUniformLocation(prog, "d3d_MatSpecular");
            p->matEmissive = gl.GetUniformLocation(prog, "d3d_MatEmissive");
            p->matPower = gl.GetUniformLocation(prog, "d3d_MatPower");
            p->lightDir = gl.GetUniformLocation(prog, "d3d_LightDir");
            p->lightDiffuse = gl.GetUniformLocation(prog, "d3d_LightDiffuse");
            p->lightSpecular = gl.GetUniformLocation(prog, "d3d_LightSpecular");
            p->tfactor = gl.GetUniformLocation(prog, "d3d_TFactor");
            gl.UseProgram(prog);
            m_CurrentProgram = prog;
            for (int i = 0; i < kStages; ++i)
            {
                GLint loc = gl.GetUniformLocation(prog, ("d3d_Tex" + std::to_string(i)).c_str());
                if (loc >= 0)
                    gl.Uniform1i(loc, i);
            }
        }
        else
        {
            SDL_Log("graphics layer: fixed-function program failed: %s", log.c_str());
        }
        it = m_FixedCache.emplace(id, std::move(p)).first;
    }
    m_Fixed = it->second.get();
    m_FixedDirty = false;
    return m_Fixed;
}

void CDevice9::ApplyFixedFunctionUniforms(FixedFunctionProgram& p)
{
    if (p.transformVersion != m_TransformVersion)
    {
        p.transformVersion = m_TransformVersion;
        // World x view and the normal matrix (the inverse transpose of its
        // upper 3x3) go up in one call.
        D3DMATRIX both[2];
        both[0] = Multiply(m_World, m_View);
        D3DMATRIX inv;
        Identity(both[1]);
        if (Inverse(both[0], inv))
        {
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c)
                    both[1].m[r][c] = inv.m[c][r];
        }
        gl.UniformMatrix4fv(p.worldView, 2, GL_TRUE, &both[0].m[0][0]);
    }
    if (p.projVersion != m_ProjVersion)
    {
        p.projVersion = m_ProjVersion;
        gl.UniformMatrix4fv(p.proj, 1, GL_TRUE, &m_Proj.m[0][0]);
    }
    if (p.texMatrixVersion != m_TexMatrixVersion)
    {
        p.texMatrixVersion = m_TexMatrixVersion;
        for (int i = 0; i < kStages; ++i)
            if (p.texMatrix[i] >= 0)
                gl.UniformMatrix4fv(p.texMatrix[i], 1, GL_TRUE, &m_TexMatrix[i].m[0][0]);
    }
    if (p.lightingVersion != m_LightingVersion)
    {
        p.lightingVersion = m_LightingVersion;
        float ambientSum[4];
        ColorToFloats(m_Rs[D3DRS_AMBIENT], ambientSum);
        if (p.matDiffuse >= 0)
            gl.Uniform4fv(p.matDiffuse, 1, &m_Material.Diffuse.r);
        if (p.matAmbient >= 0)
            gl.Uniform4fv(p.matAmbient, 1, &m_Material.Ambient.r);
        if (p.matSpecular >= 0)
            gl.Uniform4fv(p.matSpecular, 1, &m_Material.Specular.r);
        if (p.matEmissive >= 0)
            gl.Uniform4fv(p.matEmissive, 1, &m_Material.Emissive.r);
        if (p.matPower >= 0)
            gl.Uniform1fv(p.matPower, 1, &m_Material.Power);
        float dir[kLights][3] = {}, diffuse[kLights][4] = {}, specular[kLights][4] = {};
        float diffuseMat[kLights][3] = {}, specularMat[kLights][3] = {};
        int n = 0;
        for (int i = 0; i < kLights; ++i)
        {
            if (!m_LightOn[i] || m_Lights[i].Type != D3DLIGHT_DIRECTIONAL)
                continue;
            const D3DLIGHT9& l = m_Lights[i];
            // Towards the light, in camera space.
            const D3DVECTOR& d = l.Direction;
            float v[3];
            for (int c = 0; c < 3; ++c)
                v[c] = -(d.x * m_View.m[0][c] + d.y * m_View.m[1][c] + d.z * m_View.m[2][c]);
            float len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
            if (len > 0)
                v[0] /= len, v[1] /= len, v[2] /= len;
            std::memcpy(dir[n], v, sizeof v);
            std::memcpy(diffuse[n], &l.Diffuse.r, 16);
            std::memcpy(specular[n], &l.Specular.r, 16);
            const float* md = &m_Material.Diffuse.r;
            const float* ms = &m_Material.Specular.r;
            const float* ld = &l.Diffuse.r;
            const float* ls = &l.Specular.r;
            const float* la = &l.Ambient.r;
            for (int c = 0; c < 3; ++c)
            {
                diffuseMat[n][c] = md[c] * ld[c];
                specularMat[n][c] = ms[c] * ls[c];
                ambientSum[c] += la[c];
            }
            ++n;
        }
        float litBase[3];
        const float* ma = &m_Material.Ambient.r;
        const float* me = &m_Material.Emissive.r;
        for (int c = 0; c < 3; ++c)
            litBase[c] = me[c] + ma[c] * ambientSum[c];
        if (p.litBase >= 0)
            gl.Uniform3fv(p.litBase, 1, litBase);
        if (p.ambientSum >= 0)
            gl.Uniform3fv(p.ambientSum, 1, ambientSum);
        GLsizei count = std::min(n, p.lightCount);
        if (count > 0)
        {
            if (p.lightDir >= 0)
                gl.Uniform3fv(p.lightDir, count, &dir[0][0]);
            if (p.lightDiffuse >= 0)
                gl.Uniform4fv(p.lightDiffuse, count, &diffuse[0][0]);
            if (p.lightSpecular >= 0)
                gl.Uniform4fv(p.lightSpecular, count, &specular[0][0]);
            if (p.lightDiffuseMat >= 0)
                gl.Uniform3fv(p.lightDiffuseMat, count, &diffuseMat[0][0]);
            if (p.lightSpecularMat >= 0)
                gl.Uniform3fv(p.lightSpecularMat, count, &specularMat[0][0]);
        }
    }
    if (p.tfactor >= 0 && p.tfactorVersion != m_TfactorVersion)
    {
        p.tfactorVersion = m_TfactorVersion;
        float f[4];
        ColorToFloats(m_Rs[D3DRS_TEXTUREFACTOR], f);
        gl.Uniform4fv(p.tfactor, 1, f);
    }
}

void CDevice9::ApplyBuiltins(BuiltinUniforms& u)
{
    // Pre-transformed vertices are not clipped by user planes, as in Direct3D.
    bool clip = (m_Rs[D3DRS_CLIPPLANEENABLE] & 1) && (m_Fvf & D3DFVF_POSITION_MASK) != D3DFVF_XYZRHW;
    uint64_t clipVersion = m_ClipVersion * 2 + (clip ? 1 : 0);
    if (u.clipPlane >= 0 && u.clipVersion != clipVersion)
    {
        u.clipVersion = clipVersion;
        static const float kPass[4] = {0, 0, 0, 1};
        gl.Uniform4fv(u.clipPlane, 1, clip ? m_ClipPlaneClip : kPass);
    }
    if (u.viewportVersion != m_ViewportVersion)
    {
        u.viewportVersion = m_ViewportVersion;
        float offset[2] = {1.0f / (float)m_Viewport.Width, -1.0f / (float)m_Viewport.Height};
        float screen[4] = {(float)m_Viewport.X, (float)m_Viewport.Y, (float)m_Viewport.Width, (float)m_Viewport.Height};
        if (u.pixelOffset >= 0)
            gl.Uniform2fv(u.pixelOffset, 1, offset);
        if (u.screen >= 0)
            gl.Uniform4fv(u.screen, 1, screen);
    }
    if (u.alphaVersion != m_AlphaVersion)
    {
        u.alphaVersion = m_AlphaVersion;
        float ref = (float)(m_Rs[D3DRS_ALPHAREF] & 0xFF);
        if (u.alphaRef >= 0)
            gl.Uniform1fv(u.alphaRef, 1, &ref);
    }
    if (u.vsConst >= 0 && u.vsConstVersion != m_VsConstVersion)
    {
        u.vsConstVersion = m_VsConstVersion;
        gl.Uniform4fv(u.vsConst, kConstants, &m_VsConst[0][0]);
    }
    if (u.psConst >= 0 && u.psConstVersion != m_PsConstVersion)
    {
        u.psConstVersion = m_PsConstVersion;
        gl.Uniform4fv(u.psConst, kConstants, &m_PsConst[0][0]);
    }
}

void CDevice9::BindTextures(const bool* used, int count)
{
    for (int i = 0; i < count; ++i)
    {
        if (!used[i])
            continue;
        if (m_SamplerDirty[i])
        {
            ApplySamplerState(m_Samplers[i], m_Ss[i]);
            m_SamplerDirty[i] = false;
        }
        TextureStore* store = StoreOf(m_Textures[i]);
        if (store)
            BindUnit(i, store->GLTarget(), store->GLName());
        else
            BindUnit(i, 0, 0);
    }
}

void CDevice9::SetupVertexArrays(GLuint buffer, UINT offset, UINT stride, UINT baseVertex)
{
    (void)baseVertex;
    if (m_Arrays.buffer == buffer && m_Arrays.offset == offset && m_Arrays.stride == stride && m_Arrays.fvf == m_Fvf)
        return;
    m_Arrays.buffer = buffer;
    m_Arrays.offset = offset;
    m_Arrays.stride = stride;
    m_Arrays.fvf = m_Fvf;
    VertexLayout l = LayoutOfFVF(m_Fvf);
    gl.BindBuffer(GL_ARRAY_BUFFER, buffer);
    auto at = [&](int o) { return reinterpret_cast<const void*>((uintptr_t)(offset + (UINT)o)); };
    auto enable = [&](GLuint loc, bool on) {
        if (on)
            gl.EnableVertexAttribArray(loc);
        else
            gl.DisableVertexAttribArray(loc);
    };
    enable(0, l.positionSize > 0);
    if (l.positionSize > 0)
        gl.VertexAttribPointer(0, l.positionSize, GL_FLOAT, GL_FALSE, (GLsizei)stride, at(0));
    enable(1, l.normalOffset >= 0);
    if (l.normalOffset >= 0)
        gl.VertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, (GLsizei)stride, at(l.normalOffset));
    enable(2, l.diffuseOffset >= 0);
    if (l.diffuseOffset >= 0)
        gl.VertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, (GLsizei)stride, at(l.diffuseOffset));
    enable(3, l.specularOffset >= 0);
    if (l.specularOffset >= 0)
        gl.VertexAttribPointer(3, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, (GLsizei)stride, at(l.specularOffset));
    for (int i = 0; i < 8; ++i)
    {
        enable(4 + i, i < l.texCount);
        if (i < l.texCount)
            gl.VertexAttribPointer(4 + i, l.texSize[i], GL_FLOAT, GL_FALSE, (GLsizei)stride, at(l.texOffset[i]));
    }
}

bool CDevice9::PrepareDraw(D3DPRIMITIVETYPE, UINT)
{
    MakeCurrent();
    ApplyFramebuffer();
    ApplyGLState();
    bool used[kStages] = {};
    GLuint program = 0;
    if (m_EffectPass)
    {
        EffectPassProgram* variant =
            UploadEffectPass(m_EffectPass, AlphaTestOf(m_Rs[D3DRS_ALPHATESTENABLE], m_Rs[D3DRS_ALPHAFUNC]), used);
        if (!variant || !variant->program)
            return false;
        ApplyBuiltins(variant->builtins);
    }
    else
    {
        FixedFunctionProgram* p = FixedFunction();
        if (!p || !p->program)
            return false;
        program = p->program;
        if (m_CurrentProgram != program)
        {
            gl.UseProgram(program);
            m_CurrentProgram = program;
        }
        ApplyFixedFunctionUniforms(*p);
        ApplyBuiltins(p->builtins);
        for (int i = 0; i < kStages; ++i)
            used[i] = p->stageUsed[i];
    }
    BindTextures(used, kStages);
    return true;
}

HRESULT CDevice9::DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex, UINT PrimitiveCount)
{
    RECORD(Fmt("DrawPrimitive(%s, %u, %u)", PrimitiveName(PrimitiveType), StartVertex, PrimitiveCount));
    if (!m_Stream || m_StreamStride == 0)
        return D3DERR_INVALIDCALL;
    UINT count = VertexCountOf(PrimitiveType, PrimitiveCount);
    auto* vb = static_cast<CVertexBuffer9*>(m_Stream);
    if ((uint64_t)m_StreamOffset + (uint64_t)(StartVertex + count) * m_StreamStride > vb->Store().Length())
        return D3DERR_INVALIDCALL;
    if (!m_Gl || count == 0 || m_LostState)
        return D3D_OK;
    if (!PrepareDraw(PrimitiveType, count))
        return D3D_OK;
    SetupVertexArrays(vb->Store().GLName(), m_StreamOffset, m_StreamStride, 0);
    CountDraw(PrimitiveType, PrimitiveCount);
    gl.DrawArrays(PrimitiveMode(PrimitiveType), (GLint)StartVertex, (GLsizei)count);
    return D3D_OK;
}

HRESULT CDevice9::DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, INT BaseVertexIndex, UINT MinVertexIndex,
                                       UINT NumVertices, UINT startIndex, UINT primCount)
{
    RECORD(Fmt("DrawIndexedPrimitive(%s, %d, %u, %u, %u, %u)", PrimitiveName(PrimitiveType), BaseVertexIndex,
               MinVertexIndex, NumVertices, startIndex, primCount));
    if (!m_Stream || !m_Indices || m_StreamStride == 0)
        return D3DERR_INVALIDCALL;
    UINT count = VertexCountOf(PrimitiveType, primCount);
    auto* ib = static_cast<CIndexBuffer9*>(m_Indices);
    UINT indexSize = ib->Format() == D3DFMT_INDEX32 ? 4 : 2;
    if ((uint64_t)(startIndex + count) * indexSize > ib->Store().Length())
        return D3DERR_INVALIDCALL;
    if (!m_Gl || count == 0 || m_LostState)
        return D3D_OK;
    if (!PrepareDraw(PrimitiveType, count))
        return D3D_OK;
    auto* vb = static_cast<CVertexBuffer9*>(m_Stream);
    SetupVertexArrays(vb->Store().GLName(), m_StreamOffset, m_StreamStride, 0);
    gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, ib->Store().GLName());
    CountDraw(PrimitiveType, primCount);
    gl.DrawElementsBaseVertex(PrimitiveMode(PrimitiveType), (GLsizei)count,
                              indexSize == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                              reinterpret_cast<const void*>((uintptr_t)startIndex * indexSize), BaseVertexIndex);
    return D3D_OK;
}

HRESULT CDevice9::DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount,
                                  const void* pVertexStreamZeroData, UINT VertexStreamZeroStride)
{
    RECORD(Fmt("DrawPrimitiveUP(%s, %u, %u)", PrimitiveName(PrimitiveType), PrimitiveCount, VertexStreamZeroStride));
    if (!pVertexStreamZeroData || VertexStreamZeroStride == 0)
        return D3DERR_INVALIDCALL;
    // As Direct3D: a user-pointer draw leaves stream 0 unset.
    if (m_Stream)
        m_Stream->Release();
    m_Stream = nullptr;
    m_StreamOffset = m_StreamStride = 0;
    UINT count = VertexCountOf(PrimitiveType, PrimitiveCount);
    if (!m_Gl || count == 0 || m_LostState)
        return D3D_OK;
    if (!PrepareDraw(PrimitiveType, count))
        return D3D_OK;
    gl.BindBuffer(GL_ARRAY_BUFFER, m_UpVertices);
    gl.BufferData(GL_ARRAY_BUFFER, (GLsizeiptr)count * VertexStreamZeroStride, pVertexStreamZeroData, GL_STREAM_DRAW);
    m_Arrays.buffer = ~0u;
    SetupVertexArrays(m_UpVertices, 0, VertexStreamZeroStride, 0);
    CountDraw(PrimitiveType, PrimitiveCount);
    gl.DrawArrays(PrimitiveMode(PrimitiveType), 0, (GLsizei)count);
    return D3D_OK;
}

HRESULT CDevice9::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT MinVertexIndex, UINT NumVertices,
                                         UINT PrimitiveCount, const void* pIndexData, D3DFORMAT IndexDataFormat,
                                         const void* pVertexStreamZeroData, UINT VertexStreamZeroStride)
{
    RECORD(Fmt("DrawIndexedPrimitiveUP(%s, %u, %u, %u, %u)", PrimitiveName(PrimitiveType), MinVertexIndex, NumVertices,
               PrimitiveCount, VertexStreamZeroStride));
    if (!pIndexData || !pVertexStreamZeroData || VertexStreamZeroStride == 0 ||
        (IndexDataFormat != D3DFMT_INDEX16 && IndexDataFormat != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    if (m_Stream)
        m_Stream->Release();
    m_Stream = nullptr;
    if (m_Indices)
        m_Indices->Release();
    m_Indices = nullptr;
    m_StreamOffset = m_StreamStride = 0;
    UINT count = VertexCountOf(PrimitiveType, PrimitiveCount);
    if (!m_Gl || count == 0 || m_LostState)
        return D3D_OK;
    if (!PrepareDraw(PrimitiveType, count))
        return D3D_OK;
    UINT indexSize = IndexDataFormat == D3DFMT_INDEX32 ? 4 : 2;
    gl.BindBuffer(GL_ARRAY_BUFFER, m_UpVertices);
    gl.BufferData(GL_ARRAY_BUFFER, (GLsizeiptr)(MinVertexIndex + NumVertices) * VertexStreamZeroStride,
                  pVertexStreamZeroData, GL_STREAM_DRAW);
    m_Arrays.buffer = ~0u;
    SetupVertexArrays(m_UpVertices, 0, VertexStreamZeroStride, 0);
    gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_UpIndices);
    gl.BufferData(GL_ELEMENT_ARRAY_BUFFER, (GLsizeiptr)count * indexSize, pIndexData, GL_STREAM_DRAW);
    CountDraw(PrimitiveType, PrimitiveCount);
    gl.DrawElementsBaseVertex(PrimitiveMode(PrimitiveType), (GLsizei)count,
                              indexSize == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT, nullptr, 0);
    return D3D_OK;
}

// ---------------------------------------------------------------------------
// Read-back
// ---------------------------------------------------------------------------
bool CDevice9::ReadSurface(CSurface9* surface, std::vector<uint8_t>& bgra)
{
    if (!surface || surface->IsDepth())
        return false;
    UINT w = surface->Width(), h = surface->Height();
    bgra.assign((size_t)w * h * 4, 0);
    TextureStore* store = surface->Store();
    if (store->HasCpuCopy())
    {
        // Lockable textures: what was written is what they hold.
        const auto& data = store->LevelData(surface->Face(), surface->Level());
        D3DFORMAT f = store->Format();
        switch (f)
        {
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8:
            std::memcpy(bgra.data(), data.data(), std::min(bgra.size(), data.size()));
            if (f == D3DFMT_X8R8G8B8)
                for (size_t i = 3; i < bgra.size(); i += 4)
                    bgra[i] = 0xFF;
            return true;
        case D3DFMT_R5G6B5:
            for (size_t i = 0; i < (size_t)w * h && 2 * i + 1 < data.size(); ++i)
            {
                unsigned v = data[2 * i] | (data[2 * i + 1] << 8);
                unsigned r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
                bgra[4 * i] = (uint8_t)((b << 3) | (b >> 2));
                bgra[4 * i + 1] = (uint8_t)((g << 2) | (g >> 4));
                bgra[4 * i + 2] = (uint8_t)((r << 3) | (r >> 2));
                bgra[4 * i + 3] = 0xFF;
            }
            return true;
        case D3DFMT_DXT1:
        case D3DFMT_DXT3:
        case D3DFMT_DXT5:
        {
            PixelFormat pf = f == D3DFMT_DXT1   ? PixelFormat::DXT1
                             : f == D3DFMT_DXT3 ? PixelFormat::DXT3
                                                : PixelFormat::DXT5;
            return DecompressDxt(pf, (int)w, (int)h, data.data(), data.size(), bgra);
        }
        default:
            return false;
        }
    }
    if (!m_Gl)
        return true;   // render targets of the recording device hold nothing
    MakeCurrent();
    gl.BindFramebuffer(GL_READ_FRAMEBUFFER, m_BlitRead);
    surface->Attach(GL_READ_FRAMEBUFFER);
    gl.ReadBuffer(GL_COLOR_ATTACHMENT0);
    gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.ReadPixels(0, 0, (GLsizei)w, (GLsizei)h, GL_BGRA, GL_UNSIGNED_BYTE, bgra.data());
    D3DFORMAT f = surface->Format();
    if (f == D3DFMT_X8R8G8B8 || f == D3DFMT_R5G6B5 || f == D3DFMT_X1R5G5B5)
        for (size_t i = 3; i < bgra.size(); i += 4)
            bgra[i] = 0xFF;
    m_FramebufferDirty = true;
    return true;
}

}   // namespace d3d

D3DDrawStats D3DTakeDrawStats()
{
    const D3DDrawStats stats = d3d::g_DrawStats;
    d3d::g_DrawStats = D3DDrawStats();
    return stats;
}
