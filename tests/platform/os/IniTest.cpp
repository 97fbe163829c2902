#include "platform/os/Ini.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "tests/support/Files.h"
#include "tests/support/TempFolder.h"

namespace
{
class IniTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.Make("ini_test_"));
        dir = folder.path();
        path = dir + "/Game.ini";
    }
    void TearDown() override { folder.Remove(); }

    void WriteFile(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::string ReadFile() { return testsupport::ReadFileText(path); }
    std::string Get(const char* section, const char* key, const char* def = "DEF")
    {
        char buf[128];
        GetPrivateProfileStringA(section, key, def, buf, sizeof(buf), path.c_str());
        return buf;
    }

    TempFolder folder;
    std::string dir;
    std::string path;
};

TEST_F(IniTest, ReadsWithWindowsMatchingRules)
{
    WriteFile("; settings\n"
              "[Video]\n"
              "Mode=3\n"
              "  Distance  =   1   \n"
              "mode=9\n"
              "Empty=\n"
              "[video]\n"
              "Shadows=2\n"
              "[ Misc ]\n"
              "Game menu = 0\n"
              "; RaceID=5\n"
              "NoEquals\n");
    struct Case
    {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"Video", "Mode", "3"},                                    // first of duplicates wins
        {"VIDEO", "MODE", "3"},                                    // section and key ignore case
        {"Video", "Distance", "1"},                                // white space around key and value trimmed
        {"Video", "Empty", ""},                                    // present but empty is not the default
        {"Video", "Shadows", "DEF"},                               // only the first section of a name is read
        {"Misc", "game MENU", "0"},                                // section name trimmed, key with a space
        {"Misc", "RaceID", "DEF"},                                 // commented-out key
        {"Misc", "NoEquals", "DEF"}, {"Audio", "Master", "DEF"},   // missing section
    };
    for (const Case& c : cases)
        EXPECT_EQ(Get(c.section, c.key), c.expected) << c.section << "/" << c.key;
}

TEST_F(IniTest, MissingFileGivesDefaultAndOutputIsTruncated)
{
    EXPECT_EQ(Get("Video", "Mode", "1"), "1");
    WriteFile("[A]\nKey=abcdefghij\n");
    char small[5];
    EXPECT_EQ(GetPrivateProfileStringA("A", "Key", "", small, sizeof(small), path.c_str()), 4u);
    EXPECT_STREQ(small, "abcd");
    EXPECT_EQ(GetPrivateProfileStringA("A", "Nope", "xyzxyzxyz", small, sizeof(small), path.c_str()), 4u);
    EXPECT_STREQ(small, "xyzx");
}

TEST_F(IniTest, WriteReplacesTheKeyInPlaceAndKeepsEverythingElse)
{
    WriteFile("; Trallowmere settings\n"
              "[Video]\n"
              "Mode=3\n"
              "  DISTANCE = 1\n"
              "Windowed=  yes please \n"
              "\n"
              "[Misc]\n"
              "Unknown=keep me\n");
    ASSERT_TRUE(WritePrivateProfileStringA("video", "Distance", "2", path.c_str()));
    EXPECT_EQ(ReadFile(), "; Trallowmere settings\n"
                          "[Video]\n"
                          "Mode=3\n"
                          "Distance=2\n"
                          "Windowed=  yes please \n"
                          "\n"
                          "[Misc]\n"
                          "Unknown=keep me\n");
    // No temporary file is left beside it.
    EXPECT_NE(access((path + ".tmp").c_str(), F_OK), 0);
}

TEST_F(IniTest, WriteAppendsMissingKeyAndSection)
{
    WriteFile("[Video]\nMode=3\n\n[Misc]\nProfiles=1\n");
    ASSERT_TRUE(WritePrivateProfileStringA("Video", "Shadows", "0", path.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Audio", "Master", "80", path.c_str()));
    EXPECT_EQ(ReadFile(), "[Video]\nMode=3\nShadows=0\n\n[Misc]\nProfiles=1\n[Audio]\nMaster=80\n");
    EXPECT_EQ(Get("Audio", "Master"), "80");
    EXPECT_EQ(Get("Video", "Shadows"), "0");
}

TEST_F(IniTest, WriteCreatesAMissingFileAndAcceptsBackslashes)
{
    const std::string windowsStyle = dir + "\\Game.ini";
    ASSERT_TRUE(WritePrivateProfileStringA("Misc", "RaceID", "18", windowsStyle.c_str()));
    EXPECT_EQ(ReadFile(), "[Misc]\nRaceID=18\n");
    char buf[16];
    GetPrivateProfileStringA("Misc", "RaceID", "0", buf, sizeof(buf), windowsStyle.c_str());
    EXPECT_STREQ(buf, "18");
}

// The settings path is the working folder, a backslash and "Game.ini". A
// backslash inside the working folder's own name is part of that name: the
// file must land in that folder, not in "a/b" beside it.
TEST_F(IniTest, BackslashInTheWorkingFolderNameIsKept)
{
    const std::string own = dir + "/a\\b";
    const std::string decoy = dir + "/a/b";
    ASSERT_TRUE(std::filesystem::create_directory(own));
    ASSERT_TRUE(std::filesystem::create_directories(decoy));
    char saved[4096];
    ASSERT_NE(getcwd(saved, sizeof(saved)), nullptr);
    ASSERT_EQ(chdir(own.c_str()), 0);

    const std::string written = own + "\\Game.ini";
    const std::string read = own + "/Game.ini";
    const bool wrote = WritePrivateProfileStringA("Video", "Glow", "0", written.c_str());
    char buf[16];
    GetPrivateProfileStringA("Video", "Glow", "1", buf, sizeof(buf), read.c_str());
    ASSERT_EQ(chdir(saved), 0);

    EXPECT_TRUE(wrote);
    EXPECT_STREQ(buf, "0");
    EXPECT_TRUE(std::filesystem::exists(own + "/Game.ini"));
    EXPECT_FALSE(std::filesystem::exists(decoy + "/Game.ini"));
}

TEST_F(IniTest, WriteKeepsCrLfLineBreaks)
{
    WriteFile("[Video]\r\nMode=1\r\n");
    ASSERT_TRUE(WritePrivateProfileStringA("Video", "Mode", "4", path.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("Video", "Blur", "0", path.c_str()));
    EXPECT_EQ(ReadFile(), "[Video]\r\nMode=4\r\nBlur=0\r\n");
}

TEST_F(IniTest, WriteFailsCleanlyWhereTheFolderIsMissing)
{
    const std::string nowhere = dir + "/missing/Game.ini";
    EXPECT_FALSE(WritePrivateProfileStringA("A", "B", "C", nowhere.c_str()));
    EXPECT_FALSE(WritePrivateProfileStringA("A", "B", nullptr, path.c_str()));
}

TEST_F(IniTest, OversizedFileReadsAsMissingAndIsNotRewritten)
{
    std::string big = "[Video]\nMode=3\n";
    big += "; " + std::string(1100000, 'x') + "\n";
    WriteFile(big);
    EXPECT_EQ(Get("Video", "Mode"), "DEF");
    EXPECT_FALSE(WritePrivateProfileStringA("Video", "Mode", "4", path.c_str()));
    EXPECT_EQ(ReadFile().size(), big.size());
}
}   // namespace
