#pragma once
// The one wiring step of the layers. A lower layer reaches upward only
// through narrow tables of function pointers that it declares; the layer
// that answers fills them in its Connect...Links() function, and
// ConnectLayers() calls those bottom up, so every link of the game is made in
// one place, in this order:
//
//   ConnectRenderLinks()     render/RenderLinks.h
//   ConnectAudioLinks()      audio/AudioLinks.h
//   ConnectSceneLinks()      scene/SceneLinks.h
//   ConnectWorldLinks()      world/WorldLinks.h
//   ConnectRacersLinks()     racers/RacerLinks.h
//   ConnectInterfaceLinks()  interface/InterfaceLinks.h
//   ConnectAppLinks()        below
//
// The program calls it first thing at start-up; so do the headless race
// set-up and the test programs that run the whole game. A test program that
// stops at a lower layer calls the connect functions of its layers itself.
#include <string>
#include <vector>

// Every upward link of every layer, bottom layer first.
void ConnectLayers();
// The app layer's own ends: the game events the layers below post
// (g_GameEventHooks), the visibility update the camera asks for
// (g_CameraHooks.updateVisibility), the picked-object record of the ray tests
// (g_RayPickHooks, g_SkyHooks) and the race start of the menu
// (g_MenuHooks.startRace).
void ConnectAppLinks();
// Names of the link entries still unset ("g_CameraHooks.readTarget"), in
// table order; empty when every link is made. After ConnectLayers() a name
// here is a start-up error.
std::vector<std::string> UnsetLayerLinks();
