// Fuzz target for the rival names file "Data/Misc/RacersName.obj".
// Input: [mode byte][file]. The low bit of the mode byte picks the in-memory
// Objects pack (1) or a loose file (0). Every name read must end within its
// 21 bytes, hold at most 15 characters and end in no blank; the count must
// match the names that were filled.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/FileManager.h"
#include "core/RacerNames.h"
#include "fuzz/FuzzScratch.h"

namespace
{

const char kName[] = "Data/Misc/RacersName.obj";

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 64 * 1024 || !fuzzscratch::MakeScratch("fuzznames", {"Data", "Data/Misc"}))
        return 0;
    fuzzscratch::InScratch scratch;
    if (!scratch.entered)
        return 0;
    g_FileManager.Release();
    if (data[0] & 1)
        fuzzscratch::InstallObjectsPack(kName, data + 1, size - 1);
    else if (fuzzscratch::WriteBytes(kName, data + 1, size - 1))
        g_FileManager.m_LooseFiles = 1;
    else
        return 0;

    const int names = LoadRacerNames();
    Check(names >= 0 && names <= RACER_NAME_BLOCKS * RACER_NAME_ENTRIES);
    for (int b = 0; b < RACER_NAME_BLOCKS; ++b)
        for (int e = 0; e < RACER_NAME_ENTRIES; ++e)
        {
            const char* name = g_RacerNames[b][e];
            const size_t length = strnlen(name, RACER_NAME_SIZE);
            Check(length <= RACER_NAME_LIMIT);
            Check(length == 0 || (name[length - 1] != ' ' && name[length - 1] != '\t'));
            // Names fill in file order: none after the count.
            if (b * RACER_NAME_ENTRIES + e >= names)
                Check(length == 0);
        }
    g_FileManager.Release();
    return 0;
}
