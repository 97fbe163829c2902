#pragma once
// Keyboard input as flags: the window procedure sets them on key-down and
// clears them on key-up, the per-frame code polls them.
#include "platform/os/WinTypes.h"

// The ten rebindable driving controls, in the order of g_ControlFlags.
enum ControlAction
{
    CTRL_THROTTLE = 0,
    CTRL_BRAKE,
    CTRL_TURN_LEFT,
    CTRL_TURN_RIGHT,
    CTRL_FULL_BRAKE,
    CTRL_CHANGE_VIEW,
    CTRL_BACK_VIEW,
    CTRL_JUMP,
    CTRL_KICK_LEFT,
    CTRL_KICK_RIGHT,
    CTRL_COUNT
};

// Fixed keys with a held-key flag in g_KeyFlags.
enum KeyFlag
{
    KEY_F1 = 0,
    KEY_ESC,
    KEY_SHIFT,
    KEY_CTRL,
    KEY_TAB,
    KEY_ENTER,
    KEY_SPACE,
    KEY_LEFT,
    KEY_RIGHT,
    KEY_UP,
    KEY_DOWN,
    KEY_A,
    KEY_Z,
    KEY_PGDN,
    KEY_PGUP,
    KEY_INSERT,
    KEY_DELETE,
    KEY_COUNT
};

struct ControlBinding
{
    int* flag;   // the action flag in g_ControlFlags
    int key;     // Windows virtual-key code
};

// Action flags (0 or 1). A reader that acts once per press takes the press
// with ConsumeControl.
extern int g_ControlFlags[CTRL_COUNT];
// Held-key flags, 1 while the key is down. A reader that acts once per press
// takes it with ConsumeKey. Only the key handlers below and these verbs write
// the flags (tests set them to stand for a press).
extern int g_KeyFlags[KEY_COUNT];
// 1 while a key's flag stands only for the auto-repeat of a key held down:
// no new press came since the flag was last taken or let go.
extern int g_KeyRepeated[KEY_COUNT];
extern ControlBinding g_ControlBindings[CTRL_COUNT];

// Placed objects' draw passes run only while this is 1 (Ctrl+S in debug mode).
extern int g_ShowStaticObjects;

// What the controls need from the subsystems above them: whether the
// front-end menu is up (connected by ConnectInterfaceLinks), and the
// developer's fill and shade toggles (ConnectRenderLinks). An unset entry
// reads as "no menu" and does nothing.
struct ControlHooks
{
    int (*menuActive)();
    void (*toggleFillMode)();
    void (*toggleShadeMode)();
};
extern ControlHooks g_ControlHooks;

// Return 1 when the key is bound and the window is active with no front-end
// menu open, else 0; only then do they change an action flag.
int ControlKeyDown(int key);
int ControlKeyUp(int key);

// The window procedure's handling of WM_KEYDOWN / WM_KEYUP (after its own
// text-entry handling): action flags, held-key flags and the debug keys.
// `repeat` 1 marks the auto-repeat of a key already held down.
void OnKeyDown(WPARAM vk, int repeat = 0);
void OnKeyUp(WPARAM vk);

// The g_KeyFlags index of a virtual-key code, -1 when the key has no flag.
int KeyFlagIndex(int vk);

// One way to take a press: 1 when the key (a KEY_ index) was down, and it
// reads as up from then on until it is pressed again, so the readers after
// this one in the frame do not act on it too; 0 when it was up. Who reads a
// key first in a frame (CGame::Frame): the clock (Page Up/Down), the drawing
// (the landscape's Insert, the HUD's Esc, F1, Enter, Space and arrows, the
// menu buttons' click), then the updates (the player's motorcycle, the
// camera's view change, the menu's keys, the game event's back view).
int ConsumeKey(int key);
// The same for an action flag (a CTRL_ index).
int ConsumeControl(int action);
// Sets an action flag as a key press would (the spectator's back view).
void PressControl(int action);
