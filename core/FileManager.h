#pragma once
// The one way the game opens its data files: four pack archives (an index
// ".hdr" and a data file ".pak" each) or, with "File manager" 0 in Game.ini,
// loose files of the same names. Also opens, writes and closes plain files.
//
// Handles:  0..127           a plain file in that slot (every file in loose mode)
//           1000 + j         entry j of the Objects pack, read from memory
//           4000/5000/6000+s slot s holds World/Textures/SD ".pak" at the file
//           -1               failure; every operation accepts it and does nothing
#include <cstddef>
#include <cstdint>
#include <cstdio>

#define FILE_SLOTS 128

// Open modes (and the handle bases of the packs).
#define FILE_TEXT     0
#define FILE_BINARY   1
#define FILE_OBJECTS  1000
#define FILE_WORLD    4000
#define FILE_TEXTURES 5000
#define FILE_SD       6000

// Objects handles must stay below the World range.
#define MAX_OBJECTS_ENTRIES (FILE_WORLD - FILE_OBJECTS)
#define PACK_NAME_MAX       255

// Every byte of every entry name, and of every Objects file, is stored with
// this added to it (mod 256). The pack writer uses the same value.
#define PACK_SCRAMBLE 0x5B

inline unsigned char PackScramble(unsigned char b)
{
    return (unsigned char)(b + PACK_SCRAMBLE);
}
inline unsigned char PackUnscramble(unsigned char b)
{
    return (unsigned char)(b - PACK_SCRAMBLE);
}

struct PackEntry
{
    char name[PACK_NAME_MAX + 1];   // plain name, NUL-terminated
    uint32_t size;
    uint32_t offset;       // of the first byte in the ".pak"
    unsigned char* data;   // Objects pack only: the whole file, unscrambled
    uint32_t readPos;      // Objects pack only: next ReadLine position
};

class CFileManager
{
public:
    // Reads the pack indexes (and the whole Objects pack) unless in loose mode.
    // A damaged index is refused with a message naming it; so is an Objects
    // index whose files add up to more bytes than its ".pak" holds.
    void Create();
    // Frees the packs and closes every slot still open.
    void Release();

    // Returns a handle or -1; stores the file's size through `size` when given.
    int Open(const char* name, int mode, int* size);
    // Reads one line without its line break (LF, CR LF) into `buffer`.
    // Returns 1 when a line was read; 0 at the end of the file or for a bad
    // handle, with the buffer then empty.
    int ReadLine(char* buffer, int length, int handle);
    // fread semantics; plain and World/Textures/SD handles, 0 otherwise.
    size_t Read(void* buffer, size_t elementSize, size_t count, int handle);
    // Mode 0 text, 1 bytes; returns a slot or -1. The file is written beside
    // its name and takes the name's place on Close, so a failed write never
    // leaves a half-written file behind.
    int OpenForWrite(const char* name, int mode);
    // fwrite semantics; plain slots only.
    size_t Write(const void* buffer, size_t elementSize, size_t count, int handle);
    void Close(int handle);
    // Size of an open plain file; 0 for -1, pack handles and free slots.
    int GetFileSize(int slot);
    // Returns 1 when the folder was made, 0 otherwise (also when it exists).
    int CreateFolder(const char* path);

    // Reads one pack index from memory. `pakSize` < 0: the ".pak" is missing,
    // so offsets cannot be checked. Returns the number of entries (0..) and the
    // array through `entries` (new[]; null when there are none), or -1 for a
    // damaged index. Names are unscrambled; data pointers are null.
    static int ParsePackIndex(const unsigned char* bytes, size_t size, long long pakSize, int maxEntries,
                              PackEntry** entries);

    // Fields: public, read by tests and the fuzz target.
    int m_ObjectsCount;
    int m_WorldCount;
    int m_TexturesCount;
    int m_SDCount;
    PackEntry* m_Objects;
    PackEntry* m_World;
    PackEntry* m_Textures;
    PackEntry* m_SD;
    int m_LooseFiles;
    FILE* m_Slots[FILE_SLOTS];
    char* m_WriteNames[FILE_SLOTS];   // final name of a slot opened for writing
};

// No constructor: zero-filled until Create.
extern CFileManager g_FileManager;
