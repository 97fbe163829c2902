#pragma once
// Input paced to the frames that read it.
//
// The per-frame code polls flags that the window procedure sets on a press
// and clears on its release, and takes one typed character a frame. At the
// 7-20 frames a second this game runs at, a quick tap or click is often
// pressed and released between two frames, and two characters are often
// typed between two frames: the release would clear the press before any
// frame saw it, and the second character would overwrite the first.
//
// So the window procedure first asks HoldBackInput whether a message must
// wait, and after every frame InputFrameDone hands the messages that waited
// back to the procedure, in the order they came. A message waits when
// - it releases a key or mouse button whose press no frame has seen yet;
// - it is typed text (a character, or Enter, Backspace or Esc of the text
//   entry) while the text entry still holds one no frame has taken;
// - an earlier message of the same key, of the mouse or of the text entry
//   is waiting (so a second press counts in the next frame, and a click
//   lands where it was made).
// Every other message goes through at once, so keys that do not wait are
// never slowed down by those that do.
#include "platform/os/Window.h"

// 1 when the message was kept to be handed to `proc` after the next frame
// (the caller then does nothing more with it); 0 when it is to be handled now.
int HoldBackInput(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// A frame (or a pass of a loop of its own that polls the input) has seen the
// input: the presses delivered so far count as seen, and the messages that
// waited go to their procedure again, in order (some may wait once more).
void InputFrameDone();

// Forgets every waiting message and what the frames have seen.
void ResetInputPacing();

// Messages waiting now (for tests and for the developer's curiosity).
int InputMessagesWaiting();
