// Fuzz target for the motorcycle file's own 26 lines.
// Input: [mode byte][lines]. The low bit of the mode byte picks the in-memory
// Objects pack (1) or a loose file (0). The lines follow a fixed object part
// of a motorcycle, and the whole file is read by CVehicleObject::LoadVehicle,
// then placed (a refused file must get no body) and released. No device:
// meshes fail quietly, so an accepted set of lines still ends refused for its
// missing mesh after its sub-objects were read.
#include <cstdint>
#include <string>
#include <vector>

#include "core/FileManager.h"
#include "core/Physics.h"
#include "fuzz/FuzzScratch.h"
#include "racers/VehicleObject.h"

namespace
{

const char kName[] = "Data/Objects/Motorcycle.obj";

const char kObjectPart[] = "// fuzzed motorcycle\n//\n//\n"
                           "Class:                          GCLASS_VEHICLE\n"
                           "Type:                           GTYPE_VEHICLE\n"
                           "//\n"
                           "Name:                           Fuzz\n"
                           "//\n"
                           "Mesh:                           \n"
                           "Texture:                        \n"
                           "//\n"
                           "End:                            //--\n";

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 16 * 1024 || !fuzzscratch::MakeScratch("fuzzvehicle", {"Data", "Data/Objects"}))
        return 0;
    fuzzscratch::InScratch scratch;
    if (!scratch.entered)
        return 0;
    const bool pack = data[0] & 1;
    std::vector<uint8_t> file(kObjectPart, kObjectPart + sizeof(kObjectPart) - 1);
    file.insert(file.end(), data + 1, data + size);

    g_FileManager.Release();
    if (pack)
        fuzzscratch::InstallObjectsPack(kName, file.data(), file.size());
    else if (fuzzscratch::WriteBytes(kName, file.data(), file.size()))
        g_FileManager.m_LooseFiles = 1;
    else
        return 0;

    {
        CVehicleObject v;
        v.LoadVehicle(kName);
        const float pos[3] = {0, 0, 0}, target[3] = {0, 0, 1}, up[3] = {0, 1, 0};
        v.SetPosition(pos, target, up, CONTROL_COMPUTER, RACER_AI);
        if (v.body)
            __builtin_trap();   // nothing without a mesh may get a body
        v.Release();
    }
    g_FileManager.Release();
    return 0;
}
