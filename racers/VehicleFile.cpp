#include "racers/VehicleFile.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/TextNumber.h"

namespace
{

// Ranges a playable motorcycle stays well inside; anything beyond them is a
// damaged file, and refusing it keeps infinities and overflows out of the
// physics and the engine arithmetic.
struct FloatField
{
    int line;
    float VehicleFileValues::*field;
    double low;
    double high;
    bool lowExcluded;   // the range is (low, high]
};

const FloatField kFloatFields[] = {
    {5, &VehicleFileValues::mass, 0.0, 10000.0, true},
    {6, &VehicleFileValues::enginePower, 0.0, 100000.0, false},
    {7, &VehicleFileValues::transmission, 0.0, 100.0, false},
    {8, &VehicleFileValues::chassis, 0.0, 100.0, false},
    {16, &VehicleFileValues::frontFrictionSlip, 0.0, 100.0, false},
    {17, &VehicleFileValues::rearFrictionSlip, 0.0, 100.0, false},
    {18, &VehicleFileValues::frontRollInfluence, 0.0, 10.0, false},
    {19, &VehicleFileValues::rearRollInfluence, 0.0, 10.0, false},
    {20, &VehicleFileValues::suspensionStiffness, 0.0, 1000.0, true},
    {21, &VehicleFileValues::suspensionCompression, 0.0, 1000.0, false},
    {22, &VehicleFileValues::suspensionDamping, 0.0, 1000.0, false},
    {23, &VehicleFileValues::centreOfMassHeight, -10.0, 10.0, false},
};

void CopyValue(char* out, const char* line)
{
    std::snprintf(out, DESCRIPTION_LINE_BUFFER, "%s", DescriptionValue(line));
}

}   // namespace

int ReadVehicleValues(int handle, VehicleFileValues* values, char* error, int errorSize)
{
    std::memset(values, 0, sizeof(*values));
    char lines[VEHICLE_FILE_LINES][DESCRIPTION_LINE_BUFFER];
    int read = 0;
    for (; read < VEHICLE_FILE_LINES; ++read)
        if (!ReadDescriptionLine(handle, lines[read]))
            break;
    if (read < VEHICLE_FILE_LAST_USED_LINE)
    {
        std::snprintf(error, errorSize, "Motorcycle file is too short!");
        return 0;
    }
    const auto value = [&lines](int line) { return DescriptionValue(lines[line - 1]); };

    CopyValue(values->frontAssembly, lines[0]);
    CopyValue(values->rearAssembly, lines[1]);
    CopyValue(values->wheels, lines[2]);

    for (const FloatField& f : kFloatFields)
    {
        double v = 0.0;
        const bool inRange = ParseBoundedNumber(value(f.line), f.low, f.high, &v) && (!f.lowExcluded || v > f.low);
        if (!inRange)
        {
            std::snprintf(error, errorSize, "Wrong motorcycle value in line %d!", f.line);
            return 0;
        }
        values->*f.field = (float)v;
    }
    for (int i = 0; i < 3; ++i)
    {
        if (!ParseBoundedInteger(value(10 + i), 0, 10, &values->upgradeLevels[i]))
        {
            std::snprintf(error, errorSize, "Wrong motorcycle value in line %d!", 10 + i);
            return 0;
        }
    }
    // Lines 14 and 15 hold two integers the game does not use.
    // The engine sound is "Data/Audio/En%02d.wav" with the number plus 1.
    if (!ParseBoundedInteger(value(25), 0, 98, &values->engineSoundNumber))
    {
        std::snprintf(error, errorSize, "Wrong motorcycle value in line %d!", 25);
        return 0;
    }
    return 1;
}
