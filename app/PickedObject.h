#pragma once
// The last object hit by a ray test.
// Only the entry points the game object calls for now, doing nothing yet;
// the subsystem's own work fills them in.

class CPickedObject
{
public:
    int Init();
};

extern CPickedObject g_PickedObject;
