#pragma once
// The landscape with one visible land part that has water, 10 high, for the
// tests of where the water lies on the screen; the test sets the part's
// bounds. The landscape is put back as it was when the scope ends.
#include "world/LandPart.h"
#include "world/Landscape.h"

namespace landtest
{

struct OneWaterPart
{
    CLandPart part;
    CLandPart* const keptPart = g_Landscape.parts[0];
    const int keptCount = g_Landscape.partCount;
    const float keptAltitude = g_Landscape.waterAltitude;

    OneWaterPart()
    {
        part.visible = 1;
        part.waterIB = reinterpret_cast<IDirect3DIndexBuffer9*>(&part);   // only looked at, never used
        g_Landscape.parts[0] = &part;
        g_Landscape.partCount = 1;
        g_Landscape.waterAltitude = 10.0f;
    }
    ~OneWaterPart()
    {
        part.waterIB = nullptr;
        g_Landscape.parts[0] = keptPart;
        g_Landscape.partCount = keptCount;
        g_Landscape.waterAltitude = keptAltitude;
    }
    OneWaterPart(const OneWaterPart&) = delete;
    OneWaterPart& operator=(const OneWaterPart&) = delete;
};

}   // namespace landtest
