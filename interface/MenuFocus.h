#pragma once
// The keyboard focus that a menu's buttons share, and the sounds they make.
// The menu is one; each of its buttons points at it, so a button takes the
// focus on hover and sounds without knowing the pages around it.
class CGameSound;
class CMenuButton;

#define MENU_FOCUS_LIST 32

class CMenuFocus
{
public:
    // Focus on `button` when it is in the focus list; otherwise nothing.
    void SetFocus(CMenuButton* button);
    // Puts buttons into the focus list; focus on entry `first`.
    void SetFocusList(CMenuButton* const* list, int count, int first);

    CMenuButton* focused = nullptr;
    CMenuButton* focusList[MENU_FOCUS_LIST] = {};
    int focusIndex = -1;
    int focusCount = 0;

    // Hover and press sounds; null when they failed to load.
    CGameSound* soundIn = nullptr;
    CGameSound* soundPress = nullptr;
};
