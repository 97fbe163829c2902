#pragma once
// A racing motorcycle. Only the entry points the game object and the contact
// pass call for now; the motorcycle's own work fills it in (it extends the
// world object then).

class CStaticObject;

class CVehicleObject
{
public:
    // Controls, engine and drive state of one frame.
    void Update();
    // The averaged contact of one touching pair: point on this motorcycle's
    // body (body space), normal pointing away from the partner, and the
    // partner (another object or the landscape).
    void OnImpact(const float* contactPoint, const float* normal, CStaticObject* partner);
};
