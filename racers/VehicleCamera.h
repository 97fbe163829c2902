#pragma once
// What the camera reads of the motorcycle it follows (g_CameraHooks.readTarget,
// connected by ConnectRacersLinks).
class CStaticObject;
struct CameraTargetState;

// The camera's view of a motorcycle; 0 for any other object.
int ReadCameraTarget(const CStaticObject* object, CameraTargetState* out);
