// The motorcycle list itself: the model files and the one list of the game.
#include "racers/VehicleManager.h"

const char* const g_VehicleModelFiles[4] = {
    "Data/Vehicles/01/Main.obj",
    "Data/Vehicles/02/Main.obj",
    "Data/Vehicles/03/Main.obj",
    "Data/Vehicles/04/Main.obj",
};

CVehicleManager g_Vehicles;

CVehicleManager::CVehicleManager() : racerCount(0), elementsTexture(-1), wheelsTexture(-1)
{
    for (CVehicleObject*& m : showroom)
        m = nullptr;
    for (CVehicleObject*& r : racers)
        r = nullptr;
}
