// Fuzz target for the pack index reader and the line reader.
// Input: [line length byte][index size, 2 bytes LE][index bytes][data bytes].
// The index and data become both the Objects and the World pack of a scratch
// folder; every entry is then opened and read to its end, and the data is
// also read as a loose text file.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/FileManager.h"
#include "core/Settings.h"
#include "fuzz/FuzzScratch.h"

namespace
{

void Put(const char* name, const uint8_t* data, size_t size)
{
    if (!fuzzscratch::WriteBytes(name, data, size))
        std::abort();
}

// Reads a handle's lines to the end; a reader that stops making progress
// would hang every marker-seeking loader, so it counts as a crash.
void ReadLines(int handle, int length, size_t dataSize)
{
    std::vector<char> buffer(length);
    size_t lines = 0;
    while (g_FileManager.ReadLine(buffer.data(), length, handle))
    {
        if (++lines > dataSize + 1)
            std::abort();
    }
    if (buffer[0] != 0)
        std::abort();
}

void Run(const uint8_t* data, size_t size);

}   // namespace

// The file manager opens relative names, so each run works inside the scratch
// folder; the fuzzer's own corpus paths are relative too, so the working
// folder is given back afterwards.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!fuzzscratch::MakeScratch("fuzzpack", {"Data"}))
        return 0;
    fuzzscratch::InScratch scratch;
    if (!scratch.entered)
        std::abort();
    Run(data, size);
    return 0;
}

namespace
{

void Run(const uint8_t* data, size_t size)
{
    int length = 33;
    const uint8_t* hdr = data;
    size_t hdrSize = size;
    const uint8_t* pak = nullptr;
    size_t pakSize = 0;
    if (size >= 3)
    {
        length = 2 + data[0];
        size_t want = data[1] | ((size_t)data[2] << 8);
        hdr = data + 3;
        hdrSize = want < size - 3 ? want : size - 3;
        pak = hdr + hdrSize;
        pakSize = size - 3 - hdrSize;
    }

    // The index parser straight from memory, with and without a ".pak".
    PackEntry* entries = nullptr;
    int n = CFileManager::ParsePackIndex(hdr, hdrSize, (long long)pakSize, MAX_OBJECTS_ENTRIES, &entries);
    for (int i = 0; i < n; ++i)
        if ((uint64_t)entries[i].offset + entries[i].size > pakSize)
            std::abort();
    delete[] entries;
    n = CFileManager::ParsePackIndex(hdr, hdrSize, -1, MAX_OBJECTS_ENTRIES, &entries);
    delete[] entries;

    Put("Data/Objects.hdr", hdr, hdrSize);
    Put("Data/Objects.pak", pak, pakSize);
    Put("Data/World.hdr", hdr, hdrSize);
    Put("Data/World.pak", pak, pakSize);
    g_UseFileManager = 1;
    g_FileManager.Create();
    // The Objects pack copies every file whole: together never more than the
    // ".pak" holds, however the entries overlap.
    uint64_t objectsBytes = 0;
    for (int j = 0; j < g_FileManager.m_ObjectsCount; ++j)
        objectsBytes += g_FileManager.m_Objects[j].size;
    if (objectsBytes > pakSize)
        std::abort();
    for (int j = 0; j < g_FileManager.m_ObjectsCount; ++j)
    {
        int entrySize = -1;
        const char* name = g_FileManager.m_Objects[j].name;
        int h = g_FileManager.Open(name, FILE_OBJECTS, &entrySize);
        if (h == -1 && std::strchr(name, '\\'))
            continue;   // callers' backslashes become '/', so such an entry is out of reach
        if (h < FILE_OBJECTS || h >= FILE_WORLD)
            std::abort();
        ReadLines(h, length, (size_t)g_FileManager.m_Objects[h - FILE_OBJECTS].size);
        g_FileManager.Close(h);
    }
    for (int j = 0; j < g_FileManager.m_WorldCount; ++j)
    {
        int entrySize = -1;
        int h = g_FileManager.Open(g_FileManager.m_World[j].name, FILE_WORLD, &entrySize);
        if (h == -1)
            continue;
        std::vector<uint8_t> bytes((size_t)entrySize + 1);
        if (g_FileManager.Read(bytes.data(), 1, (size_t)entrySize, h) != (size_t)entrySize)
            std::abort();   // the index promised these bytes
        g_FileManager.Close(h);
    }
    g_FileManager.Release();

    // The same bytes as a loose text file.
    Put("loose.txt", pak, pakSize);
    g_UseFileManager = 0;
    g_FileManager.Create();
    int h = g_FileManager.Open("loose.txt", FILE_OBJECTS, nullptr);
    if (h != -1)
        ReadLines(h, length, pakSize);
    g_FileManager.Release();
}

}   // namespace
