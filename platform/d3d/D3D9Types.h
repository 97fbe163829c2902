#pragma once
// Types, constants and structures of the Direct3D 9 style device the game draws
// through. Names and numeric values follow Direct3D 9 so that the drawing code
// reads as it would on Windows; the implementation behind them is OpenGL (or a
// recording device for tests). Matrices are row-vector (v * M), left-handed,
// depth 0..1, texture and screen origin top-left, colours 32-bit ARGB.
#include <cstddef>
#include <cstdint>

#include "platform/math/D3DXMath.h"
#include "platform/os/WinTypes.h"

typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int INT;
typedef float FLOAT;
typedef void VOID;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef void* HANDLE;
typedef void* HMONITOR;

#ifndef TRALLOWMERE_RECT_DEFINED
#define TRALLOWMERE_RECT_DEFINED
typedef struct tagRECT
{
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT;
typedef struct tagPOINT
{
    LONG x;
    LONG y;
} POINT;
#endif

typedef struct tagPALETTEENTRY
{
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
} PALETTEENTRY;

// ---------------------------------------------------------------------------
// Result codes
// ---------------------------------------------------------------------------
#ifndef S_OK
#define S_OK ((HRESULT)0)
#endif
#ifndef S_FALSE
#define S_FALSE ((HRESULT)1)
#endif
#ifndef E_FAIL
#define E_FAIL ((HRESULT)0x80004005u)
#endif
#ifndef E_NOTIMPL
#define E_NOTIMPL ((HRESULT)0x80004001u)
#endif
#ifndef E_OUTOFMEMORY
#define E_OUTOFMEMORY ((HRESULT)0x8007000Eu)
#endif
#ifndef E_INVALIDARG
#define E_INVALIDARG ((HRESULT)0x80070057u)
#endif
#ifndef FAILED
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#endif
#ifndef SUCCEEDED
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#endif

#define D3D_OK                           S_OK
#define MAKE_D3DHRESULT(code)            ((HRESULT)(0x88760000u | (uint32_t)(code)))
#define D3DERR_WRONGTEXTUREFORMAT        MAKE_D3DHRESULT(2072)
#define D3DERR_UNSUPPORTEDCOLOROPERATION MAKE_D3DHRESULT(2073)
#define D3DERR_UNSUPPORTEDCOLORARG       MAKE_D3DHRESULT(2074)
#define D3DERR_UNSUPPORTEDALPHAOPERATION MAKE_D3DHRESULT(2075)
#define D3DERR_UNSUPPORTEDALPHAARG       MAKE_D3DHRESULT(2076)
#define D3DERR_TOOMANYOPERATIONS         MAKE_D3DHRESULT(2077)
#define D3DERR_CONFLICTINGTEXTUREFILTER  MAKE_D3DHRESULT(2078)
#define D3DERR_UNSUPPORTEDFACTORVALUE    MAKE_D3DHRESULT(2079)
#define D3DERR_CONFLICTINGRENDERSTATE    MAKE_D3DHRESULT(2081)
#define D3DERR_UNSUPPORTEDTEXTUREFILTER  MAKE_D3DHRESULT(2082)
#define D3DERR_CONFLICTINGTEXTUREPALETTE MAKE_D3DHRESULT(2086)
#define D3DERR_DRIVERINTERNALERROR       MAKE_D3DHRESULT(2087)
#define D3DERR_NOTFOUND                  MAKE_D3DHRESULT(2150)
#define D3DERR_MOREDATA                  MAKE_D3DHRESULT(2151)
#define D3DERR_DEVICELOST                MAKE_D3DHRESULT(2152)
#define D3DERR_DEVICENOTRESET            MAKE_D3DHRESULT(2153)
#define D3DERR_NOTAVAILABLE              MAKE_D3DHRESULT(2154)
#define D3DERR_OUTOFVIDEOMEMORY          MAKE_D3DHRESULT(380)
#define D3DERR_INVALIDDEVICE             MAKE_D3DHRESULT(2155)
#define D3DERR_INVALIDCALL               MAKE_D3DHRESULT(2156)
#define D3DERR_DRIVERINVALIDCALL         MAKE_D3DHRESULT(2157)
#define D3DERR_WASSTILLDRAWING           MAKE_D3DHRESULT(540)
#define D3DXERR_INVALIDDATA              MAKE_D3DHRESULT(2905)

// ---------------------------------------------------------------------------
// Versions and creation
// ---------------------------------------------------------------------------
#define D3D_SDK_VERSION    32
#define D3DADAPTER_DEFAULT 0

#define D3DVS_VERSION(major, minor)      (0xFFFE0000u | ((major) << 8) | (minor))
#define D3DPS_VERSION(major, minor)      (0xFFFF0000u | ((major) << 8) | (minor))
#define D3DSHADER_VERSION_MAJOR(version) (((version) >> 8) & 0xFF)
#define D3DSHADER_VERSION_MINOR(version) (((version) >> 0) & 0xFF)

#define D3DCREATE_FPU_PRESERVE              0x00000002u
#define D3DCREATE_MULTITHREADED             0x00000004u
#define D3DCREATE_PUREDEVICE                0x00000010u
#define D3DCREATE_SOFTWARE_VERTEXPROCESSING 0x00000020u
#define D3DCREATE_HARDWARE_VERTEXPROCESSING 0x00000040u
#define D3DCREATE_MIXED_VERTEXPROCESSING    0x00000080u

#define D3DPRESENT_INTERVAL_DEFAULT   0x00000000u
#define D3DPRESENT_INTERVAL_ONE       0x00000001u
#define D3DPRESENT_INTERVAL_IMMEDIATE 0x80000000u

#define D3DPRESENTFLAG_LOCKABLE_BACKBUFFER  0x00000001u
#define D3DPRESENTFLAG_DISCARD_DEPTHSTENCIL 0x00000002u

// ---------------------------------------------------------------------------
// Enumerations
// ---------------------------------------------------------------------------
#define MAKEFOURCC(ch0, ch1, ch2, ch3)                                                                                 \
    ((DWORD)(BYTE)(ch0) | ((DWORD)(BYTE)(ch1) << 8) | ((DWORD)(BYTE)(ch2) << 16) | ((DWORD)(BYTE)(ch3) << 24))

enum D3DFORMAT : uint32_t
{
    D3DFMT_UNKNOWN = 0,
    D3DFMT_R8G8B8 = 20,
    D3DFMT_A8R8G8B8 = 21,
    D3DFMT_X8R8G8B8 = 22,
    D3DFMT_R5G6B5 = 23,
    D3DFMT_X1R5G5B5 = 24,
    D3DFMT_A1R5G5B5 = 25,
    D3DFMT_A4R4G4B4 = 26,
    D3DFMT_A8 = 28,
    D3DFMT_A8B8G8R8 = 32,
    D3DFMT_X8B8G8R8 = 33,
    D3DFMT_L8 = 50,
    D3DFMT_A8L8 = 51,
    D3DFMT_DXT1 = MAKEFOURCC('D', 'X', 'T', '1'),
    D3DFMT_DXT2 = MAKEFOURCC('D', 'X', 'T', '2'),
    D3DFMT_DXT3 = MAKEFOURCC('D', 'X', 'T', '3'),
    D3DFMT_DXT4 = MAKEFOURCC('D', 'X', 'T', '4'),
    D3DFMT_DXT5 = MAKEFOURCC('D', 'X', 'T', '5'),
    D3DFMT_D16_LOCKABLE = 70,
    D3DFMT_D32 = 71,
    D3DFMT_D15S1 = 73,
    D3DFMT_D24S8 = 75,
    D3DFMT_D24X8 = 77,
    D3DFMT_D24X4S4 = 79,
    D3DFMT_D16 = 80,
    D3DFMT_INDEX16 = 101,
    D3DFMT_INDEX32 = 102,
    D3DFMT_R16F = 111,
    D3DFMT_G16R16F = 112,
    D3DFMT_A16B16G16R16F = 113,
    D3DFMT_R32F = 114,
    D3DFMT_A32B32G32R32F = 116,
    D3DFMT_FORCE_DWORD = 0x7fffffff
};
// D3DX creators: take the format stored in the file.
#define D3DFMT_FROM_FILE ((D3DFORMAT)0xFFFFFFFDu)

enum D3DDEVTYPE : uint32_t
{
    D3DDEVTYPE_HAL = 1,
    D3DDEVTYPE_REF = 2,
    D3DDEVTYPE_SW = 3,
    D3DDEVTYPE_NULLREF = 4
};

enum D3DMULTISAMPLE_TYPE : uint32_t
{
    D3DMULTISAMPLE_NONE = 0,
    D3DMULTISAMPLE_NONMASKABLE = 1
};

enum D3DSWAPEFFECT : uint32_t
{
    D3DSWAPEFFECT_DISCARD = 1,
    D3DSWAPEFFECT_FLIP = 2,
    D3DSWAPEFFECT_COPY = 3
};

enum D3DBACKBUFFER_TYPE : uint32_t
{
    D3DBACKBUFFER_TYPE_MONO = 0
};

enum D3DPOOL : uint32_t
{
    D3DPOOL_DEFAULT = 0,
    D3DPOOL_MANAGED = 1,
    D3DPOOL_SYSTEMMEM = 2,
    D3DPOOL_SCRATCH = 3
};

enum D3DRESOURCETYPE : uint32_t
{
    D3DRTYPE_SURFACE = 1,
    D3DRTYPE_VOLUME = 2,
    D3DRTYPE_TEXTURE = 3,
    D3DRTYPE_VOLUMETEXTURE = 4,
    D3DRTYPE_CUBETEXTURE = 5,
    D3DRTYPE_VERTEXBUFFER = 6,
    D3DRTYPE_INDEXBUFFER = 7
};

enum D3DCUBEMAP_FACES : uint32_t
{
    D3DCUBEMAP_FACE_POSITIVE_X = 0,
    D3DCUBEMAP_FACE_NEGATIVE_X = 1,
    D3DCUBEMAP_FACE_POSITIVE_Y = 2,
    D3DCUBEMAP_FACE_NEGATIVE_Y = 3,
    D3DCUBEMAP_FACE_POSITIVE_Z = 4,
    D3DCUBEMAP_FACE_NEGATIVE_Z = 5
};

#define D3DUSAGE_RENDERTARGET       0x00000001u
#define D3DUSAGE_DEPTHSTENCIL       0x00000002u
#define D3DUSAGE_WRITEONLY          0x00000008u
#define D3DUSAGE_SOFTWAREPROCESSING 0x00000010u
#define D3DUSAGE_DONOTCLIP          0x00000020u
#define D3DUSAGE_POINTS             0x00000040u
#define D3DUSAGE_DYNAMIC            0x00000200u
#define D3DUSAGE_AUTOGENMIPMAP      0x00000400u

#define D3DLOCK_READONLY        0x00000010u
#define D3DLOCK_NOSYSLOCK       0x00000800u
#define D3DLOCK_NOOVERWRITE     0x00001000u
#define D3DLOCK_DISCARD         0x00002000u
#define D3DLOCK_NO_DIRTY_UPDATE 0x00008000u

#define D3DCLEAR_TARGET  0x00000001u
#define D3DCLEAR_ZBUFFER 0x00000002u
#define D3DCLEAR_STENCIL 0x00000004u

enum D3DPRIMITIVETYPE : uint32_t
{
    D3DPT_POINTLIST = 1,
    D3DPT_LINELIST = 2,
    D3DPT_LINESTRIP = 3,
    D3DPT_TRIANGLELIST = 4,
    D3DPT_TRIANGLESTRIP = 5,
    D3DPT_TRIANGLEFAN = 6
};

enum D3DTRANSFORMSTATETYPE : uint32_t
{
    D3DTS_VIEW = 2,
    D3DTS_PROJECTION = 3,
    D3DTS_TEXTURE0 = 16,
    D3DTS_TEXTURE1 = 17,
    D3DTS_TEXTURE2 = 18,
    D3DTS_TEXTURE3 = 19,
    D3DTS_TEXTURE4 = 20,
    D3DTS_TEXTURE5 = 21,
    D3DTS_TEXTURE6 = 22,
    D3DTS_TEXTURE7 = 23,
    D3DTS_FORCE_DWORD = 0x7fffffff
};
#define D3DTS_WORLDMATRIX(index) ((D3DTRANSFORMSTATETYPE)((index) + 256))
#define D3DTS_WORLD              D3DTS_WORLDMATRIX(0)
#define D3DTS_WORLD1             D3DTS_WORLDMATRIX(1)

enum D3DRENDERSTATETYPE : uint32_t
{
    D3DRS_ZENABLE = 7,
    D3DRS_FILLMODE = 8,
    D3DRS_SHADEMODE = 9,
    D3DRS_ZWRITEENABLE = 14,
    D3DRS_ALPHATESTENABLE = 15,
    D3DRS_LASTPIXEL = 16,
    D3DRS_SRCBLEND = 19,
    D3DRS_DESTBLEND = 20,
    D3DRS_CULLMODE = 22,
    D3DRS_ZFUNC = 23,
    D3DRS_ALPHAREF = 24,
    D3DRS_ALPHAFUNC = 25,
    D3DRS_DITHERENABLE = 26,
    D3DRS_ALPHABLENDENABLE = 27,
    D3DRS_FOGENABLE = 28,
    D3DRS_SPECULARENABLE = 29,
    D3DRS_FOGCOLOR = 34,
    D3DRS_FOGTABLEMODE = 35,
    D3DRS_FOGSTART = 36,
    D3DRS_FOGEND = 37,
    D3DRS_FOGDENSITY = 38,
    D3DRS_RANGEFOGENABLE = 48,
    D3DRS_STENCILENABLE = 52,
    D3DRS_STENCILFAIL = 53,
    D3DRS_STENCILZFAIL = 54,
    D3DRS_STENCILPASS = 55,
    D3DRS_STENCILFUNC = 56,
    D3DRS_STENCILREF = 57,
    D3DRS_STENCILMASK = 58,
    D3DRS_STENCILWRITEMASK = 59,
    D3DRS_TEXTUREFACTOR = 60,
    D3DRS_WRAP0 = 128,
    D3DRS_CLIPPING = 136,
    D3DRS_LIGHTING = 137,
    D3DRS_AMBIENT = 139,
    D3DRS_FOGVERTEXMODE = 140,
    D3DRS_COLORVERTEX = 141,
    D3DRS_LOCALVIEWER = 142,
    D3DRS_NORMALIZENORMALS = 143,
    D3DRS_DIFFUSEMATERIALSOURCE = 145,
    D3DRS_SPECULARMATERIALSOURCE = 146,
    D3DRS_AMBIENTMATERIALSOURCE = 147,
    D3DRS_EMISSIVEMATERIALSOURCE = 148,
    D3DRS_VERTEXBLEND = 151,
    D3DRS_CLIPPLANEENABLE = 152,
    D3DRS_POINTSIZE = 154,
    D3DRS_POINTSIZE_MIN = 155,
    D3DRS_POINTSPRITEENABLE = 156,
    D3DRS_POINTSCALEENABLE = 157,
    D3DRS_MULTISAMPLEANTIALIAS = 161,
    D3DRS_MULTISAMPLEMASK = 162,
    D3DRS_POINTSIZE_MAX = 166,
    D3DRS_COLORWRITEENABLE = 168,
    D3DRS_BLENDOP = 171,
    D3DRS_SCISSORTESTENABLE = 174,
    D3DRS_SLOPESCALEDEPTHBIAS = 175,
    D3DRS_ANTIALIASEDLINEENABLE = 176,
    D3DRS_TWOSIDEDSTENCILMODE = 185,
    D3DRS_BLENDFACTOR = 193,
    D3DRS_DEPTHBIAS = 195,
    D3DRS_SEPARATEALPHABLENDENABLE = 206,
    D3DRS_SRCBLENDALPHA = 207,
    D3DRS_DESTBLENDALPHA = 208,
    D3DRS_BLENDOPALPHA = 209,
    D3DRS_FORCE_DWORD = 0x7fffffff
};
// Render states are numbered below this bound.
#define D3DRS_MAX 256

#define D3DCLIPPLANE0 (1u << 0)
#define D3DCLIPPLANE1 (1u << 1)

#define D3DCOLORWRITEENABLE_RED   (1u << 0)
#define D3DCOLORWRITEENABLE_GREEN (1u << 1)
#define D3DCOLORWRITEENABLE_BLUE  (1u << 2)
#define D3DCOLORWRITEENABLE_ALPHA (1u << 3)

enum D3DZBUFFERTYPE : uint32_t
{
    D3DZB_FALSE = 0,
    D3DZB_TRUE = 1,
    D3DZB_USEW = 2
};
enum D3DFILLMODE : uint32_t
{
    D3DFILL_POINT = 1,
    D3DFILL_WIREFRAME = 2,
    D3DFILL_SOLID = 3
};
enum D3DSHADEMODE : uint32_t
{
    D3DSHADE_FLAT = 1,
    D3DSHADE_GOURAUD = 2,
    D3DSHADE_PHONG = 3
};
enum D3DCULL : uint32_t
{
    D3DCULL_NONE = 1,
    D3DCULL_CW = 2,
    D3DCULL_CCW = 3
};
enum D3DFOGMODE : uint32_t
{
    D3DFOG_NONE = 0,
    D3DFOG_EXP = 1,
    D3DFOG_EXP2 = 2,
    D3DFOG_LINEAR = 3
};

enum D3DCMPFUNC : uint32_t
{
    D3DCMP_NEVER = 1,
    D3DCMP_LESS = 2,
    D3DCMP_EQUAL = 3,
    D3DCMP_LESSEQUAL = 4,
    D3DCMP_GREATER = 5,
    D3DCMP_NOTEQUAL = 6,
    D3DCMP_GREATEREQUAL = 7,
    D3DCMP_ALWAYS = 8
};

enum D3DSTENCILOP : uint32_t
{
    D3DSTENCILOP_KEEP = 1,
    D3DSTENCILOP_ZERO = 2,
    D3DSTENCILOP_REPLACE = 3,
    D3DSTENCILOP_INCRSAT = 4,
    D3DSTENCILOP_DECRSAT = 5,
    D3DSTENCILOP_INVERT = 6,
    D3DSTENCILOP_INCR = 7,
    D3DSTENCILOP_DECR = 8
};

enum D3DBLEND : uint32_t
{
    D3DBLEND_ZERO = 1,
    D3DBLEND_ONE = 2,
    D3DBLEND_SRCCOLOR = 3,
    D3DBLEND_INVSRCCOLOR = 4,
    D3DBLEND_SRCALPHA = 5,
    D3DBLEND_INVSRCALPHA = 6,
    D3DBLEND_DESTALPHA = 7,
    D3DBLEND_INVDESTALPHA = 8,
    D3DBLEND_DESTCOLOR = 9,
    D3DBLEND_INVDESTCOLOR = 10,
    D3DBLEND_SRCALPHASAT = 11,
    D3DBLEND_BOTHSRCALPHA = 12,
    D3DBLEND_BOTHINVSRCALPHA = 13,
    D3DBLEND_BLENDFACTOR = 14,
    D3DBLEND_INVBLENDFACTOR = 15
};

enum D3DBLENDOP : uint32_t
{
    D3DBLENDOP_ADD = 1,
    D3DBLENDOP_SUBTRACT = 2,
    D3DBLENDOP_REVSUBTRACT = 3,
    D3DBLENDOP_MIN = 4,
    D3DBLENDOP_MAX = 5
};

enum D3DMATERIALCOLORSOURCE : uint32_t
{
    D3DMCS_MATERIAL = 0,
    D3DMCS_COLOR1 = 1,
    D3DMCS_COLOR2 = 2
};

enum D3DTEXTURESTAGESTATETYPE : uint32_t
{
    D3DTSS_COLOROP = 1,
    D3DTSS_COLORARG1 = 2,
    D3DTSS_COLORARG2 = 3,
    D3DTSS_ALPHAOP = 4,
    D3DTSS_ALPHAARG1 = 5,
    D3DTSS_ALPHAARG2 = 6,
    D3DTSS_BUMPENVMAT00 = 7,
    D3DTSS_BUMPENVMAT01 = 8,
    D3DTSS_BUMPENVMAT10 = 9,
    D3DTSS_BUMPENVMAT11 = 10,
    D3DTSS_TEXCOORDINDEX = 11,
    D3DTSS_BUMPENVLSCALE = 22,
    D3DTSS_BUMPENVLOFFSET = 23,
    D3DTSS_TEXTURETRANSFORMFLAGS = 24,
    D3DTSS_COLORARG0 = 26,
    D3DTSS_ALPHAARG0 = 27,
    D3DTSS_RESULTARG = 28,
    D3DTSS_CONSTANT = 32,
    D3DTSS_FORCE_DWORD = 0x7fffffff
};
// Texture-stage states are numbered below this bound.
#define D3DTSS_MAX 33

// Texture coordinate sources, or-ed with the coordinate set index in TEXCOORDINDEX.
#define D3DTSS_TCI_PASSTHRU                    0x00000000u
#define D3DTSS_TCI_CAMERASPACENORMAL           0x00010000u
#define D3DTSS_TCI_CAMERASPACEPOSITION         0x00020000u
#define D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR 0x00030000u
#define D3DTSS_TCI_SPHEREMAP                   0x00040000u

enum D3DTEXTUREOP : uint32_t
{
    D3DTOP_DISABLE = 1,
    D3DTOP_SELECTARG1 = 2,
    D3DTOP_SELECTARG2 = 3,
    D3DTOP_MODULATE = 4,
    D3DTOP_MODULATE2X = 5,
    D3DTOP_MODULATE4X = 6,
    D3DTOP_ADD = 7,
    D3DTOP_ADDSIGNED = 8,
    D3DTOP_ADDSIGNED2X = 9,
    D3DTOP_SUBTRACT = 10,
    D3DTOP_ADDSMOOTH = 11,
    D3DTOP_BLENDDIFFUSEALPHA = 12,
    D3DTOP_BLENDTEXTUREALPHA = 13,
    D3DTOP_BLENDFACTORALPHA = 14,
    D3DTOP_BLENDTEXTUREALPHAPM = 15,
    D3DTOP_BLENDCURRENTALPHA = 16,
    D3DTOP_PREMODULATE = 17,
    D3DTOP_MODULATEALPHA_ADDCOLOR = 18,
    D3DTOP_MODULATECOLOR_ADDALPHA = 19,
    D3DTOP_MODULATEINVALPHA_ADDCOLOR = 20,
    D3DTOP_MODULATEINVCOLOR_ADDALPHA = 21,
    D3DTOP_BUMPENVMAP = 22,
    D3DTOP_BUMPENVMAPLUMINANCE = 23,
    D3DTOP_DOTPRODUCT3 = 24,
    D3DTOP_MULTIPLYADD = 25,
    D3DTOP_LERP = 26
};

// Texture-stage arguments and modifiers.
#define D3DTA_SELECTMASK     0x0000000Fu
#define D3DTA_DIFFUSE        0x00000000u
#define D3DTA_CURRENT        0x00000001u
#define D3DTA_TEXTURE        0x00000002u
#define D3DTA_TFACTOR        0x00000003u
#define D3DTA_SPECULAR       0x00000004u
#define D3DTA_TEMP           0x00000005u
#define D3DTA_CONSTANT       0x00000006u
#define D3DTA_COMPLEMENT     0x00000010u
#define D3DTA_ALPHAREPLICATE 0x00000020u

enum D3DTEXTURETRANSFORMFLAGS : uint32_t
{
    D3DTTFF_DISABLE = 0,
    D3DTTFF_COUNT1 = 1,
    D3DTTFF_COUNT2 = 2,
    D3DTTFF_COUNT3 = 3,
    D3DTTFF_COUNT4 = 4,
    D3DTTFF_PROJECTED = 256
};

enum D3DSAMPLERSTATETYPE : uint32_t
{
    D3DSAMP_ADDRESSU = 1,
    D3DSAMP_ADDRESSV = 2,
    D3DSAMP_ADDRESSW = 3,
    D3DSAMP_BORDERCOLOR = 4,
    D3DSAMP_MAGFILTER = 5,
    D3DSAMP_MINFILTER = 6,
    D3DSAMP_MIPFILTER = 7,
    D3DSAMP_MIPMAPLODBIAS = 8,
    D3DSAMP_MAXMIPLEVEL = 9,
    D3DSAMP_MAXANISOTROPY = 10,
    D3DSAMP_SRGBTEXTURE = 11,
    D3DSAMP_FORCE_DWORD = 0x7fffffff
};
// Sampler states are numbered below this bound.
#define D3DSAMP_MAX 14

enum D3DTEXTUREFILTERTYPE : uint32_t
{
    D3DTEXF_NONE = 0,
    D3DTEXF_POINT = 1,
    D3DTEXF_LINEAR = 2,
    D3DTEXF_ANISOTROPIC = 3
};

enum D3DTEXTUREADDRESS : uint32_t
{
    D3DTADDRESS_WRAP = 1,
    D3DTADDRESS_MIRROR = 2,
    D3DTADDRESS_CLAMP = 3,
    D3DTADDRESS_BORDER = 4,
    D3DTADDRESS_MIRRORONCE = 5
};

enum D3DLIGHTTYPE : uint32_t
{
    D3DLIGHT_POINT = 1,
    D3DLIGHT_SPOT = 2,
    D3DLIGHT_DIRECTIONAL = 3
};

// Flexible vertex format bits.
#define D3DFVF_RESERVED0          0x0001u
#define D3DFVF_POSITION_MASK      0x400Eu
#define D3DFVF_XYZ                0x0002u
#define D3DFVF_XYZRHW             0x0004u
#define D3DFVF_XYZB1              0x0006u
#define D3DFVF_XYZB2              0x0008u
#define D3DFVF_XYZB3              0x000au
#define D3DFVF_XYZB4              0x000cu
#define D3DFVF_XYZB5              0x000eu
#define D3DFVF_XYZW               0x4002u
#define D3DFVF_NORMAL             0x0010u
#define D3DFVF_PSIZE              0x0020u
#define D3DFVF_DIFFUSE            0x0040u
#define D3DFVF_SPECULAR           0x0080u
#define D3DFVF_TEXCOUNT_MASK      0x0f00u
#define D3DFVF_TEXCOUNT_SHIFT     8
#define D3DFVF_TEX0               0x0000u
#define D3DFVF_TEX1               0x0100u
#define D3DFVF_TEX2               0x0200u
#define D3DFVF_TEX3               0x0300u
#define D3DFVF_TEX4               0x0400u
#define D3DFVF_TEX5               0x0500u
#define D3DFVF_TEX6               0x0600u
#define D3DFVF_TEX7               0x0700u
#define D3DFVF_TEX8               0x0800u
#define D3DFVF_TEXTUREFORMAT1     3u
#define D3DFVF_TEXTUREFORMAT2     0u
#define D3DFVF_TEXTUREFORMAT3     1u
#define D3DFVF_TEXTUREFORMAT4     2u
#define D3DFVF_TEXCOORDSIZE1(set) (D3DFVF_TEXTUREFORMAT1 << ((set)*2 + 16))
#define D3DFVF_TEXCOORDSIZE2(set) (D3DFVF_TEXTUREFORMAT2)
#define D3DFVF_TEXCOORDSIZE3(set) (D3DFVF_TEXTUREFORMAT3 << ((set)*2 + 16))
#define D3DFVF_TEXCOORDSIZE4(set) (D3DFVF_TEXTUREFORMAT4 << ((set)*2 + 16))

// ---------------------------------------------------------------------------
// Structures
// ---------------------------------------------------------------------------
struct D3DDISPLAYMODE
{
    UINT Width;
    UINT Height;
    UINT RefreshRate;
    D3DFORMAT Format;
};

struct D3DPRESENT_PARAMETERS
{
    UINT BackBufferWidth;
    UINT BackBufferHeight;
    D3DFORMAT BackBufferFormat;
    UINT BackBufferCount;
    D3DMULTISAMPLE_TYPE MultiSampleType;
    DWORD MultiSampleQuality;
    D3DSWAPEFFECT SwapEffect;
    HWND hDeviceWindow;
    BOOL Windowed;
    BOOL EnableAutoDepthStencil;
    D3DFORMAT AutoDepthStencilFormat;
    DWORD Flags;
    UINT FullScreen_RefreshRateInHz;
    UINT PresentationInterval;
};

// The identifier fields the game and the layer look at: the driver, and the
// description of the adapter (on OpenGL, the driver's renderer string).
struct D3DADAPTER_IDENTIFIER9
{
    char Driver[512];
    char Description[512];
    char DeviceName[32];
    DWORD VendorId;
    DWORD DeviceId;
};

// The capability fields the game and the layer look at.
struct D3DCAPS9
{
    D3DDEVTYPE DeviceType;
    UINT AdapterOrdinal;
    DWORD Caps;
    DWORD Caps2;
    DWORD Caps3;
    DWORD PresentationIntervals;
    DWORD DevCaps;
    DWORD PrimitiveMiscCaps;
    DWORD RasterCaps;
    DWORD ZCmpCaps;
    DWORD SrcBlendCaps;
    DWORD DestBlendCaps;
    DWORD AlphaCmpCaps;
    DWORD ShadeCaps;
    DWORD TextureCaps;
    DWORD TextureFilterCaps;
    DWORD CubeTextureFilterCaps;
    DWORD TextureAddressCaps;
    DWORD MaxTextureWidth;
    DWORD MaxTextureHeight;
    DWORD MaxAnisotropy;
    DWORD MaxTextureBlendStages;
    DWORD MaxSimultaneousTextures;
    DWORD MaxActiveLights;
    DWORD MaxUserClipPlanes;
    DWORD MaxPrimitiveCount;
    DWORD MaxVertexIndex;
    DWORD MaxStreams;
    DWORD MaxStreamStride;
    DWORD VertexShaderVersion;
    DWORD MaxVertexShaderConst;
    DWORD PixelShaderVersion;
    float PixelShader1xMaxValue;
    DWORD NumSimultaneousRTs;
};

struct D3DMATERIAL9
{
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Ambient;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Emissive;
    float Power;
};

struct D3DLIGHT9
{
    D3DLIGHTTYPE Type;
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Ambient;
    D3DVECTOR Position;
    D3DVECTOR Direction;
    float Range;
    float Falloff;
    float Attenuation0;
    float Attenuation1;
    float Attenuation2;
    float Theta;
    float Phi;
};

struct D3DLOCKED_RECT
{
    INT Pitch;
    void* pBits;
};

struct D3DRECT
{
    LONG x1;
    LONG y1;
    LONG x2;
    LONG y2;
};

struct D3DSURFACE_DESC
{
    D3DFORMAT Format;
    D3DRESOURCETYPE Type;
    DWORD Usage;
    D3DPOOL Pool;
    D3DMULTISAMPLE_TYPE MultiSampleType;
    DWORD MultiSampleQuality;
    UINT Width;
    UINT Height;
};

struct D3DVERTEXBUFFER_DESC
{
    D3DFORMAT Format;
    D3DRESOURCETYPE Type;
    DWORD Usage;
    D3DPOOL Pool;
    UINT Size;
    DWORD FVF;
};

struct D3DINDEXBUFFER_DESC
{
    D3DFORMAT Format;
    D3DRESOURCETYPE Type;
    DWORD Usage;
    D3DPOOL Pool;
    UINT Size;
};
