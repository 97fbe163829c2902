#pragma once
// The riders: up to 64, in creation order without gaps, each created with
// its motorcycle and released with it. The manager also owns the eleven box
// shapes every ragdoll's parts share (made once at start-up from the rider
// file), updates the riders and draws them in the main and shadow passes.
#include "render/TextureManager.h"

class CHumanObject;

#define HUMAN_MAX_RIDERS 64

// The one rider file of the game.
extern const char g_HumanFile[];

class CHumanManager
{
public:
    CHumanManager();

    // Builds the ragdoll part shapes from a temporary rider. Always 1: a
    // game without usable rider data goes on, with a message, and its riders
    // stay on their motorcycles.
    int Create();
    // A new rider loaded from the file (still added when the file is
    // refused: it then draws nothing and never falls); null when 64 exist.
    // The placement is the caller's.
    CHumanObject* Add(const char* file, const float* pos, const float* target, const float* up);
    // Releases and deletes the rider; later riders move down a place. A
    // rider not in the list is ignored.
    void Remove(CHumanObject* rider);
    // Every rider released and deleted.
    void DeleteAll();
    // DeleteAll, then the part shapes.
    void Release();

    void Update();
    void UpdateVisibility();
    // In the occlusion pass: every visible rider hidden by the current
    // occluder becomes invisible.
    void CullHidden();
    // Main pass and shadow-map pass.
    void Render();
    void RenderShadows();

    // "Data/Humans/Decal%02d.bmp" 1..4 and "Data/Humans/Main%02d.bmp" 1..2.
    static TextureId LoadRandomDecal();
    static TextureId LoadRandomSuit();

    CHumanObject* riders[HUMAN_MAX_RIDERS];
    int count;
};

extern CHumanManager g_HumanManager;
