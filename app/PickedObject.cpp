// Stand-in: entry points only, filled in by the subsystem's own work.
#include "app/PickedObject.h"

CPickedObject g_PickedObject;

int CPickedObject::Init()
{
    return 1;
}
