#include "render/Views.h"

ViewSet g_Views;

int IsOnboardTarget(const CStaticObject* object)
{
    const CCamera* camera = g_Views.Current();
    return object && camera->viewMode == VIEWMODE_ONBOARD && camera->target == object ? 1 : 0;
}

D3DXMATRIX* GetShadowMatrix(D3DXMATRIX* out, const D3DXMATRIX* world)
{
    const CCamera* camera = g_Views.Current();
    const CCamera& shadowCamera = g_Views.shadowCamera;
    D3DXMATRIX worldView, inverse;
    D3DXMatrixMultiply(&worldView, world, &camera->view);
    D3DXMatrixInverse(&inverse, nullptr, &worldView);

    // Clip space -1..1 to texture space 0..1, v downwards (texture origin top left).
    D3DXMATRIX scale, offset, toTexture, project;
    D3DXMatrixScaling(&scale, 0.5f, -0.5f, 1.0f);
    D3DXMatrixTranslation(&offset, 0.5f, 0.5f, 0.0f);
    D3DXMatrixMultiply(&toTexture, &scale, &offset);
    D3DXMatrixMultiply(&project, &shadowCamera.projection, &toTexture);

    D3DXMATRIX m;
    D3DXMatrixMultiply(&m, &inverse, world);
    D3DXMatrixMultiply(&m, &m, &shadowCamera.view);
    D3DXMatrixMultiply(out, &m, &project);
    return out;
}
