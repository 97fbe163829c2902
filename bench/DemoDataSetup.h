#pragma once
// What the benchmarks on the demo data need once per program: the data as
// the working folder, a recording device and, for the racers, the race table
// at its first row and their places on the race path.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/Game.h"
#include "core/FileManager.h"
#include "core/RaceState.h"
#include "core/Settings.h"
#include "platform/os/MessageBox.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "tests/support/Paths.h"
#include "tests/support/TestDevice.h"
#include "world/Landscape.h"

namespace benchsetup
{

inline int QuietBox(HWND, const char*, const char*, UINT)
{
    return IDOK;
}

// The demo data as the working folder through the file manager, message
// boxes answered at once and a recording device (so buffers and textures are
// really made).
struct DemoData
{
    DemoData()
    {
        const std::string root = testsupport::DemoDataDir();
        if (chdir(root.c_str()) != 0)
            std::fprintf(stderr, "no demo data in %s\n", root.c_str());
        SetMessageBoxHook(QuietBox);
        g_UseFileManager = 1;
        g_FileManager.Create();
        device.Open(D3DBackendKind::Recording, 320, 240, true, nullptr, false);
    }
    testdevice::TestDevice device;
};

// The demo data and the race table at its first row.
struct DemoDataGame : DemoData
{
    DemoDataGame()
    {
        g_Game.InitRaceTable();
        g_CurrentRace = 0;
    }
};

// The demo data alone, set up on the first call only.
inline DemoData& OnceData()
{
    static DemoData setup;
    return setup;
}

// Sets everything up on the first call only.
inline DemoDataGame& Once()
{
    static DemoDataGame setup;
    return setup;
}

// Motorcycle `index` of a field standing in pairs along the race path from
// its third point, one unit above the ground and facing the next pair: null
// when it could not be added.
inline CVehicleObject* AddOnGrid(int index)
{
    const float* a = g_RacePath[index / 2 * 2 + 2];
    const float* b = g_RacePath[index / 2 * 2 + 3];
    const float side = (index % 2) ? 2.25f : -2.25f;
    const float ground[3] = {a[0], 0, a[2]};
    const float pos[3] = {a[0] + side, g_Landscape.GetHeight(ground) + 1.0f, a[2]};
    const float target[3] = {b[0] + side, pos[1], b[2]}, up[3] = {0, 1, 0};
    CVehicleObject* v = g_Vehicles.AddVehicle(g_VehicleModelFiles[index % 4]);
    if (v)
        v->SetPosition(pos, target, up, CONTROL_COMPUTER, RACER_AI);
    return v;
}

}   // namespace benchsetup
