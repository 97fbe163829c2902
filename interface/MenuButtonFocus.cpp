// The menu's keys on its buttons: Up and Down with wrap-around past disabled
// buttons, Enter and Space as presses, and Esc as the page's way back.
#include "audio/GameSound.h"
#include "core/Controls.h"
#include "core/InputState.h"
#include "interface/MainMenu.h"

int CMainMenu::BackFired(CMenuButton* back)
{
    int fired = back ? back->IsPressed() : 0;
    return fired || g_KeyFlags[KEY_ESC];
}

namespace
{
// Next enabled entry from `from` in steps of `step`, each entry visited at
// most once; -1 when none is enabled.
int StepFocus(CMenuButton* const* list, int count, int from, int step)
{
    int i = from;
    for (int n = 0; n < count; ++n)
    {
        i = (i + step + count) % count;
        if (list[i] && list[i]->enabled)
            return i;
    }
    return -1;
}
}   // namespace

void CMainMenu::UpdateMenuKeys()
{
    if (focusCount <= 0)
        return;
    int before = focusIndex;
    // While the mouse rests on the focused button an arrow waits, and acts as
    // soon as the mouse leaves.
    int mouseOnFocus = focused && focused->hovered;
    const int arrows[2][2] = {{KEY_UP, -1}, {KEY_DOWN, 1}};
    for (const auto& arrow : arrows)
    {
        if (!g_KeyFlags[arrow[0]] || mouseOnFocus)
            continue;
        int start = (focusIndex >= 0 && focusIndex < focusCount) ? focusIndex : (arrow[1] > 0 ? -1 : focusCount);
        int next = StepFocus(focusList, focusCount, start, arrow[1]);
        if (next >= 0)
        {
            focusIndex = next;
            focused = focusList[next];
        }
        ConsumeKey(arrow[0]);
    }
    if (focusIndex != before && soundIn)
        soundIn->Play(0);
    // While a name is typed the Space key types a space; it must not also
    // press the focused button.
    if (g_TextInput)
        ConsumeKey(KEY_SPACE);
    if ((g_KeyFlags[KEY_ENTER] || g_KeyFlags[KEY_SPACE]) && focused)
    {
        // A key held down repeats; only a new press of Enter or Space may
        // wait behind a latch, or the repeats would fire on after the key
        // was let go.
        const int newPress = (g_KeyFlags[KEY_ENTER] && !g_KeyRepeated[KEY_ENTER]) ||
                             (g_KeyFlags[KEY_SPACE] && !g_KeyRepeated[KEY_SPACE]);
        focused->Press(!newPress);
        ConsumeKey(KEY_ENTER);
        ConsumeKey(KEY_SPACE);
    }
}
