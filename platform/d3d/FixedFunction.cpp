// GLSL for draws made without an effect: generated from the texture-stage,
// lighting and vertex-format state in force, and the text every program of the
// layer is wrapped in (Direct3D to OpenGL clip space, clip plane, alpha test).
#include <string>

#include "platform/d3d/Internal.h"

namespace d3d
{

std::string VertexPrelude()
{
    return "#version 330 core\n"
           "layout(location = 0) in vec4 inPosition;\n"
           "layout(location = 1) in vec3 inNormal;\n"
           "layout(location = 2) in vec4 inDiffuse;\n"
           "layout(location = 3) in vec4 inSpecular;\n"
           "layout(location = 4) in vec4 inTexCoord0;\n"
           "layout(location = 5) in vec4 inTexCoord1;\n"
           "layout(location = 6) in vec4 inTexCoord2;\n"
           "layout(location = 7) in vec4 inTexCoord3;\n"
           "layout(location = 8) in vec4 inTexCoord4;\n"
           "layout(location = 9) in vec4 inTexCoord5;\n"
           "layout(location = 10) in vec4 inTexCoord6;\n"
           "layout(location = 11) in vec4 inTexCoord7;\n"
           "uniform vec4 vs_c[32];\n"
           "uniform vec4 d3d_ClipPlane;\n"
           "uniform vec4 d3d_Screen;\n"
           "uniform vec2 d3d_PixelOffset;\n"
           // Pre-transformed vertex (render-target pixels, z, rhw) to clip space.
           "vec4 d3d_ScreenToClip(vec4 p) {\n"
           "    float w = p.w != 0.0 ? 1.0 / p.w : 1.0;\n"
           "    vec2 ndc = vec2((p.x - d3d_Screen.x) / d3d_Screen.z * 2.0 - 1.0,\n"
           "                    1.0 - (p.y - d3d_Screen.y) / d3d_Screen.w * 2.0);\n"
           "    return vec4(ndc * w, p.z * w, w);\n"
           "}\n";
}

std::string VertexEpilogue()
{
    return "\n#undef main\n"
           "void main() {\n"
           "    d3d_user_main();\n"
           "    gl_ClipDistance[0] = dot(gl_Position, d3d_ClipPlane);\n"
           // Direct3D samples pixel centres at whole coordinates: shift by half a pixel.
           "    gl_Position.xy += d3d_PixelOffset * gl_Position.w;\n"
           // Row 0 of every target is the top row, as in Direct3D.
           "    gl_Position.y = -gl_Position.y;\n"
           "    gl_Position.z = 2.0 * gl_Position.z - gl_Position.w;\n"
           "}\n";
}

std::string FragmentPrelude()
{
    return "#version 330 core\n"
           "uniform vec4 ps_c[32];\n"
           "uniform float d3d_AlphaRef;\n"
           "layout(location = 0) out vec4 d3d_FragOut;\n"
           "vec4 FragColor = vec4(0.0, 0.0, 0.0, 1.0);\n";
}

DWORD AlphaTestOf(DWORD enabled, DWORD func)
{
    // ALWAYS keeps every fragment, and Direct3D leaves unknown functions
    // undefined: both draw as without the test.
    if (!enabled || func < D3DCMP_NEVER || func >= D3DCMP_ALWAYS)
        return 0;
    return func;
}

std::string FragmentEpilogue(DWORD alphaTest)
{
    // The comparison is written into the program: the software rasteriser
    // would otherwise run the whole chain of tests on every fragment.
    static const char* const kKeep[] = {nullptr,
                                        nullptr,
                                        "a < d3d_AlphaRef",
                                        "a == d3d_AlphaRef",
                                        "a <= d3d_AlphaRef",
                                        "a > d3d_AlphaRef",
                                        "a != d3d_AlphaRef",
                                        "a >= d3d_AlphaRef"};
    std::string s = "\n#undef main\n"
                    "void main() {\n"
                    "    d3d_user_main();\n";
    if (alphaTest == D3DCMP_NEVER)
    {
        s += "    discard;\n";
    }
    else if (alphaTest > D3DCMP_NEVER && alphaTest < D3DCMP_ALWAYS)
    {
        s += "    float a = floor(clamp(FragColor.a, 0.0, 1.0) * 255.0 + 0.5);\n";
        s += std::string("    if (!(") + kKeep[alphaTest] + ")) discard;\n";
    }
    s += "    d3d_FragOut = FragColor;\n"
         "}\n";
    return s;
}

namespace
{

GLuint Compile(GLenum type, const std::string& source, std::string* log)
{
    GLuint shader = gl.CreateShader(type);
    const char* text = source.c_str();
    gl.ShaderSource(shader, 1, &text, nullptr);
    gl.CompileShader(shader);
    GLint ok = 0;
    gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok)
    {
        GLint length = 0;
        gl.GetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
        std::string text2(length > 0 ? length : 1, '\0');
        gl.GetShaderInfoLog(shader, (GLsizei)text2.size(), nullptr, &text2[0]);
        if (log)
            *log += std::string(type == GL_VERTEX_SHADER ? "vertex: " : "fragment: ") + text2.c_str();
        gl.DeleteShader(shader);
        return 0;
    }
    return shader;
}

}   // namespace

