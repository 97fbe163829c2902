#include "tests/support/Paths.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace testsupport
{

namespace
{

// A relative folder is taken from the working folder of the program's first
// call and kept whole from then on: tests and benchmarks change into the
// data folder, after which the same relative name would point elsewhere.
std::string FromEnvironment(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    std::string folder = value && value[0] ? value : fallback;
    static const std::string firstWorkingFolder = [] {
        char here[PATH_MAX];
        return std::string(getcwd(here, sizeof(here)) ? here : ".");
    }();
    if (!folder.empty() && folder[0] != '/')
        folder = firstWorkingFolder + "/" + folder;
    return folder;
}

}   // namespace

std::string DemoDataDir()
{
    const char* forbidden = std::getenv("TRALLOWMERE_NO_DEMO_DATA");
    if (forbidden && forbidden[0])
    {
        std::fprintf(stderr, "This test reads the generated demo data but does not wait for it: put \"DemoData\" "
                             "in its suite or test name.\n");
        std::abort();
    }
    return FromEnvironment("TRALLOWMERE_TESTDATA", TRALLOWMERE_TEST_DATA);
}

std::string SourceDir()
{
    return FromEnvironment("TRALLOWMERE_SOURCE", TRALLOWMERE_SOURCE_DIR);
}

std::string BuildDir()
{
    return FromEnvironment("TRALLOWMERE_BUILD", TRALLOWMERE_BUILD_DIR);
}

}   // namespace testsupport
