// The play-through of a new player on the demo data (tools/
// PlayThroughMain.cpp): a profile typed and a motorcycle picked, quick races
// and career races ridden to their result screens through the program's own
// keys and mouse, the records seen, EXIT; then the program started again,
// where the profile, the career, the options and the records must all be as
// they were left. Every fault the player finds fails the test with the
// player's own words.
//
// The short plan rides one quick race and one career race. With
// TRALLOWMERE_PLAYTHROUGH_PLAN=full (as CI runs it) the whole career is
// ridden, finished and cleared, then a quick race on every area and season.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/Skip.h"
#include "tests/support/TempFolder.h"

namespace
{
TEST(PlayThroughDemoDataTest, NewPlayerRacesAndFindsEverythingKeptAfterARestart)
{
    const std::string program = testsupport::BuildDir() + "/playthrough";
    if (access(program.c_str(), X_OK) != 0)
        SKIP_OR_FAIL_IN_CI() << "program not built: " << program;
    TempFolder folder;
    ASSERT_TRUE(folder.Make("playthrough_"));
    const std::string dir = folder.path();
    const std::string data = testsupport::DemoDataDir() + "/Data";
    ASSERT_EQ(symlink(data.c_str(), (dir + "/Data").c_str()), 0) << data;

    const char* plan = std::getenv("TRALLOWMERE_PLAYTHROUGH_PLAN");
    const bool full = plan && std::string(plan) == "full";
    const std::string log = dir + "/output.txt";
    // A start counter of its own: the first run is the machine's first
    // start, the restart a later one.
    mkdir((dir + "/run").c_str(), 0700);
    const std::string command = "env SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null XDG_RUNTIME_DIR='" + dir +
                                "/run' '" + program + "' '" + dir + "' --plan " + (full ? "full" : "short") + " > '" +
                                log + "' 2>&1";
    const int status = std::system(command.c_str());
    const std::string output = testsupport::ReadFileText(log);
    ASSERT_TRUE(WIFEXITED(status)) << output;

    std::istringstream lines(output);
    std::string line;
    int races = 0;
    while (std::getline(lines, line))
    {
        EXPECT_EQ(line.find("FAULT"), std::string::npos) << line;
        EXPECT_EQ(line.find("message box"), std::string::npos) << line;
        if (line.find("] race on area") != std::string::npos)
            ++races;
    }
    // The full plan: eighteen career races at least (a race below third is
    // ridden again) and nine quick races besides the first.
    if (full)
    {
        EXPECT_GE(races, 27) << output;
        EXPECT_NE(output.find("career complete"), std::string::npos) << output;
    }
    else
    {
        EXPECT_EQ(races, 2) << output;
    }
    EXPECT_NE(output.find("restart over"), std::string::npos) << output;
    EXPECT_EQ(WEXITSTATUS(status), 0) << output;
}
}   // namespace
