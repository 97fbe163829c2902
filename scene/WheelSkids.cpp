#include "scene/WheelSkids.h"

#include <cmath>

#include "common/MathUtil.h"
#include "core/GameClock.h"
#include "core/RaceState.h"
#include "render/D3DRender.h"
#include "render/Views.h"

CWheelSkids g_Skids;
SkidHooks g_SkidHooks;

namespace
{
const char kTexturePath[] = "Data/Effects/WheelSkids/Skids.dds";
const float kMinSpacing = 0.25f;
const float kHalfWidth = 0.06f;
const float kLift = 0.1f;
const float kFadeStart = 4.0f;
const float kLifeTime = 8.0f;
const DWORD kSkidFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;
const int kWinter = 2;

float Distance(const float a[3], const float b[3])
{
    const float dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

DWORD Channel(float c, int shift)
{
    const float clamped = c > 1.0f ? 1.0f : (c > 0.0f ? c : 0.0f);
    return DWORD(int(clamped * 255.0f)) << shift;
}

int CurrentSeason()
{
    if (g_CurrentRace < 0 || g_CurrentRace >= RACE_ROWS)
        return 0;
    return g_RaceTable.season[g_CurrentRace];
}

void SetAlpha(SkidVertex& v, int alpha)
{
    v.colour = (v.colour & 0x00FFFFFFu) | (DWORD(alpha & 0xFF) << 24);
}

// A strip shows something when a point other than its first, and other than
// the last of an ended strip, was laid with some strength.
bool StripShows(const CSkidStrip& s)
{
    const int end = s.owner ? s.pointCount : s.pointCount - 1;
    for (int i = 1; i < end; ++i)
        if (s.intensities[i] > 0)
            return true;
    return false;
}
}   // namespace

void CSkidStrip::Clear()
{
    used = 0;
    owner = nullptr;
    age = 0.0f;
    length = 0.0f;
    pointCount = 0;
}

void CSkidStrip::End()
{
    if (owner && g_SkidHooks.releaseOwner)
        g_SkidHooks.releaseOwner(owner, this);
    if (pointCount > 0)
    {
        SetAlpha(skidVertices[2 * pointCount - 2], 0);
        SetAlpha(skidVertices[2 * pointCount - 1], 0);
    }
    owner = nullptr;
}

int CSkidStrip::AddPoint(const float point[3], float intensity)
{
    if (pointCount >= MAX_POINTS)
        return 0;
    const SkidVertex* lastLeft = pointCount > 0 ? &skidVertices[2 * pointCount - 2] : nullptr;
    const float lastPoint[3] = {lastLeft ? lastLeft->x : 0.0f, lastLeft ? lastLeft->y : 0.0f,
                                lastLeft ? lastLeft->z : 0.0f};
    const float step = lastLeft ? Distance(point, lastPoint) : 0.0f;
    if (lastLeft && !(step >= kMinSpacing))
        return 0;
    if (!owner)
    {
        End();
        return 0;
    }

    const float clampedIntensity = std::fmin(1.0f, std::fmax(0.0f, intensity));
    const int alpha = pointCount == 0 ? 0 : int(clampedIntensity * 255.0f);
    intensities[pointCount] = alpha;

    float r = 0.6f, g = 0.2f, b = 0.0f;
    if (CurrentSeason() == kWinter)
        r = g = b = 0.6f;
    const float power = g_SkidHooks.routePower ? g_SkidHooks.routePower(point) : 0.0f;
    if (power > 75.0f)
        r = g = b = 0.0f;
    else if (power > 50.0f)
    {
        const float t = 1.0f - (power - 50.0f) * 0.04f;
        r = 0.6f * t;
        g *= t;
        b *= t;
    }
    const DWORD colour = (DWORD(alpha) << 24) | Channel(r, 16) | Channel(g, 8) | Channel(b, 0);

    D3DXVECTOR3 side(1.0f, 0.0f, 0.0f);
    if (pointCount == 0)
    {
        float s[3] = {1.0f, 0.0f, 0.0f};
        if (g_SkidHooks.ownerSide)
            g_SkidHooks.ownerSide(owner, s);
        side = D3DXVECTOR3(s[0], s[1], s[2]);
    }
    else
    {
        const SkidVertex& l = skidVertices[2 * pointCount - 2];
        const SkidVertex& rr = skidVertices[2 * pointCount - 1];
        const D3DXVECTOR3 middle((l.x + rr.x) * 0.5f, (l.y + rr.y) * 0.5f, (l.z + rr.z) * 0.5f);
        D3DXMATRIX frame;
        MatrixFromPosTargetUp(frame, middle, D3DXVECTOR3(point[0], point[1], point[2]), D3DXVECTOR3(0, 1, 0));
        side = D3DXVECTOR3(frame._11, frame._12, frame._13);
        length += step;
    }

    SkidVertex* pair = &skidVertices[2 * pointCount];
    for (int k = 0; k < 2; ++k)
    {
        const float sign = k == 0 ? -kHalfWidth : kHalfWidth;
        SkidVertex& v = pair[k];
        v.x = point[0] + sign * side.x;
        v.y = point[1] + sign * side.y;
        v.z = point[2] + sign * side.z;
        v.colour = colour;
        v.u = float(k);
        v.v = 3.0f * length;
        const float at[3] = {v.x, v.y, v.z};
        v.y = (g_SkidHooks.groundHeight ? g_SkidHooks.groundHeight(at) : 0.0f) + kLift;
    }

    ++pointCount;
    if (pointCount == MAX_POINTS)
        End();
    return 1;
}

CWheelSkids::CWheelSkids() : strips(), texture(-1)
{
    Reset();
}

int CWheelSkids::Create()
{
    Reset();
    stats = SkidStats();
    texture = g_Render.LoadTexture(kTexturePath, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    return 1;
}

CSkidStrip* CWheelSkids::NewStrip(CVehicleObject* owner)
{
    for (CSkidStrip& s : strips)
        if (!s.used)
        {
            s.Clear();
            s.used = 1;
            s.owner = owner;
            ++stats.opened;
            return &s;
        }
    ++stats.refused;
    return nullptr;
}

void CWheelSkids::Update()
{
    const float dt = g_Clock.m_GameStep;
    for (CSkidStrip& s : strips)
    {
        if (!s.used)
            continue;
        s.age += dt;
        if (s.age > kLifeTime)
        {
            if (s.owner && g_SkidHooks.releaseOwner)
                g_SkidHooks.releaseOwner(s.owner, &s);
            Retire(s);
            continue;
        }
        if (s.age <= kFadeStart)
            continue;
        const float f = 1.0f - (s.age - kFadeStart) * 0.25f;
        for (int i = 0; i < s.pointCount; ++i)
        {
            const bool hidden = i == 0 || (!s.owner && i == s.pointCount - 1);
            const int alpha = hidden ? 0 : int(float(s.intensities[i]) * f);
            SetAlpha(s.skidVertices[2 * i], alpha);
            SetAlpha(s.skidVertices[2 * i + 1], alpha);
        }
    }
}

void CWheelSkids::Render()
{
    IDirect3DDevice9* device = g_Render.device;
    if (!device)
        return;
    g_Render.SetFog(0);
    g_Render.SetLighting(0);
    g_Render.SetZEnable(1);
    g_Render.SetZWrite(0);
    device->SetFVF(kSkidFVF);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_WORLD, &identity);
    g_Render.BindTexture(texture, 1, 0);

    const CCamera* camera = g_Views.Current();
    for (const CSkidStrip& s : strips)
    {
        if (!s.used || s.pointCount < 2)
            continue;
        D3DXVECTOR3 centre(0, 0, 0);
        for (int i = 0; i < s.pointCount; ++i)
            centre += D3DXVECTOR3(s.skidVertices[2 * i].x, s.skidVertices[2 * i].y, s.skidVertices[2 * i].z);
        centre /= float(s.pointCount);
        const D3DXVECTOR3 first(s.skidVertices[0].x, s.skidVertices[0].y, s.skidVertices[0].z);
        if (!camera->SphereVisible(&centre, VecDistance(centre, first)))
            continue;
        device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, UINT(2 * s.pointCount - 2), s.skidVertices, sizeof(SkidVertex));
    }
    g_Render.SetStageColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEMP, D3DTA_CURRENT);
    g_Render.BindTexture(-1, 0, 0);
}

void CWheelSkids::Retire(CSkidStrip& strip)
{
    if (strip.used)
    {
        ++stats.retired;
        if (StripShows(strip))
            ++stats.shown;
        stats.longestStrip = std::fmax(stats.longestStrip, strip.length);
    }
    strip.Clear();
}

void CWheelSkids::Reset()
{
    for (CSkidStrip& s : strips)
        Retire(s);
}

void CWheelSkids::Release()
{
    Reset();
    if (texture != -1)
        g_Render.ReleaseTexture(texture);
    texture = -1;
}
