// A profile when its save goes wrong: the program killed half way through
// writing, a full disk, a file size limit, a read-only folder. The profile
// saved before stays whole and loads, the player is told, nothing
// half-written is listed, and the next start loads and saves as usual.
#include <signal.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "tests/interface/MenuTestSupport.h"
#include "tests/support/Files.h"
#include "tests/support/SaveFaults.h"

using menutest::MenuFixture;
using testsupport::Check;
using testsupport::DiskFault;

namespace
{

namespace fs = std::filesystem;

const char* const kProfile = "Save/Profile01.sav";

// Every file under the working folder with its size.
std::map<std::string, uintmax_t> Listing()
{
    std::map<std::string, uintmax_t> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(".", ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec))
            files[it->path().lexically_relative(".").string()] = it->file_size(ec);
    return files;
}

int Shown(const char* text)
{
    int n = 0;
    for (const drawtest::Message& m : drawtest::Messages())
        n += m.text == text;
    return n;
}

class ProfileSaveFaultsTest : public MenuFixture
{
protected:
    // The player "Old" with a score of 1234 saved in Save/Profile01.sav.
    static bool SaveOldPlayer()
    {
        std::strcpy(g_PlayerName, "Old");
        if (!g_MainMenu.CreateNewProfile())
            return false;
        g_Career.totalScore = 1234.0f;
        g_MainMenu.SaveProfile(0);
        return drawtest::Messages().empty();
    }

    // The next start: the list is read again and the first profile loaded.
    static bool LoadsOldPlayer()
    {
        g_Career.totalScore = 0.0f;
        std::strcpy(g_PlayerName, "Nobody");
        g_MainMenu.FindProfiles();
        return g_MainMenu.profileCount == 1 && std::strcmp(g_MainMenu.profilePaths[0], kProfile) == 0 &&
               g_MainMenu.LoadProfile() == 1 && g_Career.totalScore == 1234.0f && std::strcmp(g_PlayerName, "Old") == 0;
    }
};

TEST_F(ProfileSaveFaultsTest, AFailedSaveOrCreationKeepsTheOldProfileAndTellsThePlayer)
{
    for (DiskFault fault :
         {DiskFault::FileTooLarge, DiskFault::DiskFull, DiskFault::ReadOnly, DiskFault::TempIsAFolder})
    {
        SCOPED_TRACE(testsupport::DiskFaultName(fault));
        // The faults without a scratch disk work in this folder: each starts
        // without the files the one before left.
        fs::remove_all("Save");
        fs::remove("Game.ini");
        const testsupport::ChildOutcome child = testsupport::RunInChild([&]() -> std::string {
            if (fault == DiskFault::DiskFull || fault == DiskFault::ReadOnly)
            {
                std::string why = testsupport::MountScratchDisk();
                if (!why.empty())
                    return why;
            }
            std::string failed;
            Check(failed, SaveOldPlayer(), "the first save failed");
            const std::vector<uint8_t> old = testsupport::ReadFileBytes(kProfile);
            const std::vector<uint8_t> oldIni = testsupport::ReadFileBytes("Game.ini");
            const auto before = Listing();
            drawtest::Messages().clear();

            g_Career.totalScore = 9999.0f;
            // The profile's own save and the next one's.
            const std::vector<std::string> saves = {kProfile, "Save/Profile02.sav"};
            std::string why = testsupport::ArmFault(fault, saves);
            if (!why.empty())
                return why;
            g_MainMenu.SaveProfile(0);
            const int created = g_MainMenu.CreateNewProfile();
            why = testsupport::HealFault(fault, saves);
            if (!why.empty())
                return why;

            Check(failed, Shown("Could't save profile!") == 1, "the failed save was not shown");
            Check(failed, testsupport::ReadFileBytes(kProfile) == old, "the old profile changed");
            auto after = Listing();
            if (fault == DiskFault::DiskFull)
                after.erase("filler.bin");
            if (fault == DiskFault::TempIsAFolder)
            {
                // A number whose temporary name is taken is passed over: the
                // new profile is made under the next one.
                Check(failed, created == 1 && Shown("Could't create new profile!") == 0,
                      "the creation failed though a number was free");
                Check(failed, drawtest::Messages().size() == 1, "other messages were shown");
                Check(failed, after.count("Save/Profile03.sav") == 1, "the new profile is not the next free number");
                after.erase("Save/Profile03.sav");
                after.erase("Game.ini");
                auto kept = before;
                kept.erase("Game.ini");
                Check(failed, after == kept, "files were added or changed beside it");
            }
            else
            {
                Check(failed, created == 0 && Shown("Could't create new profile!") == 1,
                      "the failed creation was not shown");
                Check(failed, drawtest::Messages().size() == 2, "other messages were shown");
                Check(failed, testsupport::ReadFileBytes("Game.ini") == oldIni, "the settings changed");
                Check(failed, after == before, "files were added or changed beside it");
                Check(failed, LoadsOldPlayer(), "the old profile does not load");
            }
            g_CurrentProfile = 0;

            // Once the disk is back, the same save goes through.
            drawtest::Messages().clear();
            g_Career.totalScore = 9999.0f;
            g_MainMenu.SaveProfile(0);
            Check(failed, drawtest::Messages().empty(), "the save after the fault failed");
            Check(failed, testsupport::ReadFileBytes(kProfile) != old, "the save after the fault wrote nothing");
            return failed;
        });
        if (child.report.compare(0, 5, "skip:") == 0)
        {
            EXPECT_TRUE(fault == DiskFault::DiskFull || fault == DiskFault::ReadOnly);
            std::printf("[ skipped  ] %s: %s\n", testsupport::DiskFaultName(fault), child.report.c_str());
            continue;
        }
        EXPECT_TRUE(child.exited) << "signal " << child.signal;
        EXPECT_EQ(child.report, "");
    }
}

