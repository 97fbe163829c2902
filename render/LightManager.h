#pragma once
// The device lights: the sun, ambient and fog colours.
// Only the entry points the game object calls for now, doing nothing yet;
// the subsystem's own work fills them in.

class CLightManager
{
public:
    int Init();
    void Update();
    void FreeAll();
};

extern CLightManager g_LightManager;
