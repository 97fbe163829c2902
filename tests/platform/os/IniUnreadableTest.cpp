// A settings file that exists but cannot be read is not a missing one: writing
// a key must not replace it with a file holding that key alone.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/os/Ini.h"
#include "tests/support/Files.h"
#include "tests/support/SaveFaults.h"
#include "tests/support/Skip.h"
#include "tests/support/TempFolder.h"

namespace
{

TEST(IniUnreadableTest, AWriteKeepsAFileItCannotRead)
{
    TempFolder folder;
    ASSERT_TRUE(folder.Make("ini_unreadable_"));
    const std::string path = folder.path() + "/Game.ini";
    const std::string text = "[Video]\nMode=3\nShadows=2\n[Audio]\nMaster=40\n";
    ASSERT_TRUE(testsupport::WriteFileBytes(path, std::vector<uint8_t>(text.begin(), text.end())));
    // Anyone may write in the folder; nobody may read the file. Root reads
    // everything, so the child gives up root first.
    ASSERT_EQ(chmod(folder.path().c_str(), 0777), 0);
    ASSERT_EQ(chmod(path.c_str(), 0), 0);

    const testsupport::ChildOutcome child = testsupport::RunInChild([&]() -> std::string {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            return "skip: cannot leave root";
        std::string failed;
        char buf[16];
        GetPrivateProfileStringA("Video", "Mode", "1", buf, sizeof(buf), path.c_str());
        testsupport::Check(failed, std::string(buf) == "1", "an unreadable file did not read as the defaults");
        testsupport::Check(failed, !WritePrivateProfileStringA("Video", "Mode", "5", path.c_str()),
                           "the write reported success");
        return failed;
    });
    if (child.report.compare(0, 5, "skip:") == 0)
        SKIP_OR_FAIL_IN_CI() << child.report;
    EXPECT_TRUE(child.exited);
    EXPECT_EQ(child.report, "");
    EXPECT_EQ(testsupport::ReadFileText(path), text);
    EXPECT_EQ(testsupport::ReadFileText(path + ".tmp"), "");
}

}   // namespace
