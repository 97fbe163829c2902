// Menu buttons: hover, latch, delayed press and drawing.
#include "interface/MenuButton.h"

unsigned ColourByte(float c)
{
    return (unsigned)(c * 255.0f);
}
int CMenuButton::IsMouseOver()
{
    return 0;
}
int CMenuButton::CheckClick()
{
    return 0;
}
void CMenuButton::Press() {}
int CMenuButton::IsPressed()
{
    return 0;
}
void CMenuButton::Draw(int) {}
