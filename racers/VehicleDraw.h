#pragma once
// Drawing of the motorcycles: the per-motorcycle draw operations are members
// of CVehicleObject (VehicleDraw.cpp); these are the rules they share.

class CStaticObject;
class CVehicleObject;

// The brake ramp of the motorcycle whose lamps are being drawn when `owner`
// is that motorcycle, -1 otherwise (g_LightSpriteInputs.brakeRamp).
float LampOwnerBrake(const CStaticObject* owner);

// The part of an assembly slot with `parts` suspension frames drawn at a
// wheel compression of 0..1: min(parts - 1, trunc(parts x compression +
// 1.75)), so an unloaded wheel already shows frame 1 and a deep compression
// never passes the last frame. 0 for a slot without parts.
int SuspensionFrame(int parts, float compression);

// The test every main-pass draw of a motorcycle passes first: visible this
// frame, no farther than 100 from the camera, not the motorcycle the active
// camera rides on, and not faded out.
int VehicleDrawAllowed(const CVehicleObject& vehicle);
// The shadow pass's own test: no farther than 100, inside the shadow
// camera's view and not faded out. The on-board camera's own motorcycle
// still casts its shadow.
int VehicleShadowAllowed(const CVehicleObject& vehicle);
