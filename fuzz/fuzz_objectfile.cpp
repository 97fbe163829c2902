// Fuzz target for the object description reader.
// Input: [mode byte][description bytes]. The low bit of the mode byte picks the
// in-memory Objects pack (1) or a loose file (0); the description is read by
// CStaticObject::Create, then by LoadDescription (for the fence lines), and
// the object is released. No device: meshes and textures fail quietly.
#include <cstdint>

#include "core/FileManager.h"
#include "core/Settings.h"
#include "fuzz/FuzzScratch.h"
#include "scene/StaticObject.h"

namespace
{

const char kName[] = "Data/Objects/Fuzz.obj";

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 64 * 1024 || !fuzzscratch::MakeScratch("fuzzobj", {"Data", "Data/Objects"}))
        return 0;
    fuzzscratch::InScratch scratch;
    if (!scratch.entered)
        return 0;
    const bool pack = data[0] & 1;
    ++data;
    --size;
    g_FileManager.Release();
    if (pack)
        fuzzscratch::InstallObjectsPack(kName, data, size);
    else if (fuzzscratch::WriteBytes(kName, data, size))
        g_FileManager.m_LooseFiles = 1;
    else
        return 0;

    {
        CStaticObject object;
        char name[VEHICLE_NAME_LENGTH] = "";
        object.vehicleName = name;
        object.Create(kName, 1, 0, 0x220, 1);
        object.Release();
    }
    if (pack)
        g_FileManager.m_Objects[0].readPos = 0;
    {
        CStaticObject object;
        object.LoadDescription(kName);
        object.Release();
    }
    g_FileManager.Release();
    return 0;
}
