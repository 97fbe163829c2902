shared {{
uniform vec4 a[0];
uniform vec4 b[100000];
}}
