shared {{
uniform float a;
