#pragma once
// The pieces of the camera's fade and statistics panel that can be checked
// on their own.
#include "platform/math/D3DXMath.h"

class CCamera;

// How far a fade is, 0..100; a fade of no length is at 100.
float FadePercent(float elapsed, float duration);
// The ARGB colour of the fade rectangle (alpha 0: nothing to draw) for
// fadeState 0 (out) or 1 (in).
DWORD FadeColour(int fadeState, float percent, const D3DXCOLOR& colour);

#define CAMERA_STAT_LINES 18
#define CAMERA_STAT_LINE  64
// The statistics panel's lines; returns how many (13, or 18 with a player).
int CameraStatisticsLines(const CCamera& camera, char lines[][CAMERA_STAT_LINE]);
