// small
shared {{
uniform mat4 matWorld;
uniform vec4 colours[4];
uniform float fade;
uniform int mode;
uniform bool lit;
uniform vec2 uv;
uniform vec3 dir;
uniform sampler2D texA;
uniform samplerCube texB;
}}
samplerstate texA ADDRESSU CLAMP
samplerstate texA MINFILTER POINT
technique techA
pass p0
state CULLMODE NONE
state ALPHATESTENABLE TRUE
state SRCBLEND SRCALPHA
state ALPHAREF 0x80
state ZFUNC LESSEQUAL
sampler 0 ADDRESSU CLAMP
sampler 7 MAGFILTER LINEAR
vertex {{
void main() { gl_Position = inPosition * matWorld; }
}}
fragment {{
out vec4 FragColor;
void main() { FragColor = colours[1] * fade; }
}}
pass
vertex {{
void main() { gl_Position = inPosition; }
}}
fragment {{
void main() { FragColor = vec4(1.0); }
}}
technique techB
pass second
vertex {{
void main() { gl_Position = inPosition; }
}}
fragment {{
/* uniform junk x; */ void main() { FragColor = texture(texA, uv); }
}}
