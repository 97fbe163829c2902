#pragma once
// The racers layer's ends of the links the layers below it call upward
// through: how the contact pass sees motorcycles and riders
// (g_PhysicsObjectAccess), the lean correction before each physics step
// (g_BeforePhysicsSubstep), the motorcycle the camera follows and its
// statistics (g_CameraHooks), the owners of the skid marks (g_SkidHooks), the
// racers and riders the occlusion pass hides (g_OcclusionHooks) and the brake
// flare of the lamps (g_LightSpriteInputs). ConnectLayers (app/LayerLinks.h)
// calls it at start-up; a test program that stops at this layer calls it
// after the layers below.
void ConnectRacersLinks();
