// Stand-in: entry points only, filled in by the motorcycle's own work.
#include "racers/VehicleObject.h"

void CVehicleObject::Update() {}

void CVehicleObject::OnImpact(const float*, const float*, CStaticObject*) {}
