technique t
pass
state CULLMODE 4294967295
state ALPHAREF 99999999999
sampler 3 MIPFILTER 0xffffffff
vertex {{
v
}}
fragment {{
f
}}
