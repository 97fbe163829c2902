#pragma once
// The small set of Windows-style types, message codes and virtual-key codes the
// game's window procedure and input code are written against. The SDL layer in
// platform/Window translates SDL events into these messages.
#include <cstdint>

typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef int BOOL;
typedef unsigned int UINT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef int32_t HRESULT;
typedef struct WindowHandle* HWND;   // opaque: the SDL window behind it
typedef void* HINSTANCE;

#ifndef TRUE
#define TRUE  1
#define FALSE 0
#endif

#define LOWORD(l)          ((WORD)(((uintptr_t)(l)) & 0xffff))
#define HIWORD(l)          ((WORD)((((uintptr_t)(l)) >> 16) & 0xffff))
#define MAKELPARAM(lo, hi) ((LPARAM)(((uint32_t)(WORD)(lo)) | (((uint32_t)(WORD)(hi)) << 16)))

// Window messages.
#define WM_NULL          0x0000
#define WM_DESTROY       0x0002
#define WM_ACTIVATE      0x0006
#define WM_SETFOCUS      0x0007
#define WM_KILLFOCUS     0x0008
#define WM_CLOSE         0x0010
#define WM_QUIT          0x0012
#define WM_KEYDOWN       0x0100
#define WM_KEYUP         0x0101
#define WM_CHAR          0x0102
#define WM_MOUSEMOVE     0x0200
#define WM_LBUTTONDOWN   0x0201
#define WM_LBUTTONUP     0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_RBUTTONDOWN   0x0204
#define WM_RBUTTONUP     0x0205
#define WM_RBUTTONDBLCLK 0x0206

// WM_ACTIVATE low word.
#define WA_INACTIVE    0
#define WA_ACTIVE      1
#define WA_CLICKACTIVE 2

// Message box types and results.
#define MB_OK              0x00000000
#define MB_ICONHAND        0x00000010
#define MB_ICONERROR       MB_ICONHAND
#define MB_ICONEXCLAMATION 0x00000030
#define MB_ICONWARNING     MB_ICONEXCLAMATION
#define MB_ICONINFORMATION 0x00000040
#define IDOK               1

// Virtual-key codes.
#define VK_BACK       0x08
#define VK_TAB        0x09
#define VK_RETURN     0x0D
#define VK_SHIFT      0x10
#define VK_CONTROL    0x11
#define VK_MENU       0x12
#define VK_PAUSE      0x13
#define VK_CAPITAL    0x14
#define VK_ESCAPE     0x1B
#define VK_SPACE      0x20
#define VK_PRIOR      0x21
#define VK_NEXT       0x22
#define VK_END        0x23
#define VK_HOME       0x24
#define VK_LEFT       0x25
#define VK_UP         0x26
#define VK_RIGHT      0x27
#define VK_DOWN       0x28
#define VK_INSERT     0x2D
#define VK_DELETE     0x2E
// '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A, as their ASCII codes.
#define VK_NUMPAD0    0x60
#define VK_MULTIPLY   0x6A
#define VK_ADD        0x6B
#define VK_SUBTRACT   0x6D
#define VK_DECIMAL    0x6E
#define VK_DIVIDE     0x6F
#define VK_F1         0x70
#define VK_F2         0x71
#define VK_F3         0x72
#define VK_F4         0x73
#define VK_F5         0x74
#define VK_F6         0x75
#define VK_F7         0x76
#define VK_F8         0x77
#define VK_F9         0x78
#define VK_F10        0x79
#define VK_F11        0x7A
#define VK_F12        0x7B
#define VK_OEM_1      0xBA
#define VK_OEM_PLUS   0xBB
#define VK_OEM_COMMA  0xBC
#define VK_OEM_MINUS  0xBD
#define VK_OEM_PERIOD 0xBE
#define VK_OEM_2      0xBF
#define VK_OEM_3      0xC0
#define VK_OEM_4      0xDB
#define VK_OEM_5      0xDC
#define VK_OEM_6      0xDD
#define VK_OEM_7      0xDE
