// Names of states and values: the recording log prints them and technique
// files are written with them.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/d3d/Internal.h"

namespace d3d
{

namespace
{

struct NameValue
{
    const char* name;
    DWORD value;
};

const NameValue kRenderStates[] = {
    {"ZENABLE", D3DRS_ZENABLE},
    {"FILLMODE", D3DRS_FILLMODE},
    {"SHADEMODE", D3DRS_SHADEMODE},
    {"ZWRITEENABLE", D3DRS_ZWRITEENABLE},
    {"ALPHATESTENABLE", D3DRS_ALPHATESTENABLE},
    {"LASTPIXEL", D3DRS_LASTPIXEL},
    {"SRCBLEND", D3DRS_SRCBLEND},
    {"DESTBLEND", D3DRS_DESTBLEND},
    {"CULLMODE", D3DRS_CULLMODE},
    {"ZFUNC", D3DRS_ZFUNC},
    {"ALPHAREF", D3DRS_ALPHAREF},
    {"ALPHAFUNC", D3DRS_ALPHAFUNC},
    {"DITHERENABLE", D3DRS_DITHERENABLE},
    {"ALPHABLENDENABLE", D3DRS_ALPHABLENDENABLE},
    {"FOGENABLE", D3DRS_FOGENABLE},
    {"SPECULARENABLE", D3DRS_SPECULARENABLE},
    {"FOGCOLOR", D3DRS_FOGCOLOR},
    {"FOGTABLEMODE", D3DRS_FOGTABLEMODE},
    {"FOGSTART", D3DRS_FOGSTART},
    {"FOGEND", D3DRS_FOGEND},
    {"FOGDENSITY", D3DRS_FOGDENSITY},
    {"RANGEFOGENABLE", D3DRS_RANGEFOGENABLE},
    {"STENCILENABLE", D3DRS_STENCILENABLE},
    {"STENCILFAIL", D3DRS_STENCILFAIL},
    {"STENCILZFAIL", D3DRS_STENCILZFAIL},
    {"STENCILPASS", D3DRS_STENCILPASS},
    {"STENCILFUNC", D3DRS_STENCILFUNC},
    {"STENCILREF", D3DRS_STENCILREF},
    {"STENCILMASK", D3DRS_STENCILMASK},
    {"STENCILWRITEMASK", D3DRS_STENCILWRITEMASK},
    {"TEXTUREFACTOR", D3DRS_TEXTUREFACTOR},
    {"WRAP0", D3DRS_WRAP0},
    {"CLIPPING", D3DRS_CLIPPING},
    {"LIGHTING", D3DRS_LIGHTING},
    {"AMBIENT", D3DRS_AMBIENT},
    {"FOGVERTEXMODE", D3DRS_FOGVERTEXMODE},
    {"COLORVERTEX", D3DRS_COLORVERTEX},
    {"LOCALVIEWER", D3DRS_LOCALVIEWER},
    {"NORMALIZENORMALS", D3DRS_NORMALIZENORMALS},
    {"DIFFUSEMATERIALSOURCE", D3DRS_DIFFUSEMATERIALSOURCE},
    {"SPECULARMATERIALSOURCE", D3DRS_SPECULARMATERIALSOURCE},
    {"AMBIENTMATERIALSOURCE", D3DRS_AMBIENTMATERIALSOURCE},
    {"EMISSIVEMATERIALSOURCE", D3DRS_EMISSIVEMATERIALSOURCE},
    {"VERTEXBLEND", D3DRS_VERTEXBLEND},
    {"CLIPPLANEENABLE", D3DRS_CLIPPLANEENABLE},
    {"POINTSIZE", D3DRS_POINTSIZE},
    {"POINTSIZE_MIN", D3DRS_POINTSIZE_MIN},
    {"POINTSPRITEENABLE", D3DRS_POINTSPRITEENABLE},
    {"POINTSCALEENABLE", D3DRS_POINTSCALEENABLE},
    {"MULTISAMPLEANTIALIAS", D3DRS_MULTISAMPLEANTIALIAS},
    {"MULTISAMPLEMASK", D3DRS_MULTISAMPLEMASK},
    {"POINTSIZE_MAX", D3DRS_POINTSIZE_MAX},
    {"COLORWRITEENABLE", D3DRS_COLORWRITEENABLE},
    {"BLENDOP", D3DRS_BLENDOP},
    {"SCISSORTESTENABLE", D3DRS_SCISSORTESTENABLE},
    {"SLOPESCALEDEPTHBIAS", D3DRS_SLOPESCALEDEPTHBIAS},
    {"ANTIALIASEDLINEENABLE", D3DRS_ANTIALIASEDLINEENABLE},
    {"TWOSIDEDSTENCILMODE", D3DRS_TWOSIDEDSTENCILMODE},
    {"BLENDFACTOR", D3DRS_BLENDFACTOR},
    {"DEPTHBIAS", D3DRS_DEPTHBIAS},
    {"SEPARATEALPHABLENDENABLE", D3DRS_SEPARATEALPHABLENDENABLE},
    {"SRCBLENDALPHA", D3DRS_SRCBLENDALPHA},
    {"DESTBLENDALPHA", D3DRS_DESTBLENDALPHA},
    {"BLENDOPALPHA", D3DRS_BLENDOPALPHA},
};

const NameValue kStageStates[] = {
    {"COLOROP", D3DTSS_COLOROP},
    {"COLORARG1", D3DTSS_COLORARG1},
    {"COLORARG2", D3DTSS_COLORARG2},
    {"ALPHAOP", D3DTSS_ALPHAOP},
    {"ALPHAARG1", D3DTSS_ALPHAARG1},
    {"ALPHAARG2", D3DTSS_ALPHAARG2},
    {"BUMPENVMAT00", D3DTSS_BUMPENVMAT00},
    {"BUMPENVMAT01", D3DTSS_BUMPENVMAT01},
    {"BUMPENVMAT10", D3DTSS_BUMPENVMAT10},
    {"BUMPENVMAT11", D3DTSS_BUMPENVMAT11},
    {"TEXCOORDINDEX", D3DTSS_TEXCOORDINDEX},
    {"BUMPENVLSCALE", D3DTSS_BUMPENVLSCALE},
    {"BUMPENVLOFFSET", D3DTSS_BUMPENVLOFFSET},
    {"TEXTURETRANSFORMFLAGS", D3DTSS_TEXTURETRANSFORMFLAGS},
    {"COLORARG0", D3DTSS_COLORARG0},
    {"ALPHAARG0", D3DTSS_ALPHAARG0},
    {"RESULTARG", D3DTSS_RESULTARG},
    {"CONSTANT", D3DTSS_CONSTANT},
};

const NameValue kSamplerStates[] = {
    {"ADDRESSU", D3DSAMP_ADDRESSU},       {"ADDRESSV", D3DSAMP_ADDRESSV},
    {"ADDRESSW", D3DSAMP_ADDRESSW},       {"BORDERCOLOR", D3DSAMP_BORDERCOLOR},
    {"MAGFILTER", D3DSAMP_MAGFILTER},     {"MINFILTER", D3DSAMP_MINFILTER},
    {"MIPFILTER", D3DSAMP_MIPFILTER},     {"MIPMAPLODBIAS", D3DSAMP_MIPMAPLODBIAS},
    {"MAXMIPLEVEL", D3DSAMP_MAXMIPLEVEL}, {"MAXANISOTROPY", D3DSAMP_MAXANISOTROPY},
    {"SRGBTEXTURE", D3DSAMP_SRGBTEXTURE},
};

const NameValue kPrimitives[] = {
    {"POINTLIST", D3DPT_POINTLIST},       {"LINELIST", D3DPT_LINELIST},           {"LINESTRIP", D3DPT_LINESTRIP},
    {"TRIANGLELIST", D3DPT_TRIANGLELIST}, {"TRIANGLESTRIP", D3DPT_TRIANGLESTRIP}, {"TRIANGLEFAN", D3DPT_TRIANGLEFAN},
};

const NameValue kCull[] = {{"NONE", D3DCULL_NONE}, {"CW", D3DCULL_CW}, {"CCW", D3DCULL_CCW}};
const NameValue kCmp[] = {{"NEVER", D3DCMP_NEVER},
                          {"LESS", D3DCMP_LESS},
                          {"EQUAL", D3DCMP_EQUAL},
                          {"LESSEQUAL", D3DCMP_LESSEQUAL},
                          {"GREATER", D3DCMP_GREATER},
                          {"NOTEQUAL", D3DCMP_NOTEQUAL},
                          {"GREATEREQUAL", D3DCMP_GREATEREQUAL},
                          {"ALWAYS", D3DCMP_ALWAYS}};
const NameValue kBlend[] = {{"ZERO", D3DBLEND_ZERO},
                            {"ONE", D3DBLEND_ONE},
                            {"SRCCOLOR", D3DBLEND_SRCCOLOR},
                            {"INVSRCCOLOR", D3DBLEND_INVSRCCOLOR},
                            {"SRCALPHA", D3DBLEND_SRCALPHA},
                            {"INVSRCALPHA", D3DBLEND_INVSRCALPHA},
                            {"DESTALPHA", D3DBLEND_DESTALPHA},
                            {"INVDESTALPHA", D3DBLEND_INVDESTALPHA},
                            {"DESTCOLOR", D3DBLEND_DESTCOLOR},
                            {"INVDESTCOLOR", D3DBLEND_INVDESTCOLOR},
                            {"SRCALPHASAT", D3DBLEND_SRCALPHASAT},
                            {"BLENDFACTOR", D3DBLEND_BLENDFACTOR},
                            {"INVBLENDFACTOR", D3DBLEND_INVBLENDFACTOR}};
const NameValue kBlendOp[] = {{"ADD", D3DBLENDOP_ADD},
                              {"SUBTRACT", D3DBLENDOP_SUBTRACT},
                              {"REVSUBTRACT", D3DBLENDOP_REVSUBTRACT},
                              {"MIN", D3DBLENDOP_MIN},
                              {"MAX", D3DBLENDOP_MAX}};
const NameValue kFill[] = {{"POINT", D3DFILL_POINT}, {"WIREFRAME", D3DFILL_WIREFRAME}, {"SOLID", D3DFILL_SOLID}};
const NameValue kShade[] = {{"FLAT", D3DSHADE_FLAT}, {"GOURAUD", D3DSHADE_GOURAUD}, {"PHONG", D3DSHADE_PHONG}};
const NameValue kFog[] = {{"NONE", D3DFOG_NONE}, {"EXP", D3DFOG_EXP}, {"EXP2", D3DFOG_EXP2}, {"LINEAR", D3DFOG_LINEAR}};
const NameValue kStencilOp[] = {{"KEEP", D3DSTENCILOP_KEEP},       {"ZERO", D3DSTENCILOP_ZERO},
                                {"REPLACE", D3DSTENCILOP_REPLACE}, {"INCRSAT", D3DSTENCILOP_INCRSAT},
                                {"DECRSAT", D3DSTENCILOP_DECRSAT}, {"INVERT", D3DSTENCILOP_INVERT},
                                {"INCR", D3DSTENCILOP_INCR},       {"DECR", D3DSTENCILOP_DECR}};
const NameValue kMaterialSource[] = {
    {"MATERIAL", D3DMCS_MATERIAL}, {"COLOR1", D3DMCS_COLOR1}, {"COLOR2", D3DMCS_COLOR2}};
const NameValue kAddress[] = {{"WRAP", D3DTADDRESS_WRAP},
                              {"MIRROR", D3DTADDRESS_MIRROR},
                              {"CLAMP", D3DTADDRESS_CLAMP},
                              {"BORDER", D3DTADDRESS_BORDER},
                              {"MIRRORONCE", D3DTADDRESS_MIRRORONCE}};
const NameValue kFilter[] = {
    {"NONE", D3DTEXF_NONE}, {"POINT", D3DTEXF_POINT}, {"LINEAR", D3DTEXF_LINEAR}, {"ANISOTROPIC", D3DTEXF_ANISOTROPIC}};

template <size_t N>
const char* NameOf(const NameValue (&table)[N], DWORD value)
{
    for (const NameValue& nv : table)
        if (nv.value == value)
            return nv.name;
    return nullptr;
}

template <size_t N>
bool ValueOf(const NameValue (&table)[N], const std::string& name, DWORD& value)
{
    for (const NameValue& nv : table)
        if (name == nv.name)
        {
            value = nv.value;
            return true;
        }
    return false;
}

const char* Numbered(DWORD value)
{
    static thread_local char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%u", (unsigned)value);
    return buffer;
}

std::vector<std::string>& Log()
{
    static std::vector<std::string> log;
    return log;
}

}   // namespace

const char* RenderStateName(DWORD state)
{
    const char* n = NameOf(kRenderStates, state);
    return n ? n : Numbered(state);
}
const char* StageStateName(DWORD state)
{
    const char* n = NameOf(kStageStates, state);
    return n ? n : Numbered(state);
}
const char* SamplerStateName(DWORD state)
{
    const char* n = NameOf(kSamplerStates, state);
    return n ? n : Numbered(state);
}
const char* PrimitiveName(DWORD type)
{
    const char* n = NameOf(kPrimitives, type);
    return n ? n : Numbered(type);
}
const char* TransformName(DWORD type)
{
    switch (type)
    {
    case D3DTS_VIEW:
        return "VIEW";
    case D3DTS_PROJECTION:
        return "PROJECTION";
    case 256:
        return "WORLD";
    default:
        break;
    }
    if (type >= D3DTS_TEXTURE0 && type <= D3DTS_TEXTURE7)
    {
        static thread_local char buffer[16];
        std::snprintf(buffer, sizeof buffer, "TEXTURE%u", (unsigned)(type - D3DTS_TEXTURE0));
        return buffer;
    }
    return Numbered(type);
}

bool LookupRenderState(const std::string& name, DWORD& state)
{
    return ValueOf(kRenderStates, name, state);
}
bool LookupSamplerState(const std::string& name, DWORD& state)
{
    return ValueOf(kSamplerStates, name, state);
}

bool LookupStateValue(bool sampler, DWORD state, const std::string& word, DWORD& value)
{
    if (word.empty())
        return false;
    if (word == "TRUE")
    {
        value = 1;
        return true;
    }
    if (word == "FALSE")
    {
        value = 0;
        return true;
    }
    if ((word[0] >= '0' && word[0] <= '9') || word[0] == '-')
    {
        char* end = nullptr;
        long long v = std::strtoll(word.c_str(), &end, 0);
        if (*end != 0)
        {
            // A float, as FOGSTART or MIPMAPLODBIAS take: stored by its bits.
            float f = std::strtof(word.c_str(), &end);
            if (*end != 0)
                return false;
            std::memcpy(&value, &f, 4);
            return true;
        }
        value = (DWORD)v;
        return true;
    }
    if (sampler)
    {
        switch (state)
        {
        case D3DSAMP_ADDRESSU:
        case D3DSAMP_ADDRESSV:
        case D3DSAMP_ADDRESSW:
            return ValueOf(kAddress, word, value);
        case D3DSAMP_MAGFILTER:
        case D3DSAMP_MINFILTER:
        case D3DSAMP_MIPFILTER:
            return ValueOf(kFilter, word, value);
        default:
            return false;
        }
    }
    switch (state)
    {
    case D3DRS_CULLMODE:
        return ValueOf(kCull, word, value);
    case D3DRS_ZFUNC:
    case D3DRS_ALPHAFUNC:
    case D3DRS_STENCILFUNC:
        return ValueOf(kCmp, word, value);
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND:
    case D3DRS_SRCBLENDALPHA:
    case D3DRS_DESTBLENDALPHA:
        return ValueOf(kBlend, word, value);
    case D3DRS_BLENDOP:
    case D3DRS_BLENDOPALPHA:
        return ValueOf(kBlendOp, word, value);
    case D3DRS_FILLMODE:
        return ValueOf(kFill, word, value);
    case D3DRS_SHADEMODE:
        return ValueOf(kShade, word, value);
    case D3DRS_FOGTABLEMODE:
    case D3DRS_FOGVERTEXMODE:
        return ValueOf(kFog, word, value);
    case D3DRS_STENCILFAIL:
    case D3DRS_STENCILZFAIL:
    case D3DRS_STENCILPASS:
        return ValueOf(kStencilOp, word, value);
    case D3DRS_DIFFUSEMATERIALSOURCE:
    case D3DRS_SPECULARMATERIALSOURCE:
    case D3DRS_AMBIENTMATERIALSOURCE:
    case D3DRS_EMISSIVEMATERIALSOURCE:
        return ValueOf(kMaterialSource, word, value);
    default:
        return false;
    }
}

std::string Fmt(const char* fmt, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buffer, sizeof buffer, fmt, args);
    va_end(args);
    return buffer;
}

