#pragma once
// The list of placed objects of the area: update, visibility, drawing passes by type mask.
// Only the entry points the game object calls for now, doing nothing yet;
// the subsystem's own work fills them in.

class CStaticObjectManager
{
public:
    // Once, from CGame::Create.
    int Create();
    void Update();
    void UpdateVisibility();
    // Hides what buildings cover, after the visibility pass.
    void CheckOcclusion();
    void Draw(int typeMask);
    void DrawChromeGlass(int typeMask);
    void DrawLightEffects(int typeMask);
    // Into the shadow map.
    void DrawShadows(int typeMask);
    void Release();
};

extern CStaticObjectManager g_StaticObjects;
