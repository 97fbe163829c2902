// Trallowmere render techniques, shader level 0.0
shared {{
#define TECH_LEVEL 0
uniform mat4 matViewProj;
uniform mat4 matView;
uniform mat4 matViewInverse;
uniform mat4 matProj;
uniform vec4 EyePos;
uniform vec4 FogParam;        // fog start, fog end, 0, 1
uniform vec4 FogColor;
uniform vec4 MatDiffuse;
uniform vec4 MatAmbient;
uniform vec4 MatSpecular;
uniform vec4 MatEmissive;
uniform float MatSpecularPow;
uniform vec4 DirLight_Diff;
uniform vec4 DirLight_Spec;
uniform vec4 DirLight_Dir;
uniform vec4 DirLight_Pos;
uniform vec4 GlobalAmbient;
uniform sampler2D texBaseMap1;
uniform samplerCube texCubeMap1;
uniform sampler2D texStage0;  // the texture bound to device stage 0
}}
samplerstate texBaseMap1 ADDRESSU CLAMP
samplerstate texBaseMap1 ADDRESSV CLAMP
technique techDirectVertex
pass p0
vertex {{
out vec2 vUV;
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
}
}}
fragment {{
in vec2 vUV;
in vec4 vColour;
in float vFog;
void main()
{
    vec3 light = texture(texBaseMap1, vUV).rgb * vColour.rgb * vFog;
    FragColor = vec4(light, 1.0);
}
}}
technique techGlowScreen
pass p0
vertex {{
out vec2 vUV;
void main()
{
    gl_Position = vec4(inPosition.xyz, 1.0);
    vUV = inTexCoord0.xy;
}
}}
fragment {{
in vec2 vUV;
void main()
{
    vec3 colour = texture(texStage0, vUV).rgb;
    vec3 glow = pow(colour, vec3(ps_c[0].y)) * ps_c[0].x;
    FragColor = vec4(clamp(glow, 0.0, 1.0), 1.0);
}
}}
technique techSmoothSurface
pass p0
vertex {{
out vec2 vTap[4];
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
}
}}
fragment {{
in vec2 vTap[4];
in vec2 vUV;
in float vOffset;
void main()
{
    vec3 sum = texture(texBaseMap1, vTap[0]).rgb + texture(texBaseMap1, vTap[1]).rgb +
               texture(texBaseMap1, vTap[2]).rgb + texture(texBaseMap1, vTap[3]).rgb;
#if TECH_LEVEL >= 20
    // Four more taps on the axes, twice as far out, for a rounder blur.
    vec2 d = vec2(2.0 * vOffset, 0.0);
    vec3 cross4 = texture(texBaseMap1, vUV + d.xy).rgb + texture(texBaseMap1, vUV - d.xy).rgb +
                  texture(texBaseMap1, vUV + d.yx).rgb + texture(texBaseMap1, vUV - d.yx).rgb;
    sum = (sum + cross4) * 0.5;
#endif
    FragColor = vec4(sum * ps_c[1].rgb, 1.0);
}
}}
technique techMotionBlur
pass p0
vertex {{
out vec2 vUV;
out float vStep;
void main()
{
    gl_Position = vec4(inPosition.xyz, 1.0);
    vUV = inTexCoord0.xy;
    vStep = vs_c[0].x;
}
}}
fragment {{
in vec2 vUV;
in float vStep;
void main()
{
#if TECH_LEVEL >= 20
    const int taps = 8;
#else
    const int taps = 4;
#endif
    vec3 sum = vec3(0.0);
    for (int k = 1; k <= taps; k++)
        sum += texture(texStage0, vec2(0.5) + (vUV - vec2(0.5)) * (1.0 + float(k) * vStep)).rgb;
    FragColor = vec4(sum / float(taps), clamp(ps_c[0].x * 0.2, 0.0, 0.8));
}
}}
technique techMenuScreen
pass p0
vertex {{
out vec2 vUV;
void main()
{
    gl_Position = vec4(inPosition.xyz, 1.0);
    vUV = inTexCoord0.xy;
}
}}
fragment {{
in vec2 vUV;
void main()
{
    vec3 colour = texture(texBaseMap1, vUV).rgb;
    float grey = dot(colour, vec3(0.30, 0.59, 0.11));
    FragColor = vec4(grey * vec3(0.76, 0.48, 0.24) + vec3(0.04, 0.03, 0.02), 1.0);
}
}}
