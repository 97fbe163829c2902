#pragma once
// Sky, time of day, sun and shadow light.
// Only the entry points the game object calls for now, doing nothing yet;
// the subsystem's own work fills them in.

class CSky
{
public:
    int Create();
    // Once per frame while the world runs, before the lights.
    void Update();
    // Clears the depth itself.
    void Draw();
    void DrawFlare();
    void Release();

    // Unit direction from the scene towards the light that casts shadows.
    float shadowDirection[3] = {0.0f, 1.0f, 0.0f};
    // 0 to 1: how dark the shadows of objects are.
    float shadowStrength = 0.0f;
};

extern CSky g_Sky;
