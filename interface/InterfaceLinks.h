#pragma once
// The interface layer's ends of the links the layers below it call upward
// through: whether the menu holds the controls (g_ControlHooks.menuActive)
// and the HUD's messages the motorcycles show (g_RaceMessageHooks).
// ConnectLayers (app/LayerLinks.h) calls it at start-up; a test program that
// stops at this layer calls it after the layers below.
void ConnectInterfaceLinks();
