#pragma once
// timeGetTime: milliseconds of a monotonic clock, wrapping at 32 bits.
// Tests can take the clock over: set it to a value and step it by hand.
#include "platform/os/WinTypes.h"

DWORD timeGetTime();

void ClockSetManual(DWORD ms);   // from now on timeGetTime() returns ms
void ClockAdvance(DWORD ms);     // steps the manual clock (wraps at 32 bits)
void ClockUseSystem();           // back to the monotonic clock
