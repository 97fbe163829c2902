// The play command on a fresh clone: it builds the game and the data
// generator only (the test command builds the rest), makes the data, has the
// driver compile the shaders in a headless start elsewhere, and starts the
// game. Run against stand-ins for cmake, the package set-up, the generator and
// the game, which note how they were called.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tests/support/TempFolder.h"

namespace
{

namespace fs = std::filesystem;

bool WriteScript(const std::string& path, const std::string& text)
{
    fs::create_directories(fs::path(path).parent_path());
    return testsupport::WriteFileBytes(path, std::vector<uint8_t>(text.begin(), text.end())) &&
           chmod(path.c_str(), 0755) == 0;
}

TEST(RunScriptTest, ThePlayCommandBuildsOnlyTheGameAndTheGenerator)
{
    TempFolder clone;
    ASSERT_TRUE(clone.Make("trallowmere-clone-"));
    const std::string root = clone.path();
    fs::create_directories(root + "/scripts");
    for (const char* script : {"scripts/run.sh", "scripts/build.sh"})
        fs::copy_file(testsupport::SourceDir() + "/" + script, root + "/" + script);
    const std::string log = root + "/calls.txt";
    // Every package is there.
    ASSERT_TRUE(WriteScript(root + "/scripts/setup.sh", "#!/usr/bin/env bash\nexit 0\n"));
    // The generator and the game note that they ran, and where.
    ASSERT_TRUE(WriteScript(root + "/stubs/datagen",
                            "#!/usr/bin/env bash\necho \"datagen $*\" >> '" + log + "'\nmkdir -p \"$1/Data\"\n"));
    ASSERT_TRUE(WriteScript(root + "/stubs/trallowmere",
                            "#!/usr/bin/env bash\necho \"game in $(basename \"$PWD\") "
                            "${SDL_VIDEODRIVER:-window} ${TRALLOWMERE_TEST_CLOSE_AFTER_FRAMES:-played}\" >> '" +
                                log + "'\n"));
    // cmake notes its arguments; the first build makes the two programs, later
    // ones find them up to date.
    ASSERT_TRUE(WriteScript(root + "/bin/cmake", "#!/usr/bin/env bash\n"
                                                 "echo \"cmake $*\" >> '" + log + "'\n"
                                                 "if [ \"$1\" = --build ]; then\n"
                                                 "  [ -e \"$2/trallowmere\" ] || { mkdir -p \"$2\" && cp '" + root +
                                                     "'/stubs/* \"$2\"/; }\n"
                                                 "fi\n"));
    // A player's shell: none of the build scripts' settings that a caller
    // (CI's test run, say) may have exported.
    const std::string command = "cd '" + root +
                                "' && env -u SDL_VIDEODRIVER -u TRALLOWMERE_TEST_CLOSE_AFTER_FRAMES -u BUILD_DIR "
                                "-u BUILD_TARGETS -u CMAKE_ARGS PATH='" +
                                root + "/bin':\"$PATH\" bash scripts/run.sh";
    ASSERT_EQ(std::system(command.c_str()), 0);

    const std::string calls = testsupport::ReadFileText(log);
    EXPECT_NE(calls.find("cmake --build build -j"), std::string::npos) << calls;
    EXPECT_NE(calls.find("--target trallowmere datagen\n"), std::string::npos) << "builds everything:\n" << calls;
    EXPECT_NE(calls.find("datagen run\n"), std::string::npos) << calls;
    // The shaders once, headless and away from run/, then the game itself.
    const size_t warm = calls.find(" offscreen 3\n");
    ASSERT_NE(warm, std::string::npos) << calls;
    EXPECT_EQ(calls.find("game in run offscreen"), std::string::npos) << calls;
    const size_t played = calls.find("game in run window played\n");
    EXPECT_NE(played, std::string::npos) << calls;
    EXPECT_LT(warm, played) << calls;

    // The next start neither builds everything nor compiles the shaders again.
    ASSERT_TRUE(testsupport::WriteFileBytes(log, {}));
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string again = testsupport::ReadFileText(log);
    EXPECT_EQ(again.find(" 3\n"), std::string::npos) << again;
    EXPECT_EQ(again.find("datagen run"), std::string::npos) << again;
}

}   // namespace
