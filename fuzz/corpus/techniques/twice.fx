shared {{
uniform vec4 a;
uniform float a;
}}
