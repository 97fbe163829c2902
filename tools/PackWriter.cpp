#include "tools/PackWriter.h"

#include <cctype>
#include <cstdio>

#include "core/FileManager.h"

namespace
{

void PutLE32(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back((uint8_t)(v & 0xFF));
    out.push_back((uint8_t)((v >> 8) & 0xFF));
    out.push_back((uint8_t)((v >> 16) & 0xFF));
    out.push_back((uint8_t)((v >> 24) & 0xFF));
}

std::string LowerExtension(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "";
    std::string ext = path.substr(dot);
    for (char& c : ext)
        c = (char)std::tolower((unsigned char)c);
    return ext;
}

}   // namespace

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

const char* PackBaseName(PackKind kind)
{
    switch (kind)
    {
    case PACK_OBJECTS:
        return "Data/Objects";
    case PACK_WORLD:
        return "Data/World";
    case PACK_TEXTURES:
        return "Data/Textures";
    case PACK_SD:
        return "Data/SD";
    default:
        return nullptr;
    }
}

PackKind PackForPath(const std::string& path)
{
    if (path.compare(0, 5, "Data/") != 0)
        return PACK_NONE;   // settings, saves and the like are never packed
    std::string ext = LowerExtension(path);
    // Object descriptions and lists are read as text from memory.
    if (ext == ".obj")
        return PACK_OBJECTS;
    if (ext == ".wav" || path.compare(0, 11, "Data/Audio/") == 0)
        return PACK_SD;
    // Pictures go through the texture cache, which opens the Textures pack.
    if (ext == ".dds" || ext == ".bmp" || ext == ".jpg" || ext == ".jpeg" || ext == ".png" || ext == ".tga")
        return PACK_TEXTURES;
    // Meshes, area grids, font data, technique files: opened as World files.
    return PACK_WORLD;
}

bool PackWriter::Add(const std::string& name, const std::vector<uint8_t>& bytes)
{
    if (name.empty() || name.size() > PACK_NAME_MAX)
        return false;
    for (char c : name)
        if (c == 0 || c == '\\' || PackScramble((unsigned char)c) == 0)
            return false;
    uint64_t offset = m_Data.size();
    if (offset + bytes.size() > 0xFFFFFFFFull)
        return false;

    for (char c : name)
        m_Index.push_back(PackScramble((unsigned char)c));
    m_Index.push_back(0);
    PutLE32(m_Index, (uint32_t)bytes.size());
    PutLE32(m_Index, (uint32_t)offset);
    for (uint8_t b : bytes)
        m_Data.push_back(m_ScrambleData ? PackScramble(b) : b);
    m_Names.push_back(name);
    return true;
}

bool PackWriter::AddText(const std::string& name, const std::string& text)
{
    return Add(name, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> PackWriter::HeaderFile() const
{
    std::vector<uint8_t> hdr = m_Index;
    PutLE32(hdr, (uint32_t)m_Names.size());
    return hdr;
}

bool PackWriter::Write(const std::string& base) const
{
    return WriteWholeFile(base + ".hdr", HeaderFile()) && WriteWholeFile(base + ".pak", m_Data);
}
