#pragma once
// Writes pack archives (an index ".hdr" and a data file ".pak") that
// CFileManager reads, and knows which pack each game path belongs to.
#include <cstdint>
#include <string>
#include <vector>

enum PackKind
{
    PACK_NONE = -1,     // not packed (outside "Data/")
    PACK_OBJECTS = 0,   // text: object descriptions and lists (".obj")
    PACK_WORLD,         // binary world data: meshes, area grids, fonts, techniques
    PACK_TEXTURES,      // pictures
    PACK_SD,            // sounds
    PACK_COUNT
};

// Writes the bytes as the file at path (its folder must exist); false when
// it cannot be opened, written or closed.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);

// "Data/Objects", "Data/World", "Data/Textures", "Data/SD".
const char* PackBaseName(PackKind kind);
// The pack a game path goes into, from where the game opens it.
PackKind PackForPath(const std::string& path);

class PackWriter
{
public:
    // Objects packs have their data scrambled as well as their names.
    explicit PackWriter(bool scrambleData) : m_ScrambleData(scrambleData) {}

    // Appends one file. False (and nothing added) for a name the index cannot
    // hold: empty, longer than 255 bytes, with a byte that would be stored as
    // the terminator, or with a backslash (the game opens names with '/').
    bool Add(const std::string& name, const std::vector<uint8_t>& bytes);
    bool AddText(const std::string& name, const std::string& text);
    size_t Count() const { return m_Names.size(); }

    const std::vector<uint8_t>& IndexBytes() const { return m_Index; }
    const std::vector<uint8_t>& DataBytes() const { return m_Data; }
    // The index with its count appended, as stored in the ".hdr".
    std::vector<uint8_t> HeaderFile() const;

    // Writes base + ".hdr" and base + ".pak" (base e.g. "out/Data/World").
    bool Write(const std::string& base) const;

private:
    bool m_ScrambleData;
    std::vector<std::string> m_Names;
    std::vector<uint8_t> m_Index;   // entries without the count
    std::vector<uint8_t> m_Data;
};
