// Option rows: a caption button with its value text beside it.
#include "interface/MenuOption.h"

#include "render/Font.h"

void CMenuOption::DrawValue(unsigned colour)
{
    if (!label.font)
        return;
    // Anchored like a button at the label's x, at the label's own size (not
    // its pressed size), so the value stays put while the label shrinks.
    CMenuButton box = label;
    box.align = valueAlign;
    box.SetText(value);
    float left, top, right, bottom;
    box.TextBox(label.scale, &left, &top, &right, &bottom);
    label.font->DrawTextGlow(left, top, value, colour, 0xFF000000, label.scale);
}

void CMenuOption::Draw()
{
    label.Draw(1);
    DrawValue(0xFF000000u | (ColourByte(valueColour[0]) << 16) | (ColourByte(valueColour[1]) << 8) |
              ColourByte(valueColour[2]));
}

void CMenuOption::DrawReadOnly()
{
    label.Draw(0);
    DrawValue(0xFFFF9B37u);
}
