#pragma once
// Dust particles.
// Only the entry points the game object calls for now, doing nothing yet;
// the subsystem's own work fills them in.

class CDusts
{
public:
    int Create();
    void Update();
    void Render();
    void Release();
};

extern CDusts g_Dusts;
