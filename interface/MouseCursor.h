#pragma once
// The menu pointer drawn at the mouse position: a 26 x 36 picture with its
// hot spot 6 units from the left and 4 from the top.
#include "interface/ScreenQuad.h"

class CMouseCursor
{
public:
    // Hidden, picture loaded, quad set up.
    void Create();
    void Draw();
    void Release();

    int visible = 0;   // 1 while a menu page is shown
    TextureId texture = -1;
    CScreenQuad quad;
};
