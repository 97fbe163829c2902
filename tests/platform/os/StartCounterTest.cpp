#include "platform/os/StartCounter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/Skip.h"
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
    SetStartCounterFolder(nullptr);
}

// A folder left where the count's temporary file goes: the count cannot be
// written, which is a first start, and the kept count is whole; once the
// folder is gone counting goes on from it.
TEST_F(StartCounterTest, AFolderAtTheTemporaryNameKeepsTheCountWhole)
{
    ASSERT_EQ(CountStart("Trallowmere"), 0);
    ASSERT_EQ(CountStart("Trallowmere"), 1);
    const std::string file = dir + "/Brenhold/Trallowmere/Started";
    ASSERT_EQ(mkdir((file + ".tmp").c_str(), 0755), 0);
    EXPECT_EQ(CountStart("Trallowmere"), 0);
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, std::string("\1\0\0\0", 4));
    ASSERT_EQ(rmdir((file + ".tmp").c_str()), 0);
    EXPECT_EQ(CountStart("Trallowmere"), 2);
}

// Without a runtime folder (a shell with no login session) the count lives in
// shared memory, which a restart of the machine empties as well: a second
// start is not a first start, so the player's options are kept.
TEST_F(StartCounterTest, WithoutARuntimeFolderTheCountLivesInSharedMemory)
{
    if (access(kStartCounterFallback, W_OK) != 0)
        SKIP_OR_FAIL_IN_CI() << "no " << kStartCounterFallback;
    SetStartCounterFolder(nullptr);
    const char* saved = getenv("XDG_RUNTIME_DIR");
    std::string keep = saved ? saved : "";
    // A name of this test alone, so no other start counts in between.
    const std::string app = "StartCounterTest" + std::to_string((unsigned)getpid());
    for (const char* runtime : {(const char*)nullptr, ""})
    {
        if (runtime)
            setenv("XDG_RUNTIME_DIR", runtime, 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
        const int first = CountStart(app.c_str());
        EXPECT_EQ(CountStart(app.c_str()), first + 1) << (runtime ? "empty" : "unset");
    }
    const std::string folder = std::string(kStartCounterFallback) + "/runtime-" + std::to_string((unsigned)getuid());
    const std::string file = folder + "/Brenhold/" + app + "/Started";
    EXPECT_EQ(access(file.c_str(), F_OK), 0) << file;
    struct stat st;
    ASSERT_EQ(stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0077, 0u) << "the folder is the user's alone";
    remove(file.c_str());
    rmdir((folder + "/Brenhold/" + app).c_str());
    if (saved)
        setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
    else
        unsetenv("XDG_RUNTIME_DIR");
}

// The fallback folder sits where every user may write: a folder someone else
// may enter, or a link left under its name, is not used.
TEST_F(StartCounterTest, TheSharedFallbackFolderMustBeTheUsersAlone)
{
    const std::string fresh = dir + "/fresh";
    EXPECT_TRUE(PrivateFolder(fresh));
    struct stat st;
    ASSERT_EQ(stat(fresh.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(PrivateFolder(fresh)) << "the user's own folder is taken again";

    const std::string open = dir + "/open";
    ASSERT_EQ(mkdir(open.c_str(), 0700), 0);
    ASSERT_EQ(chmod(open.c_str(), 0777), 0);
    EXPECT_FALSE(PrivateFolder(open));

    const std::string link = dir + "/link";
    ASSERT_EQ(symlink(fresh.c_str(), link.c_str()), 0);
    EXPECT_FALSE(PrivateFolder(link));

    const std::string file = dir + "/file";
    std::ofstream(file) << "x";
    EXPECT_FALSE(PrivateFolder(file));
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
