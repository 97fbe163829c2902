#include "render/Camera.h"

#include <cmath>

#include "render/D3DRender.h"
#include "render/Font.h"

namespace
{
const char* const kOverlayFont = "Data/Interface/Fonts/Arial.18";
}

CCamera::CCamera()
{
    D3DXMatrixIdentity(&view);
    D3DXMatrixIdentity(&inverseView);
    D3DXMatrixIdentity(&projection);
    for (D3DXPLANE& p : frustum)
        p = D3DXPLANE(0, 0, 0, 0);
    kind = CAMERA_MAIN;
    fov = 0.0f;
    aspect = 1.0f;
    farPlane = CAMERA_FAR_PLANE;
    nearPlane = CAMERA_NEAR_PLANE;
    eye = D3DXVECTOR3(0, 0, 0);
    at = D3DXVECTOR3(0, 0, 1);
    up = D3DXVECTOR3(0, 1, 0);
    viewport.X = 0;
    viewport.Y = 0;
    viewport.Width = 800;
    viewport.Height = 600;
    viewport.MinZ = 0.0f;
    viewport.MaxZ = 1.0f;
    font = nullptr;
    viewMode = VIEWMODE_FREE;
    lastPlayerMode = VIEWMODE_FREE;
    target = nullptr;
    ResetMotion();
    fadeState = -1;
    fadeDuration = 0.0f;
    fadeElapsed = 0.0f;
    fadeWithSound = 0;
    fadeColour = D3DXCOLOR(1.0f, 1.0f, 1.0f, 1.0f);
}

void CCamera::ResetMotion()
{
    freeVelocity = D3DXVECTOR3(0, 0, 0);
    pitchRate = yawRate = 0.0f;
    chaseEyeOffset = chaseAtOffset = D3DXVECTOR3(0, 0, 0);
    chaseUp = D3DXVECTOR3(0, 1, 0);
    for (float& s : speedHistory)
        s = 0.0f;
    averageSpeed = 0.0f;
    moveRelative = moveRotate = moveStartMs = 0;
    moveDuration = moveSpeed = 0.0f;
    moveEye = moveAt = moveAxis = moveStartEye = moveStartAt = D3DXVECTOR3(0, 0, 0);
    previousEye = eye;
}

void CCamera::Init(const D3DXVECTOR3* eyeIn, const D3DXVECTOR3* atIn, float fovIn, float aspectIn, float nearIn,
                   float farIn, int viewModeIn, int kindIn)
{
    SetProjection(fovIn, aspectIn, nearIn, farIn, kindIn);
    eye = *eyeIn;
    at = *atIn;
    up = D3DXVECTOR3(0, 1, 0);
    UpdateView();
    viewMode = viewModeIn;
    lastPlayerMode = viewModeIn;
    ResetMotion();
    fadeDuration = 0.0f;
    fadeElapsed = 0.0f;
    fadeWithSound = 0;
    fadeState = -1;
    // A camera initialised again reloads its font in place.
    if (font)
        font->Release();
    else
        font = new CFont();
    font->Create(kOverlayFont);
}

void CCamera::Release()
{
    if (font)
    {
        font->Release();
        delete font;
        font = nullptr;
    }
}

void CCamera::SetProjection(float fovIn, float aspectIn, float nearIn, float farIn, int kindIn)
{
    fov = fovIn;
    aspect = aspectIn;
    nearPlane = nearIn;
    farPlane = farIn;
    kind = kindIn;
    D3DXMatrixIdentity(&view);
    D3DXMatrixIdentity(&projection);
    if (kind == CAMERA_SHADOW)
        D3DXMatrixOrthoOffCenterLH(&projection, -32.0f, 32.0f, -32.0f, 32.0f, CAMERA_NEAR_PLANE,
                                   2.0f * CAMERA_FAR_PLANE);
    else
        D3DXMatrixPerspectiveFovLH(&projection, fov, aspect, nearPlane, farPlane);
}

void CCamera::UpdateView()
{
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    if (g_Render.device)
    {
        g_Render.device->SetTransform(D3DTS_VIEW, &view);
        g_Render.device->SetTransform(D3DTS_PROJECTION, &projection);
    }
    D3DXMatrixInverse(&inverseView, nullptr, &view);
    SetShaderMatrices();
    UpdateFrustum();
}

void CCamera::SetShaderMatrices()
{
    ID3DXEffect* effect = g_Render.effect;
    if (!effect)
        return;
    effect->SetMatrix("matView", &view);
    effect->SetMatrix("matViewInverse", &inverseView);
    effect->SetMatrix("matProj", &projection);
    D3DXVECTOR4 eyePos(eye.x, eye.y, eye.z, 1.0f);
    effect->SetVector("EyePos", &eyePos);
}

