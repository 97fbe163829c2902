#include "platform/os/StartCounter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/support/TempFolder.h"

namespace
{
class StartCounterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.Make("start_counter_"));
        dir = folder.path();
        SetStartCounterFolder(dir.c_str());
    }
    void TearDown() override
    {
        SetStartCounterFolder(nullptr);
        folder.Remove();
    }
    TempFolder folder;
    std::string dir;
};

TEST_F(StartCounterTest, FirstStartIsZeroThenCounts)
{
    EXPECT_EQ(CountStart("Trallowmere"), 0);
    EXPECT_EQ(CountStart("Trallowmere"), 1);
    EXPECT_EQ(CountStart("Trallowmere"), 2);
    // Another program keeps its own count.
    EXPECT_EQ(CountStart("Other"), 0);
    EXPECT_EQ(CountStart("Trallowmere"), 3);
}

TEST_F(StartCounterTest, DamagedCountIsAFirstStartAndCountingGoesOn)
{
    ASSERT_EQ(CountStart("Trallowmere"), 0);
    const std::string file = dir + "/Brenhold/Trallowmere/Started";
    for (const char* damage : {"", "1234567", "ab"})
    {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << damage;
        EXPECT_EQ(CountStart("Trallowmere"), 0) << "'" << damage << "'";
        EXPECT_EQ(CountStart("Trallowmere"), 1);
    }
}

TEST_F(StartCounterTest, FailuresCountAsFirstStart)
{
    // A folder that cannot hold the count.
    const std::string notAFolder = dir + "/file";
    std::ofstream(notAFolder) << "x";
    SetStartCounterFolder(notAFolder.c_str());
    EXPECT_EQ(CountStart("Trallowmere"), 0);
    EXPECT_EQ(CountStart("Trallowmere"), 0);

    // No runtime folder at all.
    SetStartCounterFolder(nullptr);
    const char* saved = getenv("XDG_RUNTIME_DIR");
    std::string keep = saved ? saved : "";
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(CountStart("Trallowmere"), 0);
    if (saved)
        setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
}

TEST_F(StartCounterTest, UsesTheRuntimeFolderByDefault)
{
    SetStartCounterFolder(nullptr);
    const char* saved = getenv("XDG_RUNTIME_DIR");
    std::string keep = saved ? saved : "";
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    EXPECT_EQ(CountStart("Trallowmere"), 0);
    EXPECT_EQ(CountStart("Trallowmere"), 1);
    std::ifstream in(dir + "/Brenhold/Trallowmere/Started", std::ios::binary);
    EXPECT_TRUE(in.good());
    if (saved)
        setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
}
}   // namespace
