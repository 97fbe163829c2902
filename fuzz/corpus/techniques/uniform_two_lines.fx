shared {{
uniform vec4
 a;
}}
