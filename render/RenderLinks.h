#pragma once
// The render layer's ends of the links the layers below it call upward
// through: the developer's fill and shade toggles of the controls
// (g_ControlHooks). ConnectLayers (app/LayerLinks.h) calls it at start-up;
// a test program that stops at this layer calls it itself.
void ConnectRenderLinks();
