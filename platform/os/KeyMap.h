#pragma once
// Translates SDL keycodes into the Windows virtual-key codes the game's key
// handling is written against (platform/WinTypes.h).

// Returns the virtual-key code for an SDL_Keycode, 0 when the key has none.
// Both Shift keys give VK_SHIFT and both Ctrl keys VK_CONTROL; letters give
// their upper-case ASCII code and digits theirs.
int SdlKeyToVirtualKey(int sdlKeycode);