GLuint BuildProgram(const std::string& vertex, const std::string& fragment, std::string* log)
{
    GLuint vs = Compile(GL_VERTEX_SHADER, vertex, log);
    GLuint fs = Compile(GL_FRAGMENT_SHADER, fragment, log);
    if (!vs || !fs)
    {
        if (vs)
            gl.DeleteShader(vs);
        if (fs)
            gl.DeleteShader(fs);
        return 0;
    }
    GLuint program = gl.CreateProgram();
    gl.AttachShader(program, vs);
    gl.AttachShader(program, fs);
    gl.LinkProgram(program);
    gl.DeleteShader(vs);
    gl.DeleteShader(fs);
    GLint ok = 0;
    gl.GetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok)
    {
        GLint length = 0;
        gl.GetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
        std::string text(length > 0 ? length : 1, '\0');
        gl.GetProgramInfoLog(program, (GLsizei)text.size(), nullptr, &text[0]);
        if (log)
            *log += std::string("link: ") + text.c_str();
        gl.DeleteProgram(program);
        return 0;
    }
    return program;
}

void LocateBuiltins(GLuint program, BuiltinUniforms& u)
{
    u.clipPlane = gl.GetUniformLocation(program, "d3d_ClipPlane");
    u.pixelOffset = gl.GetUniformLocation(program, "d3d_PixelOffset");
    u.screen = gl.GetUniformLocation(program, "d3d_Screen");
    u.alphaRef = gl.GetUniformLocation(program, "d3d_AlphaRef");
    u.vsConst = gl.GetUniformLocation(program, "vs_c");
    u.psConst = gl.GetUniformLocation(program, "ps_c");
}

