#pragma once
// Connects the camera's hooks (render/CameraHooks.h) to the motorcycles, the
// landscape, the placed buildings and the audio manager. The game object
// calls it at construction; tests that drive the camera call it themselves.
class CStaticObject;
struct CameraTargetState;

void ConnectCameraHooks();
// The camera's view of a motorcycle; 0 for any other object.
int ReadCameraTarget(const CStaticObject* object, CameraTargetState* out);
