#pragma once
// A clickable line of menu text. Pages poll their buttons; a button never
// calls back into a page. A press is latched by the mouse or the keys and
// fires in the first poll more than 0.1 s of real time later, so the player
// sees the button shrink before the page reacts. Presses while one is
// latched wait (a few of them) and fire in later polls, each as long after
// the one before, so at a low frame rate quick presses are not lost to the
// latch of the one before. A held key's auto-repeat is no new press: it
// presses only a free latch and never waits.
#include <cstdint>

class CFont;
class CMenuFocus;

enum MenuAlign
{
    ALIGN_RIGHT = 0,    // the text ends at x
    ALIGN_CENTER = 1,   // centred on x
    ALIGN_LEFT = 2,     // starts at x
};

class CMenuButton
{
public:
    // The hit test against the mouse; plays the menu's hover sound when the
    // mouse has just entered the text.
    int IsMouseOver();
    // Latches a press when the left button is down over this enabled button
    // (or keeps it waiting behind a latched one); consumes the click so one
    // click presses only the first button drawn.
    int CheckClick();
    // The keyboard press of the focused button. `repeat` 1 is the
    // auto-repeat of a held key: it latches only when the latch is free and
    // is never kept, so a held key fires no faster than the latch allows and
    // leaves no presses to fire after it is let go.
    void Press(int repeat = 0);
    // 1 exactly once per press, in the first poll more than 0.1 s after it.
    int IsPressed();
    // interactive 1 also runs the hover test, the click test and the focus
    // follow; 0 draws the idle shade.
    void Draw(int interactive);

    // Sets caption (through the text table unless translate is 0), anchor,
    // size, alignment, enabling and colour in one go.
    void Set(const char* caption, float x, float y, float scale, int align, int enabled, float r, float g, float b,
             int translate = 1);
    void SetText(const char* caption);
    // Forgets the latched and the waiting press.
    void ClearLatch()
    {
        pressed = 0;
        pressWaiting = 0;
    }

    // Text box at scale s: left, top, right, bottom on the virtual screen.
    void TextBox(float s, float* left, float* top, float* right, float* bottom) const;

    CFont* font = nullptr;
    // The menu's focus and sounds, shared with the other buttons of the menu;
    // a button of no menu takes no focus and is silent.
    CMenuFocus* menu = nullptr;
    char text[64] = {};
    float x = 0.0f;
    float y = 0.0f;   // vertical centre of the line
    float scale = 1.0f;
    int align = ALIGN_CENTER;
    int enabled = 0;
    int pressed = 0;
    int hovered = 0;
    uint32_t pressTime = 0;   // real clock, ms, at the press
    float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    int pressWaiting = 0;   // further presses behind the latched one

private:
    // The press of a click or a key: latched, or (when `keep` is 1) waiting
    // behind the latch. 1 when it was taken.
    int Latch(int keep);
};

// Colour byte of a 0..1 component, truncated towards zero.
unsigned ColourByte(float c);
