#include "core/RacerNames.h"

#include <cstring>

#include "core/FileManager.h"

char g_RacerNames[RACER_NAME_BLOCKS][RACER_NAME_ENTRIES][RACER_NAME_SIZE];

namespace
{

const char kFile[] = "Data/Misc/RacersName.obj";
const int kHeaderLines = 3;
const int kLineBuffer = 256;

// One whole line. The line reader hands a line longer than its buffer over in
// pieces, so the pieces after a full buffer are read and dropped: a long line
// never shifts the lines after it. Returns 0 at the end of the file.
int ReadWholeLine(int handle, char* line)
{
    if (!g_FileManager.ReadLine(line, kLineBuffer, handle))
        return 0;
    char rest[kLineBuffer];
    size_t length = std::strlen(line);
    while (length == (size_t)kLineBuffer - 1 && g_FileManager.ReadLine(rest, kLineBuffer, handle))
        length = std::strlen(rest);
    return 1;
}

void StoreName(char* name, const char* line)
{
    size_t length = std::strlen(line);
    if (length > RACER_NAME_LIMIT)
        length = RACER_NAME_LIMIT;
    while (length > 0 && (line[length - 1] == ' ' || line[length - 1] == '\t'))
        --length;
    std::memcpy(name, line, length);
    name[length] = '\0';
}

// The blocks in order; stops at the end of the file.
int ReadNames(int handle)
{
    char line[kLineBuffer];
    int names = 0;
    for (int block = 0; block < RACER_NAME_BLOCKS; ++block)
    {
        for (int i = 0; i < kHeaderLines; ++i)
            if (!ReadWholeLine(handle, line))
                return names;
        for (int entry = 0; entry < RACER_NAME_ENTRIES; ++entry)
        {
            if (!ReadWholeLine(handle, line))
                return names;
            StoreName(g_RacerNames[block][entry], line);
            ++names;
            if (!ReadWholeLine(handle, line))
                return names;
        }
    }
    return names;
}

}   // namespace

int LoadRacerNames()
{
    std::memset(g_RacerNames, 0, sizeof(g_RacerNames));
    const int handle = g_FileManager.Open(kFile, FILE_OBJECTS, nullptr);
    if (handle == -1)
        return 0;
    const int names = ReadNames(handle);
    g_FileManager.Close(handle);
    return names;
}
