// Generator module: the technique files of the render device, one per shader
// level. Every file holds the same techniques and parameters; the level only
// picks cheaper variants of the post effects (TECH_LEVEL in the shaders).
//
// Adding a technique: one entry in kTechniques. Adding a parameter: one line
// in kParameters.
#include <cstdio>
#include <string>

#include "tools/DataTree.h"
#include "tools/TechniqueRegistry.h"

namespace
{

// Every parameter the game sets on the effect, declared once for all
// techniques (names the file does not declare would be ignored).
const char* const kParameters[] = {
    "uniform mat4 matViewProj;",
    "uniform mat4 matView;",
    "uniform mat4 matViewInverse;",
    "uniform mat4 matProj;",
    "uniform vec4 EyePos;",
    "uniform vec4 FogParam;        // fog start, fog end, 0, 1",
    "uniform vec4 FogColor;",
    "uniform vec4 MatDiffuse;",
    "uniform vec4 MatAmbient;",
    "uniform vec4 MatSpecular;",
    "uniform vec4 MatEmissive;",
    "uniform float MatSpecularPow;",
    "uniform vec4 DirLight_Diff;",
    "uniform vec4 DirLight_Spec;",
    "uniform vec4 DirLight_Dir;",
    "uniform vec4 DirLight_Pos;",
    "uniform vec4 GlobalAmbient;",
    "uniform sampler2D texBaseMap1;",
    "uniform samplerCube texCubeMap1;",
    "uniform sampler2D texStage0;  // the texture bound to device stage 0",
};

// Full-screen quad: clip-space position and one set of coordinates.
const char* const kQuadVertex = R"(out vec2 vUV;
void main()
{
    gl_Position = vec4(inPosition.xyz, 1.0);
    vUV = inTexCoord0.xy;
})";

struct Technique
{
    const char* name;
    const char* vertex;
    const char* fragment;
};

const Technique kTechniques[] = {
    // Light sprites, glares and beams of the dynamic batch. The position holds
    // the corner's offset in the sprite's own plane, set 1 the centre in the
    // world and set 2 the sprite's axis: the quad turns about the axis to face
    // the eye, and the offset's z pulls it towards the eye. Drawn additively,
    // so fog fades it to black. Dust uses it too, blended by its alpha.
    {"techDirectVertex", R"(out vec2 vUV;
out vec4 vColour;
out float vFog;
void main()
{
    vec3 centre = inTexCoord1.xyz;
    vec3 axis = inTexCoord2.xyz;
    vec3 toEye = EyePos.xyz - centre;
    float dist = length(toEye);
    toEye = dist > 1e-4 ? toEye / dist : vec3(0.0, 0.0, -1.0);
    vec3 side = cross(toEye, axis);
    float sideLength = length(side);
    side = sideLength > 1e-4 ? side / sideLength : vec3(1.0, 0.0, 0.0);
    vec3 up = normalize(cross(side, toEye));
    vec3 pos = centre + inPosition.x * side + inPosition.y * up + inPosition.z * toEye;
    gl_Position = vec4(pos, 1.0) * matViewProj;
    vUV = inTexCoord0.xy;
    vColour = inDiffuse;
    vFog = clamp((FogParam.y - dist) / max(FogParam.y - FogParam.x, 0.001), 0.0, 1.0);
})",
     R"(in vec2 vUV;
in vec4 vColour;
in float vFog;
void main()
{
    vec4 texel = texture(texBaseMap1, vUV);
    vec3 light = texel.rgb * vColour.rgb * vFog;
    // The batch adds the colour alone; dust blends by this alpha.
    FragColor = vec4(light, texel.a * vColour.a);
})"},

    // Bright parts of the frame copy on stage 0: c0 = (gain, exponent, -, -).
    {"techGlowScreen", kQuadVertex, R"(in vec2 vUV;
void main()
{
    vec3 colour = texture(texStage0, vUV).rgb;
    vec3 glow = pow(colour, vec3(ps_c[0].y)) * ps_c[0].x;
    FragColor = vec4(clamp(glow, 0.0, 1.0), 1.0);
})"},

    // Box blur of texBaseMap1: vertex c0 = (0, -offset, offset, 1) places the
    // taps, pixel c1 = (weight, weight, weight, 0) weighs each of four.
    {"techSmoothSurface", R"(out vec2 vTap[4];
out vec2 vUV;
out float vOffset;
void main()
{
    gl_Position = vec4(inPosition.xyz, 1.0);
    vec2 uv = inTexCoord0.xy;
    vec4 c = vs_c[0];
    vTap[0] = uv + vec2(c.y, c.y);
    vTap[1] = uv + vec2(c.z, c.y);
    vTap[2] = uv + vec2(c.y, c.z);
    vTap[3] = uv + vec2(c.z, c.z);
    vUV = uv;
    vOffset = c.z;
})",
     R"(in vec2 vTap[4];
