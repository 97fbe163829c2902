#pragma once
// The splash sequence before the loading screen: a picture fades in and out,
// then the maker's logo does, with the start-up jingle under the picture. A
// click, Esc, Space or Enter skips ahead. Runs its own message loop.
#include "platform/os/WinTypes.h"
#include "render/TextureManager.h"

// What one pass of the sequence draws.
enum SplashDraw
{
    SPLASH_DRAW_NOTHING = 0,   // a black frame
    SPLASH_DRAW_PICTURE,
    SPLASH_DRAW_LOGO,
};

// The phases: 0 picture in, 1 picture out, 2 hand-over to the logo, 4 logo
// in, 5 logo out, 6 done. Each fade lasts 1 / 0.0006 ms; a wait of 1 or 2
// such spans before a phase leaves the last picture on screen.
class CSplashSequence
{
public:
    enum
    {
        PHASE_PICTURE_IN = 0,
        PHASE_PICTURE_OUT = 1,
        PHASE_TO_LOGO = 2,
        PHASE_LOGO_IN = 4,
        PHASE_LOGO_OUT = 5,
        PHASE_DONE = 6,
    };

    void Start(DWORD now, int picture, int logo);
    // The skip and the wait of one pass: 1 when this pass draws, 0 when it
    // neither draws nor presents (a wait is running).
    int Prepare(DWORD now, int skip);
    // The phase step of a drawing pass: what to draw and its alpha (0..254).
    // *jingle becomes 1 in the passes that fade the picture in, where the
    // start-up sound starts unless music is already playing.
    SplashDraw Advance(DWORD now, int* alpha, int* jingle);
    int Done() const { return phase == PHASE_DONE; }

    int phase = PHASE_PICTURE_IN;
    DWORD phaseStart = 0;
    float wait = 1.0f;
    float t = 0.0f;
    int havePicture = 0;
    int haveLogo = 0;
};

// Draws one pass into the current scene: the picture kept at 4:3 across the
// full height and centred, or the logo in the middle of the virtual screen.
void DrawSplashPass(SplashDraw what, int alpha, TextureId picture, TextureId logo);

void ShowSplashScreens();
