technique t
pass
vertex {{
void main(){}
}}
