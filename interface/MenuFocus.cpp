// The focus list of the menu's buttons and the focus that follows the mouse.
#include "interface/MenuFocus.h"

void CMenuFocus::SetFocus(CMenuButton* button)
{
    for (int i = 0; i < focusCount; ++i)
        if (focusList[i] == button)
        {
            focusIndex = i;
            focused = button;
        }
}

void CMenuFocus::SetFocusList(CMenuButton* const* list, int count, int first)
{
    if (count < 0)
        count = 0;
    if (count > MENU_FOCUS_LIST)
        count = MENU_FOCUS_LIST;
    for (int i = 0; i < MENU_FOCUS_LIST; ++i)
        focusList[i] = i < count ? list[i] : nullptr;
    focusCount = count;
    focusIndex = (first >= 0 && first < count) ? first : 0;
    focused = count > 0 ? focusList[focusIndex] : nullptr;
}
