#include "tests/support/Paths.h"

#include <cstdio>
#include <cstdlib>

namespace testsupport
{

namespace
{

std::string FromEnvironment(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    return value && value[0] ? value : fallback;
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
