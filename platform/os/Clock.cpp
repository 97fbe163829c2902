#include "platform/os/Clock.h"

#include <chrono>

namespace
{
bool s_Manual = false;
DWORD s_ManualMs = 0;
}   // namespace

DWORD timeGetTime()
{
    if (s_Manual)
        return s_ManualMs;
    using namespace std::chrono;
    // Truncation to 32 bits gives the same wrap-around as the system call.
    return (DWORD)duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void ClockSetManual(DWORD ms)
{
    s_Manual = true;
    s_ManualMs = ms;
}

void ClockAdvance(DWORD ms)
{
    s_ManualMs += ms;
}

void ClockUseSystem()
{
    s_Manual = false;
}
