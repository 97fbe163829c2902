#pragma once
// The device lights and the global lighting inputs of the techniques, kept in
// step with the sky: one directional sun whose colour and direction follow
// the time of day, the ambient colour and the fog colour, each both as a
// device render state and as an effect parameter. A pass may save the sun,
// change it and put it back.
//
// The sky lives in the world above this layer; it hands the light manager
// pointers to its values (SkyLightInputs) when it is created.
#include <cstdint>

#include "platform/d3d/D3D9.h"

#define LIGHT_SLOTS 8

// Light kinds of SetLight.
enum LightKind
{
    LIGHT_KIND_POINT = 1,
    LIGHT_KIND_DIRECTIONAL = 2,
    LIGHT_KIND_SPOT = 3,
};

// Where the sky keeps what the lights follow; null pointers read as "no sky
// yet", and Update then leaves the lights alone.
struct SkyLightInputs
{
    const float* sunDirection;   // [3], the direction sunlight travels
    const float* sunColor;       // [4]
    const float* sunIntensity;   // 0 (night) to 1 (day)
    const float* ambientColor;   // [4]
    const float* fogColor;       // [4]
};

struct LightSlot
{
    int index;   // Direct3D light index, -1 = free
    int kind;
    D3DLIGHT9 light;
    int enabled;
};

class CLightManager
{
public:
    CLightManager();

    // Every slot freed, then the sun as a directional light in slot 0 with
    // device index 0. Returns 1.
    int Init();
    // Follows the sky, at most every 0.05 s of game time.
    void Update();
    // Switches off every light in use and frees every slot.
    void FreeAll();
    // Around a device reset: the lights in use off and on again; the slots stay.
    void EnableAll();
    void DisableAll();

    void SaveSun();
    void RestoreSun();
    void SetSunColor(const float colour[4]);
    void SetSunDirection(const D3DXVECTOR3* direction);
    void SetFogColor(const float colour[4]);
    // The fog colour of the sky again, after a pass that changed it.
    void ResetFogColor();
    void SetLight(int slot, int index, int kind, const D3DXVECTOR3* point, float range);

    // The sky's values (see SkyLightInputs).
    void ConnectSky(const SkyLightInputs& inputs) { sky = inputs; }
    void DisconnectSky() { sky = SkyLightInputs{}; }

    LightSlot slots[LIGHT_SLOTS];
    int sunSlot;
    float savedSunColor[4];
    float savedSunDirection[3];
    int savedSunEnabled;
    float sunColor[4];
    uint32_t lastUpdate;
    SkyLightInputs sky;

private:
    // The sun's slot, or null when Init has not made one.
    LightSlot* Sun();
};

extern CLightManager g_LightManager;
