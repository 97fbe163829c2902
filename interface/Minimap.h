#pragma once
// The minimap's geometry: where a motorcycle lies on the 160 x 200 map in the
// display's bottom-left corner and the four corners of its arrow.
#include "platform/math/D3DXMath.h"

#define MINIMAP_LEFT   0.0f
#define MINIMAP_TOP    400.0f
#define MINIMAP_WIDTH  160.0f
#define MINIMAP_HEIGHT 200.0f

// Map position of world (x, z) on an area of side `worldSize` centred on the
// origin; world z grows upward on the screen. 0 (and nothing written) when
// the area has no size, as before any area is loaded.
int MinimapPoint(float x, float z, float worldSize, float* mx, float* my);

// The arrow's corners for a motorcycle facing `forward` (its y ignored),
// scaled (0.6 rivals, 0.7 the player), around the map point (mx, my), in the
// screen quad's strip order: the icon's top-left, bottom-left, top-right and
// bottom-right corners; z 0. 0 when the heading has no horizontal direction.
int MinimapArrowCorners(const D3DXVECTOR3& forward, float scale, float mx, float my, float corners[4][3]);
