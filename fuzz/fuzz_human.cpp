// Fuzz target for the rider file's own lines and the two meshes they lean on.
// Input: [u16 n][n bytes: rider mesh][u16 m][m bytes: parts mesh][lines],
// lengths little-endian. The lines follow a fixed object part naming the
// rider mesh; the parts mesh is "Data/Humans/FuzzParts.msh" (the lines name
// it). CHumanObject::Load reads everything; an accepted rider then plays
// each of its actions for a while, its part sizes and pivots are taken, and
// it is released. No device: meshes keep their counts, bounds and points but
// no drawable frames.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "common/Keywords.h"
#include "core/FileManager.h"
#include "core/GameClock.h"
#include "fuzz/FuzzScratch.h"
#include "racers/HumanObject.h"
#include "render/MeshContainer.h"

namespace
{

const char kName[] = "Data/Humans/Fuzz.obj";

const char kObjectPart[] = "// fuzzed rider\n//\n//\n"
                           "Class:                          GCLASS_HUMAN\n"
                           "Type:                           GTYPE_HUMAN\n"
                           "//\n"
                           "Mesh:                           Data/Humans/Fuzz.msh\n"
                           "Texture:                        \n"
                           "//\n"
                           "End:                            //--\n";

// Takes a length-prefixed block; false when the input is too short.
bool Take(const uint8_t*& data, size_t& size, std::vector<uint8_t>& out)
{
    if (size < 2)
        return false;
    const size_t n = (size_t)data[0] | ((size_t)data[1] << 8);
    data += 2;
    size -= 2;
    if (n > size)
        return false;
    out.assign(data, data + n);
    data += n;
    size -= n;
    return true;
}

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 64 * 1024 || !fuzzscratch::MakeScratch("fuzzhuman", {"Data", "Data/Humans"}))
        return 0;
    std::vector<uint8_t> mesh, parts;
    if (!Take(data, size, mesh) || !Take(data, size, parts))
        return 0;
    fuzzscratch::InScratch scratch;
    if (!scratch.entered)
        return 0;
    std::vector<uint8_t> file(kObjectPart, kObjectPart + sizeof(kObjectPart) - 1);
    file.insert(file.end(), data, data + size);
    if (!fuzzscratch::WriteBytes(kName, file.data(), file.size()) ||
        !fuzzscratch::WriteBytes("Data/Humans/Fuzz.msh", mesh.data(), mesh.size()) ||
        !fuzzscratch::WriteBytes("Data/Humans/FuzzParts.msh", parts.data(), parts.size()))
        return 0;
    g_FileManager.Release();
    g_FileManager.m_LooseFiles = 1;
    g_Clock.m_GameStep = 0.05f;

    {
        CHumanObject rider;
        rider.Load(kName);
        if (rider.Usable())
        {
            const int frames = rider.meshRecord->partCount[0];
            for (int action = ACTION_STEERING; action <= ACTION_KICK_RIGHT; ++action)
            {
                rider.SetAction(action);
                rider.StandUpRequest = action == ACTION_STANDUP;
                for (int i = 0; i < 40; ++i)
                {
                    rider.UpdateAnimation();
                    // Whatever the file says, the drawn frame is one the mesh has.
                    Check(rider.currentPart >= 1 && rider.currentPart < frames);
                    Check(std::isfinite(rider.AnimFrame) && std::isfinite(rider.StandUpLift));
                }
            }
            for (int i = 0; i < HUMAN_PARTS; ++i)
            {
                const D3DXVECTOR3 s = rider.GetPartSize(i), p = rider.GetPivotInPart(i), q = rider.GetPivotInParent(i);
                Check(std::isfinite(s.x + s.y + s.z + p.x + p.y + p.z + q.x + q.y + q.z) && s.x > 0 && s.y > 0 &&
                      s.z > 0);
            }
        }
        rider.Release();
    }
    // Failed names stay in the mesh cache; every input starts from none.
    g_MeshContainer.Release();
    g_FileManager.Release();
    return 0;
}