bool Recording(const std::shared_ptr<DeviceLink>& link)
{
    return link && !link->gl;
}

void Record(const std::string& line)
{
    Log().push_back(line);
}

}   // namespace d3d

const std::vector<std::string>& D3DRecordedCalls()
{
    return d3d::Log();
}
void D3DClearRecordedCalls()
{
    d3d::Log().clear();
}

const char* DXGetErrorString9A(HRESULT hr)
{
    switch (hr)
    {
    case D3D_OK:
        return "S_OK";
    case S_FALSE:
        return "S_FALSE";
    case E_FAIL:
        return "E_FAIL";
    case E_NOTIMPL:
        return "E_NOTIMPL";
    case E_OUTOFMEMORY:
        return "E_OUTOFMEMORY";
    case E_INVALIDARG:
        return "E_INVALIDARG";
    case D3DERR_WRONGTEXTUREFORMAT:
        return "D3DERR_WRONGTEXTUREFORMAT";
    case D3DERR_UNSUPPORTEDCOLOROPERATION:
        return "D3DERR_UNSUPPORTEDCOLOROPERATION";
    case D3DERR_UNSUPPORTEDCOLORARG:
        return "D3DERR_UNSUPPORTEDCOLORARG";
    case D3DERR_UNSUPPORTEDALPHAOPERATION:
        return "D3DERR_UNSUPPORTEDALPHAOPERATION";
    case D3DERR_UNSUPPORTEDALPHAARG:
        return "D3DERR_UNSUPPORTEDALPHAARG";
    case D3DERR_TOOMANYOPERATIONS:
        return "D3DERR_TOOMANYOPERATIONS";
    case D3DERR_CONFLICTINGTEXTUREFILTER:
        return "D3DERR_CONFLICTINGTEXTUREFILTER";
    case D3DERR_UNSUPPORTEDFACTORVALUE:
        return "D3DERR_UNSUPPORTEDFACTORVALUE";
    case D3DERR_CONFLICTINGRENDERSTATE:
        return "D3DERR_CONFLICTINGRENDERSTATE";
    case D3DERR_UNSUPPORTEDTEXTUREFILTER:
        return "D3DERR_UNSUPPORTEDTEXTUREFILTER";
    case D3DERR_CONFLICTINGTEXTUREPALETTE:
        return "D3DERR_CONFLICTINGTEXTUREPALETTE";
    case D3DERR_DRIVERINTERNALERROR:
        return "D3DERR_DRIVERINTERNALERROR";
    case D3DERR_NOTFOUND:
        return "D3DERR_NOTFOUND";
    case D3DERR_MOREDATA:
        return "D3DERR_MOREDATA";
    case D3DERR_DEVICELOST:
        return "D3DERR_DEVICELOST";
    case D3DERR_DEVICENOTRESET:
        return "D3DERR_DEVICENOTRESET";
    case D3DERR_NOTAVAILABLE:
        return "D3DERR_NOTAVAILABLE";
    case D3DERR_OUTOFVIDEOMEMORY:
        return "D3DERR_OUTOFVIDEOMEMORY";
    case D3DERR_INVALIDDEVICE:
        return "D3DERR_INVALIDDEVICE";
    case D3DERR_INVALIDCALL:
        return "D3DERR_INVALIDCALL";
    case D3DERR_DRIVERINVALIDCALL:
        return "D3DERR_DRIVERINVALIDCALL";
    case D3DERR_WASSTILLDRAWING:
        return "D3DERR_WASSTILLDRAWING";
    case D3DXERR_INVALIDDATA:
        return "D3DXERR_INVALIDDATA";
    default:
        return "Unknown";
    }
}
