#pragma once
// The world layer's ends of the links the layers below it call upward
// through: the terrain body the physics tells from world objects
// (g_PhysicsObjectAccess.landscape), the ground, buildings and counters the
// camera reads (g_CameraHooks), the ground under the skid marks
// (g_SkidHooks), the land parts the occlusion pass hides (g_OcclusionHooks)
// and the cell size the lamp beams are measured in (g_LightSpriteInputs).
// ConnectLayers (app/LayerLinks.h) calls it at start-up; a test program that
// stops at this layer calls it after the layers below.
void ConnectWorldLinks();
