// The techniques of grass, leaves, stems and stones, added to the technique
// files of every shader level.
//
// Grass: each vertex carries its wave word in the specular colour: alpha the
// clump's phase, red, green, blue the wave vector (0.5 = none). The blades
// swing along it with "GrassWaveAmplitude", a quick flutter and a slow gust
// rolling across the area. "AlphaFactor" x and y are where grass starts and
// ends fading, as twice the eye distance.
//
// Leaves: the position holds the corner's offset in the leaf's plane, set 1
// the leaf's centre in the world and set 2 its jitter; the quad is built
// facing the eye around the centre, sized by "LeafSizeModifier", and swings
// by its jitter with the vertex alpha as phase. "AlphaFactor" x and y are
// where leaves start and end fading, in eye distance.
//
// Stems and stones: placed, lit vertices; the material alpha ("MatDiffuse")
// fades them out (the fixed pipeline would ignore it with lighting off).
//
// The shadow variants write "NatureShadowColour" where the picture is solid.
#include "tools/TechniqueRegistry.h"

namespace
{

const char* const kGrassVertex = R"(out vec2 vUV;
out vec4 vColour;
out float vFade;
vec3 GrassPosition()
{
    vec3 pos = inPosition.xyz;
    vec3 wave = inSpecular.rgb * 2.0 - 1.0;
    float phase = inSpecular.a * 6.2831853;
    float t = vecTime.x;
    float gust = sin(t * 0.8 + pos.x * 0.045 + pos.z * 0.03);
    float swing = 0.55 * sin(t * 2.3 + phase) + 0.45 * gust + 0.35;
    pos += wave * (GrassWaveAmplitude * swing);
    pos.y -= dot(wave, wave) * GrassWaveAmplitude * 0.25 * swing * swing;
    return pos;
}
float GrassFade(vec3 pos)
{
    float d = 2.0 * length(EyePos.xyz - pos);
    return clamp((AlphaFactor.y - d) / max(AlphaFactor.y - AlphaFactor.x, 0.001), 0.0, 1.0);
}
void main()
{
    vec3 pos = GrassPosition();
    gl_Position = vec4(pos, 1.0) * matViewProj;
    vUV = inTexCoord0.xy;
    vColour = inDiffuse;
    vFade = GrassFade(pos);
})";

const char* const kGrassFragment = R"(in vec2 vUV;
in vec4 vColour;
in float vFade;
void main()
{
    vec4 texel = texture(texBaseMap1, vUV);
    FragColor = vec4(texel.rgb * vColour.rgb, texel.a * vFade);
})";

const char* const kGrassShadowFragment = R"(in vec2 vUV;
in vec4 vColour;
in float vFade;
void main()
{
    float a = texture(texBaseMap1, vUV).a * vFade;
    FragColor = vec4(NatureShadowColour.rgb, a);
})";

const char* const kLeafVertex = R"(out vec2 vUV;
out vec4 vColour;
out float vFade;
void main()
{
    vec3 centre = inTexCoord1.xyz;
    vec3 jitter = inTexCoord2.xyz;
    vec3 right = (vec4(1.0, 0.0, 0.0, 0.0) * matViewInverse).xyz;
    vec3 up = (vec4(0.0, 1.0, 0.0, 0.0) * matViewInverse).xyz;
    float phase = inDiffuse.a * 6.2831853;
    float t = vecTime.x;
    float swing = 0.6 * sin(t * 1.6 + phase + centre.x * 0.07) + 0.4 * sin(t * 3.7 + 2.0 * phase);
    vec3 pos = centre + (inPosition.x * right + inPosition.y * up) * LeafSizeModifier + jitter * swing;
    gl_Position = vec4(pos, 1.0) * matViewProj;
    vUV = inTexCoord0.xy;
    vColour = vec4(inDiffuse.rgb, 1.0);
    float d = length(EyePos.xyz - pos);
    vFade = clamp((AlphaFactor.y - d) / max(AlphaFactor.y - AlphaFactor.x, 0.001), 0.0, 1.0);
})";

const char* const kLeafFragment = R"(in vec2 vUV;
in vec4 vColour;
in float vFade;
void main()
{
    vec4 texel = texture(texBaseMap1, vUV);
    FragColor = vec4(texel.rgb * vColour.rgb, texel.a * vFade);
})";

const char* const kLitVertex = R"(out vec2 vUV;
out vec4 vColour;
void main()
{
    gl_Position = vec4(inPosition.xyz, 1.0) * matViewProj;
    vUV = inTexCoord0.xy;
    vColour = inDiffuse;
})";

const char* const kLitFragment = R"(in vec2 vUV;
in vec4 vColour;
void main()
{
    vec4 texel = texture(texBaseMap1, vUV);
    FragColor = vec4(texel.rgb * vColour.rgb, MatDiffuse.a);
})";

TechniqueGroup NatureTechniques()
{
    TechniqueGroup g;
    g.parameters = {
        "uniform vec4 vecTime;             // game seconds, 0, 0, 0",
        "uniform vec4 AlphaFactor;         // fade start and end (see the technique)",
        "uniform float GrassWaveAmplitude;",
        "uniform float LeafSizeModifier;",
        "uniform vec4 NatureShadowColour;  // the caster colour of the shadow map",
    };
    g.techniques = {
        {"techGrass", kGrassVertex, kGrassFragment},
        {"techGrassShadow", kGrassVertex, kGrassShadowFragment},
        {"techNatureLit", kLitVertex, kLitFragment},
        {"techTreeLeafs", kLeafVertex, kLeafFragment},
        {"techTreeLeafsShadow", kLeafVertex, kGrassShadowFragment},
    };
    return g;
}

}   // namespace

REGISTER_TECHNIQUES(nature, NatureTechniques());
