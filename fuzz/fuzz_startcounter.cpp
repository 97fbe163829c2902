// Fuzz target for the start count "<folder>/Brenhold/Fuzz/Started". Input:
// the file's bytes. Any content gives a count of 0 or more, leaves the file
// holding exactly that count, and the next start counts one on from it.
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz/FuzzScratch.h"
#include "platform/os/StartCounter.h"

namespace
{

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

// The stored count, or -1 when the file is not exactly 4 bytes.
long long StoredCount(const std::string& file)
{
    FILE* f = std::fopen(file.c_str(), "rb");
    if (!f)
        return -1;
    unsigned char bytes[5];
    const size_t n = std::fread(bytes, 1, sizeof(bytes), f);
    std::fclose(f);
    if (n != 4)
        return -1;
    return (long long)((uint32_t)bytes[0] | ((uint32_t)bytes[1] << 8) | ((uint32_t)bytes[2] << 16) |
                       ((uint32_t)bytes[3] << 24));
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 64 || !fuzzscratch::MakeScratch("fuzzstart", {"Brenhold", "Brenhold/Fuzz"}))
        return 0;
    const std::string file = fuzzscratch::Folder() + "/Brenhold/Fuzz/Started";
    if (!fuzzscratch::WriteBytes(file.c_str(), data, size))
        return 0;
    SetStartCounterFolder(fuzzscratch::Folder().c_str());
    const int first = CountStart("Fuzz");
    Check(first >= 0);
    Check(StoredCount(file) == first);
    const int second = CountStart("Fuzz");
    Check(second == (first == 0x7FFFFFFF ? 1 : first + 1));
    Check(StoredCount(file) == second);
    SetStartCounterFolder(nullptr);
    return 0;
}
