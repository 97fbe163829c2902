#pragma once
// The game object. For now only what start-up and the main loop need: the
// world, racers and drawing arrive with their own work.
class CGame
{
public:
    int Create();          // 1 on success
    void Frame();          // one frame; returns at once while the window is inactive
    void Release();
    void StartRace(int row);   // -1 keeps the current row
    int currentRace = 0;
};

extern CGame g_Game;
