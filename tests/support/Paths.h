#pragma once
// Where tests and benchmarks find the generated demo data, the source tree and
// the build folder. Each is the environment variable when it is set and not
// empty (CTest sets all three), otherwise the folder compiled into this
// library.
#include <string>

namespace testsupport
{

// The folder holding the generated "Data" (TRALLOWMERE_TESTDATA).
//
// A test that reads the demo data must have "DemoData" in its name, so that
// CTest runs it after the generator (see the test section of CMakeLists.txt).
// CTest sets TRALLOWMERE_NO_DEMO_DATA for every other test; asking for the
// folder there ends the program with a message saying so, so a test that
// forgot the name fails every time instead of racing the generator.
std::string DemoDataDir();

// The source tree (TRALLOWMERE_SOURCE) and the build folder (TRALLOWMERE_BUILD).
std::string SourceDir();
std::string BuildDir();

}   // namespace testsupport
