#pragma once
// The scene layer's ends of the links the layers below it call upward
// through: what the physics contact pass reads from and marks on a placed
// object (g_PhysicsObjectAccess), and where an effect sound's owner is
// (g_SoundOwnerAccess). ConnectLayers (app/LayerLinks.h) calls it at
// start-up; a test program that stops at this layer calls it itself.
void ConnectSceneLinks();
