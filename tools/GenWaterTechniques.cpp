// Generator module part: the water surface's technique, added to the
// technique files next to the device's own.
//
// Every vertex is laid on the water plane; the reflection picture
// (texBaseMap1) is looked up where the point falls on the screen, moved by
// two layers of scrolling noise (texBaseMap2), darkened towards the deep
// colour when looked at steeply, with the sun's glint. The terrain's vertex
// alpha (the depth below the water) fades the shore.
#include "tools/TechniqueRegistry.h"

namespace
{

const char* const kWaterVertex = R"(out vec4 vClip;
out vec2 vWorld;
out vec3 vToEye;
out float vDepth;
void main()
{
    vec4 p = vec4(inPosition.x, WaterAltitude, inPosition.z, 1.0) * matWorld;
    gl_Position = p * matViewProj;
    vClip = gl_Position;
    vWorld = p.xz;
    vToEye = EyePos.xyz - p.xyz;
    vDepth = inDiffuse.a;
})";

const char* const kWaterFragment = R"(in vec4 vClip;
in vec2 vWorld;
in vec3 vToEye;
in float vDepth;
void main()
{
    vec2 n1 = texture(texBaseMap2, vWorld * Wave1Scale.x + Wave1Speed.xy).rg;
    vec2 n2 = texture(texBaseMap2, vWorld * Wave2Scale.x + Wave2Speed.xy).rg;
    vec2 ripple = (n1 + n2 - vec2(1.0)) * 0.025;
    vec2 uv = vClip.xy / vClip.w * vec2(0.5, -0.5) + vec2(0.5) + ripple;
    vec3 reflection = texture(texBaseMap1, clamp(uv, 0.002, 0.998)).rgb;
    float dist = max(length(vToEye), 0.001);
    vec3 e = vToEye / dist;
    float fresnel = 0.3 + 0.7 * pow(1.0 - clamp(e.y, 0.0, 1.0), 4.0);
    vec3 deep = WaterColor.rgb * vec3(0.16, 0.26, 0.30);
    vec3 colour = mix(deep, reflection * WaterColor.rgb, fresnel);
    vec3 n = normalize(vec3(ripple.x * 12.0, 1.0, ripple.y * 12.0));
    vec3 h = normalize(e + normalize(DirLight_Dir.xyz));
    colour += MatSpecular.rgb * pow(max(dot(n, h), 0.0), 80.0) * 0.7;
    float alpha = clamp(0.9 * (0.35 + 0.65 * vDepth), 0.0, 0.93);
    FragColor = vec4(colour, alpha);
})";

TechniqueGroup WaterTechniques()
{
    TechniqueGroup g;
    g.parameters = {
        "uniform float WaterAltitude;", "uniform mat4 matWorld;",   "uniform mat4 matWorldViewProj;",
        "uniform vec4 WaterColor;",     "uniform vec4 Wave1Speed;", "uniform vec4 Wave2Speed;",
        "uniform vec4 Wave1Scale;",     "uniform vec4 Wave2Scale;", "uniform sampler2D texBaseMap2;",
    };
    g.techniques = {{"techWaterSurface", kWaterVertex, kWaterFragment}};
    return g;
}

}   // namespace

REGISTER_TECHNIQUES(water, WaterTechniques());
