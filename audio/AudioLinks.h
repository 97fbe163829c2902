#pragma once
// The audio layer's ends of the links the layers below it call upward
// through: the sounds a clock pause holds (g_ClockHooks), and the camera's
// sound listener and the sound's share of a fade (g_CameraHooks).
// ConnectLayers (app/LayerLinks.h) calls it at start-up; a test program that
// stops at this layer calls it itself.
void ConnectAudioLinks();
