#pragma once
// The menu pointer drawn at the mouse position. Only the entry point the game
// frame calls for now; the pointer picture and its quad arrive with their own work.

class CMouseCursor
{
public:
    void Draw();

    int visible = 0;   // 1 while a menu page is shown
};
