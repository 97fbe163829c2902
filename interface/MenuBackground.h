#pragma once
// The picture behind the menu pages.
// Only the entry points the game object calls for now, doing nothing yet;
// the subsystem's own work fills them in.

class CMenuBackground
{
public:
    int Create();
    void Release();
};

extern CMenuBackground g_MenuBackground;
