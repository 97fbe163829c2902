#include "platform/os/Shell.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>

#include "tests/support/TempFolder.h"

namespace
{
class ShellTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.Make("shell_test_"));
        dir = folder.path();
        const char* p = getenv("PATH");
        savedPath = p ? p : "";
    }
    void TearDown() override
    {
        setenv("PATH", savedPath.c_str(), 1);
        folder.Remove();
    }
    TempFolder folder;
    std::string dir;
    std::string savedPath;
};

TEST_F(ShellTest, SkippedWithoutAnOpener)
{
    const std::string empty = dir + "/empty";
    mkdir(empty.c_str(), 0700);
    setenv("PATH", empty.c_str(), 1);
    EXPECT_EQ((uintptr_t)ShellExecuteA(nullptr, "open", "play.url", nullptr, nullptr, 1), 2u);
}

TEST_F(ShellTest, OpensTheFileWithXdgOpenWithoutWaiting)
{
    // A stand-in opener that takes a while and then records its argument.
    const std::string bin = dir + "/bin";
    mkdir(bin.c_str(), 0700);
    const std::string marker = dir + "/opened";
    {
        std::ofstream script(bin + "/xdg-open");
        script << "#!/bin/sh\nsleep 0.3\necho \"$1\" > '" << marker << "'\n";
    }
    chmod((bin + "/xdg-open").c_str(), 0755);
    setenv("PATH", (bin + ":/usr/bin:/bin").c_str(), 1);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_GT((uintptr_t)ShellExecuteA(nullptr, "open", "play.url", nullptr, nullptr, 1), 32u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));

    std::string opened;
    for (int i = 0; i < 100 && opened.empty(); ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::ifstream in(marker);
        std::getline(in, opened);
    }
    EXPECT_EQ(opened, "play.url");
}

TEST_F(ShellTest, OnlyOpensFiles)
{
    EXPECT_LE((uintptr_t)ShellExecuteA(nullptr, "print", "play.url", nullptr, nullptr, 1), 32u);
    EXPECT_LE((uintptr_t)ShellExecuteA(nullptr, "open", nullptr, nullptr, nullptr, 1), 32u);
}
}   // namespace
