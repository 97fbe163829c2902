technique t
pass
vertex {{
x
}}
fragment {{
y
}}
technique t
