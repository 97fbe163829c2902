pass p0