in vec2 vUV;
in float vOffset;
void main()
{
    vec3 sum = texture(texBaseMap1, vTap[0]).rgb + texture(texBaseMap1, vTap[1]).rgb +
               texture(texBaseMap1, vTap[2]).rgb + texture(texBaseMap1, vTap[3]).rgb;
    FragColor = vec4(sum * ps_c[1].rgb, 1.0);
})"},

    // Radial blur of the frame copy on stage 0, laid over the frame: vertex
    // c0.x is the zoom step (negative), pixel c0.x the strength (0..4).
    {"techMotionBlur", R"(out vec2 vTap[4];
void main()
{
    gl_Position = vec4(inPosition.xyz, 1.0);
    // Four copies zoomed about the middle; the taps are linear in the
    // position, so they are placed per corner.
    vec2 fromMiddle = inTexCoord0.xy - vec2(0.5);
    for (int k = 0; k < 4; k++)
        vTap[k] = vec2(0.5) + fromMiddle * (1.0 + float(k + 1) * vs_c[0].x);
})",
     R"(in vec2 vTap[4];
void main()
{
    vec3 sum = texture(texStage0, vTap[0]).rgb + texture(texStage0, vTap[1]).rgb +
               texture(texStage0, vTap[2]).rgb + texture(texStage0, vTap[3]).rgb;
    FragColor = vec4(sum * 0.25, clamp(ps_c[0].x * 0.2, 0.0, 0.8));
})"},

    // texBaseMap1 as it is over the whole target: the last step of the glow
    // and of the menu backdrop, whose blurs are made at their small size.
    {"techCopyScreen", kQuadVertex, R"(in vec2 vUV;
void main()
{
    FragColor = vec4(texture(texBaseMap1, vUV).rgb, 1.0);
})"},

    // The menu backdrop: the frame copy in texBaseMap1, greyed and tinted warm.
    {"techMenuScreen", kQuadVertex, R"(in vec2 vUV;
void main()
{
    vec3 colour = texture(texBaseMap1, vUV).rgb;
    float grey = dot(colour, vec3(0.30, 0.59, 0.11));
    FragColor = vec4(grey * vec3(0.76, 0.48, 0.24) + vec3(0.04, 0.03, 0.02), 1.0);
})"},
};

// Appends a code block; its lines keep their text (no empty lines).
void AddBlock(std::string& out, const char* keyword, const std::string& code)
{
    out += keyword;
    out += " {{\n";
    out += code;
    out += "\n}}\n";
}

std::string TechniqueFile(int level)
{
    std::string text = "// Trallowmere render techniques, shader level " + std::to_string(level / 10) + "." +
                       std::to_string(level % 10) + "\n";
    std::string shared = "#define TECH_LEVEL " + std::to_string(level) + "\n";
    const std::vector<TechniqueGroup> groups = RegisteredTechniqueGroups();
    for (const char* parameter : kParameters)
        shared += std::string(parameter) + "\n";
    for (const TechniqueGroup& group : groups)
        for (const char* parameter : group.parameters)
            shared += std::string(parameter) + "\n";
    shared.pop_back();
    AddBlock(text, "shared", shared);
    // The blurs and the light atlas must not wrap round at the edges.
    text += "samplerstate texBaseMap1 ADDRESSU CLAMP\n";
    text += "samplerstate texBaseMap1 ADDRESSV CLAMP\n";
    for (const Technique& technique : kTechniques)
    {
        text += std::string("technique ") + technique.name + "\n";
        text += "pass p0\n";
        AddBlock(text, "vertex", technique.vertex);
        AddBlock(text, "fragment", technique.fragment);
    }
    // Techniques of the other modules (TechniqueRegistry.h).
    for (const TechniqueGroup& group : groups)
        for (const TechniqueSource& technique : group.techniques)
        {
            text += std::string("technique ") + technique.name + "\n";
            text += "pass p0\n";
            AddBlock(text, "vertex", technique.vertex);
            AddBlock(text, "fragment", technique.fragment);
        }
    return text;
}

void GenTechniques(DataTree& tree)
{
    const int levels[4] = {20, 14, 11, 0};
    for (int level : levels)
    {
        char name[64];
        std::snprintf(name, sizeof(name), "Data/Misc/RenderTechniques_%02d.dat", level);
        tree.AddText(name, TechniqueFile(level));
    }
}

}   // namespace

REGISTER_GENERATOR("techniques", GenTechniques);
