#pragma once
// The in-race display: race information, messages, overlays and the cursor.
// Only the entry points the game object calls for now, doing nothing yet;
// the display's own work fills them in.
#include "interface/MouseCursor.h"

class CGameHUD
{
public:
    int Create();
    void Render();
    void Release();

    CMouseCursor cursor;
};

extern CGameHUD g_GameHUD;