// ---------------------------------------------------------------------------
// Generated fixed-function programs
// ---------------------------------------------------------------------------
namespace
{

std::string Num(int i)
{
    return std::to_string(i);
}

// Material colour source: the material, or a vertex colour the format has.
std::string MaterialSource(const FixedFunctionKey& key, int source, const char* material)
{
    if (key.colorVertex)
    {
        if (source == D3DMCS_COLOR1 && (key.fvf & D3DFVF_DIFFUSE))
            return "inDiffuse";
        if (source == D3DMCS_COLOR2 && (key.fvf & D3DFVF_SPECULAR))
            return "inSpecular";
    }
    return material;
}

std::string Arg(uint8_t arg, bool alpha)
{
    std::string base;
    switch (arg & D3DTA_SELECTMASK)
    {
    case D3DTA_DIFFUSE:
        base = "diffuse";
        break;
    case D3DTA_CURRENT:
        base = "current";
        break;
    case D3DTA_TEXTURE:
        base = "tex";
        break;
    case D3DTA_TFACTOR:
        base = "d3d_TFactor";
        break;
    case D3DTA_SPECULAR:
        base = "specular";
        break;
    case D3DTA_TEMP:
        base = "temp";
        break;
    default:
        base = "vec4(1.0)";
        break;
    }
    if (arg & D3DTA_ALPHAREPLICATE)
        base = "vec4(" + base + ".a)";
    if (arg & D3DTA_COMPLEMENT)
        base = "(vec4(1.0) - " + base + ")";
    return base + (alpha ? ".a" : ".rgb");
}

std::string Operation(uint8_t op, const std::string& a0, const std::string& a1, const std::string& a2, const char* swz)
{
    std::string s(swz);
    switch (op)
    {
    case D3DTOP_SELECTARG1:
        return a1;
    case D3DTOP_SELECTARG2:
        return a2;
    case D3DTOP_MODULATE:
        return a1 + " * " + a2;
    case D3DTOP_MODULATE2X:
        return "(" + a1 + " * " + a2 + ") * 2.0";
    case D3DTOP_MODULATE4X:
        return "(" + a1 + " * " + a2 + ") * 4.0";
    case D3DTOP_ADD:
        return a1 + " + " + a2;
    case D3DTOP_ADDSIGNED:
        return a1 + " + " + a2 + " - 0.5";
    case D3DTOP_ADDSIGNED2X:
        return "(" + a1 + " + " + a2 + " - 0.5) * 2.0";
    case D3DTOP_SUBTRACT:
        return a1 + " - " + a2;
    case D3DTOP_ADDSMOOTH:
        return a1 + " + " + a2 + " - " + a1 + " * " + a2;
    case D3DTOP_BLENDDIFFUSEALPHA:
        return "mix(" + a2 + ", " + a1 + ", diffuse.a)";
    case D3DTOP_BLENDTEXTUREALPHA:
        return "mix(" + a2 + ", " + a1 + ", tex.a)";
    case D3DTOP_BLENDFACTORALPHA:
        return "mix(" + a2 + ", " + a1 + ", d3d_TFactor.a)";
    case D3DTOP_BLENDCURRENTALPHA:
        return "mix(" + a2 + ", " + a1 + ", current.a)";
    case D3DTOP_BLENDTEXTUREALPHAPM:
        return a1 + " + " + a2 + " * (1.0 - tex.a)";
    case D3DTOP_MULTIPLYADD:
        return a0 + " + " + a1 + " * " + a2;
    case D3DTOP_LERP:
        return "mix(" + a2 + ", " + a1 + ", " + a0 + ")";
    case D3DTOP_DOTPRODUCT3:
        if (s == ".a")
            return "clamp(dot(" + a1 + " - 0.5, " + a2 + " - 0.5) * 4.0, 0.0, 1.0)";
        return "vec3(clamp(dot(" + a1 + " - vec3(0.5), " + a2 + " - vec3(0.5)) * 4.0, 0.0, 1.0))";
    default:
        return a1;
    }
}

}   // namespace

bool StageUsesTexture(const FixedFunctionKey::Stage& st)
{
    const uint8_t args[] = {st.colorArg0, st.colorArg1, st.colorArg2, st.alphaArg0, st.alphaArg1, st.alphaArg2};
    for (uint8_t a : args)
        if ((a & D3DTA_SELECTMASK) == D3DTA_TEXTURE)
            return true;
    return st.colorOp == D3DTOP_BLENDTEXTUREALPHA || st.alphaOp == D3DTOP_BLENDTEXTUREALPHA ||
           st.colorOp == D3DTOP_BLENDTEXTUREALPHAPM;
}

namespace
{

// Whether the fragment program reads the specular colour at all.
bool NeedsSpecular(const FixedFunctionKey& key)
{
    if (key.specular)
        return true;
    for (int i = 0; i < key.stageCount; ++i)
    {
        const FixedFunctionKey::Stage& st = key.stages[i];
        const uint8_t args[] = {st.colorArg0, st.colorArg1, st.colorArg2, st.alphaArg0, st.alphaArg1, st.alphaArg2};
        for (uint8_t a : args)
            if ((a & D3DTA_SELECTMASK) == D3DTA_SPECULAR)
                return true;
    }
    return false;
}

// Operations whose result can leave 0..1 when every argument is inside it.
bool NeedsClamp(uint8_t op)
{
    switch (op)
    {
    case D3DTOP_MODULATE2X:
    case D3DTOP_MODULATE4X:
    case D3DTOP_ADD:
    case D3DTOP_ADDSIGNED:
    case D3DTOP_ADDSIGNED2X:
    case D3DTOP_SUBTRACT:
    case D3DTOP_MULTIPLYADD:
    case D3DTOP_BLENDTEXTUREALPHAPM:
        return true;
    default:
        return false;
    }
}

// Components of a stage's coordinates the fragment program needs: fewer
// interpolated values make every small triangle cheaper to set up.
int CoordWidth(const FixedFunctionKey::Stage& st)
{
    if (st.transformFlags & D3DTTFF_PROJECTED)
        return 4;
    return st.texture == 2 ? 3 : 2;
}

const char* VecType(int width)
{
    return width == 4 ? "vec4" : width == 3 ? "vec3" : "vec2";
}
const char* Swizzle(int width)
{
    return width == 4 ? "" : width == 3 ? ".xyz" : ".xy";
}

}   // namespace