void CCamera::UpdateFrustum()
{
    D3DXMATRIX m;
    D3DXMatrixMultiply(&m, &view, &projection);
    // Column j of m as a plane.
    auto column = [&m](int j) { return D3DXPLANE(m.m[0][j], m.m[1][j], m.m[2][j], m.m[3][j]); };
    const D3DXPLANE c1 = column(0), c2 = column(1), c3 = column(2), c4 = column(3);
    frustum[0] = D3DXPLANE(c4.a - c1.a, c4.b - c1.b, c4.c - c1.c, c4.d - c1.d);
    frustum[1] = D3DXPLANE(c4.a + c1.a, c4.b + c1.b, c4.c + c1.c, c4.d + c1.d);
    frustum[2] = D3DXPLANE(c4.a + c2.a, c4.b + c2.b, c4.c + c2.c, c4.d + c2.d);
    frustum[3] = D3DXPLANE(c4.a - c2.a, c4.b - c2.b, c4.c - c2.c, c4.d - c2.d);
    frustum[4] = D3DXPLANE(c4.a - c3.a, c4.b - c3.b, c4.c - c3.c, c4.d - c3.d);
    frustum[5] = D3DXPLANE(c4.a + c3.a, c4.b + c3.b, c4.c + c3.c, c4.d + c3.d);
    for (D3DXPLANE& p : frustum)
    {
        const float len = std::sqrt(p.a * p.a + p.b * p.b + p.c * p.c);
        if (len > 0.0f)
        {
            p.a /= len;
            p.b /= len;
            p.c /= len;
            p.d /= len;
        }
    }
}

D3DXMATRIX* CCamera::GetViewProj(D3DXMATRIX* out) const
{
    return D3DXMatrixMultiply(out, &view, &projection);
}

D3DXMATRIX* CCamera::MulView(D3DXMATRIX* out, const D3DXMATRIX* m) const
{
    return D3DXMatrixMultiply(out, m, &view);
}

D3DXMATRIX* CCamera::MulViewProj(D3DXMATRIX* out, const D3DXMATRIX* m) const
{
    D3DXMATRIX mv;
    D3DXMatrixMultiply(&mv, m, &view);
    return D3DXMatrixMultiply(out, &mv, &projection);
}

int CCamera::SphereVisible(const D3DXVECTOR3* centre, float radius, int* plane) const
{
    for (int i = 0; i < 6; i++)
    {
        if (D3DXPlaneDotCoord(&frustum[i], centre) < -0.9f * radius)
        {
            if (plane)
                *plane = i;
            return 0;
        }
    }
    if (plane)
        *plane = 6;
    return 1;
}

int CCamera::BoxVisible(const D3DXVECTOR3 corners[8]) const
{
    for (const D3DXPLANE& p : frustum)
    {
        int behind = 0;
        for (int k = 0; k < 8; k++)
            if (D3DXPlaneDotCoord(&p, &corners[k]) < 0.0f)
                behind++;
        if (behind == 8)
            return 0;
    }
    return 1;
}

namespace
{
// The viewport the device draws with; without a device the camera's own.
D3DVIEWPORT9 CurrentViewport(const D3DVIEWPORT9& own)
{
    D3DVIEWPORT9 vp = own;
    if (g_Render.device)
        g_Render.device->GetViewport(&vp);
    return vp;
}

float ScaleOr1(float s)
{
    return s != 0.0f ? s : 1.0f;
}
}   // namespace

int CCamera::ProjectToScreen(float* x, float* y, const D3DXVECTOR3* point, float* depth) const
{
    const D3DXVECTOR3 rel = *point - eye;
    D3DXVECTOR3 inCamera;
    D3DXVec3TransformNormal(&inCamera, &rel, &view);
    if (depth)
        *depth = inCamera.z;

    const D3DVIEWPORT9 vp = CurrentViewport(viewport);
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    D3DXVECTOR3 screen;
    D3DXVec3Project(&screen, point, &vp, &projection, &view, &world);
    if (x)
        *x = screen.x / ScaleOr1(g_Render.scaleX);
    if (y)
        *y = screen.y / ScaleOr1(g_Render.scaleY);
    return inCamera.z >= 0.0f && screen.x >= 0.0f && screen.x < g_Render.screenWidth && screen.y >= 0.0f &&
           screen.y < g_Render.screenHeight;
}

void CCamera::Unproject(float x, float y, D3DXVECTOR3* out, const D3DXMATRIX* world) const
{
    const D3DVIEWPORT9 vp = CurrentViewport(viewport);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    const D3DXVECTOR3 screen(x * ScaleOr1(g_Render.scaleX), y * ScaleOr1(g_Render.scaleY), 1.0f);
    D3DXVec3Unproject(out, &screen, &vp, &projection, &view, world ? world : &identity);
}

void CCamera::SetViewport(float x1, float y1, float x2, float y2)
{
    D3DVIEWPORT9 vp = CurrentViewport(viewport);
    const float sx = g_Render.scaleX, sy = g_Render.scaleY;
    vp.X = (DWORD)(int)(sx * x1);
    vp.Y = (DWORD)(int)(sy * y1);
    vp.Width = (DWORD)(int)(sx * x2 - sx * x1);
    vp.Height = (DWORD)(int)(sy * y2 - sy * y1);
    vp.MinZ = 0.0f;
    vp.MaxZ = 1.0f;
    viewport = vp;
    if (g_Render.device)
        g_Render.device->SetViewport(&viewport);
}
