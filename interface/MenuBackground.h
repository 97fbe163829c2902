#pragma once
// A menu backdrop object the game creates, resets and releases but never
// draws: the only mode ever asked for (0) shows nothing.
#include "render/TextureManager.h"

#define MENU_BACKGROUND_PICTURES 16

class CMenuBackground
{
public:
    CMenuBackground();
    // The game object's create step for it does nothing but succeed.
    int Create();
    // Stores both modes, forgets the picture numbers and releases the two
    // textures it holds.
    void SetMode(int newMode, int second);
    // The two textures and every picture of the list.
    void Release();

    int mode;
    int secondMode;
    float driftX, driftY;         // offsets of the drifting picture
    float driftDirX, driftDirY;   // and their directions
    int currentPicture;
    int nextPicture;
    TextureId textures[2];
    TextureId pictures[MENU_BACKGROUND_PICTURES];
    int pictureCount;
    DWORD tint[2];
};

extern CMenuBackground g_MenuBackground;