std::string FixedFunctionVertexSource(const FixedFunctionKey& key)
{
    VertexLayout layout = LayoutOfFVF(key.fvf);
    const bool specularOut = NeedsSpecular(key);
    std::string s;
    // [0] world x view, [1] its normal matrix.
    s += "uniform mat4 d3d_Transform[2];\nuniform mat4 d3d_Proj;\n";
    // Only what this program uses: the software rasteriser copies the whole
    // uniform block to every draw that changes any of it.
    for (int i = 0; i < key.stageCount; ++i)
        if (key.stages[i].texture && (key.stages[i].transformFlags & 0xFF) != 0 && !layout.rhw)
            s += "uniform mat4 d3d_TexMatrix" + Num(i) + ";\n";
    s += "uniform vec3 d3d_LitBase;\nuniform vec3 d3d_AmbientSum;\n";
    s += "uniform vec4 d3d_MatDiffuse;\nuniform vec4 d3d_MatAmbient;\n";
    s += "uniform vec4 d3d_MatSpecular;\nuniform vec4 d3d_MatEmissive;\nuniform float d3d_MatPower;\n";
    if (key.lighting && key.lights)
    {
        std::string n = "[" + Num(key.lights) + "];\n";
        s += "uniform vec3 d3d_LightDir" + n + "uniform vec4 d3d_LightDiffuse" + n + "uniform vec4 d3d_LightSpecular" +
             n;
        s += "uniform vec3 d3d_LightDiffuseMat" + n + "uniform vec3 d3d_LightSpecularMat" + n;
    }
    const std::string colourOut = key.flat ? "flat out vec4 " : "out vec4 ";
    s += colourOut + "d3d_vDiffuse;\n";
    if (specularOut)
        s += colourOut + "d3d_vSpecular;\n";
    for (int i = 0; i < key.stageCount; ++i)
        if (key.stages[i].texture)
            s += std::string("out ") + VecType(CoordWidth(key.stages[i])) + " d3d_vTex" + Num(i) + ";\n";
    s += "#define main d3d_user_main\n";
    s += "void main() {\n";
    if (layout.rhw)
    {
        s += "    gl_Position = d3d_ScreenToClip(inPosition);\n";
        s += "    vec4 posView = vec4(0.0);\n    vec3 N = vec3(0.0);\n";
    }
    else
    {
        s += "    vec4 posView = vec4(inPosition.xyz, 1.0) * d3d_Transform[0];\n";
        s += "    gl_Position = posView * d3d_Proj;\n";
        if (layout.normalOffset >= 0)
        {
            s += "    vec3 N = (vec4(inNormal, 0.0) * d3d_Transform[1]).xyz;\n";
            if (key.normalize)
                s += "    if (dot(N, N) > 0.0) N = normalize(N);\n";
        }
        else
        {
            s += "    vec3 N = vec3(0.0);\n";
        }
    }
    s += std::string("    vec4 vcDiffuse = ") + (layout.diffuseOffset >= 0 ? "inDiffuse" : "vec4(1.0)") + ";\n";
    s += std::string("    vec4 vcSpecular = ") + (layout.specularOffset >= 0 ? "inSpecular" : "vec4(0.0)") + ";\n";
    if (key.lighting && !layout.rhw)
    {
        // Terms made of uniforms only are folded on the CPU: the material times
        // the light colours, and emissive + ambient x (global + lights' ambient).
        std::string mdSrc = MaterialSource(key, key.diffuseSource, "d3d_MatDiffuse");
        std::string maSrc = MaterialSource(key, key.ambientSource, "d3d_MatAmbient");
        std::string msSrc = MaterialSource(key, key.specularSource, "d3d_MatSpecular");
        std::string meSrc = MaterialSource(key, key.emissiveSource, "d3d_MatEmissive");
        bool mdFixed = mdSrc == "d3d_MatDiffuse", msFixed = msSrc == "d3d_MatSpecular";
        s += "    vec4 md = " + mdSrc + ";\n";
        s += "    vec4 ms = " + msSrc + ";\n";
        if (maSrc == "d3d_MatAmbient" && meSrc == "d3d_MatEmissive")
            s += "    vec3 lit = d3d_LitBase;\n";
        else
            s += "    vec3 lit = " + meSrc + ".rgb + " + maSrc + ".rgb * d3d_AmbientSum;\n";
        s += "    vec3 specSum = vec3(0.0);\n";
        if (key.lights)
        {
            s += std::string("    vec3 V = ") + (key.localViewer ? "-normalize(posView.xyz)" : "vec3(0.0, 0.0, -1.0)") +
                 ";\n";
            // Written out per light: indexing the light arrays with a loop
            // counter costs the software rasteriser far more.
            for (int i = 0; i < key.lights; ++i)
            {
                std::string n = Num(i);
                s += "    {\n";
                s += "        vec3 L = d3d_LightDir[" + n + "];\n";
                s += "        float ndl = max(dot(N, L), 0.0);\n";
                if (mdFixed)
                    s += "        lit += d3d_LightDiffuseMat[" + n + "] * ndl;\n";
                else
                    s += "        lit += md.rgb * d3d_LightDiffuse[" + n + "].rgb * ndl;\n";
                if (key.specular)
                {
                    std::string colour =
                        msFixed ? "d3d_LightSpecularMat[" + n + "]" : "ms.rgb * d3d_LightSpecular[" + n + "].rgb";
                    s += "        if (ndl > 0.0) {\n";
                    s += "            vec3 H = normalize(L + V);\n";
                    s += "            specSum += " + colour + " * pow(max(dot(N, H), 0.0), d3d_MatPower);\n";
                    s += "        }\n";
                }
                s += "    }\n";
            }
        }
        s += "    d3d_vDiffuse = vec4(clamp(lit, 0.0, 1.0), clamp(md.a, 0.0, 1.0));\n";
        if (specularOut)
            s += "    d3d_vSpecular = vec4(clamp(specSum, 0.0, 1.0), clamp(ms.a, 0.0, 1.0));\n";
    }
    else
    {
        s += "    d3d_vDiffuse = vcDiffuse;\n";
        if (specularOut)
            s += "    d3d_vSpecular = vcSpecular;\n";
    }
    for (int i = 0; i < key.stageCount; ++i)
    {
        const FixedFunctionKey::Stage& st = key.stages[i];
        if (!st.texture)
            continue;
        std::string out = "tc" + Num(i);
        s += "    vec4 " + out + ";\n";
        uint32_t mode = st.coordIndex & 0xFFFF0000u;
        int set = (int)(st.coordIndex & 7);
        if (mode == D3DTSS_TCI_CAMERASPACEPOSITION)
        {
            s += "    " + out + " = vec4(posView.xyz, 1.0);\n";
        }
        else if (mode == D3DTSS_TCI_CAMERASPACENORMAL)
        {
            s += "    " + out + " = vec4(N, 1.0);\n";
        }
        else if (mode == D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR)
        {
            s += "    {\n        vec3 E = -normalize(posView.xyz);\n";
            s += "        " + out + " = vec4(2.0 * dot(E, N) * N - E, 1.0);\n    }\n";
        }
        else if (set < layout.texCount)
        {
            std::string in = "inTexCoord" + Num(set);
            // Direct3D extends a coordinate set with a 1 after its last component.
            switch (layout.texSize[set])
            {
            case 1:
                s += "    " + out + " = vec4(" + in + ".x, 1.0, 0.0, 0.0);\n";
                break;
            case 2:
                s += "    " + out + " = vec4(" + in + ".xy, 1.0, 0.0);\n";
                break;
            case 3:
                s += "    " + out + " = vec4(" + in + ".xyz, 1.0);\n";
                break;
            default:
                s += "    " + out + " = " + in + ";\n";
                break;
            }
        }
        else
        {
            s += "    " + out + " = vec4(0.0, 0.0, 0.0, 1.0);\n";
        }
        if ((st.transformFlags & 0xFF) != 0 && !layout.rhw)
            s += "    " + out + " = " + out + " * d3d_TexMatrix" + Num(i) + ";\n";
        s += "    d3d_vTex" + Num(i) + " = " + out + Swizzle(CoordWidth(st)) + ";\n";
    }
    s += "}\n";
    return s;
}

