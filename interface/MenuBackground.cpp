// Stand-in: entry points only, filled in by the subsystem's own work.
#include "interface/MenuBackground.h"

CMenuBackground g_MenuBackground;

int CMenuBackground::Create()
{
    return 1;
}

void CMenuBackground::Release() {}
