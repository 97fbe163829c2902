#pragma once
// What the racer benchmarks need once per program: the demo data as the
// working folder through the file manager, message boxes answered at once, a
// recording device, and the race table at its first row.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/Game.h"
#include "core/FileManager.h"
#include "core/RaceState.h"
#include "core/Settings.h"
#include "platform/os/MessageBox.h"
#include "tests/support/Paths.h"
#include "tests/support/TestDevice.h"

namespace benchsetup
{

inline int QuietBox(HWND, const char*, const char*, UINT)
{
    return IDOK;
}

struct DemoDataGame
{
    DemoDataGame()
    {
        const std::string root = testsupport::DemoDataDir();
        if (chdir(root.c_str()) != 0)
            std::fprintf(stderr, "no demo data in %s\n", root.c_str());
        SetMessageBoxHook(QuietBox);
        g_UseFileManager = 1;
        g_FileManager.Create();
        device.Open(D3DBackendKind::Recording, 320, 240, true, nullptr, false);
        g_Game.InitRaceTable();
        g_CurrentRace = 0;
    }
    testdevice::TestDevice device;
};

// Sets everything up on the first call only.
inline DemoDataGame& Once()
{
    static DemoDataGame setup;
    return setup;
}

}   // namespace benchsetup
