#pragma once
// World objects as owners of pooled effect sounds: the sound pools read an
// owner's centre, camera distance and velocity through this file's access
// functions, and a released object gives up its slots.
class CStaticObject;

// Frees every pooled sound slot the object holds (its sounds stop).
void StopOwnedSounds(const CStaticObject* object);
