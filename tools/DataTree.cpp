#include "tools/DataTree.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "tools/PackWriter.h"

namespace
{

struct Module
{
    std::string name;
    GeneratorFn fn;
};

// A function-local list: modules register during static initialization, in
// whatever order the linker chose.
std::vector<Module>& Modules()
{
    static std::vector<Module> modules;
    return modules;
}

bool WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    return WriteWholeFile(path.string(), bytes);
}

// The text readers rely on LF line breaks and no empty lines (the pack line
// reader skips an empty line that follows a line).
std::string TextProblem(const std::string& text)
{
    if (text.find('\r') != std::string::npos)
        return "contains a carriage return";
    if (!text.empty() && text[0] == '\n')
        return "starts with an empty line";
    if (text.find("\n\n") != std::string::npos)
        return "contains an empty line";
    return "";
}

}   // namespace

GeneratorRegistration::GeneratorRegistration(const char* name, GeneratorFn fn)
{
    Modules().push_back({name ? name : "", fn});
}

void RunAllGenerators(DataTree& tree)
{
    std::vector<Module> modules = Modules();
    std::stable_sort(modules.begin(), modules.end(), [](const Module& a, const Module& b) { return a.name < b.name; });
    for (const Module& m : modules)
        if (m.fn)
            m.fn(tree);
}

bool RunGenerator(const char* name, DataTree& tree)
{
    for (const Module& m : Modules())
        if (m.fn && m.name == name)
        {
            m.fn(tree);
            return true;
        }
    return false;
}

void DataTree::Add(const std::string& path, std::vector<uint8_t> bytes)
{
    for (File& f : m_Files)
    {
        if (f.path == path)
        {
            f.bytes = std::move(bytes);
            return;
        }
    }
    m_Files.push_back({path, std::move(bytes)});
}

void DataTree::AddText(const std::string& path, const std::string& text)
{
    std::string problem = TextProblem(text);
    if (!problem.empty())
        std::fprintf(stderr, "datagen: text file %s %s\n", path.c_str(), problem.c_str());
    Add(path, std::vector<uint8_t>(text.begin(), text.end()));
}

bool DataTree::WriteAll(const std::string& root) const
{
    bool ok = true;
    std::filesystem::path base(root);
    PackWriter packs[PACK_COUNT] = {PackWriter(true), PackWriter(false), PackWriter(false), PackWriter(false)};
    for (const File& f : m_Files)
    {
        if (!WriteFile(base / f.path, f.bytes))
        {
            std::fprintf(stderr, "datagen: cannot write %s\n", (base / f.path).c_str());
            ok = false;
        }
        PackKind kind = PackForPath(f.path);
        if (kind == PACK_NONE)
            continue;
        if (kind == PACK_OBJECTS)
        {
            std::string problem = TextProblem(std::string(f.bytes.begin(), f.bytes.end()));
            if (!problem.empty())
            {
                std::fprintf(stderr, "datagen: %s %s\n", f.path.c_str(), problem.c_str());
                ok = false;
            }
        }
        if (!packs[kind].Add(f.path, f.bytes))
        {
            std::fprintf(stderr, "datagen: %s cannot be packed\n", f.path.c_str());
            ok = false;
        }
    }
    std::error_code ec;
    std::filesystem::create_directories(base / "Data", ec);
    for (int k = 0; k < PACK_COUNT; ++k)
    {
        std::string packBase = (base / PackBaseName((PackKind)k)).string();
        if (!packs[k].Write(packBase))
        {
            std::fprintf(stderr, "datagen: cannot write %s.hdr/.pak\n", packBase.c_str());
            ok = false;
        }
    }
    return ok;
}
