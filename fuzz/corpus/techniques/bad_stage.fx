technique t
pass
sampler 8 ADDRESSU CLAMP
