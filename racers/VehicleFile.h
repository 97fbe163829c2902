#pragma once
// The motorcycle's own lines of its description file: after the object part
// (read by CStaticObject::Create with the handle left open) come 26 lines,
// each value at column 32 behind a 32-character label. The reader checks every
// value before anything uses it: a value that is not a finite number in its
// range, or a file that ends before the last line used, refuses the file.
#include "scene/StaticObject.h"

// Lines of the motorcycle part and the last one that carries a used value.
#define VEHICLE_FILE_LINES          26
#define VEHICLE_FILE_LAST_USED_LINE 25

struct VehicleFileValues
{
    char frontAssembly[DESCRIPTION_LINE_BUFFER];   // line 1
    char rearAssembly[DESCRIPTION_LINE_BUFFER];    // line 2
    char wheels[DESCRIPTION_LINE_BUFFER];          // line 3
    float mass;                                    // line 5
    float enginePower;                             // line 6
    float transmission;                            // line 7
    float chassis;                                 // line 8
    int upgradeLevels[3];                          // lines 10-12
    float frontFrictionSlip;                       // line 16
    float rearFrictionSlip;                        // line 17
    float frontRollInfluence;                      // line 18
    float rearRollInfluence;                       // line 19
    float suspensionStiffness;                     // line 20
    float suspensionCompression;                   // line 21
    float suspensionDamping;                       // line 22
    float centreOfMassHeight;                      // line 23
    int engineSoundNumber;                         // line 25
};

// Reads the 26 lines from the open handle into *values. Returns 1, or 0 with
// a short sentence for the message box in `error` (at least 64 bytes).
int ReadVehicleValues(int handle, VehicleFileValues* values, char* error, int errorSize);