std::string FixedFunctionFragmentSource(const FixedFunctionKey& key)
{
    std::string s;
    s += "uniform vec4 d3d_TFactor;\n";
    const bool specularIn = NeedsSpecular(key);
    const std::string colourIn = key.flat ? "flat in vec4 " : "in vec4 ";
    s += colourIn + "d3d_vDiffuse;\n";
    if (specularIn)
        s += colourIn + "d3d_vSpecular;\n";
    for (int i = 0; i < key.stageCount; ++i)
    {
        const FixedFunctionKey::Stage& st = key.stages[i];
        if (!st.texture)
            continue;
        s += std::string("in ") + VecType(CoordWidth(st)) + " d3d_vTex" + Num(i) + ";\n";
        s += std::string("uniform ") + (st.texture == 2 ? "samplerCube" : "sampler2D") + " d3d_Tex" + Num(i) + ";\n";
    }
    s += "#define main d3d_user_main\n";
    s += "void main() {\n";
    s += "    vec4 diffuse = d3d_vDiffuse;\n";
    s += specularIn ? "    vec4 specular = d3d_vSpecular;\n" : "    vec4 specular = vec4(0.0);\n";
    s += "    vec4 current = diffuse;\n    vec4 temp = vec4(0.0);\n    vec4 tex = vec4(1.0);\n";
    for (int i = 0; i < key.stageCount; ++i)
    {
        const FixedFunctionKey::Stage& st = key.stages[i];
        s += "    // stage " + Num(i) + "\n";
        if (st.texture)
        {
            std::string tc = "d3d_vTex" + Num(i);
            int count = st.transformFlags & 0xFF;
            bool projected = (st.transformFlags & D3DTTFF_PROJECTED) != 0;
            std::string coord = projected ? (st.texture == 2 ? tc + ".xyz" : tc + ".xy") : tc;
            if (projected)
            {
                const char* comp = count == 2 ? ".y" : count == 3 ? ".z" : ".w";
                coord = "(" + coord + " / " + tc + comp + ")";
            }
            s += "    tex = texture(d3d_Tex" + Num(i) + ", " + coord + ");\n";
        }
        else
        {
            s += "    tex = vec4(1.0);\n";
        }
        std::string color =
            Operation(st.colorOp, Arg(st.colorArg0, false), Arg(st.colorArg1, false), Arg(st.colorArg2, false), ".rgb");
        std::string alpha = st.alphaOp == D3DTOP_DISABLE
                                ? std::string(i == 0 ? "diffuse.a" : "current.a")
                                : Operation(st.alphaOp, Arg(st.alphaArg0, true), Arg(st.alphaArg1, true),
                                            Arg(st.alphaArg2, true), ".a");
        std::string target = st.result == D3DTA_TEMP ? "temp" : "current";
        // Every argument lies in 0..1; only some operations can leave it.
        bool clampColor = NeedsClamp(st.colorOp), clampAlpha = st.alphaOp != D3DTOP_DISABLE && NeedsClamp(st.alphaOp);
        s += "    {\n        vec3 c = " + (clampColor ? "clamp(" + color + ", 0.0, 1.0)" : color) + ";\n";
        s += "        float a = " + (clampAlpha ? "clamp(" + alpha + ", 0.0, 1.0)" : alpha) + ";\n";
        s += "        " + target + " = vec4(c, a);\n    }\n";
    }
    s += "    vec4 result = current;\n";
    if (key.specular)
        s += "    result.rgb = clamp(result.rgb + specular.rgb, 0.0, 1.0);\n";
    s += "    FragColor = result;\n";
    s += "}\n";
    return s;
}

}   // namespace d3d
