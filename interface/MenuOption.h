#pragma once
// A row of a caption button and a value text beside it. The label comes first
// so a pointer to the row is also a pointer to its label: focus lists hold
// option rows through their label.
#include "interface/MenuButton.h"

class CMenuOption
{
public:
    // The label interactively, then the value.
    void Draw();
    // The label without any mouse test, the value in a fixed orange.
    void DrawReadOnly();

    CMenuButton label;
    char value[64] = {};
    int valueAlign = ALIGN_LEFT;   // anchored at the label's x
    float valueColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};

private:
    void DrawValue(unsigned colour);
};
