#pragma once
// Everything of the graphics layer: the Direct3D 9 style device, the D3DX 9
// style helpers and the layer's own backend controls.
#include "platform/d3d/D3D9Backend.h"
#include "platform/d3d/D3D9Interfaces.h"
#include "platform/d3d/D3D9Types.h"
#include "platform/d3d/D3DX9.h"
