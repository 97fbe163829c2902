#pragma once
// The cameras the game draws with. The game object creates and releases them;
// every layer, the game object included, reaches them here by this one name.
#include "platform/math/D3DXMath.h"
#include "render/Camera.h"

class CStaticObject;

struct ViewSet
{
    CCamera mainCamera;
    CCamera reflectionCamera;   // byte copy of the main camera; never released
    CCamera auxCamera;
    CCamera shadowCamera;
    CCamera* activeCamera = nullptr;
    D3DXVECTOR3 shadowFocus = D3DXVECTOR3(0, 0, 0);   // the ground point the shadow camera looks at

    // The active camera, or the main camera while none is set.
    const CCamera* Current() const { return activeCamera ? activeCamera : &mainCamera; }
};
extern ViewSet g_Views;

// Texture transform from the active camera's view space to shadow-map
// texture coordinates, for an object drawn with the given world matrix.
D3DXMATRIX* GetShadowMatrix(D3DXMATRIX* out, const D3DXMATRIX* world);

// 1 when the active camera rides on this object: it follows it as its target
// in the on-board view. Drawing hides such a motorcycle (and its rider) from
// the camera that sits on it.
int IsOnboardTarget(const CStaticObject* object);
