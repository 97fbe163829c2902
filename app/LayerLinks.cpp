#include "app/LayerLinks.h"

#include "app/Game.h"
#include "app/GameEvent.h"
#include "app/PickedObject.h"
#include "audio/AudioLinks.h"
#include "audio/AudioManager.h"
#include "common/Keywords.h"
#include "core/CareerData.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/GameEventPost.h"
#include "core/Physics.h"
#include "core/RaceState.h"
#include "interface/InterfaceLinks.h"
#include "interface/MainMenu.h"
#include "racers/RacerLinks.h"
#include "render/CameraHooks.h"
#include "render/RenderLinks.h"
#include "scene/LightSprite.h"
#include "scene/Occlusion.h"
#include "scene/RayPick.h"
#include "scene/SceneLinks.h"
#include "scene/WheelSkids.h"
#include "world/Sky.h"
#include "world/WorldLinks.h"

void ConnectLayers()
{
    ConnectRenderLinks();
    ConnectAudioLinks();
    ConnectSceneLinks();
    ConnectWorldLinks();
    ConnectRacersLinks();
    ConnectInterfaceLinks();
    ConnectAppLinks();
}

void ConnectAppLinks()
{
    // The events the motorcycles, the HUD and the menu post run here.
    g_GameEventHooks.post = [](int code, CVehicleObject* vehicle, int argument) {
        g_GameEvent.Post(code, vehicle, argument);
    };
    g_GameEventHooks.running = [] { return g_GameEvent.code != GEVENT_NONE ? 1 : 0; };
    g_GameEventHooks.forget = [](CVehicleObject* vehicle) {
        if (g_GameEvent.vehicle == vehicle)
            g_GameEvent.vehicle = nullptr;
    };

    g_CameraHooks.updateVisibility = [](int) { g_Game.UpdateVisibility(); };

    // Every object ray test that hits updates the picked-object record; a
    // released object may not stay in it, it would dangle. The ground has no
    // object of its own: the record takes its class and keeps the object.
    g_RayPickHooks.objectHit = [](CStaticObject* object) { g_PickedObject.Set(object); };
    g_RayPickHooks.objectReleased = [](const CStaticObject* object) {
        if (object && g_PickedObject.object == object)
            g_PickedObject.Init();
    };
    g_RayPickHooks.landscapeHit = [] { g_PickedObject.objectClass = GCLASS_LANDSCAPE; };
    // The sun flare asks whether the first hit over the placed objects and
    // the racers lies between the eye and the sun.
    g_SkyHooks.sunHidden = [](const float from[3], const float to[3]) {
        return g_PickedObject.Pick(from, to, nullptr, 0) ? 1 : 0;
    };

    // The menu's -1 means the current row, which is the career's.
    g_MenuHooks.startRace = [](int row) {
        if (row == -1 && g_Career.raceIndex >= 0 && g_Career.raceIndex < RACE_ROWS)
            row = g_Career.raceIndex;
        return g_Game.StartRace(row);
    };
}

namespace
{
struct LinkEntry
{
    const char* name;
    bool set;
};
}   // namespace

// One line per entry, so the names are exact. Lifecycle data that a layer
// sets while its object exists (the moon of g_MeshEffectInputs) is not a
// link and is not listed.
// clang-format off
#define LINK(entry) LinkEntry{#entry, (entry) != nullptr}
// clang-format on

std::vector<std::string> UnsetLayerLinks()
{
    const LinkEntry entries[] = {
        LINK(g_ControlHooks.menuActive),
        LINK(g_ControlHooks.toggleFillMode),
        LINK(g_ControlHooks.toggleShadeMode),
        LINK(g_ClockHooks.pauseSounds),
        LINK(g_ClockHooks.resumeSounds),
        LINK(g_GameEventHooks.post),
        LINK(g_GameEventHooks.running),
        LINK(g_GameEventHooks.forget),
        LINK(g_RaceMessageHooks.show),
        LINK(g_RaceMessageHooks.showing),
        LINK(g_PhysicsObjectAccess.landscape),
        LINK(g_PhysicsObjectAccess.objectClass),
        LINK(g_PhysicsObjectAccess.objectType),
        LINK(g_PhysicsObjectAccess.setTouched),
        LINK(g_PhysicsObjectAccess.ridingOn),
        LINK(g_PhysicsObjectAccess.onImpact),
        LINK(g_PhysicsObjectAccess.throwOff),
        LINK(g_PhysicsObjectAccess.spawnDust),
        LINK(g_BeforePhysicsSubstep),
        LINK(g_CameraHooks.readTarget),
        LINK(g_CameraHooks.playerVehicle),
        LINK(g_CameraHooks.groundHeight),
        LINK(g_CameraHooks.buildingHit),
        LINK(g_CameraHooks.updateVisibility),
        LINK(g_CameraHooks.placeListener),
        LINK(g_CameraHooks.setFadeVolume),
        LINK(g_CameraHooks.playerStatistics),
        LINK(g_CameraHooks.worldCounters),
        LINK(g_SoundOwnerAccess.worldCentre),
        LINK(g_SoundOwnerAccess.cameraDistance),
        LINK(g_SoundOwnerAccess.linearVelocity),
        LINK(g_SoundOwnerAccess.setLastImpactSoundTime),
        LINK(g_SkidHooks.groundHeight),
        LINK(g_SkidHooks.routePower),
        LINK(g_SkidHooks.ownerSide),
        LINK(g_SkidHooks.releaseOwner),
        LINK(g_OcclusionHooks[OCCLUSION_LANDSCAPE]),
        LINK(g_OcclusionHooks[OCCLUSION_RACERS]),
        LINK(g_OcclusionHooks[OCCLUSION_RIDERS]),
        LINK(g_LightSpriteInputs.brakeRamp),
        LINK(g_LightSpriteInputs.cellSize),
        LINK(g_RayPickHooks.objectHit),
        LINK(g_RayPickHooks.objectReleased),
        LINK(g_RayPickHooks.landscapeHit),
        LINK(g_SkyHooks.sunHidden),
        LINK(g_MenuHooks.startRace),
    };
    std::vector<std::string> unset;
    for (const LinkEntry& e : entries)
        if (!e.set)
            unset.push_back(e.name);
    return unset;
}
