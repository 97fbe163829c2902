// Fuzz target for the object description reader.
// Input: [mode byte][description bytes]. The low bit of the mode byte picks the
// in-memory Objects pack (1) or a loose file (0); the description is read by
// CStaticObject::Create, then by LoadDescription (for the fence lines), and
// the object is released. No device: meshes and textures fail quietly.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>

#include "app/FileManager.h"
#include "app/Settings.h"
#include "platform/MessageBox.h"
#include "scene/StaticObject.h"

namespace {

const char kName[] = "Data/Objects/Fuzz.obj";

int QuietBox(HWND, const char*, const char*, UINT)
{
    return IDOK;
}

std::string g_Folder;

// The game opens its files relative to the working folder; the fuzzer writes
// its corpus relative to it too, so the scratch folder is entered only while
// one input runs.
struct InScratch
{
    InScratch()
    {
        if (getcwd(saved, sizeof(saved)) && chdir(g_Folder.c_str()) == 0)
            entered = true;
    }
    ~InScratch()
    {
        if (entered && chdir(saved) != 0)
            std::abort();
    }
    char saved[4096];
    bool entered = false;
};

void RemoveScratch()
{
    if (g_Folder.empty())
        return;
    std::remove((g_Folder + "/" + kName).c_str());
    rmdir((g_Folder + "/Data/Objects").c_str());
    rmdir((g_Folder + "/Data").c_str());
    rmdir(g_Folder.c_str());
}

bool EnterScratch()
{
    if (!g_Folder.empty())
        return true;
    char pattern[] = "/tmp/fuzzobjXXXXXX";
    if (!mkdtemp(pattern))
        return false;
    g_Folder = pattern;
    if (mkdir((g_Folder + "/Data").c_str(), 0755) != 0 || mkdir((g_Folder + "/Data/Objects").c_str(), 0755) != 0)
        return false;
    std::atexit(RemoveScratch);
    SetMessageBoxHook(QuietBox);
    return true;
}

// One entry of an Objects pack held in memory, as the pack reader leaves it.
void InstallPack(const uint8_t* data, size_t size)
{
    g_FileManager.m_LooseFiles = 0;
    g_FileManager.m_Objects = new PackEntry[1];
    PackEntry& e = g_FileManager.m_Objects[0];
    std::memset(&e, 0, sizeof(e));
    std::snprintf(e.name, sizeof(e.name), "%s", kName);
    e.size = (uint32_t)size;
    e.data = new unsigned char[size ? size : 1];
    if (size)
        std::memcpy(e.data, data, size);
    g_FileManager.m_ObjectsCount = 1;
}

bool InstallLoose(const uint8_t* data, size_t size)
{
    FILE* f = std::fopen(kName, "wb");
    if (!f)
        return false;
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);
    g_FileManager.m_LooseFiles = 1;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 64 * 1024 || !EnterScratch())
        return 0;
    InScratch scratch;
    if (!scratch.entered)
        return 0;
    const bool pack = data[0] & 1;
    ++data;
    --size;
    g_FileManager.Release();
    if (pack)
        InstallPack(data, size);
    else if (!InstallLoose(data, size))
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
