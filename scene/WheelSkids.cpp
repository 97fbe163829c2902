// Stand-in: entry points only, filled in by the subsystem's own work.
#include "scene/WheelSkids.h"

CWheelSkids g_Skids;

int CWheelSkids::Create()
{
    return 1;
}

void CWheelSkids::Update() {}

void CWheelSkids::Render() {}

void CWheelSkids::Release() {}
