#pragma once
// The demo-data generator's output: every module adds the files it makes under
// their game path ("Data/Landscape/Area01/HeightMap.dat"); the tree writes them
// as loose files and packs them into the four archives.
#include <cstdint>
#include <string>
#include <vector>

class DataTree
{
public:
    // Adds (or replaces) one file. Text files use LF line endings and no empty
    // lines: the pack line reader skips an empty line after a line.
    void Add(const std::string& path, std::vector<uint8_t> bytes);
    void AddText(const std::string& path, const std::string& text);

    struct File
    {
        std::string path;
        std::vector<uint8_t> bytes;
    };
    const std::vector<File>& Files() const { return m_Files; }

    // Writes the loose files and the four pack archives below `root`.
    bool WriteAll(const std::string& root) const;

private:
    std::vector<File> m_Files;
};

// A generator module: one small function per kind of data.
typedef void (*GeneratorFn)(DataTree& tree);

// Modules register themselves; the generator runs them sorted by name, so the
// output does not depend on link order.
struct GeneratorRegistration
{
    GeneratorRegistration(const char* name, GeneratorFn fn);
};
#define REGISTER_GENERATOR(name, fn) static GeneratorRegistration s_Generator_##fn(name, fn)

// Runs every registered module into `tree`.
void RunAllGenerators(DataTree& tree);
// Runs the one module registered under `name`; false when there is none.
bool RunGenerator(const char* name, DataTree& tree);
