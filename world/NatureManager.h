#pragma once
// Grass, stones and trees of the area.
// Only the entry points the game object calls for now, doing nothing yet;
// the subsystem's own work fills them in.

class CNatureManager
{
public:
    int Create();
    void Update();
    void DrawTreeStems();
    void DrawGrass();
    void DrawTreeLeafs();
    void DrawTreeLeafsShadow();
    void DrawGrassShadow();
    void Release();
};

extern CNatureManager g_Nature;