// A profile the player may not read (its permissions changed while the game
// ran) may hold a whole career: a save never takes its place.
TEST_F(ProfileSaveFaultsTest, AProfileThatCannotBeReadIsNeverWrittenOver)
{
    ASSERT_TRUE(SaveOldPlayer());
    const std::vector<uint8_t> old = testsupport::ReadFileBytes(kProfile);
    ASSERT_TRUE(testsupport::MakeUnreadableButReplaceable(kProfile));
    const testsupport::ChildOutcome child = testsupport::RunUnprivileged([]() -> std::string {
        std::string failed;
        drawtest::Messages().clear();
        g_Career.totalScore = 9999.0f;
        g_MainMenu.SaveProfile(0);
        Check(failed, Shown("Could't save profile!") == 1, "the refused save was not shown");
        return failed;
    });
    EXPECT_TRUE(child.exited) << "signal " << child.signal;
    EXPECT_EQ(child.report, "");
    ASSERT_EQ(chmod(kProfile, 0600), 0);
    EXPECT_EQ(testsupport::ReadFileBytes(kProfile), old);
    EXPECT_FALSE(fs::exists(std::string(kProfile) + ".tmp"));
}

TEST_F(ProfileSaveFaultsTest, AKillHalfWayThroughASaveKeepsTheOldProfileAndTheNextStartCarriesOn)
{
    ASSERT_TRUE(SaveOldPlayer());
    const std::vector<uint8_t> old = testsupport::ReadFileBytes(kProfile);
    const auto before = Listing();

    const testsupport::ChildOutcome child = testsupport::RunInChild([&]() -> std::string {
        g_Career.totalScore = 9999.0f;
        testsupport::KillWhenAFileGrowsPast(64);
        g_MainMenu.SaveProfile(0);
        return "the save ran to the end";
    });
    ASSERT_EQ(child.signal, SIGKILL) << child.report;

    EXPECT_EQ(testsupport::ReadFileBytes(kProfile), old);
    // What the kill left: one short file beside the profile.
    auto left = Listing();
    for (const auto& file : before)
        left.erase(file.first);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_LE(left.begin()->second, 64u);

    // The next start lists and loads only the whole profile; its next save
    // takes the half-written file's place.
    EXPECT_TRUE(LoadsOldPlayer());
    g_Career.totalScore = 9999.0f;
    g_MainMenu.SaveProfile(0);
    EXPECT_TRUE(drawtest::Messages().empty());
    EXPECT_NE(testsupport::ReadFileBytes(kProfile), old);
    auto after = Listing();
    for (auto& file : after)
        file.second = 0;
    auto expected = before;
    for (auto& file : expected)
        file.second = 0;
    EXPECT_EQ(after, expected);
}

// A folder left where "Game.ini"'s temporary file goes: a profile is made,
// the game starts again and another is made. The settings file cannot be
// written all along, yet no profile and no record is lost.
TEST_F(ProfileSaveFaultsTest, AFolderAtTheSettingsTemporaryNameCostsNoProfileAndNoRecord)
{
    ASSERT_TRUE(testsupport::WriteFileBytes("Game.ini", {'[', 'M', 'i', 's', 'c', ']', '\n'}));
    ASSERT_TRUE(fs::create_directory("Game.ini.tmp"));
    const std::vector<uint8_t> ini = testsupport::ReadFileBytes("Game.ini");

    ReadGameIni("Game.ini");
    LoadRecords();
    ASSERT_TRUE(SaveOldPlayer());
    AddScore(1234.0f);
    const std::vector<uint8_t> oldProfile = testsupport::ReadFileBytes(kProfile);
    const RecordsTable first = g_Records;
    ASSERT_EQ(first.playerEntry, 15);

    // The next start, and a second player.
    ReadGameIni("Game.ini");
    LoadRecords();
    g_MainMenu.FindProfiles();
    std::strcpy(g_PlayerName, "New");
    ASSERT_EQ(g_MainMenu.CreateNewProfile(), 1);

    EXPECT_EQ(testsupport::ReadFileBytes(kProfile), oldProfile) << "the first player's profile was replaced";
    EXPECT_STREQ(g_MainMenu.profilePaths[g_CurrentProfile], "Save/Profile02.sav");
    EXPECT_EQ(testsupport::ReadFileBytes("Game.ini"), ini) << "the settings file changed";
    EXPECT_TRUE(fs::is_directory("Game.ini.tmp"));
    LoadRecords();
    EXPECT_EQ(std::memcmp(g_Records.score, first.score, sizeof first.score), 0);
    EXPECT_EQ(std::memcmp(g_Records.name, first.name, sizeof first.name), 0);
    EXPECT_EQ(g_Records.playerEntry, -1) << "the new player holds no entry before a score";

    // The first player chosen again: the career and its record are whole.
    g_MainMenu.FindProfiles();
    g_CurrentProfile = 0;
    ASSERT_EQ(g_MainMenu.LoadProfile(), 1);
    EXPECT_STREQ(g_PlayerName, "Old");
    ClaimRecordsPlayer(g_Career.totalScore);
    EXPECT_STREQ(g_Records.name[g_Records.playerEntry], "Old");
    EXPECT_EQ(g_Records.score[g_Records.playerEntry], 1234.0f);
}

}   // namespace
