#pragma once
// The scratch folder of the fuzz targets whose readers open files by relative
// names: made once under /tmp, entered only while one input runs (the fuzzer
// writes its corpus relative to the working folder too), and removed with
// everything in it when the program ends.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <system_error>

#include "core/FileManager.h"
#include "platform/os/MessageBox.h"
#include "tests/support/TempFolder.h"

namespace fuzzscratch
{

inline int QuietBox(HWND, const char*, const char*, UINT)
{
    return IDOK;
}

inline std::string& Folder()
{
    static std::string folder;
    return folder;
}

inline void RemoveFolder()
{
    testsupport::RemoveFolder(Folder());
}

// Makes the folder "/tmp/<prefix>XXXXXX" with the given sub-folders (each
// relative to it, parents first) on the first call and silences the message
// boxes; later calls only report. False when the folder cannot be made.
inline bool MakeScratch(const char* prefix, std::initializer_list<const char*> subfolders)
{
    static bool made = false;
    if (made)
        return true;
    if (!Folder().empty())
        return false;   // a failed earlier attempt
    Folder() = testsupport::MakeTempFolder(prefix);
    if (Folder().empty())
        return false;
    std::atexit(RemoveFolder);
    std::error_code error;
    for (const char* sub : subfolders)
        if (!std::filesystem::create_directory(Folder() + "/" + sub, error))
            return false;
    SetMessageBoxHook(QuietBox);
    made = true;
    return true;
}

// Working folder = the scratch folder for the lifetime of the object.
struct InScratch
{
    InScratch()
    {
        if (getcwd(saved, sizeof(saved)) && chdir(Folder().c_str()) == 0)
            entered = true;
    }
    ~InScratch()
    {
        if (entered && chdir(saved) != 0)
            std::abort();
    }
    InScratch(const InScratch&) = delete;
    InScratch& operator=(const InScratch&) = delete;

    char saved[4096];
    bool entered = false;
};

// The bytes as a file; false when it cannot be opened.
inline bool WriteBytes(const char* name, const uint8_t* data, size_t size)
{
    FILE* f = std::fopen(name, "wb");
    if (!f)
        return false;
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);
    return true;
}

// The bytes as the one entry of an Objects pack held in memory, as the pack
// reader leaves it, under the given name.
inline void InstallObjectsPack(const char* name, const uint8_t* data, size_t size)
{
    g_FileManager.m_LooseFiles = 0;
    g_FileManager.m_Objects = new PackEntry[1];
    PackEntry& e = g_FileManager.m_Objects[0];
    std::memset(&e, 0, sizeof(e));
    std::snprintf(e.name, sizeof(e.name), "%s", name);
    e.size = (uint32_t)size;
    e.data = new unsigned char[size ? size : 1];
    if (size)
        std::memcpy(e.data, data, size);
    g_FileManager.m_ObjectsCount = 1;
}

}   // namespace fuzzscratch
