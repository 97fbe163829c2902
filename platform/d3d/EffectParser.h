#pragma once
// Technique files: the text an ID3DXEffect is made from (D3DXCreateEffect).
//
// FORMAT
// A technique file is a list of lines. Blank lines and lines starting with
// "//" are ignored outside code blocks. Words are separated by blanks.
//
//   shared {{
//     ... GLSL ...
//   }}
//       Code placed in front of every vertex and fragment program of the file
//       (uniform declarations, helper functions). Several shared blocks are
//       joined in order.
//   samplerstate PARAM NAME VALUE
//       Sampler state of a texture parameter, e.g.
//       "samplerstate texBaseMap1 ADDRESSU CLAMP". Texture parameters sample
//       with MIN/MAG/MIP LINEAR and WRAP unless a line says otherwise.
//   technique NAME
//       Starts a technique; its passes follow.
//   pass [NAME]
//       Starts a pass of the current technique. A pass holds:
//     vertex {{ ... }}     the vertex program (GLSL, with a main function)
//     fragment {{ ... }}   the fragment program (GLSL, with a main function)
//     state NAME VALUE     a render state set when the pass begins, e.g.
//                          "state CULLMODE NONE", "state ALPHATESTENABLE TRUE",
//                          "state SRCBLEND SRCALPHA", "state ALPHAREF 128"
//     sampler STAGE NAME VALUE
//                          a sampler state of a device stage set when the
//                          pass begins, e.g. "sampler 0 ADDRESSU CLAMP"
//   NAME is a render or sampler state without its prefix (ZENABLE, CULLMODE,
//   ADDRESSU, ...). VALUE is a number (decimal or 0x hex), TRUE / FALSE, or a
//   Direct3D value name without its prefix (CW, NONE, SRCALPHA, LESSEQUAL,
//   CLAMP, LINEAR, ...). A "{{" ends its line; the block runs to a line whose
//   first non-blank characters are "}}".
//
// GLSL ENVIRONMENT (GLSL 3.30 core; the layer writes the #version line)
// - Parameters are the uniforms the file declares: "uniform mat4 matViewProj;"
//   is the parameter "matViewProj". float, vec2/3/4, int, bool, mat4 (and
//   arrays of them) take SetFloat/SetVector/SetMatrix/SetInt/SetValue;
//   sampler2D and samplerCube uniforms are texture parameters (SetTexture).
//   Names the file does not declare are ignored by the setters.
// - Matrices are uploaded so that "v * M" in GLSL is Direct3D's v * M (row
//   vectors), exactly as the game builds them.
// - Vertex inputs, filled from the vertex format (FVF) of the draw; a field
//   the format lacks reads as (0, 0, 0, 1):
//     vec4 inPosition   x, y, z, 1 (or x, y, z, rhw for pre-transformed vertices)
//     vec3 inNormal
//     vec4 inDiffuse    the ARGB colour as (r, g, b, a) in 0..1
//     vec4 inSpecular
//     vec4 inTexCoord0 ... inTexCoord7
// - The vertex program writes gl_Position in Direct3D clip space (depth 0..w,
//   y up); the layer converts it to OpenGL's afterwards and applies the
//   device's world-space clip plane 0 (using the device's view and projection
//   transforms). The fragment program writes "vec4 FragColor"; the device's
//   alpha test (ALPHATESTENABLE / ALPHAFUNC / ALPHAREF) is applied to it after
//   the program's main returns.
// - Shader constant registers set with SetVertexShaderConstantF /
//   SetPixelShaderConstantF are "vec4 vs_c[32]" and "vec4 ps_c[32]".
// - The textures bound to device stages with IDirect3DDevice9::SetTexture are
//   read through uniforms named texStage0 ... texStage7 (declare them as
//   sampler2D or samplerCube); they sample with the stage's sampler states.
// - Names starting with "d3d_" are the layer's own; do not use them.
#include <map>
#include <string>
#include <vector>

#include "platform/d3d/D3D9Types.h"

namespace d3d
{

struct EffectState
{
    DWORD state;
    DWORD value;
};

struct EffectSamplerState
{
    DWORD stage;
    DWORD state;
    DWORD value;
};

struct EffectPassSource
{
    std::string name;
    std::string vertex;
    std::string fragment;
    int vertexLine = 0;     // line of the file where the vertex block starts
    int fragmentLine = 0;   // line of the file where the fragment block starts
    std::vector<EffectState> states;
    std::vector<EffectSamplerState> samplers;
};

struct EffectTechniqueSource
{
    std::string name;
    std::vector<EffectPassSource> passes;
};

// A uniform declared by the file's code.
enum class EffectParamType
{
    Float,
    Int,
    Bool,
    Vector2,
    Vector3,
    Vector4,
    Matrix,
    Texture2D,
    TextureCube
};

struct EffectParamSource
{
    std::string name;
    EffectParamType type;
    int arraySize;   // 1 for plain values
};

struct EffectSource
{
    std::string shared;
    int sharedLine = 0;
    std::vector<EffectTechniqueSource> techniques;
    std::vector<EffectParamSource> params;
    // texture parameter -> its sampler states (state -> value)
    std::map<std::string, std::map<DWORD, DWORD>> paramSamplers;
};

// Parses a technique file. Returns false with a message ("line N: ...") in
// *error on malformed input.
bool ParseEffect(const char* text, size_t length, EffectSource& out, std::string* error);

// Number of a state name ("CULLMODE", "ADDRESSU"); false when not known.
bool LookupRenderState(const std::string& name, DWORD& state);
bool LookupSamplerState(const std::string& name, DWORD& state);
// Value of a word for the given render state (sampler = false) or sampler
// state (sampler = true): a number, TRUE / FALSE, or a value name of that
// state's kind ("CW", "SRCALPHA", "LESSEQUAL", "CLAMP", "LINEAR").
bool LookupStateValue(bool sampler, DWORD state, const std::string& word, DWORD& value);

}   // namespace d3d
