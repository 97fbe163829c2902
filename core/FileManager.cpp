#include "core/FileManager.h"

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/DebugLog.h"
#include "core/Settings.h"
#include "platform/os/FileOpen.h"

CFileManager g_FileManager;

namespace
{

const char* const kCaption = "CFileManager::Create() error!";

// Shortest possible index entry: an empty name, its terminator, size, offset.
const size_t kMinEntryBytes = 9;

uint32_t ReadLE32(const unsigned char* p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

// Names may come with Windows separators; the files and pack entries use '/'.
std::string ToSlashes(const char* name)
{
    std::string path(name);
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

bool IsLineBreak(unsigned char c)
{
    return c == '\n' || c == '\r';
}

// Opens a regular file only: a folder of the same name would open for
// reading and then fail on every read, and a FIFO would hold the game at the
// open for good.
FILE* OpenRegular(const std::string& path, const char*)
{
    return OpenFileForReading(path.c_str());
}

// Size of an open stream, its position kept; -1 when it cannot be told.
long long StreamSize(FILE* f)
{
    off_t here = ftello(f);
    if (here < 0 || fseeko(f, 0, SEEK_END) != 0)
        return -1;
    off_t end = ftello(f);
    fseeko(f, here, SEEK_SET);
    return end < 0 ? -1 : (long long)end;
}

bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes)
{
    FILE* f = OpenRegular(path, "rb");
    if (!f)
        return false;
    long long size = StreamSize(f);
    bool ok = size >= 0;
    if (ok)
    {
        bytes.resize((size_t)size);
        ok = size == 0 || std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
    }
    std::fclose(f);
    return ok;
}

void ReportDamagedPack(const std::string& hdrName)
{
    std::string text = "The pack index \"" + hdrName + "\" is damaged; its files are unavailable.";
    ShowMessage(text.c_str(), kCaption, MB_ICONEXCLAMATION);
}

void FreeEntries(PackEntry*& entries, int& count, bool withData)
{
    if (entries && withData)
        for (int i = 0; i < count; ++i)
            delete[] entries[i].data;
    delete[] entries;
    entries = nullptr;
    count = 0;
}

// Bytes the Objects pack would hold in memory: every entry copied whole.
unsigned long long ObjectsTotal(const PackEntry* entries, int count)
{
    unsigned long long total = 0;
    for (int i = 0; i < count; ++i)
        total += entries[i].size;
    return total;
}

// Reads one pack's index (and, for Objects, all of its data).
// A missing index is quiet; a damaged one is reported by name.
void LoadPack(const char* base, bool objects, PackEntry*& entries, int& count)
{
    entries = nullptr;
    count = 0;
    std::string hdrName = std::string(base) + ".hdr";
    std::string pakName = std::string(base) + ".pak";

    std::vector<unsigned char> index;
    if (!ReadWholeFile(hdrName, index))
        return;

    FILE* pak = OpenRegular(pakName, "rb");
    long long pakSize = pak ? StreamSize(pak) : -1;
    if (objects && !pak)
        return;   // the Objects pack is read whole: without its data it has nothing

    int maxEntries = objects ? MAX_OBJECTS_ENTRIES : 0x7FFFFFFF;
    PackEntry* parsed = nullptr;
    int n = CFileManager::ParsePackIndex(index.data(), index.size(), pakSize, maxEntries, &parsed);
    if (n < 0)
    {
        if (pak)
            std::fclose(pak);
        ReportDamagedPack(hdrName);
        return;
    }

    if (objects && (pakSize < 0 || ObjectsTotal(parsed, n) > (unsigned long long)pakSize))
    {
        // Entries that overlap or repeat the same bytes would each be copied
        // whole: a small pack could ask for any amount of memory. A sound
        // pack holds every file once, so its files never add up to more than
        // the ".pak" itself.
        FreeEntries(parsed, n, false);
        std::fclose(pak);
        ReportDamagedPack(hdrName);
        return;
    }
    if (objects)
    {
        for (int i = 0; i < n; ++i)
        {
            PackEntry& e = parsed[i];
            if (e.size == 0)
                continue;
            e.data = new unsigned char[e.size];
            if (fseeko(pak, (off_t)e.offset, SEEK_SET) != 0 || std::fread(e.data, 1, e.size, pak) != e.size)
            {
                FreeEntries(parsed, n, true);
                std::fclose(pak);
                ReportDamagedPack(hdrName);
                return;
            }
            for (uint32_t k = 0; k < e.size; ++k)
                e.data[k] = PackUnscramble(e.data[k]);
        }
    }
    if (pak)
        std::fclose(pak);
    entries = parsed;
    count = n;
}

int FindEntry(const PackEntry* entries, int count, const std::string& name)
{
    for (int i = 0; i < count; ++i)
        if (std::strcmp(entries[i].name, name.c_str()) == 0)
            return i;
    return -1;
}

}   // namespace

int CFileManager::ParsePackIndex(const unsigned char* bytes, size_t size, long long pakSize, int maxEntries,
                                 PackEntry** entries)
{
    *entries = nullptr;
    if (!bytes || size < 4)
        return -1;
    size_t body = size - 4;
    uint32_t count = ReadLE32(bytes + body);
    // Every entry needs at least kMinEntryBytes: a larger count cannot be true,
    // and checking it first keeps a damaged count from sizing an allocation.
    if (count > body / kMinEntryBytes)
        return -1;
    int n = (int)count;
    if (maxEntries >= 0 && n > maxEntries)
    {
        Log("Pack index holds %d files; only the first %d are used.", &n, &maxEntries);
        n = maxEntries;
    }
    if (n == 0)
        return 0;

    PackEntry* list = new PackEntry[n]();
    size_t pos = 0;
    for (int i = 0; i < n; ++i)
    {
        size_t len = 0;
        while (pos + len < body && bytes[pos + len] != 0 && len <= PACK_NAME_MAX)
            ++len;
        bool bad = len > PACK_NAME_MAX                       // name too long
                   || pos + len >= body                      // no terminator
                   || body - (pos + len) < kMinEntryBytes;   // size and offset cut off
        if (!bad)
        {
            PackEntry& e = list[i];
            for (size_t k = 0; k < len; ++k)
                e.name[k] = (char)PackUnscramble(bytes[pos + k]);
            e.name[len] = 0;
            e.size = ReadLE32(bytes + pos + len + 1);
            e.offset = ReadLE32(bytes + pos + len + 5);
            if (pakSize >= 0 && (long long)e.offset + (long long)e.size > pakSize)
                bad = true;   // the file would run past the end of the ".pak"
        }
        if (bad)
        {
            delete[] list;
            return -1;
        }
        pos += len + kMinEntryBytes;
    }
    *entries = list;
    return n;
}

void CFileManager::Create()
{
    Release();
    for (int s = 0; s < FILE_SLOTS; ++s)
    {
        m_Slots[s] = nullptr;
        m_WriteNames[s] = nullptr;
    }
    m_LooseFiles = g_UseFileManager == 0 ? 1 : 0;
    if (m_LooseFiles)
        return;
    LoadPack("Data/Objects", true, m_Objects, m_ObjectsCount);
    LoadPack("Data/World", false, m_World, m_WorldCount);
    LoadPack("Data/Textures", false, m_Textures, m_TexturesCount);
    LoadPack("Data/SD", false, m_SD, m_SDCount);
}

void CFileManager::Release()
{
    FreeEntries(m_Objects, m_ObjectsCount, true);
    FreeEntries(m_World, m_WorldCount, false);
    FreeEntries(m_Textures, m_TexturesCount, false);
    FreeEntries(m_SD, m_SDCount, false);
    for (int s = 0; s < FILE_SLOTS; ++s)
        Close(s);
}

namespace
{

int FreeSlot(FILE* const* slots)
{
    for (int s = 0; s < FILE_SLOTS; ++s)
        if (!slots[s])
            return s;
    return -1;
}

}   // namespace

int CFileManager::Open(const char* name, int mode, int* size)
{
    if (!name)
        return -1;
    std::string path = ToSlashes(name);

    const char* plainMode = nullptr;
    if (mode == FILE_TEXT)
        plainMode = "r";
    else if (mode == FILE_BINARY)
        plainMode = "rb";
    else if (m_LooseFiles)
    {
        if (mode == FILE_OBJECTS)
            plainMode = "r";
        else if (mode == FILE_WORLD || mode == FILE_TEXTURES || mode == FILE_SD)
            plainMode = "rb";
        else
            return -1;
    }

    if (plainMode)
    {
        int slot = FreeSlot(m_Slots);
        if (slot < 0)
            return -1;
        FILE* f = OpenRegular(path, plainMode);
        if (!f)
            return -1;
        long long bytes = StreamSize(f);
        if (bytes < 0)
        {
            std::fclose(f);
            return -1;
        }
        m_Slots[slot] = f;
        if (size)
            *size = bytes > 0x7FFFFFFF ? 0x7FFFFFFF : (int)bytes;
        return slot;
    }

    if (mode == FILE_OBJECTS)
    {
        int j = FindEntry(m_Objects, m_ObjectsCount, path);
        if (j < 0)
            return -1;
        // The read position is kept: a second open without a close goes on
        // where the first one is.
        if (size)
            *size = (int)m_Objects[j].size;
        return FILE_OBJECTS + j;
    }

    const PackEntry* entries = nullptr;
    int count = 0;
    const char* pakName = nullptr;
    if (mode == FILE_WORLD)
    {
        entries = m_World;
        count = m_WorldCount;
        pakName = "Data/World.pak";
    }
    else if (mode == FILE_TEXTURES)
    {
        entries = m_Textures;
        count = m_TexturesCount;
        pakName = "Data/Textures.pak";
    }
    else if (mode == FILE_SD)
    {
        entries = m_SD;
        count = m_SDCount;
        pakName = "Data/SD.pak";
    }
    else
    {
        return -1;
    }
    int j = FindEntry(entries, count, path);
    if (j < 0)
        return -1;
    int slot = FreeSlot(m_Slots);
    if (slot < 0)
        return -1;
    FILE* f = OpenRegular(pakName, "rb");
    if (!f)
        return -1;
    if (fseeko(f, (off_t)entries[j].offset, SEEK_SET) != 0)
    {
        std::fclose(f);
        return -1;
    }
    m_Slots[slot] = f;
    if (size)
        *size = entries[j].size > 0x7FFFFFFFu ? 0x7FFFFFFF : (int)entries[j].size;
    return mode + slot;
}

namespace
{

// The stream behind a plain or World/Textures/SD handle, null for any other.
FILE* SlotStream(FILE* const* slots, int handle, bool plainOnly)
{
    int slot = -1;
    if (handle >= 0 && handle < FILE_SLOTS)
        slot = handle;
    else if (!plainOnly)
    {
        const int bases[] = {FILE_WORLD, FILE_TEXTURES, FILE_SD};
        for (int base : bases)
            if (handle >= base && handle < base + FILE_SLOTS)
                slot = handle - base;
    }
    return slot >= 0 ? slots[slot] : nullptr;
}

}   // namespace

int CFileManager::ReadLine(char* buffer, int length, int handle)
{
    if (!buffer || length <= 0)
        return 0;
    buffer[0] = 0;

    if (handle >= FILE_OBJECTS && handle < FILE_OBJECTS + m_ObjectsCount)
    {
        PackEntry& e = m_Objects[handle - FILE_OBJECTS];
        if (!e.data || e.readPos >= e.size)
            return 0;
        uint32_t pos = e.readPos;
        int n = 0;
        bool broke = false;
        while (n < length - 1 && pos < e.size)
        {
            unsigned char c = e.data[pos];
            if (IsLineBreak(c))
            {
                broke = true;
                break;
            }
            buffer[n++] = (char)c;
            ++pos;
        }
        buffer[n] = 0;
        if (broke)
        {
            // CR LF is one break, and one empty line right after a line is skipped.
            ++pos;
            if (pos < e.size && IsLineBreak(e.data[pos]))
                ++pos;
        }
        e.readPos = pos;
        return 1;
    }

    FILE* f = SlotStream(m_Slots, handle, true);
    if (!f)
        return 0;
    if (!std::fgets(buffer, length, f))
    {
        buffer[0] = 0;
        return 0;
    }
    size_t len = std::strlen(buffer);
    if (len > 0 && buffer[len - 1] == '\n')
        buffer[--len] = 0;
    if (len > 0 && buffer[len - 1] == '\r')
        buffer[--len] = 0;
    return 1;
}

size_t CFileManager::Read(void* buffer, size_t elementSize, size_t count, int handle)
{
    if (!buffer || elementSize == 0 || count == 0)
        return 0;
    FILE* f = SlotStream(m_Slots, handle, false);
    if (!f)
        return 0;
    return std::fread(buffer, elementSize, count, f);
}

int CFileManager::OpenForWrite(const char* name, int mode)
{
    if (!name || (mode != FILE_TEXT && mode != FILE_BINARY))
        return -1;
    int slot = FreeSlot(m_Slots);
    if (slot < 0)
        return -1;
    std::string path = ToSlashes(name);
    // Written beside the real name and renamed over it on Close, so a crash or
    // a full disk never leaves a half-written save in its place.
    // Whatever a save cut short left at the temporary name is replaced; a
    // folder standing there fails the save, and the old file stays.
    std::string temp = TempFileName(path.c_str());
    FILE* f = CreateTempFile(temp.c_str());
    if (!f)
    {
        const std::string why = TempFileFailure(temp.c_str());
        LogString("Could not write \"%s\"; the old file is kept.", path.c_str());
        LogString("%s", why.c_str());
        return -1;
    }
    char* keep = static_cast<char*>(std::malloc(path.size() + 1));
    if (!keep)
    {
        std::fclose(f);
        unlink(temp.c_str());
        return -1;
    }
    std::memcpy(keep, path.c_str(), path.size() + 1);
    m_Slots[slot] = f;
    m_WriteNames[slot] = keep;
    return slot;
}

size_t CFileManager::Write(const void* buffer, size_t elementSize, size_t count, int handle)
{
    if (!buffer || elementSize == 0 || count == 0)
        return 0;
    FILE* f = SlotStream(m_Slots, handle, true);
    if (!f)
        return 0;
    return std::fwrite(buffer, elementSize, count, f);
}

void CFileManager::Close(int handle)
{
    if (handle >= FILE_OBJECTS && handle < FILE_OBJECTS + m_ObjectsCount)
    {
        m_Objects[handle - FILE_OBJECTS].readPos = 0;
        return;
    }
    int slot = -1;
    if (handle >= 0 && handle < FILE_SLOTS)
        slot = handle;
    else
    {
        const int bases[] = {FILE_WORLD, FILE_TEXTURES, FILE_SD};
        for (int base : bases)
            if (handle >= base && handle < base + FILE_SLOTS)
                slot = handle - base;
    }
    if (slot < 0 || !m_Slots[slot])
        return;   // -1, a stray number or a slot already closed
    FILE* f = m_Slots[slot];
    m_Slots[slot] = nullptr;
    if (char* finalName = m_WriteNames[slot])
    {
        m_WriteNames[slot] = nullptr;
        const std::string temp = TempFileName(finalName);
        std::string why;
        if (!FinishTempFile(f, temp.c_str(), finalName, true, &why))
        {
            LogString("Could not write \"%s\"; the old file is kept.", finalName);
            LogString("%s", why.c_str());
        }
        std::free(finalName);
        return;
    }
    std::fclose(f);
}

int CFileManager::GetFileSize(int slot)
{
    if (slot < 0 || slot >= FILE_SLOTS || !m_Slots[slot])
        return 0;
    long long size = StreamSize(m_Slots[slot]);
    if (size < 0)
        return 0;
    return size > 0x7FFFFFFF ? 0x7FFFFFFF : (int)size;
}

int CFileManager::CreateFolder(const char* path)
{
    if (!path)
        return 0;
    std::string folder = ToSlashes(path);
    return mkdir(folder.c_str(), 0755) == 0 ? 1 : 0;
}
