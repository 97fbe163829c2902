// Stand-in: entry points only, filled in by the pointer's own work.
#include "interface/MouseCursor.h"

void CMouseCursor::Draw() {}
