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
