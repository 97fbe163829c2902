#pragma once
// Skid marks of the wheels.
// Only the entry points the game object calls for now, doing nothing yet;
// the subsystem's own work fills them in.

class CWheelSkids
{
public:
    int Create();
    void Update();
    void Render();
    void Release();
};

extern CWheelSkids g_Skids;
