// Stand-in: entry points only, filled in by the subsystem's own work.
#include "world/Sky.h"

CSky g_Sky;

int CSky::Create()
{
    return 1;
}

void CSky::Update() {}

void CSky::Draw() {}

void CSky::DrawFlare() {}

void CSky::Release() {}
