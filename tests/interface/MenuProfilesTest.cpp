// Profiles through the menu: creation with its defaults, the rollover of the
// eleventh, deletion, damaged files, sorted listing, a slot picked by the
// mouse, when CONTINUE CAREER is offered, the name page's typing and a
// creation that cannot write.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/Records.h"
#include "tests/interface/MenuTestSupport.h"
#include "tests/support/Files.h"
#include "tests/support/SaveFaults.h"

using menutest::MenuCalls;
using menutest::MenuFixture;

namespace
{

bool Exists(const char* path)
{
    struct stat st;
    return stat(path, &st) == 0;
}

std::vector<uint8_t> Bytes(const char* path)
{
    return testsupport::ReadFileBytes(path);
}

class MenuProfilesTest : public MenuFixture
{
protected:
    // A new profile named `name` as the name page makes it.
    int Create(const char* name)
    {
        std::snprintf(g_PlayerName, PLAYER_NAME_SIZE, "%s", name);
        return g_MainMenu.CreateNewProfile();
    }
};

TEST_F(MenuProfilesTest, NewProfileHasTheDefaultsAndIsCurrent)
{
    g_HintCount[3] = 5;
    g_Records.playerEntry = 3;
    g_Records.score[SCORE_ENTRIES - 1] = 77.0f;
    const RecordsTable records = g_Records;
    ASSERT_EQ(Create("Zed"), 1);
    EXPECT_EQ(g_ProfileCounter, 1);
    EXPECT_STREQ(g_MainMenu.profilePaths[0], "Save/Profile01.sav");
    EXPECT_EQ(g_CurrentProfile, 0);
    EXPECT_EQ(g_MainMenu.buttons[BUTTON_CONTINUE_CAREER].enabled, 0);
    // The new player holds no score entry until a career race scores, and
    // takes no one's.
    EXPECT_EQ(g_Records.playerEntry, -1);
    EXPECT_EQ(std::memcmp(g_Records.score, records.score, sizeof records.score), 0);
    EXPECT_EQ(std::memcmp(g_Records.name, records.name, sizeof records.name), 0);

    const std::vector<uint8_t> bytes = Bytes("Save/Profile01.sav");
    ProfileImage image;
    ASSERT_EQ(ReadProfileBytes(bytes.data(), bytes.size(), &image), PROFILE_OK);
    EXPECT_STREQ(image.name, "Zed");
    EXPECT_EQ(image.careerClosed, 1);
    EXPECT_EQ(image.career.unlocked[0], 1);
    EXPECT_EQ(image.career.unlocked[1], 0);
    EXPECT_EQ(image.career.decalId, -1);
    EXPECT_EQ(image.career.motorcycle, 0);
    EXPECT_EQ(image.hintCount[3], 0);
    EXPECT_EQ(g_HintCount[3], 0);
    // The counter is kept in the settings file.
    const std::vector<uint8_t> ini = Bytes("Game.ini");
    EXPECT_NE(std::string(ini.begin(), ini.end()).find("Profiles=1"), std::string::npos);
}

TEST_F(MenuProfilesTest, EleventhProfileReplacesTheFirstListedAndNumbersAreNeverReused)
{
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(Create(("R" + std::to_string(i)).c_str()), 1);
    g_MainMenu.FindProfiles();
    ASSERT_EQ(g_MainMenu.profileCount, 10);

    ASSERT_EQ(Create("Eleven"), 1);
    EXPECT_FALSE(Exists("Save/Profile01.sav"));
    EXPECT_TRUE(Exists("Save/Profile02.sav"));
    EXPECT_TRUE(Exists("Save/Profile11.sav"));
    EXPECT_STREQ(g_MainMenu.profilePaths[g_CurrentProfile], "Save/Profile11.sav");

    g_MainMenu.FindProfiles();
    EXPECT_EQ(g_MainMenu.profileCount, 10);
    g_CurrentProfile = 0;
    g_MainMenu.DeleteProfile();   // Profile02
    EXPECT_FALSE(Exists("Save/Profile02.sav"));
    ASSERT_EQ(Create("Twelve"), 1);
    EXPECT_TRUE(Exists("Save/Profile12.sav"));
    EXPECT_FALSE(Exists("Save/Profile01.sav"));
    EXPECT_FALSE(Exists("Save/Profile02.sav"));
}

TEST_F(MenuProfilesTest, FailedCreationKeepsEveryProfileAndStaysOnTheNamePage)
{
    ASSERT_EQ(Create("First"), 1);
    g_MainMenu.SetState(MENU_PROFILES);
    const std::vector<uint8_t> first = Bytes("Save/Profile01.sav");

    // No file may grow past a few bytes, so the new one cannot be written.
    const testsupport::ChildOutcome child = testsupport::RunInChild([&]() -> std::string {
        std::string failed;
        const std::string why = testsupport::ArmFault(testsupport::DiskFault::FileTooLarge);
        if (!why.empty())
            return why;
        g_MainMenu.SetState(MENU_NEW_PROFILE);
        std::strcpy(g_PlayerName, "Second");
        g_TextInput = 2;   // Enter
        g_MainMenu.active = 1;
        Frame();
        testsupport::HealFault(testsupport::DiskFault::FileTooLarge);
        testsupport::Check(failed, g_MainMenu.state == MENU_NEW_PROFILE, "left the name page");
        testsupport::Check(failed, g_CurrentProfile == 0, "the current profile moved");
        testsupport::Check(failed, g_MainMenu.profileCount == 1, "a profile was listed");
        testsupport::Check(failed, Bytes("Save/Profile01.sav") == first, "the first profile changed");
        testsupport::Check(failed,
                           !drawtest::Messages().empty() && drawtest::Messages().back().text.find(
                                                                "Could't create new profile!") != std::string::npos,
                           "the failure was not shown");
        // A save now still goes to the first player's own file.
        testsupport::Check(failed, std::strcmp(g_MainMenu.profilePaths[g_CurrentProfile], "Save/Profile01.sav") == 0,
                           "the current profile names another file");
        testsupport::Check(failed, g_TextInput == 1, "typing does not go on");
        return failed;
    });
    EXPECT_TRUE(child.exited) << "signal " << child.signal;
    EXPECT_EQ(child.report, "");
}

TEST_F(MenuProfilesTest, FullListLosesNothingWhenTheEleventhCannotBeWritten)
{
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(Create(("R" + std::to_string(i)).c_str()), 1);
    g_MainMenu.FindProfiles();
    const testsupport::ChildOutcome child = testsupport::RunInChild([&]() -> std::string {
        const std::string why = testsupport::ArmFault(testsupport::DiskFault::FileTooLarge);
        if (!why.empty())
            return why;
        const int created = Create("Eleven");
        testsupport::HealFault(testsupport::DiskFault::FileTooLarge);
        return created == 0 ? "" : "the eleventh was made";
    });
    EXPECT_TRUE(child.exited) << "signal " << child.signal;
    EXPECT_EQ(child.report, "");
    EXPECT_TRUE(Exists("Save/Profile01.sav")) << "the oldest stays when the new one failed";
    g_MainMenu.FindProfiles();
    EXPECT_EQ(g_MainMenu.profileCount, 10);
}

// "Profiles" as "Game.ini" holds it (none: the file was deleted), the
// profile files already there, and the file the next profile gets.
TEST_F(MenuProfilesTest, ANewProfileTakesTheNextFreeNumberAndNeverReplacesAFile)
{
    struct Case
    {
        const char* what;
        const char* counter;   // null: no "Game.ini"
        std::vector<int> present;
        const char* made;
        const char* written;            // "Profiles" afterwards
        std::vector<int> tempTaken{};   // numbers with a folder at their temporary name
    };
    const Case cases[] = {
        {"settings deleted, one profile kept", nullptr, {1}, "Save/Profile02.sav", "2"},
        {"settings deleted, a gap", nullptr, {1, 2, 4}, "Save/Profile03.sav", "3"},
        {"counter behind the files", "3", {4, 5}, "Save/Profile06.sav", "6"},
        {"counter at the highest number", "99999", {}, "Save/Profile01.sav", "1"},
        {"counter past the int range", "99999999999", {1}, "Save/Profile02.sav", "2"},
        {"counter at the int maximum", "2147483647", {}, "Save/Profile01.sav", "1"},
        {"negative counter", "-7", {}, "Save/Profile01.sav", "1"},
        {"a folder at the next one's temporary name", "1", {1}, "Save/Profile03.sav", "3", {2}},
    };
    for (const Case& c : cases)
    {
        std::filesystem::remove_all("Save");
        std::filesystem::remove("Game.ini");
        std::filesystem::create_directory("Save");
        std::vector<std::vector<uint8_t>> before;
        for (int n : c.present)
        {
            char path[64];
            std::snprintf(path, sizeof(path), "Save/Profile%02d.sav", n);
            before.push_back(std::vector<uint8_t>(PROFILE_FILE_SIZE, (uint8_t)n));
            std::memcpy(before.back().data(), "Kept", 5);
            ASSERT_TRUE(testsupport::WriteFileBytes(path, before.back()));
        }
        for (int n : c.tempTaken)
        {
            char path[64];
            std::snprintf(path, sizeof(path), "Save/Profile%02d.sav.tmp", n);
            ASSERT_TRUE(std::filesystem::create_directory(path));
        }
        if (c.counter)
        {
            const std::string text = std::string("[Misc]\nProfiles=") + c.counter + "\n";
            ASSERT_TRUE(testsupport::WriteFileBytes("Game.ini", std::vector<uint8_t>(text.begin(), text.end())));
        }
        ReadGameIni("Game.ini");
        g_MainMenu.FindProfiles();

        ASSERT_EQ(Create("New"), 1) << c.what;
        EXPECT_STREQ(g_MainMenu.profilePaths[g_CurrentProfile], c.made) << c.what;
        ProfileImage image;
        const std::vector<uint8_t> made = Bytes(c.made);
        ASSERT_EQ(ReadProfileBytes(made.data(), made.size(), &image), PROFILE_OK) << c.what;
        EXPECT_STREQ(image.name, "New") << c.what;
        for (size_t i = 0; i < c.present.size(); ++i)
        {
            char path[64];
            std::snprintf(path, sizeof(path), "Save/Profile%02d.sav", c.present[i]);
            EXPECT_EQ(Bytes(path), before[i]) << c.what << ": " << path << " changed";
        }
        EXPECT_NE(testsupport::ReadFileText("Game.ini").find(std::string("Profiles=") + c.written + "\n"),
                  std::string::npos)
            << c.what;
    }
}

TEST_F(MenuProfilesTest, ListingFollowsTheNamesNotTheDirectory)
{
    const int numbers[] = {12, 3, 100, 1, 7, 25, 4};
    for (int n : numbers)
    {
        ProfileImage image;
        std::memset(&image, 0, sizeof(image));
        std::snprintf(image.name, sizeof(image.name), "P%d", n);
        image.careerClosed = 1;
        uint8_t bytes[PROFILE_FILE_SIZE];
        WriteProfileBytes(image, bytes);
        char path[64];
        std::snprintf(path, sizeof(path), "Save/Profile%02d.sav", n);
        ASSERT_TRUE(testsupport::WriteFileBytes(path, std::vector<uint8_t>(bytes, bytes + sizeof(bytes))));
    }
    g_MainMenu.FindProfiles();
    ASSERT_EQ(g_MainMenu.profileCount, 7);
    const char* expected[] = {"P1", "P3", "P4", "P7", "P12", "P25", "P100"};
    for (int i = 0; i < 7; ++i)
        EXPECT_STREQ(g_MainMenu.buttons[i].text, expected[i]) << i;
    EXPECT_EQ(g_CurrentProfile, 0);
}

TEST_F(MenuProfilesTest, DeletingTheLastProfileDisablesDoneAndTheNamePageHasNoBack)
{
    ASSERT_EQ(Create("Only"), 1);
    g_MainMenu.SetState(MENU_PROFILES);
    ASSERT_EQ(g_MainMenu.state, MENU_PROFILES);
    EXPECT_EQ(g_MainMenu.buttons[BUTTON_PROFILES_DONE].enabled, 1);
    g_MainMenu.DeleteProfile();
    EXPECT_EQ(g_MainMenu.profileCount, 0);
    EXPECT_EQ(g_MainMenu.buttons[BUTTON_PROFILES_DONE].enabled, 0);
    EXPECT_EQ(g_MainMenu.state, MENU_PROFILES);

    g_MainMenu.SetState(MENU_PROFILES);
    EXPECT_EQ(g_MainMenu.state, MENU_NEW_PROFILE) << "no profile: straight to the name page";
    EXPECT_EQ(g_MainMenu.focusCount, 1) << "DONE only, no BACK";
    g_KeyFlags[KEY_ESC] = 1;
    g_MainMenu.active = 1;
    Frame();
    EXPECT_EQ(g_MainMenu.state, MENU_NEW_PROFILE);
}

TEST_F(MenuProfilesTest, ListingIsSortedAndADamagedProfileChangesNobody)
{
    ProfileImage good;
    std::memset(&good, 0, sizeof(good));
    std::strcpy(good.name, "Good");
    good.careerClosed = 0;
    good.career.raceIndex = 4;
    good.career.unlocked[0] = 1;
    uint8_t goodBytes[PROFILE_FILE_SIZE];
    WriteProfileBytes(good, goodBytes);
    ASSERT_TRUE(testsupport::WriteFileBytes("Save/Profile07.sav", std::vector<uint8_t>(goodBytes, goodBytes + 352)));
    std::vector<uint8_t> shortFile(goodBytes, goodBytes + 100);
    std::memcpy(shortFile.data(), "Broken\0", 7);
    ASSERT_TRUE(testsupport::WriteFileBytes("Save/Profile03.sav", shortFile));

    g_MainMenu.FindProfiles();
    ASSERT_EQ(g_MainMenu.profileCount, 2);
    EXPECT_STREQ(g_MainMenu.profilePaths[0], "Save/Profile03.sav");
    EXPECT_STREQ(g_MainMenu.buttons[0].text, "Broken");
    EXPECT_STREQ(g_MainMenu.buttons[1].text, "Good");

    g_Career.raceIndex = 9;
    g_MainMenu.active = 1;
    g_MainMenu.SetState(MENU_PROFILES);
    ASSERT_EQ(g_CurrentProfile, 0);
    g_KeyFlags[KEY_ENTER] = 1;   // DONE has the focus
    Frame(0.0f);
    Frame(0.2f);
    EXPECT_EQ(g_MainMenu.state, MENU_PROFILES) << "a damaged profile is not played";
    EXPECT_STREQ(g_PlayerName, "Player");
    EXPECT_EQ(g_Career.raceIndex, 9);
    ASSERT_FALSE(drawtest::Messages().empty());
    EXPECT_NE(drawtest::Messages().back().text.find("Could't load profile!"), std::string::npos);

    g_CurrentProfile = 1;
    g_MainMenu.LoadProfile();
    EXPECT_STREQ(g_PlayerName, "Good");
    EXPECT_EQ(g_Career.raceIndex, 4);
    EXPECT_EQ(g_MainMenu.buttons[BUTTON_CONTINUE_CAREER].enabled, 1);
    EXPECT_EQ(Bytes("Save/Profile07.sav"), std::vector<uint8_t>(goodBytes, goodBytes + 352));
}

// The slots are not in the focus list: only a click picks a profile, and
// only a listed one.
TEST_F(MenuProfilesTest, ClickingASlotMakesItsProfileCurrent)
{
    for (const char* name : {"Ann", "Bob", "Cid"})
        ASSERT_EQ(Create(name), 1);
    g_MainMenu.active = 1;
    g_MainMenu.SetState(MENU_PROFILES);
    ASSERT_EQ(g_MainMenu.profileCount, 3);
    ASSERT_EQ(g_CurrentProfile, 0);
    for (int slot : {2, 1, 5})
    {
        SCOPED_TRACE(slot);
        PointAt(g_MainMenu.buttons[slot]);
        g_MouseButtons[0] = 1;
        Frame(0.05f);
        Frame(0.2f);
        g_MouseButtons[0] = 0;
        EXPECT_EQ(g_CurrentProfile, slot < 3 ? slot : 1) << "an empty slot picks nobody";
        EXPECT_EQ(g_MainMenu.state, MENU_PROFILES);
    }
}

// CONTINUE CAREER is offered for a profile whose career is open, and after
// every save that reached the disk, never for a closed career or after a
// save that failed.
TEST_F(MenuProfilesTest, ContinueCareerIsOfferedForAnOpenCareerAndAfterASave)
{
    const char* names[2] = {"Open", "Closed"};
    for (int i = 0; i < 2; ++i)
    {
        ProfileImage image;
        std::memset(&image, 0, sizeof(image));
        std::strcpy(image.name, names[i]);
        image.careerClosed = i;
        image.career.unlocked[0] = 1;
        uint8_t bytes[PROFILE_FILE_SIZE];
        WriteProfileBytes(image, bytes);
        char path[64];
        std::snprintf(path, sizeof(path), "Save/Profile%02d.sav", i + 1);
        ASSERT_TRUE(testsupport::WriteFileBytes(path, std::vector<uint8_t>(bytes, bytes + sizeof(bytes))));
    }
    g_MainMenu.FindProfiles();
    ASSERT_EQ(g_MainMenu.profileCount, 2);
    int& offered = g_MainMenu.buttons[BUTTON_CONTINUE_CAREER].enabled;

    offered = 1;
    g_CurrentProfile = 1;
    ASSERT_EQ(g_MainMenu.LoadProfile(), 1);
    EXPECT_EQ(offered, 0) << "a closed career";
    g_CurrentProfile = 0;
    ASSERT_EQ(g_MainMenu.LoadProfile(), 1);
    EXPECT_EQ(offered, 1) << "an open career";

    offered = 0;
    g_MainMenu.SaveProfile(0);
    EXPECT_EQ(offered, 1) << "after a save";

    // The file's place taken by a folder: the save fails and offers nothing.
    ASSERT_EQ(std::remove("Save/Profile01.sav"), 0);
    ASSERT_EQ(mkdir("Save/Profile01.sav", 0700), 0);
    offered = 0;
    g_MainMenu.SaveProfile(0);
    EXPECT_EQ(offered, 0) << "after a failed save";
    ASSERT_FALSE(drawtest::Messages().empty());
    EXPECT_NE(drawtest::Messages().back().text.find("Could't save profile!"), std::string::npos);
}

// The name page's typing: start name, what the window procedure left, and
// what the name and text-entry state are after one update.
struct TypeCase
{
    const char* name;
    const char* start;
    int textInput;
    unsigned char typed;
    const char* expected;
    int expectedInput;
};

class NameEntryTest : public MenuFixture, public ::testing::WithParamInterface<TypeCase>
{};

TEST_P(NameEntryTest, OneUpdate)
{
    const TypeCase& c = GetParam();
    ASSERT_EQ(g_ProfileCounter, 0);
    g_MainMenu.active = 1;
    g_MainMenu.SetState(MENU_PROFILES);   // no profile: the name page
    ASSERT_EQ(g_MainMenu.state, MENU_NEW_PROFILE);
    std::snprintf(g_PlayerName, PLAYER_NAME_SIZE, "%s", c.start);
    g_TextInput = c.textInput;
    g_TextChar = c.typed;
    g_MainMenu.Update();
    EXPECT_STREQ(g_PlayerName, c.expected);
    EXPECT_EQ(g_TextInput, c.expectedInput);
    EXPECT_EQ(g_TextChar, 0);
    EXPECT_EQ(g_MainMenu.buttons[BUTTON_NAME_DONE].enabled, c.expected[0] != 0);
    EXPECT_EQ(g_MainMenu.state, MENU_NEW_PROFILE);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NameEntryTest,
    ::testing::Values(TypeCase{"Appends", "Player", 1, 'X', "PlayerX", 1},
                      TypeCase{"FifteenCharactersIsFull", "ABCDEFGHIJKLMNO", 1, 'P', "ABCDEFGHIJKLMNO", 1},
                      TypeCase{"FifteenthFits", "WWWWWWWWWWWWWW", 1, 'Z', "WWWWWWWWWWWWWWZ", 1},
                      TypeCase{"NoGlyph", "Ann", 1, 200, "Ann", 1},
                      TypeCase{"ControlCharacter", "Ann", 1, '\t', "Ann", 1},
                      TypeCase{"Backspace", "Ann", 3, 0, "An", 1}, TypeCase{"BackspaceOnEmpty", "", 3, 0, "", 1},
                      TypeCase{"EnterOnEmptyIsIgnored", "", 2, 0, "", 1},
                      TypeCase{"EscWhileTypingIsIgnored", "Ann", 4, 0, "Ann", 1}),
    [](const ::testing::TestParamInfo<TypeCase>& info) { return std::string(info.param.name); });

TEST_F(MenuProfilesTest, NameWiderThanThreeHundredTakesNoMoreCharacters)
{
    // A wide made-up glyph: 40 units at scale 1, 30 at 0.75.
    g_MainMenu.menuFont.glyphs['M' - 32].width = 39.0f;   // advance 40 x 0.75 = 30
    g_MainMenu.active = 1;
    g_MainMenu.SetState(MENU_NEW_PROFILE);
    std::strcpy(g_PlayerName, "MMMMMMMMMM");   // 300 wide: not below 300
    g_TextInput = 1;
    g_TextChar = 'M';
    g_MainMenu.Update();
    EXPECT_STREQ(g_PlayerName, "MMMMMMMMMM");
    std::strcpy(g_PlayerName, "MMMMMMMMM");   // 270 wide: one more fits
    g_TextChar = 'M';
    g_MainMenu.Update();
    EXPECT_STREQ(g_PlayerName, "MMMMMMMMMM");
}

TEST_F(MenuProfilesTest, EnterWithANameCreatesTheProfileAndOpensTheMotorcyclePage)
{
    g_MainMenu.active = 1;
    g_MainMenu.SetState(MENU_PROFILES);
    ASSERT_EQ(g_MainMenu.state, MENU_NEW_PROFILE);
    EXPECT_STREQ(g_PlayerName, "Player") << "the prefilled name";
    g_TextInput = 2;
    g_MainMenu.Update();
    EXPECT_EQ(g_TextInput, 0);
    EXPECT_EQ(g_MainMenu.state, MENU_MOTORCYCLE);
    EXPECT_TRUE(Exists("Save/Profile01.sav"));
}

}   // namespace
