#pragma once
// A test that cannot run on this machine: no video driver for the OpenGL
// device, no generated demo data, a program that was not built, a system
// folder or right the test needs. On a developer's machine without a display
// it is skipped, so the rest still runs. In CI (CI=true) it fails instead:
// there every piece is meant to be present, and a skip would let a test that
// proved nothing count as passed.
//
//     if (!hidden.Open(800, 600))
//         SKIP_OR_FAIL_IN_CI() << "no video driver";
//
// Like GTEST_SKIP it returns from the function it is in: in a helper called
// by a test, the caller checks IsSkipped() || HasFatalFailure().
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace testsupport
{

// True when skipped tests fail: CI is set to "true".
inline bool SkipsFail()
{
    const char* ci = std::getenv("CI");
    return ci && std::strcmp(ci, "true") == 0;
}

}   // namespace testsupport

#define SKIP_OR_FAIL_IN_CI()                                                                                           \
    return GTEST_MESSAGE_(                                                                                             \
        ::testsupport::SkipsFail() ? "Missing in CI (CI=true), where a skip is a failure" : "Skipped",                 \
        ::testsupport::SkipsFail() ? ::testing::TestPartResult::kFatalFailure : ::testing::TestPartResult::kSkip)
